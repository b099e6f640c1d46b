#include "core/textbox.h"

#include <algorithm>

namespace kx {

bool is_dec_digit(char ch) { return ch >= '0' && ch <= '9'; }
bool is_hex_digit(char ch) {
    return is_dec_digit(ch) || (ch >= 'A' && ch <= 'F') || (ch >= 'a' && ch <= 'f');
}

namespace {

bool all_allowed(const BoxRule& rule, const std::string& s) {
    return std::all_of(s.begin(), s.end(), [&](char ch) { return rule.allowed(ch); });
}

bool all_zero(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char ch) { return ch == '0'; });
}

// The change put one character left of the caret into the accepted text, as a keystroke
// does: in place of nothing, or (when it was typed) in place of a selected run of the text.
// A paste or a drop of more is any other change.
bool one_char_typed(const BoxText& accepted, const BoxText& now) {
    const std::string& a = accepted.text;
    const std::string& s = now.text;
    const std::size_t p = static_cast<std::size_t>(now.caret);
    if (p == 0 || s.size() > a.size() + 1 || (!now.typed && s.size() != a.size() + 1)) return false;
    const std::size_t tail = s.size() - p; // what follows the caret, kept from the old text
    return p - 1 + tail <= a.size() && s.compare(0, p - 1, a, 0, p - 1) == 0 &&
           s.compare(p, tail, a, a.size() - tail, tail) == 0;
}

// The whole text is one the box takes.
bool fits(const BoxRule& rule, const std::string& s) {
    return all_allowed(rule, s) && !rule.over_limit(s) &&
           !(rule.one_leading_zero && s.size() > 1 && all_zero(s));
}

} // namespace

BoxResult check_box(const BoxRule& rule, const BoxText& accepted, const BoxText& now) {
    BoxResult r;
    r.shown = now;
    std::string& s = r.shown.text;
    int& p = r.shown.caret;
    p = std::clamp(p, 0, static_cast<int>(s.size()));
    if (rule.start_rule && p == 0) {
        if (!(s >= "0" && s <= "9")) s.clear();
        if (s.empty()) {
            r.in_range = false;
            return r;
        }
    } else if (one_char_typed(accepted, r.shown)) {
        const bool refused =
            !rule.allowed(s[p - 1]) || rule.over_limit(s) || (rule.one_leading_zero && p > 1 && all_zero(s));
        if (refused) {
            s.erase(p - 1, 1);
            --p;
            r.refused = true;
        }
    } else if (!fits(rule, s)) {
        // Text that came in one piece is taken whole or not at all: cutting it down to
        // what fits would keep a number the user never wrote.
        r.shown = accepted;
        r.refused = true;
    }
    if (!all_allowed(rule, s) || (!rule.start_rule && rule.over_limit(s))) {
        r.shown = accepted;
        r.refused = true;
    }
    r.in_range = !r.shown.text.empty() && !rule.over_limit(r.shown.text) && all_allowed(rule, r.shown.text);
    return r;
}

} // namespace kx
