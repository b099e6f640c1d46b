#pragma once
// The Modify menu: the page clipboard (Copy Page, Paste Page and the page-group copy) and
// the one-variable clipboard (Copy Variable, Paste Variable).
#include <string>

namespace kx {

struct Ctx;
struct Project;

// Modify > Copy Page: the page being edited, committed, into the page clipboard.
void copy_page(Ctx& c);
// Modify > Paste Page: the copied page as a new page inserted at the current page, linking
// to itself before the link policy runs. A beep when nothing was copied or the project
// already has 1000 pages.
void paste_page(Ctx& c);
// Modify > Copy Group: pages copy_start..copy_end as new pages at copy_dest (copy_dest one
// past the last page appends them), in every language, the links renumbered by the link
// policy. The current page is committed first. When the range is not within the project,
// the destination lies beyond one past the last page or the copy would not fit within
// 1000 pages: a beep, nothing copied, false.
bool copy_pages(Ctx& c);
// The group-copy dialog's boxes: box 0 start, 1 end, 2 destination; reset sets all three to 0.
void set_copy_range(Project& p, int box, int value);
void reset_copy_range(Project& p);

// Page-clipboard records: blank, from the store, into the store.
void clear_clipboard_page(Ctx& c, int page);
void copy_page_to_clipboard(Ctx& c, int page);
void paste_page_from_clipboard(Ctx& c, int src, int dest);

// A page-number box of the group-copy dialog after the user changed it, with the caret at
// `caret`: every character that is not a digit is cut out, then the digit left of the caret
// (the caret stepping back) while the number exceeds `limit`. `value` is the number the box
// then holds.
struct PageBox {
    std::string text;
    int caret = 0;
    int value = 0;
};
PageBox check_page_box(const std::string& text, int caret, int limit);

// Variable under the cursor into the variable clipboard; a beep and a message when the
// cursor is not on a variable.
void copy_var(Ctx& c);
// The clipboard's variable, with its access, address, limits and COM1 mark, at the cursor of
// the page being edited; refused with a beep and a message when the clipboard is empty or
// its type does not exist on this model, the page is full, or the field would overlap
// another variable or run past its row.
void paste_var(Ctx& c);

} // namespace kx
