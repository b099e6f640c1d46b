#pragma once
// A View that remembers what the model told the windows, and a test fixture with a fresh
// project, scripted prompts, in-memory settings and a clock that never blocks.
#include "core/context.h"
#include "platform/api/scripted_prompt.h"

#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace kx::test {

struct RecordingView : View {
    struct Img {
        GlyphSet set = GlyphSet::Char;
        int image = 0;
    };
    std::map<int, Img> cells;
    std::map<Label, std::string> labels;
    std::map<int, std::string> link_boxes;
    std::map<int, std::vector<std::string>> grid;
    std::vector<std::string> headings;
    std::vector<std::string> lang_names;
    int lang_selected = -1;
    std::vector<std::string> type_names;
    std::string caption;
    int layouts = 0, unloads = 0, menu_updates = 0;
    bool pwd = false;
    bool blink = false;
    std::optional<int> chooser_answer;   // nothing = Cancel
    int chooser_preselect = -1;
    std::string chooser_prompt;

    void paint_cell(int cell, GlyphSet set, int image) override { cells[cell] = {set, image}; }
    void layout_display(int, int) override { ++layouts; cells.clear(); }
    void unload_display(int) override { ++unloads; }
    void set_blink_enabled(bool on) override { blink = on; }
    void set_label(Label w, const std::string& t) override { labels[w] = t; }
    void show_link_box(int k, const std::string& t) override { link_boxes[k] = t; }
    void show_pwd(bool on) override { pwd = on; }
    void grid_layout(const std::vector<std::string>& h) override { headings = h; grid.clear(); }
    void grid_clear(const std::vector<std::string>& h) override { headings = h; grid.clear(); }
    void grid_row(int k, const std::vector<std::string>& c) override { grid[k] = c; }
    void lang_list_set(const std::vector<std::string>& n, int s) override { lang_names = n; lang_selected = s; }
    void type_list_fill(const std::vector<std::string>& n) override { type_names = n; }
    void set_caption(const std::string& c) override { caption = c; }
    void menus_changed() override { ++menu_updates; }
    std::optional<int> choose_model(const std::string&, const std::string& prompt, const std::string&,
                                    int preselect) override {
        chooser_prompt = prompt;
        chooser_preselect = preselect;
        return chooser_answer;
    }
};

// A fresh editor state in a private temporary folder (the program's folder of the test).
struct Fixture {
    Project p;
    ScriptedPrompt prompt;
    MemorySettings settings;
    ManualPump pump;
    RecordingView view;
    std::filesystem::path dir;
    Ctx c;

    Fixture()
        : dir(make_dir()), c(p, prompt, settings, pump, dir.string()) {
        c.set_view(&view);
    }
    ~Fixture() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }

    static std::filesystem::path make_dir() {
        static int n = 0;
        auto d = std::filesystem::temp_directory_path() /
                 ("kxtest-" + std::to_string(::getpid()) + "-" + std::to_string(++n));
        std::filesystem::create_directories(d);
        return d;
    }
};

} // namespace kx::test
