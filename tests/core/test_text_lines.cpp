// Lines of the single-byte text files: where a line ends, and a file read whole.
#include "platform/api/textfile.h"

#include "support/recording_view.h"

#include <gtest/gtest.h>

#include <filesystem>
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

// The checked read looks at the first line and the size before it reads on, so a file that
// fails either never takes more memory than its first block.
TEST(TextLines, ACheckedReadRefusesBeforeItReadsOn) {
    using kx::CheckedRead;
    kx::test::TempDir dir;
    const auto version = [](std::string_view line) { return line.substr(0, 3) == "2.8"; };
    std::string bytes;
    const std::string path = dir.file("f");
    // At the limit the file is read; one byte past it, it is refused, bytes left short.
    std::ofstream(path, std::ios::binary) << "2.8\r\n" << std::string(95, 'x');
    EXPECT_EQ(kx::read_file_checked(path, 100, version, bytes), CheckedRead::Read);
    EXPECT_EQ(bytes.size(), 100u);
    std::ofstream(path, std::ios::binary | std::ios::app) << "x";
    EXPECT_EQ(kx::read_file_checked(path, 100, version, bytes), CheckedRead::TooLarge);

    // A sparse file of 1 GB: refused for its size, or for its first line, from its first block.
    std::ofstream(path, std::ios::binary | std::ios::trunc) << "2.8\r\n";
    std::filesystem::resize_file(path, std::uintmax_t{1} << 30);
    EXPECT_EQ(kx::read_file_checked(path, 1 << 20, version, bytes), CheckedRead::TooLarge);
    EXPECT_LE(bytes.capacity(), std::size_t{1} << 20);
    std::ofstream(path, std::ios::binary | std::ios::in) << "x.8";
    EXPECT_EQ(kx::read_file_checked(path, std::size_t{2} << 30, version, bytes), CheckedRead::FirstLine);
    EXPECT_LE(bytes.capacity(), std::size_t{1} << 20);

    // A device says no size: it is read only up to the limit.
    EXPECT_EQ(kx::read_file_checked(
                  "/dev/zero", 1000, [](std::string_view) { return true; }, bytes),
              CheckedRead::TooLarge);
    EXPECT_EQ(kx::read_file_checked(dir.file("missing"), 100, version, bytes), CheckedRead::Unreadable);
    std::ofstream(path, std::ios::binary | std::ios::trunc);
    EXPECT_EQ(kx::read_file_checked(path, 100, version, bytes), CheckedRead::Read); // no first line
}

} // namespace
