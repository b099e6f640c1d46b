#pragma once
// Changing the number of pages: appending a page at the end, inserting one at the current
// page and deleting the current page, in every language at once, and keeping the links of
// every page pointing at the same pages when pages move.
#include <string>

namespace kx {

struct Ctx;

// Adds an empty page after the last one and shows it. At 1000 pages only a beep.
void append_page(Ctx& c);
// Inserts an empty page at the current page (the pages from there on move up by one) and
// shows it. It does not commit the edit buffers: a caller that shows a page saves it first
// (the toolbar does). With `recalc` the links of the other pages are renumbered by
// recalc_links; a caller that pastes into the new page passes false and renumbers itself.
// At 1000 pages only a beep.
void insert_page(Ctx& c, bool recalc);
// Deletes the current page (the pages after it move down by one) and shows the page that
// took its place, or the page before when the last page was deleted. The only page of a
// project is blanked instead.
void delete_page(Ctx& c);

// After pages were inserted (delta > 0) or one was deleted (delta -1) at page `from`:
// every link target at or after `from` moves by delta, under the link recalculation
// policy (never, ask, automatic) and only while links are on. With `skip` the pages
// from..to (the inserted ones) keep their links. Targets end within pages 0..last_page_idx,
// so the caller sets last_page_idx to the new number of pages first.
void recalc_links(Ctx& c, int from, int to, int delta, bool skip);
// Every link of every page points at its own page.
void reset_links(Ctx& c);

// The toolbar's page keys "InsertPage", "DeletePage" and "AppendPage"; false for any other.
bool toolbar_page_command(Ctx& c, const std::string& key);

} // namespace kx
