// The project file's bytes: the layout written, what is read back, what is refused.
#include "core/projectfile.h"

#include "core/transfer.h"
#include "file_test_support.h"
#include "support/round_trip.h"

#include <gtest/gtest.h>

#include <fstream>

namespace filetest {
namespace {

std::string bytes_of(const Project& p) {
    std::string out;
    FileError err;
    EXPECT_TRUE(project_file_bytes(p, out, err)) << err.description;
    return out;
}

FileError parse_error(const std::string& bytes) {
    StagedProject st;
    FileError err;
    EXPECT_FALSE(parse_project_file(bytes, st, err));
    return err;
}

// A one-page, one-language KXD_515 project (16 x 2): header 0..6, names 7..12, character
// lines 13..14, links line 15, variable lines 16..23.
std::string small_file() {
    Project p;
    fill_project(p, "KXD_515", 1, 1, 0, 1, 7);
    return bytes_of(p);
}

const std::string kUnused = "0 00 000 00 00 0000 0000 0000";

TEST(ProjectFileWriter, EmptyProjectByteForByte) {
    Project p;
    p.language_names[0] = "Italiano";
    for (int i = 0; i < p.cells(); ++i) p.page_store[0][0].chars[i] = 32;
    std::string expected =
        "2.8  version - MonoProtocol\r\n  4  model\r\n  1  mode\r\n  1  link\r\n  1  languages\r\n"
        "  1  tot_pages\r\n  0  tot_strings\r\nItaliano\r\n\r\n\r\n\r\n\r\n\r\n";
    for (int r = 0; r < 4; ++r) expected += std::string(40, ' ') + "\r\n";
    expected += "   0   0   0   0   0\r\n";
    for (int s = 0; s < 8; ++s) expected += kUnused + "\r\n";
    EXPECT_EQ(bytes_of(p), expected);
}

TEST(ProjectFileWriter, VariablesCharactersAndTextsByteForByte) {
    Project p; // KXB_5560, 40 x 4
    p.multi_protocol = 1;
    p.num_mode = "DEC";
    p.link_on = false;
    p.n_lang = 2;
    p.last_page_idx = 0;
    p.n_strings = 1;
    p.language_names = {"Italiano", "Eng\rlish", "", "", "", "", ""};
    p.global_strings[0][0] = "a\r\nb";
    p.global_strings[1][0] = "";
    for (int L = 0; L < 2; ++L) {
        auto& ch = p.page_store[L][0].chars;
        for (int i = 0; i < 160; ++i) ch[i] = 32;
        ch[0] = 4, ch[1] = 5, ch[2] = 6, ch[3] = 7, ch[4] = 10, ch[5] = 13, ch[6] = 219, ch[7] = 300,
        ch[8] = 130;
        ch[45] = ch[46] = ch[48] = ch[49] = kCodeVarDigit;
        ch[47] = kCodeVarPoint;
    }
    p.page_store[1][0].chars[9] = 'x';
    page_record& r0 = p.page_store[0][0];
    r0.links = {1, 22, 333, 4444, 0};
    r0.pwd = 1;
    r0.var_count = 1;
    r0.set_var(1, variable_record{1, 0, 45, 4, 2 | kComBit, 0x1234, 0, 0xFFFF});

    std::string row0 = "\x11\x10\x1E\x1F\x82\x82\x82\x82\x82";
    std::string row1 = std::string(5, ' ') + "\xDB\xDB.\xDB\xDB" + std::string(30, ' ');
    std::string block_tail = "   1  22 3334444   1\r\n1 00 045 04 42 1234 0000 FFFF\r\n";
    for (int s = 0; s < 7; ++s) block_tail += kUnused + "\r\n";
    std::string expected =
        "2.8  version - MultiProtocol\r\n  4  model\r\n  0  mode\r\n  0  link\r\n  2  languages\r\n"
        "  2  tot_pages\r\n  2  tot_strings\r\nItaliano\r\nEng lish\r\n\r\n\r\n\r\n\r\n" +
        row0 + std::string(31, ' ') + "\r\n" + row1 + "\r\n" + std::string(40, ' ') + "\r\n" +
        std::string(40, ' ') + "\r\n" + block_tail + row0 + "x" + std::string(30, ' ') + "\r\n" + row1 +
        "\r\n" + std::string(40, ' ') + "\r\n" + std::string(40, ' ') + "\r\n" + block_tail + "a  b\r\n\r\n";
    EXPECT_EQ(bytes_of(p), expected);
}

TEST(ProjectFileWriter, CountColumns) {
    Project p;
    fill_project(p, "KXE_520", 1, 100, 0, 0, 1);
    EXPECT_EQ(split_text_lines(bytes_of(p))[5], " 100  tot_pages");
    fill_project(p, "KXB_540", 6, 2, 600, 0, 1);
    auto lines = split_text_lines(bytes_of(p));
    EXPECT_EQ(lines[1], "  3  model");
    EXPECT_EQ(lines[5], " 12  tot_pages");
    EXPECT_EQ(lines[6], "3600  tot_strings");
}

TEST(ProjectFileWriter, RefusesValuesThatDoNotFitTheirColumns) {
    auto refused = [](auto change) {
        Project p;
        fill_project(p, "KXB_5560", 1, 3, 0, 2, 3);
        change(p);
        std::string out;
        FileError err;
        EXPECT_FALSE(project_file_bytes(p, out, err));
        EXPECT_EQ(err.number, kErrBadValue);
        return err.description;
    };
    EXPECT_NE(refused([](Project& p) { p.page_store[0][2].links[3] = 10000; }).find("page 2"),
              std::string::npos);
    refused([](Project& p) { p.page_store[0][1].address[1] = 0x10000; });
    refused([](Project& p) { p.page_store[0][1].pos[2] = 38; });   // runs past its row
    refused([](Project& p) { p.page_store[0][1].pos[2] = 0; });    // overlaps variable 1
    refused([](Project& p) { p.page_store[0][0].dec[1] = 0x3F; }); // more decimals than digits
    refused([](Project& p) { p.kx_type = "KXA_520"; });            // a model without a file code
}

TEST(ProjectFileRoundTrip, EveryModelLanguageCountAndSize) {
    int seed = 0;
    for (const TerminalModel& m : terminal_models()) {
        if (m.file_code == 0) continue;
        for (int n_lang = 1; n_lang <= 6; ++n_lang) {
            ++seed;
            const bool largest = m.key == std::string("KXB_5560") && n_lang == 6;
            const int pages = largest ? 1000 : 1 + seed * 37 % 60;
            const int strings = largest ? 600 : seed * 13 % 40;
            Project p;
            fill_project(p, m.key, n_lang, pages, strings, 8, seed, seed % 2 == 0);
            SCOPED_TRACE(m.key + std::string(" ") + std::to_string(n_lang));
            const auto q = test::round_trip(p);
            for (int L = 0; L < n_lang; ++L)
                for (int pg = 0; pg < pages; ++pg)
                    ASSERT_EQ(q->page_store[L][pg], p.page_store[L][pg]) << L << " " << pg;
            EXPECT_EQ(q->multi_protocol, p.multi_protocol);
        }
    }
}

TEST(ProjectFileReader, FollowsTheFixedWindows) {
    auto lines = split_text_lines(small_file());
    StagedProject st;
    FileError err;
    {
        // Two languages and six pages in all: three pages per language.
        std::vector<std::string> file(lines.begin(), lines.begin() + 13);
        file[4] = "  2  languages";
        file[5] = "  6  tot_pages";
        for (int i = 0; i < 6; ++i) file.insert(file.end(), lines.begin() + 13, lines.begin() + 24);
        ASSERT_TRUE(parse_project_file(crlf(file), st, err)) << err.description;
        EXPECT_EQ(st.last_page_idx, 2);
        EXPECT_EQ(st.language_names[1], "    "); // an empty name reads as four blanks,
        EXPECT_EQ(st.language_names[5], "    "); // in use or not
    }

    lines[13] = "ab\tc"; // short line, a tab
    lines[14] = std::string(16, '.') + "beyond";
    lines[15] = "   1   2   3   4   ";           // 19 characters: no password
    lines[16] = kUnused;                         // an unused slot before a used one
    lines[17] = "1 01 019 02 01 00FF 0000 0010"; // INT 2.1 at row 1, column 3
    ASSERT_TRUE(parse_project_file(crlf(lines), st, err)) << err.description;
    const page_record& r = st.pages[0][0];
    EXPECT_EQ(r.chars[0], 'a');
    EXPECT_EQ(r.chars[2], kCodeInvalid);
    EXPECT_EQ(r.chars[4], ' ');
    EXPECT_EQ(r.pwd, 0);
    EXPECT_EQ(r.links[3], 4);
    EXPECT_EQ(r.var_count, 1);
    EXPECT_EQ(r.var(1), (variable_record{1, 1, 19, 2, 1, 0xFF, 0, 0x10}));
    // Cells 19..22: sign, digit, point, digit; the other dots stay dots.
    EXPECT_EQ(r.chars[18], '.');
    EXPECT_EQ(r.chars[19], kCodeVarDigit);
    EXPECT_EQ(r.chars[21], kCodeVarPoint);
    EXPECT_EQ(r.chars[23], '.');

    lines[3] = "  0  link";
    lines[13] = "\xDB\xDB\x11\x10\x1E\x1F"; // digit marks that no variable covers
    ASSERT_TRUE(parse_project_file(crlf(lines), st, err));
    EXPECT_EQ(st.pages[0][0].links, (std::array<std::int16_t, 5>{0, 0, 0, 0, 0}));
    EXPECT_EQ(st.pages[0][0].chars[0], kCodeVarDigit);
    EXPECT_EQ(st.pages[0][0].chars[2], 4);
    EXPECT_EQ(st.pages[0][0].chars[5], 7);
}

// With links off every page links to itself, whatever its links line holds, on every page
// and in every language's block; with links on the same lines read as written.
TEST(ProjectFileReader, LinksOffMakeEveryPageLinkToItself) {
    Project p;
    fill_project(p, "KXE_540", 2, 6, 0, 2, 11);
    for (int pg = 0; pg < 6; ++pg) {
        auto& links = p.page_store[0][pg].links;
        links = {static_cast<std::int16_t>(5 - pg), static_cast<std::int16_t>((pg + 2) % 6), 0,
                 static_cast<std::int16_t>((pg + 1) % 6), 0};
    }
    for (const bool on : {false, true}) {
        p.link_on = on;
        StagedProject st;
        FileError err;
        ASSERT_TRUE(parse_project_file(bytes_of(p), st, err)) << err.description;
        for (int pg = 0; pg < 6; ++pg) {
            const std::int16_t self = static_cast<std::int16_t>(pg);
            EXPECT_EQ(st.pages[0][pg].links, on ? p.page_store[0][pg].links
                                                : (std::array<std::int16_t, 5>{self, self, self, self, 0}))
                << "links " << (on ? "on" : "off") << ", page " << pg;
        }
    }
}

// Every block carries links and variables of its own; the block read last decides them,
// whether it repeats a block before it or not.
TEST(ProjectFileReader, TheBlockReadLastDecidesLinksAndVariables) {
    const auto lines = split_text_lines(small_file()); // header 0..12, block 13..23
    const std::vector<std::string> a(lines.begin() + 13, lines.begin() + 24);
    std::vector<std::string> b = a;
    b[2] = "   7   7   7   7   1";
    b[3] = "1 00 004 03 01 0001 0002 0003"; // one WORD 2.1 at cells 4..7
    for (int k = 4; k < 11; ++k) b[k] = kUnused;
    auto read = [&](const std::vector<std::vector<std::string>>& blocks) {
        std::vector<std::string> file(lines.begin(), lines.begin() + 13);
        file[4] = "  " + std::to_string(blocks.size()) + "  languages";
        file[5] = "  " + std::to_string(blocks.size()) + "  tot_pages";
        file[6] = "  0  tot_strings";
        for (const auto& block : blocks) file.insert(file.end(), block.begin(), block.end());
        StagedProject st;
        FileError err;
        EXPECT_TRUE(parse_project_file(crlf(file), st, err)) << err.description;
        return st;
    };
    const StagedProject aba = read({a, b, a}), abb = read({a, b, b});
    StagedProject one = read({a});
    EXPECT_EQ(aba.pages[0][0].links, one.pages[0][0].links);
    EXPECT_EQ(aba.pages[0][0].var_count, one.pages[0][0].var_count);
    EXPECT_EQ(aba.pages[0][0].var(1), one.pages[0][0].var(1));
    EXPECT_EQ(abb.pages[0][0].links, (std::array<std::int16_t, 5>{7, 7, 7, 7, 0}));
    EXPECT_EQ(abb.pages[0][0].pwd, 1);
    EXPECT_EQ(abb.pages[0][0].var_count, 1);
    EXPECT_EQ(abb.pages[0][0].var(1), (variable_record{1, 0, 4, 3, 1, 1, 2, 3}));
    // The marks of the last block stand in every language: digit, digit, point, digit; a
    // cell that only an earlier block marked becomes a blank.
    for (int L = 0; L < 3; ++L) {
        const auto& ch = abb.pages[L][0].chars;
        EXPECT_EQ((std::vector<int>(ch.begin() + 4, ch.begin() + 8)), (std::vector<int>{128, 128, 129, 128}))
            << L;
    }
    EXPECT_EQ(aba.pages[0][0].chars, one.pages[0][0].chars);
    EXPECT_EQ(aba.pages[2][0].chars, one.pages[0][0].chars);
    const auto& mid = aba.pages[1][0].chars;
    const auto& first = one.pages[0][0].chars;
    EXPECT_EQ((std::vector<int>(mid.begin() + 4, mid.begin() + 8)),
              (std::vector<int>{first[4], first[5], ' ', ' '}));
}

// The damages of the table reach File > Open as seed files (test_filecmds.cpp); two
// variables that overlap, and a file that ends at any line, are refused too.
TEST(ProjectFileReader, RefusesOverlappingVariablesAndEveryTruncation) {
    const auto lines = split_text_lines(small_file());
    auto overlap = lines;
    overlap[16] = "1 00 000 04 00 0000 0000 0000";
    overlap[17] = "1 00 003 02 00 0000 0000 0000";
    EXPECT_EQ(parse_error(crlf(overlap)).number, kErrBadValue);
    // Every file that ends early, at whatever line.
    for (std::size_t n = 0; n < lines.size(); ++n) {
        FileError err = parse_error(crlf(std::vector<std::string>(lines.begin(), lines.begin() + n)));
        EXPECT_EQ(err.number, kErrPastEnd) << n;
    }
}

// Files written by other tools: fields narrower than the display shows them, stray digit
// marks. Each one opens, shows what it holds, saves back byte for byte and downloads.
TEST(ProjectFileFidelity, NarrowDateAndTimeFieldsAndStrayMarksSurviveOpenSaveAndDownload) {
    // KXB_540, 20 x 4: a DATE of 9 digits at row 0, column 11 (ten cells would run past the
    // row), a TIME of 5 digits at row 1, column 0, a WORD right after it at column 5 (eight
    // TIME cells would cover it), and stray digit marks at the end of row 1 and at row 2, column 3.
    std::string file =
        "2.8  version - MonoProtocol\r\n  3  model\r\n  1  mode\r\n  1  link\r\n  1  languages\r\n"
        "  1  tot_pages\r\n  1  tot_strings\r\nItaliano\r\n    \r\n    \r\n    \r\n    \r\n    \r\n"
        "Date:      \xDB\xDB\xDB\xDB\xDB\xDB\xDB\xDB\xDB\r\n"
        "\xDB\xDB\xDB\xDB\xDB\xDB\xDB            \xDB\r\n"
        "txt\xDB" +
        std::string(16, ' ') + "\r\n" + std::string(20, ' ') +
        "\r\n   0   0   0   0   0\r\n1 04 011 09 00 0000 0000 0000\r\n0 05 020 05 00 0010 0000 0000\r\n"
        "0 00 025 02 00 0011 0000 0063\r\n";
    for (int k = 0; k < 5; ++k) file += kUnused + "\r\n";
    file += "string\r\n";

    Editor e;
    const std::string path = e.dir.file("other.prj");
    put(path, file);
    ASSERT_TRUE(open_project_file(e.c, path)) << e.prompt.last_text();
    EXPECT_EQ(e.p.n_vars, 3);
    auto codes = [&](int from, int n) {
        return std::vector<int>(e.p.display_buffer.begin() + from, e.p.display_buffer.begin() + from + n);
    };
    EXPECT_EQ(codes(10, 10), (std::vector<int>{' ', 128, 128, 128, 128, 128, 128, 128, 128, 128}));
    EXPECT_EQ(codes(20, 9), (std::vector<int>{128, 128, 128, 128, 128, 128, 128, ' ', ' '}));
    EXPECT_EQ(e.view.cells[19].second, kCodeVarDigit); // painted as a digit cell
    // The stray mark stays a mark, and the editor takes its cell for a free one.
    EXPECT_EQ(e.p.display_buffer[43], kCodeVarDigit);
    EXPECT_EQ(e.p.display_buffer[39], kCodeVarDigit);
    EXPECT_FALSE(var_cell_at(e.p, 43));
    EXPECT_TRUE(var_cell_at(e.p, 19));

    EXPECT_EQ(bytes_of(e.p), file);
    EXPECT_EQ(download_row(e.p, 0, 0, 0), "Date:      " + std::string(9, '\xFF'));
    EXPECT_EQ(download_row(e.p, 0, 0, 2), "txt\xFF" + std::string(16, ' '));
}

TEST(ProjectFileNames, BackupName) {
    EXPECT_EQ(backup_path("C:\\dir.x\\file"), "C:\\dir.x\\file.BAK");
    EXPECT_EQ(backup_path("C:\\proj\\a.prj"), "C:\\proj\\a.BAK");
    EXPECT_EQ(backup_path("/p/a.b/c.d.prj"), "/p/a.b/c.d.BAK");
    EXPECT_EQ(backup_path("/p/a.BAK"), "/p/a.BAK");
}

// One line of small_file() replaced: the damaged seed files.
struct Damage {
    const char* name;
    int line;
    const char* text;
};
const Damage kDamages[] = {
    {"version", 0, "2.8 version - MonoProtocol"},
    {"format", 1, "  7  mode"},
    {"model", 1, " 11  model"},
    {"model0", 1, "  0  model"},
    {"lang0", 4, "  0  languages"},
    {"lang7", 4, "  7  languages"},
    {"lang_text", 4, "two  languages"},
    {"pages1001", 5, "1001  tot_pages"},
    {"pages0", 5, "  0  tot_pages"},
    {"huge", 5, "99999999999999999999  tot_pages"},
    {"strings601", 6, "601  tot_strings"},
    {"strings_neg", 6, " -1  tot_strings"},
    {"link", 15, "   1   2   3  -1   0"},
    {"var_row", 16, "1 00 014 04 00 0000 0000 0000"},  // past the row's end
    {"var_page", 16, "1 00 9999 4 00 0000 0000 0000"}, // past the page
    {"var_dec", 16, "1 00 000 04 05 0000 0000 0000"},  // decimals > digits
    {"var_hex", 16, "1 00 000 04 0012345 0000 0000"},  // a shifted hex field
    {"var_type", 16, "1 09 000 04 00 0000 0000 0000"}, // no such type
};

// The seed corpus for fuzzing the reader: valid files of every shape and damaged ones.
// MIVOR_WRITE_CORPUS=1 writes them anew; otherwise each committed file must still give
// the outcome its name says ("ok_" read, "bad_" refused).
TEST(ProjectFileCorpus, SeedFilesKeepTheirOutcome) {
    const std::filesystem::path dir = corpus_dir();
    if (std::getenv("MIVOR_WRITE_CORPUS")) {
        std::filesystem::create_directories(dir);
        auto put = [&](const std::string& name, const std::string& bytes) {
            std::ofstream(dir / name, std::ios::binary) << bytes;
        };
        int seed = 100;
        for (const TerminalModel& m : terminal_models()) {
            if (m.file_code == 0) continue;
            Project p;
            fill_project(p, m.key, 1 + seed % 3, 2 + seed % 4, seed % 5, 8, seed, seed % 2 == 1);
            put(std::string("ok_") + m.key + ".prj", bytes_of(p));
            ++seed;
        }
        const auto lines = split_text_lines(small_file());
        put("ok_small.prj", crlf(lines));
        for (const Damage& d : kDamages) {
            auto l = lines;
            l[d.line] = d.text;
            put(std::string("bad_") + d.name + ".prj", crlf(l));
        }
        put("bad_truncated.prj", crlf(std::vector<std::string>(lines.begin(), lines.begin() + 20)));
        put("bad_empty.prj", "");
    }
    int files = 0;
    for (const auto& [name, bytes] : seed_files("projectfile")) {
        StagedProject st;
        FileError err;
        EXPECT_EQ(parse_project_file(bytes, st, err), name.rfind("ok_", 0) == 0) << name;
        ++files;
    }
    EXPECT_GE(files, 20);
}

} // namespace
} // namespace filetest
