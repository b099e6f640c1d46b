#pragma once
// The Modify menu: the page clipboard (Copy Page, Paste Page and the page-group copy) and
// the one-variable clipboard (Copy Variable, Paste Variable).
#include "core/textbox.h"

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

// A page-number box of the group-copy dialog (0 start, 1 end, 2 destination) changed from
// `accepted` to `now`: digits only, at most the last page (one past it for the destination);
// a refused keystroke is cut out and any other change that does not fit puts `accepted`
// back. The number the box then shows goes into the copy range; answers what it shows.
BoxText copy_box_changed(Project& p, int box, const BoxText& accepted, const BoxText& now);

// Variable under the cursor into the variable clipboard; a beep and a message when the
// cursor is not on a variable.
void copy_var(Ctx& c);
// The clipboard's variable, with its access, address, limits and COM1 mark, at the cursor of
// the page being edited; refused with a beep and a message when the clipboard is empty or
// its type does not exist on this model, the page is full, or the field would overlap
// another variable or run past its row.
void paste_var(Ctx& c);

} // namespace kx
