// Framing bytes in EEPROM commands, the lines an EEPROM write takes from a file, and an
// EEPROM read whose file cannot be completed. Runs against the simulator are in
// tests/comm/test_compare_eeprom_e2e.cpp.
#include <gtest/gtest.h>

#include "../support/recording_view.h"
#include "core/eeprom.h"
#include "platform/api/textfile.h"

using namespace kx;

// The records' check bytes and the commands' checks are verified against an independent
// S-record reader and the simulator in the end-to-end tests.
TEST(EepromCommands, FramingBytesInALineGoAsBlanks) {
    const std::string sent = eeprom_command('M', std::string("S1\x02\x03") + "AB");
    EXPECT_EQ(sent, eeprom_command('M', "S1  AB"));
    EXPECT_EQ(sent.find_first_of("\x02\x03"), std::string::npos);
}

TEST(EepromWriteFile, ExactlyTheFirst2048LinesOrARefusal) {
    std::string file;
    for (int i = 0; i < 2050; ++i)
        file += "line" + std::to_string(i) + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
    std::vector<std::string> lines;
    std::string why;
    ASSERT_TRUE(s19_write_lines(file, lines, why));
    ASSERT_EQ(lines.size(), 2048u);
    EXPECT_EQ(lines[0], "line0");
    EXPECT_EQ(lines[2047], "line2047");

    // Empty lines and lines that are no S1 record are sent as they stand and count.
    std::string blanks(2048, '\n');
    EXPECT_TRUE(s19_write_lines(blanks, lines, why));
    EXPECT_EQ(lines[5], "");
    // The last line needs no end; one line fewer is refused.
    const std::string short_by_one = file.substr(0, file.find("line2047"));
    EXPECT_FALSE(s19_write_lines(short_by_one, lines, why));
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(why, "Input past end of file (2047 lines, 2048 needed)");
    EXPECT_TRUE(s19_write_lines(short_by_one + "last", lines, why));
}

namespace {

// A terminal that answers every command at once with `reply`.
struct AnsweringLink : LinkPort {
    explicit AnsweringLink(Project& p, std::string reply) : p_(p), reply_(std::move(reply)) {}
    std::vector<std::string> sent;
    bool port_open() const override { return false; }
    void open() override { p_.port_idle = false; }
    void send_frame(const std::string& text) override { sent.push_back(text); }
    void wait_reply() override { p_.rx_buffer = reply_, p_.rx_done = true, p_.comm_error = 0; }
    void release() override { p_.port_idle = true; }
    Project& p_;
    std::string reply_;
};

} // namespace

TEST(EepromRead, SuccessOnlyWhenTheFileIsCompleteOnDisk) {
    test::Started e;
    AnsweringLink link(e.p, "A5");
    EepromPanel panel;
    TextFileWriter full("/dev/full"); // takes the file but fails when it is flushed
    ASSERT_TRUE(full.ok());
    EXPECT_EQ(run_eeprom_read(e.c, link, panel, full, "/dev/full"), TransferOutcome::Ended);
    ASSERT_EQ(e.prompt.messages.size(), 1u);
    EXPECT_EQ(e.prompt.messages[0].text, "Errore 75: Path/File access error (/dev/full)");
    EXPECT_EQ(link.sent.size(), 32768u);
    EXPECT_TRUE(e.p.port_idle);
}
