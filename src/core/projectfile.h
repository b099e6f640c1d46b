#pragma once
// The project file: one single-byte text file per project, lines ending CR LF. The pure
// reader and writer (bytes <-> staged or live project) need no window; the routines that
// take a Ctx add the progress window, the messages and the swap into the live project.
#include "core/project.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kx {

struct Ctx;
struct FileDialog;

// Error numbers the file routines report with "Errore <number>: <description>".
constexpr std::int32_t kErrPastEnd = 62;    // the file ends before the data it announces
constexpr std::int32_t kErrBadValue = 380;  // a value outside what the project can hold
constexpr std::int32_t kErrFileAccess = 75; // the file cannot be read, created or renamed

struct FileError {
    enum class Kind {
        None,
        Version,  // line 1 is not a project file header (message 10017)
        Format,   // line 2 is not a model line (message 10160)
        Model,    // unknown model code (message 10019)
        Damaged,  // counts, values or length do not fit: number and description
        Access,   // the file system refused: number and description
        TooLarge, // far larger than any such file: number and description, nothing read
    };
    Kind kind = Kind::None;
    std::int32_t number = 0;
    std::string description;
};

// The largest project file that can be read. The largest project the stores hold (6
// languages of 1000 pages of 40 x 4 with 8 variables, 600 strings of 40 characters) is
// written in about 2.8 MB: 6000 page blocks of 438 bytes and 3600 string lines of 42. The
// reader also takes longer lines than the writer makes (what lies past a row is skipped),
// so the bound leaves a wide margin, while a file picked by mistake, of any size, is refused
// before it takes that much memory.
constexpr std::size_t kMaxProjectFileBytes = std::size_t{64} << 20;

// Whether a line is the first line of a project or recipe file: "version" in characters 6
// to 12 (what stands in front, the version number, is not checked).
bool is_version_line(std::string_view line);

// Reads a project or recipe file for its parser, looking at its first line and its size
// before reading on: a first line that is no version line is refused with `first_line`, a
// file larger than max_bytes with Kind::TooLarge (`what` names the kind of file), a file that
// cannot be read with Kind::Access. False with err then.
bool read_data_file(const std::string& path, std::size_t max_bytes, FileError::Kind first_line,
                    const std::string& what, std::string& bytes, FileError& err);

// A project read from a file and checked, before it replaces the live project.
struct StagedProject {
    std::string kx_type;
    int n_cols = 0, n_rows = 0;
    std::int16_t multi_protocol = 0;
    std::string num_mode = "HEX";
    bool link_on = true;
    int n_lang = 0;
    int last_page_idx = 0;
    int n_strings = 0;
    int tot_strings = 0;
    std::array<std::string, 6> language_names;
    page_store_t pages;                            // [language][page 0..last_page_idx]
    std::vector<std::vector<std::string>> strings; // [language][string 0..n_strings-1]
};

// Called while reading: once after the header (the counts are known), and after each page
// block with the progress value page + last_page_idx * language.
struct ParseHooks {
    std::function<void(const StagedProject&)> header;
    std::function<void(int)> page;
};

// Reads a whole project file into `out`, checking every count and value against the stores
// and the model's geometry. False (with err) when the file is refused or damaged; `out` is
// then incomplete and must not be used.
bool parse_project_file(std::string_view bytes, StagedProject& out, FileError& err,
                        const ParseHooks& hooks = {});

// Puts a staged project into the live state: model, geometry, counts, names, the pages of
// its languages and its strings. Touches no window.
void install_staged_project(Project& p, StagedProject&& st);

// The file bytes of the project in the page stores. False (with err, `out` unusable) when a
// value does not fit its column or could not be read back, so no such file is ever written.
bool project_file_bytes(const Project& p, std::string& out, FileError& err,
                        const std::function<void(int)>& on_page = {});

// Why a variable cannot stand in a page of a model with `type_count` variable types and of
// this geometry; nullptr when it can.
const char* variable_fault(int type_count, int n_cols, int n_rows, const variable_record& v);

// Why the used variables (digits > 0) of one page's table cannot stand together in a page
// of this model and geometry: "variable <slot> <fault>" or "variable <slot> overlaps
// another"; "" when they can. The file reader, the writer and the upload share this rule.
std::string page_vars_fault(const std::string& kx_type, int n_cols, int n_rows,
                            const std::array<variable_record, kVarSlots>& table);

// The backup name of a project file: the path without its extension, then ".BAK".
std::string backup_path(const std::string& path);

// Reads the file into the live project (the caller has cleared the old one). A refused or
// damaged file is reported and leaves the default empty project with a fresh name; true
// when the file was read.
bool open_project_file(Ctx& c, const std::string& path);

// Writes the whole project to path, keeping the previous file as its ".BAK". False (after
// the error message) when it could not; then the file at path, the settings, project_path
// and prj_modified are as they were.
bool save_project_file(Ctx& c, const std::string& path);

// True (after a beep and a message) when the dialog's chosen file does not exist.
bool check_dialog_file_exists(Ctx& c, const FileDialog& dlg);
// A file about to be replaced: true when path does not exist, or when the user answers Yes
// to the overwrite question, which names the file with its folder.
bool confirm_overwrite(Ctx& c, const std::string& path);

// The empty KXB_5560 project with a fresh name, as after a refused file.
void make_default_project(Ctx& c);

} // namespace kx
