#pragma once
// The global string editor's working copy: one table per language, all with the same rows.
// Rows are inserted, appended and deleted in every language at once, so row k means the
// same string in every language. The project changes only when the copy is written back.
#include "core/project.h"

#include <string>
#include <vector>

namespace kx {

struct Ctx;

class StringEditSession {
public:
    // Takes the copy of the project's strings; the current tab is the language shown.
    explicit StringEditSession(const Project& p);

    int rows() const { return rows_; }
    int langs() const { return langs_; }
    // The longest text a row may hold: the display width of the model.
    int max_len() const { return max_len_; }
    const std::string& text(int lang, int row) const;

    // An in-place edit of (lang, row) ended with `typed`: control characters are removed and
    // the text is cut to the row width. Marks the project modified and the session changed.
    // Returns the text kept.
    const std::string& edit(Ctx& c, int lang, int row, const std::string& typed);
    // `index` is the 1-based row that is selected. False (nothing changes) when the table
    // is full or, for remove, when there is no such row.
    bool insert(int index); // an empty row before row index (index 1 on an empty table)
    bool append();          // an empty row at the end
    bool remove(int index);

    // Writes the copy into the project's strings of every language in use and sets the
    // count; the project counts as modified when its strings changed.
    void write_back(Project& p) const;

    int current_tab = 0;
    int current_row = 1;  // 1-based, kept the same on every tab
    bool changed = false; // an in-place edit happened

private:
    std::vector<std::vector<std::string>> copy_; // [language][row 0..599]
    int rows_ = 0;
    int langs_ = 1;
    int max_len_ = 0;
};

// Leaving by "Exit and Save": writes the copy back.
void string_editor_save_exit(Ctx& c, const StringEditSession& s);
// Leaving by "Exit and Cancel", Esc or the close box: after an in-place edit asks whether
// to keep the changes (only Yes writes them back).
void string_editor_cancel_exit(Ctx& c, const StringEditSession& s);

} // namespace kx
