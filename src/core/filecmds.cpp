#include "core/filecmds.h"

#include "core/context.h"
#include "core/projectfile.h"
#include "core/shell.h"
#include "core/store.h"
#include "core/text.h"
#include "platform/api/textfile.h"

namespace kx {
namespace {

// Every File command sets the project dialog up the same way. The path comes from the
// project in memory: another running editor may have changed the stored setting.
void prepare_dialog(Ctx& c) {
    FileDialog& d = c.cdg1;
    d.cancel_error = true;
    d.flags = 4;
    d.filter = kAllFilesFilter;
    d.filter_index = 2;
    d.init_dir = strip_last_component(c.p.project_path);
    if (d.init_dir.empty()) d.init_dir = c.program_dir;
}

// The file named by project_path replaces the project on display.
void open_named_project(Ctx& c, const std::string& old_model) {
    Project& p = c.p;
    c.view().unload_display(p.n_cols * p.n_rows - 1);
    clear_project(c);
    c.prompt.busy(true);
    open_project_file(c, p.project_path);
    c.prompt.busy(false);
    p.prj_modified = false;
    if (p.kx_type != old_model) {
        p.page_clip_ok = false;
        c.menus.at(Menu::Modify, 1).enabled = false;
        c.menus_changed();
    }
    adjust_copy_var(c, old_model);
}

bool save_to(Ctx& c, const std::string& path) {
    Project& p = c.p;
    save_page(c, p.act_page, p.act_lang);
    c.prompt.busy(true);
    const bool ok = save_project_file(c, path);
    c.prompt.busy(false);
    return ok;
}

} // namespace

void file_open(Ctx& c) {
    if (ask_save_project(c) == kAnsCancel) return;
    prepare_dialog(c);
    const std::string old_model = c.p.kx_type;
    store_dialog_file(c, c.cdg1);
    if (!c.prompt.open_file(c.cdg1)) return;
    if (check_dialog_file_exists(c, c.cdg1)) return;
    c.p.project_path = c.cdg1.file_name;
    update_header(c);
    open_named_project(c, old_model);
}

void file_open_recent(Ctx& c, int k) {
    if (k < 1 || k > 4) return;
    if (ask_save_project(c) == kAnsCancel) return;
    const std::string old_model = c.p.kx_type;
    if (load_recent_project_path(c, recent_file_key(k))) return;
    update_header(c);
    open_named_project(c, old_model);
}

bool file_save(Ctx& c) {
    if (c.p.project_path.empty()) return file_save_as(c);
    if (!save_to(c, c.p.project_path)) return false;
    c.p.prj_modified = false;
    return true;
}

bool file_save_as(Ctx& c) {
    Project& p = c.p;
    prepare_dialog(c);
    store_dialog_file(c, c.cdg1);
    if (!c.prompt.save_file(c.cdg1)) return false;
    const std::string chosen = c.cdg1.file_name;
    if (!confirm_overwrite(c, chosen)) return false;
    if (!save_to(c, chosen)) return false;
    p.project_path = chosen;
    update_header(c);
    p.prj_modified = false;
    return true;
}

} // namespace kx
