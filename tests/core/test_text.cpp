// Number reading and error texts. That written numbers read back and hexadecimal reading
// never turns negative is checked by fuzz/fuzz_numbers.cpp; padding by the golden file and
// frame tests; user numbers by the go-to-page test; the dialogs' folders by File > Save As.
#include "core/text.h"
#include "support/recording_view.h"

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

TEST(ReportError, BeepsAndShowsNumberAndDescriptionInTheInterfaceLanguage) {
    test::Fixture f;
    f.p.ui_lang_offset = 1000;
    report_error(f.c, 53, "File not found");
    EXPECT_EQ(f.prompt.beeps, 1);
    ASSERT_EQ(f.prompt.messages.size(), 1u);
    EXPECT_EQ(f.prompt.messages[0].text, "Error 53: File not found");
    EXPECT_EQ(f.prompt.messages[0].buttons, kOkOnly);
    f.p.ui_lang_offset = 0;
    EXPECT_EQ(error_text(f.c, 7, "x"), "Errore 7: x");
}
