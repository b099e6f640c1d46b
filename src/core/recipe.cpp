#include "core/recipe.h"

#include <algorithm>

namespace kx {
namespace {

bool used(const RecipeModel& m, int s) { return valid_recipe_slot(s) && !m.recipe_blocks[s].name.empty(); }

bool in_word(std::int32_t v) { return v >= 0 && v <= kMaxRecipeValue; }

int used_len(const RecipeModel& m) { return std::clamp<int>(m.blk_len, 0, kMaxRecipeElements); }

// Runs f on every used block. Only named slots are on the list, so this is the list walk
// of the column shifts, without following any link.
template <typename F>
void for_each_used(RecipeModel& m, F f) {
    for (int s = 0; s < kRecipeSlots; ++s)
        if (used(m, s)) f(m.recipe_blocks[s]);
}

} // namespace

std::string blank_or_pad8(const std::string& text) {
    if (text.find_first_not_of(' ') == std::string::npos) return std::string();
    std::string s = text;
    if (s.size() < kRecipeNameLen) s.append(kRecipeNameLen - s.size(), ' ');
    return s;
}

std::string recipe_block_name(const std::string& typed) {
    std::string s = blank_or_pad8(typed);
    if (s.size() > kRecipeNameLen) s.resize(kRecipeNameLen);
    return s;
}

void init_recipe_data(RecipeModel& m) {
    m.blk_start = m.blk_len = m.blk_tot = 0;
    for (auto& e : m.recipe_elements) e = recipe_element{};
    for (auto& b : m.recipe_blocks) b = recipe_block{};
}

void make_empty_recipe(RecipeModel& m) {
    m.blk_len = 1;
    m.blk_tot = 0;
    m.recipe_elements[0] = recipe_element{};
    recipe_block& b = m.recipe_blocks[0];
    b.name.clear();
    b.prev = b.next = 0;
    b.values[0] = 0;
}

std::string recipe_size_fault(std::int32_t blk_tot, std::int32_t blk_len) {
    const std::string set = std::to_string(blk_tot) + " blocks of " + std::to_string(blk_len) + " elements";
    if (blk_len < 1 || blk_len > kMaxRecipeElements)
        return set + ": a set has 1 to " + std::to_string(kMaxRecipeElements) + " elements";
    if (blk_tot < 0 || blk_tot > kMaxRecipeBlocks)
        return set + ": a set has at most " + std::to_string(kMaxRecipeBlocks) + " blocks";
    if (blk_tot * blk_len > kMaxRecipeValues)
        return set + ": a set has at most " + std::to_string(kMaxRecipeValues) + " values";
    return "";
}

int recipe_element_limit(const RecipeModel& m) {
    return m.blk_tot <= 0 ? kMaxRecipeElements : std::min(kMaxRecipeElements, kMaxRecipeValues / m.blk_tot);
}

int recipe_block_limit(const RecipeModel& m) {
    return m.blk_len < 1 ? kMaxRecipeBlocks : std::min(kMaxRecipeBlocks, kMaxRecipeValues / m.blk_len);
}

void insert_recipe_config_line(RecipeModel& m, int row) {
    const int n = used_len(m);
    if (row < 1 || row > n) return;
    for_each_used(m, [&](recipe_block& b) {
        for (int j = std::min(n, kRecipeSlots - 1); j >= row; --j) b.values[j] = b.values[j - 1];
        b.values[row - 1] = 0;
    });
}

void append_recipe_config_line(RecipeModel& m, int index) {
    if (!valid_recipe_slot(index)) return;
    for_each_used(m, [&](recipe_block& b) { b.values[index] = 0; });
}

void delete_recipe_config_line(RecipeModel& m, int row) {
    const int n = used_len(m);
    if (row < 1 || row > n + 1) return;
    for_each_used(m, [&](recipe_block& b) {
        for (int j = row - 1; j < n; ++j) b.values[j] = b.values[j + 1];
    });
}

int find_free_block(const RecipeModel& m) {
    for (int s = 0; s < kRecipeSlots; ++s)
        if (!used(m, s)) return s;
    return -1;
}

void init_block(RecipeModel& m, int b) {
    if (!valid_recipe_slot(b)) return;
    for (int i = 0; i < used_len(m); ++i) m.recipe_blocks[b].values[i] = m.recipe_elements[i].min;
}

int find_recipe_head(const RecipeModel& m) {
    if (m.blk_tot < 1) return -1;
    int s = 0;
    while (s < kRecipeSlots && !used(m, s)) ++s;
    for (int steps = 0; steps < kRecipeSlots && used(m, s); ++steps) {
        const int prev = m.recipe_blocks[s].prev;
        if (prev == s) return s;
        s = prev;
    }
    return -1;
}

std::vector<int> recipe_list(const RecipeModel& m) {
    std::vector<int> list;
    int s = find_recipe_head(m);
    while (used(m, s) && static_cast<int>(list.size()) < kRecipeSlots) {
        list.push_back(s);
        const int next = m.recipe_blocks[s].next;
        if (next == s) break;
        s = next;
    }
    return list;
}

int highest_used_slot(const RecipeModel& m) {
    for (int s = kRecipeSlots - 1; s >= 0; --s)
        if (used(m, s)) return s;
    return -1;
}

std::string recipe_model_fault(const RecipeModel& m) {
    if (std::string size = recipe_size_fault(m.blk_tot, m.blk_len); !size.empty()) return size;
    if (!in_word(m.blk_start)) return "base address " + std::to_string(m.blk_start);
    for (int i = 0; i < m.blk_len; ++i) {
        const recipe_element& e = m.recipe_elements[i];
        const std::string at = "element " + std::to_string(i);
        if (!in_word(e.min)) return at + " minimum " + std::to_string(e.min);
        if (!in_word(e.max)) return at + " maximum " + std::to_string(e.max);
        if (e.flags < 0 || e.flags > 0xFF || (e.flags & ~kRecipeOmrHex) > kMaxRecipeDot)
            return at + " decimal point and type " + std::to_string(e.flags);
    }
    int named = 0;
    for (int s = 0; s < kRecipeSlots; ++s) named += used(m, s) ? 1 : 0;
    if (named != m.blk_tot)
        return std::to_string(named) + " named blocks for a block count of " + std::to_string(m.blk_tot);
    // Every slot a file holds: up to the last used one, free slots in between included.
    for (int s = 0; s <= highest_used_slot(m); ++s) {
        const recipe_block& b = m.recipe_blocks[s];
        const std::string at = "block " + std::to_string(s);
        if (!valid_recipe_slot(b.prev) || !valid_recipe_slot(b.next)) return at + " links outside the table";
        for (int i = 0; i < m.blk_len; ++i)
            if (!in_word(b.values[i]))
                return at + " value " + std::to_string(i) + " = " + std::to_string(b.values[i]);
    }
    if (m.blk_tot == 0) return "";
    const int head = find_recipe_head(m);
    if (head < 0) return "the block list has no head";
    std::array<bool, kRecipeSlots> seen{};
    int count = 0;
    for (int s = head;;) {
        if (!used(m, s)) return "the block list reaches the free slot " + std::to_string(s);
        if (seen[s]) return "the block list runs in a circle at block " + std::to_string(s);
        seen[s] = true;
        ++count;
        const int next = m.recipe_blocks[s].next;
        if (next == s) break;
        if (!valid_recipe_slot(next) || m.recipe_blocks[next].prev != s)
            return "block " + std::to_string(next) + " does not link back to block " + std::to_string(s);
        s = next;
    }
    if (count != m.blk_tot)
        return "the block list holds " + std::to_string(count) + " of " + std::to_string(m.blk_tot) +
               " blocks";
    return "";
}

LinkResult link_recipe_block(RecipeModel& m, const std::string& name, int& slot) {
    slot = -1;
    const int f = find_free_block(m);
    if (m.blk_tot >= recipe_block_limit(m) || f < 0) return LinkResult::Full;
    auto& t = m.recipe_blocks;
    if (m.blk_tot <= 0) {
        t[f].prev = t[f].next = f; // the first block points to itself both ways
    } else {
        int s = find_recipe_head(m);
        if (s < 0) return LinkResult::Full; // a broken list takes no more blocks
        for (int steps = 0; steps < kRecipeSlots && name > t[s].name && t[s].next != s && used(m, t[s].next);
             ++steps)
            s = t[s].next;
        if (t[s].name == name) return LinkResult::Duplicate;
        const bool head = t[s].prev == s, tail = t[s].next == s;
        if ((head && tail && name > t[s].name) || (tail && !head && name > t[s].name)) {
            t[s].next = f; // after the tail
            t[f].next = f;
            t[f].prev = s;
        } else if (head) {
            t[s].prev = f; // before the head
            t[f].prev = f;
            t[f].next = s;
        } else {
            const int p = t[s].prev; // between s's predecessor and s
            t[p].next = f;
            t[s].prev = f;
            t[f].prev = p;
            t[f].next = s;
        }
    }
    t[f].name = name;
    ++m.blk_tot;
    init_block(m, f);
    slot = f;
    return LinkResult::Linked;
}

int unlink_recipe_block(RecipeModel& m, int c) {
    if (m.blk_tot <= 1 || !used(m, c)) return -1;
    auto& t = m.recipe_blocks;
    const int p = t[c].prev, x = t[c].next;
    if (!valid_recipe_slot(p) || !valid_recipe_slot(x)) return -1;
    int shown;
    if (p == c) {
        shown = x; // the head: its successor becomes the head
        t[x].prev = x;
    } else if (x == c) {
        shown = p; // the tail: its predecessor becomes the tail
        t[p].next = p;
    } else {
        t[p].next = x;
        t[x].prev = p;
        shown = x;
    }
    t[c].name.clear();
    --m.blk_tot;
    return shown;
}

void order_recipe_blocks(RecipeModel& m) {
    const std::vector<int> list = recipe_list(m);
    const int n = static_cast<int>(list.size());
    if (n != m.blk_tot) return; // a broken list is left as it is rather than losing blocks
    std::vector<recipe_block> buffer(n);
    for (int k = 0; k < n; ++k) {
        const recipe_block& b = m.recipe_blocks[list[k]];
        buffer[k].name = b.name;
        buffer[k].prev = k == 0 ? k : k - 1;
        buffer[k].next = k == n - 1 ? k : k + 1;
        std::copy_n(b.values.begin(), used_len(m), buffer[k].values.begin());
    }
    for (auto& b : m.recipe_blocks) b.name.clear();
    for (int k = 0; k < n; ++k) {
        recipe_block& b = m.recipe_blocks[k];
        b.name = buffer[k].name;
        b.prev = buffer[k].prev;
        b.next = buffer[k].next;
        std::copy_n(buffer[k].values.begin(), used_len(m), b.values.begin());
    }
}

} // namespace kx
