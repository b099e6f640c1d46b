#pragma once
// Small text routines shared by the file formats, the editors and the serial transfers.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kx {

struct Ctx;
struct FileDialog;

// Value 0..15 of a hexadecimal digit's character code; 0 for any other code.
std::int16_t hex_digit(int code);
// Hexadecimal text to a number: blanks are skipped, any other non-digit counts as 0.
// A value beyond the 32-bit signed range saturates at 0x7FFFFFFF.
std::int32_t hex_to_long(std::string_view text);

// Pad in place up to width; never shorten.
void pad_left_zero(std::string& text, int width);
void pad_left_space(std::string& text, int width);
void pad_right_space(std::string& text, int width);

// The leading decimal number of a text, blanks skipped, 0 when there is none (how numbers
// are read from files, text boxes, grid cells and input boxes). Saturates at the 32-bit range.
std::int32_t read_decimal(std::string_view text);
// A number typed by the user (input boxes): the whole text, blanks around it allowed, must be
// a decimal number, optionally with a sign, a fraction and an exponent. nullopt otherwise.
std::optional<double> parse_number(const std::string& text);

// The nearest integer, a half going to the even neighbour (2.5 -> 2, 3.5 -> 4).
long long round_half_even(double x);

// Uppercase hexadecimal without leading zeros.
std::string to_hex(std::int64_t value);

// Beeps and shows "Errore <number>: <description>" with an OK button.
void report_error(Ctx& c, std::int32_t number, const std::string& description);
// The text that report_error and the file commands show.
std::string error_text(Ctx& c, std::int32_t number, const std::string& description);

// Remember and restore a file dialog's initial directory and file name around a command.
void store_dialog_file(Ctx& c, const FileDialog& dlg);
void restore_dialog_state(Ctx& c, FileDialog& dlg);

// The directory part of a path up to and including its last "\", "/" or ":" ("" when none).
std::string dir_part(const std::string& path);
// A path without its last separator and what follows ("" when it has no separator).
std::string strip_last_component(const std::string& path);

// Text typed or pasted into a language name or a global string, made fit for one line of
// a project file and for the terminal: control characters (codes 0 to 31 and 127, and the
// five codes the code page leaves unassigned, which the widgets show as controls) are
// removed.
std::string clean_entry(const std::string& text);
// A byte that shows no character: codes 0 to 31 and 127, and the five codes the code page
// leaves unassigned.
bool is_control_byte(unsigned char ch);
// A path (a file-system name, UTF-8) as project text for a message: characters that the
// single-byte code page cannot hold show as '?'.
std::string shown_path(const std::string& path);
// The last `n` bytes of a file-system name at most, never starting inside a character.
std::string path_tail(const std::string& path, std::size_t n);

} // namespace kx
