#include "core/editing.h"

#include "core/store.h"
#include "edit_test_view.h"

#include <gtest/gtest.h>

using namespace kx;
using kx::test::Editor;

namespace {

std::pair<GlyphSet, int> shown(Editor& e, int cell) { return e.view.cells[cell]; }

} // namespace

TEST(Typing, OverwriteStoresAdvancesAndBeepsOnlyOnTheLastCell) {
    Editor e;
    e.p.insert_mode = false;
    e.write(0, "XYZ");
    key_press(e.c, 'A');
    EXPECT_EQ(e.buf(0, 3), "AYZ");
    EXPECT_EQ(e.view.text(0, 1), "A");
    EXPECT_EQ(e.p.cursor_pos, 1);
    EXPECT_EQ(shown(e, 1), std::make_pair(GlyphSet::Reve, int('Y')));
    EXPECT_EQ(e.view.labels[Label::Col], "Col: 1");
    EXPECT_TRUE(e.p.prj_modified);

    e.p.cursor_pos = 19;   // row end: the cursor goes on to the next row's start
    key_press(e.c, 'B');
    EXPECT_EQ(e.p.cursor_pos, 20);
    EXPECT_EQ(e.view.labels[Label::Row], "Riga: 1");
    e.p.cursor_pos = 39;
    key_press(e.c, 'C');
    EXPECT_EQ(e.buf(39, 1), "C");
    EXPECT_EQ(e.p.cursor_pos, 39);
    EXPECT_EQ(e.prompt.beeps, 1);

    key_press(e.c, 13);   // not a printable code
    key_press(e.c, 200);
    EXPECT_EQ(e.buf(39, 1), "C");
}

TEST(Typing, InsertOpensTheRowAndTheDisplayShowsTheMovedText) {
    Editor e;
    e.write(0, "ABCD");
    e.write(20, "next");
    e.p.cursor_pos = 1;
    key_press(e.c, 'X');
    EXPECT_EQ(e.buf(0, 6), "AXBCD ");
    EXPECT_EQ(e.view.text(0, 2) + e.view.text(3, 3), "AXCD ");   // cell 2 shows the cursor
    EXPECT_EQ(shown(e, 2), std::make_pair(GlyphSet::Und, int('B')));
    EXPECT_EQ(e.buf(20, 4), "next");

    // A full row loses its last character; blanks after the cursor simply take the key.
    Editor f;
    f.write(0, "abcdefghijklmnopqrst");
    key_press(f.c, '*');
    EXPECT_EQ(f.buf(0, 20), "*abcdefghijklmnopqrs");
    EXPECT_EQ(f.view.text(2, 18), "bcdefghijklmnopqrs");
    f.p.cursor_pos = 25;
    key_press(f.c, 'z');
    EXPECT_EQ(f.buf(20, 7), "     z ");
}

TEST(Typing, VariablesRefuseKeysAndMoveWithInsertedText) {
    Editor e;
    e.add_var(37, 3);   // row end 39 is a variable cell
    e.p.cursor_pos = 30;
    key_press(e.c, 'A');
    EXPECT_EQ(e.prompt.beeps, 1);
    EXPECT_EQ(e.buf(30, 1), " ");
    e.p.cursor_pos = 37;
    key_press(e.c, 'A');   // on the variable itself: silently refused
    EXPECT_EQ(e.prompt.beeps, 1);
    EXPECT_EQ(e.buf(37, 3), "###");

    Editor f;
    f.write(0, "AB");
    int k = f.add_var(5, 3);
    key_press(f.c, 'X');
    EXPECT_EQ(f.p.variable_table[k].pos, 6);
    EXPECT_EQ(f.buf(0, 10), "XAB   ### ");
    EXPECT_EQ(f.view.text(2, 8), "B   ### ");
    EXPECT_EQ(f.view.grid[k][4], "6");
}

TEST(Typing, AnOrphanMarkIsAFreeCell) {
    Editor e;
    e.p.insert_mode = false;
    e.put(3, kCodeVarDigit);   // no variable covers it
    e.p.cursor_pos = 3;
    key_press(e.c, 'Q');
    EXPECT_EQ(e.buf(3, 1), "Q");
    e.put(8, kCodeVarDigit);
    e.p.cursor_pos = 8;
    key_down(e.c, kKeyDelete, 0);
    EXPECT_EQ(e.buf(8, 1), " ");
}

TEST(Deleting, BackspaceAndDeleteCloseTheRowAndPullVariablesLeft) {
    Editor e;
    e.write(0, "ABCD");
    int k = e.add_var(10, 2);
    e.p.cursor_pos = 2;
    key_down(e.c, kKeyBack, 0);
    EXPECT_EQ(e.buf(0, 13), "ACD      ##  ");
    EXPECT_EQ(e.view.text(2, 18), "D      ##         ");
    EXPECT_EQ(e.p.cursor_pos, 1);
    EXPECT_EQ(e.view.labels[Label::Col], "Col: 1");
    EXPECT_EQ(e.p.variable_table[k].pos, 9);
    EXPECT_EQ(e.view.grid[k][4], "9");

    key_down(e.c, kKeyDelete, 0);
    EXPECT_EQ(e.buf(0, 12), "AD      ##  ");
    EXPECT_EQ(e.p.cursor_pos, 1);
    EXPECT_EQ(e.p.variable_table[k].pos, 8);
    EXPECT_EQ(e.buf(19, 1), " ");
    EXPECT_EQ(e.prompt.beeps, 0);
}

TEST(Deleting, RowStartBeepsAndVariableCellsAreLeftAlone) {
    Editor e;
    e.p.cursor_pos = 20;
    key_down(e.c, kKeyBack, 0);
    EXPECT_EQ(e.prompt.beeps, 1);
    EXPECT_EQ(e.p.cursor_pos, 20);

    e.add_var(2, 2);
    e.write(4, "xy");
    e.p.cursor_pos = 4;
    e.p.prj_modified = false;
    key_down(e.c, kKeyBack, 0);   // right after a variable: nothing, no beep
    key_down(e.c, kKeyLeft, 0);
    key_down(e.c, kKeyDelete, 0);   // on the variable: nothing
    EXPECT_EQ(e.buf(2, 4), "##xy");
    EXPECT_EQ(e.prompt.beeps, 1);
    EXPECT_FALSE(e.p.prj_modified);
    EXPECT_EQ(shown(e, 3), std::make_pair(GlyphSet::Char, kCodeVarDigit));   // no cursor image
}

TEST(Cursor, ArrowsWrapAroundAndHomeEndStepOut) {
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
    EXPECT_EQ(key(kKeyDown, 25), 45);
    EXPECT_EQ(key(kKeyHome, 27), 20);
    EXPECT_EQ(key(kKeyHome, 20), 0);
    EXPECT_EQ(key(kKeyEnd, 27), 39);
    EXPECT_EQ(key(kKeyEnd, 39), 79);
    EXPECT_EQ(e.prompt.beeps, 0);
    EXPECT_EQ(key(kKeyHome, 0), 0);
    EXPECT_EQ(key(kKeyEnd, 79), 79);
    EXPECT_EQ(e.prompt.beeps, 2);

    // Old cell back to its normal glyph, new one with the cursor image, labels follow.
    e.write(0, "ab");
    e.p.cursor_pos = 0;
    key_down(e.c, kKeyRight, 0);
    EXPECT_EQ(shown(e, 0), std::make_pair(GlyphSet::Char, int('a')));
    EXPECT_EQ(shown(e, 1), std::make_pair(GlyphSet::Und, int('b')));
    EXPECT_EQ(e.view.labels[Label::Col], "Col: 1");
}

TEST(Cursor, InsertKeyTogglesTheModeAndItsIndicator) {
    Editor e;
    key_down(e.c, kKeyInsert, 0);
    EXPECT_FALSE(e.p.insert_mode);
    EXPECT_EQ(shown(e, 0), std::make_pair(GlyphSet::Reve, 32));
    key_down(e.c, kKeyInsert, 0);
    EXPECT_EQ(e.view.insert_shown, (std::vector<bool>{false, true}));
}

TEST(Align, CentreLeftAndRightMoveTheRowText) {
    Editor e;
    e.write(0, "AB");
    center_text(e.c);
    EXPECT_EQ(e.buf(0, 20), "         AB         ");
    EXPECT_EQ(e.view.text(0, 20), "         AB         ");
    text_right(e.c);
    EXPECT_EQ(e.buf(0, 20), "                  AB");
    text_left(e.c);
    EXPECT_EQ(e.buf(0, 20), "AB                  ");
    EXPECT_EQ(e.prompt.beeps, 0);

    Editor f(16, 2);
    f.write(16, "ABC");
    f.p.cursor_pos = 20;
    center_text(f.c);
    EXPECT_EQ(f.buf(16, 16), "       ABC      ");
}

TEST(Align, RefusalsBeep) {
    Editor e;
    e.write(0, "AB");
    text_left(e.c);   // already at the left edge
    EXPECT_EQ(e.prompt.beeps, 1);
    e.p.cursor_pos = 20;   // a blank row: centring beeps but still marks the project
    center_text(e.c);
    EXPECT_EQ(e.prompt.beeps, 2);
    EXPECT_TRUE(e.p.prj_modified);
    text_left(e.c);
    text_right(e.c);
    EXPECT_EQ(e.prompt.beeps, 2);

    e.add_var(30, 2);
    e.write(22, "v");
    e.p.prj_modified = false;
    text_right(e.c);   // a row with a variable is never realigned
    EXPECT_EQ(e.prompt.beeps, 3);
    EXPECT_EQ(e.buf(20, 12), "  v       ##");
    EXPECT_FALSE(e.p.prj_modified);
}

namespace {

// Four pages whose first cell tells them apart.
void four_pages(Editor& e) {
    e.p.last_page_idx = 3;
    for (int pg = 0; pg < 4; ++pg) {
        for (int i = 0; i < e.p.cells(); ++i) e.p.page_store[0][pg].chars[i] = 32;
        e.p.page_store[0][pg].chars[0] = static_cast<std::int16_t>('0' + pg);
    }
    load_page(e.c, 0, 0);
}

} // namespace

TEST(Pages, NavigationStoresThePageAndBeepsAtTheLimits) {
    Editor e;
    four_pages(e);
    e.p.cursor_pos = 5;
    e.put(1, 'x');   // an edit on page 0
    page_up(e.c);
    first_page(e.c);
    EXPECT_EQ(e.prompt.beeps, 2);
    page_down(e.c);
    EXPECT_EQ(e.p.act_page, 1);
    EXPECT_EQ(e.p.page_store[0][0].chars[1], 'x');
    EXPECT_EQ(e.view.text(0, 1), "1");
    EXPECT_EQ(e.view.labels[Label::Page], "Nr. Pag. 1");
    EXPECT_EQ(e.p.cursor_pos, 5);
    last_page(e.c);
    EXPECT_EQ(e.p.act_page, 3);
    page_down(e.c);
    last_page(e.c);
    EXPECT_EQ(e.prompt.beeps, 4);

    key_down(e.c, kKeyHome, kCtrlFlag);
    EXPECT_EQ(e.p.act_page, 0);
    key_down(e.c, kKeyEnd, kCtrlFlag);
    EXPECT_EQ(e.p.act_page, 3);
    key_down(e.c, kKeyPageUp, 0);
    EXPECT_EQ(e.p.act_page, 2);
    key_down(e.c, kKeyHome, kCtrlFlag | kShiftFlag);   // a plain Home
    EXPECT_EQ(e.p.act_page, 2);
    EXPECT_EQ(e.p.cursor_pos, 0);
    EXPECT_TRUE(toolbar_edit_command(e.c, "PageDown"));
    EXPECT_EQ(e.p.act_page, 3);
    EXPECT_FALSE(toolbar_edit_command(e.c, "InsertPage"));
}

TEST(Pages, GoToPageRoundsHalfToEvenAndRefusesTheRest) {
    Editor e;
    four_pages(e);
    auto go = [&](std::optional<std::string> answer) {
        e.prompt.inputs.push_back(answer);
        goto_page(e.c);
        return static_cast<int>(e.p.act_page);
    };
    EXPECT_EQ(go("2.5"), 2);
    EXPECT_EQ(e.view.text(0, 1), "2");
    EXPECT_EQ(e.prompt.input_prompts.back(), "Vai a pagina nr.: ");
    EXPECT_EQ(go(" 0.5 "), 0);
    EXPECT_EQ(go("2.6"), 3);
    EXPECT_EQ(e.prompt.beeps, 0);
    for (auto bad : {std::optional<std::string>("3.4"), std::optional<std::string>("-1"),
                     std::optional<std::string>(""), std::optional<std::string>("2x"),
                     std::optional<std::string>()})
        EXPECT_EQ(go(bad), 3);
    EXPECT_EQ(e.prompt.beeps, 5);
}

TEST(Mouse, ClicksMoveTheCursorAndRightClickPicksOrSelects) {
    Editor e;
    e.p.link_edit = true;
    e.add_var(5, 2);
    int k = e.add_var(10, 3);
    display_click(e.c, 22);
    EXPECT_EQ(e.p.cursor_pos, 22);
    EXPECT_FALSE(e.p.link_edit);
    EXPECT_EQ(e.view.link_edits_ended, 1);
    EXPECT_EQ(e.view.labels[Label::Row], "Riga: 1");

    display_mouse_down(e.c, 3, 2);
    EXPECT_EQ(e.view.char_pickers, 1);
    display_mouse_down(e.c, 11, 2);
    EXPECT_EQ(e.p.act_var, k);
    EXPECT_EQ(e.view.highlights, std::vector<int>{k});
    EXPECT_EQ(e.view.char_pickers, 1);
    display_mouse_down(e.c, 12, 1);   // left button: only the move
    EXPECT_EQ(e.p.cursor_pos, 12);
    EXPECT_EQ(e.view.highlights.size(), 1u);
}

TEST(Mouse, DoubleClickOpensTheVariableEditor) {
    Editor e;
    int k = e.add_var(10, 3);
    display_dbl_click(e.c, 12);   // an existing variable: the cursor goes to its first cell
    EXPECT_FALSE(e.p.new_var);
    EXPECT_EQ(e.p.act_var, k);
    EXPECT_EQ(e.p.cursor_pos, 10);
    EXPECT_EQ(e.view.var_editors, 1);

    e.view.editor_exists = true;
    display_dbl_click(e.c, 30);   // a free cell: a new variable slot
    EXPECT_TRUE(e.p.new_var);
    EXPECT_EQ(e.p.n_vars, 2);
    EXPECT_EQ(e.p.act_var, 2);

    e.view.editor_exists = false;   // nobody edits it: the slot is given back
    display_dbl_click(e.c, 31);
    EXPECT_EQ(e.p.n_vars, 2);
    EXPECT_EQ(e.p.act_var, 0);

    while (e.p.n_vars < 8) e.add_var(20 + 2 * e.p.n_vars, 1);
    int editors = e.view.var_editors;
    display_dbl_click(e.c, 0);
    EXPECT_EQ(e.prompt.beeps, 1);
    EXPECT_EQ(e.view.var_editors, editors);
}

TEST(Languages, ListClickShowsThePageInTheChosenLanguage) {
    Editor e;
    e.p.n_lang = 2;
    e.p.page_store[1][0].chars[0] = 'E';
    e.put(0, 'I');
    lang_list_click(e.c, 1);
    EXPECT_EQ(e.p.act_lang, 1);
    EXPECT_EQ(e.p.page_store[0][0].chars[0], 'I');
    EXPECT_EQ(e.view.text(0, 1), "E");
    EXPECT_EQ(e.view.link_edits_ended, 1);

    lang_list_click(e.c, 1);   // the same language: nothing reloads
    e.p.lock_events = true;
    lang_list_click(e.c, 0);   // filled by code: ignored
    EXPECT_EQ(e.p.act_lang, 1);
    EXPECT_EQ(e.view.link_edits_ended, 2);
}
