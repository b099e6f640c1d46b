#pragma once
// How the model tells the windows what to show. The editor window and the main window
// implement it; the core never includes a widget header. Every method has a do-nothing
// default, so a test stand-in overrides only what it records.
#include <optional>
#include <string>
#include <vector>

namespace kx {

// The four glyph sets of the display: normal, reverse video (overwrite cursor),
// underlined (insert cursor) and highlighted variable cells.
enum class GlyphSet { Char, Reve, Und, High };

// Labels of the editor window.
enum class Label { Page, TPages, Row, Col, Mode, Link, Type, Pwd };

class View {
public:
    virtual ~View() = default;

    // Display: cell `cell` shows image `image` (1-based, as in the glyph lists) of `set`.
    virtual void paint_cell(int cell, GlyphSet set, int image) {
        (void)cell;
        (void)set;
        (void)image;
    }
    // Lays out n_cols x n_rows cells, all blank (the old cells were unloaded first).
    virtual void layout_display(int n_cols, int n_rows) {
        (void)n_cols;
        (void)n_rows;
    }
    // Removes display cells 1..n of the previous layout.
    virtual void unload_display(int n) { (void)n; }
    virtual void set_blink_enabled(bool on) { (void)on; }

    virtual void set_label(Label which, const std::string& text) {
        (void)which;
        (void)text;
    }

    // Link boxes 0..3 and the password options.
    virtual void show_link_box(int k, const std::string& text) {
        (void)k;
        (void)text;
    }
    virtual void show_pwd(bool on) { (void)on; }

    // Variable grid: column layout (10 or 11 columns, headings and widths; the rows stay),
    // clearing to the heading row, one row.
    virtual void grid_layout(const std::vector<std::string>& headings) { (void)headings; }
    virtual void grid_clear(const std::vector<std::string>& headings) { (void)headings; }
    virtual void grid_row(int k, const std::vector<std::string>& cells) {
        (void)k;
        (void)cells;
    }

    // Terminal-language list of the editor.
    virtual void lang_list_set(const std::vector<std::string>& names, int selected) {
        (void)names;
        (void)selected;
    }

    // Type list of the variable editor.
    virtual void type_list_fill(const std::vector<std::string>& names) { (void)names; }

    // Main window: caption, and "the menu model changed, render it again". The caption
    // names the project's file: it is a file-system name, not project text.
    virtual void set_caption(const std::string& caption) { (void)caption; }
    virtual void menus_changed() {}

    // The terminal-model chooser (modal): the option index 0..7 chosen with OK, or nothing
    // for Cancel, Esc or the window's close box.
    virtual std::optional<int> choose_model(const std::string& caption, const std::string& prompt,
                                            const std::string& cancel_text, int preselect) {
        (void)caption;
        (void)prompt;
        (void)cancel_text;
        (void)preselect;
        return std::nullopt;
    }

    // Progress window.
    virtual void progress_show(const std::string& text, int max) {
        (void)text;
        (void)max;
    }
    virtual void progress_value(int value) { (void)value; }
    virtual void progress_close() {}

    // --- Page editing (keyboard and mouse on the display) ---
    // The status bar's insert indicator follows the insert mode.
    virtual void show_insert_mode(bool on) { (void)on; }
    // Link editing ends: the link boxes go back to their idle look (an empty box shows the
    // current page again) and key preview is on again.
    virtual void end_link_edit() {}
    // The special-character picker, shown modally on the cursor cell.
    virtual void open_char_picker() {}
    // The variable editor, shown modally for variable act_var (new_var tells whether it is a
    // new one). Returns false when no variable editor exists, so nothing was edited.
    virtual bool open_var_editor() { return false; }
    // The variable grid marks row k as the selected variable (0: no row marked).
    virtual void grid_highlight(int k) { (void)k; }

    // --- Links ---
    // The autolink dialog, shown modeless (brought to the front when it is already open).
    virtual void open_autolink() {}
    // The link recalculation policy dialog, shown modally.
    virtual void open_link_parameters() {}
    // The user-interface language changed (or was read at start-up): the stock texts of
    // message boxes and file dialogs follow it.
    virtual void ui_language_changed(bool english) { (void)english; }
};

} // namespace kx
