#include "core/listing.h"

#include "core/context.h"
#include "core/projectfile.h"
#include "core/store.h"
#include "core/text.h"
#include "core/variables.h"
#include "platform/api/textfile.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace kx {
namespace {

// A number with at least `width` digits, zeros in front; a negative number keeps its sign
// in front of the zeros.
std::string zeros(long long n, int width) {
    std::string s = std::to_string(n < 0 ? -n : n);
    pad_left_zero(s, width);
    return n < 0 ? "-" + s : s;
}

// The byte that stands for a cell's code in the listing.
char listing_char(int code) {
    if (code == kCodeVarDigit) return 'X';
    if (code == kCodeVarPoint) return '.';
    if (code >= 4 && code <= 7) return ' ';
    if (code < 0 || code > 255) code = kCodeInvalid;
    return static_cast<char>(code);
}

class Lines {
public:
    void add(const std::string& s) {
        out_ += s;
        out_ += "\r\n";
    }
    std::string take() { return std::move(out_); }

private:
    std::string out_;
};

void page_section(Lines& out, const Project& p, int lang, int page) {
    const page_record& own = p.page_store[lang][page];
    const page_record& r0 = p.page_store[0][page];
    const int cols = std::clamp<int>(p.n_cols, 0, kMaxCells - 1);
    const int rows = cols > 0 ? std::clamp<int>(p.n_rows, 0, (kMaxCells - 1) / cols) : 0;
    out.add("");
    out.add("");
    out.add("    Page n. " + std::to_string(page) + " " + p.language_names[lang]);
    const std::string edge = "    +" + std::string(cols, '-') + "+";
    out.add(edge);
    for (int r = 0; r < rows; ++r) {
        std::string line = "    |";
        for (int col = 0; col < cols; ++col) line += listing_char(own.chars[r * cols + col]);
        out.add(line + "|");
    }
    out.add(edge);
    std::string links = "Links:";
    for (int k = 0; k < 4; ++k) links += " " + zeros(r0.links[k], 4);
    out.add(links);
    const int nv = std::clamp<int>(r0.var_count, 0, kMaxVars);
    if (nv == 0) return;
    out.add("VAR   EN  TYPE    POS DIG DEC ADDR  MIN_ADDR  MAX_ADDR");
    for (int i = 1; i <= nv; ++i) {
        const variable_record v = r0.var(i);
        std::string type = type_short_name(p.kx_type, v.type);
        if (!type.empty()) pad_right_space(type, 7);
        out.add(zeros(i, 2) + "    " + (v.access != 0 ? "R/W " : "R_O ") + type + " " + zeros(v.pos, 3) +
                " " + zeros(v.digits, 2) + "  " + zeros(v.dec, 2) + "  " + zeros(v.address, 5) + " " +
                zeros(v.min, 5) + "     " + zeros(v.max, 5));
    }
}

// True when both names lead to one file (the same name, or two names of one existing file).
bool same_file(const std::string& a, const std::string& b) {
    if (a == b) return true;
    std::error_code ec;
    return std::filesystem::exists(a, ec) && std::filesystem::exists(b, ec) &&
           std::filesystem::equivalent(a, b, ec);
}

} // namespace

std::string substitute(const std::string& name, const std::string& ext) {
    // Only the file's own name is cut: a dot in a folder's name would put the listing
    // outside the project's folder, over another file.
    const std::size_t sep = name.find_last_of("\\/");
    const std::size_t own = sep == std::string::npos ? 0 : sep + 1;
    return name.substr(0, name.find('.', own)) + ext;
}

bool model_has_strings(const std::string& kx_type) { return kx_type != "KXA_520" && kx_type != "KXA_530"; }

std::string listing_bytes(const Project& p) {
    Lines out;
    const int langs = std::clamp<int>(p.n_lang, 1, kLangSlots);
    const int pages = std::clamp<int>(p.last_page_idx, 0, kPageSlots - 1) + 1;
    const bool strings = model_has_strings(p.kx_type);
    out.add("file:         " + shown_path(p.project_path)); // single-byte, as the rest
    out.add("version:      " + p.file_version);
    out.add("model:        " + p.kx_type);
    out.add("n. languages: " + std::to_string(p.n_lang));
    out.add("n. pages:     " + std::to_string(p.last_page_idx + 1));
    out.add("tot. pages    " + std::to_string((p.last_page_idx + 1) * p.n_lang));
    if (strings) {
        out.add("n. strings    " + std::to_string(p.n_strings));
        out.add("tot. strings  " + std::to_string(p.n_strings * p.n_lang));
    }
    out.add("");
    out.add("");
    for (int L = 0; L < langs; ++L)
        out.add("language " + std::to_string(L + 1) + "    " + p.language_names[L]);
    for (int L = 0; L < langs; ++L)
        for (int pg = 0; pg < pages; ++pg) page_section(out, p, L, pg);
    out.add("");
    out.add("");
    if (strings) {
        const int n = std::clamp<int>(p.n_strings, 0, kStringSlots);
        for (int L = 0; L < langs; ++L) {
            for (int j = 0; j < n; ++j)
                out.add("string n. " + zeros(j, 3) + " " + p.language_names[L] + " '" +
                        p.global_strings[L][j] + "'");
            out.add("");
        }
    }
    return out.take();
}

void print_spool(Ctx& c) {
    Project& p = c.p;
    const std::string name = substitute(p.project_path, ".lst");
    // A project named with the listing's extension would be replaced by its own listing.
    if (same_file(name, p.project_path)) {
        c.beep();
        return;
    }
    if (c.prompt.message(c.txt(10055) + " " + shown_path(name) + "?", kYesNoCancel) != kAnsYes) return;
    save_page(c, p.act_page, p.act_lang);
    std::string why;
    if (!replace_file(name, listing_bytes(p), "", why)) report_error(c, kErrFileAccess, shown_path(why));
    load_page(c, p.act_page, p.act_lang);
}

} // namespace kx
