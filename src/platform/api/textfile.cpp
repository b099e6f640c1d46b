#include "platform/api/textfile.h"

#include <filesystem>
#include <iterator>

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

std::vector<std::string> split_text_lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string cur;
    for (size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == '\r') {
            lines.push_back(cur);
            cur.clear();
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            lines.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) lines.push_back(cur);
    return lines;
}

bool read_text_lines(const std::string& path, std::vector<std::string>& lines) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return false;
    lines = split_text_lines(bytes);
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
