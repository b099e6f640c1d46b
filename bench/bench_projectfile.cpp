// Reading and writing the largest project (1000 pages, 6 languages, 40 x 4, 8 variables a
// page, 600 strings a language): the pure bytes routines, the file routines and the whole
// File > Open and File > Save roads, each next to a plain line-by-line read or write of the
// same file. The counter "x_plain" is the ratio to that baseline.
#include "core/filecmds.h"
#include "core/projectfile.h"
#include "core/store.h"
#include "platform/api/textfile.h"

#include "../tests/core/file_test_support.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <fstream>

namespace {

using namespace filetest;
using Clock = std::chrono::steady_clock;

struct Largest {
    Editor e;
    std::string path;
    std::string bytes;
    std::vector<std::string> lines;
    Largest() {
        e.c.set_view(nullptr);   // a view that does nothing
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

// Median of seven runs.
template <class F>
double median_seconds(F&& f) {
    std::vector<double> t;
    for (int i = 0; i < 7; ++i) {
        auto t0 = Clock::now();
        f();
        t.push_back(std::chrono::duration<double>(Clock::now() - t0).count());
    }
    std::sort(t.begin(), t.end());
    return t[3];
}

double plain_write_seconds() {
    static const double s = median_seconds([] { plain_write(largest(), largest().e.dir.file("plain.prj")); });
    return s;
}

double plain_read_seconds() {
    static const double s = median_seconds([] { benchmark::DoNotOptimize(plain_read(largest().path)); });
    return s;
}

// Runs body per iteration and sets the ratio of its mean time to the baseline.
template <class F>
void timed(benchmark::State& state, double baseline, F&& body) {
    auto t0 = Clock::now();
    for (auto _ : state) body();
    const double per = std::chrono::duration<double>(Clock::now() - t0).count() / std::max<double>(1, state.iterations());
    state.counters["x_plain"] = per / baseline;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(largest().bytes.size()));
}

void BM_PlainWrite(benchmark::State& state) {
    Largest& l = largest();
    timed(state, plain_write_seconds(), [&] { plain_write(l, l.e.dir.file("plain.prj")); });
}

void BM_PlainRead(benchmark::State& state) {
    Largest& l = largest();
    timed(state, plain_read_seconds(), [&] { benchmark::DoNotOptimize(plain_read(l.path)); });
}

void BM_ProjectFileBytes(benchmark::State& state) {
    Largest& l = largest();
    std::string out;
    FileError err;
    timed(state, plain_write_seconds(), [&] { benchmark::DoNotOptimize(project_file_bytes(l.e.p, out, err)); });
}

void BM_ParseAndInstall(benchmark::State& state) {
    Largest& l = largest();
    static Project q;
    timed(state, plain_read_seconds(), [&] {
        StagedProject st;
        FileError err;
        parse_project_file(l.bytes, st, err);
        install_staged_project(q, std::move(st));
    });
}

void BM_SaveProjectFile(benchmark::State& state) {
    Largest& l = largest();
    timed(state, plain_write_seconds(), [&] { save_project_file(l.e.c, l.e.dir.file("saved.prj")); });
}

void BM_OpenProjectFile(benchmark::State& state) {
    Largest& l = largest();
    timed(state, plain_read_seconds(), [&] {
        clear_project(l.e.c);
        open_project_file(l.e.c, l.path);
    });
}

void BM_FileSaveRoad(benchmark::State& state) {
    Largest& l = largest();
    l.e.p.project_path = l.e.dir.file("road.prj");
    timed(state, plain_write_seconds(), [&] {
        l.e.p.prj_modified = true;
        file_save(l.e.c);
    });
}

void BM_FileOpenRoad(benchmark::State& state) {
    Largest& l = largest();
    timed(state, plain_read_seconds(), [&] {
        l.e.p.prj_modified = false;
        l.e.prompt.files = {l.path};
        file_open(l.e.c);
    });
}

BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProjectFileBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveProjectFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FileSaveRoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseAndInstall)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenProjectFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FileOpenRoad)->Unit(benchmark::kMillisecond);

} // namespace
