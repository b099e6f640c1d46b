#pragma once
// The terminal's EEPROM over the serial link: the S-record file (Motorola S1 records, 16
// bytes a line, 2048 lines for the 32768 bytes), the commands with their two-digit check,
// and the read into a file and the write from one, with Stop.
#include "core/transfer.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kx {

struct Ctx;
struct FileDialog;
class ReplacingWriter;

constexpr int kEepromSize = 32768;
constexpr int kS19Lines = kEepromSize / 16;
// The largest S-record file that is read for a write: the image takes about 90 KB; files
// from other tools may carry other lines after the 2048 records that are sent.
constexpr std::size_t kMaxS19FileBytes = std::size_t{16} << 20;

// The XOR of the 8-bit codes of every character (0 for an empty text).
int xor_check(std::string_view text);

// The text of an EEPROM command frame: "00", the letter, the fields and the XOR of all of
// them in two hexadecimal digits. Framing bytes in the fields go as blanks and the check is
// computed over what is sent.
std::string eeprom_command(char letter, const std::string& fields = "");

// kind ("S1"), the byte count (text length / 2 + 1) in two hex digits, text, and the check
// byte: 255 minus the sum of the count and of text's hex pairs, modulo 256.
std::string check_s19(const std::string& kind, const std::string& text);
// The S1 line of 16 bytes at address.
std::string s19_line(int address, const std::uint8_t* bytes16);

// Why a line is no S1 record that the EEPROM can take (empty when it is one): "S1", upper-case
// hex digits, a byte count that matches them, the check byte, and bytes that lie inside the
// EEPROM's 32768.
std::string s1_record_fault(std::string_view line);

// Why line cannot be record k (from 0) of an EEPROM image (empty when it can): each line the
// write sends fills the next 16 bytes, so record k must be a good S1 record (s1_record_fault)
// of exactly 16 bytes at address 16 x k, and there are 2048 of them.
std::string image_record_fault(std::string_view line, int k);
// Why an image of `records` good records is too short (empty when it holds all 2048).
std::string image_count_fault(int records);

// The lines an EEPROM write sends: the file's 2048 S1 records, as they stand, the 16 bytes at
// 0000 first and those at 7FF0 last. Header, count and start records (S0, S5, S9) are
// skipped, and so are lines other than S1 records after the last. False, with the reason
// naming the first bad line, for a line that is no such record, a file with fewer records or
// one with more; lines is then empty.
bool s19_write_lines(std::string_view bytes, std::vector<std::string>& lines, std::string& why);

// Error number of a file that is too short for the EEPROM or holds a broken record.
constexpr int kErrShortFile = 62;

// The EEPROM dialogs' controls as the transfers drive them.
class EepromPanel : public TransferPanel {
public:
    // Start and Cancel hidden and disabled; Stop and the status text shown.
    virtual void running_shown() {}
};

// Where an EEPROM dialog stands after choosing its file.
enum class FileChoice {
    Cancelled, // the user cancelled the file dialog: the dialog closes
    None,      // no usable file (the reason was shown): only Cancel goes on
    Ready,     // Start may run
};

// The read's file: save dialog, overwrite question, then the file beside it that the read
// goes to. A file that cannot be created there is reported.
FileChoice eeprom_read_choose_file(Ctx& c, FileDialog& dlg, std::unique_ptr<ReplacingWriter>& file);
// The write's file: open dialog, then the whole file read and its records checked, so that a
// file whose records do not fill the EEPROM in order is refused before anything is sent.
FileChoice eeprom_write_choose_file(Ctx& c, FileDialog& dlg, std::vector<std::string>& lines);

// Sends one EEPROM command without fields and waits for its answer; the caller tests
// comm_error.
void send_command(Ctx& c, LinkPort& link, char letter);

// Start of the read: one "R" command per byte, a line to `file` for every 16 bytes; a line
// that cannot be written ends the read with the error. The lines replace the chosen file
// when the read is complete or stopped by the user, before success is reported; any other
// end leaves the chosen file as it was.
TransferOutcome run_eeprom_read(Ctx& c, LinkPort& link, EepromPanel& panel, ReplacingWriter& file);
// Start of the write: one "M" command per line, then "K" and "Z".
TransferOutcome run_eeprom_write(Ctx& c, LinkPort& link, EepromPanel& panel,
                                 const std::vector<std::string>& lines);

} // namespace kx
