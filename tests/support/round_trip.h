#pragma once
// The project file round trip after an editing command: the project is written, read into
// a fresh project and written again; both writes give the same bytes, but for the empty
// language names, which the reader takes as four blanks.
#include "core/projectfile.h"

#include <gtest/gtest.h>

#include <memory>

namespace kx::test {

// The bytes a written project gives once it was read back: the six language-name lines
// (after the seven header lines) read as four blanks when empty.
inline std::string as_read_back(const std::string& bytes) {
    std::string out;
    size_t pos = 0;
    for (int line = 0; pos < bytes.size(); ++line) {
        size_t end = bytes.find("\r\n", pos);
        if (end == std::string::npos) end = bytes.size();
        const bool empty_name = line >= 7 && line < 13 && end == pos;
        out += empty_name ? std::string("    ") : bytes.substr(pos, end - pos);
        if (end < bytes.size()) out += "\r\n";
        pos = end + 2;
    }
    return out;
}

inline std::unique_ptr<Project> round_trip(const Project& p) {
    std::string first, second;
    FileError err;
    EXPECT_TRUE(project_file_bytes(p, first, err)) << err.description;
    StagedProject st;
    EXPECT_TRUE(parse_project_file(first, st, err)) << err.description;
    auto q = std::make_unique<Project>();
    install_staged_project(*q, std::move(st));
    EXPECT_TRUE(project_file_bytes(*q, second, err)) << err.description;
    EXPECT_EQ(as_read_back(first), second);
    return q;
}

} // namespace kx::test
