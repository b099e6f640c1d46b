#pragma once
// The millisecond tick counter and the waits that keep the user interface alive.
#include <cstdint>
#include <functional>

namespace kx {

class Pump {
public:
    virtual ~Pump() = default;
    // Milliseconds since an arbitrary start; wraps like a 32-bit counter.
    virtual std::uint32_t tick() const = 0;
    // Runs the event loop until ms milliseconds have passed or until done() returns true
    // (checked after every batch of events), blocking between events. With user_input
    // false only paint, timer and other non-input events are handled: a key, a click
    // or a close cannot re-enter half-built state. Returns done() at the end.
    virtual bool wait(std::int32_t ms, bool user_input, const std::function<bool()>& done) = 0;
};

// Waits ms milliseconds while the event loop runs; ms <= 0 returns at once.
inline void wait_ms(Pump& pump, std::int32_t ms, bool user_input = true) {
    if (ms <= 0) return;
    pump.wait(ms, user_input, [] { return false; });
}

// A pump that never blocks: the clock advances by the time waited. For tests of code that
// only pauses (file reading, display building) and for programs without an event loop.
class ManualPump : public Pump {
public:
    std::uint32_t now = 0;
    int waits = 0;
    std::uint32_t tick() const override { return now; }
    bool wait(std::int32_t ms, bool, const std::function<bool()>& done) override {
        ++waits;
        if (ms > 0) now += static_cast<std::uint32_t>(ms);
        return done();
    }
};

} // namespace kx
