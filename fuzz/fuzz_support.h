#pragma once
// What every fuzz target shares: its input as bytes, and the report of a broken check.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace fuzz {

inline std::string_view as_bytes(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Names the broken check and aborts, so the fuzzer keeps the input and the replay fails.
[[noreturn]] inline void fail(const char* what, const std::string& detail = "") {
    std::fprintf(stderr, "%s %s\n", what, detail.c_str());
    std::abort();
}

} // namespace fuzz
