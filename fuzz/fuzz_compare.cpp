// Transfer > Compare on bytes from the line: they go through the receive rule and the
// compare's reading of every frame, against a project of one page with a variable. Whatever
// arrives, the compare ends with the port released, the editor on page 0, and the project
// exactly as it was.
#include "core/compare.h"
#include "core/context.h"
#include "core/shell.h"
#include "core/store.h"
#include "fuzz_support.h"
#include "platform/api/scripted_prompt.h"

#include <memory>
#include <utility>

namespace {

// The project's pages, strings and counts: what the compare must leave as it found them.
// Records beyond the project's pages and languages are none of its content.
bool same_project(const kx::Project& a, const kx::Project& b) {
    if (a.n_lang != b.n_lang || a.last_page_idx != b.last_page_idx || a.n_strings != b.n_strings ||
        a.language_names != b.language_names || a.kx_type != b.kx_type || a.prj_modified != b.prj_modified)
        return false;
    for (int L = 0; L < b.n_lang; ++L) {
        for (int pg = 0; pg <= b.last_page_idx; ++pg)
            if (!(a.page_store[L][pg] == b.page_store[L][pg])) return false;
        for (int s = 0; s < b.n_strings; ++s)
            if (a.global_strings[L][s] != b.global_strings[L][s]) return false;
    }
    return true;
}

// The large members (page stores, strings, recipes) move out, every other field is put
// back as `start` has it, and the large members move back in: each input starts from the
// same state without copying megabytes. The compare only reads the large members, and
// same_project checks after each input that it did not change them.
void start_from(kx::Project& p, const kx::Project& start) {
    kx::page_store_t store = std::move(p.page_store);
    kx::page_store_t clip = std::move(p.page_clipboard);
    auto strings = std::move(p.global_strings);
    kx::RecipeModel recipe = std::move(p.recipe);
    p = start;
    p.page_store = std::move(store);
    p.page_clipboard = std::move(clip);
    p.global_strings = std::move(strings);
    p.recipe = std::move(recipe);
}

struct Rig {
    kx::Project held;  // the project as it must stay
    kx::Project p;     // the one each compare runs on
    kx::Project start; // held without its large members

    Rig() {
        kx::ScriptedPrompt prompt;
        kx::MemorySettings settings;
        kx::ManualPump pump;
        kx::Ctx c{held, prompt, settings, pump};
        kx::init_no_file(c);
        kx::page_record& r = held.page_store[0][0];
        r.set_var(1, kx::variable_record{1, 0, 45, 3, 0, 0x10, 0, 999});
        r.var_count = 1;
        for (int cell = 45; cell < 48; ++cell) r.chars[cell] = kx::kCodeVarDigit;
        kx::load_page(c, 0, 0);
        p = held;
        start = held;
        start.page_store.clear();
        start.page_clipboard.clear();
        start.global_strings.clear();
        start.recipe.recipe_elements.clear();
        start.recipe.recipe_blocks.clear();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto rig = std::make_unique<Rig>();
    kx::Project& p = rig->p;
    start_from(p, rig->start);
    kx::ScriptedPrompt prompt;
    kx::MemorySettings settings;
    kx::ManualPump pump;
    kx::Ctx c{p, prompt, settings, pump};
    kx::ComparePanel panel;
    kx::CompareTotals totals;
    const std::string_view line = fuzz::as_bytes(data, size);
    if (kx::replay_compare(c, line, panel, totals) == kx::TransferOutcome::Refused)
        fuzz::fail("a free port refused the compare");
    if (!p.port_idle) fuzz::fail("the port stays held");
    if (p.act_page != 0) fuzz::fail("the editor is not on page 0");
    if (totals.errors < 0 || totals.warnings < 0) fuzz::fail("negative totals");
    if (!same_project(p, rig->held)) fuzz::fail("the compare changed the project");
    return 0;
}
