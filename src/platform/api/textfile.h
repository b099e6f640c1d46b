#pragma once
// Single-byte text files with CR LF line ends, as the project, listing, recipe and
// S-record files are kept.
#include <cstddef>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace kx {

// A file written line by line (each followed by CR LF) that replaces the file at path only
// once it is complete, as replace_file does: the lines go to a new temporary file beside
// path, each straight to the file system, so that a write error (a full disk) shows at the
// line that meets it; commit() forces them to the disk (with the old file's permission bits)
// and renames the file over path in one step. Until then, and on any failure, the file at
// path stays as it was; the temporary file goes with discard() or the object.
class TextFileWriter {
public:
    explicit TextFileWriter(const std::string& path);
    ~TextFileWriter();
    TextFileWriter(const TextFileWriter&) = delete;
    TextFileWriter& operator=(const TextFileWriter&) = delete;

    bool write_line(const std::string& line); // false once anything failed
    bool commit();
    void discard();
    bool ok() const { return error_.empty(); }
    // Why it failed, naming path (not the temporary file).
    const std::string& error() const { return error_; }

private:
    void fail(const char* what, int err);
    std::string path_, target_, tmp_, error_;
    int fd_ = -1;
    bool had_file_ = false;
    unsigned mode_ = 0, uid_ = 0, gid_ = 0;
};

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

// Replaces the file at path with bytes so that no failure leaves a half-written file and no
// moment leaves path without a file: the bytes go to a new temporary file beside path first
// (with the old file's permission bits); only when that is complete on disk does the old
// file become backup (when backup is not empty and names another file; a second name for
// it, a hard link or a copy where the file system refuses links, replaces an older backup
// in one step), and the new file is renamed over path in one step. A path that is a
// symbolic link keeps the link: its target gets the new bytes. On failure the files at path
// and backup are as they were, and error says why.
bool replace_file(const std::string& path, const std::string& bytes, const std::string& backup,
                  std::string& error);

bool file_exists(const std::string& path);
bool dir_exists(const std::string& path);
// True when files can be made in the folder.
bool dir_writable(const std::string& path);

} // namespace kx
