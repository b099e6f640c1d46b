#pragma once
// The stand-ins of every test: a View that remembers what the model told the windows, a
// pump that counts the waits open to user input, a link that answers at once, a private
// temporary folder, and editor contexts built from them with scripted prompts and in-memory
// settings.
#include "core/context.h"
#include "core/shell.h"
#include "core/transfer.h"
#include "core/variables.h"
#include "platform/api/scripted_prompt.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

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

// The texts of the messages shown, in order.
inline std::vector<std::string> texts(const ScriptedPrompt& prompt) {
    std::vector<std::string> t;
    for (const auto& m : prompt.messages) t.push_back(m.text);
    return t;
}

struct RecordingView : View {
    std::map<int, std::pair<GlyphSet, int>> cells; // the last image painted on each cell
    std::map<Label, std::string> labels;
    std::map<int, std::string> link_boxes;
    std::map<int, std::vector<std::string>> grid;
    std::vector<std::string> headings, lang_names;
    std::vector<std::string> calls; // progress windows and display unloads, in order
    std::string caption;
    int last_value = -1;
    bool pwd = false;
    std::optional<int> chooser_answer; // nothing = Cancel
    int chooser_preselect = -1;
    int char_pickers = 0, var_editors = 0, link_edits_ended = 0;
    bool editor_exists = false; // whether open_var_editor() answers that an editor was shown

    void paint_cell(int cell, GlyphSet set, int image) override { cells[cell] = {set, image}; }
    void layout_display(int, int) override { cells.clear(); }
    void unload_display(int n) override { calls.push_back("unload " + std::to_string(n)); }
    void progress_show(const std::string& text, int max) override {
        calls.push_back("show " + text + " " + std::to_string(max));
    }
    void progress_value(int v) override { last_value = v; }
    void progress_close() override { calls.push_back("close " + std::to_string(last_value)); }
    void set_label(Label w, const std::string& t) override { labels[w] = t; }
    void show_link_box(int k, const std::string& t) override { link_boxes[k] = t; }
    void show_pwd(bool on) override { pwd = on; }
    void grid_layout(const std::vector<std::string>& h) override { headings = h; }
    void grid_clear(const std::vector<std::string>& h) override {
        headings = h;
        grid.clear();
    }
    void grid_row(int k, const std::vector<std::string>& c) override { grid[k] = c; }
    void lang_list_set(const std::vector<std::string>& n, int) override { lang_names = n; }
    void set_caption(const std::string& c) override { caption = c; }
    std::optional<int> choose_model(const std::string&, const std::string&, const std::string&,
                                    int preselect) override {
        chooser_preselect = preselect;
        return chooser_answer;
    }
    void end_link_edit() override { ++link_edits_ended; }
    void open_char_picker() override { ++char_pickers; }
    bool open_var_editor() override {
        ++var_editors;
        return editor_exists;
    }

    // What the cells show in their normal glyphs; '?' for a cell drawn any other way.
    std::string text(int from, int n) const {
        std::map<int, int> codes;
        for (auto& [i, img] : cells)
            if (img.first == GlyphSet::Char) codes[i] = img.second;
        return as_text(codes, from, n);
    }
};

// Remembers whether any wait let user input through.
struct RecordingPump : ManualPump {
    int input_waits = 0;
    bool wait(std::int32_t ms, bool user_input, const std::function<bool()>& done) override {
        if (user_input) ++input_waits;
        return ManualPump::wait(ms, user_input, done);
    }
};

// A terminal that answers every frame at once with `reply` and keeps what it was sent.
struct AnsweringLink : LinkPort {
    explicit AnsweringLink(Project& p, std::string reply = "") : p_(p), reply_(std::move(reply)) {}
    std::vector<std::string> sent;
    bool port_open() const override { return false; }
    void open() override { p_.port_idle = false; }
    void send_frame(const std::string& text) override { sent.push_back(text); }
    void wait_reply() override { p_.rx_buffer = reply_, p_.rx_done = true, p_.comm_error = 0; }
    void release() override { p_.port_idle = true; }
    Project& p_;
    std::string reply_;
};

struct TempDir {
    std::filesystem::path path;
    TempDir() {
        static int serial = 0;
        path = std::filesystem::temp_directory_path() /
               ("kxtest-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
        std::filesystem::create_directories(path);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string file(const std::string& name) const { return (path / name).string(); }
    // The names of the files in the folder, sorted.
    std::vector<std::string> names() const {
        std::vector<std::string> n;
        for (const auto& f : std::filesystem::directory_iterator(path)) n.push_back(f.path().filename());
        std::sort(n.begin(), n.end());
        return n;
    }
};

// A fresh editor state whose program folder is a private temporary folder.
struct Fixture {
    TempDir dir;
    Project p;
    ScriptedPrompt prompt;
    MemorySettings settings;
    RecordingPump pump;
    RecordingView view;
    Ctx c{p, prompt, settings, pump, dir.path.string()};
    Fixture() { c.set_view(&view); }
};

// The same after the main window's start-up: the default empty project.
struct Started : Fixture {
    Started() { main_window_load(c); }
};

// A blank page of the given geometry, cursor on cell 0, insert mode.
struct Editor : Fixture {
    explicit Editor(int cols = 20, int rows = 2) {
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
        auto s = [](int v) { return static_cast<std::int16_t>(v); };
        p.variable_table[k] = {1, s(type), s(pos), s(digits), s(dec), 0, 0, 0};
        draw_var_cells(c, k);
        return k;
    }
};

} // namespace kx::test
