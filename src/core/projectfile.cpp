#include "core/projectfile.h"

#include "core/context.h"
#include "core/display.h"
#include "core/models.h"
#include "core/shell.h"
#include "core/store.h"
#include "core/text.h"
#include "core/variables.h"
#include "platform/api/textfile.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kx {
namespace {

constexpr std::string_view kUnusedVarLine = "0 00 000 00 00 0000 0000 0000";
constexpr int kFileLangs = 6;    // the file always carries six language names
constexpr int kMaxLink = 9999;   // four columns
constexpr int kMaxWord = 0xFFFF; // address, minimum, maximum: four hexadecimal columns

// Character codes between memory and file. Arrows and variable cells have codes of their own
// in the file; every code the display cannot show goes out as the invalid-character code,
// so no cell can write a line end (10, 13) or a byte that reads back as something else.
struct CodeTables {
    std::array<char, 256> to_file{};
    std::array<std::int16_t, 256> from_file{};
    CodeTables() {
        for (int b = 0; b < 256; ++b) {
            from_file[b] = static_cast<std::int16_t>(check_char(b));
            to_file[b] = static_cast<char>(b >= 32 && b <= 127 ? b : kCodeInvalid);
        }
        for (int a = 4; a <= 7; ++a) {
            to_file[a] = static_cast<char>(arrow_line_code(a));
            from_file[arrow_line_code(a)] = static_cast<std::int16_t>(a);
        }
        to_file[kCodeVarDigit] = static_cast<char>(219);
        from_file[219] = kCodeVarDigit;
        to_file[kCodeVarPoint] = '.';
    }
};

const CodeTables& code_tables() {
    static const CodeTables t;
    return t;
}

char file_byte(const CodeTables& t, int code) {
    return code >= 0 && code < 256 ? t.to_file[code] : static_cast<char>(kCodeInvalid);
}

// Slot of the first used variable whose cells share one with an earlier used one; 0 for none.
// Cells are counted as the marks are laid: stored digits, sign cell, point cell.
int overlapping_var(const std::array<variable_record, kVarSlots>& t) {
    for (int j = 2; j < kVarSlots; ++j) {
        const variable_record& b = t[j];
        if (b.digits <= 0) continue;
        for (int i = 1; i < j; ++i) {
            const variable_record& a = t[i];
            if (a.digits > 0 && a.pos < b.pos + stored_cell_count(b) && b.pos < a.pos + stored_cell_count(a))
                return j;
        }
    }
    return 0;
}

std::string_view window(std::string_view line, std::size_t start, std::size_t len) {
    return start >= line.size() ? std::string_view() : line.substr(start, len);
}

// Rounds a count to an integer, a half to the even neighbour.
int round_count(double v) {
    if (!(v > -1e6 && v < 1e6)) return v < 0 ? -1000000 : 1000000;
    return static_cast<int>(round_half_even(v));
}

// A decimal number filled on the left with `fill` to width, never cut.
void append_number(std::string& out, std::int64_t v, int width, char fill) {
    char buf[24];
    const std::size_t len = static_cast<std::size_t>(std::to_chars(buf, buf + sizeof buf, v).ptr - buf);
    if (len < static_cast<std::size_t>(width)) out.append(width - len, fill);
    out.append(buf, len);
}

std::string number_text(std::int64_t v, int width, char fill) {
    std::string s;
    append_number(s, v, width, fill);
    return s;
}

// Upper-case hexadecimal filled on the left with "0" to width, never cut.
void append_hex(std::string& out, std::int64_t v, int width) {
    const std::string digits = to_hex(v);
    if (digits.size() < static_cast<std::size_t>(width)) out.append(width - digits.size(), '0');
    out.append(digits);
}

// A text as one line: CR and LF would end the line early, so they go out as blanks.
void append_text_line(std::string& out, std::string_view text) {
    const std::size_t start = out.size();
    out.append(text);
    for (std::size_t i = start; i < out.size(); ++i)
        if (out[i] == '\r' || out[i] == '\n') out[i] = ' ';
    out.append("\r\n");
}

// Reads lines and turns the end of the file or a bad value into a FileError with its line.
class LineReader {
public:
    LineReader(std::string_view bytes, FileError& err) : bytes_(bytes), cursor_(bytes), err_(err) {}

    // The bytes from the start of `line` (a line this reader gave) to the end of the file.
    std::string_view from(std::string_view line) const {
        return bytes_.substr(static_cast<std::size_t>(line.data() - bytes_.data()));
    }

    bool next(std::string_view& line) {
        if (cursor_.next(line)) return true;
        err_ = {FileError::Kind::Damaged, kErrPastEnd,
                "Input past end of file: the file ends after line " + std::to_string(cursor_.line_number())};
        return false;
    }
    bool bad(const std::string& what) {
        err_ = {FileError::Kind::Damaged, kErrBadValue,
                "Invalid value at line " + std::to_string(cursor_.line_number()) + ": " + what};
        return false;
    }
    bool refuse(FileError::Kind kind) {
        err_ = {kind, 0, ""};
        return false;
    }

private:
    std::string_view bytes_;
    LineCursor cursor_;
    FileError& err_;
};

// What the reader keeps from one block to the next.
struct BlockMemo {
    // The terminal's type codes 0..99 in the editor's coding, for the file's model.
    std::array<std::int16_t, 100> type_from{};
    // Per page, the links line and the variable lines of its last block read, as one span
    // of the file's bytes, and the marks its variables lay (0 where they lay none).
    std::vector<std::string_view> tails;
    std::vector<std::array<std::int16_t, kMaxCells>> marks;

    explicit BlockMemo(const StagedProject& out)
        : tails(out.last_page_idx + 1), marks(out.last_page_idx + 1) {
        for (int code = 0; code < 100; ++code)
            type_from[code] = static_cast<std::int16_t>(type_code_from_terminal(code, out.kx_type));
    }
    int type(std::int32_t code, const std::string& kx_type) const {
        return code >= 0 && code < 100 ? type_from[code] : type_code_from_terminal(code, kx_type);
    }
};

// True when `rest` begins with `tail` as whole lines: the same bytes, then a line end or
// the end of the file.
bool starts_with_lines(std::string_view rest, std::string_view tail) {
    if (tail.empty() || rest.size() < tail.size() || rest.compare(0, tail.size(), tail) != 0) return false;
    return rest.size() == tail.size() || rest[tail.size()] == '\r' || rest[tail.size()] == '\n';
}

variable_record parse_var_line(std::string_view s, const std::string& kx_type, const BlockMemo& memo) {
    // Fixed windows, each starting at the blank in front of its field.
    variable_record v;
    v.access = static_cast<std::int16_t>(read_decimal(window(s, 0, 1)));
    v.type = static_cast<std::int16_t>(memo.type(read_decimal(window(s, 2, 2)), kx_type));
    v.pos = static_cast<std::int16_t>(read_decimal(window(s, 4, 4)));
    v.digits = static_cast<std::int16_t>(read_decimal(window(s, 8, 3)));
    v.dec = static_cast<std::int16_t>(hex_to_long(window(s, 11, 3)));
    v.address = hex_to_long(window(s, 14, 5));
    v.min = hex_to_long(window(s, 19, 5));
    v.max = hex_to_long(window(s, 24, 5));
    return v;
}

// One page block into record (L, page); links, password flag and variables go to the
// language-0 record, so the block read last decides them.
bool read_page_block(LineReader& in, StagedProject& out, BlockMemo& memo, int lang, int page) {
    const int cols = out.n_cols, rows = out.n_rows, cells = cols * rows;
    page_record& rec = out.pages[lang][page];
    const auto& from_file = code_tables().from_file;
    std::string_view s;
    for (int r = 0; r < rows; ++r) {
        if (!in.next(s)) return false;
        // A short line reads as if filled with blanks; characters beyond are ignored.
        const int have = std::min(cols, static_cast<int>(s.size()));
        std::int16_t* row = rec.chars.data() + r * cols;
        for (int col = 0; col < have; ++col) row[col] = from_file[static_cast<unsigned char>(s[col])];
        for (int col = have; col < cols; ++col) row[col] = from_file[' '];
    }

    if (!in.next(s)) return false;
    page_record& r0 = out.pages[0][page];
    std::string_view& tail = memo.tails[page];
    auto& marks = memo.marks[page];
    // A digit mark (219) that no variable covers keeps its code, so the file saves back as it
    // was; the editor treats such a cell as a free one.
    auto lay_marks = [&] {
        for (int i = 0; i < cells; ++i) rec.chars[i] = marks[i] ? marks[i] : rec.chars[i];
    };
    if (lang > 0 && starts_with_lines(in.from(s), tail)) {
        // The same links and variable lines as the block before (the editor writes them in
        // every language): they read as they did then, and r0 holds what they gave.
        for (int line = 0; line < kMaxVars; ++line) in.next(s);
        lay_marks();
        return true;
    }
    const char* tail_start = s.data();
    std::array<std::int16_t, 4> links{};
    const std::int16_t pwd = s.size() >= 20 && s[19] == '1' ? 1 : 0;
    for (int k = 0; k < 4; ++k) {
        if (!out.link_on) {
            links[k] = static_cast<std::int16_t>(page); // links off: every page links to itself
            continue;
        }
        const std::int32_t v = read_decimal(window(s, 4 * k, 4));
        if (v < 0 || v > kMaxLink)
            return in.bad("link " + std::to_string(k) + " of page " + std::to_string(page));
        links[k] = static_cast<std::int16_t>(v);
    }

    std::array<variable_record, kVarSlots> slots{};
    for (int slot = 1; slot <= kMaxVars; ++slot) {
        if (!in.next(s)) return false;
        slots[slot] = parse_var_line(s, out.kx_type, memo);
    }
    tail = std::string_view(tail_start, static_cast<std::size_t>(s.data() + s.size() - tail_start));
    const std::string fault = page_vars_fault(out.kx_type, cols, rows, slots);
    if (!fault.empty()) return in.bad("page " + std::to_string(page) + ", " + fault);
    // The used slots in order; an unused slot in between does not hide the ones after it.
    std::array<variable_record, kVarSlots> vars{};
    int n = 0;
    for (int slot = 1; slot <= kMaxVars; ++slot)
        if (slots[slot].digits > 0) vars[++n] = slots[slot];

    marks.fill(0);
    lay_var_marks(marks, vars, n, cells);
    lay_marks();

    r0.pwd = pwd;
    for (int k = 0; k < 4; ++k) r0.links[k] = links[k];
    r0.var_count = static_cast<std::int16_t>(n);
    for (int slot = 0; slot < kVarSlots; ++slot) r0.set_var(slot, vars[slot]);
    return true;
}

// The marks of the block read last stand in every language, as storing each page does.
void align_marks(StagedProject& out) {
    const int cells = out.n_cols * out.n_rows;
    const int last_lang = out.n_lang - 1;
    for (int page = 0; page <= out.last_page_idx; ++page) {
        const auto& src = out.pages[last_lang][page].chars;
        for (int L = 0; L < last_lang; ++L) {
            auto& dst = out.pages[L][page].chars;
            for (int i = 0; i < cells; ++i) {
                // Branch-free, so that the compiler can do many cells at once.
                const std::int16_t d = dst[i], m = src[i];
                dst[i] = is_var_mark(m) ? m : is_var_mark(d) ? std::int16_t{32} : d;
            }
        }
    }
}

void pause(Ctx& c) { wait_ms(c.pump, 5, /*user_input=*/false); }

} // namespace

const char* variable_fault(int type_count, int n_cols, int n_rows, const variable_record& v) {
    if (v.access < 0 || v.access > 9) return "access";
    if (v.type < 0 || v.type >= type_count) return "type";
    if (v.digits < 1 || v.digits > 99) return "digits";
    if (v.dec < 0 || v.dec > 0xFF || (v.dec & 0x3F) > v.digits) return "decimals";
    // The whole field on the row of its first cell.
    if (n_cols <= 0 || v.pos < 0 || v.pos > 999 || v.pos >= n_cols * n_rows ||
        v.pos % n_cols + stored_cell_count(v) > n_cols)
        return "position";
    if (v.address < 0 || v.address > kMaxWord) return "address";
    if (v.min < 0 || v.min > kMaxWord) return "minimum";
    if (v.max < 0 || v.max > kMaxWord) return "maximum";
    return nullptr;
}

bool is_version_line(std::string_view line) { return window(line, 5, 7) == "version"; }

bool read_data_file(const std::string& path, std::size_t max_bytes, FileError::Kind first_line,
                    const std::string& what, std::string& bytes, FileError& err) {
    switch (read_file_checked(path, max_bytes, is_version_line, bytes)) {
    case CheckedRead::Read: return true;
    case CheckedRead::Unreadable:
        err = {FileError::Kind::Access, kErrFileAccess, "Path/File access error: " + shown_path(path)};
        break;
    case CheckedRead::FirstLine: err = {first_line, 0, ""}; break;
    case CheckedRead::TooLarge:
        err = {FileError::Kind::TooLarge, kErrBadValue,
               shown_path(path) + " is too large for a " + what + " (more than " +
                   std::to_string(max_bytes >> 20) + " MB)"};
        break;
    }
    bytes.clear();
    return false;
}

bool parse_project_file(std::string_view bytes, StagedProject& out, FileError& err, const ParseHooks& hooks) {
    using Kind = FileError::Kind;
    err = {};
    LineReader in(bytes, err);
    std::string_view s;

    if (!in.next(s)) return false;
    if (!is_version_line(s)) return in.refuse(Kind::Version);
    out.multi_protocol = window(s, 15, 13) == "MultiProtocol" ? 1 : 0;

    if (!in.next(s)) return false;
    if (window(s, 5, 5) != "model") return in.refuse(Kind::Format);
    const TerminalModel* m = model_by_file_code(read_decimal(s));
    if (!m) return in.refuse(Kind::Model);
    out.kx_type = m->key;
    out.n_cols = m->cols;
    out.n_rows = m->rows;

    if (!in.next(s)) return false;
    out.num_mode = read_decimal(s) == 1 ? "HEX" : "DEC";
    if (!in.next(s)) return false;
    out.link_on = read_decimal(s) != 0;
    if (!in.next(s)) return false;
    out.n_lang = read_decimal(s);
    if (out.n_lang < 1 || out.n_lang > kLangSlots)
        return in.bad("language count " + std::to_string(out.n_lang));
    if (!in.next(s)) return false;
    out.last_page_idx = round_count(static_cast<double>(read_decimal(s)) / out.n_lang - 1);
    if (out.last_page_idx < 0 || out.last_page_idx > kMaxPageIdx)
        return in.bad("page count " + std::to_string(out.last_page_idx + 1));
    if (!in.next(s)) return false;
    out.tot_strings = read_decimal(s);
    out.n_strings = round_count(static_cast<double>(out.tot_strings) / out.n_lang);
    if (out.n_strings < 0 || out.n_strings > kMaxStrings)
        return in.bad("string count " + std::to_string(out.n_strings));

    for (int i = 0; i < kFileLangs; ++i) {
        if (!in.next(s)) return false;
        std::string name(s);
        if (name.empty()) name = "    ";
        out.language_names[i] = std::move(name);
    }
    if (hooks.header) hooks.header(out);

    out.pages.assign(out.n_lang, std::vector<page_record>(out.last_page_idx + 1));
    BlockMemo memo(out);
    for (int L = 0; L < out.n_lang; ++L) {
        for (int page = 0; page <= out.last_page_idx; ++page) {
            if (!read_page_block(in, out, memo, L, page)) return false;
            if (hooks.page) hooks.page(page + out.last_page_idx * L);
        }
    }
    align_marks(out);

    out.strings.assign(out.n_lang, {});
    for (int L = 0; L < out.n_lang; ++L) {
        out.strings[L].reserve(out.n_strings);
        for (int k = 0; k < out.n_strings; ++k) {
            if (!in.next(s)) return false;
            out.strings[L].emplace_back(s);
        }
    }
    return true;
}

void install_staged_project(Project& p, StagedProject&& st) {
    p.kx_type = st.kx_type;
    p.n_cols = static_cast<std::int16_t>(st.n_cols);
    p.n_rows = static_cast<std::int16_t>(st.n_rows);
    p.multi_protocol = st.multi_protocol;
    p.num_mode = st.num_mode;
    p.link_on = st.link_on;
    p.n_lang = static_cast<std::int16_t>(st.n_lang);
    p.last_page_idx = static_cast<std::int16_t>(st.last_page_idx);
    p.n_strings = static_cast<std::int16_t>(st.n_strings);
    p.tot_strings = static_cast<std::int16_t>(std::clamp(st.tot_strings, -32768, 32767));
    p.act_lang = 0;
    for (int i = 0; i < kFileLangs; ++i) p.language_names[i] = std::move(st.language_names[i]);
    for (int L = 0; L < st.n_lang; ++L) {
        for (int page = 0; page <= st.last_page_idx; ++page) p.page_store[L][page] = st.pages[L][page];
        auto& dst = p.global_strings[L];
        for (int k = 0; k < kStringSlots; ++k)
            dst[k] = k < st.n_strings ? std::move(st.strings[L][k]) : std::string();
    }
}

bool project_file_bytes(const Project& p, std::string& out, FileError& err,
                        const std::function<void(int)>& on_page) {
    out.clear();
    err = {};
    auto refuse = [&](const std::string& what) {
        err = {FileError::Kind::Damaged, kErrBadValue, "Value out of range for the project file: " + what};
        return false;
    };
    const TerminalModel* m = find_model(p.kx_type);
    if (!m || m->file_code == 0) return refuse("model " + p.kx_type);
    if (p.n_cols != m->cols || p.n_rows != m->rows) return refuse("display geometry");
    if (p.file_version.size() != 3 || p.file_version.find_first_of("\r\n") != std::string::npos)
        return refuse("file version");
    if (p.n_lang < 1 || p.n_lang > kLangSlots) return refuse("language count " + std::to_string(p.n_lang));
    if (p.last_page_idx < 0 || p.last_page_idx > kMaxPageIdx)
        return refuse("page count " + std::to_string(p.last_page_idx + 1));
    if (p.n_strings < 0 || p.n_strings > kMaxStrings)
        return refuse("string count " + std::to_string(p.n_strings));

    const int n_lang = p.n_lang, last = p.last_page_idx, cols = p.n_cols, rows = p.n_rows;
    out.reserve(static_cast<std::size_t>(n_lang) * (last + 1) * (rows * (cols + 2) + 22 + 8 * 31) +
                static_cast<std::size_t>(n_lang) * p.n_strings * (cols + 2) + 256);

    append_text_line(out, p.file_version + "  version" +
                              (p.multi_protocol != 0 ? " - MultiProtocol" : " - MonoProtocol"));
    append_text_line(out, number_text(m->file_code, 3, ' ') + "  model");
    append_text_line(out, number_text(p.num_mode == "HEX" ? 1 : 0, 3, ' ') + "  mode");
    append_text_line(out, number_text(p.link_on ? 1 : 0, 3, ' ') + "  link");
    append_text_line(out, number_text(n_lang, 3, ' ') + "  languages");
    std::string tot_pages = " " + std::to_string((last + 1) * n_lang); // one blank stays in front
    pad_left_space(tot_pages, 3);
    append_text_line(out, tot_pages + "  tot_pages");
    append_text_line(out, number_text(p.n_strings * n_lang, 3, ' ') + "  tot_strings");
    for (int i = 0; i < kFileLangs; ++i) {
        // An empty name of a language in use goes out as the reader would take it back.
        const bool blank = i < n_lang && p.language_names[i].empty();
        append_text_line(out, blank ? std::string("    ") : p.language_names[i]);
    }

    // The links line and the variable lines of a page come from its language-0 record, so
    // they are the same in every language's block: made once, with the checks, per page.
    std::vector<std::string> tails(last + 1);
    auto make_tail = [&](int page, std::string& t) {
        const page_record& r0 = p.page_store[0][page];
        auto where = [page] { return "page " + std::to_string(page); };
        std::array<variable_record, kVarSlots> vars{};
        for (int slot = 1; slot < kVarSlots; ++slot) vars[slot] = r0.var(slot);
        std::string fault = page_vars_fault(p.kx_type, cols, rows, vars);
        if (!fault.empty()) return refuse(where() + ", " + fault);
        t.reserve(22 + 8 * 31);
        for (int k = 0; k < 4; ++k) {
            if (r0.links[k] < 0 || r0.links[k] > kMaxLink)
                return refuse(where() + ", link " + std::to_string(k) + " = " + std::to_string(r0.links[k]));
            append_number(t, r0.links[k], 4, ' ');
        }
        t += r0.pwd == 1 ? "   1\r\n" : "   0\r\n";
        for (int slot = 1; slot < kVarSlots; ++slot) {
            const variable_record& v = vars[slot];
            if (v.digits <= 0) {
                append_text_line(t, kUnusedVarLine);
                continue;
            }
            append_number(t, v.access, 1, '0');
            t += ' ';
            append_number(t, type_code_to_terminal(v.type, p.kx_type), 2, '0');
            t += ' ';
            append_number(t, v.pos, 3, '0');
            t += ' ';
            append_number(t, v.digits, 2, '0');
            const std::pair<std::int32_t, int> fields[] = {
                {v.dec, 2}, {v.address, 4}, {v.min, 4}, {v.max, 4}};
            for (const auto& [value, width] : fields) {
                t += ' ';
                append_hex(t, value, width);
            }
            t += "\r\n";
        }
        return true;
    };
    const CodeTables& tables = code_tables();
    for (int L = 0; L < n_lang; ++L) {
        for (int page = 0; page <= last; ++page) {
            if (L == 0 && !make_tail(page, tails[page])) return false;
            const auto& chars = p.page_store[L][page].chars;
            const std::size_t at = out.size();
            out.resize(at + static_cast<std::size_t>(rows) * (cols + 2));
            char* w = out.data() + at;
            for (int r = 0; r < rows; ++r) {
                for (int col = 0; col < cols; ++col) {
                    *w++ = file_byte(tables, chars[r * cols + col]);
                }
                *w++ = '\r';
                *w++ = '\n';
            }
            out += tails[page];
            if (on_page) on_page(page + last * L);
        }
    }
    for (int L = 0; L < n_lang; ++L)
        for (int k = 0; k < p.n_strings; ++k) append_text_line(out, p.global_strings[L][k]);
    return true;
}

std::string page_vars_fault(const std::string& kx_type, int n_cols, int n_rows,
                            const std::array<variable_record, kVarSlots>& t) {
    // The model is looked up once a page, not once a variable: a file holds thousands.
    const int types = static_cast<int>(variable_type_list(kx_type).size());
    for (int s = 1; s < kVarSlots; ++s) {
        if (t[s].digits <= 0) continue;
        if (const char* f = variable_fault(types, n_cols, n_rows, t[s]))
            return "variable " + std::to_string(s) + " " + f;
    }
    if (int s = overlapping_var(t)) return "variable " + std::to_string(s) + " overlaps another";
    return "";
}

std::string backup_path(const std::string& path) {
    const std::size_t dot = path.find_last_of('.');
    const std::size_t sep = path.find_last_of("\\/");
    const bool has_ext = dot != std::string::npos && (sep == std::string::npos || dot > sep);
    // A name near the longest the folder allows gets a shorter backup name, or no save
    // after the first could keep its backup.
    return fitted_name(has_ext ? path.substr(0, dot) : path, ".BAK");
}

void make_default_project(Ctx& c) {
    c.p.kx_type = "KXB_5560";
    set_terminal_model(c, c.p.kx_type);
    init_project(c, "", 0);
}

bool open_project_file(Ctx& c, const std::string& path) {
    Project& p = c.p;
    c.settings.save("Inizializzazione", "UltimaDirectory", path);

    StagedProject st;
    FileError err;
    bool progress = false;
    ParseHooks hooks;
    hooks.header = [&](const StagedProject& s) {
        pause(c);
        c.view().progress_show(c.txt(10075), std::max(1, s.last_page_idx * s.n_lang));
        progress = true;
        pause(c);
    };
    hooks.page = [&](int value) { c.view().progress_value(value); };
    std::string bytes;
    bool ok =
        read_data_file(path, kMaxProjectFileBytes, FileError::Kind::Version, "project file", bytes, err);
    ok = ok && parse_project_file(bytes, st, err, hooks);
    if (progress) {
        c.view().progress_close();
        pause(c);
    }

    if (!ok) {
        // Nothing of the file reaches the project: the empty default project, with a fresh
        // name, so that no later Save writes over the file that could not be read.
        switch (err.kind) {
        case FileError::Kind::Version: c.prompt.message(c.txt(10017), kOkOnly, c.txt(10018)); break;
        case FileError::Kind::Format: c.prompt.message(c.txt(10160), kOkOnly, c.txt(10018)); break;
        case FileError::Kind::Model: c.prompt.message(c.txt(10019), kOkOnly, c.txt(10020)); break;
        default: report_error(c, err.number, err.description); break;
        }
        make_default_project(c);
        return false;
    }

    install_staged_project(p, std::move(st));
    set_terminal_model(c, p.kx_type);
    c.view().lang_list_set(
        std::vector<std::string>(p.language_names.begin(), p.language_names.begin() + p.n_lang), 0);
    build_display(c);
    p.act_page = 0;
    p.cursor_pos = 0;
    load_page(c, 0, p.act_lang);
    show_page_nr(c, p.act_page);
    show_row_col(c, p.cursor_pos); // the cursor labels leave the old project's cell
    apply_number_mode(c);
    p.skip_link_ask = true;
    apply_link_mode(c);
    p.skip_link_ask = false;
    show_model_label(c);
    detect_multiprotocol(c);
    enable_model_option_menus(c);
    multiprotocol_off(c);
    update_recent_files(c, path);
    return true;
}

bool save_project_file(Ctx& c, const std::string& path) {
    Project& p = c.p;
    pause(c);
    c.view().progress_show(c.txt(10076), std::max(1, p.n_lang * p.last_page_idx));
    pause(c);
    std::string bytes;
    FileError err;
    bool ok = project_file_bytes(p, bytes, err, [&](int value) { c.view().progress_value(value); });
    std::string why;
    if (ok && !replace_file(path, bytes, backup_path(path), why)) {
        ok = false;
        err = {FileError::Kind::Access, kErrFileAccess, shown_path(why)};
    }
    c.view().progress_close();
    if (!ok) {
        // The file at path, its backup, project_path, the settings and prj_modified stay as
        // they were: the caller must not take the project for saved.
        c.prompt.busy(false);
        restore_dialog_state(c, c.cdg1);
        report_error(c, err.number, err.description);
        return false;
    }
    update_recent_files(c, path);
    load_page(c, p.act_page, p.act_lang);
    return true;
}

bool check_dialog_file_exists(Ctx& c, const FileDialog& dlg) {
    if (file_exists(dlg.file_name)) return false;
    const std::size_t sep = dlg.file_name.find_last_of("\\/");
    const std::string name = sep == std::string::npos ? dlg.file_name : dlg.file_name.substr(sep + 1);
    c.beep();
    c.prompt.message(c.txt(10168) + " " + shown_path(name) + " " + c.txt(10169), kOkOnly);
    return true;
}

bool confirm_overwrite(Ctx& c, const std::string& path) {
    if (!file_exists(path)) return true;
    c.beep();
    return c.prompt.message(c.txt(10070) + " " + shown_path(path) + " " + c.txt(10071), kYesNoCancel) ==
           kAnsYes;
}

} // namespace kx
