#include "core/autolink.h"

#include "core/context.h"
#include "core/store.h"
#include "core/text.h"

#include <algorithm>

namespace kx {

std::string page_box_text(const std::string& before, const std::string& typed, int last_page_idx) {
    if (typed.empty()) return typed;
    if (!std::all_of(typed.begin(), typed.end(), [](char ch) { return ch >= '0' && ch <= '9'; }))
        return before;
    return read_decimal(typed) <= last_page_idx ? typed : before;
}

void autolink_ring(Project& p, int ini, int end) {
    if (ini < 0 || end >= kPageSlots) return;
    // Link word pairs: UP = 0 and DOWN = 1, or LEFT = 2 and RIGHT = 3.
    const int first = p.autolink_updown ? 0 : 2;
    // Which of the pair points to the next page of the ring: UP ascending, DOWN descending,
    // RIGHT ascending, LEFT descending.
    const bool first_is_next = p.autolink_updown == p.autolink_asc;
    for (int i = ini; i <= end; ++i) {
        const int prev = i > ini ? i - 1 : end;
        const int next = i < end ? i + 1 : ini;
        auto& links = p.page_store[0][i].links;
        links[first] = static_cast<std::int16_t>(first_is_next ? next : prev);
        links[first + 1] = static_cast<std::int16_t>(first_is_next ? prev : next);
    }
}

AutolinkOk autolink_ok(Ctx& c, const std::string& ini_text, const std::string& end_text) {
    Project& p = c.p;
    if (ini_text.empty() || end_text.empty()) return AutolinkOk::Close;
    const int ini = read_decimal(ini_text);
    const int end = read_decimal(end_text);
    // The dialog stays open while pages are deleted or links switched off: check the range
    // against the pages that exist now.
    if (ini > p.last_page_idx || end > p.last_page_idx) {
        c.beep();
        return ini > p.last_page_idx ? AutolinkOk::StartGone : AutolinkOk::EndGone;
    }
    if (!p.link_on) {
        c.beep();
        return AutolinkOk::LinksOff;
    }
    if (c.prompt.message(c.txt(p.autolink_updown ? 10041 : 10159), kYesNoCancel) != kAnsYes)
        return AutolinkOk::Close;
    // Typed text, variables and hand-edited links of the page shown are in the buffers only.
    save_page(c, p.act_page, p.act_lang);
    autolink_ring(p, ini, end);
    load_page(c, p.act_page, p.act_lang);
    p.prj_modified = true;
    return AutolinkOk::Close;
}

void set_autolink_order(Project& p, bool ascending) { p.autolink_asc = ascending; }
void set_autolink_keys(Project& p, bool up_down) { p.autolink_updown = up_down; }
void set_link_recalc(Project& p, int policy) {
    if (policy >= 0 && policy <= 2) p.link_recalc = policy;
}

} // namespace kx
