#pragma once
// Transfer > Compare: the terminal sends its project as for an upload, and each item is
// compared with the project in memory instead of being stored. Every difference becomes a
// report line with its class (warning, error, fatal); a fatal one stops the compare. The
// project is never changed; the editor shows each compared page and ends on page 0.
#include "core/transfer.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kx {

struct Ctx;

// Classes of a report line, with the message-box icon values they are shown with.
constexpr int kStyleFatal = 16;
constexpr int kStyleError = 48;
constexpr int kStyleWarning = 64;

// Answers of report_compare_line.
constexpr int kCmpGoOn = 6;
constexpr int kCmpStop = 7;

// The compare dialog's controls as the sequence drives them.
class ComparePanel : public TransferPanel {
public:
    // The report box and its label are shown.
    virtual void report_shown() {}
    // Appends text to the end of the report box (the report only ever grows at its end).
    virtual void report_append(const std::string& text) { (void)text; }
    // The compare is over: Exit shown and enabled.
    virtual void exit_shown() {}
};

struct CompareTotals {
    std::int32_t errors = 0; // lines of any class but warning
    std::int32_t warnings = 0;
};

// The class of a difference in a variable's digits (field 1), decimals (2), address (3),
// minimum (4) or maximum (5): fatal, except for DATE and TIME on the models whose long type
// list has them, where it is a warning and the note says it does not affect the program.
int classify_difference(const Ctx& c, int type, int field, std::string& note);

// The text of one report line (without the empty line that separates it from the one before).
std::string compare_line_text(const Ctx& c, int message_id, const std::string& value_read,
                              const std::string& value_held, const std::string& note, int style,
                              std::int32_t count);

// Counts the line, appends it to the report and, for a fatal one, shows it in a message box.
// kCmpStop for a fatal line, kCmpGoOn otherwise.
int report_compare_line(Ctx& c, ComparePanel& panel, CompareTotals& totals, int message_id,
                        const std::string& value_read, const std::string& value_held, const std::string& note,
                        int style);

// Start of the compare dialog. Refused when the port is held; every other end releases the
// port, shows Exit and leaves the editor on page 0 of the current language. A received
// field out of its range is a run-time error: reported, and no totals are written.
TransferOutcome run_compare(Ctx& c, LinkPort& link, ComparePanel& panel, CompareTotals& totals);

// The compare on bytes as the line would deliver them (see ReplayLink).
TransferOutcome replay_compare(Ctx& c, std::string_view bytes, ComparePanel& panel, CompareTotals& totals);

} // namespace kx
