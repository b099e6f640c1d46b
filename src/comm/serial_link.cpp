#include "comm/serial_link.h"

#include "core/context.h"
#include "platform/qt_pump.h"
#include "platform/qt_text.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace kx {

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
    // Whatever the line delivered before this transfer is no answer to it.
    port_.clear(QSerialPort::AllDirections);
    rx_watch_ = std::make_unique<QSocketNotifier>(rx_fd_, QSocketNotifier::Read);
    connect(rx_watch_.get(), &QSocketNotifier::activated, this, &SerialLink::on_readable);
    c_.p.port_idle = false;
    c_.p.rx_in_frame = false;
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
    kx::wait_reply(c_, timeout_ms_, [this] { return pending_.has_value(); });
    if (pending_) {
        TransferError e = *pending_;
        pending_.reset();
        throw e;
    }
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
        receive_bytes(c_.p, std::string_view(buf, static_cast<size_t>(n)));
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
        // A fault on the line: the transfer ends at the time-out.
        c_.p.comm_error = -1;
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
