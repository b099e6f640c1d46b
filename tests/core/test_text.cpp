// Number reading and writing, pads, error texts and the file dialogs' remembered folder.
// That written numbers read back, and that hexadecimal reading never turns negative, is
// checked on any input by fuzz/fuzz_numbers.cpp.
#include "core/text.h"
#include "support/recording_view.h"

#include <gtest/gtest.h>

#include <limits>

using namespace kx;

TEST(HexToLong, SkipsBlanksCountsOtherCharactersAsZeroAndSaturates) {
    EXPECT_EQ(hex_to_long(" 00FF"), 255);
    EXPECT_EQ(hex_to_long("ff"), 255);
    EXPECT_EQ(hex_to_long("   "), 0);
    EXPECT_EQ(hex_to_long("1G"), 16);
    EXPECT_EQ(hex_to_long("G1"), 1);
    EXPECT_EQ(hex_to_long("1 F"), 31);
    // A wrapped value could pass a caller's range check as a small number.
    EXPECT_EQ(hex_to_long("80000000"), 0x7FFFFFFF);
    EXPECT_EQ(hex_to_long("100000000"), 0x7FFFFFFF);
}

TEST(Pads, FillUpToTheWidthAndNeverShorten) {
    auto pad = [](void (*f)(std::string&, int), std::string s, int width) {
        f(s, width);
        return s;
    };
    EXPECT_EQ(pad(pad_left_zero, "7", 2), "07");
    EXPECT_EQ(pad(pad_left_zero, "123", 2), "123");
    EXPECT_EQ(pad(pad_left_zero, "", 3), "000");
    EXPECT_EQ(pad(pad_left_space, "12", 3), " 12");
    EXPECT_EQ(pad(pad_left_space, "x", -3), "x");
    EXPECT_EQ(pad(pad_right_space, "ab", 4), "ab  ");
    EXPECT_EQ(pad(pad_right_space, "x", 0), "x");
}

TEST(Numbers, DecimalReadingAndUserNumbers) {
    EXPECT_EQ(read_decimal("  42abc"), 42);
    EXPECT_EQ(read_decimal("abc"), 0);
    EXPECT_EQ(read_decimal("99999999999"), 0x7FFFFFFF);
    EXPECT_EQ(read_decimal("-99999999999"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(read_decimal(" - 2147483647"), -2147483647);
    EXPECT_EQ(parse_number(" 2.5 "), 2.5);
    EXPECT_FALSE(parse_number("").has_value());
    EXPECT_FALSE(parse_number("3a").has_value());
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

TEST(DialogState, RestoreGivesBackWhatWasStored) {
    test::Fixture f;
    FileDialog d;
    d.init_dir = "/a";
    d.file_name = "/a/b";
    store_dialog_file(f.c, d);
    d.init_dir = "/x";
    d.file_name = "/x/y";
    restore_dialog_state(f.c, d);
    EXPECT_EQ(d.init_dir, "/a");
    EXPECT_EQ(d.file_name, "/a/b");
    EXPECT_EQ(dir_part("/home/u/prj"), "/home/u/");
    EXPECT_EQ(dir_part("C:\\prj\\a"), "C:\\prj\\");
    EXPECT_EQ(dir_part("noseparator"), "");
    EXPECT_EQ(strip_last_component("/home/u/prj"), "/home/u");
}
