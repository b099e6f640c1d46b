#include "core/variables.h"

#include "edit_test_view.h"

#include <gtest/gtest.h>

using namespace kx;
using kx::test::Editor;

TEST(VarCells, SignPointAndDateTimeWidths) {
    Editor e;
    int k = e.add_var(3, 5, /*INT*/ 1, 2);
    EXPECT_EQ(e.buf(2, 9), " ####.## ");   // sign cell at 3, point cell at 3 + 5 - 2 + 1
    EXPECT_EQ(e.view.text(2, 9), " ####.## ");
    EXPECT_EQ(find_var(e.p, 9), k);
    EXPECT_EQ(find_var(e.p, 10), 0);

    variable_record date;
    date.type = 4;
    date.digits = 4;
    EXPECT_EQ(var_cells("KXB_5560", date).count(), 10);
    EXPECT_EQ(var_cells("KXB_530", date).count(), 10);
    date.type = 5;
    EXPECT_EQ(var_cells("KXB_540", date).count(), 8);
    EXPECT_EQ(var_cells("KXD_540", date).count(), 4);   // code 5 is BIN there
    variable_record ee_int;
    ee_int.type = 11;
    ee_int.digits = 3;
    ee_int.dec = 1 | kComBit;   // the COM1 mark is no decimal
    EXPECT_EQ(var_cells("KXB_5560", ee_int).count(), 5);
}

TEST(VarCells, MarksStayInsideTheField) {
    Editor e;
    e.write(0, "abcdefgh");
    e.p.n_vars = 1;
    e.p.variable_table[1] = {1, 0, 5, 2, 6, 0, 0, 0};   // six decimals on two digits
    mark_var_cells(e.c);
    EXPECT_EQ(e.buf(0, 8), "abcde###");   // no point written over the text before it
}

TEST(VarCells, OrphanMarksAreFreeCells) {
    Editor e;
    e.put(4, kCodeVarDigit);
    int k = e.add_var(8, 2);
    EXPECT_TRUE(in_var(e.p, 4));
    EXPECT_FALSE(var_cell_at(e.p, 4));
    EXPECT_TRUE(var_cell_at(e.p, 9));
    EXPECT_EQ(find_var(e.p, 9), k);
    EXPECT_TRUE(same_display_row(e.p, 0, 19));
    EXPECT_FALSE(same_display_row(e.p, 19, 20));
}

TEST(VarShift, InsertMovesVariablesRightAndDeletesOneThatNoLongerFits) {
    Editor e;
    int before = e.add_var(1, 2);
    int moved = e.add_var(5, 2);
    int cut = e.add_var(12, 3);   // cells 12..14
    int after = e.add_var(16, 1);
    e.p.act_var = static_cast<std::int16_t>(after);
    shift_page_variables(e.c, 4, 14);
    EXPECT_EQ(e.p.variable_table[before].pos, 1);
    EXPECT_EQ(e.p.variable_table[moved].pos, 6);
    EXPECT_EQ(e.p.n_vars, 3);
    EXPECT_EQ(e.p.variable_table[cut].pos, 16);   // the last one moved down a slot
    EXPECT_EQ(e.p.act_var, cut);                  // and stays selected
    EXPECT_EQ(e.buf(13, 2), "  ");                // the deleted field's cells are blanks
    EXPECT_EQ(e.view.text(13, 2), "  ");
    EXPECT_EQ(e.view.grid.size(), 3u);
    EXPECT_EQ(e.view.grid[2][4], "6");
}

TEST(VarShift, SelectionNeverGoesBelowZero) {
    Editor e;
    e.add_var(17, 3);
    e.add_var(10, 3);
    e.p.act_var = 0;
    shift_page_variables(e.c, 0, 19);
    EXPECT_EQ(e.p.n_vars, 1);
    EXPECT_EQ(e.p.act_var, 0);
    e.add_var(17, 3);
    e.p.act_var = 2;
    shift_page_variables(e.c, 0, 19);   // the selected variable itself goes
    EXPECT_EQ(e.p.act_var, 0);
    EXPECT_EQ(e.p.variable_table[1].pos, 12);
}

TEST(VarShift, DeleteMovesTheRestOfTheRowLeft) {
    Editor e;
    int a = e.add_var(3, 2);
    int b = e.add_var(25, 2);
    left_var(e.c, 2);
    EXPECT_EQ(e.p.variable_table[a].pos, 2);
    EXPECT_EQ(e.p.variable_table[b].pos, 25);   // another row
    EXPECT_EQ(e.view.grid[a][4], "2");
}

TEST(VarShift, FreeCellSteppingWraps) {
    Editor e;
    e.add_var(0, 2);
    e.add_var(38, 2);
    EXPECT_EQ(next_free_cell(e.p, 37), 2);
    EXPECT_EQ(prev_free_cell(e.p, 1), 37);
    e.put(2, kCodeVarDigit);   // an orphan mark counts as free
    EXPECT_EQ(next_free_cell(e.p, 39), 2);

    Editor full(16, 2);
    full.add_var(0, 16);
    full.add_var(16, 16);
    EXPECT_EQ(next_free_cell(full.p, 5), 5);
}

TEST(VarEditorChoices, DigitsAndDecimalsByType) {
    auto w = fill_digits_combo("WORD", 40);
    EXPECT_EQ(w.entries.size(), 10u);
    EXPECT_EQ(w.entries[w.index], "4");
    EXPECT_EQ(fill_digits_combo("BIN", 40).entries.back(), "16");
    auto s = fill_digits_combo("STRING", 20);
    EXPECT_TRUE(s.text_visible);
    EXPECT_FALSE(s.list_visible);
    EXPECT_EQ(s.text, "5");
    EXPECT_EQ(fill_digits_combo("ASCII", 16).text, "4");
    auto d = fill_digits_combo("DATE", 40);
    EXPECT_EQ(d.entries, std::vector<std::string>(10, "10"));
    EXPECT_EQ(d.index, 9);
    EXPECT_FALSE(d.list_enabled);
    EXPECT_EQ(fill_digits_combo("TIME", 40).index, 7);
    EXPECT_TRUE(fill_digits_combo("NOPE", 40).entries.empty());

    auto dec = fill_dec_combo("EE_INT");
    EXPECT_EQ(dec.entries, (std::vector<std::string>{"0", "1", "2", "3"}));
    EXPECT_EQ(dec.index, 3);
    EXPECT_TRUE(dec.enabled);
    auto hex = fill_dec_combo("HEX");
    EXPECT_EQ(hex.entries, std::vector<std::string>{"0"});
    EXPECT_FALSE(hex.enabled);
    EXPECT_TRUE(fill_dec_combo("").entries.empty());
}

TEST(VarGrid, NumberModeAndComColumn) {
    Editor e(40, 4);
    e.p.variable_table[1] = {0, 1, 45, 5, 2 | kComBit, 4096, 10, 65535};
    e.p.n_vars = 1;
    e.p.num_mode = "HEX";
    EXPECT_EQ(grid_row_text(e.c, 1), (std::vector<std::string>{"1", "R_O", "INT    ", "1", "5", "5", "2",
                                                                 "1000", "A", "FFFF"}));
    e.p.num_mode = "DEC";
    e.p.multi_protocol = 1;
    auto row = grid_row_text(e.c, 1);
    EXPECT_EQ(row[7], "4096");
    EXPECT_EQ(row[9], "65535");
    EXPECT_EQ(row[10], "COM_1");
    EXPECT_EQ(grid_headings(e.p).size(), 11u);
    e.p.variable_table[1].dec = 0;
    e.p.variable_table[1].access = 1;
    EXPECT_EQ(grid_row_text(e.c, 1)[10], "COM_0");
    EXPECT_EQ(grid_row_text(e.c, 1)[1], "R/W");

    e.p.kx_type = "KXA_520";   // no type list
    EXPECT_EQ(type_name(e.c, 1), "");
}
