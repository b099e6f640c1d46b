#include "core/variables.h"

#include "support/recording_view.h"

#include <gtest/gtest.h>

using namespace kx;
using kx::test::Editor;

TEST(VarCells, SignPointDateTimeAndOrphans) {
    Editor e;
    int k = e.add_var(3, 5, /*INT*/ 1, 2);
    EXPECT_EQ(e.view.text(2, 9), " ####.## "); // sign cell 3, point cell 3 + 5 - 2 + 1
    EXPECT_EQ(find_var(e.p, 9), k);
    EXPECT_EQ(find_var(e.p, 10), 0);
    e.write(12, "\x80");
    EXPECT_FALSE(var_cell_at(e.p, 12)); // a mark no variable covers is a free cell
    EXPECT_TRUE(var_cell_at(e.p, 7));

    variable_record v{0, 4, 0, 4, 0, 0, 0, 0}; // DATE
    EXPECT_EQ(var_cells("KXB_5560", v).count(), 10);
    v.type = 5; // TIME; BIN on the short list
    EXPECT_EQ(var_cells("KXB_540", v).count(), 8);
    EXPECT_EQ(var_cells("KXD_540", v).count(), 4);
    v = {0, 11, 0, 3, 1 | kComBit, 0, 0, 0}; // EE_INT; the COM1 mark is no decimal
    EXPECT_EQ(var_cells("KXB_5560", v).count(), 5);

    // More decimals than digits (as a damaged file may hold): no point over the text.
    e.write(20, "abcdefgh");
    e.p.variable_table[2] = {1, 0, 25, 2, 6, 0, 0, 0};
    e.p.n_vars = 2;
    mark_var_cells(e.c);
    EXPECT_EQ(e.buf(20, 8), "abcde###");
}

TEST(VarShift, InsertMovesVariablesAndDeletesOneThatNoLongerFits) {
    Editor e;
    int before = e.add_var(1, 2);
    int moved = e.add_var(5, 2);
    int cut = e.add_var(12, 3); // cells 12..14
    int after = e.add_var(16, 1);
    e.p.act_var = static_cast<std::int16_t>(after);
    shift_page_variables(e.c, 4, 14);
    EXPECT_EQ(e.p.variable_table[before].pos, 1);
    EXPECT_EQ(e.p.variable_table[moved].pos, 6);
    EXPECT_EQ(e.p.n_vars, 3);
    EXPECT_EQ(e.p.variable_table[cut].pos, 16); // the last one moved down a slot
    EXPECT_EQ(e.p.act_var, cut);                // and stays selected
    EXPECT_EQ(e.view.text(13, 2), "  ");

    // The selection never goes below 0, and a deleted selected variable is unselected.
    Editor f;
    f.add_var(17, 3);
    f.add_var(10, 3);
    shift_page_variables(f.c, 0, 19);
    EXPECT_EQ(f.p.act_var, 0);
    f.add_var(17, 3);
    f.p.act_var = 2;
    shift_page_variables(f.c, 0, 19);
    EXPECT_EQ(f.p.act_var, 0);
    EXPECT_EQ(f.p.n_vars, 1);
    EXPECT_EQ(f.p.variable_table[1].pos, 12);
}

// Variables moved left by Delete and Backspace are driven through the keys in test_editing.cpp.
TEST(VarShift, FreeCellsWrapAndAFullPageHasNone) {
    Editor f;
    f.add_var(0, 2);
    f.add_var(38, 2);
    EXPECT_EQ(next_free_cell(f.p, 37), 2);
    EXPECT_EQ(prev_free_cell(f.p, 1), 37);
    Editor full(16, 1);
    full.add_var(0, 16);
    EXPECT_EQ(next_free_cell(full.p, 5), 5);
}

// The STRING box and the other lists are driven through the window in tests/editor.
TEST(VarEditorChoices, DateHasOneWidthRepeatedSoAStoredIndexStillSelectsIt) {
    auto d = fill_digits_combo("DATE", 40);
    EXPECT_EQ(d.entries, std::vector<std::string>(10, "10"));
    EXPECT_EQ(d.index, 9);
    EXPECT_TRUE(fill_digits_combo("NOPE", 40).entries.empty());
}

TEST(VarGrid, NumberModeAndComColumn) {
    Editor e(40, 4);
    e.p.variable_table[1] = {0, 1, 45, 5, 2 | kComBit, 4096, 10, 65535};
    e.p.n_vars = 1;
    EXPECT_EQ(grid_row_text(e.c, 1),
              (std::vector<std::string>{"1", "R_O", "INT    ", "1", "5", "5", "2", "1000", "A", "FFFF"}));
    e.p.num_mode = "DEC";
    e.p.multi_protocol = 1;
    auto row = grid_row_text(e.c, 1);
    EXPECT_EQ(row[7], "4096");
    EXPECT_EQ(row[10], "COM_1");
    EXPECT_EQ(grid_headings(e.p).size(), 11u);
    e.p.kx_type = "KXA_520"; // no type list
    EXPECT_EQ(type_name(e.c, 1), "");
}
