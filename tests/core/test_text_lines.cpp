// Lines of the single-byte text files: where a line ends, and a file read whole.
#include "platform/api/textfile.h"

#include "support/recording_view.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using Lines = std::vector<std::string>;

TEST(TextLines, EndAtCrLfAtALoneCrOrLfAndAtTheEndOfTheBytes) {
    EXPECT_EQ(kx::split_text_lines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
    // A CR before CR LF ends a line of its own; empty lines stay.
    EXPECT_EQ(kx::split_text_lines("a\r\r\n\r\nb\r\n"), (Lines{"a", "", "", "b"}));
    EXPECT_EQ(kx::split_text_lines("\n\n"), (Lines{"", ""}));
    EXPECT_EQ(kx::split_text_lines(""), Lines{});
    // Every other byte belongs to the line, NUL and 255 included.
    EXPECT_EQ(kx::split_text_lines(std::string("x\0y\xff\r\nz", 7)),
              (Lines{std::string("x\0y\xff", 4), "z"}));
}

TEST(TextLines, AFileIsReadWholeWhateverItsSize) {
    kx::test::TempDir dir;
    for (std::size_t size :
         {std::size_t{0}, std::size_t{1}, std::size_t{65536}, std::size_t{65537}, std::size_t{300001}}) {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 % 256);
        const std::string path = dir.file("f" + std::to_string(size));
        std::ofstream(path, std::ios::binary) << bytes;
        std::string read = "left over";
        ASSERT_TRUE(kx::read_file_bytes(path, read));
        EXPECT_EQ(read, bytes) << size;
    }
    std::string none;
    EXPECT_FALSE(kx::read_file_bytes(dir.file("missing"), none));
}

} // namespace
