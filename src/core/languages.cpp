#include "core/languages.h"

#include "core/context.h"
#include "core/display.h"
#include "core/store.h"
#include "core/text.h"

#include <algorithm>

namespace kx {
namespace {

int langs_in_use(const Project& p) { return std::clamp<int>(p.n_lang, 1, kLangSlots); }
int last_page(const Project& p) { return std::clamp<int>(p.last_page_idx, 0, kPageSlots - 1); }

// The page clipboard holds pages per language slot; once the slots mean other languages
// its pages can no longer be pasted.
void drop_page_clipboard(Ctx& c) {
    c.p.page_clip_ok = false;
    c.menus.at(Menu::Modify, 1).enabled = false;
    c.menus_changed();
}

} // namespace

std::string language_name_entry(const std::string& typed) {
    std::string name = clean_entry(typed);
    if (name.size() > kMaxLangName) name.resize(kMaxLangName);
    return name;
}

std::vector<std::string> language_list(const Project& p) {
    return {p.language_names.begin(), p.language_names.begin() + langs_in_use(p)};
}

void kxlang_menu_click(Ctx& c, int index) {
    if (index == 0) language_add(c);
    else if (index == 1) language_delete(c);
    else if (index == 2) rename_language(c);
}

void language_add(Ctx& c) {
    Project& p = c.p;
    if (p.n_lang >= kLangSlots) {
        c.beep();
        return;
    }
    save_page(c, p.act_page, p.act_lang);
    c.prompt.busy(true);
    add_language(c);
    c.prompt.busy(false);
    drop_page_clipboard(c);
}

bool add_language(Ctx& c) {
    Project& p = c.p;
    if (p.n_lang >= kLangSlots) {
        c.prompt.message(c.txt(10023), kOkOnly);
        return false;
    }
    const auto answer = c.prompt.input(c.txt(10029));
    const std::string name = answer ? language_name_entry(*answer) : std::string();
    if (name.empty()) return false;
    const int k = std::max<int>(p.n_lang, 1);
    p.n_lang = static_cast<std::int16_t>(k + 1);
    // Every page of the new language starts with language 0's characters; links and
    // variables live in the language-0 record and are shared.
    for (int pg = 0; pg <= last_page(p); ++pg) p.page_store[k][pg].chars = p.page_store[0][pg].chars;
    p.act_lang = static_cast<std::int16_t>(k);
    load_page(c, p.act_page, k);
    show_page_nr(c, p.act_page);
    p.language_names[k] = name;
    c.view().lang_list_set(language_list(p), k);
    const int n = std::clamp<int>(p.n_strings, 0, kMaxStrings);
    for (int s = 0; s < n; ++s) p.global_strings[k][s] = p.global_strings[0][s];
    p.prj_modified = true;
    return true;
}

void language_delete(Ctx& c) {
    Project& p = c.p;
    if (p.act_lang <= 0) {
        c.beep();
        c.prompt.message(c.txt(10032), kOkOnly);
        return;
    }
    if (c.prompt.message(c.txt(10031), kYesNoCancel) != kAnsYes) return;
    c.prompt.busy(true);
    // The variables, links and variable marks of the page shown live in the buffers until
    // the page is saved; deleting its language must not lose them.
    save_page(c, p.act_page, p.act_lang);
    delete_lang(c, p.act_lang);
    if (p.act_lang >= p.n_lang - 1) --p.act_lang;
    --p.n_lang;
    c.view().lang_list_set(language_list(p), p.act_lang);
    load_page(c, p.act_page, p.act_lang);
    c.prompt.busy(false);
    drop_page_clipboard(c);
}

void delete_lang(Ctx& c, int lang) {
    Project& p = c.p;
    const int n = langs_in_use(p);
    if (lang < 1 || lang >= n) return;
    const int last = last_page(p);
    const int strings = std::clamp<int>(p.n_strings, 0, kMaxStrings);
    for (int L = lang; L < n - 1; ++L) {
        for (int pg = 0; pg <= last; ++pg) p.page_store[L][pg].chars = p.page_store[L + 1][pg].chars;
        for (int s = 0; s < strings; ++s) p.global_strings[L][s] = p.global_strings[L + 1][s];
        p.language_names[L] = p.language_names[L + 1];
    }
    p.language_names[n - 1].clear();
    const int cells = std::clamp(p.cells(), 0, kMaxCells - 1);
    for (int pg = 0; pg <= last; ++pg)
        std::fill_n(p.page_store[n - 1][pg].chars.begin(), cells, std::int16_t{32});
    p.prj_modified = true;
}

void rename_language(Ctx& c) {
    Project& p = c.p;
    if (p.act_lang < 0 || p.act_lang >= langs_in_use(p)) return;
    std::string& current = p.language_names[p.act_lang];
    const auto answer = c.prompt.input(c.txt(10144) + " \"" + current + "\" " + c.txt(10145));
    const std::string name = answer ? language_name_entry(*answer) : std::string();
    if (name.empty()) return;
    // The new name goes into the next saved file, so a rename counts as a change: without
    // it an exit right after the rename would drop it without asking.
    if (name != current) p.prj_modified = true;
    current = name;
    c.view().lang_list_set(language_list(p), p.act_lang);
}

} // namespace kx
