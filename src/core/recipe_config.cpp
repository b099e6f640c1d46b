#include "core/recipe_config.h"

#include "core/context.h"
#include "core/recipefile.h"
#include "core/text.h"

#include <algorithm>

namespace kx {
namespace {

bool is_digit(unsigned char ch, bool hex) {
    return (ch >= '0' && ch <= '9') || (hex && ((ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F')));
}

const RecipeConfig::Row kHeadings = {"id_data", "name", "dot", "min", "max", "type"};

} // namespace

std::optional<std::string> recipe_box_text(RecipeBox box, const std::string& text, bool hex) {
    if (box == RecipeBox::Name) return text.size() > kRecipeNameLen ? text.substr(0, kRecipeNameLen) : text;
    hex = hex && box == RecipeBox::BaseAddr;
    for (unsigned char ch : text)
        if (!is_digit(ch, hex)) return std::nullopt;
    const std::int32_t limit = box == RecipeBox::Dot ? kMaxRecipeDot : kMaxRecipeValue;
    const std::int32_t value = hex ? hex_to_long(text) : read_decimal(text);
    if (value > limit) return std::nullopt;
    return text;
}

bool RecipeConfig::hex() const { return c_.p.num_mode == "HEX"; }

void RecipeConfig::load() {
    open_recipe_file(c_);
    load_grid();
}

RecipeConfig::Row RecipeConfig::element_row(int index, const Element& e) const {
    return {std::to_string(index),
            e.name,
            std::to_string(e.flags & ~kRecipeOmrHex),
            std::to_string(e.min),
            std::to_string(e.max),
            (e.flags & kRecipeOmrHex) ? "OMR_HEX" : "WORD"};
}

void RecipeConfig::load_grid() {
    RecipeModel& m = c_.p.recipe;
    c_.p.recipe_modified = false;
    if (m.blk_len <= 0) {
        m.blk_len = 1;
        m.blk_start = 0;
        m.recipe_elements[0] = recipe_element{};
    }
    std::vector<Element> buffer;
    for (int i = 0; i < std::min(m.blk_len, kMaxRecipeElements); ++i) {
        const recipe_element& e = m.recipe_elements[i];
        buffer.push_back({e.name, e.flags, e.min, e.max});
    }
    paste_recipe(std::move(buffer), m.blk_start);
    cur_row = 1;
    cur_col = 1;
    edit_row_ = 0;
}

// The grid and the boxes as the model would hold them.
std::vector<RecipeConfig::Element> RecipeConfig::copy_recipe() const {
    std::vector<Element> buffer;
    const int count = std::clamp<int>(read_decimal(n_elem), 0, static_cast<int>(grid.size()) - 1);
    for (int i = 0; i < count; ++i) {
        const Row& r = grid[i + 1];
        int flags = read_decimal(r[ColDot]);
        if (r[ColType] == "OMR_HEX") flags += kRecipeOmrHex;
        buffer.push_back({r[ColName], flags, read_decimal(r[ColMin]), read_decimal(r[ColMax])});
    }
    return buffer;
}

void RecipeConfig::paste_recipe(std::vector<Element> buffer, int base) {
    if (buffer.empty()) {
        buffer.push_back({});
        base = 0;
    }
    grid.assign(1, kHeadings);
    for (int i = 0; i < static_cast<int>(buffer.size()); ++i) grid.push_back(element_row(i, buffer[i]));
    base_addr = hex() ? to_hex(base) : std::to_string(base);
    n_elem = std::to_string(buffer.size());
}

void RecipeConfig::store() {
    RecipeModel& m = c_.p.recipe;
    m.blk_start = hex() ? hex_to_long(base_addr) : read_decimal(base_addr);
    const std::vector<Element> buffer = copy_recipe();
    m.blk_len = static_cast<std::int32_t>(buffer.size());
    for (int i = 0; i < m.blk_len; ++i)
        m.recipe_elements[i] = {buffer[i].name, buffer[i].flags, buffer[i].min, buffer[i].max};
}

bool RecipeConfig::save() {
    store();
    if (!write_recipe_file(c_, c_.p.recipe_path)) return false;
    c_.p.recipe_modified = false;
    return true;
}

bool RecipeConfig::room_for_one_more() {
    if (editing()) return false;
    if (static_cast<int>(grid.size()) > recipe_element_limit(c_.p.recipe)) {
        c_.beep();
        return false;
    }
    return true;
}

void RecipeConfig::insert_line() {
    if (!room_for_one_more()) return;
    c_.p.recipe_modified = true;
    const int r = std::clamp(cur_row, 1, static_cast<int>(grid.size()) - 1);
    grid.insert(grid.begin() + r, Row{std::to_string(r), "", "0", "0", "0", "WORD"});
    for (int i = 1; i < static_cast<int>(grid.size()); ++i) grid[i][ColId] = std::to_string(i - 1);
    n_elem = std::to_string(read_decimal(n_elem) + 1);
    cur_row = r;
    c_.p.recipe.blk_len += 1;
    insert_recipe_config_line(c_.p.recipe, r);
}

void RecipeConfig::append_line() {
    if (!room_for_one_more()) return;
    c_.p.recipe_modified = true;
    const int n = static_cast<int>(grid.size()) - 1;
    grid.push_back(Row{std::to_string(n), "", "0", "0", "0", "WORD"});
    n_elem = std::to_string(read_decimal(n_elem) + 1);
    cur_row = n + 1;
    c_.p.recipe.blk_len += 1;
    append_recipe_config_line(c_.p.recipe, n);
}

void RecipeConfig::delete_line() {
    if (editing()) return;
    if (grid.size() < 3) {
        c_.beep();
        return;
    }
    c_.p.recipe_modified = true;
    const int r = std::clamp(cur_row, 1, static_cast<int>(grid.size()) - 1);
    std::vector<Element> buffer = copy_recipe();
    if (r - 1 < static_cast<int>(buffer.size())) buffer.erase(buffer.begin() + (r - 1));
    paste_recipe(std::move(buffer), hex() ? hex_to_long(base_addr) : read_decimal(base_addr));
    const int rows = static_cast<int>(grid.size());
    cur_row = r < rows - 1 ? r : rows - 1;
    c_.p.recipe.blk_len -= 1;
    delete_recipe_config_line(c_.p.recipe, r);
}

bool RecipeConfig::start_edit(int row, int col) {
    if (editing() || row < 1 || row >= static_cast<int>(grid.size()) || col < 0 || col >= ColCount)
        return false;
    cur_row = row;
    cur_col = col;
    if (col == ColType) {
        grid[row][ColType] = grid[row][ColType] == "OMR_HEX" ? "WORD" : "OMR_HEX";
        c_.p.recipe_modified = true;
        return false;
    }
    if (col == ColId) return false;
    edit_row_ = row;
    edit_col_ = col;
    return true;
}

void RecipeConfig::end_edit(const std::string& text, bool cancelled) {
    if (!editing()) return;
    const int row = edit_row_, col = edit_col_;
    edit_row_ = edit_col_ = 0;
    if (cancelled || row >= static_cast<int>(grid.size())) return;
    std::string t = text;
    if (col != ColName && t.empty()) t = "0";
    static const RecipeBox boxes[] = {RecipeBox::Name, RecipeBox::Name, RecipeBox::Dot, RecipeBox::Min,
                                      RecipeBox::Max};
    if (const auto kept = recipe_box_text(boxes[col], t, false)) grid[row][col] = *kept;
}

std::string RecipeConfig::box_changed(RecipeBox box, const std::string& before, const std::string& after) {
    c_.p.recipe_modified = true;
    const auto kept = recipe_box_text(box, after, hex());
    return kept ? *kept : before;
}

void RecipeConfig::base_addr_done(const std::string& text) { base_addr = text.empty() ? "0" : text; }

bool RecipeConfig::close_question() {
    Project& p = c_.p;
    if (!p.recipe_modified) return true;
    if (c_.prompt.message(c_.txt(10098) + " " + shown_path(p.recipe_path), kYesNo) != kAnsYes) return true;
    return save();
}

} // namespace kx
