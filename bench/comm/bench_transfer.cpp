// Transfer speed over a pseudo-terminal against the terminal simulator, next to the raw
// stop-and-wait rate of a bare pseudo-terminal echo measured in the same run, and the CPU
// the editor uses while it waits for a silent terminal.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "comm/serial_link.h"
#include "core/context.h"
#include "core/transfer.h"
#include "platform/api/scripted_prompt.h"
#include "platform/qt_pump.h"
#include "../../tests/comm/comm_rig.h"

using namespace kx;

namespace {

double g_raw_fps = 0, g_down_fps = 0, g_up_fps = 0;

using Sim = SimProcess;

using Editor = LinkRig;

// Counts the frames a transfer sends.
struct CountingLink : LinkPort {
    explicit CountingLink(SerialLink& l) : link(l) {}
    SerialLink& link;
    long frames = 0;
    bool port_open() const override { return link.port_open(); }
    void open() override { link.open(); }
    void send_frame(const std::string& t) override {
        ++frames;
        link.send_frame(t);
    }
    void wait_reply() override { link.wait_reply(); }
    void release() override { link.release(); }
};

// The largest project: 40 x 4, six languages of 1000 pages with 8 variables each, 600
// strings per language.
void fill_largest(Project& p) {
    p.n_lang = 6;
    p.last_page_idx = kMaxPageIdx;
    p.n_strings = kMaxStrings;
    for (int l = 0; l < 6; ++l) {
        p.language_names[l] = "Lingua " + std::to_string(l);
        for (int pg = 0; pg <= kMaxPageIdx; ++pg) {
            page_record& r = p.page_store[l][pg];
            for (int i = 0; i < 160; ++i) r.chars[i] = static_cast<std::int16_t>(33 + (i + pg + l) % 94);
            if (l != 0) continue;
            r.links = {static_cast<std::int16_t>(pg), static_cast<std::int16_t>(pg), 0, 999, 0};
            r.var_count = 8;
            for (int s = 1; s <= 8; ++s) {
                r.set_var(s, {1, 0, static_cast<std::int16_t>(s * 16), 4, 0, 0x1000 + s, 0, 0xFFFF});
                for (int i = 0; i < 4; ++i) r.chars[s * 16 + i] = kCodeVarDigit;
            }
        }
        for (int s = 0; s < kMaxStrings; ++s) p.global_strings[l][s] = "Stringa globale " + std::to_string(s);
    }
}

void BM_RawPtyEcho(benchmark::State& state) {
    int master = -1, slave = -1;
    openpty(&master, &slave, nullptr, nullptr, nullptr);
    termios t{};
    tcgetattr(slave, &t);
    cfmakeraw(&t);
    tcsetattr(slave, TCSANOW, &t);
    // The far end answers every ETX with an empty frame, doing nothing else.
    std::thread echo([master] {
        char buf[256];
        for (;;) {
            const ssize_t n = read(master, buf, sizeof buf);
            if (n <= 0) return;
            for (ssize_t i = 0; i < n; ++i)
                if (buf[i] == 0x03 && write(master, "\x02\x03", 2) != 2) return;
        }
    });
    const char frame[] = "\x02" "0000\x03";
    char buf[64];
    const auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (write(slave, frame, 6) != 6) break;
        for (bool done = false; !done;) {
            const ssize_t n = read(slave, buf, sizeof buf);
            if (n <= 0) break;
            done = memchr(buf, 0x03, static_cast<size_t>(n)) != nullptr;
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    g_raw_fps = seconds > 0 ? static_cast<double>(state.iterations()) / seconds : 0;
    state.counters["frames_per_s"] = g_raw_fps;
    close(slave);   // the echo's read fails once no slave is open
    echo.join();
    close(master);
}

void BM_DownloadUploadLargest(benchmark::State& state) {
    for (auto _ : state) {
        Sim sim({"--model", "KXB_5560"});
        Editor down(sim.device());
        fill_largest(down.p);
        CountingLink dl(down.link);
        TransferPanel panel;
        auto t0 = std::chrono::steady_clock::now();
        run_download(down.c, dl, panel);
        const double down_s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();

        Editor up(sim.device());
        CountingLink ul(up.link);
        QTimer::singleShot(50, [&sim] { sim.press_key(); });
        t0 = std::chrono::steady_clock::now();
        run_upload(up.c, ul, panel);
        const double up_s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();

        if (down.prompt.last_text() != "Trasferimento eseguito con successo" ||
            up.prompt.last_text() != "Trasferimento eseguito con successo" || up.p.last_page_idx != kMaxPageIdx) {
            state.SkipWithError("a transfer failed");
            break;
        }
        g_down_fps = down_s > 0 ? dl.frames / down_s : 0;
        g_up_fps = up_s > 0 ? ul.frames / (up_s - 0.05) : 0;
        state.counters["download_frames"] = static_cast<double>(dl.frames);
        state.counters["download_frames_per_s"] = g_down_fps;
        state.counters["upload_frames"] = static_cast<double>(ul.frames);
        state.counters["upload_frames_per_s"] = g_up_fps;
    }
}

double cpu_seconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// While wait_reply waits for a terminal that does not answer, the editor should sleep.
void BM_WaitReplyCpuSilentTerminal(benchmark::State& state) {
    Sim sim({"--silent"});
    Editor e(sim.device());
    e.link.set_reply_timeout_ms(static_cast<int>(state.range(0)));
    e.link.open();
    for (auto _ : state) {
        const double cpu0 = cpu_seconds();
        const auto t0 = std::chrono::steady_clock::now();
        e.link.send_frame("");
        e.link.wait_reply();
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        state.counters["cpu_percent_of_wait"] = 100.0 * (cpu_seconds() - cpu0) / wall;
    }
    e.link.release();
}

}  // namespace

BENCHMARK(BM_RawPtyEcho)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_DownloadUploadLargest)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_WaitReplyCpuSilentTerminal)->Arg(2000)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_raw_fps > 0 && (g_down_fps > 0 || g_up_fps > 0))
        std::printf("frames per second: raw pty echo %.0f, download %.0f (%.1f%% of raw), upload %.0f (%.1f%% of raw)\n",
                    g_raw_fps, g_down_fps, 100 * g_down_fps / g_raw_fps, g_up_fps, 100 * g_up_fps / g_raw_fps);
    return 0;
}
