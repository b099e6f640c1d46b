#pragma once
// A road timed next to its baseline: both run one after the other in every iteration, so
// that both see the same load on the machine.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace bench {

inline double seconds_of(const std::function<void()>& f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// The iteration's time is the body's (register the benchmark with UseManualTime); the
// counter `ratio` is the body's median time over the baseline's.
inline void versus(benchmark::State& state, const char* ratio, const std::function<void()>& baseline,
                   const std::function<void()>& body) {
    std::vector<double> base, mine;
    for (auto _ : state) {
        base.push_back(seconds_of(baseline));
        mine.push_back(seconds_of(body));
        state.SetIterationTime(mine.back());
    }
    state.counters[ratio] = median(mine) / median(base);
}

} // namespace bench
