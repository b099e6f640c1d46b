#include "core/display.h"

#include "core/context.h"
#include "core/editing.h"
#include "core/store.h"
#include "core/variables.h"

namespace kx {

namespace {

// A variable cell while the variable editor is open draws from the highlighted set.
bool highlighted(const Project& p, int code) { return is_var_mark(code) && p.var_edit_open; }

} // namespace

int check_char(int code) {
    if ((code >= 4 && code <= 7) || (code >= 32 && code <= 129)) return code;
    return kCodeInvalid;
}

namespace {
constexpr int kArrowLineCodes[4] = {17, 16, 30, 31}; // of the arrows 4, 5, 6, 7
} // namespace

int arrow_line_code(int code) { return code >= 4 && code <= 7 ? kArrowLineCodes[code - 4] : 0; }

int arrow_of_line_code(int byte) {
    for (int a = 0; a < 4; ++a)
        if (kArrowLineCodes[a] == byte) return a + 4;
    return 0;
}

DisplayGeometry display_geometry(int n_cols, int n_rows) {
    DisplayGeometry g;
    g.border_w = n_cols * g.cell_w - (n_cols - 1) + 8;
    g.border_h = n_rows * g.cell_h - (n_rows - 1) + 8;
    return g;
}

void build_display(Ctx& c) {
    Project& p = c.p;
    const int n = p.cells();
    // The short pauses around the progress window let it paint; user input waits, so a
    // key or a menu choice cannot run against a half-built display.
    wait_ms(c.pump, 5, false);
    c.view().progress_show(c.txt(10030), n);
    wait_ms(c.pump, 5, false);
    for (int i = 0; i < n; ++i) p.display_buffer[i] = 32;
    c.view().layout_display(p.n_cols, p.n_rows);
    c.view().progress_value(n);
    show_page_nr(c, p.act_page);
    c.view().set_blink_enabled(true);
    c.view().progress_close();
}

void clear_display(Ctx& c) {
    Project& p = c.p;
    for (int i = 0; i < p.cells(); ++i) {
        p.display_buffer[i] = 32;
        c.view().paint_cell(i, GlyphSet::Char, 32);
    }
}

void paint_buffer_cell(Ctx& c, int cell) {
    if (cell < 0 || cell >= c.p.cells()) return;
    c.view().paint_cell(cell, GlyphSet::Char, check_char(c.p.display_buffer[cell]));
}

void paint_cursor_cell(Ctx& c) {
    Project& p = c.p;
    int pos = p.cursor_pos;
    if (pos < 0 || pos >= p.cells()) return;
    int code = check_char(p.display_buffer[pos]);
    bool v = highlighted(p, code);
    if (p.insert_mode) {
        if (v) c.view().paint_cell(pos, GlyphSet::High, code - 125);
        else c.view().paint_cell(pos, GlyphSet::Und, code);
    } else {
        if (v) c.view().paint_cell(pos, GlyphSet::High, code - 123);
        else c.view().paint_cell(pos, GlyphSet::Reve, code);
    }
}

void blink_step(Ctx& c, int& blink_state) {
    Project& p = c.p;
    if (p.link_edit) return;
    int pos = p.cursor_pos;
    if (pos < 0 || pos >= p.cells()) return;
    if (blink_state != 1) {
        paint_cursor_cell(c);
        blink_state = 1;
    } else {
        int code = check_char(p.display_buffer[pos]);
        if (highlighted(p, code)) c.view().paint_cell(pos, GlyphSet::High, code - 127);
        else c.view().paint_cell(pos, GlyphSet::Char, code);
        blink_state = 0;
    }
}

void show_page_nr(Ctx& c, int page) {
    c.view().set_label(Label::Page, c.txt(10027) + " " + std::to_string(page));
    c.view().set_label(Label::TPages, c.txt(10025) + " " + std::to_string(c.p.last_page_idx + 1));
}

void show_row_col(Ctx& c, int pos) {
    int cols = c.p.n_cols > 0 ? c.p.n_cols : 1;
    c.view().set_label(Label::Row, c.txt(10002) + " " + std::to_string(pos / cols));
    c.view().set_label(Label::Col, c.txt(10003) + " " + std::to_string(pos % cols));
}

void set_number_mode(Ctx& c, int mode) {
    c.p.num_mode = mode == 0 ? "HEX" : "DEC";
    c.menus.at(Menu::Mode, 0).checked = mode == 0;
    c.menus.at(Menu::Mode, 1).checked = mode != 0;
    c.menus_changed();
    c.view().set_label(Label::Mode, c.txt(301) + " " + c.txt(mode == 0 ? 500 : 501));
    for (int k = 1; k <= c.p.n_vars && k <= kMaxVars; ++k) show_var_row(c, k);
}

void apply_number_mode(Ctx& c) { set_number_mode(c, c.p.num_mode == "HEX" ? 0 : 1); }

void show_model_label(Ctx& c) { c.view().set_label(Label::Type, c.txt(10014) + "  " + c.p.kx_type); }

void set_link_mode(Ctx& c, int mode) {
    Project& p = c.p;
    if (mode == 0) {
        p.link_on = true;
        c.menus.at(Menu::Link, 0).checked = true;
        c.menus.at(Menu::Link, 1).checked = false;
        c.menus.at(Menu::Link, 2).enabled = true;
        c.menus.at(Menu::Link, 3).enabled = true;
        c.menus_changed();
        c.view().set_label(Label::Link, c.txt(600));
    } else if (mode == 1) {
        bool asked = !p.skip_link_ask;
        if (asked && c.prompt.message(c.txt(10040), kYesNoCancel) != kAnsYes) return;
        p.link_on = false;
        c.menus.at(Menu::Link, 0).checked = false;
        c.menus.at(Menu::Link, 1).checked = true;
        c.menus.at(Menu::Link, 2).enabled = false;
        c.menus.at(Menu::Link, 3).enabled = false;
        c.menus_changed();
        c.view().set_label(Label::Link, c.txt(601));
        if (asked) {
            set_link_buffer(c, p.act_page, p.act_page, p.act_page, p.act_page);
            for (int pg = 0; pg <= p.last_page_idx && pg < kPageSlots; ++pg)
                for (int k = 0; k < 4; ++k) p.page_store[0][pg].links[k] = static_cast<std::int16_t>(pg);
        }
        // Link editing ends in either case, and the boxes show it: a project opened with
        // links off while a box was being edited leaves no box enabled.
        disable_edit_link(c);
    } else if (mode == 2) {
        disable_edit_link(c);
        c.view().open_autolink();
    } else if (mode == 3) {
        c.view().open_link_parameters();
    }
}

void menu_link_click(Ctx& c, int mode) {
    c.p.prj_modified = true;
    set_link_mode(c, mode);
}

void apply_link_mode(Ctx& c) { set_link_mode(c, c.p.link_on ? 0 : 1); }

} // namespace kx
