#include "core/clipboard.h"

#include "core/context.h"
#include "core/variables.h"

namespace kx {
namespace {

// Cells of a variable as a paste counts them: digits (DATE 10 and TIME 8 on the KXB models
// when `date_rule`), a sign cell for INT and EE_INT, and a point cell when its decimals are
// 1 up to its digits.
int paste_length(const std::string& kx_type, const variable_record& v, bool date_rule) {
    const int width = date_rule ? var_cells(kx_type, v).width : v.digits;
    const int decimals = v.dec & 0x3F;
    const int sign = (v.type == 1 || v.type == 11) ? 1 : 0;
    return width + sign + (decimals >= 1 && decimals <= v.digits ? 1 : 0);
}

// True when the field of v shares a cell with a variable of the page being edited.
bool overlaps_page_var(const Project& p, const variable_record& v) {
    const int first = v.pos, last = v.pos + paste_length(p.kx_type, v, true) - 1;
    for (int i = 1; i <= p.n_vars && i <= kMaxVars; ++i) {
        const variable_record& o = p.variable_table[i];
        const int o_last = o.pos + paste_length(p.kx_type, o, true) - 1;
        if (first <= o_last && o.pos <= last) return true;
    }
    return false;
}

// True when the field of v runs past the last cell of its first cell's row.
bool runs_past_row(const Project& p, const variable_record& v) {
    const int row_end = (v.pos / p.n_cols + 1) * p.n_cols - 1;
    return v.pos + paste_length(p.kx_type, v, false) - 1 > row_end;
}

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
    if (p.n_cols <= 0) return;
    variable_record v = p.var_clipboard;
    v.pos = p.cursor_pos;
    if (overlaps_page_var(p, v)) {
        refuse(c, 10140);
        return;
    }
    if (runs_past_row(p, v)) {
        refuse(c, 10141);
        return;
    }
    p.prj_modified = true;
    p.n_vars = static_cast<std::int16_t>(p.n_vars + 1);
    p.act_var = p.n_vars;
    p.variable_table[p.act_var] = v;
    show_var_row(c, p.act_var);
    draw_var_cells(c, p.act_var);
}

} // namespace kx
