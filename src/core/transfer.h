#pragma once
// Project download and upload over the serial link: the frame texts the download builds
// from the project, the checked reading of what the terminal sends, and the two transfer
// sequences, written against small interfaces for the link and the dialog so that they run
// the same over a real port, in tests and from a byte sequence.
#include "core/project.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kx {

struct Ctx;

// A run-time error that ends a transfer: its number and description, shown by report_error.
class TransferError : public std::runtime_error {
public:
    TransferError(int number, const std::string& description)
        : std::runtime_error(description), number_(number) {}
    int number() const { return number_; }

private:
    int number_;
};

// Throws the TransferError of a check on received data: number (below) and its
// description, with the detail in brackets.
[[noreturn]] void bad_data(int number, const std::string& detail);

// Error numbers of the checks on received data.
constexpr int kErrInvalid = 5;    // a text that the project cannot keep
constexpr int kErrOverflow = 6;   // a value too large for its field
constexpr int kErrOutOfRange = 9; // a count or position outside the stores or the page
constexpr int kErrDivByZero = 11; // a language count of 0

// What a transfer needs from the serial link.
class LinkPort {
public:
    virtual ~LinkPort() = default;
    virtual bool port_open() const = 0;
    // Takes the port ("9600,n,8,1") and sets port_idle False; TransferError when the device
    // does not exist or cannot be opened.
    virtual void open() = 0;
    // Writes STX, text, ETX; TransferError when the port cannot take it.
    virtual void send_frame(const std::string& text) = 0;
    // wait_reply (serial_rx.h) with the link's time-out; TransferError on a write failure.
    virtual void wait_reply() = 0;
    // Lets what was written reach the line, closes the port, sets port_idle True.
    virtual void release() = 0;
};

// The status controls of a transfer dialog. Defaults do nothing.
class TransferPanel {
public:
    virtual ~TransferPanel() = default;
    // The transfer has begun: Start and Cancel hidden and disabled.
    virtual void buttons_hidden() {}
    // The transfer failed and the dialog stays: Cancel shown and enabled.
    virtual void cancel_shown() {}
    virtual void set_info(const std::string& text) { (void)text; }
    virtual void progress_show(int max) { (void)max; }
    virtual void progress_value(int value) { (void)value; }
};

enum class TransferOutcome {
    Refused, // the port was already held: message 10170, nothing changed
    Ended,   // finished, with success or after a time-out or line error: the dialog closes
    Failed,  // a run-time error was reported and the port released: the dialog stays
};

// --- Frame texts of the download ---

// "0000" format: decimal digits, zero-filled to 4, never cut.
std::string dec4(int value);
// Upper-case hexadecimal zero-filled to width, never cut.
std::string hex_field(std::int64_t value, int width);
// A text sent in a frame: bytes STX and ETX would split it, so they go as blanks.
std::string frame_safe(const std::string& text);
// The byte a page cell goes as: variable digit cells 255, point cells ".", arrows 4..7 as
// 17, 16, 30, 31, any other code that is no character of the line as a blank.
char download_cell(int code);
// A received row byte mapped back to a page code: 255 a variable digit cell, 17, 16, 30,
// 31 the arrows 4..7; any other byte is its own code.
int received_cell(int byte);
// A language name as sent: filled on the right with blanks to at least 9 characters.
std::string download_name(const std::string& name);
// Row `row` of record (lang, page): variable digit cells 255, point cells ".", arrows
// 4..7 as 17, 16, 30, 31, any other code that is no character of the line as a blank.
std::string download_row(const Project& p, int lang, int page, int row);
// The page block of (lang, page): rows, four links in hex 4, the count (variables + 128
// with the password) in hex 2 and eight fields per variable; links, password and variables
// from the language-0 record.
std::vector<std::string> download_page_frames(const Project& p, int lang, int page);

// --- Checked reading of what the terminal sends ---

// A decimal frame as the terminal sends it, kept within a 16-bit field; TransferError
// (overflow, naming `what`) otherwise.
int read_dec16(const std::string& text, const char* what);

// The language count: 1 to 6.
int read_lang_count(const std::string& text);
// The page total of all languages, as the last page index: -1 (no pages) to 999.
int read_last_page_idx(const std::string& text, int n_lang);
// The string total of all languages; returns the strings per language (0 to 600).
int read_string_count(const std::string& text, int n_lang, int& tot_strings);
// A language name or global string: any text but one that would break a line of the
// project file (CR, LF).
void check_text(const std::string& text, const char* what);

// One page block as the terminal sends it, staged in a record until it is complete.
class PageBlockReader {
public:
    PageBlockReader(const std::string& kx_type, int n_cols, int n_rows, int page);
    // Takes the text of the next frame of the block; true when the block is complete.
    bool take(const std::string& text);
    const page_record& record() const { return rec_; }

private:
    std::string kx_type_;
    int n_cols_, n_rows_;
    int step_ = 0; // frames taken
    page_record rec_;
};

// --- The transfers ---

// A run-time error ends a transfer whose dialog stays: reported, the port released, Cancel
// shown; returns Failed.
TransferOutcome report_failure(Ctx& c, LinkPort& link, TransferPanel& panel, const TransferError& e);

// Transfer > PC --> KX: the whole project in memory (the caller committed the page being
// edited). Ends with the port released unless refused.
TransferOutcome run_download(Ctx& c, LinkPort& link, TransferPanel& panel);
// Transfer > KX --> PC into the empty project of the model choice; every end runs the end
// path (page 0 shown, multi-protocol off).
TransferOutcome run_upload(Ctx& c, LinkPort& link, TransferPanel& panel);

// A line that replays bytes as the port would deliver them: each wait takes characters
// through the receive rule until a frame completes; running out of bytes is a line failure
// without a message. What is sent goes nowhere.
class ReplayLink : public LinkPort {
public:
    ReplayLink(Project& p, std::string_view bytes) : p_(p), bytes_(bytes) {}
    bool port_open() const override { return false; }
    void open() override {
        p_.port_idle = false;
        p_.rx_in_frame = false;
    }
    void send_frame(const std::string&) override {}
    void wait_reply() override;
    void release() override { p_.port_idle = true; }

private:
    Project& p_;
    std::string_view bytes_;
    size_t pos_ = 0;
};

// Runs the upload on bytes as the line would deliver them: each wait takes characters
// through the receive rule until a frame completes; running out of bytes is a line
// failure without a message. Run-time errors are reported like on the line.
TransferOutcome replay_upload(Ctx& c, std::string_view bytes);

// Transfer > KX --> PC: the model choice makes the empty project, then run_dialog shows the
// upload dialog (hourglass on); afterwards the project counts as modified, however the
// dialog ended. Nothing happens when the choice was cancelled.
void upload_command(Ctx& c, const std::function<void()>& run_dialog);
// A transfer dialog's Cancel: frees the port if something left it held.
void cancel_transfer(Ctx& c, LinkPort& link);
// Stop in a transfer dialog: the running transfer ends at its next step.
void request_stop(Ctx& c);

} // namespace kx
