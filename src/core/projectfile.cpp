#include "core/projectfile.h"

#include "core/context.h"
#include "core/text.h"

namespace kx {

bool save_project_file(Ctx& c, const std::string& path) {
    (void)path;
    // The project-file writer is not built yet: say so instead of pretending to save.
    c.beep();
    c.prompt.message(error_text(c, 75, "Project files are not available in this build"), kOkOnly);
    return false;
}

} // namespace kx
