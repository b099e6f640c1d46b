// File > Print: the listing's bytes for models with and without global strings, its name,
// and the cases in which it writes nothing.
#include "core/listing.h"

#include "core/store.h"
#include "platform/api/textfile.h"
#include "support/recording_view.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace kx;

namespace {

std::string content(const std::string& path) {
    std::string bytes;
    read_file_bytes(path, bytes);
    return bytes;
}

std::string crlf(const std::vector<std::string>& lines) {
    std::string s;
    for (const auto& l : lines) s += l + "\r\n";
    return s;
}

void put(page_record& r, int cell, const std::string& s) {
    for (size_t i = 0; i < s.size(); ++i) r.chars[cell + i] = static_cast<unsigned char>(s[i]);
}

// An empty project of a 20 x 2 model with n_lang languages and `pages` blank pages.
void shape(Project& p, const std::string& key, int n_lang, int pages) {
    p.kx_type = key;
    p.n_cols = 20;
    p.n_rows = 2;
    p.n_lang = static_cast<std::int16_t>(n_lang);
    p.last_page_idx = static_cast<std::int16_t>(pages - 1);
    for (int L = 0; L < n_lang; ++L)
        for (int pg = 0; pg < pages; ++pg) p.page_store[L][pg].chars.fill(32);
}

struct Listing : ::testing::Test {
    test::Started e;
    Project& p = e.p;
    std::string print(const std::string& project_name) {
        p.project_path = e.dir.file(project_name);
        e.prompt.answers = {kAnsYes};
        print_spool(e.c);
        return content(e.dir.file("proj.lst"));
    }
};

} // namespace

TEST_F(Listing, EveryKindOfContentByteForByte) {
    shape(p, "KXE_520", 2, 2);
    p.language_names[0] = "Italiano";
    p.language_names[1] = "English";
    page_record& it0 = p.page_store[0][0];
    put(it0, 0, "Temp");
    it0.chars[5] = 6;               // arrow glyphs are blanks in the listing
    it0.chars[19] = kCodeInvalid;   // any other code is its own byte
    for (int c : {10, 11, 13}) it0.chars[c] = kCodeVarDigit;
    it0.chars[12] = kCodeVarPoint;
    it0.links = {1, 0, 1, 0, 0};
    it0.var_count = 2;
    it0.set_var(1, {1, 0, 10, 3, 1, 100, 0, 999});
    it0.set_var(2, {0, 1, 22, 4, 0x42, 4096, 0, 65535});   // INT, read-only, 2 decimals and COM1
    for (int c : {22, 23, 24, 26, 27}) it0.chars[c] = kCodeVarDigit;
    it0.chars[25] = kCodeVarPoint;
    page_record& en0 = p.page_store[1][0];
    put(en0, 0, "Temp");
    en0.chars[10] = kCodeVarDigit;
    p.page_store[0][1].links = {1, 1, 0, 1, 0};
    p.n_strings = 3;
    p.global_strings[0][0] = "Allarme";
    p.global_strings[0][2] = "Fine";
    p.global_strings[1][0] = "Alarm";
    p.global_strings[1][1] = "It's";
    // The page on display holds an edit that is not in the store yet: the listing has it.
    p.act_page = 1;
    load_page(e.c, 1, 0);
    p.display_buffer[0] = 'Z';

    const std::string frame = "    +--------------------+";
    const std::string blank = "    |                    |";
    const std::vector<std::string> vars = {"VAR   EN  TYPE    POS DIG DEC ADDR  MIN_ADDR  MAX_ADDR",
                                           "01    R/W WORD    010 03  01  00100 00000     00999",
                                           "02    R_O INT     022 04  66  04096 00000     65535"};
    std::vector<std::string> lines = {
        "file:         " + e.dir.file("proj.prj"), "version:      2.8", "model:        KXE_520",
        "n. languages: 2", "n. pages:     2", "tot. pages    4", "n. strings    3", "tot. strings  6", "", "",
        "language 1    Italiano", "language 2    English"};
    auto section = [&](const std::string& title, const std::string& row0, const std::string& row1,
                       const std::string& links, bool with_vars) {
        for (const std::string& l : {std::string(), std::string(), "    Page n. " + title, frame, row0, row1, frame, links})
            lines.push_back(l);
        if (with_vars) lines.insert(lines.end(), vars.begin(), vars.end());
    };
    section("0 Italiano", "    |Temp      XX.X     \x82|", "    |  XXX.XX            |", "Links: 0001 0000 0001 0000", true);
    section("1 Italiano", "    |Z                   |", blank, "Links: 0001 0001 0000 0001", false);
    section("0 English", "    |Temp      X         |", blank, "Links: 0001 0000 0001 0000", true);
    section("1 English", blank, blank, "Links: 0001 0001 0000 0001", false);
    for (const char* l : {"", "", "string n. 000 Italiano 'Allarme'", "string n. 001 Italiano ''",
                          "string n. 002 Italiano 'Fine'", "", "string n. 000 English 'Alarm'",
                          "string n. 001 English 'It's'", "string n. 002 English ''", ""})
        lines.push_back(l);
    const std::string want = crlf(lines);
    EXPECT_EQ(print("proj.prj"), want);
    EXPECT_EQ(e.prompt.messages.at(0).text, "Stampa progetto sullo spool file " + e.dir.file("proj.lst") + "?");
    EXPECT_EQ(p.page_store[0][1].chars[0], 'Z');
    EXPECT_EQ(p.display_buffer[0], 'Z');
}

TEST_F(Listing, AModelWithoutGlobalStringsHasNoStringLines) {
    shape(p, "KXA_520", 1, 1);
    p.language_names[0] = "Deutsch";
    p.n_strings = 2;
    p.global_strings[0][0] = "nie gelistet";
    p.page_store[0][0].links = {0, 0, 0, 0, 0};
    load_page(e.c, 0, 0);
    const std::string frame = "    +--------------------+";
    const std::string blank = "    |                    |";
    EXPECT_EQ(print("proj"), crlf({"file:         " + e.dir.file("proj"), "version:      2.8",
                                   "model:        KXA_520", "n. languages: 1", "n. pages:     1",
                                   "tot. pages    1", "", "", "language 1    Deutsch", "", "",
                                   "    Page n. 0 Deutsch", frame, blank, blank, frame,
                                   "Links: 0000 0000 0000 0000", "", ""}));
}

TEST(ListingName, IsTheProjectNameUpToItsFirstDotWithTheListingExtension) {
    EXPECT_EQ(substitute("/data/plant", ".lst"), "/data/plant.lst");
    EXPECT_EQ(substitute("/data/plant.prj", ".lst"), "/data/plant.lst");
    EXPECT_EQ(substitute("C:\\proj.old\\a.prj", ".lst"), "C:\\proj.lst");
}

TEST_F(Listing, WritesNothingUnlessAskedAndNeverOverTheProject) {
    // Any answer but Yes.
    p.project_path = e.dir.file("proj.prj");
    for (int answer : {kAnsNo, kAnsCancel}) {
        e.prompt.answers = {answer};
        print_spool(e.c);
    }
    EXPECT_FALSE(std::filesystem::exists(e.dir.file("proj.lst")));

    // A project named like its own listing, or opened through a link to such a file.
    const std::string project = e.dir.file("proj.lst");
    std::ofstream(project, std::ios::binary) << "project";
    std::filesystem::create_symlink(project, e.dir.file("proj.prj"));
    for (const char* name : {"proj.lst", "proj.prj"}) {
        const int beeps = e.prompt.beeps;
        const size_t asked = e.prompt.messages.size();
        p.project_path = e.dir.file(name);
        print_spool(e.c);
        EXPECT_EQ(e.prompt.beeps, beeps + 1) << name;
        EXPECT_EQ(e.prompt.messages.size(), asked) << name;
    }
    EXPECT_EQ(content(project), "project");

    // A listing that cannot be written is reported and leaves nothing behind.
    std::filesystem::create_directory(e.dir.file("box.lst"));
    p.project_path = e.dir.file("box.prj");
    e.prompt.answers = {kAnsYes};
    print_spool(e.c);
    EXPECT_EQ(e.prompt.last_text().rfind("Errore 75: ", 0), 0u) << e.prompt.last_text();
    EXPECT_TRUE(std::filesystem::is_directory(e.dir.file("box.lst")));
}
