#pragma once
// The editor window's keyboard and mouse handlers as model routines: typing and deleting on
// the display, cursor movement, row alignment, page navigation, the terminal-language list,
// and the clicks that select a variable or open the picker and the variable editor.
#include <string>

namespace kx {

struct Ctx;
struct Project;

// Codes of the keys that the page editor handles.
enum EditKey {
    kKeyBack = 8,
    kKeyPageUp = 33,
    kKeyPageDown = 34,
    kKeyEnd = 35,
    kKeyHome = 36,
    kKeyLeft = 37,
    kKeyUp = 38,
    kKeyRight = 39,
    kKeyDown = 40,
    kKeyInsert = 45,
    kKeyDelete = 46,
};
// Modifier flags of key_down's shift argument.
enum EditShift { kShiftFlag = 1, kCtrlFlag = 2, kAltFlag = 4 };

// A key went down: cursor keys, Backspace, Delete, page keys and Insert.
void key_down(Ctx& c, int key_code, int shift);
// A character was typed (codes 32..127; others are ignored).
void key_press(Ctx& c, int key_ascii);
// Puts a character code at the cursor as typing does: nothing on a variable, the row opened
// in insert mode (a beep when a variable ends the row), the cursor one cell on.
void enter_char(Ctx& c, int code);
// A click on picture 0..3 of the special-character picker enters the arrow up, down, left
// or right (codes 6, 7, 4, 5).
void char_picker_click(Ctx& c, int index);

// The cursor's row: its text moves to the left edge, the middle or the right edge.
void text_left(Ctx& c);
void center_text(Ctx& c);
void text_right(Ctx& c);
// True when any cell of the cell's row belongs to a variable.
bool row_has_var(const Project& p, int cell);

// Page navigation; each beeps at its limit.
void page_up(Ctx& c);
void page_down(Ctx& c);
void first_page(Ctx& c);
void last_page(Ctx& c);
// Asks for a page number and shows that page; beeps on anything that is not a page.
void goto_page(Ctx& c);
// The toolbar's row and page buttons by key ("TextLeft", "PageUp", ...); false for a key
// that is not one of them.
bool toolbar_edit_command(Ctx& c, const std::string& key);

// Mouse on display cell `cell`: click, button-down (button 2 is the right button) and
// double click.
void display_click(Ctx& c, int cell);
void display_mouse_down(Ctx& c, int cell, int button);
void display_dbl_click(Ctx& c, int cell);

// A click on entry `index` of the terminal-language list. The window moves the focus on by
// two controls afterwards, as the list's click always does.
void lang_list_click(Ctx& c, int index);

// Ends link editing (the link boxes return to their idle state).
void disable_edit_link(Ctx& c);

} // namespace kx
