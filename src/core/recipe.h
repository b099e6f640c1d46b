#pragma once
// The recipe model: one structure of elements (name, decimal point, type, range) shared by
// named blocks of values. The blocks form a doubly linked list in name order inside a fixed
// table of 201 slots; a block's slot is its number in the controller. Every walk over the
// list is bounded by the table size, so a damaged list can neither loop nor leave the table.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kx {

constexpr int kRecipeSlots = 201; // slots 0..200 of both tables
constexpr int kMaxRecipeElements = 200;
constexpr int kMaxRecipeBlocks = 200;
constexpr int kMaxRecipeValues = 10000; // elements x blocks
constexpr std::int32_t kMaxRecipeValue = 65535;
constexpr std::int32_t kRecipeOmrHex = 128; // flags bit: set = OMR_HEX, clear = WORD
constexpr std::int32_t kMaxRecipeDot = 4;   // digits after the decimal point
constexpr int kRecipeNameLen = 8;

struct recipe_element {
    std::string name;       // at most 8 characters
    std::int32_t flags = 0; // bits 0..6 decimal point 0..4, bit 7 OMR_HEX
    std::int32_t min = 0;
    std::int32_t max = 0;
    bool operator==(const recipe_element&) const = default;
};

struct recipe_block {
    std::string name;      // empty: free slot; else padded with blanks to 8
    std::int32_t prev = 0; // the head holds its own slot
    std::int32_t next = 0; // the tail holds its own slot
    std::array<std::int32_t, kRecipeSlots> values{};
    bool operator==(const recipe_block&) const = default;
};

struct RecipeModel {
    RecipeModel() : recipe_elements(kRecipeSlots), recipe_blocks(kRecipeSlots) {}

    std::int32_t blk_start = 0;                  // base address of the table in the controller
    std::int32_t blk_len = 0;                    // elements per block
    std::int32_t blk_tot = 0;                    // used blocks
    std::vector<recipe_element> recipe_elements; // slots 0..200
    std::vector<recipe_block> recipe_blocks;     // slots 0..200
    bool operator==(const RecipeModel&) const = default;
};

inline bool valid_recipe_slot(int s) { return s >= 0 && s < kRecipeSlots; }

// Empty for an empty or all-blank text; else the text with blanks appended up to 8 (a longer
// text stays as it is).
std::string blank_or_pad8(const std::string& text);
// A name as the data editor's name box makes it: blank_or_pad8, then at most 8 characters.
std::string recipe_block_name(const std::string& typed);

// Counts and both tables back to zero: no name, link or value of an earlier file stays.
void init_recipe_data(RecipeModel& m);
// The empty structure of a new file: one cleared element, no blocks.
void make_empty_recipe(RecipeModel& m);

// The one rule for the size of a recipe set, which the file reader and writer, both editors,
// the download and the upload keep alike: 1 to 200 elements, 0 to 200 blocks and at most
// 10000 values in all. "" when blk_tot blocks of blk_len elements fit; else why not.
std::string recipe_size_fault(std::int32_t blk_tot, std::int32_t blk_len);
// How many elements the structure may hold: min(200, 10000 / blk_tot), 200 without blocks.
int recipe_element_limit(const RecipeModel& m);
// How many blocks there may be: min(200, 10000 / blk_len), 200 when blk_len is below 1.
int recipe_block_limit(const RecipeModel& m);

// Value-column shifts through every used block after the element count changed: insert
// at grid row `row` (element row - 1; blk_len already raised), append of element `index`,
// delete of grid row `row` (blk_len already lowered).
void insert_recipe_config_line(RecipeModel& m, int row);
void append_recipe_config_line(RecipeModel& m, int index);
void delete_recipe_config_line(RecipeModel& m, int row);

// The first free slot, -1 when the table is full.
int find_free_block(const RecipeModel& m);
// Every value of block b is its element's minimum.
void init_block(RecipeModel& m, int b);
// The head of the list (-1 when there are no blocks or the links are broken).
int find_recipe_head(const RecipeModel& m);
// The slots of the list from head to tail, at most 201 of them.
std::vector<int> recipe_list(const RecipeModel& m);
// The highest slot of any used block (-1 without blocks).
int highest_used_slot(const RecipeModel& m);

// Why the tables break the model's rules ("" when they do not): the size rule, ranges, and
// one list from head to tail through exactly blk_tot named blocks with matching back links.
std::string recipe_model_fault(const RecipeModel& m);

enum class LinkResult { Linked, Duplicate, Full };
// Links a new block named `name` (already padded to 8) into the list in name order and
// fills it with the minima; `slot` is then the new block. Duplicate and Full change nothing.
LinkResult link_recipe_block(RecipeModel& m, const std::string& name, int& slot);
// Unlinks block c; the block shown next (its successor, or its predecessor at the tail).
// -1 (nothing changed) when c is not a used block or it is the last one.
int unlink_recipe_block(RecipeModel& m, int c);
// Moves the blocks so that their slots follow name order: slots 0..blk_tot-1.
void order_recipe_blocks(RecipeModel& m);

} // namespace kx
