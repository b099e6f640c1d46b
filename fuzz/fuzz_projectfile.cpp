// The project-file reader as File > Open runs it: the staged read, and for a file it accepts
// the swap into a project and the file Save would write of it. That file must read back and
// write again to the very same bytes: whatever a file held, the editor neither loses nor
// changes it on the next Open and Save.
#include "core/projectfile.h"
#include "fuzz_support.h"

#include <algorithm>
#include <memory>
#include <string>

namespace {

// Reads bytes into project q; false when the reader refuses them.
bool read_into(std::string_view bytes, kx::Project& q, kx::FileError& err) {
    kx::StagedProject st;
    // The progress window's hooks, as File > Open sets them: each value within the maximum.
    int max = -1;
    kx::ParseHooks hooks;
    hooks.header = [&](const kx::StagedProject& s) { max = std::max(1, s.last_page_idx * s.n_lang); };
    hooks.page = [&](int value) {
        if (value < 0 || value > max)
            fuzz::fail("progress value outside the window's range", std::to_string(value));
    };
    if (!kx::parse_project_file(bytes, st, err, hooks)) {
        // A refusal always says why, so the message box has a text.
        if (err.kind == kx::FileError::Kind::None) fuzz::fail("refused without a reason");
        if (err.kind == kx::FileError::Kind::Damaged && (err.number == 0 || err.description.empty()))
            fuzz::fail("damaged file without a number or description", err.description);
        return false;
    }
    kx::install_staged_project(q, std::move(st));
    return true;
}

std::string write_of(const kx::Project& q) {
    std::string out;
    kx::FileError err;
    if (!kx::project_file_bytes(q, out, err))
        fuzz::fail("a project read from a file cannot be saved", err.description);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Two projects for the whole run: building one is costly (every page of every language),
    // and installing a staged file sets everything the writer reads, pages and strings of
    // the file's languages included, so what an earlier input left cannot show.
    static const auto first = std::make_unique<kx::Project>();
    static const auto second = std::make_unique<kx::Project>();
    kx::FileError err;
    if (!read_into(fuzz::as_bytes(data, size), *first, err)) return 0;
    const std::string written = write_of(*first);
    if (!read_into(written, *second, err)) fuzz::fail("a written file is refused", err.description);
    if (write_of(*second) != written) fuzz::fail("a written file reads back different");
    return 0;
}
