// Recipes > KX --> PC on bytes from the line: every answer goes through the receive rule
// and the upload's reading by position. Whatever arrives, the port is released and the
// recipe model stays inside its tables; a complete upload gives a model the recipe file can
// hold.
#include "core/context.h"
#include "core/recipe_transfer.h"
#include "core/recipefile.h"
#include "fuzz_support.h"
#include "platform/api/scripted_prompt.h"

#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto project = std::make_unique<kx::Project>();
    kx::Project& p = *project;
    init_recipe_data(p.recipe);
    p.recipe_modified = false;
    kx::ScriptedPrompt prompt;
    prompt.answers = {kx::kAnsOk, kx::kAnsNo}; // the success box, then no save
    kx::MemorySettings settings;
    kx::ManualPump pump;
    kx::Ctx c{p, prompt, settings, pump};
    const std::string_view line = fuzz::as_bytes(data, size);
    const kx::TransferOutcome outcome = kx::replay_recipe_upload(c, line);
    if (outcome == kx::TransferOutcome::Refused) fuzz::fail("a free port refused the upload");
    if (!p.port_idle) fuzz::fail("the port stays held");
    const kx::RecipeModel& m = p.recipe;
    if (m.blk_tot < 0 || m.blk_tot > kx::kMaxRecipeBlocks || m.blk_len < 0 ||
        m.blk_len > kx::kMaxRecipeElements)
        fuzz::fail("counts outside the tables");
    for (const kx::recipe_block& b : m.recipe_blocks)
        if (!kx::valid_recipe_slot(b.prev) || !kx::valid_recipe_slot(b.next))
            fuzz::fail("a link outside the table");
    // Success was reported: the whole set arrived, so the file can keep it or says why not.
    if (outcome == kx::TransferOutcome::Ended && !prompt.messages.empty() &&
        prompt.messages[0].text == c.txt(10077)) {
        std::string bytes;
        kx::FileError err;
        const bool ok = kx::recipe_file_bytes(m, p.file_version, bytes, err);
        if (!ok && err.description.empty()) fuzz::fail("a refused model without a reason");
    }
    return 0;
}
