// The S-record file of an EEPROM write: any bytes as the file. A file is either refused or
// gives exactly the 2048 lines that are sent, each as an "M" command whose frame no byte
// can split and whose check is the XOR of what is sent before it.
#include "core/eeprom.h"
#include "core/text.h"
#include "fuzz_support.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::as_bytes(data, size);
    std::vector<std::string> lines;
    std::string why;
    if (!kx::s19_write_lines(bytes, lines, why)) {
        if (!lines.empty() || why.empty()) fuzz::fail("a refused file left lines or no reason");
        return 0;
    }
    if (lines.size() != static_cast<size_t>(kx::kS19Lines))
        fuzz::fail("line count", std::to_string(lines.size()));
    for (const std::string& line : lines) {
        if (line.find_first_of("\r\n") != std::string::npos) fuzz::fail("a line holds its end");
        const std::string cmd = kx::eeprom_command('M', line);
        if (cmd.find_first_of(std::string("\x02\x03", 2)) != std::string::npos)
            fuzz::fail("a framing byte in", cmd);
        if (cmd.size() != line.size() + 5 || cmd.compare(0, 3, "00M") != 0) fuzz::fail("command layout", cmd);
        const std::string body = cmd.substr(0, cmd.size() - 2);
        if (kx::hex_to_long(cmd.substr(cmd.size() - 2)) != kx::xor_check(body))
            fuzz::fail("check digits", cmd);
    }
    return 0;
}
