// File > Open and File > Save of the largest project (1000 pages, 6 languages, 40 x 4,
// 8 variables a page, 600 strings a language) through the main window, offscreen, next to
// the same commands of the core with no window, measured in the same run on the same event
// pump (so the pauses around the progress window count on both sides), alternately with
// it. The counter "x_core" is the ratio to that baseline; "rss_mb" is the resident memory
// of this process with the project open in the window (an upper bound for the editor: the
// process also holds the baseline's project and the benchmark itself).
#include "app/main_window.h"
#include "core/filecmds.h"
#include "core/projectfile.h"
#include "platform/qt_pump.h"

#include "../../tests/core/file_test_support.h"
#include "../versus.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>

namespace {

using namespace filetest;

// One editor: the project, scripted file dialogs, the Qt event pump; with a main window
// when `window` is set, else the core alone (a view that does nothing).
struct Road {
    Project p;
    ScriptedPrompt prompt;
    MemorySettings settings;
    QtPump pump;
    Ctx c;
    std::unique_ptr<MainWindow> w;
    Road(const std::string& dir, bool window) : c{p, prompt, settings, pump, dir} {
        if (window) {
            w = std::make_unique<MainWindow>(c);
            w->show();
            w->load();
        } else {
            main_window_load(c);
        }
    }
    void open(const std::string& path) {
        p.prj_modified = false;
        prompt.files = {path};
        file_open(c);
    }
    void save(const std::string& path) {
        p.project_path = path;
        p.prj_modified = true;
        file_save(c);
    }
};

struct Setup {
    TempDir dir;
    std::string path;
    Road core{dir.path.string(), false};
    Road window{dir.path.string(), true};
    Setup() {
        Project p;
        fill_project(p, "KXB_5560", 6, 1000, 600, 8, 1);
        std::string bytes;
        FileError err;
        project_file_bytes(p, bytes, err);
        path = dir.file("largest.prj");
        std::ofstream(path, std::ios::binary) << bytes;
        core.open(path);
        window.open(path);
    }
};

Setup& setup() {
    static Setup s;
    return s;
}

double rss_mb() {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

void BM_WindowOpen(benchmark::State& state) {
    Setup& s = setup();
    bench::versus(
        state, "x_core", [&] { s.core.open(s.path); }, [&] { s.window.open(s.path); });
    state.counters["rss_mb"] = rss_mb();
}

void BM_WindowSave(benchmark::State& state) {
    Setup& s = setup();
    bench::versus(
        state, "x_core", [&] { s.core.save(s.dir.file("core.prj")); },
        [&] { s.window.save(s.dir.file("window.prj")); });
}

} // namespace

BENCHMARK(BM_WindowOpen)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_WindowSave)->Unit(benchmark::kMillisecond)->UseManualTime();

int main(int argc, char** argv) {
    kx::QtPump::use_qt_dispatcher();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
