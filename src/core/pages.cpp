#include "core/pages.h"

#include "core/context.h"
#include "core/display.h"
#include "core/store.h"
#include "core/variables.h"

#include <algorithm>

namespace kx {
namespace {

int cell_count(const Project& p) { return std::clamp(p.cells(), 0, kMaxCells - 1); }
int lang_count(const Project& p) { return std::clamp<int>(p.n_lang, 1, kLangSlots); }

// Page `from` takes the place of page `to`: its characters in every language; in language 0
// its variables (the target's slots emptied first), their count, its links and its password
// flag, so that a protected page stays protected wherever it moves.
void move_page(Project& p, int from, int to) {
    const int n = cell_count(p);
    for (int L = 0; L < lang_count(p); ++L) {
        const auto& src = p.page_store[L][from].chars;
        auto& dst = p.page_store[L][to].chars;
        std::copy(src.begin(), src.begin() + n, dst.begin());
    }
    const page_record& s = p.page_store[0][from];
    page_record& d = p.page_store[0][to];
    for (int k = 0; k < kVarSlots; ++k) d.set_var(k, variable_record{});
    const int nv = std::clamp<int>(s.var_count, 0, kMaxVars);
    for (int k = 1; k <= nv; ++k) d.set_var(k, s.var(k));
    d.var_count = s.var_count;
    for (int k = 0; k < 4; ++k) d.links[k] = s.links[k];
    d.pwd = s.pwd;
}

// Empties the variable table of the page being edited and its grid.
void empty_edit_buffers(Ctx& c) {
    Project& p = c.p;
    for (auto& v : p.variable_table) v = variable_record{};
    p.n_vars = 0;
    init_var_grid(c);
}

// The password options of a page that starts empty.
void password_off(Ctx& c) {
    c.p.link_pwd = 0;
    c.view().show_pwd(false);
}

} // namespace

void append_page(Ctx& c) {
    Project& p = c.p;
    if (p.last_page_idx >= kMaxPageIdx) {
        c.beep();
        return;
    }
    save_page(c, p.act_page, p.act_lang);
    ++p.last_page_idx;
    p.act_page = p.last_page_idx;
    for (int L = 0; L < lang_count(p); ++L) clear_page(c, p.act_page, L);
    show_page_nr(c, p.act_page);
    clear_display(c);
    empty_edit_buffers(c);
    p.act_var = 0;
    set_link_buffer(c, p.act_page, p.act_page, p.act_page, p.act_page);
    password_off(c);
    p.prj_modified = true;
}

void insert_page(Ctx& c, bool recalc) {
    Project& p = c.p;
    if (p.last_page_idx >= kMaxPageIdx) {
        c.beep();
        return;
    }
    const int at = std::clamp<int>(p.act_page, 0, p.last_page_idx);
    p.act_page = static_cast<std::int16_t>(at);
    for (int pg = p.last_page_idx; pg >= at; --pg) move_page(p, pg, pg + 1);
    ++p.last_page_idx;
    for (int L = 0; L < lang_count(p); ++L) clear_page(c, at, L);
    clear_display(c);
    empty_edit_buffers(c);
    for (int k = 0; k < 4; ++k) p.page_store[0][at].links[k] = static_cast<std::int16_t>(at);
    set_link_buffer(c, at, at, at, at);
    password_off(c);
    if (!p.link_on) reset_links(c);
    if (recalc) recalc_links(c, at, at, +1, true);
    p.act_var = 0;
    p.n_vars = 0;
    show_page_nr(c, at);
    p.prj_modified = true;
}

void delete_page(Ctx& c) {
    Project& p = c.p;
    save_page(c, p.act_page, p.act_lang);
    empty_edit_buffers(c);
    if (p.last_page_idx < 1) {
        const int n = cell_count(p);
        for (int L = 0; L < lang_count(p); ++L) std::fill_n(p.page_store[L][p.act_page].chars.begin(), n, 32);
        clear_display(c);
        empty_edit_buffers(c);
        set_link_buffer(c, p.act_page, p.act_page, p.act_page, p.act_page);
        if (!p.link_on) reset_links(c);
        p.act_var = 0;
        p.n_vars = 0;
        // A blanked page is a new page: it does not keep the deleted page's password.
        p.link_pwd = 0;
        save_page(c, p.act_page, p.act_lang);
    } else {
        const bool was_last = p.act_page == p.last_page_idx;
        for (int pg = p.act_page; pg < p.last_page_idx; ++pg) move_page(p, pg + 1, pg);
        // The links are renumbered within the pages that remain, so that a link to a deleted
        // last page reaches the new last page instead of a page that no longer exists.
        --p.last_page_idx;
        if (!p.link_on) reset_links(c);
        recalc_links(c, p.act_page, p.act_page, -1, false);
        if (was_last) --p.act_page;
        init_var_grid(c);
    }
    load_page(c, p.act_page, p.act_lang);
    show_page_nr(c, p.act_page);
    p.prj_modified = true;
}

void recalc_links(Ctx& c, int from, int to, int delta, bool skip) {
    Project& p = c.p;
    if (!p.link_on || p.link_recalc == 0) return;
    if (p.link_recalc == 1 && c.prompt.message(c.txt(10152), kYesNoCancel) != kAnsYes) return;
    const bool deleting = delta == -1;
    const int last = std::clamp<int>(p.last_page_idx, 0, kPageSlots - 1);
    for (int L = 0; L < lang_count(p); ++L) {
        for (int pg = 0; pg <= last; ++pg) {
            if (skip && pg >= from && pg <= to) continue;
            for (int k = 0; k < 4; ++k) {
                int t = p.page_store[L][pg].links[k];
                if (!(deleting && t == from && pg < from) && t >= from) t += delta;
                p.page_store[L][pg].links[k] = static_cast<std::int16_t>(std::clamp(t, 0, last));
            }
        }
    }
    apply_link_mode(c);
}

void reset_links(Ctx& c) {
    Project& p = c.p;
    const int last = std::clamp<int>(p.last_page_idx, 0, kPageSlots - 1);
    for (int pg = 0; pg <= last; ++pg)
        for (int k = 0; k < 4; ++k) p.page_store[0][pg].links[k] = static_cast<std::int16_t>(pg);
}

bool toolbar_page_command(Ctx& c, const std::string& key) {
    Project& p = c.p;
    if (key == "InsertPage") {
        save_page(c, p.act_page, p.act_lang);
        insert_page(c, true);
    } else if (key == "DeletePage") {
        delete_page(c);
    } else if (key == "AppendPage") {
        append_page(c);
    } else {
        return false;
    }
    return true;
}

} // namespace kx
