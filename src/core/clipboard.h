#pragma once
// The Modify menu: the page clipboard (Copy Page, Paste Page and the page-group copy) and
// the one-variable clipboard (Copy Variable, Paste Variable).
namespace kx {

struct Ctx;

// Variable under the cursor into the variable clipboard; a beep and a message when the
// cursor is not on a variable.
void copy_var(Ctx& c);
// The clipboard's variable, with its access, address, limits and COM1 mark, at the cursor of
// the page being edited; refused with a beep and a message when the clipboard is empty or
// its type does not exist on this model, the page is full, or the field would overlap
// another variable or run past its row.
void paste_var(Ctx& c);

} // namespace kx
