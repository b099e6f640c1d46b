#pragma once
// A project with a recording window and a scripted user for the page-editing tests. The view
// keeps the last image painted on each cell, so a test reads what the display shows.
#include "core/context.h"
#include "core/variables.h"
#include "platform/api/pump.h"
#include "platform/api/scripted_prompt.h"
#include "platform/api/settings.h"

#include <map>

namespace kx::test {

// Text of cells [from, from + n) from their codes: '#' digit cell, '.' point cell.
inline std::string as_text(const std::map<int, int>& codes, int from, int n) {
    std::string s;
    for (int i = from; i < from + n; ++i) {
        auto it = codes.find(i);
        int code = it == codes.end() ? '?' : it->second;
        s += code == kCodeVarDigit ? '#' : code == kCodeVarPoint ? '.' : static_cast<char>(code);
    }
    return s;
}

class RecordingView : public View {
public:
    std::map<int, std::pair<GlyphSet, int>> cells;
    std::map<Label, std::string> labels;
    std::map<int, std::vector<std::string>> grid;
    std::vector<int> highlights;
    std::vector<bool> insert_shown;
    int char_pickers = 0, var_editors = 0, link_edits_ended = 0;
    bool editor_exists = false;

    void paint_cell(int cell, GlyphSet set, int image) override { cells[cell] = {set, image}; }
    void set_label(Label which, const std::string& text) override { labels[which] = text; }
    void grid_clear(const std::vector<std::string>&) override { grid.clear(); }
    void grid_row(int k, const std::vector<std::string>& row) override { grid[k] = row; }
    void show_insert_mode(bool on) override { insert_shown.push_back(on); }
    void end_link_edit() override { ++link_edits_ended; }
    void open_char_picker() override { ++char_pickers; }
    bool open_var_editor() override { ++var_editors; return editor_exists; }
    void grid_highlight(int k) override { highlights.push_back(k); }

    // What the cells show in their normal glyphs; '?' for a cell drawn any other way.
    std::string text(int from, int n) const {
        std::map<int, int> codes;
        for (auto& [i, img] : cells)
            if (img.first == GlyphSet::Char) codes[i] = img.second;
        return as_text(codes, from, n);
    }
};

struct Editor {
    Project p;
    ScriptedPrompt prompt;
    MemorySettings settings;
    ManualPump pump;
    RecordingView view;
    Ctx c{p, prompt, settings, pump};

    // A blank page of the given geometry, cursor on cell 0, insert mode.
    explicit Editor(int cols = 20, int rows = 2) {
        c.set_view(&view);
        p.n_cols = static_cast<std::int16_t>(cols);
        p.n_rows = static_cast<std::int16_t>(rows);
        write(0, std::string(p.cells(), ' '));
    }
    // Writes text into the buffer and paints it, as a loaded page stands.
    void write(int cell, const std::string& s) {
        for (unsigned char ch : s) {
            p.display_buffer[cell] = ch;
            view.paint_cell(cell++, GlyphSet::Char, ch);
        }
    }
    std::string buf(int from, int n) const {
        std::map<int, int> codes;
        for (int i = 0; i < p.cells(); ++i) codes[i] = p.display_buffer[i];
        return as_text(codes, from, n);
    }
    int add_var(int pos, int digits, int type = 0, int dec = 0) {
        const int k = ++p.n_vars;
        p.variable_table[k] = {1, static_cast<std::int16_t>(type), static_cast<std::int16_t>(pos),
                               static_cast<std::int16_t>(digits), static_cast<std::int16_t>(dec), 0, 0, 0};
        draw_var_cells(c, k);
        return k;
    }
};

} // namespace kx::test
