#pragma once
// The main window with its editor as a user meets it, for the window tests: scripted
// prompts, in-memory settings, a private program folder, and a hook for modal dialogs.
#include "app/main_window.h"
#include "core/context.h"
#include "platform/api/scripted_prompt.h"
#include "platform/qt_pump.h"
#include "support/recording_view.h"

#include <QApplication>
#include <QTimer>
#include <functional>

namespace kx::test {

struct App {
    TempDir dir;
    Project p;
    ScriptedPrompt prompt;
    MemorySettings settings;
    QtPump pump;
    Ctx c{p, prompt, settings, pump, dir.path.string()};
    MainWindow w;

    explicit App(const std::string& lingua = "") : w((seed(lingua), c)) {
        w.show();
        w.load();
    }
    void seed(const std::string& lingua) {
        if (!lingua.empty()) settings.save("Settaggi", "Lingua", lingua);
    }
    QString caption() const { return QString::fromStdString("Win Mivor -  (" + p.project_path + ")"); }
};

// Runs `act` on the next modal dialog once it is shown.
inline void on_next_modal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* m = QApplication::activeModalWidget();
        if (m) act(m);
        else on_next_modal(act);
    });
}

} // namespace kx::test
