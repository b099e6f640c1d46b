#include "core/clipboard.h"

#include "core/context.h"
#include "core/display.h"
#include "core/pages.h"
#include "core/store.h"
#include "core/text.h"

#include <algorithm>

namespace kx {
namespace {

int cell_count(const Project& p) { return std::clamp(p.cells(), 0, kMaxCells - 1); }
int lang_count(const Project& p) { return std::clamp<int>(p.n_lang, 1, kLangSlots); }

// Copies the language-0 fields of a page that belong to the page as a whole: its variables
// (slots 1..count), their count and its password flag.
void copy_page_fields(const page_record& from, page_record& to) {
    const int nv = std::clamp<int>(from.var_count, 0, kMaxVars);
    to.var_count = static_cast<std::int16_t>(nv);
    for (int s = 1; s <= nv; ++s) to.set_var(s, from.var(s));
    to.pwd = from.pwd;
}

void copy_chars(const Project& p, const page_store_t& from, int src, page_store_t& to, int dest) {
    const int n = cell_count(p);
    for (int L = 0; L < lang_count(p); ++L)
        std::copy_n(from[L][src].chars.begin(), n, to[L][dest].chars.begin());
}

} // namespace

void clear_clipboard_page(Ctx& c, int page) {
    Project& p = c.p;
    if (!valid_page(page)) return;
    for (int L = 0; L < lang_count(p); ++L)
        std::fill_n(p.page_clipboard[L][page].chars.begin(), cell_count(p), 32);
    page_record& r0 = p.page_clipboard[0][page];
    r0.var_count = 0;
    for (int s = 1; s < kVarSlots; ++s) r0.set_var(s, variable_record{});
    for (int k = 0; k < 4; ++k) r0.links[k] = static_cast<std::int16_t>(page);
    r0.pwd = 0;
}

void copy_page_to_clipboard(Ctx& c, int page) {
    Project& p = c.p;
    if (!valid_page(page)) return;
    clear_clipboard_page(c, page);
    copy_chars(p, p.page_store, page, p.page_clipboard, page);
    copy_page_fields(p.page_store[0][page], p.page_clipboard[0][page]);
    for (int k = 0; k < 4; ++k) p.page_clipboard[0][page].links[k] = p.page_store[0][page].links[k];
}

void paste_page_from_clipboard(Ctx& c, int src, int dest) {
    Project& p = c.p;
    if (!valid_page(src) || !valid_page(dest)) return;
    copy_chars(p, p.page_clipboard, src, p.page_store, dest);
    copy_page_fields(p.page_clipboard[0][src], p.page_store[0][dest]);
    // A pasted page links to itself until the link rules or the user change it.
    for (int k = 0; k < 4; ++k) p.page_store[0][dest].links[k] = static_cast<std::int16_t>(dest);
}

void copy_page(Ctx& c) {
    Project& p = c.p;
    p.page_clip_ok = true;
    c.menus.at(Menu::Modify, 1).enabled = true;
    c.menus_changed();
    p.page_clip_nr = p.act_page;
    save_page(c, p.act_page, p.act_lang);
    copy_page_to_clipboard(c, p.page_clip_nr);
}

void paste_page(Ctx& c) {
    Project& p = c.p;
    if (!p.page_clip_ok) {
        c.beep();
        return;
    }
    // The edits of the page on display go into the store before the pages move.
    save_page(c, p.act_page, p.act_lang);
    const int pages = p.last_page_idx;
    insert_page(c, false);
    if (p.last_page_idx == pages) return; // 1000 pages: the insert refused with a beep
    paste_page_from_clipboard(c, p.page_clip_nr, p.act_page);
    if (!p.link_on) {
        reset_links(c);
        set_link_buffer(c, p.act_page, p.act_page, p.act_page, p.act_page);
    }
    recalc_links(c, p.act_page, p.act_page, +1, true);
    load_page(c, p.act_page, p.act_lang);
}

bool copy_pages(Ctx& c) {
    Project& p = c.p;
    const int start = p.copy_start, end = p.copy_end, dest = p.copy_dest;
    const int n = end - start + 1;
    // All or nothing: a range within the project, a destination up to one past its last
    // page, and room for every copy.
    if (start < 0 || start > end || end > p.last_page_idx || dest < 0 || dest > p.last_page_idx + 1 ||
        p.last_page_idx + n > kMaxPageIdx) {
        c.beep();
        return false;
    }
    save_page(c, p.act_page, p.act_lang);
    for (int i = start; i <= end; ++i) copy_page_to_clipboard(c, i);
    const int shown = p.act_page;
    p.act_page = static_cast<std::int16_t>(dest);
    const bool append = dest > p.last_page_idx;
    for (int i = 0; i < n; ++i) {
        if (append) append_page(c);
        else insert_page(c, false);
    }
    for (int i = start; i <= end; ++i) paste_page_from_clipboard(c, i, dest + i - start);
    if (!p.link_on) reset_links(c);
    recalc_links(c, dest, dest + n - 1, n, true);
    p.act_page = static_cast<std::int16_t>(shown);
    load_page(c, p.act_page, p.act_lang);
    show_page_nr(c, p.act_page);
    return true;
}

BoxText copy_box_changed(Project& p, int box, const BoxText& accepted, const BoxText& now) {
    if (box < 0 || box > 2) return now;
    const int limit = box == 2 ? p.last_page_idx + 1 : p.last_page_idx;
    BoxRule rule;
    rule.allowed = is_dec_digit;
    rule.over_limit = [limit](const std::string& s) { return read_decimal(s) > limit; };
    const BoxText shown = check_box(rule, accepted, now).shown;
    set_copy_range(p, box, read_decimal(shown.text));
    return shown;
}

void set_copy_range(Project& p, int box, int value) {
    std::int16_t* field[] = {&p.copy_start, &p.copy_end, &p.copy_dest};
    if (box >= 0 && box < 3) *field[box] = static_cast<std::int16_t>(value);
}

void reset_copy_range(Project& p) { p.copy_start = p.copy_end = p.copy_dest = 0; }

} // namespace kx
