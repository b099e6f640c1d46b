// Framing bytes in EEPROM commands, the lines an EEPROM write takes from a file, and an
// EEPROM read whose file cannot be written. Runs against the simulator are in
// tests/comm/test_compare_eeprom_e2e.cpp.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>

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

namespace {

// The S1 line of 16 bytes at address, each byte the low 8 bits of its address.
std::string record_at(int address) {
    std::uint8_t bytes[16];
    for (int i = 0; i < 16; ++i) bytes[i] = static_cast<std::uint8_t>(address + i);
    return s19_line(address, bytes);
}

// The whole EEPROM as 2048 S1 lines ended by CR LF; its last record ends at the last byte.
std::string whole_file() {
    std::string file;
    for (int a = 0; a < kEepromSize; a += 16) file += record_at(a) + "\r\n";
    return file;
}

// The file with line `n` (1-based) replaced.
std::string with_line(const std::string& file, int n, const std::string& line) {
    std::size_t at = 0;
    for (int i = 1; i < n; ++i) at = file.find("\r\n", at) + 2;
    return file.substr(0, at) + line + file.substr(file.find("\r\n", at));
}

} // namespace

// Lines end at CR LF, LF or CR; the header, count and start records around the S1 records
// (as srec_cat writes them) are skipped and do not count.
TEST(EepromWriteFile, The2048S1RecordsAreSent) {
    const std::string header = "S0220000687474703A2F2F737265636F72642E736F75726365666F7267652E6E65742F1D";
    std::string file = header + "\n";
    for (int a = 0; a < kEepromSize; a += 16)
        file += record_at(a) + (a % 48 == 0 ? "\r\n" : a % 48 == 16 ? "\n" : "\r");
    std::vector<std::string> lines;
    std::string why;
    ASSERT_TRUE(s19_write_lines(file + "S5030800F4\r\nS9030000FC", lines, why)) << why;
    ASSERT_EQ(lines.size(), 2048u);
    EXPECT_EQ(lines[0], record_at(0));
    EXPECT_EQ(lines[2047], record_at(0x7FF0));
    // The last line needs no end; one record fewer is refused.
    const std::string short_by_one = file.substr(0, file.find(record_at(0x7FF0)));
    EXPECT_FALSE(s19_write_lines(short_by_one + "S5030800F4", lines, why));
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(why, "Input past end of file (2047 S1 records, 2048 needed)");
    EXPECT_TRUE(s19_write_lines(short_by_one + record_at(0x7FF0), lines, why));
}

// The first bad line is named, and nothing is taken from the file.
TEST(EepromWriteFile, ABrokenRecordIsRefusedWithItsLine) {
    const std::string file = whole_file(), good = record_at(0x50); // line 6
    auto changed = [&](std::size_t at, const std::string& by) {
        return std::string(good).replace(at, 1, by);
    };
    // The record with another count byte and the check byte that fits it.
    auto recounted = [&](const std::string& count) {
        const std::string body = count + good.substr(4, 36);
        int sum = 0;
        for (std::size_t i = 0; i < body.size(); i += 2) sum += std::stoi(body.substr(i, 2), nullptr, 16);
        return "S1" + body + hex_field(255 - sum % 256, 2);
    };
    std::uint8_t zeros[16] = {};
    const std::pair<std::string, std::string> cases[] = {
        {"", "empty line"},
        {changed(41, good[41] == 'F' ? "0" : "F"), "check byte"},
        {changed(20, "G"), "character 21 is no hexadecimal digit"},
        {good + "0", "odd number of digits"},
        {recounted("12"), "byte count 12 for 19 bytes"},
        {good.substr(0, 8), "record shorter than its address and check byte"},
        {"S2140000500000000000000000000000000000000000", "not an S1 record"},
        // One byte past the last (a record ending at 7FFF is in every whole file).
        {s19_line(0x7FF1, zeros), "bytes 7FF1 to 8000 lie past the EEPROM's 32768"},
    };
    std::vector<std::string> lines;
    std::string why;
    for (const auto& [line, fault] : cases) {
        EXPECT_FALSE(s19_write_lines(with_line(file, 6, line), lines, why)) << line;
        EXPECT_TRUE(lines.empty());
        EXPECT_EQ(why.rfind("Bad S1 record in line 6: " + fault, 0), 0u) << why;
    }
}

// A disk that fills up after 100 lines ends the read at once; the old file stays as it was.
TEST(EepromRead, AWriteErrorEndsTheReadAtOnceAndKeepsTheOldFile) {
    test::Started e;
    test::TempDir dir;
    const std::string path = dir.file("old.s19");
    const std::string old = whole_file();
    { std::ofstream(path, std::ios::binary) << old; }
    test::AnsweringLink link(e.p, "A5");
    EepromPanel panel;
    constexpr rlim_t kLimit = 100 * 44;
    struct rlimit before {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    ASSERT_GE(before.rlim_cur, kLimit);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails with EFBIG
    struct rlimit small = before;
    small.rlim_cur = kLimit;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    {
        ReplacingWriter file(path);
        ASSERT_TRUE(file.ok());
        run_eeprom_read(e.c, link, panel, file);
    }
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, old_handler);

    EXPECT_EQ(test::texts(e.prompt),
              std::vector<std::string>{"Errore 75: Cannot write " + path + ": File too large"});
    EXPECT_EQ(link.sent.size(), 101u * 16);
    std::string now;
    ASSERT_TRUE(read_file_bytes(path, now));
    EXPECT_TRUE(now == old);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"old.s19"});
    EXPECT_TRUE(e.p.port_idle);
}

// A file that cannot take the chosen one's place (a folder took the name meanwhile): no
// success.
TEST(EepromRead, SuccessOnlyOnceTheFileIsInPlace) {
    test::Started e;
    test::TempDir dir;
    const std::string path = dir.file("taken");
    test::AnsweringLink link(e.p, "A5");
    EepromPanel panel;
    ReplacingWriter file(path);
    ASSERT_TRUE(file.ok());
    std::filesystem::create_directory(path);
    EXPECT_EQ(run_eeprom_read(e.c, link, panel, file), TransferOutcome::Ended);
    EXPECT_EQ(test::texts(e.prompt),
              std::vector<std::string>{"Errore 75: Cannot replace " + path + ": Is a directory"});
    EXPECT_EQ(link.sent.size(), 32768u);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"taken"});
    EXPECT_TRUE(e.p.port_idle);
}

// A file past the size bound is refused unread; one of exactly the bound is read.
TEST(EepromWriteFile, AFileLargerThanTheBoundIsRefusedUnread) {
    test::Started e;
    test::TempDir dir;
    const std::string at_bound = dir.file("at.s19"), past = dir.file("past.s19");
    for (const auto& [path, size] :
         {std::pair{at_bound, kMaxS19FileBytes}, std::pair{past, kMaxS19FileBytes + 1}}) {
        { std::ofstream(path, std::ios::binary) << whole_file(); }
        std::filesystem::resize_file(path, size); // what follows the records is NUL bytes
    }
    std::vector<std::string> lines;
    FileDialog dlg;
    e.prompt.files = {at_bound, past};
    EXPECT_EQ(eeprom_write_choose_file(e.c, dlg, lines), FileChoice::Ready);
    EXPECT_EQ(lines.size(), 2048u);
    EXPECT_TRUE(e.prompt.messages.empty());
    EXPECT_EQ(eeprom_write_choose_file(e.c, dlg, lines), FileChoice::None);
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(test::texts(e.prompt),
              std::vector<std::string>{"Errore 380: " + past +
                                       " is too large for an S-record file (more than 16 MB)"});
}

// Record k of the file must hold the 16 bytes at address 16 x k, as the read writes them.
// Other record sizes, a missing record, records out of order or one too many are refused
// when the file is chosen, naming the line and what it should hold, and again before the
// port opens; nothing is sent.
TEST(EepromWriteFile, RecordsMustFillTheEepromInOrder) {
    test::Started e;
    test::TempDir dir;
    // Records of `count` bytes from `address`, each byte the low 8 bits of its address.
    auto record_of = [](int address, int count) {
        std::string text = hex_field(address, 4);
        for (int i = 0; i < count; ++i) text += hex_field((address + i) & 0xFF, 2);
        return check_s19("S1", text);
    };
    auto records_of = [&](int size, std::string file = "S00600004844521B\r\n") {
        for (int a = 0; a < kEepromSize; a += size) file += record_of(a, size) + "\r\n";
        return file;
    };
    const std::string whole = whole_file(); // the read's own lines
    std::string swapped = whole;
    std::swap_ranges(swapped.begin() + 4 * 44, swapped.begin() + 5 * 44, swapped.begin() + 5 * 44);
    const struct {
        const char* what;
        std::string file;
        int line = 0, record = 0; // of the first bad record; 0 for a file that is taken
        std::string fault;
    } cases[] = {
        {"16-byte records", whole},
        {"8-byte records", records_of(8), 2, 1,
         "address 0000 with 8 bytes, expected 16 bytes at address 0000"},
        {"32-byte records", records_of(32, ""), 1, 1,
         "address 0000 with 32 bytes, expected 16 bytes at address 0000"},
        {"a missing record", std::string(whole).erase(4 * 44, 44), 5, 5,
         "address 0050 with 16 bytes, expected 16 bytes at address 0040"},
        {"two records swapped", swapped, 5, 5,
         "address 0050 with 16 bytes, expected 16 bytes at address 0040"},
        {"15 bytes", with_line(whole, 5, record_of(0x40, 15)), 5, 5,
         "address 0040 with 15 bytes, expected 16 bytes at address 0040"},
        {"17 bytes", with_line(whole, 5, record_of(0x40, 17)), 5, 5,
         "address 0040 with 17 bytes, expected 16 bytes at address 0040"},
        {"one record too many", "S00600004844521B\r\n" + whole + record_at(0) + "\r\nS9030000FC\r\n", 2050,
         2049, "more than 2048 S1 records, the EEPROM takes 2048 of 16 bytes"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        const std::string path = dir.file("write.s19");
        { std::ofstream(path, std::ios::binary | std::ios::trunc) << k.file; }
        e.prompt.messages.clear();
        e.prompt.files = {path};
        FileDialog dlg;
        std::vector<std::string> lines;
        EXPECT_EQ(eeprom_write_choose_file(e.c, dlg, lines), k.line ? FileChoice::None : FileChoice::Ready);
        const auto refused = [&](const std::string& where) {
            return k.line ? std::vector<std::string>{"Errore 62: Bad S1 record " + where + ": " + k.fault}
                          : std::vector<std::string>{e.c.txt(10077)};
        };
        if (k.line) EXPECT_EQ(test::texts(e.prompt), refused("in line " + std::to_string(k.line)));
        // The same records handed to the write itself.
        lines.clear();
        for (const std::string& line : split_text_lines(k.file))
            if (line.rfind("S1", 0) == 0) lines.push_back(line);
        e.prompt.messages.clear();
        test::AnsweringLink link(e.p);
        EepromPanel panel;
        EXPECT_EQ(run_eeprom_write(e.c, link, panel, lines), TransferOutcome::Ended);
        EXPECT_EQ(link.sent.size(), k.line ? 0u : 2048u + 2);
        EXPECT_EQ(test::texts(e.prompt), refused(std::to_string(k.record)));
        EXPECT_TRUE(e.p.port_idle);
    }
}
