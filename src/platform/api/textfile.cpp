#include "platform/api/textfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>

#include <unistd.h>

namespace kx {

TextFileWriter::TextFileWriter(const std::string& path)
    : out_(path, std::ios::binary | std::ios::trunc) {
    ok_ = static_cast<bool>(out_);
}

void TextFileWriter::write_line(const std::string& line) {
    if (!ok_) return;
    out_.write(line.data(), static_cast<std::streamsize>(line.size()));
    out_.write("\r\n", 2);
    if (!out_) ok_ = false;
}

bool TextFileWriter::close() {
    if (out_.is_open()) {
        out_.flush();
        if (!out_) ok_ = false;
        out_.close();
        if (out_.fail()) ok_ = false;
    }
    return ok_;
}

bool LineCursor::next(std::string_view& line) {
    const std::size_t n = bytes_.size();
    if (pos_ >= n) return false;
    // The line ends at the first CR or LF: the first LF, unless a CR comes before it.
    const char* start = bytes_.data() + pos_;
    const char* lf = static_cast<const char*>(std::memchr(start, '\n', n - pos_));
    const std::size_t span = lf ? static_cast<std::size_t>(lf - start) : n - pos_;
    const char* cr = static_cast<const char*>(std::memchr(start, '\r', span));
    std::size_t i = pos_ + (cr ? static_cast<std::size_t>(cr - start) : span);
    line = bytes_.substr(pos_, i - pos_);
    if (i < n && bytes_[i] == '\r' && i + 1 < n && bytes_[i + 1] == '\n') ++i;
    pos_ = i + 1;
    ++line_no_;
    return true;
}

std::vector<std::string> split_text_lines(const std::string& bytes) {
    std::vector<std::string> lines;
    LineCursor cursor(bytes);
    for (std::string_view line; cursor.next(line);) lines.emplace_back(line);
    return lines;
}

bool read_file_bytes(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    // In blocks, not character by character; the size is only a first guess (the file may
    // change meanwhile, or not know its size), reading goes on to the end.
    bytes.clear();
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec && size < (std::uintmax_t{1} << 31)) bytes.reserve(static_cast<std::size_t>(size) + 1);
    char block[1 << 16];
    while (in.read(block, sizeof block) || in.gcount() > 0) bytes.append(block, static_cast<std::size_t>(in.gcount()));
    return !in.bad();
}

bool read_text_lines(const std::string& path, std::vector<std::string>& lines) {
    std::string bytes;
    if (!read_file_bytes(path, bytes)) return false;
    lines = split_text_lines(bytes);
    return true;
}

namespace {

std::string errno_text(const std::string& what, const std::string& path, int err) {
    return what + " " + path + ": " + std::strerror(err);
}

// Writes bytes to a new file (never an existing one) and forces them to the disk.
// 0 on success, else the errno of the failure (the new file is gone again).
int write_new_file(const std::string& path, const std::string& bytes, std::string& error) {
    // "x": fail rather than reuse a file of that name.
    FILE* f = std::fopen(path.c_str(), "wbx");
    if (!f) {
        const int err = errno;
        error = errno_text("Cannot create", path, err);
        return err;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = ok && std::fflush(f) == 0 && ::fsync(::fileno(f)) == 0;
    int err = ok ? 0 : errno;
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok) return 0;
    error = errno_text("Cannot write", path, err);
    std::remove(path.c_str());
    return err ? err : EIO;
}

} // namespace

bool replace_file(const std::string& path, const std::string& bytes, const std::string& backup,
                  std::string& error) {
    if (path.empty()) {
        error = "No file name";
        return false;
    }
    // A free temporary name beside the target, so that the last rename stays on one disk.
    std::string tmp;
    for (int n = 0;; ++n) {
        tmp = path + ".tmp" + (n ? std::to_string(n) : std::string());
        const int err = write_new_file(tmp, bytes, error);
        if (err == 0) break;
        if (err != EEXIST || n >= 99) return false;
    }
    const bool keep_old = !backup.empty() && backup != path && file_exists(path);
    if (keep_old && std::rename(path.c_str(), backup.c_str()) != 0) {
        error = errno_text("Cannot rename", path, errno);
        std::remove(tmp.c_str());
        return false;
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        error = errno_text("Cannot rename", tmp, errno);
        std::remove(tmp.c_str());
        if (keep_old) std::rename(backup.c_str(), path.c_str());   // the old file back in place
        return false;
    }
    return true;
}

bool file_exists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

bool dir_exists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_directory(path, ec);
}

} // namespace kx
