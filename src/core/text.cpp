#include "core/text.h"

#include "core/context.h"
#include "platform/api/cp1252.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace kx {

std::int16_t hex_digit(int code) {
    if (code >= '0' && code <= '9') return static_cast<std::int16_t>(code - '0');
    if (code >= 'a' && code <= 'f') return static_cast<std::int16_t>(code - 'a' + 10);
    if (code >= 'A' && code <= 'F') return static_cast<std::int16_t>(code - 'A' + 10);
    return 0;
}

std::int32_t hex_to_long(std::string_view text) {
    std::int64_t value = 0;
    for (unsigned char ch : text) {
        if (ch == ' ') continue;
        value = value * 16 + hex_digit(ch);
        if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(value);
}

void pad_left_zero(std::string& text, int width) {
    if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), '0');
}

void pad_left_space(std::string& text, int width) {
    if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), ' ');
}

void pad_right_space(std::string& text, int width) {
    if (static_cast<int>(text.size()) < width) text.append(width - text.size(), ' ');
}

std::int32_t read_decimal(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool neg = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        neg = text[i] == '-';
        ++i;
    }
    // Saturates at the ends of the 32-bit range: down to -2147483648, up to 2147483647.
    const std::int64_t limit = neg ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                                   : std::numeric_limits<std::int32_t>::max();
    std::int64_t v = 0;
    bool any = false;
    for (; i < text.size(); ++i) {
        char ch = text[i];
        if (ch == ' ') continue; // blanks inside a number are skipped, as the number reader does
        if (ch < '0' || ch > '9') break;
        any = true;
        v = std::min(v * 10 + (ch - '0'), limit);
    }
    if (!any) return 0;
    return static_cast<std::int32_t>(neg ? -v : v);
}

std::optional<double> parse_number(const std::string& text) {
    size_t b = text.find_first_not_of(' ');
    if (b == std::string::npos) return std::nullopt;
    size_t e = text.find_last_not_of(' ');
    std::string s = text.substr(b, e - b + 1);
    for (char ch : s) {
        if (!((ch >= '0' && ch <= '9') || ch == '.' || ch == '-' || ch == '+' || ch == 'e' || ch == 'E')) {
            return std::nullopt;
        }
    }
    char* stop = nullptr;
    double v = std::strtod(s.c_str(), &stop);
    if (stop != s.c_str() + s.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::string to_hex(std::int64_t value) {
    static const char* digits = "0123456789ABCDEF";
    if (value == 0) return "0";
    std::uint64_t v = static_cast<std::uint64_t>(value);
    if (value < 0) v &= 0xFFFFFFFFu;
    std::string s;
    while (v) {
        s.insert(s.begin(), digits[v & 15]);
        v >>= 4;
    }
    return s;
}

std::string error_text(Ctx& c, std::int32_t number, const std::string& description) {
    return c.txt(10171) + " " + std::to_string(number) + ": " + description;
}

void report_error(Ctx& c, std::int32_t number, const std::string& description) {
    c.beep();
    c.prompt.message(error_text(c, number, description), kOkOnly);
}

void store_dialog_file(Ctx& c, const FileDialog& dlg) {
    c.p.dlg_init_dir = dlg.init_dir;
    c.p.dlg_file_name = dlg.file_name;
}

void restore_dialog_state(Ctx& c, FileDialog& dlg) {
    dlg.init_dir = c.p.dlg_init_dir;
    dlg.file_name = c.p.dlg_file_name;
}

std::string dir_part(const std::string& path) {
    size_t k = path.find_last_of("\\/:");
    return k == std::string::npos ? std::string() : path.substr(0, k + 1);
}

std::string strip_last_component(const std::string& path) {
    size_t k = path.find_last_of("\\/");
    return k == std::string::npos ? std::string() : path.substr(0, k);
}

bool is_control_byte(unsigned char ch) {
    return ch < 32 || ch == 127 || ch == 0x81 || ch == 0x8D || ch == 0x8F || ch == 0x90 || ch == 0x9D;
}

std::string clean_entry(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char ch : text) {
        if (!is_control_byte(ch)) out += static_cast<char>(ch);
    }
    return out;
}

long long round_half_even(double x) {
    const double f = std::floor(x);
    const double d = x - f;
    long long r = static_cast<long long>(f);
    if (d > 0.5 || (d == 0.5 && r % 2 != 0)) ++r;
    return r;
}

std::string shown_path(const std::string& path) { return utf8_to_cp1252(path); }

std::string path_tail(const std::string& path, std::size_t n) {
    if (path.size() <= n) return path;
    std::size_t start = path.size() - n;
    // A UTF-8 continuation byte (10xxxxxx) is the middle of a character.
    while (start < path.size() && (static_cast<unsigned char>(path[start]) & 0xC0) == 0x80) ++start;
    return path.substr(start);
}

} // namespace kx
