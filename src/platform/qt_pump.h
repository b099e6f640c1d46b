#pragma once
// The event pump over Qt: a monotonic millisecond counter and waits that block on the event
// loop until the deadline or until a condition holds, without spinning.
#include "platform/api/pump.h"
#include "platform/fd_timer.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <memory>

namespace kx {

class QtPump : public Pump {
public:
    QtPump();
    std::uint32_t tick() const override;
    bool wait(std::int32_t ms, bool user_input, const std::function<bool()>& done) override;
    // Wakes a wait so that it checks its condition again (call it when the condition may
    // have become true, e.g. after a received frame).
    static void wake();

private:
    QElapsedTimer clock_;
    // Wakes the event loop at a wait's deadline; made on the first wait, when an event
    // loop exists.
    std::unique_ptr<FdTimer> wake_;
};

} // namespace kx
