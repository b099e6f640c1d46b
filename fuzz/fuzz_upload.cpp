// Transfer > KX --> PC on bytes from the line. The first byte is the model chosen for the
// upload (its value modulo 8 is the chooser's option); the rest arrives on the line and
// goes through the receive rule and the upload's reading of every frame. Whatever arrives,
// the upload ends with the port released and a project inside its stores that File > Save
// can write.
#include "core/context.h"
#include "core/models.h"
#include "core/projectfile.h"
#include "core/transfer.h"
#include "fuzz_support.h"
#include "platform/api/scripted_prompt.h"

#include <memory>
#include <optional>
#include <string>

namespace {

// The model chooser answers with the option the input names.
class ChooserView : public kx::View {
public:
    int option = 0;
    std::optional<int> choose_model(const std::string&, const std::string&, const std::string&,
                                    int) override {
        return option;
    }
};

void check_bounds(const kx::Project& p) {
    if (!p.port_idle) fuzz::fail("the port stays held");
    if (p.n_lang < 1 || p.n_lang > kx::kLangSlots) fuzz::fail("language count", std::to_string(p.n_lang));
    if (p.last_page_idx < 0 || p.last_page_idx > kx::kMaxPageIdx)
        fuzz::fail("last page", std::to_string(p.last_page_idx));
    if (p.n_strings < 0 || p.n_strings > kx::kMaxStrings)
        fuzz::fail("string count", std::to_string(p.n_strings));
    if (p.act_page != 0) fuzz::fail("the editor is not on page 0");
    for (int pg = 0; pg <= p.last_page_idx; ++pg) {
        const kx::page_record& r = p.page_store[0][pg];
        if (r.var_count < 0 || r.var_count > kx::kMaxVars)
            fuzz::fail("variable count", std::to_string(r.var_count));
        for (int v = 1; v <= r.var_count; ++v)
            if (r.pos[v] < 0 || r.pos[v] >= p.cells()) fuzz::fail("variable outside the page");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // One project for the whole run, as in the editor, where every upload starts from the
    // empty project that the model choice makes of the one before. Building a project is
    // costly (every page of every language); the rest of the context is made per input.
    static const auto project = std::make_unique<kx::Project>();
    kx::Project& p = *project;
    kx::ScriptedPrompt prompt;
    kx::MemorySettings settings;
    kx::ManualPump pump;
    kx::Ctx c{p, prompt, settings, pump};
    ChooserView view;
    view.option = data[0] % 8;
    c.set_view(&view);
    prompt.answers.push_back(kx::kAnsNo); // the earlier upload is not saved
    if (kx::choose_terminal_model(c, "upload") != 1) fuzz::fail("the model choice was refused");

    const std::string_view line = fuzz::as_bytes(data + 1, size - 1);
    const kx::TransferOutcome outcome = kx::replay_upload(c, line);
    if (outcome == kx::TransferOutcome::Refused) fuzz::fail("a free port refused the upload");
    check_bounds(p);

    // What arrived is a project the editor can keep: File > Save writes it (that Open reads
    // back whatever Save writes is fuzz_projectfile's part).
    std::string bytes;
    kx::FileError err;
    if (!kx::project_file_bytes(p, bytes, err))
        fuzz::fail("the uploaded project cannot be saved:", err.description);
    return 0;
}
