// The two recipe editors without their windows, driven as a user drives them, with the
// prompts scripted: the structure editor's grid, boxes and line commands, and the data
// editor's blocks, values and list commands.
#include "core/recipe_config.h"
#include "core/recipe_data.h"
#include "core/recipefile.h"

#include "file_test_support.h"
#include "recipe_test_support.h"

#include <gtest/gtest.h>

namespace kx {
namespace {

struct Recipes : ::testing::Test, test::Fixture {
    // A recipe file with elements (name, flags, min, max) and blocks (slot, name, values),
    // linked in name order, made the current file.
    void current_file(const std::vector<recipe_element>& elements, const test::RecipeBlocks& blocks) {
        RecipeModel& m = p.recipe;
        init_recipe_data(m);
        m.blk_len = static_cast<int>(elements.size());
        std::copy(elements.begin(), elements.end(), m.recipe_elements.begin());
        test::put_blocks(m, blocks);
        ASSERT_TRUE(write_recipe_file(c, dir.file("current")));
        init_recipe_data(m); // the editors must read it from the file
    }
    std::string file() const { return filetest::content(dir.file("current")); }
    // The editors as a recipe function opens them: loaded from the current file.
    RecipeConfig config() {
        RecipeConfig g(c);
        g.load();
        return g;
    }
    RecipeData data() {
        RecipeData d(c);
        d.load();
        return d;
    }
    std::vector<std::string> column(const RecipeConfig& g, int col) const {
        std::vector<std::string> out;
        for (std::size_t r = 1; r < g.grid.size(); ++r) out.push_back(g.grid[r][col]);
        return out;
    }
};

using Strings = std::vector<std::string>;

TEST_F(Recipes, StructureEditorShowsTheFileAndSavesTheGrid) {
    current_file({{"SPEED   ", 0x82, 10, 500}, {"MODE    ", 0, 0, 3}}, {{0, "A", {20, 1}}});
    RecipeConfig g = config();
    EXPECT_EQ(g.grid[1], (RecipeConfig::Row{"0", "SPEED   ", "2", "10", "500", "OMR_HEX"}));

    // The base address in hexadecimal; in DEC mode in decimal.
    p.recipe.blk_start = 0;
    g.base_addr = "1A0";
    g.store();
    EXPECT_EQ(p.recipe.blk_start, 0x1A0);
    p.num_mode = "DEC";
    g.load_grid();
    EXPECT_EQ(g.base_addr, "416");

    // Edit a name, a maximum and a type, then Save: the file holds the grid.
    ASSERT_TRUE(g.start_edit(2, RecipeConfig::ColName));
    g.end_edit("FAN", false);
    ASSERT_TRUE(g.start_edit(2, RecipeConfig::ColMax));
    g.end_edit("", false); // an empty number is 0
    EXPECT_FALSE(g.start_edit(2, RecipeConfig::ColType));
    EXPECT_TRUE(p.recipe_modified);
    ASSERT_TRUE(g.save());
    EXPECT_FALSE(p.recipe_modified);
    EXPECT_NE(file().find("0000 0000 80 FAN     \r\n"), std::string::npos) << file();
    EXPECT_NE(file().find("  416  blk_start"), std::string::npos);
}

TEST_F(Recipes, CellEditorsStoreWhereEditingBegan) {
    current_file({{"A", 0, 0, 9}, {"B", 0, 0, 9}}, {});
    RecipeConfig g = config();
    ASSERT_TRUE(g.start_edit(1, RecipeConfig::ColMin));
    EXPECT_FALSE(g.start_edit(2, RecipeConfig::ColMin)); // one cell at a time
    g.cur_row = 2;                                       // the user clicked elsewhere meanwhile
    g.end_edit("7", false);
    EXPECT_EQ(column(g, RecipeConfig::ColMin), (Strings{"7", "0"}));
    // Neither the id column nor the headings open an editor.
    EXPECT_FALSE(g.start_edit(1, RecipeConfig::ColId));
    EXPECT_FALSE(g.start_edit(0, RecipeConfig::ColName));
    EXPECT_FALSE(g.editing());
}

TEST_F(Recipes, BoxesCheckTheirWholeTextOnEveryChange) {
    struct Case {
        RecipeBox box;
        bool hex;
        std::string text;
        std::optional<std::string> kept;
    };
    const Case cases[] = {
        {RecipeBox::BaseAddr, true, "1FFF", "1FFF"},
        {RecipeBox::BaseAddr, true, "1FFFF", std::nullopt}, // the fifth digit passes 65535
        {RecipeBox::BaseAddr, true, "G", std::nullopt},
        {RecipeBox::BaseAddr, false, "1A", std::nullopt},
        {RecipeBox::Dot, false, "4", "4"},
        {RecipeBox::Max, false, "99999999999", std::nullopt},
        {RecipeBox::Max, false, "-1", std::nullopt},
        {RecipeBox::Min, false, "", ""},
        {RecipeBox::Name, false, "NINECHARS", "NINECHAR"},
        {RecipeBox::Name, false, "ab cd", "ab cd"},
    };
    for (const Case& k : cases) EXPECT_EQ(recipe_box_text(k.box, k.text, k.hex), k.kept) << k.text;

    RecipeConfig g = config();
    EXPECT_EQ(g.box_changed(RecipeBox::Min, "6553", "65536"), "6553");
    EXPECT_TRUE(p.recipe_modified);
    g.base_addr_done("");
    EXPECT_EQ(g.base_addr, "0");
}

TEST_F(Recipes, LineCommandsShiftTheValuesOfEveryBlock) {
    current_file({{"A", 0, 0, 99}, {"B", 0x80, 0, 99}, {"C", 0, 0, 99}},
                 {{0, "X", {10, 20, 30}}, {3, "Y", {1, 2, 3}}});
    RecipeConfig g = config();

    // Delete row 2 (OMR_HEX): ids renumbered, the other values stay with their elements.
    g.cur_row = 2;
    g.delete_line();
    EXPECT_EQ(column(g, RecipeConfig::ColId), (Strings{"0", "1"}));
    EXPECT_EQ(column(g, RecipeConfig::ColType), (Strings{"WORD", "WORD"}));
    EXPECT_EQ(column(g, RecipeConfig::ColName), (Strings{"A       ", "C       "}));
    EXPECT_EQ(g.cur_row, 2);

    // Insert at row 1: a new element 0 with value 0 in every block.
    g.cur_row = 1;
    g.insert_line();
    EXPECT_EQ(g.grid[1], (RecipeConfig::Row{"0", "", "0", "0", "0", "WORD"}));
    EXPECT_EQ(column(g, RecipeConfig::ColId), (Strings{"0", "1", "2"}));
    EXPECT_EQ(g.n_elem, "3");

    // Append: a last element with 0 in every block; Save writes the shifted blocks.
    p.recipe.recipe_blocks[3].values[3] = 77;
    g.append_line();
    EXPECT_EQ(g.cur_row, 4);
    EXPECT_EQ(p.recipe.recipe_blocks[3].values[3], 0);
    ASSERT_TRUE(g.save());
    EXPECT_NE(file().find("\r\n    0     1     3     0\r\n"), std::string::npos) << file();

    // Delete the last line: the line before becomes current.
    g.cur_row = 4;
    g.delete_line();
    EXPECT_EQ(g.cur_row, 3);
    // Down to one element: a further Delete beeps and changes nothing.
    g.delete_line();
    g.delete_line();
    const auto one = g.grid;
    g.delete_line();
    EXPECT_EQ(prompt.beeps, 1);
    EXPECT_EQ(g.grid, one);
    EXPECT_EQ(p.recipe.blk_len, 1);
}

TEST_F(Recipes, ElementLimitFollowsTheBlockCount) {
    test::RecipeBlocks blocks;
    for (int k = 0; k < 60; ++k) blocks.emplace_back(k, "B" + std::to_string(100 + k), std::vector<int>{});
    current_file({{"E", 0, 0, 1}}, blocks);
    RecipeConfig g = config();
    while (g.grid.size() < 167 && prompt.beeps == 0) g.append_line();
    EXPECT_EQ(prompt.beeps, 0);
    EXPECT_EQ(g.n_elem, "166");
    g.append_line();
    g.insert_line();
    EXPECT_EQ(prompt.beeps, 2);
    EXPECT_EQ(g.n_elem, "166");
    EXPECT_EQ(p.recipe.blk_len, 166);
}

TEST_F(Recipes, StructureEditorAsksOnClosing) {
    current_file({{"E", 0, 0, 1}}, {});
    const std::string before = file();
    RecipeConfig g = config();
    EXPECT_TRUE(g.close_question()); // nothing changed: no question
    EXPECT_TRUE(prompt.messages.empty());

    g.append_line();
    prompt.answers.push_back(kAnsNo);
    EXPECT_TRUE(g.close_question());
    // The next recipe function reloads the file: the appended line is gone.
    g.load();
    EXPECT_EQ(g.n_elem, "1");

    g.append_line();
    prompt.answers.push_back(kAnsYes);
    EXPECT_TRUE(g.close_question());
    EXPECT_NE(file().find("    2  blk_len"), std::string::npos);

    // Yes with a file that cannot be written: the window stays open.
    g.append_line();
    p.recipe_path = dir.file("missing Caff\xC3\xA8/r");
    prompt.answers.push_back(kAnsYes);
    const std::size_t asked = prompt.messages.size();
    EXPECT_FALSE(g.close_question());
    EXPECT_TRUE(p.recipe_modified);
    // The question shows the name in the interface's code page, as every message does.
    EXPECT_EQ(prompt.messages.at(asked).text,
              "Salva Modifiche a file di ricette " + dir.file("missing Caff\xE8/r"));
}

// --- the data editor ---

TEST_F(Recipes, DataEditorShowsBlocksInNameOrder) {
    current_file({{"SPEED   ", 0x81, 5, 500}, {"MODE    ", 0x80, 0, 3}},
                 {{4, "B", {100, 2}}, {9, "A", {50, 1}}, {2, "C", {7, 0}}});
    RecipeData d = data();
    EXPECT_EQ(d.current(), 9);
    EXPECT_EQ(d.rows()[0], (RecipeData::Row{"50", "SPEED   ", "0", "5", "500", "1", "OMR_HEX"}));
    d.prev(); // at the head: nothing
    EXPECT_EQ(d.current(), 9);
    d.next();
    EXPECT_EQ(d.current(), 4);
    d.end();
    EXPECT_EQ(d.current(), 2);
    d.next(); // at the tail: nothing
    EXPECT_EQ(d.current(), 2);
    d.home();
    EXPECT_EQ(d.current(), 9);
    EXPECT_FALSE(p.recipe_modified);
}

TEST_F(Recipes, ValuesAreCheckedAgainstTheirElement) {
    current_file({{"A", 0, 5, 12}, {"B", 0, 0, 13}}, {{0, "X", {5, 0}}});
    RecipeData d = data();
    for (const char* bad : {"12.7", "4", "", "1e9", "-3"}) EXPECT_FALSE(d.edit_value(0, bad)) << bad;
    EXPECT_EQ(d.rows()[0][RecipeData::ColValue], "5");
    EXPECT_FALSE(p.recipe_modified);
    EXPECT_TRUE(d.edit_value(1, "12.7"));
    EXPECT_FALSE(d.edit_value(2, "1")); // no such element
    ASSERT_TRUE(d.save());
    EXPECT_NE(file().find("\r\n    5    12\r\n"), std::string::npos) << file();
}

TEST_F(Recipes, InsertAsksForAFreeNameAndFillsTheMinima) {
    current_file({{"A", 0, 3, 9}, {"B", 0, 4, 9}}, {{0, "A", {9, 9}}, {1, "C", {9, 9}}});
    RecipeData d = data();
    prompt.inputs.push_back("b");
    d.insert();
    EXPECT_EQ(d.current(), 2);
    EXPECT_EQ(d.rows()[1][RecipeData::ColValue], "4");

    // A name that exists: message 10113, the block shown stays.
    prompt.inputs.push_back("C");
    d.insert();
    EXPECT_EQ(prompt.last_text(), "Errore: Nome Blocco gia` Presente");
    EXPECT_EQ(d.current(), 2);

    // Blanks only, OK to try again, a name longer than 8 is cut.
    prompt.inputs.push_back("   ");
    prompt.answers.push_back(kAnsOk);
    prompt.inputs.push_back("LONGERNAME");
    d.insert();
    EXPECT_EQ(prompt.messages[1].text, "Errore: Nome Blocco Vuoto");
    EXPECT_EQ(d.block_name(), "LONGERNA");

    // Cancel in the input box, then Cancel in the message: nothing added, a beep.
    const int beeps = prompt.beeps, tot = p.recipe.blk_tot;
    prompt.answers.push_back(kAnsCancel);
    d.insert();
    EXPECT_EQ(prompt.beeps, beeps + 1);
    EXPECT_EQ(p.recipe.blk_tot, tot);
}

TEST_F(Recipes, BlockLimitAndDeleteOfTheLastBlock) {
    std::vector<recipe_element> elements(64, recipe_element{"E", 0, 0, 1});
    test::RecipeBlocks blocks;
    for (int k = 0; k < 156; ++k) blocks.emplace_back(k, "B" + std::to_string(1000 + k), std::vector<int>{});
    current_file(elements, blocks);
    RecipeData d = data();
    d.insert(); // 10000 / 64 = 156 blocks: a beep, no question
    EXPECT_EQ(prompt.beeps, 1);
    EXPECT_TRUE(prompt.input_prompts.empty());

    current_file({{"A", 0, 0, 9}}, {{5, "ONLY", {}}});
    d.load();
    d.remove();
    EXPECT_EQ(prompt.beeps, 2);
    EXPECT_EQ(p.recipe.blk_tot, 1);
    EXPECT_FALSE(p.recipe_modified);
}

TEST_F(Recipes, GoToRefusesNumbersOutsideTheUsedSlots) {
    current_file({{"A", 0, 0, 9}}, {{0, "A", {}}, {2, "B", {}}, {5, "C", {}}});
    RecipeData d = data();
    const std::pair<const char*, const char*> cases[] = {
        {"6", "Numero Ricetta Errato"},    {"-1", "Numero Ricetta Errato"},
        {"-0.5", "Numero Ricetta Errato"}, {"x", "Numero Ricetta Errato"},
        {"", "Numero Ricetta Errato"},     {"1", "Ricetta con questo Numero Cancellata"},
    };
    for (const auto& [typed, message] : cases) {
        prompt.inputs.push_back(std::string(typed));
        d.go_to();
        EXPECT_EQ(prompt.last_text(), message) << typed;
        EXPECT_EQ(d.current(), 0) << typed;
    }
    d.go_to(); // Cancel in the input box
    EXPECT_EQ(prompt.beeps, 7);
    prompt.inputs.push_back("5.9");
    d.go_to();
    EXPECT_EQ(d.current(), 5);
}

TEST_F(Recipes, OrderRenumbersAfterTheWarning) {
    current_file({{"A", 0, 0, 9}}, {{4, "B", {2}}, {9, "A", {1}}});
    RecipeData d = data();
    prompt.answers.push_back(kAnsCancel);
    d.order();
    EXPECT_EQ(prompt.messages.back().buttons, kOkCancel);
    EXPECT_EQ(d.current(), 9);
    EXPECT_FALSE(p.recipe_modified);

    prompt.answers.push_back(kAnsOk);
    d.order(); // the renumbering itself is in test_recipe.cpp
    EXPECT_EQ(d.current(), 0);
    EXPECT_EQ(d.block_name(), "A       ");
    EXPECT_TRUE(p.recipe_modified);

    current_file({{"A", 0, 0, 9}}, {});
    d.load();
    d.order();
    EXPECT_EQ(prompt.beeps, 1);
}

} // namespace
} // namespace kx
