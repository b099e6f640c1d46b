#pragma once
// Autolink: links a range of pages into a ring on one pair of keys (UP/DOWN or LEFT/RIGHT),
// in ascending or descending order; and the text rule of the dialog's two page boxes.
#include <string>

namespace kx {

struct Ctx;
struct Project;

// The text a page box keeps after the user changed it from `before` to `typed`: the whole
// new text is checked (typed, pasted or dropped alike); it stays when it is empty or a
// decimal number of a page that exists, otherwise the box keeps `before`.
std::string page_box_text(const std::string& before, const std::string& typed, int last_page_idx);

// Writes the ring for pages ini..end into the language-0 records (nothing when ini > end),
// with the order and keys of p.autolink_asc and p.autolink_updown.
void autolink_ring(Project& p, int ini, int end);

// The dialogs' choices: ring order, ring keys, and the link recalculation policy (0 never,
// 1 ask, 2 automatic). They last for the run of the program.
void set_autolink_order(Project& p, bool ascending);
void set_autolink_keys(Project& p, bool up_down);
void set_link_recalc(Project& p, int policy);

enum class AutolinkOk {
    Close,     // done, declined or nothing to do: the dialog closes
    StartGone, // the start page no longer exists: the dialog stays
    EndGone,   // the end page no longer exists: the dialog stays
    LinksOff,  // links were switched off meanwhile: the dialog stays
};

// OK of the autolink dialog with the texts of its two page boxes: asks, commits the page
// shown, writes the ring, shows the page again with its new links.
AutolinkOk autolink_ok(Ctx& c, const std::string& ini_text, const std::string& end_text);

} // namespace kx
