#pragma once
// The keystroke check of the dialogs' number boxes. After a keystroke (one character typed,
// over a selection or not) the character just left of the caret is looked at and cut out
// when refused. Any other change (a paste, a drop) is taken whole when the whole text fits,
// and otherwise puts the last accepted text back, so that a box never keeps part of a
// refused text.
#include <functional>
#include <string>

namespace kx {

// What a box shows: its text and the caret position (0 = before the first character).
struct BoxText {
    std::string text;
    int caret = 0;
    // The change came from one typed character (which may have replaced a selection), not
    // from a paste or a drop; what the box shows is text and caret alone.
    bool typed = false;
    bool operator==(const BoxText& o) const { return text == o.text && caret == o.caret; }
};

struct BoxRule {
    std::function<bool(char)> allowed;                  // a character the box takes
    std::function<bool(const std::string&)> over_limit; // the whole text's value is too big
    // A second leading zero is refused (the value is 0 with the caret past the first cell).
    bool one_leading_zero = false;
    // Deleting the first character empties what is left unless, compared as text, it lies
    // between "0" and "9"; a value that is then out of range stays as it stands, unstored.
    bool start_rule = false;
};

struct BoxResult {
    BoxText shown;        // what the box shows now
    bool refused = false; // a character was cut out or the accepted text put back
    bool in_range = true; // the shown text is non-empty and within the limit
};

// Checks the change from `accepted` (what the box last showed) to `now`.
BoxResult check_box(const BoxRule& rule, const BoxText& accepted, const BoxText& now);

// Character classes of the boxes.
bool is_dec_digit(char ch);
bool is_hex_digit(char ch);

} // namespace kx
