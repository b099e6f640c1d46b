// The variable editor's model: its boxes typed and pasted into, its arrows, the placement
// checks, what OK, Cancel, Delete and the close box leave on the page, and the preview.
#include "core/var_edit.h"

#include "core/links.h"
#include "core/store.h"
#include "support/recording_view.h"
#include "support/round_trip.h"

#include <gtest/gtest.h>

using namespace kx;
using kx::test::Editor;

namespace {

// A 40 x 4 KXB_540 page with text, the editor open on a new variable at `cursor`.
struct VarEdit : Editor {
    VarEdit() : Editor(40, 4) {
        p.kx_type = "KXB_540";
        write(0, "Temperatura forno:");
        write(40, "Set:");
    }
    void open_new(int cursor) {
        p.cursor_pos = static_cast<std::int16_t>(cursor);
        p.new_var = true;
        p.act_var = ++p.n_vars;
        init_edit_var(c);
        activate_edit_var(c);
    }
    void open_existing(int k) {
        p.new_var = false;
        p.act_var = static_cast<std::int16_t>(k);
        init_edit_var(c);
        activate_edit_var(c);
    }
    // Types `keys` one by one at the end of the box, as a keyboard does.
    std::string type(VarBox b, const std::string& start, const std::string& keys) {
        BoxText shown{start, static_cast<int>(start.size())};
        for (char k : keys) {
            BoxText now = shown;
            now.text.insert(now.caret, 1, k);
            ++now.caret;
            shown = edit_box_changed(c, b, shown, now);
        }
        return shown.text;
    }
    BoxText change(VarBox b, const std::string& from, const BoxText& now) {
        return edit_box_changed(c, b, {from, static_cast<int>(from.size())}, now);
    }
    var_edit_state& e() { return p.var_edit; }
    void shape(int pos, int type, int digits, int dec) {
        e().ed_pos = pos;
        e().ed_type = type;
        e().ed_digits = digits;
        e().ed_dec = dec;
    }
};

using Shown = std::pair<GlyphSet, int>;

} // namespace

TEST(VarEditBoxes, AddressLimitsInBothNumberModes) {
    VarEdit t;
    t.open_new(60);
    t.p.num_mode = "HEX"; // the address box typed into is driven in tests/editor
    EXPECT_EQ(t.type(VarBox::Max, "", "FFFF1"), "FFFF"); // a fifth significant digit
    EXPECT_EQ(t.e().ed_max, 65535);
    EXPECT_EQ(t.type(VarBox::Min, "", "0fff"), "0fff");
    EXPECT_EQ(t.e().ed_min, 0xFFF);

    t.p.num_mode = "DEC";
    EXPECT_EQ(t.type(VarBox::Address, "", "65535"), "65535");
    EXPECT_EQ(t.type(VarBox::Address, "", "655359"), "65535");
    EXPECT_EQ(t.type(VarBox::Address, "", "7A"), "7");
    EXPECT_EQ(t.e().ed_address, 7);
    EXPECT_EQ(t.type(VarBox::Min, "", "900"), "900");
    EXPECT_EQ(t.type(VarBox::Max, "", "10"), "10"); // a minimum above the maximum is kept
    EXPECT_EQ(t.e().ed_min, 900);
}

TEST(VarEditBoxes, PastedOrDroppedTextNeverStoresARefusedValue) {
    VarEdit t;
    t.open_new(60);
    t.p.num_mode = "DEC";
    t.type(VarBox::Address, "", "12");
    // A refused character or too big a number pasted: the last accepted text and caret
    // come back.
    EXPECT_EQ(t.change(VarBox::Address, "12", {"1x52", 4}), (BoxText{"12", 2}));
    EXPECT_EQ(t.change(VarBox::Address, "12", {"99999912", 6}), (BoxText{"12", 2}));
    EXPECT_EQ(t.e().ed_address, 12);
    t.p.num_mode = "HEX";
    EXPECT_EQ(t.change(VarBox::Max, "0", {"ZZ1", 3}).text, "0");
    EXPECT_EQ(t.change(VarBox::Digits, "4", {"4-1", 3}).text, "4");
    // One character past the limit, pasted or typed over a selection: put back, not cut.
    EXPECT_EQ(t.change(VarBox::Max, "12", {"1FFFF", 5}), (BoxText{"12", 2}));
    EXPECT_EQ(t.change(VarBox::Max, "12", {"FFFF", 4}).text, "FFFF");
    EXPECT_EQ(t.change(VarBox::Row, "1", {"4", 1}).text, "1");
    EXPECT_EQ(t.change(VarBox::Col, "5", {"00", 2}).text, "5");
    // The same texts typed over a selection: the refused key alone is cut out.
    EXPECT_EQ(t.change(VarBox::Row, "1", {"4", 1, true}), (BoxText{"", 0}));
    EXPECT_EQ(t.change(VarBox::Max, "12", {"1F", 2, true}).text, "1F");
    EXPECT_EQ(t.change(VarBox::Address, "FFFF", {"FFFG", 4, true}), (BoxText{"FFF", 3}));

    // Link boxes: never above the last page, digits only.
    t.p.last_page_idx = 3;
    EXPECT_EQ(link_box_changed(t.c, 1, {"2", 1}, {"a3", 2}).text, "2");
    EXPECT_EQ(t.p.link_buffer[1], 2);
    EXPECT_EQ(link_box_changed(t.c, 1, {"2", 1}, {"77", 2}).text, "2");
    EXPECT_EQ(link_box_changed(t.c, 1, {"2", 1}, {"", 0}).text, "");
    EXPECT_EQ(t.p.link_buffer[1], 0);
}

TEST(VarEditBoxes, ColumnRowAndDigitsBoxesMoveThePreview) {
    VarEdit t;
    t.open_new(60); // WORD, 4 digits: columns 0..36 fit
    EXPECT_EQ(t.type(VarBox::Col, "", "00"), "0");
    EXPECT_EQ(t.type(VarBox::Col, "", "37"), "3");
    EXPECT_EQ(t.type(VarBox::Col, "", "36"), "36");
    EXPECT_EQ(t.e().ed_pos, 76);
    EXPECT_EQ(t.p.variable_table[1].pos, 76);
    EXPECT_EQ(t.buf(70, 10), "      ####");
    EXPECT_EQ(t.type(VarBox::Row, "", "4"), "");
    EXPECT_EQ(t.type(VarBox::Row, "", "3"), "3");
    EXPECT_EQ(t.e().ed_pos, 156);
    EXPECT_EQ(t.buf(76, 4), "    ");

    // Deleting the first character: what is left stays when it lies between "0" and "9" as
    // text, and is stored only when in range.
    EXPECT_EQ(t.change(VarBox::Col, "12", {"2", 0}).text, "2");
    EXPECT_EQ(t.e().ed_pos, 122);
    EXPECT_EQ(t.change(VarBox::Col, "95", {"5", 0}).text, "5");
    EXPECT_EQ(t.change(VarBox::Col, "X9", {"9", 0}).text, "9");
    EXPECT_EQ(t.e().ed_pos, 129);

    EXPECT_EQ(t.type(VarBox::Digits, "", "41"), "4"); // more than 40 columns
    EXPECT_EQ(t.type(VarBox::Digits, "", "11"), "11");
    EXPECT_EQ(t.e().ed_digits, 11);
    EXPECT_EQ(t.buf(129, 11), "###########");
}

TEST(VarEditArrows, ColumnStopsAtTheRowEdgesAndRowWraps) {
    VarEdit t;
    t.open_new(40);
    edit_col_step(t.c, false); // already on the first column
    EXPECT_EQ(t.prompt.beeps, 1);
    EXPECT_EQ(t.e().ed_pos, 40);
    EXPECT_EQ(t.buf(40, 5), "#### "); // the preview hides "Set:" while it stands there
    edit_col_step(t.c, true);
    EXPECT_EQ(t.buf(40, 6), "S#### ");
    t.e().ed_pos = 76; // 4 cells from column 36: the last one is the row's last column
    edit_col_step(t.c, true);
    EXPECT_EQ(t.prompt.beeps, 2);
    EXPECT_EQ(t.e().ed_pos, 76);

    t.e().ed_pos = 125;
    edit_row_step(t.c, false); // down from the last row: the first row, same column
    EXPECT_EQ(t.e().ed_pos, 5);
    EXPECT_EQ(t.p.variable_table[1].pos, 5);
    edit_row_step(t.c, true);
    EXPECT_EQ(t.e().ed_pos, 125);
    EXPECT_EQ(t.prompt.beeps, 2);
}

TEST(VarEditPlacement, LengthsOverlapsAndRowEnds) {
    VarEdit t;
    t.open_new(100);
    t.shape(100, 1, 4, 2); // INT, 4 digits, 2 decimals: sign, 4 digits and a point
    EXPECT_EQ(var_length(t.c), 6);
    t.e().ed_dec = 5; // decimals above the digits are dropped, the COM1 mark kept
    EXPECT_EQ(var_length(t.c), 5);
    EXPECT_EQ(t.e().ed_dec, 0);
    t.e().ed_dec = 5 | kComBit;
    var_length(t.c);
    EXPECT_EQ(t.e().ed_dec, kComBit);

    int other = t.add_var(9, 2);
    t.p.act_var = static_cast<std::int16_t>(t.p.n_vars + 1);
    t.shape(0, 4, 1, 0); // DATE on a KXB model: 10 cells whatever its digits
    EXPECT_TRUE(overlay_var(t.c));
    t.p.kx_type = "KXD_540"; // code 4 is HEX there: one digit
    t.shape(0, 4, 1, 0);
    EXPECT_FALSE(overlay_var(t.c));
    t.p.variable_table[other].pos = 0;
    EXPECT_TRUE(overlay_var(t.c));

    for (const auto& [pos, past_the_row] : {std::pair{37, false}, {38, true}, {200, true}}) {
        t.shape(pos, 0, 3, 0);
        EXPECT_EQ(var_end_line(t.c), past_the_row) << pos;
    }
}

// OK counts a field's sign cell (INT, EE_INT) and point cell: right beside another variable or
// ending on the row's last cell it is stored (and goes round the file), one cell further not.
TEST(VarEditPlacement, NeighboursAndTheRowEndFromBothSides) {
    struct Field {
        int type, digits, dec;
        std::string marks;
    };
    for (const Field& f : {Field{1, 4, 1, "####.#"}, Field{11, 4, 0, "#####"}}) {
        const int n = static_cast<int>(f.marks.size());
        const std::pair<int, bool> cases[] = {
            {50 - n, true}, {51 - n, false}, // before the WORD on cells 50..52
            {53, true},     {52, false},     // after it
            {80 - n, true}, {81 - n, false}, // the end of row 1
        };
        for (const auto& [pos, stored] : cases) {
            const std::string what = "type " + std::to_string(f.type) + " at " + std::to_string(pos);
            VarEdit t;
            t.p.kx_type = "KXB_5560"; // long type list, 40 x 4
            t.add_var(50, 3);
            t.open_new(pos);
            t.shape(pos, f.type, f.digits, f.dec);
            edit_var_ok(t.c, false);
            EXPECT_EQ(t.p.n_vars, stored ? 2 : 1) << what;
            EXPECT_EQ(t.prompt.beeps, stored ? 0 : 1) << what;
            EXPECT_EQ(t.buf(50, 3), "###") << what;
            if (!stored) continue;
            EXPECT_EQ(t.buf(pos, n), f.marks) << what;
            save_page(t.c, 0, 0);
            const auto q = test::round_trip(t.p);
            EXPECT_EQ(q->page_store[0][0].var(2), t.p.variable_table[2]) << what;
            EXPECT_TRUE(q->page_store[0][0].chars == t.p.page_store[0][0].chars) << what;
        }
    }
}

// The COM1 mark kept with the decimals is driven through the window in tests/editor.
TEST(VarEditSave, DecimalsBeyondTheDigitsAndFieldsPastTheRowAreCut) {
    VarEdit t;
    t.open_new(20);
    t.e() = var_edit_state{};
    t.e().ed_access = 1;
    t.e().ed_address = 0x1234;
    t.shape(10, 0, 4, 9 | kComBit); // more decimals than digits: none, the mark kept
    save_var(t.c, 1);
    EXPECT_EQ(t.p.variable_table[1], (variable_record{1, 0, 10, 4, kComBit, 0x1234, 0, 0}));

    t.shape(36, 0, 5, 3); // 6 cells from column 36: two cells too many
    save_var(t.c, 1);
    EXPECT_EQ(t.p.variable_table[1].digits, 3);
    EXPECT_EQ(t.p.variable_table[1].dec, 1);
}

TEST(VarEditButtons, OkStoresAndRefusesOverlapOrRowEnd) {
    VarEdit t;
    const auto page = t.p.display_buffer;
    t.open_new(50);
    t.type(VarBox::Address, "", "10");
    edit_access_chosen(t.c, 1);
    edit_dec_chosen(t.c, 1);
    edit_var_ok(t.c, true);
    EXPECT_FALSE(t.p.var_edit_open);
    EXPECT_EQ(t.p.n_vars, 1);
    EXPECT_EQ(t.p.variable_table[1], (variable_record{1, 0, 50, 4, 1 | kComBit, 0x10, 0, 0}));
    EXPECT_EQ(t.buf(48, 8), "  ###.# ");
    EXPECT_TRUE(t.p.prj_modified);

    const auto with_one = t.p.display_buffer;
    t.open_new(48); // would cover the first variable
    edit_var_ok(t.c, false);
    EXPECT_EQ(t.p.n_vars, 1);
    EXPECT_EQ(t.p.display_buffer, with_one);
    t.open_new(78); // would run past its row
    edit_var_ok(t.c, false);
    EXPECT_EQ(t.p.n_vars, 1);
    EXPECT_EQ(t.p.display_buffer, with_one);
    EXPECT_EQ(t.p.variable_table[2], variable_record{});
    EXPECT_EQ(t.prompt.beeps, 2);

    t.open_existing(1); // STRING with its digits emptied: OK deletes it
    t.e().ed_type = 2;
    t.type(VarBox::Digits, "", "0");
    edit_var_ok(t.c, false);
    EXPECT_EQ(t.p.n_vars, 0);
    EXPECT_EQ(t.p.display_buffer, page);
}

// Esc, Cancel and the close box giving the page back are driven through the window in
// tests/editor.
TEST(VarEditButtons, DeleteAfterAMoveBlanksOnlyTheVariablesOwnCells) {
    VarEdit t;
    const int k = t.add_var(44, 3);
    t.open_existing(k);
    edit_row_step(t.c, true); // onto "Temperatura"
    EXPECT_EQ(t.buf(0, 8), "Temp###t");
    edit_var_delete(t.c);
    EXPECT_EQ(t.p.n_vars, 0);
    EXPECT_EQ(t.buf(0, 18), "Temperatura forno:");
    EXPECT_EQ(t.buf(40, 8), "Set:    ");
}

TEST(VarEditPreview, NewVariableWithMoreDecimalsThanDigitsMarksNoTextCell) {
    VarEdit t;
    t.open_new(46);             // right after "Set:" and two blanks
    edit_digits_chosen(t.c, 1); // 2 digits
    edit_dec_chosen(t.c, 3);    // 3 decimals: no point cell
    EXPECT_EQ(t.buf(40, 10), "Set:  ##  ");
    edit_var_ok(t.c, false);
    EXPECT_EQ(t.buf(40, 10), "Set:  ##  ");
    EXPECT_EQ(t.p.variable_table[1].dec, 0);
}

TEST(VarEditPreview, HighlightPaintsOtherCodesWithTheirOwnGlyph) {
    VarEdit t;
    t.open_new(0);
    t.p.display_buffer[1] = 'Q'; // not a variable cell
    highlight_var(t.c);
    EXPECT_EQ(t.view.cells[0], Shown(GlyphSet::High, 1));
    EXPECT_EQ(t.view.cells[1], Shown(GlyphSet::Char, 'Q'));
}
