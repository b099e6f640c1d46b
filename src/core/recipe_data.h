#pragma once
// The recipe data editor without its window: one block at a time (number, name and one row
// per element with the block's value), moving through the blocks in name order, going to a
// block by number, inserting, deleting and renumbering blocks, editing values and saving.
// Questions, input boxes and messages go through the context's prompt.
#include <array>
#include <string>
#include <vector>

namespace kx {

struct Ctx;

class RecipeData {
public:
    enum Col { ColValue, ColName, ColId, ColMin, ColMax, ColDot, ColType, ColCount };
    using Row = std::array<std::string, ColCount>;

    explicit RecipeData(Ctx& c) : c_(c) {}

    // Form Load: the model from the current recipe file; the first block in name order
    // (slot 0 when there are none).
    void load();

    // The rows of the block shown, its number and its name.
    std::vector<Row> rows() const;
    int current() const { return current_; }
    std::string block_name() const;

    // The toolbar's buttons.
    bool save();
    void home();
    void prev();
    void next();
    void end();
    void go_to();
    void insert();
    void remove();
    void order();

    // The value of element i typed as `text`: true when stored; false after a beep when it
    // is not a number or outside the element's range (the old value stays).
    bool edit_value(int i, const std::string& text);

    // The closing question; false when the window must stay open (a Yes whose write failed).
    bool close_question();

private:
    // The name dialogue: a name padded to 8, or "" when the user gave up.
    std::string give_block_name();
    bool used(int slot) const;

    Ctx& c_;
    int current_ = 0;
};

} // namespace kx
