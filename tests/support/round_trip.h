#pragma once
// The project file round trip after an editing command: the project is written, read into
// a fresh project and written again; both writes give the same bytes.
#include "core/projectfile.h"

#include <gtest/gtest.h>

#include <memory>

namespace kx::test {

inline std::unique_ptr<Project> round_trip(const Project& p) {
    std::string first, second;
    FileError err;
    EXPECT_TRUE(project_file_bytes(p, first, err)) << err.description;
    StagedProject st;
    EXPECT_TRUE(parse_project_file(first, st, err)) << err.description;
    auto q = std::make_unique<Project>();
    install_staged_project(*q, std::move(st));
    EXPECT_TRUE(project_file_bytes(*q, second, err)) << err.description;
    EXPECT_EQ(first, second);
    return q;
}

} // namespace kx::test
