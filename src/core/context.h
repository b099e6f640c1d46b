#pragma once
// What every model routine works with: the project state, the windows (through View),
// the user (through Prompt), the settings store, the event pump, and the main window's
// menu model and file dialogs.
#include "core/menus.h"
#include "core/project.h"
#include "core/strings.h"
#include "core/view.h"
#include "platform/api/prompt.h"
#include "platform/api/pump.h"
#include "platform/api/settings.h"

#include <string>

namespace kx {

struct Ctx {
    Ctx(Project& project, Prompt& prompt_, SettingsStore& settings_, Pump& pump_,
        std::string program_dir_ = ".")
        : p(project), prompt(prompt_), settings(settings_), pump(pump_),
          program_dir(std::move(program_dir_)) {}

    Project& p;
    Prompt& prompt;
    SettingsStore& settings;
    Pump& pump;
    std::string program_dir; // folder of the executable, without a trailing "/"
    // The user's documents folder: new projects are named there when the program's folder
    // cannot be written ("" = none).
    std::string documents_dir;

    MenuModel menus;
    FileDialog cdg1;       // projects
    FileDialog cdg_recipe; // recipe files

    View& view() { return view_ ? *view_ : null_view_; }
    void set_view(View* v) { view_ = v; }

    // The text of a string-table entry in the current user-interface language.
    const std::string& txt(int id) const { return StringTable::builtin().get(id + p.ui_lang_offset); }

    void beep() { prompt.beep(); }
    void menus_changed() { view().menus_changed(); }

private:
    View* view_ = nullptr;
    View null_view_;
};

} // namespace kx
