// The recipe file: the layout written, what is read back, what is refused, and the current
// recipe file kept between commands.
#include "core/recipefile.h"

#include "core/recipe_transfer.h"
#include "core/serial_rx.h"

#include "file_test_support.h"
#include "recipe_test_support.h"

#include <gtest/gtest.h>

namespace kx {
namespace {

using filetest::content;
using filetest::crlf;
using filetest::put;
using test::Fixture;

std::string bytes_of(const RecipeModel& m) {
    std::string out;
    FileError err;
    EXPECT_TRUE(recipe_file_bytes(m, "2.8", out, err)) << err.description;
    return out;
}

RecipeModel read_ok(const std::string& bytes) {
    RecipeModel m;
    FileError err;
    EXPECT_TRUE(parse_recipe_file(bytes, m, err)) << err.description;
    return m;
}

FileError read_refused(const std::string& bytes) {
    RecipeModel m;
    FileError err;
    EXPECT_FALSE(parse_recipe_file(bytes, m, err)) << bytes;
    return err;
}

const std::string kExample = crlf({"2.8  version", "    1  blk_tot", "    1  blk_len", "  256  blk_start",
                                   "0000 FFFF 82 SPEED   ", "block:     0  FIRST      0   0", "  150"});

// Two elements; used blocks in slots 0 and 3, free slots 1 and 2 in between with stale links.
RecipeModel two_blocks() {
    RecipeModel m;
    m.blk_start = 0x1234;
    m.blk_len = 2;
    m.recipe_elements[0] = {"TEMP", 0x84, 7, 65535};
    m.recipe_elements[1] = {"LONGNAME", 0, 0, 10};
    m.recipe_blocks[0] = {"ZETA    ", 3, 0, {}};
    m.recipe_blocks[0].values[0] = 65535;
    m.recipe_blocks[0].values[1] = 7;
    m.recipe_blocks[1].prev = m.recipe_blocks[1].next = 1;
    m.recipe_blocks[1].values[0] = 12;
    m.recipe_blocks[3] = {"ALPHA   ", 3, 0, {}};
    m.blk_tot = 2;
    return m;
}

TEST(RecipeFileLayout, TheExampleFileByteForByte) {
    RecipeModel m;
    m.blk_start = 256;
    m.blk_len = 1;
    m.blk_tot = 1;
    m.recipe_elements[0] = {"SPEED", 0x82, 0, 0xFFFF};
    m.recipe_blocks[0].name = "FIRST   ";
    m.recipe_blocks[0].values[0] = 150;
    EXPECT_EQ(bytes_of(m), kExample);
    const RecipeModel back = read_ok(kExample);
    EXPECT_EQ(back.recipe_elements[0].name, "SPEED   "); // names come back padded to 8
    EXPECT_EQ(bytes_of(back), kExample);
}

TEST(RecipeFileLayout, FreeSlotsLongNamesAndWidestValues) {
    const std::string expected =
        crlf({"2.8  version", "    2  blk_tot", "    2  blk_len", " 4660  blk_start", "0007 FFFF 84 TEMP    ",
              "0000 000A 00 LONGNAME", "block:     0  ZETA       3   0", "65535     7",
              "block:     1             1   1", "   12     0", "block:     2             0   0",
              "    0     0", "block:     3  ALPHA      3   0", "    0     0"});
    const std::string written = bytes_of(two_blocks());
    EXPECT_EQ(written, expected);

    // Read back and written again: the same bytes, so every field was read as written.
    EXPECT_EQ(bytes_of(read_ok(written)), written);

    // A name longer than 8 and line ends inside a name cannot break the layout.
    RecipeModel odd = two_blocks();
    odd.recipe_elements[1].name = "TOO\rLONG_NAME";
    const std::string odd_bytes = bytes_of(odd);
    EXPECT_NE(odd_bytes.find("0000 000A 00 TOO LONG\r\n"), std::string::npos);
    EXPECT_EQ(bytes_of(read_ok(odd_bytes)), odd_bytes);
}

// A set as a file holds it, without the writer's checks: blocks B000, B001, ... in slots 0,
// 1, ... linked in that order, each element 0..FFFF, every value 0.
std::string set_file(int blocks, int elements) {
    char line[64];
    std::vector<std::string> lines = {"2.8  version"};
    for (const auto& [n, key] : {std::pair{blocks, "blk_tot"}, {elements, "blk_len"}, {0, "blk_start"}}) {
        std::snprintf(line, sizeof line, "%5d  %s", n, key);
        lines.push_back(line);
    }
    lines.insert(lines.end(), elements, "0000 FFFF 00 E       ");
    std::string values;
    for (int i = 0; i < elements; ++i) values += i ? "     0" : "    0";
    for (int b = 0; b < blocks; ++b) {
        std::snprintf(line, sizeof line, "block: %5d  B%03d     %3d %3d", b, b, b ? b - 1 : 0,
                      b + 1 < blocks ? b + 1 : b);
        lines.insert(lines.end(), {line, values});
    }
    return crlf(lines);
}

// The reader takes exactly the sets of the size rule: at each limit (written with every field
// at its widths, read and written again to the same bytes), and one past it.
TEST(RecipeFileReader, TakesExactlyTheSetsOfTheSizeRule) {
    for (const auto& [blocks, elements] : test::kSetsAtTheLimits) {
        const RecipeModel m = test::recipe_set(blocks, elements);
        const RecipeModel back = read_ok(bytes_of(m));
        EXPECT_EQ(back.recipe_blocks, m.recipe_blocks) << blocks << " x " << elements;
        EXPECT_EQ(bytes_of(back), bytes_of(m));
    }
    for (const auto& [blocks, elements] : test::kSetsOnePast) {
        const FileError err = read_refused(set_file(blocks, elements));
        EXPECT_EQ(err.kind, FileError::Kind::Damaged) << blocks << " x " << elements;
        EXPECT_NE(err.description.find(std::to_string(blocks) + " blocks of "), std::string::npos)
            << err.description;
    }
}

TEST(RecipeFileReader, ReadsWhatTheLinesHoldAsTheyStand) {
    // The slot number of a header is not read; another version number is accepted; a flags
    // field without a blank after it ends the line; text where a number stands reads 0.
    const RecipeModel m =
        read_ok(crlf({"3.1  version", "    1  blk_tot", "    2  blk_len", "  abc  blk_start", "0000 0010 84",
                      "0001 0002 1 X", "block:    17  ONE        0   0", "    4    x"}));
    EXPECT_EQ(m.recipe_blocks[0].name, "ONE     ");
    EXPECT_EQ(m.blk_start, 0);
    EXPECT_EQ(m.recipe_elements[0].flags, 0x84);
    EXPECT_EQ(m.recipe_elements[0].name, "        ");
    EXPECT_EQ(m.recipe_elements[1].flags, 1);
    EXPECT_EQ(m.recipe_elements[1].name, "X       ");
    EXPECT_EQ(m.recipe_blocks[0].values[0], 4);
    EXPECT_EQ(m.recipe_blocks[0].values[1], 0);

    // Lines after the last used block are not read; a file without blocks needs none.
    EXPECT_EQ(read_ok(kExample + "anything\r\n").blk_tot, 1);
    EXPECT_EQ(read_ok(crlf({"2.8  version", "    0  blk_tot", "    1  blk_len", "    0  blk_start",
                            "0000 0000 00 "}))
                  .blk_tot,
              0);
}

TEST(RecipeFileReader, RefusesForeignDamagedAndHostileFiles) {
    using Kind = FileError::Kind;
    EXPECT_EQ(read_refused(crlf({"2.8 version", "    1  blk_tot"})).kind, Kind::Format);
    EXPECT_EQ(read_refused(crlf({"2.8  version", "    1 blk_tot"})).kind, Kind::Format);
    EXPECT_EQ(read_refused("").kind, Kind::Damaged);

    auto with = [](std::size_t line, const std::string& text) {
        std::vector<std::string> lines = {"2.8  version",   "    2  blk_tot",
                                          "    1  blk_len", "    0  blk_start",
                                          "0000 FFFF 00 E", "block:     0  A          0   1",
                                          "    1",          "block:     1  B          0   1",
                                          "    2"};
        if (line < lines.size()) lines[line] = text;
        return crlf(lines);
    };
    ASSERT_EQ(read_ok(with(99, "")).blk_tot, 2); // the file the cases below damage

    const std::pair<std::size_t, std::string> cases[] = {
        {1, "  201  blk_tot"}, // more blocks than the table holds
        {1, "   -1  blk_tot"},
        {2, "  201  blk_len"}, // more elements than a block holds
        {2, "   -1  blk_len"},
        {3, "65536  blk_start"},
        {4, "0000 FFFF 05 E"},  // decimal point 5
        {4, "0000 FFFF 100 E"}, // flags beyond their two digits
        {6, "65536"},           // a value beyond 16 bits
        {6, "   -1"},
        {5, "block:     0  A        300   1"}, // a link outside the table
        {5, "block:     0  A          1   1"}, // no head: A and B point at each other
        {7, "block:     1  B          1   1"}, // B does not link back to A
        {7, "block:     1  B          0   0"}, // the list turns back to A
        {5, "block:     0  A          0   0"}, // two lists of one block each
        {7, "block:     1             0   1"}, // a free slot on the list
    };
    for (const auto& [line, text] : cases) {
        const FileError err = read_refused(with(line, text));
        EXPECT_EQ(err.kind, Kind::Damaged) << text;
        EXPECT_FALSE(err.description.empty()) << text;
    }

    // The file ends early, at every line that is still needed.
    const std::string whole = with(99, "");
    for (std::size_t cut = whole.find("\r\n"); cut + 2 < whole.size(); cut = whole.find("\r\n", cut + 2))
        EXPECT_EQ(read_refused(whole.substr(0, cut + 2)).number, kErrPastEnd) << cut;

    // Free slots past the table's end before the announced blocks were found.
    std::vector<std::string> many = {"2.8  version", "    1  blk_tot", "    1  blk_len", "    0  blk_start",
                                     "0000 FFFF 00 E"};
    for (int s = 0; s < 210; ++s) many.insert(many.end(), {"block:     0             0   0", "    0"});
    EXPECT_EQ(read_refused(crlf(many)).kind, Kind::Damaged);
}

// Every field stands in fixed columns with blanks between: a field wider than its columns
// runs into the blank after it, and the file is refused rather than read with a field cut.
TEST(RecipeFileReader, RefusesFieldsThatRunIntoTheBlanksAfterThem) {
    const std::vector<std::string> lines = {"2.8  version",
                                            "    1  blk_tot",
                                            "    2  blk_len",
                                            "  256  blk_start",
                                            "0000 FFFF 00 E",
                                            "0001 0002 84 F",
                                            "block:     0  A          0   0",
                                            "    1     2"};
    auto with = [&](std::size_t line, const std::string& text) {
        std::vector<std::string> changed = lines;
        changed[line] = text;
        return crlf(changed);
    };
    const RecipeModel m = read_ok(crlf(lines));
    ASSERT_EQ(m.recipe_elements[1].max, 2);
    ASSERT_EQ(m.recipe_blocks[0].values[1], 2);

    const std::pair<std::size_t, std::string> refused[] = {
        {1, "000001 blk_tot"}, // counts: five columns, then two blanks
        {2, "000002  blk_len"},
        {3, "0000256  blk_start"},
        {4, "0000 1FFFF 00 E"}, // a maximum of five digits
        {4, "00000 FFFF 00 E"}, // a minimum of five digits
        {5, "0001 0002X84 F"},
        {5, "0001 0002 84 ABCDEFGHI"},           // an element name of nine characters
        {6, "block: 000000 A          0   0"},   // a slot number of six digits
        {6, "block:     0  ABCDEFGHI  0   0"},   // a name of nine characters
        {6, "block:     0  A        0000  0"},   // a previous block of four digits
        {6, "block:     0  A          0 00001"}, // the next block of five digits
        {7, "000001    2"},                      // a value of six digits
        {7, "    1X    2"},
        {7, "    1    200"}, // the last value of six digits
    };
    for (const auto& [line, text] : refused) {
        const FileError err = read_refused(with(line, text));
        EXPECT_EQ(err.kind, FileError::Kind::Damaged) << text;
        EXPECT_NE(err.description.find("line " + std::to_string(line + 1)), std::string::npos)
            << err.description;
    }
    // Lines that end before a blank, and blanks after the last field, are as written.
    for (const auto& [line, text] : std::vector<std::pair<std::size_t, std::string>>{
             {2, "2"}, {7, "    1     2 "}, {7, "    1"}, {6, "block:     0  A          0   0 "}})
        read_ok(with(line, text));
}

TEST(RecipeFileWriter, RefusesAModelItCouldNotReadBack) {
    std::string out;
    FileError err;
    RecipeModel m = two_blocks();
    m.blk_tot = 3; // only two named blocks
    EXPECT_FALSE(recipe_file_bytes(m, "2.8", out, err));
    m = two_blocks();
    m.recipe_blocks[3].values[1] = 70000;
    EXPECT_FALSE(recipe_file_bytes(m, "2.8", out, err));
    EXPECT_FALSE(recipe_file_bytes(two_blocks(), "2.10", out, err));
}

TEST(RecipeFileReader, SeedFilesKeepTheirOutcome) {
    int n = 0;
    for (const auto& [name, bytes] : filetest::seed_files("recipefile")) {
        RecipeModel m;
        FileError err;
        EXPECT_EQ(parse_recipe_file(bytes, m, err), name.rfind("ok_", 0) == 0)
            << name << ": " << err.description;
        ++n;
    }
    EXPECT_GE(n, 5);
}

// --- the current recipe file ---

struct RecipeFiles : ::testing::Test, Fixture {
    std::string setting() const { return settings.get("Ricette", "UltimoFile", "<none>"); }
};

const std::string kEmptyFile =
    crlf({"2.8  version", "    0  blk_tot", "    1  blk_len", "    0  blk_start", "0000 0000 00         "});

TEST_F(RecipeFiles, FirstUseAndNewCreateFreeNamesBesideTheLastFile) {
    open_recipe_file(c);
    EXPECT_EQ(p.recipe_path, dir.file("nuovaRicetta"));
    EXPECT_EQ(setting(), p.recipe_path);
    EXPECT_EQ(content(p.recipe_path), kEmptyFile);

    // The next recipe function finds that file and reads it.
    p.recipe.blk_tot = 9;
    open_recipe_file(c);
    EXPECT_EQ(p.recipe_path, dir.file("nuovaRicetta"));
    EXPECT_EQ(p.recipe.blk_tot, 0);

    new_recipe_file(c);
    EXPECT_EQ(p.recipe_path, dir.file("nuovaRicetta1"));
    new_recipe_file(c);
    EXPECT_EQ(p.recipe_path, dir.file("nuovaRicetta2"));
    EXPECT_EQ(setting(), dir.file("nuovaRicetta2"));
}

// With the program's folder not writable and no file remembered, new recipe files go to the
// user's documents, and a set read from the terminal is kept there.
TEST_F(RecipeFiles, WithTheProgramFolderLockedNewFilesGoToTheDocuments) {
    c.program_dir = dir.file("installed/missing"); // nothing can be made there
    c.documents_dir = dir.file("docs");
    std::filesystem::create_directories(c.documents_dir);
    open_recipe_file(c);
    EXPECT_TRUE(prompt.messages.empty()) << prompt.last_text();
    EXPECT_EQ(p.recipe_path, dir.file("docs/nuovaRicetta"));
    EXPECT_EQ(content(p.recipe_path), kEmptyFile);
    EXPECT_EQ(setting(), p.recipe_path);

    // Recipes > KX --> PC: a new name for the set, then Yes keeps it there.
    settings.save("Ricette", "UltimoFile", "");
    choose_recipe_file_name(c);
    EXPECT_EQ(p.recipe_path, dir.file("docs/nuovaRicetta1"));
    std::string line;
    for (const char* a : {"01010000", "0E", "0000FFFF", "ONE", "0000", "0007"}) line += frame_bytes(a);
    prompt.answers = {kAnsOk, kAnsYes};
    EXPECT_EQ(replay_recipe_upload(c, line), TransferOutcome::Ended);
    EXPECT_FALSE(p.recipe_modified) << prompt.last_text();
    open_recipe_file(c);
    EXPECT_EQ(p.recipe_path, dir.file("docs/nuovaRicetta1"));
    EXPECT_EQ(p.recipe.recipe_blocks[0].values[0], 7);
}

TEST_F(RecipeFiles, AMissingLastFileGivesANewFileWithNothingOfTheOldModel) {
    put(dir.file("mine"), bytes_of(two_blocks()));
    settings.save("Ricette", "UltimoFile", dir.file("mine"));
    open_recipe_file(c);
    ASSERT_EQ(p.recipe.blk_tot, 2);
    std::filesystem::remove(dir.file("mine"));
    open_recipe_file(c);
    EXPECT_EQ(p.recipe_path, dir.file("nuovaRicetta"));
    EXPECT_EQ(content(p.recipe_path), kEmptyFile);
    EXPECT_EQ(p.recipe.recipe_blocks[3].name, "");
    EXPECT_EQ(p.recipe.blk_start, 0);
}

TEST_F(RecipeFiles, ARefusedFileIsNeverOverwritten) {
    const std::string bad = crlf({"2.8  version", "    1  blk_tot", "    1  blk_len", "    0  blk_start",
                                  "0000 FFFF 00 E", "block:     0  A          0   7", "    1"});
    put(dir.file("theirs"), bad);
    settings.save("Ricette", "UltimoFile", dir.file("theirs"));
    open_recipe_file(c);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text, "Errore formato file ricetta!");
    EXPECT_EQ(content(dir.file("theirs")), bad);
    EXPECT_EQ(p.recipe_path, dir.file("nuovaRicetta"));
    EXPECT_EQ(content(p.recipe_path), kEmptyFile);
    EXPECT_EQ(setting(), p.recipe_path);

    // The same through Recipes > Read.
    p.ui_lang_offset = 1000;
    prompt.files.push_back(dir.file("theirs"));
    recipes_read(c);
    EXPECT_EQ(prompt.last_text(), "Recipe file format error!");
    EXPECT_EQ(content(dir.file("theirs")), bad);
    EXPECT_EQ(p.recipe_path, dir.file("nuovaRicetta1"));
    EXPECT_FALSE(p.recipe_modified);
}

TEST_F(RecipeFiles, AFailedWriteKeepsTheFileThePathAndTheSetting) {
    open_recipe_file(c);
    const std::string path = p.recipe_path;
    p.recipe = two_blocks();
    ASSERT_TRUE(write_recipe_file(c, path));
    const std::string saved = content(path);

    // Write As to a folder that does not exist; the dialog held a project file before.
    c.cdg_recipe.file_name = dir.file("project.prj");
    prompt.files.push_back(dir.file("no/such/folder/r"));
    recipes_write_as(c);
    EXPECT_EQ(prompt.beeps, 1);
    EXPECT_EQ(prompt.last_text().rfind("Errore 75: ", 0), 0u) << prompt.last_text();
    EXPECT_EQ(p.recipe_path, path);
    EXPECT_EQ(setting(), path);
    EXPECT_EQ(c.cdg_recipe.file_name, dir.file("project.prj")); // the dialog as before the command

    // A model the file cannot hold is not written over the good file.
    p.recipe.recipe_blocks[0].values[0] = 65536;
    EXPECT_FALSE(write_recipe_file(c, path));
    EXPECT_EQ(content(path), saved);
    EXPECT_EQ(setting(), path);
    for (const auto& e : std::filesystem::directory_iterator(dir.path))
        EXPECT_EQ(e.path().filename().string().find(kTempSuffix), std::string::npos) << e.path();
}

// A file picked by mistake is refused before it is read whole, and left as it is.
TEST_F(RecipeFiles, AForeignOrHugeFileIsRefusedBeforeItIsRead) {
    open_recipe_file(c);
    const std::string huge = dir.file("huge");
    put(huge, "2.8  version\r\n    1  blk_tot\r\n");
    std::filesystem::resize_file(huge, std::uintmax_t{1} << 30); // sparse
    prompt.files.push_back(huge);
    recipes_read(c);
    EXPECT_EQ(prompt.last_text().rfind("Errore 380: ", 0), 0u) << prompt.last_text();
    EXPECT_NE(prompt.last_text().find("too large"), std::string::npos) << prompt.last_text();
    EXPECT_EQ(std::filesystem::file_size(huge), std::uintmax_t{1} << 30);
    EXPECT_NE(p.recipe_path, huge);

    // The bound lies far above the largest file a model makes (every free slot written too).
    RecipeModel largest;
    largest.blk_len = kMaxRecipeElements;
    for (int i = 0; i < kMaxRecipeElements; ++i) largest.recipe_elements[i] = {"ELEMENT", 0, 0, 65535};
    test::RecipeBlocks blocks;
    for (int slot = kRecipeSlots - kMaxRecipeValues / kMaxRecipeElements; slot < kRecipeSlots; ++slot)
        blocks.emplace_back(slot, "B" + std::to_string(slot), std::vector<int>(kMaxRecipeElements, 65535));
    test::put_blocks(largest, blocks);
    for (int slot = 0; slot < kRecipeSlots; ++slot) largest.recipe_blocks[slot].values.fill(65535);
    const std::string written = bytes_of(largest);
    EXPECT_GT(written.size(), std::size_t{200} << 10);
    EXPECT_LT(written.size() * 10, kMaxRecipeFileBytes);

    put(huge, "\x7F"
              "ELF\x02\x01\x01");
    std::filesystem::resize_file(huge, std::uintmax_t{1} << 30);
    prompt.files.push_back(huge);
    recipes_read(c);
    EXPECT_EQ(prompt.last_text(), "Errore formato file ricetta!");
}

// Paths in questions and errors are shown in the interface's code page, and an error names
// the user's file.
TEST_F(RecipeFiles, PathsInQuestionsAndErrorsAsTheUserNamedThem) {
    open_recipe_file(c);
    const std::string folder = dir.file("Caff\xC3\xA8 \xD0\x9F");
    std::filesystem::create_directories(folder);
    put(folder + "/r", bytes_of(two_blocks()));
    prompt.files.push_back(folder + "/r");
    prompt.answers.push_back(kAnsNo);
    recipes_write_as(c);
    EXPECT_EQ(prompt.last_text(), "File " + dir.file("Caff\xE8 ?") + "/r esistente: sovrascrivi?");

    std::filesystem::create_directories(folder + "/box/inside"); // a folder where the file would go
    prompt.files.push_back(folder + "/box");
    recipes_write_as(c);
    EXPECT_EQ(prompt.last_text().rfind("Errore 75: ", 0), 0u) << prompt.last_text();
    EXPECT_NE(prompt.last_text().find(dir.file("Caff\xE8 ?") + "/box:"), std::string::npos)
        << prompt.last_text();
    EXPECT_EQ(prompt.last_text().find(kTempSuffix), std::string::npos) << prompt.last_text();
}

TEST_F(RecipeFiles, WriteAsAsksBeforeOverwritingAndReadTakesTheChosenFile) {
    open_recipe_file(c);
    put(dir.file("other"), bytes_of(two_blocks()));

    // Write As over an existing file: No keeps it.
    prompt.files.push_back(dir.file("other"));
    prompt.answers.push_back(kAnsNo);
    recipes_write_as(c);
    EXPECT_EQ(prompt.last_text(), "File " + dir.file("other") + " esistente: sovrascrivi?");
    EXPECT_EQ(content(dir.file("other")), bytes_of(two_blocks()));
    EXPECT_EQ(p.recipe_path, dir.file("nuovaRicetta"));

    prompt.files.push_back(dir.file("other"));
    recipes_read(c);
    EXPECT_EQ(p.recipe_path, dir.file("other"));
    EXPECT_EQ(setting(), dir.file("other"));
    EXPECT_EQ(p.recipe.blk_tot, 2);

    // Write As with Yes: the model under the new name, which becomes the current file.
    prompt.files.push_back(dir.file("copy"));
    recipes_write_as(c);
    EXPECT_EQ(content(dir.file("copy")), bytes_of(two_blocks()));
    EXPECT_EQ(p.recipe_path, dir.file("copy"));
    EXPECT_EQ(setting(), dir.file("copy"));

    // Cancel in the dialog ends the command silently.
    const auto shown = prompt.messages.size();
    recipes_read(c);
    recipes_write_as(c);
    EXPECT_EQ(prompt.messages.size(), shown);
}

TEST_F(RecipeFiles, TheSaveQuestionWritesOnlyOnYes) {
    open_recipe_file(c);
    p.recipe = two_blocks();
    EXPECT_TRUE(ask_save_recipe_file(c)); // nothing changed: no question
    EXPECT_TRUE(prompt.messages.empty());

    p.recipe_modified = true;
    prompt.answers.push_back(kAnsNo);
    EXPECT_TRUE(ask_save_recipe_file(c));
    EXPECT_TRUE(p.recipe_modified);
    EXPECT_EQ(content(p.recipe_path), kEmptyFile);

    prompt.answers.push_back(kAnsYes);
    EXPECT_TRUE(ask_save_recipe_file(c));
    EXPECT_FALSE(p.recipe_modified);
    EXPECT_EQ(content(p.recipe_path), bytes_of(two_blocks()));

    // Yes with a file that cannot be written: the changes are kept and the caller is told.
    p.recipe_modified = true;
    p.recipe_path = dir.file("no/such/folder/r");
    prompt.answers.push_back(kAnsYes);
    EXPECT_FALSE(ask_save_recipe_file(c));
    EXPECT_TRUE(p.recipe_modified);
}

} // namespace
} // namespace kx
