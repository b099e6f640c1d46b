#include "platform/qt_pump.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace kx {
namespace {

bool is_user_input(QEvent::Type t) {
    switch (t) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove: return true;
    default: return false;
    }
}

// While it lives, keys, clicks and the other input events that reach any object are held
// back and posted again, in their order, when it ends. The event loop's own exclusion keeps
// the window system's input queued; this also catches input that was already posted. A
// dialog that runs its own event loop meanwhile gets its input.
class InputHold : public QObject {
public:
    InputHold() : depth_(QThread::currentThread()->loopLevel()) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~InputHold() override {
        QCoreApplication::instance()->removeEventFilter(this);
        for (auto& [to, e] : held_) {
            if (to) QCoreApplication::postEvent(to, e);
            else delete e;
        }
    }

protected:
    bool eventFilter(QObject* obj, QEvent* e) override {
        if (!is_user_input(e->type()) || QThread::currentThread()->loopLevel() > depth_) return false;
        held_.emplace_back(QPointer<QObject>(obj), e->clone());
        return true;
    }

private:
    int depth_; // event loops running when the hold began
    std::vector<std::pair<QPointer<QObject>, QEvent*>> held_;
};

} // namespace

QtPump::QtPump() { clock_.start(); }

QtPump::~QtPump() {
    timer_watch_.reset();
    if (timer_fd_ >= 0) ::close(timer_fd_);
}

std::uint32_t QtPump::tick() const { return static_cast<std::uint32_t>(clock_.elapsed()); }

void QtPump::wake() {
    if (auto* d = QAbstractEventDispatcher::instance(
            QCoreApplication::instance() ? QCoreApplication::instance()->thread() : QThread::currentThread()))
        d->wakeUp();
}

bool QtPump::wait(std::int32_t ms, bool user_input, const std::function<bool()>& done) {
    if (done()) return true;
    if (ms <= 0 || !QCoreApplication::instance()) return done();
    QDeadlineTimer deadline(ms);
    QEventLoop::ProcessEventsFlags flags = QEventLoop::WaitForMoreEvents;
    if (!user_input) flags |= QEventLoop::ExcludeUserInputEvents;
    std::optional<InputHold> hold;
    if (!user_input) hold.emplace();
    for (;;) {
        if (deadline.hasExpired()) break;
        arm(deadline);
        // Blocks until at least one event was handled: the deadline's, at the latest.
        QCoreApplication::processEvents(flags);
        if (done()) return true;
    }
    return done();
}

// The wake-up stays armed after a wait and is moved only when a wait needs it earlier: the
// waits of a transfer come a frame apart with the same time-out, and setting a timer for
// each would cost more than the one early wake-up it may later bring. It is a timer file
// descriptor rather than a Qt timer because an armed Qt timer makes every blocking wait
// of the event loop a wait with a time-out, which the kernel sets up and tears down a
// timer for, a round trip on the line at a time.
void QtPump::arm(const QDeadlineTimer& deadline) {
    if (timer_fd_ < 0 && !wake_timer_) {
        timer_fd_ = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
        if (timer_fd_ >= 0) {
            timer_watch_ = std::make_unique<QSocketNotifier>(timer_fd_, QSocketNotifier::Read);
            QObject::connect(timer_watch_.get(), &QSocketNotifier::activated, [this] {
                std::uint64_t expirations = 0;
                (void)!::read(timer_fd_, &expirations, sizeof expirations);
                armed_ = QDeadlineTimer(QDeadlineTimer::Forever);
            });
        } else {
            use_qt_timer();
        }
    }
    if (timer_fd_ >= 0) {
        if (armed_.deadlineNSecs() <= deadline.deadlineNSecs()) return;
        // QDeadlineTimer counts on the monotonic clock too: the deadline is set as it stands.
        const qint64 ns = std::max<qint64>(1, deadline.deadlineNSecs()); // zero would disarm
        itimerspec at{};
        at.it_value.tv_sec = ns / 1000000000;
        at.it_value.tv_nsec = ns % 1000000000;
        if (::timerfd_settime(timer_fd_, TFD_TIMER_ABSTIME, &at, nullptr) == 0) {
            armed_ = deadline;
            return;
        }
        use_qt_timer(); // never block without a wake-up
    }
    const qint64 left = std::max<qint64>(1, deadline.remainingTime());
    if (!wake_timer_->isActive() || wake_timer_->remainingTime() > left)
        wake_timer_->start(static_cast<int>(left));
}

void QtPump::use_qt_timer() {
    timer_watch_.reset();
    if (timer_fd_ >= 0) ::close(timer_fd_);
    timer_fd_ = -1;
    wake_timer_ = std::make_unique<QTimer>();
    wake_timer_->setSingleShot(true);
    wake_timer_->setTimerType(Qt::PreciseTimer);
}

} // namespace kx
