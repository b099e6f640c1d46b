#pragma once
// The main window started as the program starts it, with scripted prompts, in-memory
// settings and a private program folder: the stand-in of the window tests.
#include "app/main_window.h"
#include "core/context.h"
#include "platform/api/scripted_prompt.h"
#include "platform/qt_pump.h"
#include "support/recording_view.h"

#include <QString>
#include <string>

namespace kx::test {

struct App {
    test::TempDir dir;
    Project p;
    ScriptedPrompt prompt;
    MemorySettings settings;
    QtPump pump;
    Ctx c{p, prompt, settings, pump, dir.path.string()};
    MainWindow w;

    // lingua: the stored interface language ("" = none stored).
    explicit App(const std::string& lingua = "") : w((seed(lingua), c)) {
        w.show();
        w.load();
    }
    void seed(const std::string& lingua) {
        if (!lingua.empty()) settings.save("Settaggi", "Lingua", lingua);
    }
    QString caption() const { return QString::fromStdString("Win Mivor -  (" + p.project_path + ")"); }
};

} // namespace kx::test
