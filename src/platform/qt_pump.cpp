#include "platform/qt_pump.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QThread>

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

std::uint32_t QtPump::tick() const { return static_cast<std::uint32_t>(clock_.elapsed()); }

void QtPump::use_qt_dispatcher() {
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB")) qputenv("QT_NO_GLIB", "1");
}

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
        // The wake-up stays set after a wait and moves only when a wait needs it earlier:
        // the waits of a transfer come a frame apart with the same time-out, and setting
        // it for each would cost more than the one early wake-up it may later bring.
        if (!wake_) wake_ = std::make_unique<FdTimer>(nullptr);
        if (wake_->due() > deadline) wake_->start_at(deadline);
        // Blocks until at least one event was handled: the deadline's, at the latest.
        QCoreApplication::processEvents(flags);
        if (done()) return true;
    }
    return done();
}

} // namespace kx
