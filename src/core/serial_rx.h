#pragma once
// The serial line's model side: the receive rule that assembles the terminal's frames, the
// bytes of a frame, the wait for a reply, the port-busy check and the device that a COM
// port number stands for. No port here: the Qt link feeds the received characters in.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace kx {

struct Ctx;
struct Project;
class SettingsStore;

constexpr char kStx = 0x02;
constexpr char kEtx = 0x03;

// How long a sender waits for the terminal's answer.
constexpr int kReplyTimeoutMs = 10000;

// One received character: STX clears rx_buffer and opens a frame, ETX closes it and sets
// rx_done (the buffer keeps the text), anything else inside a frame is appended. Bytes
// between an ETX and the next STX belong to no frame and are dropped.
void receive_char(Project& p, char ch);
// Every character of `bytes` in turn, as the port delivers them.
void receive_bytes(Project& p, std::string_view bytes);

// The line's bytes as the kernel delivers them when it marks line faults (termios PARMRK
// with INPCK): a byte 0xFF of the line arrives doubled, a character with a framing or parity
// error as 0xFF 0x00 and the character, a break as 0xFF 0x00 0x00. The receiver undoes the
// marking, also of a sequence split between two reads, and hands the bytes to the receive
// rule; a marked fault sets comm_error, and the character it damaged goes on to the rule as
// it came.
class MarkedReceiver {
public:
    enum class Fault : std::uint8_t { None, Damaged, Break };
    void take(Project& p, std::string_view bytes);
    // The first fault marked since the last call; forgets it.
    Fault take_fault() { return std::exchange(fault_, Fault::None); }
    // A new transfer: no sequence half read, no fault.
    void reset() {
        state_ = State::Plain;
        fault_ = Fault::None;
    }

private:
    enum class State : std::uint8_t { Plain, Mark, Marked } state_ = State::Plain;
    Fault fault_ = Fault::None;
};

// The bytes on the line for a frame text: STX, the text, ETX.
std::string frame_bytes(const std::string& text);

// Waits for the next complete frame or the time-out: clears rx_done and comm_error, then
// lets the event loop run until rx_done is set, `abort` (when given) answers true, or
// timeout_ms have passed. A time-out beeps, sets the pointer back, shows message 10074 and
// sets comm_error; a line error met during the wait leaves comm_error set.
void wait_reply(Ctx& c, int timeout_ms = kReplyTimeoutMs, const std::function<bool()>& abort = {});

// True, after a beep and message 10170, when the port is already held by a transfer.
bool check_port_open(Ctx& c, bool port_open);

// The device of port COM<n>: the setting "Settaggi" / "COM<n>Device" when present, else
// "/dev/ttyS" followed by n - 1.
std::string com_port_device(const SettingsStore& settings, int n);

} // namespace kx
