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

// Sets (blocks, elements) at each limit of the size rule, and one past each limit.
inline constexpr std::pair<int, int> kSetsAtTheLimits[] = {{0, 1},    {0, 200},  {200, 1},
                                                           {200, 50}, {50, 200}, {100, 100}};
inline constexpr std::pair<int, int> kSetsOnePast[] = {{0, 0},   {3, 0},    {0, 201},
                                                       {201, 1}, {51, 200}, {73, 137}};

// `blocks` blocks of `elements` elements, every field at its widths: all decimal points and
// both types, ranges and values up to 65535, blocks "B000", ... in slots 0, ... in name order.
inline RecipeModel recipe_set(int blocks, int elements) {
    RecipeModel m;
    m.blk_start = 65535;
    m.blk_len = elements;
    for (int i = 0; i < elements; ++i)
        m.recipe_elements[i] = {"E" + std::to_string(i), (i % 5) | (i % 2 ? 128 : 0), i % 7, 65535 - i % 3};
    RecipeBlocks list;
    for (int b = 0; b < blocks; ++b) {
        std::vector<int> values;
        for (int i = 0; i < elements; ++i) values.push_back((b * 997 + i * 331) % 65536);
        std::string name = std::to_string(1000 + b);
        list.emplace_back(b, "B" + name.substr(1), values);
    }
    put_blocks(m, list);
    return m;
}

} // namespace kx::test
