#include "core/editing.h"

#include "core/context.h"
#include "core/display.h"
#include "core/store.h"
#include "core/text.h"
#include "core/variables.h"

#include <algorithm>
#include <cmath>

namespace kx {
namespace {

bool valid_cell(const Project& p, int cell) { return cell >= 0 && cell < p.cells(); }

int row_start(const Project& p, int cell) { return cell / p.n_cols * p.n_cols; }
int row_end(const Project& p, int cell) { return row_start(p, cell) + p.n_cols - 1; }

void set_code(Ctx& c, int cell, int code) {
    c.p.display_buffer[cell] = static_cast<std::int16_t>(code);
    paint_buffer_cell(c, cell);
}

// Moves the cursor: the old cell gets its normal glyph, the new one its cursor image.
void move_cursor(Ctx& c, int cell) {
    paint_buffer_cell(c, c.p.cursor_pos);
    c.p.cursor_pos = static_cast<std::int16_t>(cell);
    paint_cursor_cell(c);
    show_row_col(c, cell);
}

// Cells from..row end - 1 take their right neighbour's code, the row end becomes a blank,
// and the variables on the rest of the row follow.
void close_gap(Ctx& c, int from) {
    Project& p = c.p;
    const int end = row_end(p, from);
    p.prj_modified = true;
    for (int i = from; i < end; ++i) set_code(c, i, p.display_buffer[i + 1]);
    set_code(c, end, 32);
    left_var(c, from);
}

// Stores the page shown and shows another page of the same language.
void show_other_page(Ctx& c, int page) {
    Project& p = c.p;
    save_page(c, p.act_page, p.act_lang);
    p.act_page = static_cast<std::int16_t>(page);
    load_page(c, p.act_page, p.act_lang);
    show_page_nr(c, p.act_page);
}

enum class Align { Left, Center, Right };

void align_row(Ctx& c, Align how) {
    Project& p = c.p;
    if (p.n_cols <= 0 || !valid_cell(p, p.cursor_pos)) return;
    if (row_has_var(p, p.cursor_pos)) {
        c.beep();
        return;
    }
    p.prj_modified = true;
    const int rs = row_start(p, p.cursor_pos);
    const int re = row_end(p, p.cursor_pos);
    int first = rs;
    while (first < re && p.display_buffer[first] == 32) ++first;
    int last = re;
    while (last > rs && p.display_buffer[last] == 32) --last;
    const int span = last - first; // negative on a blank row: nothing moves
    int target = rs;
    bool refused = false;
    switch (how) {
    case Align::Left:
        target = rs;
        refused = first == rs;
        break;
    case Align::Right:
        target = re - span;
        refused = last == re;
        break;
    case Align::Center:
        target = static_cast<int>(std::floor(rs + p.n_cols / 2.0 - span / 2.0));
        refused = target == first;
        break;
    }
    if (refused) {
        c.beep();
        return;
    }
    // Move the characters in the order that never overwrites one before it has moved.
    auto move = [&](int k) {
        set_code(c, target + k, p.display_buffer[first + k]);
        set_code(c, first + k, 32);
    };
    if (target < first)
        for (int k = 0; k <= span; ++k) move(k);
    else
        for (int k = span; k >= 0; --k) move(k);
}

} // namespace

bool row_has_var(const Project& p, int cell) {
    if (p.n_cols <= 0 || !valid_cell(p, cell)) return false;
    for (int i = row_start(p, cell); i <= row_end(p, cell); ++i)
        if (var_cell_at(p, i)) return true;
    return false;
}

void key_down(Ctx& c, int key_code, int shift) {
    Project& p = c.p;
    const int n = p.cells();
    if (n <= 0 || p.n_cols <= 0) return;
    if (!valid_cell(p, p.cursor_pos)) p.cursor_pos = 0;
    const int cur = p.cursor_pos;
    const int rs = row_start(p, cur);
    const int re = row_end(p, cur);
    const bool ctrl = shift == kCtrlFlag;
    int to = -1; // the cursor's new cell, when the key moves it

    paint_buffer_cell(c, cur);
    switch (key_code) {
    case kKeyBack:
        if (cur == rs) {
            c.beep();
        } else if (var_cell_at(p, cur - 1)) {
            return; // a variable is not deleted character by character
        } else {
            p.cursor_pos = static_cast<std::int16_t>(cur - 1);
            close_gap(c, cur - 1);
            to = cur - 1;
        }
        break;
    case kKeyPageUp: page_up(c); break;
    case kKeyPageDown: page_down(c); break;
    case kKeyEnd:
        if (ctrl) last_page(c);
        else if (cur == n - 1) c.beep();
        else to = cur == re ? n - 1 : re;
        break;
    case kKeyHome:
        if (ctrl) first_page(c);
        else if (cur == 0) c.beep();
        else to = cur == rs ? 0 : rs;
        break;
    case kKeyLeft: to = cur == 0 ? n - 1 : cur - 1; break;
    case kKeyUp: to = cur - p.n_cols < 0 ? cur - p.n_cols + n : cur - p.n_cols; break;
    case kKeyRight: to = cur == n - 1 ? 0 : cur + 1; break;
    case kKeyDown: to = cur + p.n_cols > n - 1 ? cur + p.n_cols - n : cur + p.n_cols; break;
    case kKeyInsert:
        p.insert_mode = !p.insert_mode;
        c.view().show_insert_mode(p.insert_mode);
        break;
    case kKeyDelete:
        if (var_cell_at(p, cur)) return;
        close_gap(c, cur);
        break;
    default: break;
    }
    if (to >= 0) {
        p.cursor_pos = static_cast<std::int16_t>(to);
        show_row_col(c, to);
    }
    paint_cursor_cell(c);
}

void key_press(Ctx& c, int key_ascii) {
    if (key_ascii < 32 || key_ascii > 127) return;
    enter_char(c, key_ascii);
}

void char_picker_click(Ctx& c, int index) {
    static const int arrows[] = {6, 7, 4, 5}; // up, down, left, right
    if (index >= 0 && index < 4) enter_char(c, arrows[index]);
}

void enter_char(Ctx& c, int code) {
    Project& p = c.p;
    const int n = p.cells();
    if (n <= 0 || p.n_cols <= 0) return;
    if (!valid_cell(p, p.cursor_pos)) p.cursor_pos = 0;
    const int cur = p.cursor_pos;
    if (var_cell_at(p, cur)) return;
    if (p.insert_mode) {
        const int re = row_end(p, cur);
        if (var_cell_at(p, re)) {
            c.beep();
            return;
        }
        // Open the row: the text from the cursor up to its last non-blank cell moves one
        // cell right; a character on the row end of a full row is lost.
        int j = re;
        while (j > cur && p.display_buffer[j] == 32) --j;
        for (int k = j; k >= cur; --k)
            if (k < re) set_code(c, k + 1, p.display_buffer[k]);
        shift_page_variables(c, cur, re);
    }
    p.prj_modified = true;
    set_code(c, cur, code);
    if (cur < n - 1) {
        p.cursor_pos = static_cast<std::int16_t>(cur + 1);
        show_row_col(c, p.cursor_pos);
    } else {
        c.beep();
    }
    paint_cursor_cell(c);
}

void text_left(Ctx& c) { align_row(c, Align::Left); }
void center_text(Ctx& c) { align_row(c, Align::Center); }
void text_right(Ctx& c) { align_row(c, Align::Right); }

void page_up(Ctx& c) {
    if (c.p.act_page < 1) c.beep();
    else show_other_page(c, c.p.act_page - 1);
}

void page_down(Ctx& c) {
    if (c.p.act_page >= c.p.last_page_idx) c.beep();
    else show_other_page(c, c.p.act_page + 1);
}

void first_page(Ctx& c) {
    if (c.p.act_page == 0) c.beep();
    else show_other_page(c, 0);
}

void last_page(Ctx& c) {
    if (c.p.act_page == c.p.last_page_idx) c.beep();
    else show_other_page(c, c.p.last_page_idx);
}

void goto_page(Ctx& c) {
    Project& p = c.p;
    save_page(c, p.act_page, p.act_lang);
    const auto answer = c.prompt.input(c.txt(10000));
    const auto n = answer ? parse_number(*answer) : std::nullopt;
    if (!n || *n < 0 || *n > p.last_page_idx) {
        c.beep();
        return;
    }
    p.act_page = static_cast<std::int16_t>(round_half_even(*n));
    load_page(c, p.act_page, p.act_lang);
    show_page_nr(c, p.act_page);
}

bool toolbar_edit_command(Ctx& c, const std::string& key) {
    static const struct {
        const char* key;
        void (*run)(Ctx&);
    } commands[] = {{"TextLeft", text_left},   {"CenterText", center_text}, {"TextRight", text_right},
                    {"FirstPage", first_page}, {"PageUp", page_up},         {"PageDown", page_down},
                    {"LastPage", last_page},   {"GoToPage", goto_page}};
    for (const auto& cmd : commands) {
        if (key == cmd.key) {
            cmd.run(c);
            return true;
        }
    }
    return false;
}

void disable_edit_link(Ctx& c) {
    c.p.link_edit = false;
    c.view().end_link_edit();
}

void display_click(Ctx& c, int cell) {
    if (!valid_cell(c.p, cell)) return;
    disable_edit_link(c);
    move_cursor(c, cell);
}

void display_mouse_down(Ctx& c, int cell, int button) {
    Project& p = c.p;
    if (!valid_cell(p, cell)) return;
    display_click(c, cell);
    if (button != 2) return;
    if (var_cell_at(p, cell)) {
        p.act_var = static_cast<std::int16_t>(find_var(p, cell));
        c.view().grid_highlight(p.act_var);
    } else {
        c.view().open_char_picker();
    }
}

void display_dbl_click(Ctx& c, int cell) {
    Project& p = c.p;
    if (!valid_cell(p, cell)) return;
    // A model without variable types has no variables to place.
    if (variable_type_list(p.kx_type).empty()) {
        c.beep();
        return;
    }
    if (var_cell_at(p, cell)) {
        p.new_var = false;
        p.act_var = static_cast<std::int16_t>(find_var(p, cell));
        const int first = std::clamp<int>(p.variable_table[p.act_var].pos, 0, p.cells() - 1);
        move_cursor(c, first);
    } else {
        if (p.n_vars >= kMaxVars) {
            c.beep();
            return;
        }
        p.new_var = true;
        ++p.n_vars;
        p.act_var = p.n_vars;
    }
    if (!c.view().open_var_editor() && p.new_var) {
        // No variable editor took the new slot: give it back rather than leave an empty
        // variable on the page.
        p.variable_table[p.n_vars] = variable_record{};
        --p.n_vars;
        p.act_var = 0;
        p.new_var = false;
    }
}

void lang_list_click(Ctx& c, int index) {
    Project& p = c.p;
    if (p.lock_events) return;
    if (index != p.act_lang && index >= 0 && index < p.n_lang && index < kLangSlots) {
        save_page(c, p.act_page, p.act_lang);
        p.act_lang = static_cast<std::int16_t>(index);
        load_page(c, p.act_page, p.act_lang);
    }
    disable_edit_link(c);
}

} // namespace kx
