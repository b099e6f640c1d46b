// Number reading of files and frames: hexadecimal fields and leading decimal numbers.
#include "core/text.h"
#include "fuzz_support.h"

#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string s(reinterpret_cast<const char*>(data), size);
    std::int32_t h = kx::hex_to_long(s);
    if (h < 0) fuzz::fail("a hexadecimal field wraps negative", s);
    std::int32_t d = kx::read_decimal(s);
    (void)d;
    auto n = kx::parse_number(s);
    (void)n;
    std::string padded = s.substr(0, 16);
    kx::pad_left_zero(padded, 20);
    if (padded.size() < 20) fuzz::fail("padding falls short", padded);

    // Every number the writers put into a file or frame reads back as itself: decimal
    // fields at any value, hexadecimal fields at any value that is not negative, also with
    // the zeros and blanks that fill a column in front.
    if (size >= 4) {
        std::int32_t v;
        std::memcpy(&v, data, sizeof v);
        std::string dec = std::to_string(v);
        if (kx::read_decimal(dec) != v) fuzz::fail("a decimal reads back different", dec);
        kx::pad_left_space(dec, 12);
        if (kx::read_decimal(dec) != v) fuzz::fail("a decimal reads back different", dec);
        if (v >= 0) {
            std::string hex = kx::to_hex(v);
            kx::pad_left_zero(hex, 8);
            if (kx::hex_to_long(hex) != v || kx::hex_to_long(" " + hex) != v)
                fuzz::fail("a hexadecimal field reads back different", hex);
        }
    }
    return 0;
}
