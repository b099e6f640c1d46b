#include "core/serial_rx.h"

#include "core/context.h"

namespace kx {

void receive_char(Project& p, char ch) {
    if (ch == kStx) {
        p.rx_buffer.clear();
        p.rx_in_frame = true;
    } else if (ch == kEtx) {
        // An ETX outside a frame ends nothing: no frame arrived.
        if (p.rx_in_frame) p.rx_done = true;
        p.rx_in_frame = false;
    } else if (p.rx_in_frame) {
        p.rx_buffer += ch;
    }
    // Anything else came between frames (line noise) and belongs to none.
}

void receive_bytes(Project& p, std::string_view bytes) {
    for (char ch : bytes) receive_char(p, ch);
}

void MarkedReceiver::take(Project& p, std::string_view bytes) {
    constexpr char kMark = '\xff';
    while (!bytes.empty()) {
        if (state_ == State::Plain) {
            // Most reads hold no mark at all: they go to the rule in one piece.
            const size_t mark = bytes.find(kMark);
            receive_bytes(p, bytes.substr(0, mark));
            if (mark == std::string_view::npos) return;
            bytes.remove_prefix(mark + 1);
            state_ = State::Mark;
            continue;
        }
        const char ch = bytes.front();
        bytes.remove_prefix(1);
        if (state_ == State::Mark && ch == 0) {
            state_ = State::Marked;
            continue;
        }
        if (state_ == State::Mark) {
            // 0xFF 0xFF is one data byte 0xFF; any other pair is no mark of the kernel's and
            // goes on as it came.
            receive_char(p, kMark);
            if (ch != kMark) receive_char(p, ch);
        } else {
            if (fault_ == Fault::None) fault_ = ch == 0 ? Fault::Break : Fault::Damaged;
            p.comm_error = -1;
            receive_char(p, ch);
        }
        state_ = State::Plain;
    }
}

std::string frame_bytes(const std::string& text) {
    std::string s;
    s.reserve(text.size() + 2);
    s += kStx;
    s += text;
    s += kEtx;
    return s;
}

void wait_reply(Ctx& c, int timeout_ms, const std::function<bool()>& abort) {
    Project& p = c.p;
    // The deadline is kept as a difference of ticks, so a wrapping counter does no harm.
    const std::uint32_t start = c.pump.tick();
    p.rx_done = false;
    p.comm_error = 0;
    auto done = [&] { return p.rx_done || (abort && abort()); };
    while (!done()) {
        const std::int64_t left = static_cast<std::int64_t>(timeout_ms) - (c.pump.tick() - start);
        if (left <= 0) break;
        c.pump.wait(static_cast<std::int32_t>(left), true, done);
    }
    if (done()) return;
    c.beep();
    c.prompt.busy(false);
    c.prompt.message(c.txt(10074), kOkOnly);
    p.comm_error = -1;
}

bool check_port_open(Ctx& c, bool port_open) {
    if (!port_open) return false;
    c.beep();
    c.prompt.message(c.txt(10170), kOkOnly);
    return true;
}

std::string com_port_device(const SettingsStore& settings, int n) {
    std::string dev = settings.get("Settaggi", "COM" + std::to_string(n) + "Device");
    if (!dev.empty()) return dev;
    return "/dev/ttyS" + std::to_string(n - 1);
}

} // namespace kx
