#include "core/shell.h"

#include "core/context.h"
#include "core/display.h"
#include "core/models.h"
#include "core/projectfile.h"
#include "core/store.h"
#include "core/text.h"
#include "core/variables.h"
#include "platform/api/textfile.h"

#include <algorithm>
#include <cctype>

namespace kx {
namespace {

const char* kInit = "Inizializzazione";
const char* kRecentKeys[4] = {"UltimoFile", "PenultimoFile", "TerzultimoFile", "QuartultimoFile"};

bool same_path(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

const char* recent_file_key(int k) { return k >= 1 && k <= 4 ? kRecentKeys[k - 1] : ""; }

int ask_save_project(Ctx& c) {
    Project& p = c.p;
    if (!p.prj_modified) return kAnsNo;
    int a = c.prompt.message(c.txt(10039) + " " + shown_path(p.project_path) + " ?", kYesNoCancel);
    if (a == kAnsYes) {
        save_page(c, p.act_page, p.act_lang);
        if (!save_project_file(c, p.project_path)) return kAnsCancel;
        p.prj_modified = false;
        return kAnsYes;
    }
    return a == kAnsNo ? kAnsNo : kAnsCancel;
}

void update_recent_files(Ctx& c, const std::string& path) {
    std::string r[4];
    for (int i = 0; i < 4; ++i) r[i] = c.settings.get(kInit, kRecentKeys[i], "");
    if (!path.empty()) {
        if (same_path(path, r[0])) {
            // already first
        } else if (same_path(path, r[1])) {
            r[1] = r[0];
            r[0] = path;
        } else if (same_path(path, r[2])) {
            r[2] = r[1];
            r[1] = r[0];
            r[0] = path;
        } else {
            r[3] = r[2];
            r[2] = r[1];
            r[1] = r[0];
            r[0] = path;
        }
    }
    c.settings.save(kInit, "UltimaDirectory", r[0]);
    for (int i = 0; i < 4; ++i) c.settings.save(kInit, kRecentKeys[i], r[i]);
    for (int k = 1; k <= 4; ++k) {
        const std::string& e = r[k - 1];
        if (e.empty()) continue;
        MenuItem& item = c.menus.at(Menu::File, 6 + k);
        item.caption = std::to_string(k) + " - " + path_tail(e, 40);
        item.file_name = true;
        item.visible = true;
        item.enabled = true;
    }
    c.menus_changed();
}

bool load_recent_project_path(Ctx& c, const std::string& key) {
    std::string path = c.settings.get(kInit, key, "");
    if (file_exists(path)) {
        c.p.project_path = path;
        return false;
    }
    c.prompt.message(c.txt(10167) + " " + shown_path(path), kOkOnly);
    return true;
}

std::string new_file_name(const Ctx& c, const std::string& last, const std::string& base) {
    std::string dir = dir_part(last);
    // A remembered folder where no file can be made (a read-only share) counts as missing.
    if (dir.empty() || !dir_writable(dir)) {
        // An installed program's folder cannot be written: new files go to the documents.
        const bool use_documents = !dir_writable(c.program_dir) && dir_exists(c.documents_dir);
        dir = (use_documents ? c.documents_dir : c.program_dir) + "/";
    }
    std::string name = dir + base;
    for (int n = 1; file_exists(name) || dir_exists(name); ++n) name = dir + base + std::to_string(n);
    return name;
}

void make_new_project_name(Ctx& c) {
    c.p.project_path = new_file_name(c, c.settings.get(kInit, "UltimaDirectory", ""), "nuovoProgetto");
    c.settings.save(kInit, "UltimaDirectory", c.p.project_path);
}

std::string header_text(const Ctx& c) { return std::string("Win Mivor - ") + " (" + c.p.project_path + ")"; }

void update_header(Ctx& c) { c.view().set_caption(header_text(c)); }

namespace {

// Reads "Lingua" and captions the menus and the toolbar tips.
void caption_menus(Ctx& c) {
    std::string lingua = c.settings.get("Settaggi", "Lingua", "0");
    // Only "0" and "1" are ever written; anything else falls back to Italian.
    c.p.ui_lang_offset = lingua == "1" ? 1000 : 0;
    c.view().ui_language_changed(c.p.ui_lang_offset != 0);
    const StringTable& t = StringTable::builtin();
    for (const auto& info : menu_infos()) {
        if (info.base_id == 0) continue;
        for (int i = 0; i < info.items; ++i)
            c.menus.at(info.menu, i).caption = t.get(info.base_id + c.p.ui_lang_offset + i);
    }
    c.menus_changed();
}

// The editor's own captions and indications in the current language.
void caption_editor(Ctx& c) {
    c.view().set_label(Label::Pwd, c.txt(10165));
    apply_number_mode(c);
    c.p.skip_link_ask = true;
    apply_link_mode(c);
    c.p.skip_link_ask = false;
    show_model_label(c);
    show_page_nr(c, c.p.act_page);
    show_row_col(c, c.p.cursor_pos);
}

} // namespace

void change_lang(Ctx& c) {
    caption_menus(c);
    caption_editor(c);
}

void menu_language_click(Ctx& c, int index) {
    if (index != 0 && index != 1) return;
    c.settings.save("Settaggi", "Lingua", std::to_string(index));
    change_lang(c);
}

void menu_com_click(Ctx& c, int index) {
    if (index < 0 || index > 7) return;
    for (int i = 0; i < 8; ++i) c.menus.at(Menu::Com, i).checked = i == index;
    c.p.com_port = static_cast<std::int16_t>(index + 1);
    c.settings.save("Settaggi", "COM", std::to_string(index + 1));
    c.menus_changed();
}

void init_no_file(Ctx& c) {
    Project& p = c.p;
    p.kx_type = "KXB_5560";
    p.n_rows = 4;
    p.n_cols = 40;
    p.page_clip_ok = false;
    p.var_clip_ok = false;
    p.prj_modified = false;
    p.exiting = false;
    p.n_lang = 1;
    p.language_names[0] = "Italiano";
    c.view().lang_list_set({p.language_names[0]}, 0);
    p.act_lang = 0;
    p.act_var = 0;
    p.n_vars = 0;
    p.link_on = true;
    p.num_mode = "HEX";
    p.link_edit = false;
    p.cursor_pos = 0;
    p.act_page = 0;
    set_link_buffer(c, p.act_page, p.act_page, p.act_page, p.act_page);
    build_display(c);
}

void editor_load(Ctx& c) {
    c.p.skip_link_ask = false;
    c.p.multi_protocol = 0;
    refresh_multiprotocol_state(c);
    update_recent_files(c, "");
    make_new_project_name(c);
    update_header(c);
    load_grid(c);
    init_no_file(c);
    multiprotocol_off(c);
}

void main_window_load(Ctx& c) {
    Project& p = c.p;
    p.file_version = "2.8";
    p.help_file = c.program_dir + "/mivor.html";
    p.insert_mode = true; // the editor starts in insert mode
    c.view().show_insert_mode(true);
    // The menus are captioned first; the editor window's start then shows the recent list
    // and makes the empty project, whose labels are captioned last.
    caption_menus(c);
    editor_load(c);
    caption_editor(c);
    p.autolink_asc = false;
    p.autolink_updown = true;
    int com = read_decimal(c.settings.get("Settaggi", "COM", "1"));
    if (com < 1 || com > 8) com = 1; // a damaged setting falls back to COM1
    p.com_port = static_cast<std::int16_t>(com);
    for (int i = 0; i < 8; ++i) c.menus.at(Menu::Com, i).checked = i == com - 1;
    c.menus_changed();
}

void show_help(Ctx& c) {
    const std::string& page = c.p.help_file;
    if (file_exists(page) && c.prompt.open_document(page)) return;
    c.beep();
    c.prompt.message(c.txt(10901) + " " + shown_path(page), kOkOnly);
}

void report_settings_trouble(Ctx& c) {
    const std::string unreadable = c.settings.take_read_error();
    if (!unreadable.empty()) c.prompt.message(c.txt(10910) + " " + shown_path(unreadable), kOkOnly);
    const std::string store_file = c.settings.take_write_error();
    if (!store_file.empty()) c.prompt.message(c.txt(10902) + " " + shown_path(store_file), kOkOnly);
}

bool file_exit(Ctx& c) {
    if (ask_save_project(c) == kAnsCancel) return false;
    c.p.exiting = true;
    return true;
}

bool query_unload(Ctx& c) {
    if (c.p.exiting) return true;
    return ask_save_project(c) != kAnsCancel;
}

} // namespace kx
