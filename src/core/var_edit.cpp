#include "core/var_edit.h"

#include "core/context.h"
#include "core/display.h"
#include "core/text.h"

#include <algorithm>

namespace kx {
namespace {

constexpr std::int32_t kMaxValue = 0xFFFF; // addresses and limits are 16-bit words

int used_cells(const Project& p) { return std::clamp(p.cells(), 0, kMaxCells - 1); }
bool valid_slot(int idx) { return idx >= 1 && idx <= kMaxVars; }
int row_end_of(const Project& p, int pos) { return (pos / p.n_cols + 1) * p.n_cols - 1; }

variable_record edit_record(const Project& p) {
    const var_edit_state& e = p.var_edit;
    variable_record v;
    v.access = e.ed_access;
    v.type = e.ed_type;
    v.pos = e.ed_pos;
    v.digits = e.ed_digits;
    v.dec = e.ed_dec;
    return v;
}

// The field of the variable under edit as the display shows it: decimals above the digits
// give no point cell.
VarCells edit_cells(const Project& p) {
    VarCells f = var_cells(p.kx_type, edit_record(p));
    if (f.decimals > f.width) f.decimals = f.point = 0;
    return f;
}

// Runs `paint` on every cell of the variable under edit that lies on its first cell's row.
template <typename F>
void for_edit_cells(const Project& p, F paint) {
    const int pos = p.var_edit.ed_pos;
    const int end = pos + edit_cells(p).count();
    for (int i = std::max(pos, 0); i < end && i < used_cells(p); ++i)
        if (same_display_row(p, i, pos)) paint(i);
}

// Cells of a stored variable, as widely as any count of it goes.
int stored_extent(const std::string& kx_type, const variable_record& v) {
    return std::max(stored_cell_count(v), var_cells(kx_type, v).count());
}

void redraw_preview(Ctx& c) {
    if (!c.p.var_edit_open) return;
    clear_display_var(c);
    preview_edit_var(c);
}

// The slot of a new variable that is not kept goes back, emptied.
void give_back_slot(Ctx& c) {
    Project& p = c.p;
    if (p.n_vars < 1) return;
    p.variable_table[std::min<int>(p.n_vars, kMaxVars)] = variable_record{};
    --p.n_vars;
}

// The variable under edit goes to cell `pos`: the preview follows, and the slot's position
// with it (Cancel puts the slot back).
void move_edit_var(Ctx& c, int pos) {
    Project& p = c.p;
    clear_display_var(c);
    p.var_edit.ed_pos = static_cast<std::int16_t>(pos);
    if (valid_slot(p.act_var)) p.variable_table[p.act_var].pos = p.var_edit.ed_pos;
    preview_edit_var(c);
    highlight_var(c);
}

} // namespace

int var_length(Ctx& c) {
    var_edit_state& e = c.p.var_edit;
    const std::string& m = c.p.kx_type;
    if (m == "KXB_530" || m == "KXB_540" || m == "KXB_5560") {
        if (e.ed_type == 4) e.ed_digits = 10;
        if (e.ed_type == 5) e.ed_digits = 8;
    }
    if ((e.ed_dec & 0x3F) > e.ed_digits) e.ed_dec = static_cast<std::int16_t>(e.ed_dec & kComBit);
    const int sign = (e.ed_type == 1 || e.ed_type == 11) ? 1 : 0;
    return e.ed_digits + ((e.ed_dec & 0x3F) > 0 ? 1 : 0) + sign;
}

bool overlay_var(Ctx& c) {
    Project& p = c.p;
    const int len = var_length(c);
    const int pos = p.var_edit.ed_pos;
    for (int k = 1; k <= std::min<int>(p.n_vars, kMaxVars); ++k) {
        if (k == p.act_var) continue;
        const variable_record& v = p.variable_table[k];
        if (pos < v.pos + stored_extent(p.kx_type, v) && v.pos < pos + len) return true;
    }
    return false;
}

bool var_end_line(Ctx& c) {
    Project& p = c.p;
    const int len = var_length(c);
    const int pos = p.var_edit.ed_pos;
    // A position outside the display cannot be stored either.
    if (p.n_cols <= 0 || pos < 0 || pos >= used_cells(p)) return true;
    return pos + len - 1 > row_end_of(p, pos);
}

void save_var(Ctx& c, int idx) {
    Project& p = c.p;
    if (!valid_slot(idx) || p.n_cols <= 0) return;
    var_length(c); // the DATE and TIME widths, decimals within the digits
    const var_edit_state& e = p.var_edit;
    variable_record v = edit_record(p);
    const int com = v.dec & kComBit;
    int dec = v.dec & 0x3F;
    const int sign = (v.type == 1 || v.type == 11) ? 1 : 0;
    const int last = v.pos + v.digits - 1 + (dec > 0 ? 1 : 0) + sign;
    const int excess = last - row_end_of(p, v.pos);
    if (excess > 0) {
        v.digits = static_cast<std::int16_t>(v.digits - excess);
        if (dec > 0) dec -= excess;
        if (dec < 0 || dec > v.digits) dec = 0;
    }
    v.dec = static_cast<std::int16_t>(dec | com);
    v.address = e.ed_address;
    v.min = e.ed_min;
    v.max = e.ed_max;
    p.variable_table[idx] = v;
}

void display_to_mirror(Ctx& c, int idx) {
    Project& p = c.p;
    var_edit_state& e = p.var_edit;
    std::copy_n(p.display_buffer.begin(), used_cells(p), e.mirror_cells.begin());
    if (valid_slot(idx)) e.saved = p.variable_table[idx];
}

void display_to_aux(Ctx& c, int idx) {
    Project& p = c.p;
    var_edit_state& e = p.var_edit;
    std::copy_n(p.display_buffer.begin(), used_cells(p), e.aux_cells.begin());
    if (!valid_slot(idx)) return;
    const variable_record& v = p.variable_table[idx];
    const int end = v.pos + var_cells(p.kx_type, v).count();
    for (int i = std::max<int>(v.pos, 0); i < end && i < used_cells(p); ++i) e.aux_cells[i] = 32;
}

void mirror_to_display(Ctx& c, int idx) {
    Project& p = c.p;
    const var_edit_state& e = p.var_edit;
    for (int i = 0; i < used_cells(p); ++i) {
        p.display_buffer[i] = e.mirror_cells[i];
        paint_buffer_cell(c, i);
    }
    if (!valid_slot(idx)) return;
    const std::int16_t type = p.variable_table[idx].type;
    p.variable_table[idx] = e.saved;
    p.variable_table[idx].type = type;
}

void clear_display_var(Ctx& c) {
    Project& p = c.p;
    const auto& from = p.new_var ? p.var_edit.mirror_cells : p.var_edit.aux_cells;
    for (int i = 0; i < used_cells(p); ++i) {
        p.display_buffer[i] = from[i];
        paint_buffer_cell(c, i);
    }
}

void highlight_var(Ctx& c) {
    for_edit_cells(c.p, [&](int i) {
        const int code = c.p.display_buffer[i];
        // Only variable cells have a highlighted glyph; any other code keeps its own.
        if (code == kCodeVarDigit || code == kCodeVarPoint)
            c.view().paint_cell(i, GlyphSet::High, code - 127);
        else paint_buffer_cell(c, i);
    });
}

void normalize_var(Ctx& c) {
    for_edit_cells(c.p, [&](int i) { paint_buffer_cell(c, i); });
}

void preview_edit_var(Ctx& c) {
    Project& p = c.p;
    const VarCells f = edit_cells(p);
    const int point_cell = p.var_edit.ed_pos + f.width - f.decimals + f.sign;
    for_edit_cells(p, [&](int i) {
        const bool point = f.point && i == point_cell;
        p.display_buffer[i] = static_cast<std::int16_t>(point ? kCodeVarPoint : kCodeVarDigit);
        c.view().paint_cell(i, GlyphSet::High, point ? 2 : 1);
    });
}

void init_edit_var(Ctx& c) {
    Project& p = c.p;
    var_edit_state& e = p.var_edit;
    e.closed_by_button = false;
    if (!valid_slot(p.act_var)) return;
    variable_record& slot = p.variable_table[p.act_var];
    if (p.new_var) {
        e.ed_type = 0;
        e.ed_digits = 4;
        e.ed_dec = 0;
        e.ed_access = 0;
        e.ed_address = e.ed_min = e.ed_max = 0;
        e.ed_pos = p.cursor_pos;
        slot = variable_record{};
        slot.pos = p.cursor_pos;
        slot.digits = 4;
    } else {
        e.ed_type = slot.type;
        e.ed_digits = slot.digits;
        e.ed_dec = static_cast<std::int16_t>(slot.dec & 0x3F);
        e.ed_access = slot.access != 0 ? 1 : 0;
        e.ed_address = slot.address;
        e.ed_min = slot.min;
        e.ed_max = slot.max;
        e.ed_pos = slot.pos;
    }
    display_to_mirror(c, p.act_var);
    display_to_aux(c, p.act_var);
    if (p.new_var) preview_edit_var(c);
    else highlight_var(c);
}

void activate_edit_var(Ctx& c) {
    c.p.var_edit_open = true;
    highlight_var(c);
}

EditLists edit_lists(const Ctx& c) {
    const std::string name = type_short_name(c.p.kx_type, c.p.var_edit.ed_type);
    return {fill_digits_combo(name, c.p.n_cols), fill_dec_combo(name)};
}

void edit_type_chosen(Ctx& c, int index) {
    Project& p = c.p;
    if (p.lock_events) return;
    var_edit_state& e = p.var_edit;
    e.ed_type = static_cast<std::int16_t>(index);
    // A new type proposes its own digits and decimals, as its refilled lists show them.
    const EditLists l = edit_lists(c);
    if (l.digits.text_visible) e.ed_digits = static_cast<std::int16_t>(read_decimal(l.digits.text));
    else if (l.digits.index >= 0) e.ed_digits = static_cast<std::int16_t>(l.digits.index + 1);
    if (l.dec.index >= 0) e.ed_dec = static_cast<std::int16_t>(l.dec.index);
    redraw_preview(c);
}

void edit_digits_chosen(Ctx& c, int index) {
    if (c.p.lock_events || index < 0) return;
    c.p.var_edit.ed_digits = static_cast<std::int16_t>(index + 1);
    redraw_preview(c);
}

void edit_dec_chosen(Ctx& c, int index) {
    if (c.p.lock_events || index < 0) return;
    c.p.var_edit.ed_dec = static_cast<std::int16_t>(index);
    redraw_preview(c);
}

void edit_access_chosen(Ctx& c, int index) {
    if (c.p.lock_events) return;
    c.p.var_edit.ed_access = static_cast<std::int16_t>(index);
}

BoxText edit_box_changed(Ctx& c, VarBox box, const BoxText& accepted, const BoxText& now) {
    Project& p = c.p;
    if (p.lock_events || p.n_cols <= 0) return now;
    var_edit_state& e = p.var_edit;
    const bool hex = p.num_mode == "HEX";
    auto value = [hex](const std::string& s) { return hex ? hex_to_long(s) : read_decimal(s); };
    BoxRule rule;
    rule.allowed = is_dec_digit;
    switch (box) {
    case VarBox::Address:
    case VarBox::Min:
    case VarBox::Max: {
        if (hex) rule.allowed = is_hex_digit;
        rule.over_limit = [&](const std::string& s) { return value(s) > kMaxValue; };
        const BoxText shown = check_box(rule, accepted, now).shown;
        std::int32_t& field = box == VarBox::Address ? e.ed_address
                              : box == VarBox::Min   ? e.ed_min
                                                     : e.ed_max;
        field = value(shown.text);
        return shown;
    }
    case VarBox::Digits: {
        rule.over_limit = [&](const std::string& s) { return read_decimal(s) > p.n_cols; };
        const BoxText shown = check_box(rule, accepted, now).shown;
        e.ed_digits = static_cast<std::int16_t>(read_decimal(shown.text));
        redraw_preview(c);
        return shown;
    }
    case VarBox::Col:
    case VarBox::Row: {
        const bool col = box == VarBox::Col;
        const int limit = col ? p.n_cols - var_length(c) : p.n_rows - 1;
        rule.over_limit = [limit](const std::string& s) { return read_decimal(s) > limit; };
        rule.one_leading_zero = true;
        rule.start_rule = true;
        const BoxResult r = check_box(rule, accepted, now);
        int pos = e.ed_pos;
        if (!r.refused && r.in_range) {
            const int v = read_decimal(r.shown.text);
            pos = (col ? e.ed_pos / p.n_cols : v) * p.n_cols + (col ? v : e.ed_pos % p.n_cols);
        }
        move_edit_var(c, pos);
        return r.shown;
    }
    }
    return now;
}

std::string edit_box_text(const Ctx& c, VarBox box) {
    const Project& p = c.p;
    const var_edit_state& e = p.var_edit;
    auto num = [&](std::int32_t v) { return p.num_mode == "HEX" ? to_hex(v) : std::to_string(v); };
    const int cols = p.n_cols > 0 ? p.n_cols : 1;
    switch (box) {
    case VarBox::Address: return num(e.ed_address);
    case VarBox::Min: return num(e.ed_min);
    case VarBox::Max: return num(e.ed_max);
    case VarBox::Digits: return std::to_string(e.ed_digits);
    case VarBox::Col: return std::to_string(e.ed_pos % cols);
    case VarBox::Row: return std::to_string(e.ed_pos / cols);
    }
    return "";
}

void edit_col_step(Ctx& c, bool up) {
    Project& p = c.p;
    var_edit_state& e = p.var_edit;
    if (p.n_cols <= 0) return;
    const bool at_edge =
        up ? e.ed_pos + var_length(c) - 1 >= row_end_of(p, e.ed_pos) : e.ed_pos % p.n_cols == 0;
    if (at_edge) {
        c.beep();
        return;
    }
    move_edit_var(c, e.ed_pos + (up ? 1 : -1));
}

void edit_row_step(Ctx& c, bool up) {
    Project& p = c.p;
    var_edit_state& e = p.var_edit;
    const int cells = used_cells(p);
    if (cells <= 0) return;
    int pos = e.ed_pos + (up ? -p.n_cols : p.n_cols);
    if (pos > cells - 1) pos -= cells;
    if (pos < 0) pos += cells;
    move_edit_var(c, pos);
}

void edit_var_ok(Ctx& c, bool com1) {
    Project& p = c.p;
    var_edit_state& e = p.var_edit;
    p.lock_events = true;
    p.prj_modified = true;
    // The preview goes first in both cases: for a new variable it could have left a mark
    // on a cell that the stored field does not take.
    clear_display_var(c);
    e.ed_dec = static_cast<std::int16_t>((e.ed_dec & 0x3F) | (com1 ? kComBit : 0));
    if (!overlay_var(c) && !var_end_line(c) && valid_slot(p.act_var)) {
        save_var(c, p.act_var);
        show_var_row(c, p.act_var);
        normalize_var(c);
        draw_var_cells(c, p.act_var);
        if (p.variable_table[p.act_var].digits < 1) delete_var(c, p.act_var);
    } else {
        c.beep();
        mirror_to_display(c, p.act_var);
        if (p.new_var) give_back_slot(c);
    }
    e.closed_by_button = true;
    unload_edit_var(c);
    p.lock_events = false;
}

void edit_var_cancel(Ctx& c) {
    Project& p = c.p;
    p.var_edit.closed_by_button = true;
    mirror_to_display(c, p.act_var);
    if (p.new_var) {
        give_back_slot(c);
        --p.act_var;
    }
    unload_edit_var(c);
}

void edit_var_delete(Ctx& c) {
    Project& p = c.p;
    clear_display_var(c);
    p.prj_modified = true;
    if (!p.new_var) {
        // The arrows and boxes moved the slot's position along with the preview; the
        // variable's own cells are where the dialog found it, and only those are blanked.
        if (valid_slot(p.act_var)) p.variable_table[p.act_var].pos = p.var_edit.saved.pos;
        delete_var(c, p.act_var);
    } else {
        mirror_to_display(c, p.act_var);
        give_back_slot(c);
    }
    p.var_edit.closed_by_button = true;
    unload_edit_var(c);
}

void unload_edit_var(Ctx& c) {
    Project& p = c.p;
    if (!p.var_edit_open) return; // closed once already
    if (!(p.new_var && p.var_edit.closed_by_button)) {
        if (!p.var_edit.closed_by_button) mirror_to_display(c, p.act_var);
        if (p.new_var) give_back_slot(c);
    }
    p.var_edit_open = false;
}

} // namespace kx
