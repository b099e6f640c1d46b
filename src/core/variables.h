#pragma once
// Variables on the page: the type lists of the models, the cells a variable takes on the
// display, the variable grid's texts, and the edit-buffer operations on the variable table.
#include "core/project.h"

#include <string>
#include <vector>

namespace kx {

struct Ctx;

// The short type names a model offers, in editor-code order (empty for models without a list).
const std::vector<std::string>& variable_type_list(const std::string& kx_type);
// Short name of a type code for a model; "" when the model has no such code.
std::string type_short_name(const std::string& kx_type, int code);
// The 7-character grid/listing name of variable k of the page being edited; "" when none.
std::string type_name(const Ctx& c, int k);

// The field of a variable on the display.
struct VarCells {
    int width = 0; // digit positions (DATE 10 and TIME 8 on the models of the long type list)
    int sign = 0;  // 1 for INT and EE_INT
    int point = 0; // 1 when it has decimals
    int decimals = 0;
    int count() const { return width + sign + point; }
};
// Cells of a variable as the display draws it (DATE/TIME widened on the models of the long
// type list).
VarCells var_cells(const std::string& kx_type, const variable_record& v);
// Cells counted from the stored digits only (no DATE/TIME widening), as erasing and
// lookups count them.
int stored_cell_count(const variable_record& v);

// Headings of the variable grid: 10 columns, 11 in multi-protocol mode.
std::vector<std::string> grid_headings(const Project& p);
// The cells of grid row k from variable_table(k).
std::vector<std::string> grid_row_text(const Ctx& c, int k);

// Lays the grid's columns out (10, or 11 in multi-protocol mode); the rows stay as they are.
void load_grid(Ctx& c);
// Clears the grid to its heading row.
void init_var_grid(Ctx& c);
// Writes grid row k from the variable table.
void show_var_row(Ctx& c, int k);
// Writes the rows of every variable of the page being edited.
void show_var_rows(Ctx& c);
// Removes record k from the variable table (later records move down one slot).
void remove_var(Ctx& c, int k);
// Fills the variable editor's type list for the model.
void fill_type_combo(Ctx& c);
// True for the codes of variable cells: a digit (128) or a point (129). Inline: a file's
// reader runs it over every cell of every page.
inline bool is_var_mark(int code) { return code == kCodeVarDigit || code == kCodeVarPoint; }
// True when the cell of the page being edited is a variable cell (128 or 129).
bool in_var(const Project& p, int cell);

// The variable (1..n_vars) whose cells cover cell p, the last one when two do; 0 for none.
int find_var(const Project& p, int cell);
// Blanks variable k's cells (stored digits, cut at its row's end) in the buffer and display.
void erase_var_marks(Ctx& c, int k);
// Writes and paints variable k's placeholder cells (128, and 129 on its point cell).
void draw_var_cells(Ctx& c, int k);
// Writes the placeholder codes of every variable into display_buffer without painting
// (a page read from a file carries 219 for every cell; the point cell is put back here).
void mark_var_cells(Ctx& c);
// The same for any buffer: variables 1..n of table, cells below `cells` only.
void lay_var_marks(std::array<std::int16_t, kMaxCells>& buffer,
                   const std::array<variable_record, kVarSlots>& table, int n, int cells);
// Deletes variable k from the page being edited: marks, record and grid rows.
void delete_var(Ctx& c, int k);

// True when the cell holds a variable mark that a variable of the page covers. A mark no
// variable covers (an orphan, as a stray 219 in a page's text line leaves behind) counts as
// a free cell, so it can be typed over and deleted like text.
bool var_cell_at(const Project& p, int cell);
// True when cells a and b lie on the same display row.
bool same_display_row(const Project& p, int a, int b);

// A character was inserted at cell `from`: every variable whose first cell lies in
// from..to moves one cell right; one whose field would then run past `to` is deleted.
void shift_page_variables(Ctx& c, int from, int to);
// Cell `cell` was deleted: every variable from that cell to its row's end moves one cell left.
void left_var(Ctx& c, int cell);
// The nearest cell before / after pos that is not a variable cell, wrapping around the
// display; pos itself when every other cell belongs to a variable.
int prev_free_cell(const Project& p, int pos);
int next_free_cell(const Project& p, int pos);

// What the variable editor's digits choice offers for a type name: a list (entries and the
// preselected index) or, for STRING and ASCII, a text box with its proposed value.
struct DigitsChoice {
    std::vector<std::string> entries;
    int index = -1; // preselected entry; -1 when the list is empty
    bool list_visible = true;
    bool list_enabled = true;
    bool text_visible = false; // the digits text box replaces the list
    std::string text;          // the text box's proposed value
};
DigitsChoice fill_digits_combo(const std::string& type, int n_cols);
// What the decimals list offers for a type name.
struct DecChoice {
    std::vector<std::string> entries;
    int index = -1;
    bool enabled = true;
};
DecChoice fill_dec_combo(const std::string& type);

} // namespace kx
