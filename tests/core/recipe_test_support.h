#pragma once
// Recipe models for the tests: blocks given as slot, name and values, linked in name order.
#include "core/recipe.h"

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace kx::test {

using RecipeBlocks = std::vector<std::tuple<int, std::string, std::vector<int>>>;

// Puts the blocks into their slots (names padded to 8) and links them in name order.
inline void put_blocks(RecipeModel& m, const RecipeBlocks& blocks) {
    std::vector<std::pair<std::string, int>> order;
    for (const auto& [slot, name, values] : blocks) {
        m.recipe_blocks[slot].name = blank_or_pad8(name);
        std::copy(values.begin(), values.end(), m.recipe_blocks[slot].values.begin());
        order.emplace_back(m.recipe_blocks[slot].name, slot);
    }
    std::sort(order.begin(), order.end());
    const int n = static_cast<int>(order.size());
    for (int k = 0; k < n; ++k) {
        recipe_block& b = m.recipe_blocks[order[k].second];
        b.prev = order[k == 0 ? k : k - 1].second;
        b.next = order[k == n - 1 ? k : k + 1].second;
    }
    m.blk_tot = n;
}

} // namespace kx::test
