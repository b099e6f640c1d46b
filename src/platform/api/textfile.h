#pragma once
// Single-byte text files with CR LF line ends, as the project, listing, recipe and
// S-record files are kept.
#include <cstddef>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kx {

// Lines of a file end at CR LF, a lone LF or a lone CR (files that other tools wrote use
// any of them); the last line needs no end. Splits bytes into lines by that rule.
std::vector<std::string> split_text_lines(const std::string& bytes);

// Walks the lines of a byte buffer by the rule above without copying them.
class LineCursor {
public:
    explicit LineCursor(std::string_view bytes) : bytes_(bytes) {}
    // The next line without its end; false when the buffer has no more lines.
    bool next(std::string_view& line);
    // 1-based number of the line that next() gave last (0 before the first).
    int line_number() const { return line_no_; }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
    int line_no_ = 0;
};

// The whole content of a file; false when it cannot be read.
bool read_file_bytes(const std::string& path, std::string& bytes);

// Reads a whole file as read_file_bytes does, but only after two checks that need not read
// it: its first line (the first 64 KiB at most, without its end) must satisfy first_line_ok,
// and the file must hold at most max_bytes (also when it does not know its size, such as a
// device). An empty file has no first line and is read. On a refusal `bytes` holds at most
// the first 64 KiB.
enum class CheckedRead { Read, Unreadable, FirstLine, TooLarge };
CheckedRead read_file_checked(const std::string& path, std::size_t max_bytes,
                              const std::function<bool(std::string_view)>& first_line_ok, std::string& bytes);

// `file` with `ending` appended, unless its name would then pass the longest name its folder
// allows; then the start of its name, "~", a hash of the whole name and the ending: still
// one fixed name per file and ending.
std::string fitted_name(const std::string& file, const std::string& ending);

// What a temporary file beside the file it will replace is named after: "<path>.mivor-tmp".
// The ending is the program's own, so that a user's file (such as "notes.tmp") is never
// taken for a leftover of a save.
inline constexpr const char* kTempSuffix = ".mivor-tmp";

// A file that replaces the file at path in one step once it is complete: the bytes go in
// pieces to the temporary file "<path>.mivor-tmp" beside path (beside the file a symbolic link
// leads to; with the old file's permission bits); commit() forces them to the disk, keeps
// the old file as backup when one is named (see replace_file) and renames the new file over
// path. Without commit() (a failure, or the writer destroyed first) the temporary file goes
// and path is untouched.
//
// There is one temporary name per file (a shorter one, still fixed, where the name and the
// ending would pass the longest name the folder allows), made exclusively: a leftover of a save that was
// killed half-way (a plain file that no running save holds) is removed and made anew, so
// leftovers never pile up; a save of the same file still under way elsewhere holds its
// temporary file locked, and this one fails instead of spoiling it; so it does when the
// temporary file cannot be opened to ask for its lock (another user's, private while it is
// written). Refused before any name is made, path and backup as they were: a file at path
// or a backup that the user may not write (as opening it for writing would be, although the
// rename would need only its folder); a path or backup that is no regular file (a device, a
// named pipe: a symbolic link at path counts as what it leads to); one that cannot be looked
// at for another reason than that it is not there; a rename over either that a folder with
// the sticky bit would refuse. The new file gets the old one's group where the user belongs
// to it. Errors name path or the backup; a temporary file only when it is in the way, in use
// by another save, or could not be removed.
class ReplacingWriter {
public:
    // new_mode: the permission bits of a file that is not there yet (by default 0666 less
    // the umask); a file that is there keeps its own.
    explicit ReplacingWriter(const std::string& path, const std::string& backup = "", int new_mode = -1);
    ~ReplacingWriter();
    ReplacingWriter(const ReplacingWriter&) = delete;
    ReplacingWriter& operator=(const ReplacingWriter&) = delete;

    // False once anything failed (the temporary file could not be made, a write failed).
    bool ok() const { return fd_ >= 0 && error_.empty(); }
    // Appends bytes; a full disk is found here, not later. False (see error()) on failure.
    bool write(std::string_view bytes);
    // The line and CR LF.
    bool write_line(std::string_view line);
    // Puts the file in place; false (see error()) when it could not, path and backup then
    // as they were.
    bool commit();
    // Drops the temporary file; path stays as it was.
    void abandon();
    const std::string& error() const { return error_; }

private:
    std::string path_, backup_, target_, tmp_;
    bool exists_ = false;   // a file was at path
    bool keep_old_ = false; // it becomes the backup
    bool set_mode_ = false; // the new file gets old_mode_
    unsigned old_mode_ = 0; // its permission bits (or those asked for a new file)
    unsigned old_uid_ = 0, old_gid_ = 0;
    int fd_ = -1;
    std::string error_;
};

// Replaces the file at path with bytes so that no failure leaves a half-written file and no
// moment leaves path without a file: the bytes go to the temporary file beside path first
// (ReplacingWriter); only when that is complete on disk does the old file become backup
// (when backup is not empty and names another file; a second name for it, a hard link or a
// copy where the file system refuses links, replaces an older backup in one step), and the
// new file is renamed over path in one step. A path that is a symbolic link keeps the link:
// its target gets the new bytes. On failure the files at path and backup are as they were,
// and error says why. new_mode as for ReplacingWriter.
bool replace_file(const std::string& path, const std::string& bytes, const std::string& backup,
                  std::string& error, int new_mode = -1);

bool file_exists(const std::string& path);
bool dir_exists(const std::string& path);
// True when files can be made in the folder.
bool dir_writable(const std::string& path);

} // namespace kx
