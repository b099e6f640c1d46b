#pragma once
// The simulated display's model side: which glyph a code draws, laying out and blanking the
// display, the cursor blink, and the editor window's page, cursor, mode, link and model labels.
#include "core/view.h"

namespace kx {

struct Ctx;

// The code itself for 4..7 and 32..129, else 130 (the invalid-character glyph).
int check_char(int code);
// The arrows 4..7 (left, right, up, down) are kept in project files and sent on the line
// as 17, 16, 30 and 31. The code of an arrow there, 0 for any other code; and back.
int arrow_line_code(int code);
int arrow_of_line_code(int byte);

// Lays out the display for the current geometry and blanks it (buffer and cells).
void build_display(Ctx& c);
// Blanks every cell of the display and of display_buffer.
void clear_display(Ctx& c);
// Repaints cell `cell` of the display from display_buffer with its normal glyph.
void paint_buffer_cell(Ctx& c, int cell);
// Paints the cursor image of the cursor cell (underlined in insert mode, reverse otherwise;
// highlighted variants on a variable cell while the variable editor is open).
void paint_cursor_cell(Ctx& c);

void show_page_nr(Ctx& c, int page);
void show_row_col(Ctx& c, int pos);
void set_number_mode(Ctx& c, int mode);
void apply_number_mode(Ctx& c);
void show_model_label(Ctx& c);
void set_link_mode(Ctx& c, int mode);
// Options > Link item 0 (links on) or 1 (off): the project counts as modified.
void menu_link_click(Ctx& c, int mode);
void apply_link_mode(Ctx& c);

// One blink step: `blink_state` tells which image comes next and is updated.
void blink_step(Ctx& c, int& blink_state);

// Layout numbers of the display (pixels).
struct DisplayGeometry {
    int cell_w = 14, cell_h = 18;
    int pitch_x = 13, pitch_y = 17;
    int border_w = 0, border_h = 0;
};
DisplayGeometry display_geometry(int n_cols, int n_rows);

} // namespace kx
