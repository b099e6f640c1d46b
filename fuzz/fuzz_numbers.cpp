// Number reading of files and frames: hexadecimal fields and leading decimal numbers.
#include "core/text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string s(reinterpret_cast<const char*>(data), size);
    std::int32_t h = kx::hex_to_long(s);
    if (h < 0) std::abort();   // saturates, never wraps negative
    std::int32_t d = kx::read_decimal(s);
    (void)d;
    auto n = kx::parse_number(s);
    (void)n;
    std::string padded = s.substr(0, 16);
    kx::pad_left_zero(padded, 20);
    if (padded.size() < 20) std::abort();
    return 0;
}
