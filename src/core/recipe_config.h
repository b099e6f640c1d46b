#pragma once
// The recipe structure editor without its window: the grid of elements (one header row and
// one row per element: id, name, dot, min, max, type), the base address and element count
// boxes, the line commands, cell editing and saving. The grid reaches the model only on
// Save, but inserting, appending and deleting a line shift the value columns of every block
// at once. The window shows `grid` and the boxes after every command.
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace kx {

struct Ctx;

// The text boxes of both recipe editors whose whole text is checked on every change.
enum class RecipeBox { BaseAddr, Dot, Min, Max, Name };

// The text a box keeps after a change to `text`: the text itself, a name cut to 8
// characters, or nothing when the change is refused (the box goes back to its previous
// text). Numbers are digits only (hexadecimal digits for the base address in HEX mode) and
// at most the box's limit; an empty box is accepted (it shows "0" when left).
std::optional<std::string> recipe_box_text(RecipeBox box, const std::string& text, bool hex);

class RecipeConfig {
public:
    enum Col { ColId, ColName, ColDot, ColMin, ColMax, ColType, ColCount };
    using Row = std::array<std::string, ColCount>;

    explicit RecipeConfig(Ctx& c) : c_(c) {}

    // Form Load: the model from the current recipe file into the grid.
    void load();
    // Model -> grid and boxes; unsaved state dropped.
    void load_grid();
    // Grid and boxes -> model.
    void store();
    // The toolbar's Save: grid -> model -> file. False when the file could not be written.
    bool save();
    // The line commands; a beep at their limits.
    void insert_line();
    void append_line();
    void delete_line();

    // A click or Enter on a cell: true when a cell editor opens (columns 1..4), whose text
    // is the cell's; the type column toggles WORD / OMR_HEX at once.
    bool start_edit(int row, int col);
    // The cell editor closes: Enter or leaving it stores the text in the cell where editing
    // started (an empty number is "0"), Esc drops it.
    void end_edit(const std::string& text, bool cancelled);
    bool editing() const { return edit_row_ > 0; }
    int edit_col() const { return edit_col_; }

    // A typed change in a box (base address or cell editor); the box's new text, or the
    // previous one when refused.
    std::string box_changed(RecipeBox box, const std::string& before, const std::string& after);
    // The base address box is left: empty shows "0".
    void base_addr_done(const std::string& text);

    // The closing question; false when the window must stay open (a Yes whose write failed).
    bool close_question();

    bool hex() const;

    std::vector<Row> grid; // row 0: the headings
    std::string base_addr; // txtBaseAddr
    std::string n_elem;    // txtNElem
    int cur_row = 1, cur_col = 1;

private:
    struct Element {
        std::string name;
        int flags = 0, min = 0, max = 0;
    };
    Row element_row(int index, const Element& e) const;
    std::vector<Element> copy_recipe() const;
    void paste_recipe(std::vector<Element> buffer, int base);
    bool room_for_one_more();

    Ctx& c_;
    int edit_row_ = 0, edit_col_ = 0;
};

} // namespace kx
