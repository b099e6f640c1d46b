// The recipe commands and their checked frames, and the upload's reading of what the
// terminal answers: the structure read by position, free slots, and answers out of range.
// Round trips against the simulator are in tests/comm/test_recipe_transfer_e2e.cpp.
#include <gtest/gtest.h>

#include "../support/recording_view.h"
#include "core/recipe_transfer.h"
#include "core/serial_rx.h"
#include "recipe_test_support.h"

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

namespace {

// What a terminal that holds `m` answers to the upload's requests, in order.
std::string answers_for(const RecipeModel& m) {
    auto frame = [](const std::string& text) { return frame_bytes(text); };
    auto name8 = [](std::string name) { return name.resize(kRecipeNameLen, ' '), name; };
    std::string bytes = frame(hex_field(m.blk_tot, 2) + hex_field(m.blk_len, 2) + hex_field(m.blk_start, 4));
    for (int i = 0; i < m.blk_len; ++i) {
        const recipe_element& e = m.recipe_elements[i];
        const char point = static_cast<char>(('0' + (e.flags & 0x7F)) | (e.flags & kRecipeOmrHex));
        bytes += frame(point + name8(e.name)) + frame(hex_field(e.min, 4) + hex_field(e.max, 4));
    }
    for (int b = 0, named = 0; named < m.blk_tot && b < kRecipeSlots; ++b) {
        const recipe_block& blk = m.recipe_blocks[b];
        bytes += frame(name8(blk.name)) + frame(hex_field(blk.prev, 2) + hex_field(blk.next, 2));
        for (int i = 0; i < m.blk_len; ++i) bytes += frame(hex_field(blk.values[i], 4));
        named += blk.name.empty() ? 0 : 1;
    }
    return bytes;
}

} // namespace

// Download and upload take exactly the sets of the size rule: at each limit, and one past.
TEST(RecipeTransfers, TakeExactlyTheSetsOfTheSizeRule) {
    for (const bool legal : {true, false}) {
        for (const auto& [blocks, elements] : legal ? test::kSetsAtTheLimits : test::kSetsOnePast) {
            const std::string what = std::to_string(blocks) + " blocks of " + std::to_string(elements);
            test::Started d;
            d.p.recipe = test::recipe_set(blocks, elements);
            test::AnsweringLink link(d.p);
            TransferPanel panel;
            EXPECT_EQ(run_recipe_download(d.c, link, panel) == TransferOutcome::Ended, legal) << what;
            EXPECT_EQ(link.sent.empty(), !legal) << what;
            const std::string said =
                legal ? "eseguito con successo" : "Errore 9: Subscript out of range (" + what;
            EXPECT_NE(d.prompt.last_text().find(said), std::string::npos) << d.prompt.last_text();

            test::Started u;
            u.prompt.answers = {kAnsOk, kAnsNo};
            EXPECT_EQ(replay_recipe_upload(u.c, answers_for(d.p.recipe)) == TransferOutcome::Ended, legal);
            EXPECT_EQ(u.prompt.messages.size(), legal ? 2u : 1u) << what; // the save question only then
            EXPECT_TRUE(!legal || u.p.recipe.recipe_blocks == d.p.recipe.recipe_blocks) << what;
            EXPECT_NE(u.prompt.last_text().find(legal ? "" : what), std::string::npos)
                << u.prompt.last_text();
        }
    }
}

// An upload that ends early asks to save only a set that can be written: one whose block
// list is incomplete is not offered (it could not be written).
TEST(RecipeUpload, ASetCutShortIsOfferedOnlyWhenItCanBeWritten) {
    const std::string whole = answers_for(test::recipe_set(50, 2));
    const std::size_t first_block = 1 + 2 * 2 + 2 + 2; // "c", two elements, block 0 with its values
    std::size_t cut = 0;
    for (std::size_t k = 0; k < first_block; ++k) cut = whole.find('\x03', cut) + 1;
    test::Started u;
    u.prompt.answers = {kAnsYes};
    EXPECT_EQ(replay_recipe_upload(u.c, whole.substr(0, cut)), TransferOutcome::Ended);
    EXPECT_TRUE(u.prompt.messages.empty()) << u.prompt.last_text();

    // Cut among the elements of a set without blocks: what arrived can be kept.
    const std::string no_blocks = answers_for(test::recipe_set(0, 3));
    test::Started v;
    v.p.recipe_path = v.dir.file("kept");
    v.prompt.answers = {kAnsYes};
    EXPECT_EQ(replay_recipe_upload(v.c, no_blocks.substr(0, no_blocks.size() / 2)), TransferOutcome::Ended);
    ASSERT_EQ(v.prompt.messages.size(), 1u);
    EXPECT_EQ(v.prompt.last_text(), "Salva modifiche a file di ricette " + v.p.recipe_path + " ?");
    EXPECT_FALSE(v.p.recipe_modified);
}
