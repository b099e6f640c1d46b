#include "core/store.h"

#include "core/context.h"
#include "core/display.h"
#include "core/models.h"
#include "core/shell.h"
#include "core/variables.h"

#include <algorithm>

namespace kx {

void save_page(Ctx& c, int page, int lang) {
    Project& p = c.p;
    if (!valid_page(page) || !valid_lang(lang)) return;
    const int n = p.cells();
    const int langs = std::clamp<int>(p.n_lang, 1, kLangSlots);
    for (int L = 0; L < langs; ++L) {
        auto& chars = p.page_store[L][page].chars;
        for (int i = 0; i < n; ++i) {
            if (is_var_mark(chars[i])) chars[i] = 32;
            if (is_var_mark(p.display_buffer[i])) chars[i] = p.display_buffer[i];
        }
    }
    page_record& own = p.page_store[lang][page];
    for (int i = 0; i < n; ++i) own.chars[i] = p.display_buffer[i];
    page_record& r0 = p.page_store[0][page];
    r0.pwd = p.link_pwd == 1 ? 1 : 0;
    const int nv = std::clamp<int>(p.n_vars, 0, kMaxVars);
    r0.var_count = static_cast<std::int16_t>(nv);
    for (int s = 1; s < kVarSlots; ++s) r0.set_var(s, variable_record{});
    for (int s = 1; s <= nv; ++s) r0.set_var(s, p.variable_table[s]);
    for (int k = 0; k < 4; ++k) r0.links[k] = p.link_buffer[k];
}

void load_page(Ctx& c, int page, int lang) {
    Project& p = c.p;
    if (!valid_page(page) || !valid_lang(lang)) return;
    const int n = p.cells();
    const page_record& own = p.page_store[lang][page];
    for (int i = 0; i < n; ++i) {
        p.display_buffer[i] = own.chars[i];
        c.view().paint_cell(i, GlyphSet::Char, check_char(own.chars[i]));
    }
    init_var_grid(c);
    for (int k = std::clamp<int>(p.n_vars, 0, kMaxVars); k >= 1; --k) remove_var(c, k);
    p.n_vars = 0;
    const page_record& r0 = p.page_store[0][page];
    const int nv = std::clamp<int>(r0.var_count, 0, kMaxVars);
    p.n_vars = static_cast<std::int16_t>(nv);
    p.link_pwd = r0.pwd == 1 ? 1 : 0;
    c.view().show_pwd(p.link_pwd == 1);
    p.act_var = 0;
    for (int s = 1; s <= nv; ++s) {
        p.variable_table[s] = r0.var(s);
        show_var_row(c, s);
    }
    set_link_buffer(c, r0.links[0], r0.links[1], r0.links[2], r0.links[3]);
}

void set_link_buffer(Ctx& c, int up, int down, int left, int right) {
    Project& p = c.p;
    const int links[4] = {up, down, left, right};
    const bool was_locked = p.lock_events;
    p.lock_events = true;
    for (int k = 0; k < 4; ++k) {
        p.link_buffer[k] = static_cast<std::int16_t>(links[k]);
        c.view().show_link_box(k, std::to_string(links[k]));
    }
    p.lock_events = was_locked;
}

void empty_link_box(Ctx& c, int k) {
    Project& p = c.p;
    if (k < 0 || k > 3) return;
    p.link_buffer[k] = p.act_page;
    c.view().show_link_box(k, std::to_string(p.act_page));
}

void clear_project(Ctx& c) {
    Project& p = c.p;
    const int n = p.cells();
    for (int i = 0; i < n; ++i) p.display_buffer[i] = 32;
    const int langs = std::clamp<int>(p.n_lang, 1, kLangSlots);
    const int last = std::clamp<int>(p.last_page_idx, 0, kPageSlots - 1);
    for (int L = 0; L < langs; ++L) {
        for (int pg = 0; pg <= last; ++pg) {
            page_record& r = p.page_store[L][pg];
            for (int i = 0; i < n; ++i) r.chars[i] = 32;
            for (int s = 1; s < kVarSlots; ++s) r.set_var(s, variable_record{});
            for (int k = 0; k < 4; ++k) r.links[k] = 0;
            r.var_count = 0;
            r.pwd = 0; // a stale flag would protect the wrong page later
        }
    }
    set_link_buffer(c, 0, 0, 0, 0);
    // The page on display is blank: the password of the page shown before does not carry
    // over to the project that replaces it.
    p.link_pwd = 0;
    c.view().show_pwd(false);
    for (auto& v : p.variable_table) v = variable_record{};
    for (int L = 0; L < langs; ++L)
        for (auto& s : p.global_strings[L]) s.clear();
    p.cursor_pos = 0;
    p.act_var = 0;
    p.act_page = 0;
    p.n_vars = 0;
    p.n_strings = 0;
    p.last_page_idx = 0;
}

void clear_page(Ctx& c, int page, int lang) {
    Project& p = c.p;
    if (!valid_page(page) || !valid_lang(lang)) return;
    const int n = p.cells();
    page_record& r = p.page_store[lang][page];
    for (int i = 0; i < n; ++i) r.chars[i] = 32;
    for (int s = 0; s < kVarSlots; ++s) r.set_var(s, variable_record{});
    // A count left from the record's earlier page would announce variables whose slots
    // were just emptied.
    r.var_count = 0;
    for (int k = 0; k < 4; ++k) r.links[k] = static_cast<std::int16_t>(page);
    r.pwd = 0;
}

void adjust_copy_var(Ctx& c, const std::string& old_model) {
    // No previous model: nothing to carry over (the caller that knows the previous model
    // adapts the clipboard itself, so it must not be adapted twice).
    if (old_model.empty()) return;
    Project& p = c.p;
    auto is_long = [](const std::string& k) { return model_type_list(k) == TypeList::Long; };
    const bool old_long = is_long(old_model);
    const bool new_long = is_long(p.kx_type);
    std::int16_t& t = p.var_clipboard.type;
    if (old_long && !new_long) {
        if (t == 4 || t == 5 || t == 9 || t == 10 || t == 11) {
            p.var_clip_ok = false;
            c.menus.at(Menu::Modify, 4).enabled = false;
            c.menus_changed();
        }
        if (t == 12) t = 7;
        else if (t >= 6) t = static_cast<std::int16_t>(t - 2);
    } else if (!old_long && new_long) {
        if (t == 7) t = 12;
        else if (t >= 4) t = static_cast<std::int16_t>(t + 2);
    }
}

void init_project(Ctx& c, const std::string& old_model, int old_cells) {
    Project& p = c.p;
    clear_project(c);
    p.prj_modified = false;
    fill_type_combo(c);
    p.language_names[0] = "Italiano";
    for (int i = 1; i < 7; ++i) p.language_names[i].clear();
    p.n_lang = 1;
    p.act_lang = 0;
    c.view().lang_list_set({p.language_names[0]}, 0);
    if (!old_model.empty() && old_model != p.kx_type) {
        p.page_clip_ok = false;
        c.menus.at(Menu::Modify, 1).enabled = false;
        c.menus_changed();
    }
    adjust_copy_var(c, old_model);
    if (old_cells != 0) c.view().unload_display(old_cells);
    init_var_grid(c);
    make_new_project_name(c);
    update_header(c);
    build_display(c);
    show_page_nr(c, p.act_page);
    show_row_col(c, p.cursor_pos);
    p.num_mode = "DEC";
    apply_number_mode(c);
    p.skip_link_ask = true;
    apply_link_mode(c);
    p.skip_link_ask = false;
    show_model_label(c);
}

} // namespace kx
