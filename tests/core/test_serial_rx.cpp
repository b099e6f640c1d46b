// The receive rule, the wait for a reply and the devices of the COM ports. Whole transfers
// over a port are checked against the simulator in tests/comm/test_transfer_e2e.cpp.
#include <gtest/gtest.h>

#include <optional>
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

// The bytes of `text` with '<' for STX and '>' for ETX.
std::string line(std::string text) {
    for (char& ch : text) ch = ch == '<' ? kStx : ch == '>' ? kEtx : ch;
    return text;
}

} // namespace

TEST(ReceiveRule, AssemblesFramesCharacterByCharacter) {
    const struct {
        const char* bytes;
        const char* frame;
        std::optional<bool> done; // nothing: the flag is the caller's to clear
    } cases[] = {
        {"<12>", "12", true},
        {"<ab<cd>", "cd", true}, // a second STX starts the frame afresh
        {"<ab>xy", "ab", true},  // what follows the ETX belongs to no frame,
        {"xy>", "", false},      // nor does a stray ETX
        {"<ab> JUNK><cd", "cd", std::nullopt},
        {"<ab", "ab", false},
        {"<\xff\x11\x10\x1e\x1f>", "\xff\x11\x10\x1e\x1f", true}, // row bytes above 127 and controls
    };
    for (const auto& k : cases) {
        Project p;
        receive_bytes(p, line(k.bytes));
        EXPECT_EQ(p.rx_buffer, k.frame) << k.bytes;
        if (k.done) {
            EXPECT_EQ(p.rx_done, *k.done) << k.bytes;
        }
    }
}

// Time-outs and late answers are checked against the simulator.
TEST(WaitReply, ReturnsOnTheFrameAndClearsTheFlagsALineErrorStaysWithoutMessage) {
    Fixture f;
    f.p.comm_error = -1;
    f.p.rx_done = true; // left over from the previous frame
    f.pump.bytes = line("<OK>");
    wait_reply(f.c);
    EXPECT_TRUE(f.p.rx_done);
    EXPECT_EQ(f.p.comm_error, 0);
    EXPECT_EQ(f.p.rx_buffer, "OK");
    // Noise that comes with the ETX in one read does not reach the frame's text.
    f.pump.bytes = line("<Italiano >JUNK");
    wait_reply(f.c);
    EXPECT_EQ(f.p.rx_buffer, "Italiano ");

    f.pump.line_error = true;
    f.pump.bytes = line("<ab>");
    wait_reply(f.c);
    EXPECT_TRUE(f.p.rx_done);
    EXPECT_NE(f.p.comm_error, 0);
    EXPECT_TRUE(f.prompt.messages.empty());
}

// The line as the kernel marks it: a received 0xFF doubled, a damaged character behind
// 0xFF 0x00, a break as 0xFF 0x00 0x00. Each case is fed whole and cut at every point.
TEST(MarkedReceiver, UndoesTheKernelsMarksAcrossReadsAndFlagsMarkedFaults) {
    using namespace std::string_literals;
    using Fault = MarkedReceiver::Fault;
    const struct {
        std::string bytes, frame;
        Fault fault;
    } cases[] = {
        {"<12>", "12", Fault::None},
        {"<A\377\377\377\377B>", "A\377\377B", Fault::None}, // variable cells of an upload row
        {"<1\377\0Q2>"s, "1Q2", Fault::Damaged},
        {"<1\377\0\0002>"s, "1\0002"s, Fault::Break},
        {"<ab\377\0>"s, "ab", Fault::Damaged},         // a damaged ETX still ends the frame
        {"<a\377\0\377b>"s, "a\377b", Fault::Damaged}, // a damaged 0xFF is no doubled one
        {"\377\0U<ok>"s, "ok", Fault::Damaged},        // a mark before the frame ends it too
        {"<\377A>", "\377A", Fault::None},             // bytes the kernel never makes
        {"<\377>", "\377", Fault::None},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::string bytes = line(cases[i].bytes);
        for (size_t cut = 0; cut <= bytes.size(); ++cut) {
            Project p;
            MarkedReceiver rx;
            rx.take(p, std::string_view(bytes).substr(0, cut));
            rx.take(p, std::string_view(bytes).substr(cut));
            const std::string where = "case " + std::to_string(i) + " cut at " + std::to_string(cut);
            EXPECT_EQ(p.rx_buffer, cases[i].frame) << where;
            EXPECT_TRUE(p.rx_done) << where;
            EXPECT_EQ(p.comm_error != 0, cases[i].fault != Fault::None) << where;
            EXPECT_EQ(rx.take_fault(), cases[i].fault) << where;
            EXPECT_EQ(rx.take_fault(), Fault::None) << where;
        }
    }
    // A mark left half read by one transfer does not reach into the next.
    Project p;
    MarkedReceiver rx;
    rx.take(p, "\377");
    rx.reset();
    rx.take(p, line("<\377\377>"));
    EXPECT_EQ(p.rx_buffer, "\377");
    EXPECT_EQ(p.comm_error, 0);
}

TEST(PortRules, ComPortDevices) {
    MemorySettings s;
    EXPECT_EQ(com_port_device(s, 1), "/dev/ttyS0");
    EXPECT_EQ(com_port_device(s, 8), "/dev/ttyS7");
    s.save("Settaggi", "COM3Device", "/dev/ttyUSB0");
    EXPECT_EQ(com_port_device(s, 3), "/dev/ttyUSB0");
    EXPECT_EQ(com_port_device(s, 1), "/dev/ttyS0");
}
