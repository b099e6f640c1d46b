// File > Print: the listing's bytes for models with and without global strings, and the
// cases in which it writes nothing.
#include "core/listing.h"

#include "core/store.h"
#include "file_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace kx;
using filetest::crlf;

namespace {

// The default project turned into a 20 x 2 project of `key` with blank pages; print()
// answers Yes and returns the listing's bytes.
struct Listing : ::testing::Test {
    test::Started e;
    Project& p = e.p;
    void shape(const std::string& key, int n_lang, int pages) {
        p.kx_type = key;
        p.n_cols = 20;
        p.n_rows = 2;
        p.n_lang = static_cast<std::int16_t>(n_lang);
        p.last_page_idx = static_cast<std::int16_t>(pages - 1);
        for (int L = 0; L < n_lang; ++L)
            for (int pg = 0; pg < pages; ++pg) {
                p.page_store[L][pg] = page_record{};
                p.page_store[L][pg].chars.fill(32);
            }
    }
    std::string print(const std::string& project_name) {
        p.project_path = e.dir.file(project_name);
        e.prompt.answers = {kAnsYes};
        print_spool(e.c);
        return filetest::content(e.dir.file("proj.lst"));
    }
};

} // namespace

TEST_F(Listing, EveryKindOfContentByteForByte) {
    shape("KXE_520", 2, 2);
    p.language_names[1] = "English";
    page_record& it0 = p.page_store[0][0];
    for (int i = 0; i < 4; ++i) it0.chars[i] = p.page_store[1][0].chars[i] = "Temp"[i];
    it0.chars[5] = 6;             // arrow glyphs are blanks in the listing
    it0.chars[19] = kCodeInvalid; // any other code is its own byte
    it0.links = {1, 0, 1, 0, 0};
    it0.var_count = 2;
    it0.set_var(1, {1, 0, 10, 3, 1, 100, 0, 999});
    it0.set_var(2, {0, 1, 22, 4, 0x42, 4096, 0, 65535}); // INT, read-only, 2 decimals and COM1
    lay_var_marks(it0.chars, {{{}, it0.var(1), it0.var(2)}}, 2, 40);
    p.page_store[1][0].chars[10] = kCodeVarDigit;
    p.page_store[0][1].links = {1, 1, 0, 1, 0};
    p.n_strings = 3;
    p.global_strings[0][0] = "Allarme";
    p.global_strings[0][2] = "Fine";
    p.global_strings[1][1] = "It's";
    // The page on display holds an edit that is not in the store yet: the listing has it.
    p.act_page = 1;
    load_page(e.c, 1, 0);
    p.display_buffer[0] = 'Z';

    const std::string frame = "    +--------------------+";
    const std::string blank = "    |                    |";
    std::vector<std::string> lines = {"file:         " + e.dir.file("proj.prj"),
                                      "version:      2.8",
                                      "model:        KXE_520",
                                      "n. languages: 2",
                                      "n. pages:     2",
                                      "tot. pages    4",
                                      "n. strings    3",
                                      "tot. strings  6",
                                      "",
                                      "",
                                      "language 1    Italiano",
                                      "language 2    English"};
    auto section = [&](const std::string& title, const std::string& row0, const std::string& row1,
                       bool vars) {
        const bool first = title[0] == '0';
        for (const std::string& l :
             {std::string(), std::string(), "    Page n. " + title, frame, row0, row1, frame,
              std::string(first ? "Links: 0001 0000 0001 0000" : "Links: 0001 0001 0000 0001")})
            lines.push_back(l);
        if (!vars) return;
        lines.push_back("VAR   EN  TYPE    POS DIG DEC ADDR  MIN_ADDR  MAX_ADDR");
        lines.push_back("01    R/W WORD    010 03  01  00100 00000     00999");
        lines.push_back("02    R_O INT     022 04  66  04096 00000     65535");
    };
    section("0 Italiano", "    |Temp      XX.X     \x82|", "    |  XXX.XX            |", true);
    section("1 Italiano", "    |Z                   |", blank, false);
    section("0 English", "    |Temp      X         |", blank, true);
    section("1 English", blank, blank, false);
    for (const char* l : {"", "", "string n. 000 Italiano 'Allarme'", "string n. 001 Italiano ''",
                          "string n. 002 Italiano 'Fine'", "", "string n. 000 English ''",
                          "string n. 001 English 'It's'", "string n. 002 English ''", ""})
        lines.push_back(l);
    EXPECT_EQ(print("proj.prj"), crlf(lines));
    EXPECT_EQ(e.prompt.messages.at(0).text,
              "Stampa progetto sullo spool file " + e.dir.file("proj.lst") + "?");
    EXPECT_EQ(p.page_store[0][1].chars[0], 'Z');

    shape("KXA_520", 1, 1); // no global strings on this model: no string lines at all
    load_page(e.c, 0, 0);
    EXPECT_EQ(print("proj"),
              crlf({"file:         " + e.dir.file("proj"), "version:      2.8", "model:        KXA_520",
                    "n. languages: 1", "n. pages:     1", "tot. pages    1", "", "", "language 1    Italiano",
                    "", "", "    Page n. 0 Italiano", frame, blank, blank, frame,
                    "Links: 0000 0000 0000 0000", "", ""}));
}

TEST_F(Listing, WritesNothingUnlessAskedAndNeverOverTheProject) {
    p.project_path = e.dir.file("proj.prj");
    e.prompt.answers = {kAnsNo};
    print_spool(e.c);
    EXPECT_FALSE(std::filesystem::exists(e.dir.file("proj.lst")));

    // A project named like its own listing, or opened through a link to such a file.
    const std::string project = e.dir.file("proj.lst");
    std::ofstream(project, std::ios::binary) << "project";
    std::filesystem::create_symlink(project, e.dir.file("proj.prj"));
    for (const char* name : {"proj.lst", "proj.prj"}) {
        const size_t asked = e.prompt.messages.size();
        EXPECT_EQ(print(name), "project") << name;
        EXPECT_EQ(e.prompt.messages.size(), asked) << name;
    }
    EXPECT_EQ(e.prompt.beeps, 2);

    // A listing that cannot be written is reported.
    std::filesystem::create_directory(e.dir.file("box.lst"));
    p.project_path = e.dir.file("box.prj");
    e.prompt.answers = {kAnsYes};
    print_spool(e.c);
    EXPECT_EQ(e.prompt.last_text().rfind("Errore 75: ", 0), 0u) << e.prompt.last_text();
}

// The listing stands beside the project, named after the project file's own name up to its
// first dot; the folder's name, dots or letters outside the code page, changes nothing.
TEST_F(Listing, BesideTheProjectWhateverItsFolderIsCalled) {
    EXPECT_EQ(substitute("/w.d/q.prj", ".lst"), "/w.d/q.lst");
    EXPECT_EQ(substitute("/w.d/q.old.prj", ".lst"), "/w.d/q.lst");
    EXPECT_EQ(substitute("/w.d/q", ".lst"), "/w.d/q.lst");
    shape("KXE_520", 1, 1);
    load_page(e.c, 0, 0);
    const std::string folder = e.dir.file("w.d Caff\xC3\xA8 \xD0\x9F");
    std::filesystem::create_directories(folder);
    const std::string shown = e.dir.file("w.d Caff\xE8 ?");
    std::ofstream(e.dir.file("w.lst")) << "someone else's";
    p.project_path = folder + "/q.prj";
    e.prompt.answers = {kAnsYes};
    print_spool(e.c);
    EXPECT_EQ(e.prompt.last_text(), "Stampa progetto sullo spool file " + shown + "/q.lst?");
    EXPECT_EQ(filetest::content(e.dir.file("w.lst")), "someone else's");
    const std::string listing = filetest::content(folder + "/q.lst");
    EXPECT_EQ(listing.substr(0, listing.find('\r')), "file:         " + shown + "/q.prj");

    // An error names the listing as the message shows names, not a temporary file.
    std::filesystem::create_directories(folder + "/box.lst/inside");
    p.project_path = folder + "/box.prj";
    e.prompt.answers = {kAnsYes};
    print_spool(e.c);
    EXPECT_EQ(e.prompt.last_text().rfind("Errore 75: ", 0), 0u) << e.prompt.last_text();
    EXPECT_NE(e.prompt.last_text().find(shown + "/box.lst:"), std::string::npos) << e.prompt.last_text();
    EXPECT_EQ(e.prompt.last_text().find(kTempSuffix), std::string::npos) << e.prompt.last_text();
}
