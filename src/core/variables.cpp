#include "core/variables.h"

#include "core/context.h"
#include "core/models.h"
#include "core/text.h"

#include <algorithm>
#include <initializer_list>

namespace kx {

const std::vector<std::string>& variable_type_list(const std::string& kx_type) {
    static const std::vector<std::string> long_list = {"WORD",    "INT",    "STRING", "WORD_0", "DATE",
                                                       "TIME",    "HEX",    "BIN",    "ASCII",  "BLOCK",
                                                       "EE_WORD", "EE_INT", "OMR_HEX"};
    static const std::vector<std::string> short_list = {"WORD", "INT", "STRING", "WORD_0",
                                                        "HEX",  "BIN", "ASCII",  "OMR_HEX"};
    static const std::vector<std::string> none;
    switch (model_type_list(kx_type)) {
    case TypeList::Long: return long_list;
    case TypeList::Short: return short_list;
    default: return none;
    }
}

std::string type_short_name(const std::string& kx_type, int code) {
    const auto& list = variable_type_list(kx_type);
    if (code < 0 || code >= static_cast<int>(list.size())) return "";
    return list[code];
}

std::string type_name(const Ctx& c, int k) {
    if (k < 1 || k >= kVarSlots) return "";
    std::string s = type_short_name(c.p.kx_type, c.p.variable_table[k].type);
    if (s.empty()) return s;
    pad_right_space(s, 7);
    return s;
}

namespace {

VarCells cells_on_list(bool long_list, const variable_record& v) {
    VarCells f;
    f.width = v.digits;
    // Codes 4 and 5 are DATE and TIME only on the long type list.
    if (long_list && v.type == 4) f.width = 10;
    if (long_list && v.type == 5) f.width = 8;
    f.sign = (v.type == 1 || v.type == 11) ? 1 : 0;
    f.decimals = v.dec & 0x3F;
    f.point = f.decimals >= 1 ? 1 : 0;
    return f;
}

} // namespace

VarCells var_cells(const std::string& kx_type, const variable_record& v) {
    return cells_on_list(model_type_list(kx_type) == TypeList::Long, v);
}

// Without a model: a file's reader and writer check thousands of variables, and the stored
// digits of a DATE or TIME count as they stand.
int stored_cell_count(const variable_record& v) { return cells_on_list(false, v).count(); }

std::vector<std::string> grid_headings(const Project& p) {
    std::vector<std::string> h = {"id_var", "ena", "type", "row", "col", "dig", "dec", "addr", "min", "max"};
    if (p.multi_protocol == 1) h.push_back("com");
    return h;
}

std::vector<std::string> grid_row_text(const Ctx& c, int k) {
    const Project& p = c.p;
    if (k < 1 || k >= kVarSlots) return {};
    const variable_record& v = p.variable_table[k];
    auto num = [&](std::int32_t x) { return p.num_mode == "HEX" ? to_hex(x) : std::to_string(x); };
    int cols = p.n_cols > 0 ? p.n_cols : 1;
    std::vector<std::string> r = {std::to_string(k),
                                  v.access == 1 ? "R/W" : "R_O",
                                  type_name(c, k),
                                  std::to_string(v.pos / cols),
                                  std::to_string(v.pos % cols),
                                  std::to_string(v.digits),
                                  std::to_string(v.dec & ~kComBit),
                                  num(v.address),
                                  num(v.min),
                                  num(v.max)};
    if (p.multi_protocol == 1) r.push_back((v.dec & kComBit) ? "COM_1" : "COM_0");
    return r;
}

void load_grid(Ctx& c) { c.view().grid_layout(grid_headings(c.p)); }

void init_var_grid(Ctx& c) { c.view().grid_clear(grid_headings(c.p)); }

void show_var_row(Ctx& c, int k) {
    if (k < 1 || k >= kVarSlots) return;
    c.view().grid_row(k, grid_row_text(c, k));
}

void show_var_rows(Ctx& c) {
    for (int k = 1; k <= c.p.n_vars && k <= kMaxVars; ++k) show_var_row(c, k);
}

void remove_var(Ctx& c, int k) {
    Project& p = c.p;
    int n = p.n_vars;
    if (n > kMaxVars) n = kMaxVars;
    if (k < 1 || k > n) return;
    for (int i = k; i < n; ++i) p.variable_table[i] = p.variable_table[i + 1];
    p.variable_table[n] = variable_record{};
    p.n_vars = static_cast<std::int16_t>(n - 1);
}

void fill_type_combo(Ctx& c) { c.view().type_list_fill(variable_type_list(c.p.kx_type)); }

bool in_var(const Project& p, int cell) {
    return cell >= 0 && cell < kMaxCells && is_var_mark(p.display_buffer[cell]);
}

int find_var(const Project& p, int cell) {
    int found = 0;
    const int n = std::min<int>(p.n_vars, kMaxVars);
    for (int i = 1; i <= n; ++i) {
        const variable_record& v = p.variable_table[i];
        if (v.pos <= cell && cell <= v.pos + stored_cell_count(v) - 1) found = i;
    }
    return found;
}

void erase_var_marks(Ctx& c, int k) {
    Project& p = c.p;
    if (k < 1 || k >= kVarSlots || p.n_cols <= 0) return;
    const variable_record& v = p.variable_table[k];
    const int row_end = (v.pos / p.n_cols + 1) * p.n_cols - 1;
    const int last = v.pos + stored_cell_count(v) - 1;
    for (int i = std::max<int>(v.pos, 0); i <= last && i <= row_end && i < p.cells(); ++i) {
        p.display_buffer[i] = 32;
        c.view().paint_cell(i, GlyphSet::Char, 32);
    }
}

void draw_var_cells(Ctx& c, int k) {
    Project& p = c.p;
    if (k < 1 || k >= kVarSlots) return;
    const variable_record& v = p.variable_table[k];
    const VarCells f = var_cells("", v);
    const int point_cell = v.pos + f.width - f.decimals + f.sign;
    const int last = std::min<int>(v.pos + f.count() - 1, p.cells() - 1);
    for (int i = std::max<int>(v.pos, 0); i <= last; ++i) {
        const int code = (f.point && i == point_cell) ? kCodeVarPoint : kCodeVarDigit;
        p.display_buffer[i] = static_cast<std::int16_t>(code);
        c.view().paint_cell(i, GlyphSet::Char, code);
    }
}

void lay_var_marks(std::array<std::int16_t, kMaxCells>& buffer,
                   const std::array<variable_record, kVarSlots>& table, int n, int cells) {
    const int limit = std::min(cells, kMaxCells);
    n = std::min(n, kMaxVars);
    for (int k = 1; k <= n; ++k) {
        const variable_record& v = table[k];
        if (v.digits <= 0) continue;
        const VarCells f = var_cells("", v);
        const int end = v.pos + f.count(); // one past the last cell
        for (int i = std::max<int>(v.pos, 0); i < end && i < limit; ++i) buffer[i] = kCodeVarDigit;
        // More decimals than digits would put the point before the field, over the page's
        // text; the point cell is marked only inside the variable's own cells.
        const int pc = v.pos + f.width - f.decimals + f.sign;
        if (f.point && pc >= std::max<int>(v.pos, 0) && pc < end && pc < limit) buffer[pc] = kCodeVarPoint;
    }
}

void mark_var_cells(Ctx& c) {
    Project& p = c.p;
    lay_var_marks(p.display_buffer, p.variable_table, p.n_vars, p.cells());
}

void delete_var(Ctx& c, int k) {
    erase_var_marks(c, k);
    remove_var(c, k);
    init_var_grid(c);
    show_var_rows(c);
}

bool var_cell_at(const Project& p, int cell) { return in_var(p, cell) && find_var(p, cell) != 0; }

bool same_display_row(const Project& p, int a, int b) {
    const int cols = p.n_cols > 0 ? p.n_cols : 1;
    return a / cols == b / cols;
}

void shift_page_variables(Ctx& c, int from, int to) {
    Project& p = c.p;
    for (int i = 1; i <= p.n_vars && i <= kMaxVars; ++i) {
        variable_record& v = p.variable_table[i];
        // An emptied slot has position 0 and is never taken.
        if (v.pos < from || v.pos > to || v.pos < 1) continue;
        const int new_last = v.pos + stored_cell_count(v);
        ++v.pos;
        if (new_last <= to) {
            show_var_row(c, i);
            continue;
        }
        delete_var(c, i);
        // The selection follows its variable: the deleted one is no longer selected, and a
        // later one has moved down one slot.
        if (p.act_var == i) p.act_var = 0;
        else if (p.act_var > i) --p.act_var;
        --i; // the next variable now has index i
    }
}

void left_var(Ctx& c, int cell) {
    Project& p = c.p;
    if (p.n_cols <= 0) return;
    const int row_end = (cell / p.n_cols + 1) * p.n_cols - 1;
    for (int i = 1; i <= p.n_vars && i <= kMaxVars; ++i) {
        variable_record& v = p.variable_table[i];
        if (v.pos < cell || v.pos > row_end || v.pos < 1) continue;
        --v.pos;
        show_var_row(c, i);
    }
}

namespace {

int step_to_free_cell(const Project& p, int pos, int step) {
    const int n = p.cells();
    if (n <= 0) return pos;
    const int start = pos;
    do {
        pos += step;
        if (pos < 0) pos = n - 1;
        else if (pos > n - 1) pos = 0;
    } while (var_cell_at(p, pos) && pos != start);
    return pos;
}

} // namespace

int prev_free_cell(const Project& p, int pos) { return step_to_free_cell(p, pos, -1); }
int next_free_cell(const Project& p, int pos) { return step_to_free_cell(p, pos, +1); }

namespace {

std::vector<std::string> numbers(int from, int to) {
    std::vector<std::string> r;
    for (int i = from; i <= to; ++i) r.push_back(std::to_string(i));
    return r;
}

bool one_of(const std::string& s, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (s == n) return true;
    return false;
}

} // namespace

DigitsChoice fill_digits_combo(const std::string& type, int n_cols) {
    DigitsChoice d;
    if (one_of(type, {"WORD", "INT", "WORD_0", "HEX", "BLOCK", "EE_WORD", "EE_INT", "OMR_HEX"})) {
        d.entries = numbers(1, 10);
        d.index = 3;
    } else if (type == "BIN") {
        d.entries = numbers(1, 16);
        d.index = 3;
    } else if (type == "STRING" || type == "ASCII") {
        d.list_visible = false;
        d.text_visible = true;
        d.text = std::to_string(n_cols / 4);
    } else if (type == "DATE" || type == "TIME") {
        // One fixed width, repeated so that the list index digits - 1 of a stored field
        // still selects an entry.
        const int width = type == "DATE" ? 10 : 8;
        d.entries.assign(width, std::to_string(width));
        d.index = width - 1;
        d.list_enabled = false;
    }
    return d;
}

DecChoice fill_dec_combo(const std::string& type) {
    DecChoice d;
    if (one_of(type, {"WORD", "INT", "EE_WORD", "EE_INT", "OMR_HEX"})) {
        d.entries = numbers(0, 3);
        d.index = 3;
    } else if (one_of(type, {"STRING", "WORD_0", "DATE", "TIME", "HEX", "BIN", "BLOCK", "ASCII"})) {
        d.entries = {"0"};
        d.index = 0;
        d.enabled = false;
    }
    return d;
}

} // namespace kx
