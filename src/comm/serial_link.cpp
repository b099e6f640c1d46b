#include "comm/serial_link.h"

#include "core/context.h"
#include "platform/qt_pump.h"
#include "platform/qt_text.h"

#include <poll.h>
#include <unistd.h>

namespace kx {

SerialLink::SerialLink(Ctx& c, QObject* parent) : QObject(parent), c_(c) {
    connect(&port_, &QSerialPort::readyRead, this, &SerialLink::on_ready_read);
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialLink::on_error);
}

SerialLink::~SerialLink() {
    if (port_.isOpen()) port_.close();
}

bool SerialLink::port_open() const { return port_.isOpen(); }

void SerialLink::fail(int number, const QString& what) { throw TransferError(number, bytes(what)); }

void SerialLink::open() {
    const int n = c_.p.com_port;
    if (n < 1 || n > 8) fail(kErrPortNotFound, QStringLiteral("Invalid port number COM%1").arg(n));
    const QString device = qpath(com_port_device(c_.settings, n));
    device_ = device;
    pending_.reset();
    port_.setPortName(device);
    port_.setBaudRate(QSerialPort::Baud9600);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!port_.open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError e = port_.error();
        const QString what = port_.errorString() + QStringLiteral(" (") + device + QStringLiteral(")");
        port_.clearError();
        pending_.reset();
        fail(e == QSerialPort::DeviceNotFoundError ? kErrPortNotFound
             : e == QSerialPort::PermissionError   ? kErrPortInUse
                                                   : kErrPortFailed,
             what);
    }
    // Whatever the line delivered before this transfer is no answer to it.
    port_.clear(QSerialPort::AllDirections);
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
    pending_.reset();
    c_.p.port_idle = true;
}

bool SerialLink::hung_up() {
    if (!port_.isOpen()) return false;
    pollfd fd{static_cast<int>(port_.handle()), 0, 0};
    return ::poll(&fd, 1, 0) > 0 && (fd.revents & (POLLHUP | POLLNVAL));
}

void SerialLink::on_ready_read() {
    // Runs inside the wait's own event processing, which looks at rx_done as soon as this
    // returns: no wake-up is needed (it would cost two system calls a frame).
    // The port has read the line into its buffer already; taking it out through a buffer on
    // the stack saves a heap block a frame.
    char buf[512];
    for (qint64 n; (n = port_.read(buf, sizeof buf)) > 0;)
        receive_bytes(c_.p, std::string_view(buf, static_cast<size_t>(n)));
}

void SerialLink::on_error(QSerialPort::SerialPortError error) {
    switch (error) {
    case QSerialPort::NoError: return;
    case QSerialPort::ReadError:
    case QSerialPort::UnknownError:
        if (hung_up()) {
            // The device went away (the other end of a pseudo-terminal closed, an adapter was
            // pulled): every further read fails at once, so waiting on would only spin until
            // the time-out. The port cannot go on: a run-time error.
            if (!pending_)
                pending_ = TransferError(kErrPortFailed, "Device disconnected (" + bytes(device_) + ")");
            break;
        }
        // A fault on the line: the transfer ends at the next complete frame or time-out.
        c_.p.comm_error = -1;
        break;
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
