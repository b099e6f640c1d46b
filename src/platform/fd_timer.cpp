#include "platform/fd_timer.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

namespace kx {

FdTimer::FdTimer(std::function<void()> on_timeout) : on_timeout_(std::move(on_timeout)) {
    fd_ = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd_ < 0) {
        use_qt_timer();
        return;
    }
    watch_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(watch_.get(), &QSocketNotifier::activated, [this] {
        std::uint64_t expirations = 0;
        if (::read(fd_, &expirations, sizeof expirations) != sizeof expirations) return; // stopped meanwhile
        fired();
    });
}

FdTimer::~FdTimer() {
    watch_.reset();
    if (fd_ >= 0) ::close(fd_);
}

void FdTimer::fired() {
    if (!periodic_) due_ = QDeadlineTimer(QDeadlineTimer::Forever);
    if (on_timeout_) on_timeout_();
}

// Both count on the monotonic clock, so a deadline is handed to the kernel as it stands.
bool FdTimer::set(const QDeadlineTimer& when, int every_ms) {
    itimerspec t{};
    if (!when.isForever()) {
        const std::int64_t ns = std::max<std::int64_t>(1, when.deadlineNSecs()); // zero disarms
        t.it_value.tv_sec = ns / 1000000000;
        t.it_value.tv_nsec = ns % 1000000000;
        t.it_interval.tv_sec = every_ms / 1000;
        t.it_interval.tv_nsec = (every_ms % 1000) * 1000000L;
    }
    return ::timerfd_settime(fd_, TFD_TIMER_ABSTIME, &t, nullptr) == 0;
}

void FdTimer::start_at(const QDeadlineTimer& when) {
    periodic_ = false;
    due_ = when;
    if (fd_ >= 0 && set(when, 0)) return;
    use_qt_timer(); // never leave a wait without its wake-up
    qt_timer_->setSingleShot(true);
    qt_timer_->start(static_cast<int>(std::max<qint64>(1, when.remainingTime())));
}

void FdTimer::start_every(int ms) {
    periodic_ = true;
    due_ = QDeadlineTimer(QDeadlineTimer::Forever);
    if (fd_ >= 0 && set(QDeadlineTimer(ms, Qt::PreciseTimer), ms)) return;
    use_qt_timer();
    qt_timer_->setSingleShot(false);
    qt_timer_->start(ms);
}

void FdTimer::stop() {
    periodic_ = false;
    due_ = QDeadlineTimer(QDeadlineTimer::Forever);
    if (fd_ >= 0) set(QDeadlineTimer(QDeadlineTimer::Forever), 0);
    if (qt_timer_) qt_timer_->stop();
}

bool FdTimer::active() const { return periodic_ || !due_.isForever(); }

void FdTimer::use_qt_timer() {
    if (qt_timer_) return;
    watch_.reset();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    qt_timer_ = std::make_unique<QTimer>();
    qt_timer_->setTimerType(Qt::PreciseTimer);
    QObject::connect(qt_timer_.get(), &QTimer::timeout, [this] { fired(); });
}

} // namespace kx
