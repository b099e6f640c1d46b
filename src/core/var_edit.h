#pragma once
// The variable editor's model: the fields of the variable under edit (Project::var_edit),
// the live preview of it on the display and its undo, the checks of its boxes, its arrows
// and its buttons. The dialog turns its controls' events into these calls; Paste Variable
// uses the fields, the two placement checks and save_var without the dialog.
#include "core/textbox.h"
#include "core/variables.h"

namespace kx {

struct Ctx;

// Fills the fields for variable act_var (new_var: a new one at the cursor, whose slot gets
// position, 4 digits, no decimals and type 0), takes the display copies and shows it.
void init_edit_var(Ctx& c);
// The dialog is shown: the preview is highlighted.
void activate_edit_var(Ctx& c);

// Cells of the variable under edit (DATE 10 and TIME 8 on the KXB models; decimals above
// the digits dropped, the COM1 bit kept).
int var_length(Ctx& c);
// True when the variable under edit shares a cell with another variable of the page.
bool overlay_var(Ctx& c);
// True when the variable under edit runs past the last cell of its row.
bool var_end_line(Ctx& c);
// Stores the fields into variable_table slot idx (access from ed_access, the COM1 bit from
// ed_dec), cutting a field that runs past its row.
void save_var(Ctx& c, int idx);

// The display copies and their use.
void display_to_mirror(Ctx& c, int idx);
void display_to_aux(Ctx& c, int idx);
void mirror_to_display(Ctx& c, int idx);
void clear_display_var(Ctx& c);
void highlight_var(Ctx& c);
void normalize_var(Ctx& c);
// Marks and paints the variable under edit where it would stand.
void preview_edit_var(Ctx& c);

// What the digits and decimals lists offer for the type under edit.
struct EditLists {
    DigitsChoice digits;
    DecChoice dec;
};
EditLists edit_lists(const Ctx& c);

// The lists and the access options (each redraws the preview while the dialog is open).
void edit_type_chosen(Ctx& c, int index);
void edit_digits_chosen(Ctx& c, int index);
void edit_dec_chosen(Ctx& c, int index);
void edit_access_chosen(Ctx& c, int index);

// The typed boxes: the box's text changed from `accepted` to `now`; answers what it shows.
enum class VarBox { Address, Min, Max, Digits, Col, Row };
BoxText edit_box_changed(Ctx& c, VarBox box, const BoxText& accepted, const BoxText& now);
// What a box shows for a stored field: the number in the number mode, or the position.
std::string edit_box_text(const Ctx& c, VarBox box);

// The up-down arrows of the column (one cell) and the row (one row, wrapping).
void edit_col_step(Ctx& c, bool up);
void edit_row_step(Ctx& c, bool up);

// The buttons: OK (com1: the COM1 option is chosen), Cancel, Delete Variable; then the
// dialog closes. Unload runs on every close, the close box included.
void edit_var_ok(Ctx& c, bool com1);
void edit_var_cancel(Ctx& c);
void edit_var_delete(Ctx& c);
void unload_edit_var(Ctx& c);

} // namespace kx
