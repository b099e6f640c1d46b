#pragma once
// The one serial port of the application, shared by every transfer: opening it at
// "9600,n,8,1" on the device of the chosen COM port, writing frames, the receive handler
// that feeds each character to the receive rule, the wait for a reply and the release.
// Everything runs on the GUI thread; reading is driven by the event loop's notice that the
// line has bytes, never by blocking.
#include "core/serial_rx.h"
#include "core/transfer.h"

#include <QObject>
#include <QSerialPort>
#include <QSocketNotifier>
#include <memory>
#include <optional>

namespace kx {

struct Ctx;

// Error numbers of the port itself, as report_error shows them.
constexpr int kErrPortNotFound = 8002; // no such device
constexpr int kErrPortInUse = 8005;    // taken by another program, or no permission
constexpr int kErrPortFailed = 8010;   // any other failure to open or to write
constexpr int kErrLineError = 8020;    // characters damaged or lost on the line, or a read failure

class SerialLink : public QObject, public LinkPort {
    Q_OBJECT
public:
    explicit SerialLink(Ctx& c, QObject* parent = nullptr);
    ~SerialLink() override;

    bool port_open() const override;
    void open() override;
    void send_frame(const std::string& text) override;
    void wait_reply() override;
    void release() override;

    // The reply time-out: 10000 ms; only tests shorten it.
    void set_reply_timeout_ms(int ms) { timeout_ms_ = ms; }
    int reply_timeout_ms() const { return timeout_ms_; }

private:
    void on_readable();
    void close_reader();
    void on_error(QSerialPort::SerialPortError error);
    [[noreturn]] void fail(int number, const QString& what);
    // True when the device hung up: the other end of the line is gone for good.
    bool hung_up();
    // Asks the kernel to mark characters damaged on the line in what it delivers.
    void mark_line_faults();
    // What went wrong on the line during the last wait, "" when nothing did.
    std::string line_fault();
    // True when the port counted characters lost since the last look (overruns).
    bool overrun_counted();

    Ctx& c_;
    QSerialPort port_; // opened for writing: sets up the line, locks it and writes
    // The line is read through a descriptor of its own, opened just before the port: the
    // port's buffered reading costs every frame a ring-buffer block and two signals, a few
    // percent of a transfer's pace.
    int rx_fd_ = -1;
    std::unique_ptr<QSocketNotifier> rx_watch_;
    MarkedReceiver rx_;
    bool marked_ = false; // the device marks line faults (and doubles a received 0xFF)
    int read_errno_ = 0;  // a read of the line failed: the transfer ends at once
    // The port's count of lost characters; -1 when the device keeps none (a pseudo-terminal).
    long long overruns_ = -1;
    int timeout_ms_ = kReplyTimeoutMs;
    std::optional<TransferError> pending_; // a write failure met while the event loop ran
    QString device_;                       // the device path of the port, as messages name it
};

} // namespace kx
