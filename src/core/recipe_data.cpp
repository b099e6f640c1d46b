#include "core/recipe_data.h"

#include "core/context.h"
#include "core/recipefile.h"
#include "core/text.h"

#include <cmath>

namespace kx {

namespace {

const std::vector<recipe_block>& blocks(const Ctx& c) { return c.p.recipe.recipe_blocks; }

} // namespace

bool RecipeData::used(int slot) const { return valid_recipe_slot(slot) && !blocks(c_)[slot].name.empty(); }

void RecipeData::load() {
    c_.p.recipe_modified = false;
    open_recipe_file(c_);
    current_ = 0;
    const int head = find_recipe_head(c_.p.recipe);
    if (head >= 0) current_ = head;
}

std::vector<RecipeData::Row> RecipeData::rows() const {
    const RecipeModel& m = c_.p.recipe;
    std::vector<Row> out;
    const recipe_block& b = m.recipe_blocks[current_];
    for (int i = 0; i < std::min(m.blk_len, kMaxRecipeElements); ++i) {
        const recipe_element& e = m.recipe_elements[i];
        out.push_back({std::to_string(b.values[i]), e.name, std::to_string(i), std::to_string(e.min),
                       std::to_string(e.max), std::to_string(e.flags & ~kRecipeOmrHex),
                       (e.flags & kRecipeOmrHex) ? "OMR_HEX" : "WORD"});
    }
    return out;
}

std::string RecipeData::block_name() const { return blocks(c_)[current_].name; }

bool RecipeData::save() {
    if (!write_recipe_file(c_, c_.p.recipe_path)) return false;
    c_.p.recipe_modified = false;
    return true;
}

void RecipeData::next() {
    const int n = blocks(c_)[current_].next;
    if (n != current_ && used(n)) current_ = n;
}

void RecipeData::prev() {
    const int n = blocks(c_)[current_].prev;
    if (n != current_ && used(n)) current_ = n;
}

void RecipeData::end() {
    for (int steps = 0; steps < kRecipeSlots; ++steps) {
        const int before = current_;
        next();
        if (current_ == before) break;
    }
}

void RecipeData::home() {
    for (int steps = 0; steps < kRecipeSlots; ++steps) {
        const int before = current_;
        prev();
        if (current_ == before) break;
    }
}

void RecipeData::go_to() {
    const int highest = highest_used_slot(c_.p.recipe);
    const auto answer = c_.prompt.input(c_.txt(10114), "", "");
    const auto number = answer ? parse_number(*answer) : std::nullopt;
    // A negative number is out of range like one above the highest block.
    if (!number || std::floor(*number) < 0 || std::floor(*number) > highest) {
        c_.beep();
        c_.prompt.message(c_.txt(10115), kOkOnly);
        return;
    }
    const int n = static_cast<int>(std::floor(*number));
    if (!used(n)) {
        c_.beep();
        c_.prompt.message(c_.txt(10116), kOkOnly);
        return;
    }
    current_ = n;
}

std::string RecipeData::give_block_name() {
    for (;;) {
        const auto answer = c_.prompt.input(c_.txt(10111), "", "");
        const std::string name = recipe_block_name(answer.value_or(""));
        if (!name.empty()) return name;
        if (c_.prompt.message(c_.txt(10112), kOkCancel) != kAnsOk) return "";
    }
}

void RecipeData::insert() {
    RecipeModel& m = c_.p.recipe;
    if (m.blk_tot >= recipe_block_limit(m)) {
        c_.beep();
        return;
    }
    const std::string name = give_block_name();
    if (name.empty()) {
        c_.beep();
        return;
    }
    int slot = -1;
    switch (link_recipe_block(m, name, slot)) {
    case LinkResult::Linked:
        current_ = slot;
        c_.p.recipe_modified = true;
        break;
    case LinkResult::Duplicate:
        c_.beep();
        c_.prompt.message(c_.txt(10113), kOkOnly);
        break;
    case LinkResult::Full: c_.beep(); break;
    }
}

void RecipeData::remove() {
    const int shown = unlink_recipe_block(c_.p.recipe, current_);
    if (shown < 0) {
        c_.beep();
        return;
    }
    current_ = shown;
    c_.p.recipe_modified = true;
}

void RecipeData::order() {
    if (c_.p.recipe.blk_tot <= 0) {
        c_.beep();
        return;
    }
    if (c_.prompt.message(c_.txt(10127), kOkCancel) != kAnsOk) return;
    order_recipe_blocks(c_.p.recipe);
    c_.p.recipe_modified = true;
    current_ = 0;
}

bool RecipeData::edit_value(int i, const std::string& text) {
    RecipeModel& m = c_.p.recipe;
    if (i < 0 || i >= std::min(m.blk_len, kMaxRecipeElements)) return false;
    const recipe_element& e = m.recipe_elements[i];
    // The range test takes the value as typed, before the fraction is dropped.
    const auto v = parse_number(text);
    if (!v || *v < e.min || *v > e.max || *v < 0 || *v > kMaxRecipeValue) {
        c_.beep();
        return false;
    }
    c_.p.recipe_modified = true;
    m.recipe_blocks[current_].values[i] = static_cast<std::int32_t>(std::floor(*v));
    return true;
}

bool RecipeData::close_question() { return ask_save_recipe_file(c_); }

} // namespace kx
