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

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kx::ScriptedPrompt prompt;
    kx::MemorySettings settings;
    kx::ManualPump pump;
    // The project is built once (every page of every language) and copied for the check.
    static const auto project = [&] {
        auto p = std::make_unique<kx::Project>();
        kx::Ctx c{*p, prompt, settings, pump};
        kx::init_no_file(c);
        kx::page_record& r = p->page_store[0][0];
        r.set_var(1, kx::variable_record{1, 0, 45, 3, 0, 0x10, 0, 999});
        r.var_count = 1;
        for (int cell = 45; cell < 48; ++cell) r.chars[cell] = kx::kCodeVarDigit;
        kx::load_page(c, 0, 0);
        return p;
    }();
    static kx::Project p;
    p = *project;
    kx::Ctx c{p, prompt, settings, pump};
    kx::ComparePanel panel;
    kx::CompareTotals totals;
    const std::string_view line = fuzz::as_bytes(data, size);
    if (kx::replay_compare(c, line, panel, totals) == kx::TransferOutcome::Refused)
        fuzz::fail("a free port refused the compare");
    if (!p.port_idle) fuzz::fail("the port stays held");
    if (p.act_page != 0) fuzz::fail("the editor is not on page 0");
    if (totals.errors < 0 || totals.warnings < 0) fuzz::fail("negative totals");
    if (!(p.page_store == project->page_store) || p.global_strings != project->global_strings ||
        p.language_names != project->language_names || p.n_lang != project->n_lang ||
        p.last_page_idx != project->last_page_idx || p.n_strings != project->n_strings || p.prj_modified)
        fuzz::fail("the compare changed the project");
    return 0;
}
