#include "core/transfer.h"

#include "core/context.h"
#include "core/display.h"
#include "core/models.h"
#include "core/projectfile.h"
#include "core/serial_rx.h"
#include "core/store.h"
#include "core/text.h"
#include "core/variables.h"

#include <algorithm>
#include <cmath>

namespace kx {
namespace {

// The bounds of the project as the transfers may send it; a sane project is inside them.
int lang_bound(const Project& p) { return std::clamp<int>(p.n_lang, 1, kLangSlots); }
int last_bound(const Project& p) { return std::clamp<int>(p.last_page_idx, 0, kMaxPageIdx); }
int strings_bound(const Project& p) { return std::clamp<int>(p.n_strings, 0, kMaxStrings); }
int progress_max(int n) { return n < 1 ? 1 : n; }

// The reply time-outs and line errors end a transfer without a further message: every
// exchange answers whether the transfer goes on.
bool exchange(Project& p, LinkPort& link, const std::string& text) {
    link.send_frame(text);
    link.wait_reply();
    return p.comm_error == 0;
}

void download_sequence(Ctx& c, LinkPort& link, TransferPanel& panel) {
    Project& p = c.p;
    const int langs = lang_bound(p), last = last_bound(p), n_str = strings_bound(p);

    panel.set_info(c.txt(10047));
    if (!exchange(p, link, "")) return; // erase: a time-out here ends the download too
    if (!exchange(p, link, dec4(langs))) return;
    if (!exchange(p, link, dec4((last + 1) * langs))) return;
    for (int l = 0; l < langs; ++l)
        if (!exchange(p, link, download_name(p.language_names[l]))) return;

    panel.set_info(c.txt(10045));
    panel.progress_show(progress_max(langs * last));
    for (int l = 0; l < langs; ++l) {
        for (int pg = 0; pg <= last; ++pg) {
            for (const std::string& f : download_page_frames(p, l, pg))
                if (!exchange(p, link, f)) return;
            panel.progress_value(l * last + pg);
        }
    }

    wait_ms(c.pump, 278);
    link.send_frame(std::string{kStx, 0x06, kEtx}); // end marker, not answered
    wait_ms(c.pump, 111);

    panel.set_info(c.txt(10046));
    panel.progress_show(progress_max(langs * n_str));
    if (!exchange(p, link, hex_field(langs * n_str, 4))) return;
    for (int l = 0; l < langs; ++l) {
        for (int s = 0; s < n_str; ++s) {
            if (!exchange(p, link, frame_safe(p.global_strings[l][s]))) return;
            panel.progress_value(l * n_str + s + 1);
        }
    }
    c.beep();
    c.prompt.message(c.txt(10077), kOkOnly);
}

// A received page block goes into record (lang, page) and through the editor, which lays
// the variables' marks again and commits them to every language.
void store_page(Ctx& c, const page_record& rec, int page, int lang) {
    Project& p = c.p;
    page_record& r = p.page_store[lang][page];
    const int cells = p.cells();
    std::copy_n(rec.chars.begin(), cells, r.chars.begin());
    for (int k = 0; k < 4; ++k) r.links[k] = rec.links[k];
    r.pwd = rec.pwd;
    r.var_count = rec.var_count;
    for (int s = 0; s < kVarSlots; ++s) r.set_var(s, rec.var(s));
    load_page(c, page, lang);
    for (int k = 1; k <= p.n_vars; ++k) draw_var_cells(c, k);
    save_page(c, page, lang);
    p.act_page = static_cast<std::int16_t>(page);
}

// Pages and strings of the announced languages that do not arrive stay those of an empty
// project, not what an older project left in the stores.
void clear_incoming(Ctx& c) {
    Project& p = c.p;
    for (int l = 0; l < p.n_lang; ++l) {
        for (int pg = 0; pg <= p.last_page_idx; ++pg) clear_page(c, pg, l);
        for (auto& s : p.global_strings[l]) s.clear();
    }
}

void upload_sequence(Ctx& c, LinkPort& link, TransferPanel& panel) {
    Project& p = c.p;
    auto next = [&] {
        link.wait_reply();
        return p.comm_error == 0;
    };
    auto ack = [&] { link.send_frame(""); };

    panel.set_info(c.txt(10050));
    if (!next()) return;
    const int langs = read_lang_count(p.rx_buffer);
    p.n_lang = static_cast<std::int16_t>(langs);
    clear_incoming(c);
    ack();

    if (!next()) return;
    const int last = read_last_page_idx(p.rx_buffer, langs);
    p.last_page_idx = static_cast<std::int16_t>(last);
    clear_incoming(c);
    ack();

    std::vector<std::string> names;
    c.view().lang_list_set(names, -1);
    for (int i = 0; i < langs; ++i) {
        if (!next()) return;
        check_text(p.rx_buffer, "language name");
        p.language_names[i] = p.rx_buffer;
        names.push_back(p.rx_buffer);
        c.view().lang_list_set(names, 0);
        ack();
    }
    p.act_lang = 0;

    panel.set_info(c.txt(10051));
    panel.progress_show(progress_max(last * langs));
    for (int l = 0; l < langs; ++l) {
        for (int pg = 0; pg <= last; ++pg) {
            PageBlockReader block(p.kx_type, p.n_cols, p.n_rows, pg);
            bool complete = false;
            while (!complete) {
                if (!next()) return;
                complete = block.take(p.rx_buffer);
                ack();
            }
            store_page(c, block.record(), pg, l);
            panel.progress_value(pg + l * last);
        }
    }

    panel.set_info(c.txt(10052));
    if (!next()) return;
    int tot = 0;
    const int n_str = read_string_count(p.rx_buffer, langs, tot);
    p.tot_strings = static_cast<std::int16_t>(tot);
    p.n_strings = static_cast<std::int16_t>(n_str);
    ack();
    panel.progress_show(progress_max(n_str * langs));
    for (int l = 0; l < langs; ++l) {
        for (int s = 0; s < n_str; ++s) {
            if (!next()) return;
            check_text(p.rx_buffer, "global string");
            p.global_strings[l][s] = p.rx_buffer;
            panel.progress_value(l * n_str + s + 1);
            ack();
        }
    }
    c.beep();
    c.prompt.message(c.txt(10077), kOkOnly);
}

// Every end of an upload: the editor shows page 0 and multi-protocol mode is off. A page
// total of 0 leaves the blank page 0 of the empty project.
void upload_end(Ctx& c) {
    Project& p = c.p;
    if (p.last_page_idx < 0) {
        p.last_page_idx = 0;
        for (int l = 0; l < lang_bound(p); ++l) clear_page(c, 0, l);
    }
    p.act_page = 0;
    load_page(c, p.act_page, p.act_lang);
    show_page_nr(c, p.act_page);
    detect_multiprotocol(c);
    multiprotocol_off(c);
}

} // namespace

TransferOutcome report_failure(Ctx& c, LinkPort& link, TransferPanel& panel, const TransferError& e) {
    report_error(c, e.number(), e.what());
    link.release();
    panel.cancel_shown();
    return TransferOutcome::Failed;
}

// --- A line replayed from bytes ---

void ReplayLink::wait_reply() {
    p_.rx_done = false;
    p_.comm_error = 0;
    while (!p_.rx_done && pos_ < bytes_.size()) receive_char(p_, bytes_[pos_++]);
    if (!p_.rx_done) p_.comm_error = -1;
}

// --- Frame texts of the download ---

// Received bytes as a message can show them: control codes (a NUL would cut the message
// short) and the bytes the code page leaves without a character go as \xHH.
std::string printable(const std::string& text) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char ch : text) {
        if (!is_control_byte(ch)) {
            out += static_cast<char>(ch);
            continue;
        }
        out += "\\x";
        out += digits[ch >> 4];
        out += digits[ch & 15];
    }
    return out;
}

[[noreturn]] void bad_data(int number, const std::string& detail) {
    const char* what = number == kErrInvalid     ? "Invalid data"
                       : number == kErrOverflow  ? "Overflow"
                       : number == kErrDivByZero ? "Division by zero"
                                                 : "Subscript out of range";
    throw TransferError(number, std::string(what) + " (" + printable(detail) + ")");
}

int read_dec16(const std::string& text, const char* what) {
    const std::int32_t v = read_decimal(text);
    if (v < -32768 || v > 32767) bad_data(kErrOverflow, std::string(what) + " " + text);
    return v;
}

std::string dec4(int value) {
    std::string s = std::to_string(value);
    if (value >= 0) pad_left_zero(s, 4);
    return s;
}

std::string hex_field(std::int64_t value, int width) {
    std::string s = to_hex(value);
    pad_left_zero(s, width);
    return s;
}

std::string frame_safe(const std::string& text) {
    std::string s = text;
    std::replace_if(
        s.begin(), s.end(), [](char ch) { return ch == kStx || ch == kEtx; }, ' ');
    return s;
}

int received_cell(int byte) {
    switch (byte) {
    case 255: return kCodeVarDigit;
    default:
        if (const int arrow = arrow_of_line_code(byte)) return arrow;
        return byte;
    }
}

std::string download_name(const std::string& name) {
    std::string s = frame_safe(name);
    pad_right_space(s, 9);
    return s;
}

std::string download_row(const Project& p, int lang, int page, int row) {
    const page_record& r = p.page_store[lang][page];
    std::string s;
    s.reserve(p.n_cols);
    for (int col = 0; col < p.n_cols; ++col) {
        const int cell = row * p.n_cols + col;
        s += download_cell(cell < kMaxCells ? r.chars[cell] : 32);
    }
    return s;
}

char download_cell(int code) {
    switch (code) {
    case kCodeVarDigit: code = 255; break;
    case kCodeVarPoint: code = '.'; break;
    default:
        if (const int arrow = arrow_line_code(code)) return static_cast<char>(arrow);
        // Codes the line cannot carry as themselves: above 127, below 0, and the
        // framing bytes, which would split the frame.
        if (code > 127 || code < 0 || code == kStx || code == kEtx) code = ' ';
    }
    return static_cast<char>(code);
}

std::vector<std::string> download_page_frames(const Project& p, int lang, int page) {
    std::vector<std::string> f;
    for (int row = 0; row < p.n_rows; ++row) f.push_back(download_row(p, lang, page, row));
    const page_record& r0 = p.page_store[0][page];
    for (int k = 0; k < 4; ++k) f.push_back(hex_field(r0.links[k], 4));
    const int nv = std::clamp<int>(r0.var_count, 0, kMaxVars);
    f.push_back(hex_field(nv + (r0.pwd == 1 ? 128 : 0), 2));
    for (int s = 1; s <= nv; ++s) {
        const variable_record v = r0.var(s);
        f.push_back(hex_field(v.access, 2));
        f.push_back(hex_field(type_code_to_terminal(v.type, p.kx_type), 2));
        f.push_back(hex_field(v.pos, 2));
        f.push_back(hex_field(v.digits, 2));
        f.push_back(hex_field(v.dec, 2));
        f.push_back(hex_field(v.address, 4));
        f.push_back(hex_field(v.min, 4));
        f.push_back(hex_field(v.max, 4));
    }
    return f;
}

// --- Checked reading ---

int read_lang_count(const std::string& text) {
    const int n = read_dec16(text, "language count");
    if (n == 0) bad_data(kErrDivByZero, "language count 0");
    if (n < 0 || n > kLangSlots) bad_data(kErrOutOfRange, "language count " + std::to_string(n));
    return n;
}

int read_last_page_idx(const std::string& text, int n_lang) {
    const int total = read_dec16(text, "page total");
    if (total < 0) bad_data(kErrOutOfRange, "page total " + std::to_string(total));
    // Rounded to the nearest integer, halves to even, as the count is divided.
    const int last = static_cast<int>(round_half_even(static_cast<double>(total) / n_lang - 1));
    if (last > kMaxPageIdx) bad_data(kErrOutOfRange, "page total " + std::to_string(total));
    return last;
}

int read_string_count(const std::string& text, int n_lang, int& tot_strings) {
    const int tot = read_dec16(text, "string total");
    const int n = static_cast<int>(round_half_even(static_cast<double>(tot) / n_lang));
    if (tot < 0 || n > kMaxStrings) bad_data(kErrOutOfRange, "string total " + std::to_string(tot));
    tot_strings = tot;
    return n;
}

void check_text(const std::string& text, const char* what) {
    if (text.find_first_of("\r\n") != std::string::npos)
        bad_data(kErrInvalid, std::string("line break in a ") + what);
}

PageBlockReader::PageBlockReader(const std::string& kx_type, int n_cols, int n_rows, int page)
    : kx_type_(kx_type), n_cols_(n_cols), n_rows_(n_rows) {
    const int cells = std::min(n_cols * n_rows, kMaxCells);
    for (int i = 0; i < cells; ++i) rec_.chars[i] = 32;
    for (int k = 0; k < 4; ++k) rec_.links[k] = static_cast<std::int16_t>(page);
}

bool PageBlockReader::take(const std::string& text) {
    const int step = step_++;
    if (step < n_rows_) {
        if (static_cast<int>(text.size()) < n_cols_)
            bad_data(kErrOutOfRange, "row of " + std::to_string(text.size()) + " characters");
        for (int col = 0; col < n_cols_; ++col) {
            const int byte = static_cast<unsigned char>(text[col]);
            int code = received_cell(byte);
            if (code == byte) code = check_char(code); // what the display cannot show, as in a file
            const int cell = step * n_cols_ + col;
            if (cell < kMaxCells) rec_.chars[cell] = static_cast<std::int16_t>(code);
        }
        return false;
    }
    if (step < n_rows_ + 4) {
        const int v = read_dec16(text, "link");
        if (v < 0 || v > 9999) bad_data(kErrOverflow, "link " + text);
        rec_.links[step - n_rows_] = static_cast<std::int16_t>(v);
        return false;
    }
    if (step == n_rows_ + 4) {
        const int v = read_dec16(text, "variable count");
        const int n = v & ~128;
        if (n < 0 || n > kMaxVars) bad_data(kErrOutOfRange, "variable count " + text);
        rec_.var_count = static_cast<std::int16_t>(n);
        rec_.pwd = (v & 128) ? 1 : 0;
        return n == 0;
    }
    const int k = step - n_rows_ - 5;
    const int slot = k / 8 + 1, field = k % 8;
    const std::int32_t v = hex_to_long(text);
    // The widest value each field holds in the project file.
    static const struct {
        const char* name;
        std::int32_t max;
    } fields[8] = {{"access", 1},      {"type", 99},        {"position", 0},     {"digits", 99},
                   {"decimals", 0xFF}, {"address", 0xFFFF}, {"minimum", 0xFFFF}, {"maximum", 0xFFFF}};
    if (field == 2) {
        if (v >= n_cols_ * n_rows_) bad_data(kErrOutOfRange, "position " + text + " outside the page");
    } else if (v > fields[field].max) {
        bad_data(kErrOverflow, std::string(fields[field].name) + " " + text);
    }
    switch (field) {
    case 0: rec_.access[slot] = static_cast<std::int16_t>(v); break;
    case 1: rec_.type[slot] = static_cast<std::int16_t>(type_code_from_terminal(v, kx_type_)); break;
    case 2: rec_.pos[slot] = static_cast<std::int16_t>(v); break;
    case 3: rec_.digits[slot] = static_cast<std::int16_t>(v); break;
    case 4: rec_.dec[slot] = static_cast<std::int16_t>(v); break;
    case 5: rec_.address[slot] = v; break;
    case 6: rec_.min[slot] = v; break;
    case 7: rec_.max[slot] = v; break;
    }
    if (slot < rec_.var_count || field < 7) return false;
    // The block is complete: its variables must stand on the page as the file reader and the
    // writer take them, or the project could never be saved.
    std::array<variable_record, kVarSlots> table{};
    for (int s = 1; s <= rec_.var_count; ++s) {
        table[s] = rec_.var(s);
        if (table[s].digits < 1) bad_data(kErrOutOfRange, "variable " + std::to_string(s) + " digits");
    }
    const std::string fault = page_vars_fault(kx_type_, n_cols_, n_rows_, table);
    if (!fault.empty()) bad_data(kErrOutOfRange, fault);
    return true;
}

// --- The transfers ---

TransferOutcome run_download(Ctx& c, LinkPort& link, TransferPanel& panel) {
    if (check_port_open(c, link.port_open())) return TransferOutcome::Refused;
    try {
        link.open();
        panel.buttons_hidden();
        download_sequence(c, link, panel);
    } catch (const TransferError& e) {
        return report_failure(c, link, panel, e);
    }
    link.release();
    return TransferOutcome::Ended;
}

TransferOutcome run_upload(Ctx& c, LinkPort& link, TransferPanel& panel) {
    if (check_port_open(c, link.port_open())) return TransferOutcome::Refused;
    TransferOutcome outcome = TransferOutcome::Ended;
    try {
        link.open();
        panel.buttons_hidden();
        upload_sequence(c, link, panel);
        link.release();
    } catch (const TransferError& e) {
        outcome = report_failure(c, link, panel, e);
    }
    upload_end(c);
    return outcome;
}

TransferOutcome replay_upload(Ctx& c, std::string_view bytes) {
    ReplayLink link(c.p, bytes);
    TransferPanel panel;
    return run_upload(c, link, panel);
}

void upload_command(Ctx& c, const std::function<void()>& run_dialog) {
    if (choose_terminal_model(c, "upload") == 2) return;
    c.prompt.busy(true);
    run_dialog();
    c.prompt.busy(false);
    c.p.prj_modified = true;
}

void cancel_transfer(Ctx& c, LinkPort& link) {
    if (link.port_open()) link.release();
    c.p.port_idle = true;
}

void request_stop(Ctx& c) { c.p.stop_transfer = true; }

} // namespace kx
