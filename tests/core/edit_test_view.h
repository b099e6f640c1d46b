#pragma once
// A project with a recording window and a scripted user, for the page-editing tests. The
// view keeps the last image painted on each cell, so a test can read what the display shows.
#include "core/context.h"
#include "core/project.h"
#include "core/variables.h"
#include "core/view.h"
#include "platform/api/pump.h"
#include "platform/api/scripted_prompt.h"
#include "platform/api/settings.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kx::test {

class RecordingView : public View {
public:
    std::map<int, std::pair<GlyphSet, int>> cells;
    std::map<Label, std::string> labels;
    std::map<int, std::vector<std::string>> grid;
    std::vector<std::string> headings;
    std::vector<int> highlights;
    std::vector<bool> insert_shown;
    int char_pickers = 0, var_editors = 0, link_edits_ended = 0;
    bool editor_exists = false;

    void paint_cell(int cell, GlyphSet set, int image) override { cells[cell] = {set, image}; }
    void set_label(Label which, const std::string& text) override { labels[which] = text; }
    void grid_clear(const std::vector<std::string>& h) override { headings = h; grid.clear(); }
    void grid_layout(const std::vector<std::string>& h) override { headings = h; }
    void grid_row(int k, const std::vector<std::string>& row) override { grid[k] = row; }
    void show_insert_mode(bool on) override { insert_shown.push_back(on); }
    void end_link_edit() override { ++link_edits_ended; }
    void open_char_picker() override { ++char_pickers; }
    bool open_var_editor() override { ++var_editors; return editor_exists; }
    void grid_highlight(int k) override { highlights.push_back(k); }

    // The character each cell of [from, from + n) shows in its normal glyph; '#' for a
    // variable digit cell, '.' for a point cell, '?' for a cell drawn any other way.
    std::string text(int from, int n) const {
        std::string s;
        for (int i = from; i < from + n; ++i) {
            auto it = cells.find(i);
            if (it == cells.end() || it->second.first != GlyphSet::Char) s += '?';
            else if (it->second.second == kCodeVarDigit) s += '#';
            else if (it->second.second == kCodeVarPoint) s += '.';
            else s += static_cast<char>(it->second.second);
        }
        return s;
    }
};

struct Editor {
    Project p;
    ScriptedPrompt prompt;
    MemorySettings settings;
    ManualPump pump;
    RecordingView view;
    Ctx c{p, prompt, settings, pump};

    // A model's geometry, one blank page shown, cursor on cell 0, insert mode.
    explicit Editor(int cols = 20, int rows = 2, const std::string& model = "KXB_5560") {
        c.set_view(&view);
        p.kx_type = model;
        p.n_cols = static_cast<std::int16_t>(cols);
        p.n_rows = static_cast<std::int16_t>(rows);
        for (int i = 0; i < p.cells(); ++i) put(i, 32);
    }

    // Writes a code into the buffer and paints it, as a loaded page stands.
    void put(int cell, int code) {
        p.display_buffer[cell] = static_cast<std::int16_t>(code);
        view.paint_cell(cell, GlyphSet::Char, code);
    }
    void write(int cell, const std::string& s) {
        for (size_t i = 0; i < s.size(); ++i) put(cell + static_cast<int>(i), static_cast<unsigned char>(s[i]));
    }
    // The buffer as text, with the same marks as RecordingView::text.
    std::string buf(int from, int n) const {
        std::string s;
        for (int i = from; i < from + n; ++i) {
            int code = p.display_buffer[i];
            s += code == kCodeVarDigit ? '#' : code == kCodeVarPoint ? '.' : static_cast<char>(code);
        }
        return s;
    }
    // Adds a variable to the page and draws its cells.
    int add_var(int pos, int digits, int type = 0, int dec = 0) {
        const int k = ++p.n_vars;
        variable_record& v = p.variable_table[k];
        v.pos = static_cast<std::int16_t>(pos);
        v.digits = static_cast<std::int16_t>(digits);
        v.type = static_cast<std::int16_t>(type);
        v.dec = static_cast<std::int16_t>(dec);
        v.access = 1;
        draw_var_cells(c, k);
        return k;
    }
};

} // namespace kx::test
