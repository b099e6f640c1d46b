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
    } else if (p > 0) {
        const bool refused =
            !rule.allowed(s[p - 1]) || rule.over_limit(s) || (rule.one_leading_zero && p > 1 && all_zero(s));
        if (refused) {
            s.erase(p - 1, 1);
            --p;
            r.refused = true;
        }
    }
    if (!all_allowed(rule, s) || (!rule.start_rule && rule.over_limit(s))) {
        r.shown = accepted;
        r.refused = true;
    }
    r.in_range = !r.shown.text.empty() && !rule.over_limit(r.shown.text) && all_allowed(rule, r.shown.text);
    return r;
}

} // namespace kx
