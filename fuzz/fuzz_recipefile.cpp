// The recipe-file reader as the Recipes menu and every recipe window run it: a file it
// accepts is written, read back and written again, and must come out as the same bytes, so
// whatever a file held is neither lost nor changed by the next Write.
#include "core/recipefile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
    std::abort();
}

std::string write_of(const kx::RecipeModel& m) {
    std::string out;
    kx::FileError err;
    if (!kx::recipe_file_bytes(m, "2.8", out, err))
        fail("a model read from a file cannot be written", err.description);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kx::RecipeModel first;
    kx::FileError err;
    if (!kx::parse_recipe_file(std::string_view(reinterpret_cast<const char*>(data), size), first, err)) {
        // A refusal always says why, so the message box has a text.
        if (err.kind == kx::FileError::Kind::None) fail("refused without a reason", "");
        if (err.kind == kx::FileError::Kind::Damaged && err.description.empty())
            fail("damaged without a description", "");
        return 0;
    }
    const std::string written = write_of(first);
    kx::RecipeModel second;
    if (!kx::parse_recipe_file(written, second, err)) fail("a written file is refused", err.description);
    if (write_of(second) != written) fail("a written file reads back different", "");
    return 0;
}
