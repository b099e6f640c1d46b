#pragma once
// The event pump over Qt: a monotonic millisecond counter and waits that block on the event
// loop until the deadline or until a condition holds, without spinning.
#include "platform/api/pump.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>
#include <memory>

namespace kx {

class QtPump : public Pump {
public:
    QtPump();
    ~QtPump() override;
    QtPump(const QtPump&) = delete;
    QtPump& operator=(const QtPump&) = delete;
    std::uint32_t tick() const override;
    bool wait(std::int32_t ms, bool user_input, const std::function<bool()>& done) override;
    // Wakes a wait so that it checks its condition again (call it when the condition may
    // have become true, e.g. after a received frame).
    static void wake();

private:
    // Makes sure the event loop wakes up no later than `deadline`.
    void arm(const QDeadlineTimer& deadline);
    void use_qt_timer();

    QElapsedTimer clock_;
    // The wake-up at a wait's deadline: a timer file descriptor watched by the event loop,
    // made on the first wait (when an event loop exists). A Qt timer is the fallback.
    int timer_fd_ = -1;
    std::unique_ptr<QSocketNotifier> timer_watch_;
    QDeadlineTimer armed_{QDeadlineTimer::Forever}; // when the timer descriptor fires
    std::unique_ptr<QTimer> wake_timer_;
};

} // namespace kx
