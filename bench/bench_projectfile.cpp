// Reading and writing the largest project (1000 pages, 6 languages, 40 x 4, 8 variables a
// page, 600 strings a language): the pure bytes routines, the file routines and the whole
// File > Open and File > Save roads, each next to a plain line-by-line read or write of the
// same file, run alternately with it. The counter "x_plain" is the ratio to that baseline.
#include "core/filecmds.h"
#include "core/projectfile.h"
#include "core/store.h"
#include "platform/api/textfile.h"

#include "../tests/core/file_test_support.h"
#include "versus.h"

#include <benchmark/benchmark.h>

#include <fstream>

namespace {

using namespace filetest;

struct Largest {
    Editor e;
    std::string path;
    std::string bytes;
    std::vector<std::string> lines;
    Largest() {
        e.c.set_view(nullptr); // a view that does nothing
        fill_project(e.p, "KXB_5560", 6, 1000, 600, 8, 1);
        load_page(e.c, 0, 0);
        path = e.dir.file("largest.prj");
        e.p.project_path = path;
        FileError err;
        project_file_bytes(e.p, bytes, err);
        lines = split_text_lines(bytes);
        std::ofstream(path, std::ios::binary) << bytes;
    }
};

Largest& largest() {
    static Largest l;
    return l;
}

void plain_write(const Largest& l, const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const auto& line : l.lines) out << line << "\r\n";
}

std::size_t plain_read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::size_t n = 0;
    for (std::string line; std::getline(in, line);) n += line.size();
    return n;
}

void versus(benchmark::State& state, const std::function<void()>& baseline,
            const std::function<void()>& body) {
    bench::versus(state, "x_plain", baseline, body);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(largest().bytes.size()));
}

void plain_write_road() { plain_write(largest(), largest().e.dir.file("plain.prj")); }
void plain_read_road() { benchmark::DoNotOptimize(plain_read(largest().path)); }

void BM_PlainWrite(benchmark::State& state) { versus(state, plain_write_road, plain_write_road); }

void BM_PlainRead(benchmark::State& state) { versus(state, plain_read_road, plain_read_road); }

// Building the bytes alone, and building them and writing them as a plain write does.
void BM_ProjectFileBytes(benchmark::State& state) {
    Largest& l = largest();
    std::string out;
    FileError err;
    versus(state, plain_write_road, [&] { benchmark::DoNotOptimize(project_file_bytes(l.e.p, out, err)); });
}

void BM_BuildAndWrite(benchmark::State& state) {
    Largest& l = largest();
    std::string out;
    FileError err;
    versus(state, plain_write_road, [&] {
        project_file_bytes(l.e.p, out, err);
        std::ofstream(l.e.dir.file("built.prj"), std::ios::binary | std::ios::trunc) << out;
    });
}

void BM_ParseAndInstall(benchmark::State& state) {
    Largest& l = largest();
    static Project q;
    versus(state, plain_read_road, [&] {
        StagedProject st;
        FileError err;
        parse_project_file(l.bytes, st, err);
        install_staged_project(q, std::move(st));
    });
}

// The core's save: the bytes, then the safe replacement of the file (written to a new
// file, forced to the disk, renamed over the old one).
void BM_SaveProjectFile(benchmark::State& state) {
    Largest& l = largest();
    versus(state, plain_write_road, [&] { save_project_file(l.e.c, l.e.dir.file("saved.prj")); });
}

// The core's open: the file read whole, parsed, installed, page 0 shown.
void BM_OpenProjectFile(benchmark::State& state) {
    Largest& l = largest();
    versus(state, plain_read_road, [&] {
        clear_project(l.e.c);
        open_project_file(l.e.c, l.path);
    });
}

void BM_FileSaveRoad(benchmark::State& state) {
    Largest& l = largest();
    l.e.p.project_path = l.e.dir.file("road.prj");
    versus(state, plain_write_road, [&] {
        l.e.p.prj_modified = true;
        file_save(l.e.c);
    });
}

void BM_FileOpenRoad(benchmark::State& state) {
    Largest& l = largest();
    versus(state, plain_read_road, [&] {
        l.e.p.prj_modified = false;
        l.e.prompt.files = {l.path};
        file_open(l.e.c);
    });
}

BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_ProjectFileBytes)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_BuildAndWrite)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_SaveProjectFile)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_FileSaveRoad)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_ParseAndInstall)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_OpenProjectFile)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_FileOpenRoad)->Unit(benchmark::kMillisecond)->UseManualTime();

} // namespace
