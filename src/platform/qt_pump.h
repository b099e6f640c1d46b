#pragma once
// The event pump over Qt: a monotonic millisecond counter and waits that block on the event
// loop until the deadline or until a condition holds, without spinning.
#include "platform/api/pump.h"
#include "platform/fd_timer.h"

#include <QElapsedTimer>
#include <memory>

namespace kx {

class QtPump : public Pump {
public:
    QtPump();
    std::uint32_t tick() const override;
    bool wait(std::int32_t ms, bool user_input, const std::function<bool()>& done) override;
    // Call before the application object is made: the event loop then runs on Qt's own
    // dispatcher rather than on GLib's main loop, whose bookkeeping costs every turn of the
    // loop a few microseconds more, a tenth of a round trip on the line during a transfer.
    // (GTK's file dialogs run a loop of their own and work either way.) A QT_NO_GLIB the
    // user has set, even empty, is kept.
    static void use_qt_dispatcher();
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
