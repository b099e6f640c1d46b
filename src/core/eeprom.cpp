#include "core/eeprom.h"

#include "core/context.h"
#include "core/projectfile.h"
#include "core/serial_rx.h"
#include "core/text.h"
#include "platform/api/textfile.h"

#include <array>

namespace kx {
namespace {

// Reports a run-time error; the port is released and the transfer ends.
TransferOutcome end_failed(Ctx& c, LinkPort& link, const TransferError& e) {
    report_error(c, e.number(), e.what());
    link.release();
    return TransferOutcome::Ended;
}

// The value of an upper-case hexadecimal digit's code; kNoHex for any other code, so that a
// pair of digits with any other character in it comes out at 256 or more. A table, so that
// a file of 2048 records is checked with one look-up a character and no branch.
constexpr int kNoHex = 256;
constexpr std::array<std::int16_t, 256> kHexValue = [] {
    std::array<std::int16_t, 256> t{};
    t.fill(kNoHex);
    for (int i = 0; i < 16; ++i)
        t[static_cast<unsigned char>("0123456789ABCDEF"[i])] = static_cast<std::int16_t>(i);
    return t;
}();

int hex_value(char ch) { return kHexValue.data()[static_cast<unsigned char>(ch)]; }

// The address field of a record whose digits were checked.
int record_address(std::string_view r) {
    return hex_value(r[4]) * 4096 + hex_value(r[5]) * 256 + hex_value(r[6]) * 16 + hex_value(r[7]);
}

// Header, count and start records: an EEPROM write does not send them.
bool skipped_record(std::string_view line) {
    return line.size() >= 2 && line[0] == 'S' && (line[1] == '0' || line[1] == '5' || line[1] == '9');
}

// The user's Stop: the loops test it after every exchange.
void stop_shown(Ctx& c, EepromPanel& panel) {
    c.p.stop_transfer = false;
    panel.running_shown();
}

} // namespace

int xor_check(std::string_view text) {
    int x = 0;
    for (char ch : text) x ^= static_cast<unsigned char>(ch);
    return x;
}

std::string eeprom_command(char letter, const std::string& fields) {
    std::string s = "00";
    s += letter;
    s += frame_safe(fields);
    return s + hex_field(xor_check(s), 2);
}

std::string check_s19(const std::string& kind, const std::string& text) {
    const std::string count = hex_field(static_cast<std::int64_t>(text.size() / 2 + 1), 2);
    const std::string body = count + text;
    int sum = 0;
    for (size_t i = 0; i + 1 < body.size(); i += 2) sum += hex_to_long(body.substr(i, 2));
    return kind + body + hex_field(255 - sum % 256, 2);
}

std::string s19_line(int address, const std::uint8_t* bytes16) {
    std::string text = hex_field(address, 4);
    for (int i = 0; i < 16; ++i) text += hex_field(bytes16[i], 2);
    return check_s19("S1", text);
}

std::string s1_record_fault(std::string_view r) {
    if (r.empty()) return "empty line";
    if (r.size() < 2 || r[0] != 'S' || r[1] != '1') return "not an S1 record";
    // Every pair of digits from the count to the check byte, summed as the bytes they write
    // (an unpaired last digit as the high half of one).
    const std::size_t n = r.size();
    const char* d = r.data();
    int sum = 0, value = 0, any = 0;
    for (std::size_t i = 2; i < n; i += 2) {
        value = hex_value(d[i]) * 16 + (i + 1 < n ? hex_value(d[i + 1]) : 0);
        sum += value;
        any |= value;
    }
    if (any >= kNoHex)
        for (std::size_t i = 2; i < n; ++i)
            if (hex_value(d[i]) == kNoHex)
                return "character " + std::to_string(i + 1) + " is no hexadecimal digit";
    if (n % 2) return "odd number of digits";
    // The count, two address bytes and the check byte at least.
    if (n < 10) return "record shorter than its address and check byte";
    const int count = hex_value(d[2]) * 16 + hex_value(d[3]), bytes = static_cast<int>(n - 4) / 2;
    if (count != bytes)
        return "byte count " + hex_field(count, 2) + " for " + std::to_string(bytes) + " bytes";
    const int check = value, needed = 255 - (sum - check) % 256;
    if (check != needed)
        return "check byte " + hex_field(check, 2) + ", the record's bytes need " + hex_field(needed, 2);
    const int address = record_address(r);
    const int last = address + bytes - 4;
    if (last >= kEepromSize)
        return "bytes " + hex_field(address, 4) + " to " + hex_field(last, 4) + " lie past the EEPROM's " +
               std::to_string(kEepromSize);
    return {};
}

std::string image_record_fault(std::string_view line, int k) {
    if (k >= kS19Lines)
        return "more than " + std::to_string(kS19Lines) + " S1 records, the EEPROM takes " +
               std::to_string(kS19Lines) + " of 16 bytes";
    if (std::string fault = s1_record_fault(line); !fault.empty()) return fault;
    const int address = record_address(line);
    const int bytes = static_cast<int>(line.size() - 10) / 2;
    if (address == 16 * k && bytes == 16) return {};
    return "address " + hex_field(address, 4) + " with " + std::to_string(bytes) +
           (bytes == 1 ? " byte" : " bytes") + ", expected 16 bytes at address " + hex_field(16 * k, 4);
}

std::string image_count_fault(int records) {
    if (records >= kS19Lines) return {};
    return "Input past end of file (" + std::to_string(records) + " S1 records, " + std::to_string(kS19Lines) +
           " needed)";
}

bool s19_write_lines(std::string_view bytes, std::vector<std::string>& lines, std::string& why) {
    lines.clear();
    // The records are checked first, so that a refused file costs no copies. After the last
    // record only a further S1 record is looked at: blank lines or text that a tool leaves at
    // the end are not read.
    int records = 0;
    LineCursor cur(bytes);
    std::string_view line;
    while (cur.next(line)) {
        if (skipped_record(line) || (records >= kS19Lines && line.substr(0, 2) != "S1")) continue;
        if (std::string fault = image_record_fault(line, records); !fault.empty()) {
            why = "Bad S1 record in line " + std::to_string(cur.line_number()) + ": " + fault;
            return false;
        }
        ++records;
    }
    if (why = image_count_fault(records); !why.empty()) return false;
    lines.reserve(kS19Lines);
    for (LineCursor again(bytes); static_cast<int>(lines.size()) < kS19Lines && again.next(line);)
        if (!skipped_record(line)) lines.emplace_back(line);
    return true;
}

FileChoice eeprom_read_choose_file(Ctx& c, FileDialog& dlg, std::unique_ptr<ReplacingWriter>& file) {
    file.reset();
    dlg.flags = 4;
    dlg.cancel_error = true;
    if (!c.prompt.save_file(dlg)) return FileChoice::Cancelled;
    const std::string path = dlg.file_name;
    if (!confirm_overwrite(c, path)) return FileChoice::Cancelled;
    auto w = std::make_unique<ReplacingWriter>(path);
    if (!w->ok()) {
        report_error(c, kErrFileAccess, shown_path(w->error()));
        return FileChoice::None;
    }
    file = std::move(w);
    return FileChoice::Ready;
}

FileChoice eeprom_write_choose_file(Ctx& c, FileDialog& dlg, std::vector<std::string>& lines) {
    lines.clear();
    dlg.flags = 4;
    dlg.cancel_error = true;
    store_dialog_file(c, dlg);
    if (!c.prompt.open_file(dlg)) return FileChoice::Cancelled;
    if (check_dialog_file_exists(c, dlg)) return FileChoice::None;
    std::string bytes, why;
    // The file must hold the 2048 records of a whole image, no fewer and no more (one more is
    // refused, not left out); a file far larger than any image (one picked by mistake) is
    // refused before it is read.
    switch (read_file_checked(
        dlg.file_name, kMaxS19FileBytes, [](std::string_view) { return true; }, bytes)) {
    case CheckedRead::Read: break;
    case CheckedRead::TooLarge:
        report_error(c, kErrBadValue,
                     shown_path(dlg.file_name) + " is too large for an S-record file (more than " +
                         std::to_string(kMaxS19FileBytes >> 20) + " MB)");
        return FileChoice::None;
    default:
        report_error(c, kErrFileAccess, "Path/File access error (" + shown_path(dlg.file_name) + ")");
        return FileChoice::None;
    }
    if (!s19_write_lines(bytes, lines, why)) {
        report_error(c, kErrShortFile, why);
        return FileChoice::None;
    }
    return FileChoice::Ready;
}

void send_command(Ctx& c, LinkPort& link, char letter) {
    c.p.ee_command = eeprom_command(letter);
    link.send_frame(c.p.ee_command);
    link.wait_reply();
}

TransferOutcome run_eeprom_read(Ctx& c, LinkPort& link, EepromPanel& panel, ReplacingWriter& file) {
    Project& p = c.p;
    if (check_port_open(c, link.port_open())) return TransferOutcome::Refused;
    stop_shown(c, panel);
    bool complete = false;
    try {
        link.open();
        panel.progress_show(kEepromSize);
        std::uint8_t line[16] = {};
        int j = 0;
        for (int a = 0; a < kEepromSize; ++a) {
            if (a % 256 == 0) panel.progress_value(a);
            p.ee_command = eeprom_command('R', hex_field(a, 4));
            link.send_frame(p.ee_command);
            link.wait_reply();
            if (p.stop_transfer || p.comm_error) break;
            line[j] = static_cast<std::uint8_t>(hex_to_long(p.rx_buffer.substr(0, 2)));
            if (++j == 16) {
                j = 0;
                // A line that cannot be written (a full disk) ends the read at once.
                if (!file.write_line(s19_line(a - 15, line)))
                    throw TransferError(kErrFileAccess, shown_path(file.error()));
            }
            complete = a == kEepromSize - 1;
        }
    } catch (const TransferError& e) {
        file.abandon();
        return end_failed(c, link, e);
    }
    // The lines read replace the chosen file when the read is complete, or when the user
    // stopped it; after a time-out or a line error the chosen file stays as it was. Success
    // only once the new file is in place on disk.
    const bool stopped = p.stop_transfer && !complete;
    if (!complete && !stopped) file.abandon();
    else if (!file.commit())
        return end_failed(c, link, TransferError(kErrFileAccess, shown_path(file.error())));
    if (complete) c.prompt.message(c.txt(10077), kOkOnly);
    if (stopped) {
        c.beep();
        c.prompt.message(c.txt(10080), kOkOnly);
    }
    link.release();
    return TransferOutcome::Ended;
}

TransferOutcome run_eeprom_write(Ctx& c, LinkPort& link, EepromPanel& panel,
                                 const std::vector<std::string>& lines) {
    Project& p = c.p;
    if (check_port_open(c, link.port_open())) return TransferOutcome::Refused;
    stop_shown(c, panel);
    bool stopped = false;
    try {
        // A file whose records do not fill the EEPROM in order was refused when it was
        // chosen; nothing is sent for one either way.
        const int records = static_cast<int>(lines.size());
        for (int i = 0; i < records; ++i)
            if (std::string fault = image_record_fault(lines[i], i); !fault.empty())
                throw TransferError(kErrShortFile, "Bad S1 record " + std::to_string(i + 1) + ": " + fault);
        if (std::string fault = image_count_fault(records); !fault.empty())
            throw TransferError(kErrShortFile, fault);
        link.open();
        panel.progress_show(kEepromSize);
        bool complete = true;
        for (int a = 0; a < kEepromSize; a += 16) {
            p.ee_command = eeprom_command('M', lines[a / 16]);
            link.send_frame(p.ee_command);
            link.wait_reply();
            if (p.stop_transfer || p.comm_error) {
                stopped = p.stop_transfer;
                complete = false;
                break;
            }
            if (a % 256 == 0) panel.progress_value(a);
        }
        if (complete) {
            send_command(c, link, 'K');
            if (!p.comm_error) send_command(c, link, 'Z');
            if (!p.comm_error) c.prompt.message(c.txt(10077), kOkOnly);
        }
    } catch (const TransferError& e) {
        return end_failed(c, link, e);
    }
    link.release();
    if (stopped) {
        c.beep();
        c.prompt.message(c.txt(10080), kOkOnly);
    }
    return TransferOutcome::Ended;
}

} // namespace kx
