#include "core/links.h"

#include "core/context.h"
#include "core/text.h"

namespace kx {

bool start_link_edit(Ctx& c) {
    if (!c.p.link_on) return false;
    c.p.link_edit = true;
    return true;
}

BoxText link_box_changed(Ctx& c, int k, const BoxText& accepted, const BoxText& now) {
    Project& p = c.p;
    if (k < 0 || k > 3) return now;
    BoxRule rule;
    rule.allowed = is_dec_digit;
    rule.over_limit = [&](const std::string& s) { return read_decimal(s) > p.last_page_idx; };
    const BoxText shown = check_box(rule, accepted, now).shown;
    p.link_buffer[k] = static_cast<std::int16_t>(read_decimal(shown.text));
    return shown;
}

void link_box_key(Ctx& c) { c.p.prj_modified = true; }

void set_page_password(Ctx& c, bool on) {
    const std::int16_t flag = on ? 1 : 0;
    if (c.p.link_pwd != flag) c.p.prj_modified = true; // the flag is saved with the page
    c.p.link_pwd = flag;
}

} // namespace kx
