#include "core/clipboard.h"

#include "core/context.h"
#include "core/var_edit.h"
#include "core/variables.h"

namespace kx {
namespace {

void refuse(Ctx& c, int message) {
    c.beep();
    c.prompt.message(c.txt(message), kOkOnly);
}

} // namespace

void copy_var(Ctx& c) {
    Project& p = c.p;
    // A mark that no variable covers is text, not a variable to copy.
    if (!var_cell_at(p, p.cursor_pos)) {
        refuse(c, 10138);
        return;
    }
    p.var_clipboard = p.variable_table[find_var(p, p.cursor_pos)];
    p.var_clip_ok = true;
    c.menus.at(Menu::Modify, 4).enabled = true;
    c.menus_changed();
}

void paste_var(Ctx& c) {
    Project& p = c.p;
    // A type this model does not have could never be written to the project file.
    if (!p.var_clip_ok || type_short_name(p.kx_type, p.var_clipboard.type).empty()) {
        refuse(c, 10139);
        return;
    }
    if (p.n_vars >= kMaxVars) {
        refuse(c, 10142);
        return;
    }
    // The variable editor's fields describe the copy at the cursor; its placement checks
    // see the page's variables but the new slot.
    const variable_record& v = p.var_clipboard;
    var_edit_state& e = p.var_edit;
    e.ed_dec = v.dec;
    e.ed_digits = v.digits;
    e.ed_address = v.address;
    e.ed_access = v.access;
    e.ed_max = v.max;
    e.ed_min = v.min;
    e.ed_type = v.type;
    e.ed_pos = p.cursor_pos;
    const std::int16_t selected = p.act_var;
    p.n_vars = static_cast<std::int16_t>(p.n_vars + 1);
    p.act_var = p.n_vars;
    const int refusal = overlay_var(c) ? 10140 : var_end_line(c) ? 10141 : 0;
    if (refusal) {
        // Nothing changes: the selection stays too.
        p.n_vars = static_cast<std::int16_t>(p.n_vars - 1);
        p.act_var = selected;
        refuse(c, refusal);
        return;
    }
    p.prj_modified = true;
    save_var(c, p.act_var);
    show_var_row(c, p.act_var);
    draw_var_cells(c, p.act_var);
}

} // namespace kx
