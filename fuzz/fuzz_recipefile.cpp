// The recipe-file reader as the Recipes menu and every recipe window run it: a file it
// accepts is written, read back and written again, and must come out as the same bytes, so
// whatever a file held is neither lost nor changed by the next Write.
#include "core/recipefile.h"
#include "fuzz_support.h"

#include <memory>
#include <string>

namespace {

std::string write_of(const kx::RecipeModel& m) {
    std::string out;
    kx::FileError err;
    if (!kx::recipe_file_bytes(m, "2.8", out, err))
        fuzz::fail("a model read from a file cannot be written", err.description);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Two models for the whole run, each set back to an empty one before it is read into,
    // as File > Open reads into a fresh model: a model is some 170 KB, and allocating two
    // per input cost more than reading the input.
    static const auto empty = std::make_unique<const kx::RecipeModel>();
    static const auto first_model = std::make_unique<kx::RecipeModel>();
    static const auto second_model = std::make_unique<kx::RecipeModel>();
    kx::RecipeModel& first = *first_model;
    kx::RecipeModel& second = *second_model;
    first = *empty;
    kx::FileError err;
    if (!kx::parse_recipe_file(fuzz::as_bytes(data, size), first, err)) {
        // A refusal always says why, so the message box has a text.
        if (err.kind == kx::FileError::Kind::None) fuzz::fail("refused without a reason");
        if (err.kind == kx::FileError::Kind::Damaged && err.description.empty())
            fuzz::fail("damaged without a description");
        return 0;
    }
    const std::string written = write_of(first);
    second = *empty;
    if (!kx::parse_recipe_file(written, second, err))
        fuzz::fail("a written file is refused", err.description);
    if (write_of(second) != written) fuzz::fail("a written file reads back different");
    return 0;
}
