// Number reading. That written numbers read back and hexadecimal reading
// never turns negative is checked by fuzz/fuzz_numbers.cpp; padding by the golden file and
// frame tests; user numbers by the go-to-page test; the dialogs' folders by File > Save As.
#include "core/text.h"

#include <gtest/gtest.h>

#include <limits>

using namespace kx;

TEST(HexToLong, SkipsBlanksCountsOtherCharactersAsZeroAndSaturates) {
    EXPECT_EQ(hex_to_long("ff"), 255);
    EXPECT_EQ(hex_to_long("   "), 0);
    EXPECT_EQ(hex_to_long("1G"), 16);
    EXPECT_EQ(hex_to_long("G1"), 1);
    EXPECT_EQ(hex_to_long("1 F"), 31);
    // A wrapped value could pass a caller's range check as a small number.
    EXPECT_EQ(hex_to_long("80000000"), 0x7FFFFFFF);
    EXPECT_EQ(hex_to_long("100000000"), 0x7FFFFFFF);
}

TEST(Numbers, DecimalReadingKeepsTheLeadingNumberAndSaturates) {
    EXPECT_EQ(read_decimal("  42abc"), 42);
    EXPECT_EQ(read_decimal("abc"), 0);
    EXPECT_EQ(read_decimal("99999999999"), 0x7FFFFFFF);
    EXPECT_EQ(read_decimal("-99999999999"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(read_decimal(" - 2147483647"), -2147483647);
}
