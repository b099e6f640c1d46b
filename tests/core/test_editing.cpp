#include "core/editing.h"

#include "core/store.h"
#include "support/recording_view.h"

#include <gtest/gtest.h>

using namespace kx;
using kx::test::Editor;
using Shown = std::pair<GlyphSet, int>;

TEST(Typing, OverwriteAdvancesAcrossRowsAndBeepsOnTheLastCell) {
    Editor e;
    e.p.insert_mode = false;
    e.write(0, "XYZ");
    key_press(e.c, 'A');
    EXPECT_EQ(e.view.text(0, 1) + e.buf(1, 2), "AYZ");
    EXPECT_EQ(e.view.cells[1], Shown(GlyphSet::Reve, 'Y'));
    EXPECT_TRUE(e.p.prj_modified);
    e.p.cursor_pos = 19;
    key_press(e.c, 'B');
    EXPECT_EQ(e.p.cursor_pos, 20);
    e.p.cursor_pos = 39;
    key_press(e.c, 'C');
    key_press(e.c, 13); // not printable: ignored
    EXPECT_EQ(e.buf(39, 1), "C");
    EXPECT_EQ(e.p.cursor_pos, 39);
    EXPECT_EQ(e.prompt.beeps, 1);
}

TEST(Typing, InsertOpensTheRowAndTheDisplayShowsTheMovedText) {
    Editor e;
    e.write(0, "ABCD");
    e.p.cursor_pos = 1;
    key_press(e.c, 'X');
    EXPECT_EQ(e.buf(0, 6), "AXBCD ");
    EXPECT_EQ(e.view.text(0, 2) + e.view.text(3, 3), "AXCD "); // cell 2 shows the cursor

    e.write(20, "abcdefghijklmnopqrst"); // a full row loses its last character
    e.p.cursor_pos = 20;
    key_press(e.c, '*');
    EXPECT_EQ(e.buf(20, 20), "*abcdefghijklmnopqrs");
    EXPECT_EQ(e.view.text(22, 18), "bcdefghijklmnopqrs");
}

TEST(Typing, VariablesRefuseKeysAndMoveWithInsertedText) {
    Editor e;
    e.add_var(37, 3); // the row end is a variable cell: insert beeps
    e.p.cursor_pos = 30;
    key_press(e.c, 'A');
    e.p.cursor_pos = 38;
    key_press(e.c, 'A'); // on the variable itself: silently refused
    EXPECT_EQ(e.buf(30, 10), "       ###");
    EXPECT_EQ(e.prompt.beeps, 1);

    e.write(0, "AB");
    int k = e.add_var(5, 3);
    e.p.cursor_pos = 0;
    key_press(e.c, 'X');
    EXPECT_EQ(e.p.variable_table[k].pos, 6);
    EXPECT_EQ(e.view.text(2, 8), "B   ### ");

    e.p.insert_mode = false;
    e.write(12, "\x80"); // a mark no variable covers is a free cell
    e.p.cursor_pos = 12;
    key_press(e.c, 'Q');
    EXPECT_EQ(e.buf(12, 1), "Q");
}

// Arrows inserted from the picker are driven through the window in tests/app.
TEST(SpecialCharacters, ArrowsOverwriteInPictureOrderButNeverAVariable) {
    Editor e;
    e.write(0, "ABCD");
    e.p.insert_mode = false;
    for (int i = 0; i < 4; ++i) char_picker_click(e.c, i);
    EXPECT_EQ(e.buf(0, 5), std::string("\x06\x07\x04\x05", 4) + " ");
    e.add_var(10, 3); // on a variable nothing happens
    e.p.cursor_pos = 11;
    char_picker_click(e.c, 0);
    EXPECT_EQ(e.buf(10, 3), "###");
    EXPECT_EQ(e.p.cursor_pos, 11);
    EXPECT_EQ(e.prompt.beeps, 0);
}

TEST(Deleting, BackspaceAndDeleteCloseTheRowAndPullVariablesLeft) {
    Editor e;
    e.write(0, "ABCD");
    int k = e.add_var(10, 2);
    int other_row = e.add_var(25, 2);
    e.p.cursor_pos = 2;
    key_down(e.c, kKeyBack, 0);
    EXPECT_EQ(e.view.text(2, 18), "D      ##         ");
    EXPECT_EQ(e.p.cursor_pos, 1);
    EXPECT_EQ(e.view.grid[k][4], "9");
    key_down(e.c, kKeyDelete, 0);
    EXPECT_EQ(e.buf(0, 20), "AD      ##          ");
    EXPECT_EQ(e.p.cursor_pos, 1);
    EXPECT_EQ(e.p.variable_table[k].pos, 8);
    EXPECT_EQ(e.p.variable_table[other_row].pos, 25);
    EXPECT_EQ(e.prompt.beeps, 0);

    e.p.cursor_pos = 20;
    key_down(e.c, kKeyBack, 0); // at a row start: beep
    e.write(30, "x");
    e.p.prj_modified = false;
    e.p.cursor_pos = 10;
    key_down(e.c, kKeyBack, 0); // right after a variable: nothing, no beep
    e.p.cursor_pos = 9;
    key_down(e.c, kKeyDelete, 0); // on a variable: nothing
    EXPECT_EQ(e.buf(8, 3), "## ");
    EXPECT_EQ(e.prompt.beeps, 1);
    EXPECT_FALSE(e.p.prj_modified);
    EXPECT_EQ(e.view.cells[9], Shown(GlyphSet::Char, kCodeVarDigit)); // no cursor image
}

TEST(Cursor, ArrowsWrapAndHomeEndStepOut) {
    Editor e(20, 4);
    auto key = [&](int code, int at) {
        e.p.cursor_pos = static_cast<std::int16_t>(at);
        key_down(e.c, code, 0);
        return static_cast<int>(e.p.cursor_pos);
    };
    EXPECT_EQ(key(kKeyLeft, 0), 79);
    EXPECT_EQ(key(kKeyRight, 79), 0);
    EXPECT_EQ(key(kKeyUp, 5), 65);
    EXPECT_EQ(key(kKeyDown, 65), 5);
    EXPECT_EQ(key(kKeyHome, 20), 0);
    EXPECT_EQ(key(kKeyEnd, 39), 79);
    EXPECT_EQ(e.prompt.beeps, 0);
    EXPECT_EQ(key(kKeyHome, 0), 0);
    EXPECT_EQ(key(kKeyEnd, 79), 79);
    EXPECT_EQ(e.prompt.beeps, 2);
    key(kKeyRight, 78);
    EXPECT_EQ(e.view.cells[78], Shown(GlyphSet::Char, ' ')); // the old cell is normal again
    EXPECT_EQ(e.view.cells[79], Shown(GlyphSet::Und, ' '));
}

TEST(Align, MovesTheRowTextAndBeepsOnRefusals) {
    Editor e;
    e.write(0, "AB");
    center_text(e.c);
    EXPECT_EQ(e.view.text(0, 20), "         AB         ");
    text_left(e.c);
    EXPECT_EQ(e.buf(0, 20), "AB                  ");
    EXPECT_EQ(e.prompt.beeps, 0);
    text_left(e.c);
    EXPECT_EQ(e.prompt.beeps, 1);

    e.p.cursor_pos = 20; // a blank row: only centring beeps, and the project is marked
    e.p.prj_modified = false;
    text_left(e.c);
    text_right(e.c);
    center_text(e.c);
    EXPECT_EQ(e.prompt.beeps, 2);
    EXPECT_TRUE(e.p.prj_modified);
    e.add_var(30, 2);
    text_right(e.c); // a row with a variable is never realigned
    EXPECT_EQ(e.prompt.beeps, 3);

    Editor f(16, 2);
    f.write(16, "ABC");
    f.p.cursor_pos = 20;
    center_text(f.c);
    EXPECT_EQ(f.buf(16, 16), "       ABC      ");
}

TEST(Pages, NavigationStoresThePageGoToRoundsHalfToEvenAndLimitsBeep) {
    Editor e;
    e.p.last_page_idx = 3;
    for (int pg = 0; pg < 4; ++pg) { // the first cell tells the pages apart
        e.p.page_store[0][pg].chars.fill(32);
        e.p.page_store[0][pg].chars[0] = static_cast<std::int16_t>('0' + pg);
    }
    load_page(e.c, 0, 0);
    e.p.cursor_pos = 5;
    e.write(1, "x");
    page_up(e.c);
    first_page(e.c);
    page_down(e.c);
    EXPECT_EQ(e.p.page_store[0][0].chars[1], 'x');
    EXPECT_EQ(e.view.text(0, 2), "1 ");
    EXPECT_EQ(e.p.cursor_pos, 5);
    last_page(e.c);
    page_down(e.c);
    last_page(e.c);
    EXPECT_EQ(e.p.act_page, 3);
    EXPECT_EQ(e.prompt.beeps, 4);

    key_down(e.c, kKeyHome, kCtrlFlag);
    EXPECT_EQ(e.p.act_page, 0);
    key_down(e.c, kKeyEnd, kCtrlFlag);
    key_down(e.c, kKeyPageUp, 0);
    key_down(e.c, kKeyHome, kCtrlFlag | kShiftFlag); // a plain Home
    EXPECT_EQ(e.p.act_page, 2);
    EXPECT_EQ(e.p.cursor_pos, 0);

    auto go = [&](std::optional<std::string> answer) {
        e.prompt.inputs.push_back(answer);
        goto_page(e.c);
        return static_cast<int>(e.p.act_page);
    };
    e.prompt.beeps = 0;
    EXPECT_EQ(go("2.5"), 2);
    EXPECT_EQ(go(" 0.5 "), 0);
    EXPECT_EQ(go("2.6"), 3);
    EXPECT_EQ(e.prompt.beeps, 0);
    for (auto bad : {"3.4", "-1", "", "2x"}) EXPECT_EQ(go(bad), 3);
    EXPECT_EQ(go(std::nullopt), 3);
    EXPECT_EQ(e.prompt.beeps, 5);
}

TEST(Mouse, ClicksMoveRightClickPicksOrSelectsDoubleClickOpensTheVariableEditor) {
    Editor e;
    e.p.link_edit = true;
    int k = e.add_var(10, 3);
    display_click(e.c, 22);
    EXPECT_EQ(e.p.cursor_pos, 22);
    EXPECT_FALSE(e.p.link_edit);
    display_mouse_down(e.c, 3, 2);
    display_mouse_down(e.c, 11, 2);
    display_mouse_down(e.c, 12, 1); // left button: only the move
    EXPECT_EQ(e.view.char_pickers, 1);
    EXPECT_EQ(e.p.act_var, k);

    display_dbl_click(e.c, 12); // an existing variable: the cursor goes to its first cell
    EXPECT_FALSE(e.p.new_var);
    EXPECT_EQ(e.p.act_var, k);
    EXPECT_EQ(e.p.cursor_pos, 10);
    e.view.editor_exists = true;
    display_dbl_click(e.c, 30); // a free cell: a new variable slot
    EXPECT_TRUE(e.p.new_var);
    EXPECT_EQ(e.p.act_var, 2);
    e.view.editor_exists = false; // nobody edits it: the slot is given back
    display_dbl_click(e.c, 31);
    EXPECT_EQ(e.p.n_vars, 2);
    EXPECT_EQ(e.view.var_editors, 3);

    while (e.p.n_vars < 8) e.add_var(20 + 2 * e.p.n_vars, 1);
    display_dbl_click(e.c, 0);
    EXPECT_EQ(e.prompt.beeps, 1);
    EXPECT_EQ(e.view.var_editors, 3);
}

TEST(Languages, ListClickShowsThePageInTheChosenLanguage) {
    Editor e;
    e.p.n_lang = 2;
    e.p.page_store[1][0].chars[0] = 'E';
    e.write(0, "I");
    lang_list_click(e.c, 1);
    EXPECT_EQ(e.p.page_store[0][0].chars[0], 'I');
    EXPECT_EQ(e.view.text(0, 1), "E");
    e.p.lock_events = true;
    lang_list_click(e.c, 0); // filled by code: ignored
    EXPECT_EQ(e.p.act_lang, 1);
    EXPECT_EQ(e.view.link_edits_ended, 1);
}
