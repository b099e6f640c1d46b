// Transfer speed over a pseudo-terminal against the terminal simulator, next to the raw
// stop-and-wait rate of a bare pseudo-terminal echo sampled before, during and after each
// transfer, and the CPU the editor uses while it waits for a silent terminal.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "../../tests/comm/comm_rig.h"
#include "comm/serial_link.h"
#include "core/context.h"
#include "core/transfer.h"
#include "platform/api/scripted_prompt.h"
#include "platform/qt_pump.h"

using namespace kx;

namespace {

double g_down_fps = 0, g_up_fps = 0, g_down_raw = 0, g_up_raw = 0;

double cpu_seconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

using Sim = SimProcess;

using Editor = LinkRig;

// Counts the frames a transfer sends, and every `every` frames stops the transfer between
// two frames for `pause` (which samples the bare round trip), keeping the time it took.
struct CountingLink : LinkPort {
    CountingLink(SerialLink& l, long every_frames, std::function<void()> between)
        : link(l), every(every_frames), pause(std::move(between)) {}
    SerialLink& link;
    long every;
    std::function<void()> pause;
    long frames = 0;
    double paused_s = 0;
    std::chrono::steady_clock::time_point first; // when the first frame went
    bool port_open() const override { return link.port_open(); }
    void open() override { link.open(); }
    void send_frame(const std::string& t) override {
        if (frames == 0) first = std::chrono::steady_clock::now();
        if (++frames % every == 0 && pause) {
            const auto t0 = std::chrono::steady_clock::now();
            pause();
            paused_s += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        }
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

// The mean text length of the frames that carry the project (pages and global strings),
// the few frames around them aside; an upload sends back frames of about the same length.
int mean_frame_text(const Project& p) {
    long bytes = 0, frames = 0;
    for (int l = 0; l < p.n_lang; ++l) {
        for (int pg = 0; pg <= p.last_page_idx; ++pg)
            for (const std::string& f : download_page_frames(p, l, pg))
                bytes += static_cast<long>(f.size()), ++frames;
        for (int s = 0; s < p.n_strings; ++s)
            bytes += static_cast<long>(p.global_strings[l][s].size()), ++frames;
    }
    return frames > 0 ? static_cast<int>((bytes + frames / 2) / frames) : 4;
}

// A new raw pseudo-terminal whose far end, a child process as the simulator is, answers
// every ETX with an empty frame and does nothing else.
class BareEcho {
public:
    BareEcho() {
        openpty(&master_, &slave_, name_, nullptr, nullptr);
        termios t{};
        tcgetattr(slave_, &t);
        cfmakeraw(&t);
        tcsetattr(slave_, TCSANOW, &t);
        pid_ = fork();
        if (pid_ != 0) return;
        // Only system calls here: the parent has threads.
        close(slave_);
        char buf[256];
        for (;;) {
            const ssize_t n = read(master_, buf, sizeof buf);
            if (n <= 0) _exit(0);
            for (ssize_t i = 0; i < n; ++i)
                if (buf[i] == 0x03 && write(master_, "\x02\x03", 2) != 2) _exit(0);
        }
    }
    ~BareEcho() {
        close(slave_);
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(master_);
    }
    BareEcho(const BareEcho&) = delete;
    BareEcho& operator=(const BareEcho&) = delete;
    bool running() const { return pid_ > 0; }
    int near_fd() const { return slave_; }
    const char* device() const { return name_; }

private:
    int master_ = -1, slave_ = -1;
    pid_t pid_ = -1;
    char name_[256] = {};
};

// Runs `exchange` (one frame out, its answer in) for about `seconds`; adds the frames and
// the time taken to the totals.
template <class F>
void exchanges(double seconds, F&& exchange, long& frames, double& elapsed) {
    const auto t0 = std::chrono::steady_clock::now();
    double t = 0;
    for (long n = 0; t < seconds; ++n, ++frames) {
        if (!exchange()) break;
        if (n % 64 == 0) t = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    elapsed += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// The bare stop-and-wait round trip on a pseudo-terminal, frames of `text` characters: the
// near end writes a frame and reads until the answer's ETX. The machine's pace drifts over
// a transfer of half a minute, so the bare rate is sampled in short slices spread over the
// road it is set against, and averaged over all of them.
class BareRate {
public:
    explicit BareRate(int text) : frame_(static_cast<size_t>(text) + 2, '0') {
        frame_.front() = 0x02;
        frame_.back() = 0x03;
    }
    bool running() const { return echo_.running(); }
    void slice(double seconds = 0.25) {
        const int fd = echo_.near_fd();
        exchanges(
            seconds,
            [&] {
                if (write(fd, frame_.data(), frame_.size()) != static_cast<ssize_t>(frame_.size()))
                    return false;
                char buf[64];
                for (;;) {
                    const ssize_t n = read(fd, buf, sizeof buf);
                    if (n <= 0) return false;
                    if (memchr(buf, 0x03, static_cast<size_t>(n))) return true;
                }
            },
            frames_, seconds_);
    }
    // Frames per second over every slice so far.
    double fps() const { return seconds_ > 0 ? frames_ / seconds_ : 0; }
    void reset() { frames_ = 0, seconds_ = 0; }

private:
    BareEcho echo_;
    std::string frame_;
    long frames_ = 0;
    double seconds_ = 0;
};

void BM_RawPtyEcho(benchmark::State& state) {
    BareRate bare(4);
    for (auto _ : state) bare.slice(1.0);
    state.counters["frames_per_s"] = bare.fps();
}

// The largest project down to the simulator and back up, each set against the bare round
// trip sampled right before it, every 40000 frames during it and right after it.
void BM_DownloadUploadLargest(benchmark::State& state) {
    constexpr long kSliceEvery = 40000;
    for (auto _ : state) {
        Sim sim({"--model", "KXB_5560"});
        auto down = std::make_unique<Editor>(sim.device());
        fill_largest(down->p);
        const int text = mean_frame_text(down->p);
        BareRate bare(text);
        if (!bare.running()) {
            state.SkipWithError("no pseudo-terminal");
            break;
        }
        CountingLink dl(down->link, kSliceEvery, [&] { bare.slice(); });
        TransferPanel panel;
        bare.slice();
        auto t0 = std::chrono::steady_clock::now();
        run_download(down->c, dl, panel);
        const double down_s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        bare.slice();
        const double down_raw = bare.fps();
        const bool down_ok = down->prompt.last_text() == "Trasferimento eseguito con successo";
        down.reset(); // one project in memory, as in the editor

        // The upload counts from the acknowledgement of the terminal's first frame: the
        // terminal's start (the key, building what it sends) is no round trip.
        bare.reset();
        Editor up(sim.device());
        CountingLink ul(up.link, kSliceEvery, [&] { bare.slice(); });
        bare.slice();
        QTimer::singleShot(50, [&sim] { sim.press_key(); });
        run_upload(up.c, ul, panel);
        const double up_s =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - ul.first).count();
        bare.slice();
        const double up_raw = bare.fps();

        if (!down_ok || up.prompt.last_text() != "Trasferimento eseguito con successo" ||
            up.p.last_page_idx != kMaxPageIdx) {
            state.SkipWithError("a transfer failed");
            break;
        }
        // The download's 278 + 111 ms of pauses around its end marker are no round trips.
        g_down_fps = dl.frames / (down_s - dl.paused_s - 0.389);
        g_up_fps = (ul.frames - 1) / (up_s - ul.paused_s);
        g_down_raw = down_raw;
        g_up_raw = up_raw;
        state.counters["frame_text"] = text;
        state.counters["download_frames"] = static_cast<double>(dl.frames);
        state.counters["download_of_raw"] = g_down_fps / g_down_raw;
        state.counters["upload_frames"] = static_cast<double>(ul.frames);
        state.counters["upload_of_raw"] = g_up_fps / g_up_raw;
    }
}

// The editor's link alone, without the simulator's work: exchanges with a bare far end in
// slices that alternate with slices of the bare round trip, and the editor's CPU time per
// exchange.
void BM_LinkAgainstBareEcho(benchmark::State& state) {
    for (auto _ : state) {
        BareRate bare(4);
        BareEcho echo;
        Editor e(echo.device());
        e.link.open();
        long frames = 0;
        double seconds = 0, cpu = 0;
        for (int i = 0; i < 8; ++i) {
            bare.slice();
            const double cpu0 = cpu_seconds();
            exchanges(
                0.25,
                [&] {
                    e.link.send_frame("0000");
                    e.link.wait_reply();
                    return e.p.comm_error == 0;
                },
                frames, seconds);
            cpu += cpu_seconds() - cpu0;
        }
        bare.slice();
        e.link.release();
        state.counters["link_of_raw"] = seconds > 0 && bare.fps() > 0 ? frames / seconds / bare.fps() : 0;
        state.counters["cpu_us_per_frame"] = frames > 0 ? 1e6 * cpu / frames : 0;
    }
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

} // namespace

BENCHMARK(BM_RawPtyEcho)->Iterations(1)->UseRealTime();
BENCHMARK(BM_DownloadUploadLargest)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_LinkAgainstBareEcho)->Iterations(1)->UseRealTime();
BENCHMARK(BM_WaitReplyCpuSilentTerminal)
    ->Arg(2000)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    kx::QtPump::use_qt_dispatcher();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_down_raw > 0 && g_up_raw > 0)
        std::printf("frames per second: download %.0f against a bare round trip of %.0f (%.1f%%), "
                    "upload %.0f against %.0f (%.1f%%)\n",
                    g_down_fps, g_down_raw, 100 * g_down_fps / g_down_raw, g_up_fps, g_up_raw,
                    100 * g_up_fps / g_up_raw);
    return 0;
}
