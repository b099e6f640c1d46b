// The receive rule, the wait for a reply and the devices of the COM ports. Whole transfers
// over a port are checked against the simulator in tests/comm/test_transfer_e2e.cpp.
#include <gtest/gtest.h>

#include <utility>

#include "core/context.h"
#include "core/serial_rx.h"
#include "platform/api/scripted_prompt.h"

using namespace kx;

namespace {

// An event loop whose line brings `bytes` at the next wait, after a line error if asked.
struct LinePump : ManualPump {
    explicit LinePump(Project& p) : p_(p) {}
    std::string bytes;
    bool line_error = false;
    bool wait(std::int32_t ms, bool input, const std::function<bool()>& done) override {
        if (line_error) p_.comm_error = -1;
        receive_bytes(p_, std::exchange(bytes, {}));
        return done() || ManualPump::wait(ms, input, done);
    }
    Project& p_;
};

struct Fixture {
    Project p;
    ScriptedPrompt prompt;
    MemorySettings settings;
    LinePump pump{p};
    Ctx c{p, prompt, settings, pump};
};

std::string rx(std::string_view bytes, bool* done = nullptr) {
    Project p;
    receive_bytes(p, bytes);
    if (done) *done = p.rx_done;
    return p.rx_buffer;
}

} // namespace

TEST(ReceiveRule, AssemblesFramesCharacterByCharacter) {
    bool done = false;
    EXPECT_EQ(rx("\x02"
                 "12\x03",
                 &done),
              "12");
    EXPECT_TRUE(done);
    // A second STX starts the frame afresh.
    EXPECT_EQ(rx("\x02"
                 "ab\x02"
                 "cd\x03",
                 &done),
              "cd");
    // ETX keeps the buffer; what follows it belongs to no frame, nor does a stray ETX.
    EXPECT_EQ(rx("\x02"
                 "ab\x03xy",
                 &done),
              "ab");
    EXPECT_TRUE(done);
    EXPECT_EQ(rx("xy\x03", &done), "");
    EXPECT_FALSE(done);
    EXPECT_EQ(rx("\x02"
                 "ab\x03 JUNK\x03\x02"
                 "cd",
                 &done),
              "cd");
    EXPECT_EQ(rx("\x02"
                 "ab",
                 &done),
              "ab");
    EXPECT_FALSE(done);
    // Page rows carry bytes above 127 and control codes other than STX and ETX.
    EXPECT_EQ(rx("\x02\xff\x11\x10\x1e\x1f\x03"), "\xff\x11\x10\x1e\x1f");
}

// Time-outs and late answers are checked against the simulator.
TEST(WaitReply, ReturnsOnTheFrameAndClearsTheFlagsALineErrorStaysWithoutMessage) {
    Fixture f;
    f.p.comm_error = -1;
    f.p.rx_done = true; // left over from the previous frame
    f.pump.bytes = "\x02"
                   "OK\x03";
    wait_reply(f.c);
    EXPECT_TRUE(f.p.rx_done);
    EXPECT_EQ(f.p.comm_error, 0);
    EXPECT_EQ(f.p.rx_buffer, "OK");
    // Noise that comes with the ETX in one read does not reach the frame's text.
    f.pump.bytes = "\x02"
                   "Italiano \x03JUNK";
    wait_reply(f.c);
    EXPECT_EQ(f.p.rx_buffer, "Italiano ");

    f.pump.line_error = true;
    f.pump.bytes = "\x02"
                   "ab\x03";
    wait_reply(f.c);
    EXPECT_TRUE(f.p.rx_done);
    EXPECT_NE(f.p.comm_error, 0);
    EXPECT_TRUE(f.prompt.messages.empty());
}

TEST(PortRules, ComPortDevices) {
    MemorySettings s;
    EXPECT_EQ(com_port_device(s, 1), "/dev/ttyS0");
    EXPECT_EQ(com_port_device(s, 8), "/dev/ttyS7");
    s.save("Settaggi", "COM3Device", "/dev/ttyUSB0");
    EXPECT_EQ(com_port_device(s, 3), "/dev/ttyUSB0");
    EXPECT_EQ(com_port_device(s, 1), "/dev/ttyS0");
}
