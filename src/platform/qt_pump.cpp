#include "platform/qt_pump.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace kx {

QtPump::QtPump() { clock_.start(); }

std::uint32_t QtPump::tick() const { return static_cast<std::uint32_t>(clock_.elapsed()); }

void QtPump::wake() {
    if (auto* d = QAbstractEventDispatcher::instance(QCoreApplication::instance()
                                                         ? QCoreApplication::instance()->thread()
                                                         : QThread::currentThread()))
        d->wakeUp();
}

bool QtPump::wait(std::int32_t ms, bool user_input, const std::function<bool()>& done) {
    if (done()) return true;
    if (ms <= 0 || !QCoreApplication::instance()) return done();
    QDeadlineTimer deadline(ms);
    QEventLoop::ProcessEventsFlags flags = QEventLoop::WaitForMoreEvents;
    if (!user_input) flags |= QEventLoop::ExcludeUserInputEvents;
    // A timer at the deadline makes sure the blocking wait wakes up in time.
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    timer.start(ms);
    while (!deadline.hasExpired()) {
        // Blocks until at least one event was handled: the timer's, at the latest.
        QCoreApplication::processEvents(flags);
        if (done()) return true;
    }
    return done();
}

} // namespace kx
