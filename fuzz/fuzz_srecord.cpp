// The S-record file of an EEPROM write: any bytes as the file. A file is either refused with
// a reason, or gives exactly 2048 lines of the file, in its order, each an S1 record whose
// bytes sum to FF (modulo 256), line k holding the 16 bytes at address 16 x k, sent as an "M"
// command whose check is the XOR of what is sent before it.
#include "core/eeprom.h"
#include "core/text.h"
#include "fuzz_support.h"

#include <string>
#include <vector>

namespace {

// The record's bytes from the count to the check byte, summed; -1 for a character that is
// no upper-case hex digit. The digits' values come from a table made once, in which any
// other character weighs so much that the sum shows it.
int byte_sum(const std::string& line) {
    static const std::vector<int> value = [] {
        std::vector<int> v(256, 1 << 20);
        for (int ch = 0; ch < 256; ++ch)
            if ((ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'F')) v[ch] = kx::hex_digit(ch);
        return v;
    }();
    const int* v = value.data();
    const auto* d = reinterpret_cast<const unsigned char*>(line.data());
    int sum = 0;
    for (std::size_t i = 2; i + 1 < line.size(); i += 2) sum += v[d[i]] * 16 + v[d[i + 1]];
    return sum < (1 << 20) ? sum : -1;
}

void check_command(const std::string& line) {
    const std::string cmd = kx::eeprom_command('M', line);
    if (cmd != "00M" + line + cmd.substr(cmd.size() - 2)) fuzz::fail("command layout", cmd);
    if (kx::hex_to_long(cmd.substr(cmd.size() - 2)) != kx::xor_check(cmd.substr(0, cmd.size() - 2)))
        fuzz::fail("check digits", cmd);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::as_bytes(data, size);
    // Kept from one input to the next, as the dialog keeps its lines.
    static std::vector<std::string> lines;
    static std::string why;
    if (!kx::s19_write_lines(bytes, lines, why)) {
        if (!lines.empty() || why.empty()) fuzz::fail("a refused file left lines or no reason");
        return 0;
    }
    if (lines.size() != static_cast<size_t>(kx::kS19Lines))
        fuzz::fail("line count", std::to_string(lines.size()));
    std::size_t at = 0;
    for (const std::string& line : lines) {
        if (line.size() < 10 || line.size() % 2 || line.compare(0, 2, "S1") != 0)
            fuzz::fail("no S1 record", line);
        // A whole line of the file, after the one before.
        auto line_end = [&](std::size_t i) {
            return i == bytes.size() || bytes[i] == '\r' || bytes[i] == '\n';
        };
        for (;; ++at) {
            at = bytes.find(line, at);
            if (at == std::string_view::npos) fuzz::fail("a line that is not in the file, in order", line);
            if ((at == 0 || line_end(at - 1)) && line_end(at + line.size())) break;
        }
        at += line.size();
        const int count = kx::hex_digit(line[2]) * 16 + kx::hex_digit(line[3]);
        const int address = static_cast<int>(kx::hex_to_long(line.substr(4, 4)));
        if (count * 2 + 4 != static_cast<int>(line.size()) || byte_sum(line) % 256 != 0xFF)
            fuzz::fail("count or check byte", line);
        if (count != 0x13 || address != 16 * static_cast<int>(&line - lines.data()))
            fuzz::fail("a record out of its place", line);
    }
    check_command(lines.front());
    check_command(lines.back());
    return 0;
}
