#pragma once
// A timer that the event loop watches as a file descriptor. An armed Qt timer turns every
// blocking wait of the event loop into a wait with a time-out, for which the kernel sets up
// and removes a timer of its own each time: during a transfer that is once per frame on
// the line. This one stays in the kernel between its expirations and costs the waits
// nothing. Where no timer descriptor can be made it falls back to a Qt timer.
#include <QDeadlineTimer>
#include <QSocketNotifier>
#include <QTimer>
#include <functional>
#include <memory>

namespace kx {

class FdTimer {
public:
    explicit FdTimer(std::function<void()> on_timeout);
    ~FdTimer();
    FdTimer(const FdTimer&) = delete;
    FdTimer& operator=(const FdTimer&) = delete;

    // Fires once at `when`.
    void start_at(const QDeadlineTimer& when);
    // Fires every `ms` milliseconds from now on.
    void start_every(int ms);
    void stop();
    bool active() const;
    // When a single shot fires; forever when none is pending.
    QDeadlineTimer due() const { return due_; }

private:
    bool set(const QDeadlineTimer& when, int every_ms);
    void use_qt_timer();
    void fired();

    std::function<void()> on_timeout_;
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> watch_;
    std::unique_ptr<QTimer> qt_timer_; // the fallback
    QDeadlineTimer due_{QDeadlineTimer::Forever};
    bool periodic_ = false;
};

} // namespace kx
