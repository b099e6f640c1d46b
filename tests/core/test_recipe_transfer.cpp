// The recipe commands and their checked frames, and the upload's reading of what the
// terminal answers: the structure read by position, free slots, and answers out of range.
// Round trips against the simulator are in tests/comm/test_recipe_transfer_e2e.cpp.
#include <gtest/gtest.h>

#include "../support/recording_view.h"
#include "core/recipe_transfer.h"
#include "core/serial_rx.h"

using namespace kx;

// The fields, their checks and framing bytes in names go to the simulator in the
// end-to-end round trip; a name it cannot hold is cut here.
TEST(RecipeCommands, NamesAreCutToEightCharacters) {
    RecipeModel m;
    m.recipe_elements[5] = {"LONGERNAME", 1, 0, 0xFFFF};
    EXPECT_EQ(recipe_cmd_element(m, 5), "E051LONGERNA");
    m.recipe_blocks[0].name = "LONGERNAME";
    EXPECT_EQ(recipe_cmd_name(m, 0), "N00LONGERNA");
}

namespace {

// The terminal's answers to the upload's requests, in order: 2 blocks of 2 elements at
// 0x0100; element 0 (OMR_HEX with 2 decimals, named "AB") and element 1; slot 0 free but
// still read, slot 1 the head, slot 2 the tail.
struct Upload : test::Started {
    std::vector<std::string> answers = {"02020100", "\xB2" + std::string("AB"),
                                        "00000010", "3XY",
                                        "00050FFF", "        ",
                                        "0000",     "0000",
                                        "0000",     "ONE",
                                        "0102",     "0007",
                                        "0008",     "TWO",
                                        "0102",     "0009",
                                        "000A"};
    TransferOutcome run() {
        std::string bytes;
        for (const std::string& a : answers) bytes += frame_bytes(a);
        prompt.answers = {kAnsOk, kAnsNo};
        return replay_recipe_upload(c, bytes);
    }
};

} // namespace

TEST(RecipeUpload, AnswersAreReadByPositionIntoTheModel) {
    Upload u;
    u.p.recipe.recipe_blocks[7].name = "OLD     "; // an earlier file's block does not survive
    EXPECT_EQ(u.run(), TransferOutcome::Ended);
    const RecipeModel& m = u.p.recipe;
    EXPECT_EQ(m.blk_tot, 2);
    EXPECT_EQ(m.recipe_elements[0], (recipe_element{"AB      ", 130, 0, 16}));
    EXPECT_EQ(m.recipe_blocks[0].name, "");
    EXPECT_EQ(m.recipe_blocks[2].values[1], 10);
    EXPECT_EQ(m.recipe_blocks[7].name, "");
    EXPECT_EQ(recipe_model_fault(m), "");
    // Success, then the save question; No keeps the changes in memory only.
    ASSERT_EQ(u.prompt.messages.size(), 2u);
    EXPECT_EQ(u.prompt.messages[0].text, "Trasferimento eseguito con successo");
    EXPECT_TRUE(u.p.recipe_modified);
    EXPECT_TRUE(u.p.port_idle);
}

TEST(RecipeUpload, AnswersOutOfRangeAreRunTimeErrors) {
    const std::vector<std::pair<int, std::string>> cases = {
        {0, "C9020100"},                           // 201 blocks
        {0, "01000100"},                           // no element
        {0, "64C80000"},                           // 100 x 200 values
        {0, "0202"},                               // too short
        {1, "XAB"},                                // a decimal point that is no digit
        {1, "5AB"},                                // or beyond 4
        {1, ""},         {2, "0000"}, {6, "FF00"}, // a previous slot outside the table
        {7, "00"},
    };
    for (const auto& [at, text] : cases) {
        Upload u;
        u.answers[at] = text;
        EXPECT_EQ(u.run(), TransferOutcome::Failed) << text;
        ASSERT_EQ(u.prompt.messages.size(), 1u) << text; // no save question
        EXPECT_EQ(u.prompt.messages[0].text.rfind("Errore ", 0), 0u) << u.prompt.messages[0].text;
        EXPECT_TRUE(u.p.port_idle);
    }
    // Named blocks fewer than announced: the slots run out instead of the walk going on.
    Upload u;
    u.answers[0] = "03020100";
    for (int s = 3; s < 210; ++s)
        for (const char* a : {"        ", "0000", "0000", "0000"}) u.answers.push_back(a);
    EXPECT_EQ(u.run(), TransferOutcome::Failed);
    EXPECT_EQ(u.prompt.messages.at(0).text,
              "Errore 9: Subscript out of range (fewer named blocks than the block count)");
}
