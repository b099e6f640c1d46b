#include "core/compare.h"

#include "core/context.h"
#include "core/display.h"
#include "core/models.h"
#include "core/serial_rx.h"
#include "core/store.h"
#include "core/text.h"
#include "core/variables.h"

#include <ctime>

namespace kx {
namespace {

const std::string kCrLf = "\r\n";
const std::string kTab = "\t";

std::string chr(int code) { return std::string(1, static_cast<char>(code)); }
std::string num(std::int64_t v) { return std::to_string(v); }

// The leading run of characters with codes 32 to 127.
std::string printable_prefix(const std::string& s) {
    size_t n = 0;
    while (n < s.size()) {
        const unsigned char ch = static_cast<unsigned char>(s[n]);
        if (ch < 32 || ch > 127) break;
        ++n;
    }
    return s.substr(0, n);
}

// A variable field that the terminal sends as an 8-bit value.
int read_byte_field(const std::string& text, const char* what) {
    const std::int32_t v = hex_to_long(text);
    if (v < 0 || v > 255) bad_data(kErrOverflow, std::string(what) + " " + text);
    return v;
}

std::string now_text() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[64];
    std::strftime(buf, sizeof buf, "%d/%m/%Y %H:%M:%S", &tm);
    return buf;
}

class CompareRun {
public:
    CompareRun(Ctx& c, LinkPort& link, ComparePanel& panel, CompareTotals& totals)
        : c_(c), p_(c.p), link_(link), panel_(panel), totals_(totals) {}

    // The whole sequence; returns when it ended, for whatever reason but a run-time error:
    // the verdict's message id when it ran to its end, 0 when it was stopped.
    int sequence();
    bool pages_started() const { return pages_started_; }

private:
    bool next() {
        link_.wait_reply();
        return p_.comm_error == 0;
    }
    void ack() { link_.send_frame(""); }
    bool line(int id, const std::string& read, const std::string& held, const std::string& note, int style) {
        return report_compare_line(c_, panel_, totals_, id, read, held, note, style) == kCmpGoOn;
    }
    std::string lang_note(int lang) const { return c_.txt(10179) + " " + num(lang); }
    std::string page_note(int page, int lang) const {
        return lang_note(lang) + " (" + p_.language_names[lang] + ")   " + c_.txt(10181) + " " + num(page);
    }
    // False when the compare ends here (a fatal line or a serial error).
    bool compare_page(int page, int lang);
    bool compare_rows(int page, int lang, const std::string& note);
    bool compare_variable(int k, const page_record& r0, const std::string& page_note);

    Ctx& c_;
    Project& p_;
    LinkPort& link_;
    ComparePanel& panel_;
    CompareTotals& totals_;
    bool pages_started_ = false;
};

bool CompareRun::compare_rows(int page, int lang, const std::string& note) {
    const page_record& r = p_.page_store[lang][page];
    for (int row = 0; row < p_.n_rows; ++row) {
        if (!next()) return false;
        const std::string& text = p_.rx_buffer;
        if (static_cast<int>(text.size()) < p_.n_cols)
            bad_data(kErrOutOfRange, "row of " + num(text.size()) + " characters");
        for (int col = 0; col < p_.n_cols; ++col) {
            const int cell = row * p_.n_cols + col;
            const int held = cell < kMaxCells ? r.chars[cell] : 32;
            const int byte = static_cast<unsigned char>(text[col]);
            // A cell matches when the terminal holds what the download sent for it; "_" in
            // the project matches anything.
            if (held == '_' || byte == static_cast<unsigned char>(download_cell(held))) continue;
            const std::string cell_note =
                note + "   " + c_.txt(10182) + " " + num(row) + "   " + c_.txt(10183) + " " + num(col);
            if (!line(10184, "'" + chr(received_cell(byte)) + "'", "'" + chr(held) + "'", cell_note,
                      kStyleError))
                return false;
        }
        ack();
    }
    return true;
}

bool CompareRun::compare_variable(int k, const page_record& r0, const std::string& page_note) {
    const std::string note = page_note + "   " + c_.txt(10188) + " " + num(k);
    int type = 0;
    for (int field = 0; field < 8; ++field) {
        if (!next()) return false;
        const std::string& text = p_.rx_buffer;
        bool go_on = true;
        switch (field) {
        case 0: {
            const int v = read_byte_field(text, "access");
            if (v != r0.access[k]) go_on = line(10189, num(v), num(r0.access[k]), note, kStyleError);
            break;
        }
        case 1: {
            type = type_code_from_terminal(read_byte_field(text, "type"), p_.kx_type);
            if (type != r0.type[k]) go_on = line(10190, num(type), num(r0.type[k]), note, kStyleError);
            break;
        }
        case 2: {
            const int v = read_byte_field(text, "position");
            const int held = r0.pos[k];
            if (v == held) break;
            if (v % p_.n_cols != held % p_.n_cols)
                go_on = line(10192, num(v % p_.n_cols), num(held % p_.n_cols), note, kStyleError);
            if (go_on && v / p_.n_cols != held / p_.n_cols)
                go_on = line(10191, num(v / p_.n_cols), num(held / p_.n_cols), note, kStyleError);
            break;
        }
        default: {
            static const int ids[] = {10193, 10194, 10195, 10196, 10197};
            const std::int32_t v = field == 3 ? read_byte_field(text, "digits") : hex_to_long(text);
            const std::int32_t held = field == 3   ? r0.digits[k]
                                      : field == 4 ? r0.dec[k]
                                      : field == 5 ? r0.address[k]
                                      : field == 6 ? r0.min[k]
                                                   : r0.max[k];
            if (v == held) break;
            std::string n = note;
            const int style = classify_difference(c_, type, field - 2, n);
            go_on = line(ids[field - 3], num(v), num(held), n, style);
        }
        }
        if (!go_on) return false;
        ack();
    }
    return true;
}

bool CompareRun::compare_page(int page, int lang) {
    load_page(c_, page, lang);
    const std::string note = page_note(page, lang);
    if (!compare_rows(page, lang, note)) return false;

    const page_record& r0 = p_.page_store[0][page];
    for (int k = 0; k < 4; ++k) {
        if (!next()) return false;
        const int v = read_dec16(p_.rx_buffer, "link");
        if (v != r0.links[k] && !line(10185, num(v), num(r0.links[k]), note, kStyleError)) return false;
        ack();
    }

    if (!next()) return false;
    const int count = read_dec16(p_.rx_buffer, "variable count");
    if (count < 0 || count > 255) bad_data(kErrOverflow, "variable count " + p_.rx_buffer);
    const bool pwd = (count & 128) != 0;
    const int n = count & 127;
    if (pwd != (r0.pwd == 1)) {
        const std::string on = "Link Password ON", off = "Link Password OFF";
        if (!line(10186, pwd ? on : off, pwd ? off : on, note, kStyleError)) return false;
    }
    if (n != r0.var_count) {
        line(10187, num(n), num(r0.var_count), note, kStyleFatal);
        return false;
    }
    ack();

    for (int k = 1; k <= n; ++k)
        if (!compare_variable(k, r0, note)) return false;

    load_page(c_, page, lang);
    for (int k = 1; k <= p_.n_vars; ++k) draw_var_cells(c_, k);
    p_.act_page = static_cast<std::int16_t>(page);
    return true;
}

int CompareRun::sequence() {
    panel_.set_info(c_.txt(10209));

    if (!next()) return 0;
    const int langs = read_dec16(p_.rx_buffer, "language count");
    if (langs != p_.n_lang) {
        line(10178, num(langs), num(p_.n_lang), "", kStyleFatal);
        return 0;
    }
    ack();

    if (!next()) return 0;
    const std::int64_t last = static_cast<std::int64_t>(read_decimal(p_.rx_buffer)) / langs - 1;
    if (last != p_.last_page_idx) {
        line(10172, num(last), num(p_.last_page_idx), "", kStyleFatal);
        return 0;
    }
    ack();

    for (int l = 0; l < langs; ++l) {
        if (!next()) return 0;
        const std::string name = printable_prefix(p_.rx_buffer);
        if (name != p_.language_names[l] &&
            !line(10173, name, p_.language_names[l], lang_note(l), kStyleWarning))
            return 0;
        ack();
    }

    const int last_page = p_.last_page_idx;
    panel_.progress_show(std::max(last_page * langs, 1));
    pages_started_ = true;
    for (int l = 0; l < langs; ++l) {
        for (int pg = 0; pg <= last_page; ++pg) {
            if (!compare_page(pg, l)) return 0;
            panel_.progress_value(pg + l * last_page);
        }
    }

    panel_.set_info(c_.txt(10210));
    if (!next()) return 0;
    const std::int64_t total = read_decimal(p_.rx_buffer);
    const int n_str = p_.n_strings;
    if (total != static_cast<std::int64_t>(n_str) * langs) {
        line(10174, num(total), num(static_cast<std::int64_t>(n_str) * langs), "", kStyleFatal);
        return 0;
    }
    ack();

    panel_.progress_show(std::max(n_str * langs, 1));
    for (int l = 0; l < langs; ++l) {
        for (int s = 0; s < n_str; ++s) {
            if (!next()) return 0;
            const std::string& held = p_.global_strings[l][s];
            const std::string note = lang_note(l) + "   " + c_.txt(10180) + " " + num(s);
            if (p_.rx_buffer != held && !line(10175, p_.rx_buffer, held, note, kStyleError)) return 0;
            panel_.progress_value(s + l * n_str + 1);
            ack();
        }
    }

    c_.beep();
    const int verdict = totals_.errors > 0 ? 10212 : totals_.warnings > 0 ? 10213 : 10211;
    c_.prompt.message(c_.txt(verdict), kOkOnly);
    return verdict;
}

// The editor shows page 0 of the current language again.
void restore_editor(Ctx& c) {
    c.p.act_page = 0;
    load_page(c, 0, c.p.act_lang);
    show_page_nr(c, 0);
}

} // namespace

int classify_difference(const Ctx& c, int type, int field, std::string& note) {
    if (model_type_list(c.p.kx_type) == TypeList::Long && (type == 4 || type == 5) && field >= 1 &&
        field <= 5) {
        note += kCrLf + kTab + c.txt(10214);
        return kStyleWarning;
    }
    return kStyleFatal;
}

std::string compare_line_text(const Ctx& c, int message_id, const std::string& value_read,
                              const std::string& value_held, const std::string& note, int style,
                              std::int32_t count) {
    const int header = style == kStyleWarning ? 10201 : style == kStyleError ? 10202 : 10203;
    std::string s = c.txt(header) + kTab + num(count);
    s += kCrLf + kTab + c.txt(message_id);
    if (!note.empty()) s += kCrLf + kTab + note;
    s += kCrLf + kTab + c.txt(10176) + " " + value_read;
    s += kCrLf + kTab + c.txt(10177) + " " + value_held;
    s += kCrLf;
    return s;
}

int report_compare_line(Ctx& c, ComparePanel& panel, CompareTotals& totals, int message_id,
                        const std::string& value_read, const std::string& value_held, const std::string& note,
                        int style) {
    c.beep();
    const std::int32_t count = style == kStyleWarning ? ++totals.warnings : ++totals.errors;
    const std::string text = compare_line_text(c, message_id, value_read, value_held, note, style, count);
    panel.report_append(kCrLf + text);
    if (style != kStyleFatal) return kCmpGoOn;
    c.prompt.message(text, kOkOnly, "", kIconCritical);
    return kCmpStop;
}

TransferOutcome run_compare(Ctx& c, LinkPort& link, ComparePanel& panel, CompareTotals& totals) {
    if (check_port_open(c, link.port_open())) return TransferOutcome::Refused;
    totals = CompareTotals{};
    panel.report_shown();
    panel.report_append(now_text() + " " + shown_path(c.p.project_path) + kCrLf + c.txt(10205) + kCrLf);
    CompareRun run(c, link, panel, totals);
    // The status line ends on the verdict, or says that the compare was stopped.
    constexpr int kStopped = 10904;
    int verdict = 0;
    try {
        link.open();
        panel.buttons_hidden();
        verdict = run.sequence();
    } catch (const TransferError& e) {
        report_error(c, e.number(), e.what());
        link.release();
        panel.buttons_hidden();
        panel.set_info(c.txt(kStopped));
        panel.exit_shown();
        if (run.pages_started()) restore_editor(c);
        return TransferOutcome::Failed;
    }
    panel.set_info(c.txt(verdict ? verdict : kStopped));
    panel.exit_shown();
    link.release();
    restore_editor(c);
    panel.report_append(kCrLf + kCrLf + c.txt(10206) + " " + num(totals.errors) + kCrLf + c.txt(10207) + " " +
                        num(totals.warnings));
    return TransferOutcome::Ended;
}

TransferOutcome replay_compare(Ctx& c, std::string_view bytes, ComparePanel& panel, CompareTotals& totals) {
    ReplayLink link(c.p, bytes);
    return run_compare(c, link, panel, totals);
}

} // namespace kx
