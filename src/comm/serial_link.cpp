#include "comm/serial_link.h"

#include "core/context.h"
#include "core/text.h"
#include "platform/qt_pump.h"
#include "platform/qt_text.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace kx {
namespace {

// The characters the port lost (its overrun counts), or -1 when the device keeps no counts.
long long lost_count(int fd) {
    serial_icounter_struct ic{};
    if (::ioctl(fd, TIOCGICOUNT, &ic) != 0) return -1;
    return static_cast<long long>(ic.overrun) + ic.buf_overrun;
}

} // namespace

SerialLink::SerialLink(Ctx& c, QObject* parent) : QObject(parent), c_(c) {
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialLink::on_error);
}

SerialLink::~SerialLink() {
    close_reader();
    if (port_.isOpen()) port_.close();
}

void SerialLink::close_reader() {
    rx_watch_.reset();
    if (rx_fd_ >= 0) ::close(rx_fd_);
    rx_fd_ = -1;
}

bool SerialLink::port_open() const { return port_.isOpen(); }

void SerialLink::fail(int number, const QString& what) { throw TransferError(number, bytes(what)); }

void SerialLink::open() {
    const int n = c_.p.com_port;
    if (n < 1 || n > 8) fail(kErrPortNotFound, QStringLiteral("Invalid port number COM%1").arg(n));
    const QString device = qpath(com_port_device(c_.settings, n));
    if (port_.isOpen())
        fail(kErrPortFailed, QStringLiteral("Port already open (") + device_ + QStringLiteral(")"));
    device_ = device;
    pending_.reset();
    // The reading descriptor first: once open, the port takes the line for itself.
    rx_fd_ = ::open(QFile::encodeName(device).constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (rx_fd_ < 0) {
        const int e = errno;
        fail(e == ENOENT || e == ENODEV || e == ENXIO  ? kErrPortNotFound
             : e == EACCES || e == EBUSY || e == EPERM ? kErrPortInUse
                                                       : kErrPortFailed,
             QString::fromLocal8Bit(std::strerror(e)) + QStringLiteral(" (") + device + QStringLiteral(")"));
    }
    port_.setPortName(device);
    port_.setBaudRate(QSerialPort::Baud9600);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!port_.open(QIODevice::WriteOnly)) {
        const QSerialPort::SerialPortError e = port_.error();
        const QString what = port_.errorString() + QStringLiteral(" (") + device + QStringLiteral(")");
        port_.clearError();
        pending_.reset();
        close_reader();
        fail(e == QSerialPort::DeviceNotFoundError ? kErrPortNotFound
             : e == QSerialPort::PermissionError   ? kErrPortInUse
                                                   : kErrPortFailed,
             what);
    }
    mark_line_faults();
    // Whatever the line delivered before this transfer is no answer to it.
    port_.clear(QSerialPort::AllDirections);
    rx_.reset();
    read_errno_ = 0;
    overruns_ = lost_count(rx_fd_);
    rx_watch_ = std::make_unique<QSocketNotifier>(rx_fd_, QSocketNotifier::Read);
    connect(rx_watch_.get(), &QSocketNotifier::activated, this, &SerialLink::on_readable);
    c_.p.port_idle = false;
    c_.p.rx_in_frame = false;
}

void SerialLink::mark_line_faults() {
    // The port's set-up drops characters with a framing or parity error (IGNPAR): have
    // them, and breaks, marked in what the line delivers instead. A received 0xFF then
    // arrives doubled, so the marks are undone only when the device took the setting.
    marked_ = false;
    termios t{};
    if (::tcgetattr(rx_fd_, &t) != 0) return;
    t.c_iflag &= ~(IGNPAR | IGNBRK | BRKINT | ISTRIP);
    t.c_iflag |= PARMRK | INPCK;
    ::tcsetattr(rx_fd_, TCSANOW, &t);
    marked_ = ::tcgetattr(rx_fd_, &t) == 0 && (t.c_iflag & PARMRK) && (t.c_iflag & INPCK) &&
              !(t.c_iflag & (IGNPAR | ISTRIP));
}

void SerialLink::send_frame(const std::string& text) {
    if (pending_) {
        TransferError e = *pending_;
        pending_.reset();
        throw e;
    }
    const std::string s = frame_bytes(text);
    // A frame goes to the device at once when nothing waits before it: the port's own
    // buffer would write it only at the next turn of the event loop, and switch its write
    // notifier on and off again for every frame. What the device does not take at once
    // (and any error) goes the port's way.
    std::size_t done = 0;
    if (port_.isOpen() && port_.bytesToWrite() == 0) {
        const ssize_t n = ::write(static_cast<int>(port_.handle()), s.data(), s.size());
        if (n > 0) done = static_cast<std::size_t>(n);
    }
    if (done == s.size()) return;
    const qint64 rest = static_cast<qint64>(s.size() - done);
    if (!port_.isOpen() || port_.write(s.data() + done, rest) != rest)
        fail(kErrPortFailed, QStringLiteral("Write error: ") + port_.errorString() + QStringLiteral(" (") +
                                 device_ + QStringLiteral(")"));
}

void SerialLink::wait_reply() {
    rx_.take_fault(); // a fault between two waits is wiped, as comm_error is
    kx::wait_reply(c_, timeout_ms_, [this] { return pending_.has_value() || read_errno_ != 0; });
    if (pending_) {
        TransferError e = *pending_;
        pending_.reset();
        throw e;
    }
    const std::string fault = line_fault();
    if (fault.empty()) return;
    // The transfer ends as after any line error, and says why rather than ending silently.
    c_.p.comm_error = -1;
    report_error(c_, kErrLineError, "Line error: " + fault + " (" + bytes(device_) + ")");
}

std::string SerialLink::line_fault() {
    if (read_errno_)
        return "the line cannot be read, " + bytes(QString::fromLocal8Bit(std::strerror(read_errno_)));
    const MarkedReceiver::Fault marked = rx_.take_fault();
    if (!c_.p.rx_done) return ""; // a time-out, which said so itself
    switch (marked) {
    case MarkedReceiver::Fault::Damaged: return "framing or parity error";
    case MarkedReceiver::Fault::Break: return "break";
    case MarkedReceiver::Fault::None: break;
    }
    return overrun_counted() ? "characters lost (overrun)" : "";
}

bool SerialLink::overrun_counted() {
    if (overruns_ < 0) return false;
    const long long before = overruns_;
    overruns_ = lost_count(rx_fd_);
    return overruns_ > before;
}

void SerialLink::release() {
    if (port_.isOpen()) {
        // Writing is asynchronous: let the last frames (an acknowledgement) reach the line
        // before the port closes.
        port_.flush();
        c_.pump.wait(1000, false, [this] { return port_.bytesToWrite() == 0 || !port_.isOpen(); });
        port_.close();
    }
    close_reader();
    pending_.reset();
    c_.p.port_idle = true;
}

bool SerialLink::hung_up() {
    if (rx_fd_ < 0) return false;
    pollfd fd{rx_fd_, 0, 0};
    return ::poll(&fd, 1, 0) > 0 && (fd.revents & (POLLHUP | POLLNVAL));
}

void SerialLink::on_readable() {
    // Runs inside the wait's own event processing, which looks at rx_done as soon as this
    // returns: no wake-up is needed.
    char buf[512];
    const ssize_t n = ::read(rx_fd_, buf, sizeof buf);
    if (n > 0) {
        const std::string_view got(buf, static_cast<size_t>(n));
        if (marked_) rx_.take(c_.p, got);
        else receive_bytes(c_.p, got);
        return;
    }
    const int e = errno;
    const bool gone = hung_up();
    if (n == 0 && !gone) return;                               // nothing there after all
    if (n < 0 && !gone && (e == EAGAIN || e == EINTR)) return; // nothing yet
    // The line stays readable after a failure: stop watching it, or the event loop would
    // spin until the time-out.
    rx_watch_->setEnabled(false);
    if (gone) {
        // The device went away (the other end of a pseudo-terminal closed, an adapter was
        // pulled): the port cannot go on, a run-time error.
        if (!pending_)
            pending_ = TransferError(kErrPortFailed, "Device disconnected (" + bytes(device_) + ")");
    } else {
        // A read fault: the terminal can no longer be heard, the wait ends at once.
        read_errno_ = e;
    }
    QtPump::wake();
}

void SerialLink::on_error(QSerialPort::SerialPortError error) {
    switch (error) {
    case QSerialPort::NoError: return;
    case QSerialPort::WriteError:
    case QSerialPort::ResourceError:
        // The port cannot go on (a write failed, the device went away): a run-time error.
        if (port_.isOpen() && !pending_)
            pending_ = TransferError(kErrPortFailed, bytes(port_.errorString() + QStringLiteral(" (") +
                                                           device_ + QStringLiteral(")")));
        break;
    default:
        // Open failures are reported by open(); the rest concerns calls this link never makes.
        return;
    }
    port_.clearError();
    QtPump::wake();
}

} // namespace kx
