#pragma once
// Single-byte text files with CR LF line ends, as the project, listing, recipe and
// S-record files are kept.
#include <fstream>
#include <string>
#include <vector>

namespace kx {

// Writes lines, each followed by CR LF. Errors are sticky: check ok() after close().
class TextFileWriter {
public:
    explicit TextFileWriter(const std::string& path);
    void write_line(const std::string& line);
    bool close();   // flushes; false when anything failed
    bool ok() const { return ok_; }

private:
    std::ofstream out_;
    bool ok_ = false;
};

// Reads a whole file as lines. A line ends at CR LF, a lone LF or a lone CR (as the line
// reader of the text-file service accepts them); the last line needs no end.
bool read_text_lines(const std::string& path, std::vector<std::string>& lines);
// Splits bytes into lines with the rule above.
std::vector<std::string> split_text_lines(const std::string& bytes);

bool file_exists(const std::string& path);
bool dir_exists(const std::string& path);

} // namespace kx
