// The recipe model: value-column shifts, limits, and the block list in name order.
#include "core/recipe.h"

#include "recipe_test_support.h"

#include <gtest/gtest.h>

namespace kx {
namespace {

// A model of `len` elements with the given blocks linked in name order.
RecipeModel model(int len, const test::RecipeBlocks& blocks) {
    RecipeModel m;
    m.blk_len = len;
    test::put_blocks(m, blocks);
    return m;
}

std::vector<int> values(const RecipeModel& m, int slot, int n) {
    return {m.recipe_blocks[slot].values.begin(), m.recipe_blocks[slot].values.begin() + n};
}

// Names along the list, trailing blanks dropped.
std::string names(const RecipeModel& m) {
    std::string s;
    for (int slot : recipe_list(m)) {
        std::string n = m.recipe_blocks[slot].name;
        n.erase(n.find_last_not_of(' ') + 1);
        s += (s.empty() ? "" : ",") + n;
    }
    return s;
}

TEST(RecipeColumns, InsertAndDeleteShiftEveryBlockButNoFreeSlot) {
    RecipeModel m = model(3, {{0, "A", {10, 20, 30}}, {4, "B", {1, 2, 3}}});
    m.recipe_blocks[2].values = {7, 7, 7}; // a free slot is not touched

    RecipeModel ins = m;
    ins.blk_len = 4;
    insert_recipe_config_line(ins, 1);
    EXPECT_EQ(values(ins, 0, 4), (std::vector<int>{0, 10, 20, 30}));
    EXPECT_EQ(values(ins, 4, 4), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(values(ins, 2, 4), (std::vector<int>{7, 7, 7, 0}));

    RecipeModel del = m;
    del.blk_len = 2;
    delete_recipe_config_line(del, 2);
    EXPECT_EQ(values(del, 0, 3), (std::vector<int>{10, 30, 30})); // the slot after keeps its value
    EXPECT_EQ(values(del, 4, 3), (std::vector<int>{1, 3, 3}));

    // Append clears a stale value in the new column: driven through the editor in
    // test_recipe_editors.cpp.
    // Rows and indexes outside the table change nothing and stay inside it.
    RecipeModel out = m;
    insert_recipe_config_line(out, 0);
    insert_recipe_config_line(out, 250);
    delete_recipe_config_line(out, -3);
    append_recipe_config_line(out, 201);
    EXPECT_EQ(out, m);
}

TEST(RecipeLimits, NoBlocksOrNoElementsDivideNothing) {
    RecipeModel m; // blk_len and blk_tot 0
    EXPECT_EQ(recipe_element_limit(m), 200);
    EXPECT_EQ(recipe_block_limit(m), 200);
}

// One rule for the size of a set, each limit from both sides; the editors' limits stop
// exactly where the rule does.
TEST(RecipeLimits, OneRuleForTheSizeOfASet) {
    for (const auto& [blocks, elements] : test::kSetsAtTheLimits)
        EXPECT_EQ(recipe_size_fault(blocks, elements), "");
    for (const auto& [blocks, elements] : test::kSetsOnePast)
        EXPECT_EQ(recipe_size_fault(blocks, elements).rfind(std::to_string(blocks) + " blocks of ", 0), 0u);
    EXPECT_NE(recipe_size_fault(-1, 1), "");

    RecipeModel m;
    for (m.blk_tot = 0; m.blk_tot <= kMaxRecipeBlocks; ++m.blk_tot) {
        const int n = recipe_element_limit(m);
        EXPECT_EQ(recipe_size_fault(m.blk_tot, n), "") << m.blk_tot;
        EXPECT_TRUE(n == kMaxRecipeElements || recipe_size_fault(m.blk_tot, n + 1) != "") << m.blk_tot;
    }
    for (m.blk_len = 1; m.blk_len <= kMaxRecipeElements; ++m.blk_len) {
        const int n = recipe_block_limit(m);
        EXPECT_EQ(recipe_size_fault(n, m.blk_len), "") << m.blk_len;
        EXPECT_TRUE(n == kMaxRecipeBlocks || recipe_size_fault(n + 1, m.blk_len) != "") << m.blk_len;
    }
}

TEST(RecipeList, LinksNewBlocksInNameOrder) {
    RecipeModel m;
    m.blk_len = 2;
    m.recipe_elements[0].min = 5;
    m.recipe_elements[1].min = 9;
    int slot = -1;
    // The first block: slot 0, pointing to itself both ways, holding the minima.
    ASSERT_EQ(link_recipe_block(m, blank_or_pad8("C"), slot), LinkResult::Linked);
    EXPECT_EQ(slot, 0);
    EXPECT_EQ(m.recipe_blocks[0].prev, 0);
    EXPECT_EQ(m.recipe_blocks[0].next, 0);
    EXPECT_EQ(values(m, 0, 2), (std::vector<int>{5, 9}));

    for (const char* n : {"A", "B", "Z", "0", "a", "B1"})
        ASSERT_EQ(link_recipe_block(m, blank_or_pad8(n), slot), LinkResult::Linked) << n;
    EXPECT_EQ(names(m), "0,A,B,B1,C,Z,a"); // digits first, lower case after upper case
    EXPECT_EQ(m.blk_tot, 7);
    EXPECT_EQ(recipe_model_fault(m), "");

    const RecipeModel before = m;
    EXPECT_EQ(link_recipe_block(m, blank_or_pad8("A"), slot), LinkResult::Duplicate);
    EXPECT_EQ(link_recipe_block(m, blank_or_pad8("a"), slot), LinkResult::Duplicate);
    EXPECT_EQ(m, before);

    // A name with a leading blank sorts before every printable one.
    ASSERT_EQ(link_recipe_block(m, blank_or_pad8(" Q"), slot), LinkResult::Linked);
    EXPECT_EQ(recipe_list(m).front(), slot);
}

TEST(RecipeList, UnlinksHeadMiddleAndTail) {
    RecipeModel m = model(1, {{3, "A", {}}, {1, "B", {}}, {6, "C", {}}, {0, "D", {}}});
    EXPECT_EQ(unlink_recipe_block(m, 1), 6); // middle: its successor is shown
    EXPECT_EQ(names(m), "A,C,D");
    EXPECT_EQ(unlink_recipe_block(m, 3), 6); // head: the successor becomes the head
    EXPECT_EQ(m.recipe_blocks[6].prev, 6);
    EXPECT_EQ(unlink_recipe_block(m, 0), 6); // tail: the predecessor becomes the tail
    EXPECT_EQ(m.recipe_blocks[6].next, 6);
    EXPECT_EQ(m.blk_tot, 1);
    EXPECT_EQ(recipe_model_fault(m), "");
    // The last block stays; a free slot is no block to delete.
    EXPECT_EQ(unlink_recipe_block(m, 6), -1);
    EXPECT_EQ(unlink_recipe_block(m, 3), -1);
    EXPECT_EQ(names(m), "C");
}

TEST(RecipeList, RenumbersSlotsInNameOrder) {
    RecipeModel m = model(2, {{7, "B", {1, 2}}, {2, "C", {3, 4}}, {5, "A", {5, 6}}});
    order_recipe_blocks(m);
    EXPECT_EQ(names(m), "A,B,C");
    const int links[3][2] = {{0, 1}, {0, 2}, {1, 2}};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(m.recipe_blocks[k].prev, links[k][0]);
        EXPECT_EQ(m.recipe_blocks[k].next, links[k][1]);
    }
    EXPECT_EQ(values(m, 0, 2), (std::vector<int>{5, 6}));
    EXPECT_EQ(values(m, 2, 2), (std::vector<int>{3, 4}));
    EXPECT_EQ(highest_used_slot(m), 2);
    EXPECT_EQ(find_free_block(m), 3);
    EXPECT_EQ(recipe_model_fault(m), "");
}

TEST(RecipeList, BrokenLinksNeitherLoopNorLeaveTheTable) {
    RecipeModel cycle = model(1, {{0, "A", {}}, {1, "B", {}}, {2, "C", {}}});
    cycle.recipe_blocks[0].prev = 2; // no head: A <- C
    EXPECT_EQ(find_recipe_head(cycle), -1);
    EXPECT_TRUE(recipe_list(cycle).empty());
    int slot = -1;
    EXPECT_EQ(link_recipe_block(cycle, blank_or_pad8("D"), slot), LinkResult::Full);
    EXPECT_NE(recipe_model_fault(cycle), "");

    RecipeModel loop = model(1, {{0, "A", {}}, {1, "B", {}}, {2, "C", {}}});
    loop.recipe_blocks[2].next = 1; // C -> B: the forward walk would run for ever
    EXPECT_LE(recipe_list(loop).size(), static_cast<std::size_t>(kRecipeSlots));
    EXPECT_NE(recipe_model_fault(loop), "");
    order_recipe_blocks(loop); // refuses rather than dropping blocks
    EXPECT_EQ(loop.blk_tot, 3);

    RecipeModel outside = model(1, {{0, "A", {}}, {1, "B", {}}});
    outside.recipe_blocks[0].next = 5000;
    EXPECT_NE(recipe_model_fault(outside), "");
    EXPECT_EQ(unlink_recipe_block(outside, 0), -1);
}

} // namespace
} // namespace kx
