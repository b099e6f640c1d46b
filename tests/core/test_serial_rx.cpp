// The receive rule, the wait for a reply and the devices of the COM ports. Whole transfers
// over a port are checked against the simulator in tests/comm/test_transfer_e2e.cpp.
#include <gtest/gtest.h>

#include <map>

#include "core/context.h"
#include "core/serial_rx.h"
#include "platform/api/scripted_prompt.h"

using namespace kx;

namespace {

// An event loop whose line delivers bytes at given times.
class TimedLinePump : public Pump {
public:
    explicit TimedLinePump(Project& p) : p_(p) {}
    std::multimap<std::uint32_t, std::string> arrivals;
    std::uint32_t now = 0;
    std::uint32_t line_error_at = UINT32_MAX;   // the port reports a line error then
    std::uint32_t tick() const override { return now; }
    bool wait(std::int32_t ms, bool, const std::function<bool()>& done) override {
        const std::uint32_t until = now + static_cast<std::uint32_t>(ms);
        if (line_error_at >= now && line_error_at < until) p_.comm_error = -1;
        while (!arrivals.empty() && arrivals.begin()->first < until) {
            now = std::max(now, arrivals.begin()->first);
            receive_bytes(p_, arrivals.begin()->second);
            arrivals.erase(arrivals.begin());
            if (done()) return true;
        }
        now = until;
        return done();
    }

private:
    Project& p_;
};

struct Fixture {
    Project p;
    ScriptedPrompt prompt;
    MemorySettings settings;
    TimedLinePump pump{p};
    Ctx c{p, prompt, settings, pump};
};

std::string rx(std::string_view bytes, bool* done = nullptr) {
    Project p;
    receive_bytes(p, bytes);
    if (done) *done = p.rx_done;
    return p.rx_buffer;
}

}  // namespace

TEST(ReceiveRule, AssemblesFramesCharacterByCharacter) {
    bool done = false;
    EXPECT_EQ(rx("\x02" "12\x03", &done), "12");
    EXPECT_TRUE(done);
    // A second STX starts the frame afresh.
    EXPECT_EQ(rx("\x02" "ab\x02" "cd\x03", &done), "cd");
    // ETX keeps the buffer; what follows it is appended until the next STX.
    EXPECT_EQ(rx("\x02" "ab\x03xy", &done), "abxy");
    EXPECT_TRUE(done);
    EXPECT_EQ(rx("\x02" "ab", &done), "ab");
    EXPECT_FALSE(done);
    // Page rows carry bytes above 127 and control codes other than STX and ETX.
    EXPECT_EQ(rx("\x02\xff\x11\x10\x1e\x1f\x03"), "\xff\x11\x10\x1e\x1f");
}

TEST(WaitReply, ReturnsOnTheFrameAndClearsTheFlagsALineErrorStaysWithoutMessage) {
    Fixture f;
    f.p.comm_error = -1;
    f.p.rx_done = true;   // left over from the previous frame
    f.pump.arrivals.emplace(9990, "\x02" "OK\x03");
    wait_reply(f.c);
    EXPECT_TRUE(f.p.rx_done);
    EXPECT_EQ(f.p.comm_error, 0);
    EXPECT_EQ(f.p.rx_buffer, "OK");

    f.pump.line_error_at = f.pump.now + 3;
    f.pump.arrivals.emplace(f.pump.now + 5, "\x02" "ab\x03");
    wait_reply(f.c);
    EXPECT_TRUE(f.p.rx_done);
    EXPECT_NE(f.p.comm_error, 0);
    EXPECT_TRUE(f.prompt.messages.empty());
}

TEST(WaitReply, LateFrameIsATimeOut) {
    Fixture f;
    f.prompt.busy(true);
    f.pump.arrivals.emplace(100, "\x02" "par");
    f.pump.arrivals.emplace(10000, "tial\x03");   // ETX at the deadline
    wait_reply(f.c);
    EXPECT_NE(f.p.comm_error, 0);
    EXPECT_FALSE(f.p.rx_done);
    ASSERT_EQ(f.prompt.messages.size(), 1u);
    EXPECT_EQ(f.prompt.messages[0].text, "Errore Seriale: time-out");
    EXPECT_EQ(f.prompt.messages[0].buttons, kOkOnly);
    EXPECT_EQ(f.prompt.beeps, 1);
    EXPECT_EQ(f.prompt.busy_depth, 0);   // the hourglass goes
    EXPECT_GE(f.pump.now, 10000u);
}

TEST(PortRules, ComPortDevices) {
    MemorySettings s;
    EXPECT_EQ(com_port_device(s, 1), "/dev/ttyS0");
    EXPECT_EQ(com_port_device(s, 8), "/dev/ttyS7");
    s.save("Settaggi", "COM3Device", "/dev/ttyUSB0");
    EXPECT_EQ(com_port_device(s, 3), "/dev/ttyUSB0");
    EXPECT_EQ(com_port_device(s, 1), "/dev/ttyS0");
}
