#pragma once
// The main window started as the program starts it, with scripted prompts, in-memory
// settings and a private program folder; keys as X11 sends them; a way to act on the next
// modal dialog.
#include "app/main_window.h"
#include "core/context.h"
#include "platform/api/scripted_prompt.h"
#include "platform/qt_pump.h"
#include "support/recording_view.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace kx::test {

// The Qt pump, remembering for each wait whether it let user input through.
struct WatchingPump : QtPump {
    std::vector<bool> user_input;
    bool wait(std::int32_t ms, bool input, const std::function<bool()>& done) override {
        user_input.push_back(input);
        return QtPump::wait(ms, input, done);
    }
};

struct App {
    TempDir dir;
    Project p;
    ScriptedPrompt prompt;
    MemorySettings settings;
    WatchingPump pump;
    Ctx c;
    MainWindow w;

    // The interface language, the program's folder (default: a fresh one) and the settings
    // (default: in memory).
    explicit App(const std::string& lingua = "", const std::string& program_dir = "",
                 SettingsStore* store = nullptr)
        : c(p, prompt, store ? *store : settings, pump,
            program_dir.empty() ? dir.path.string() : program_dir),
          w((seed(lingua), c)) {
        w.show();
        w.load();
    }
    void seed(const std::string& lingua) {
        if (!lingua.empty()) settings.save("Settaggi", "Lingua", lingua);
    }
    QString caption() const { return QString::fromStdString("Win Mivor -  (" + p.project_path + ")"); }
};

// Sends a key as an X11 keyboard does: its code and the text it carries.
inline void send_key(QWidget* w, int k, const QString& text = {}, Qt::KeyboardModifiers mods = {}) {
    QKeyEvent press(QEvent::KeyPress, k, mods, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, k, mods, text);
    QApplication::sendEvent(w, &release);
}

// Types `text` key by key; an ASCII character's key code is its upper-case code.
inline void type_text(QWidget* w, const QString& text) {
    for (QChar ch : text) send_key(w, ch.unicode() < 128 ? ch.toUpper().unicode() : 0, QString(ch));
}

// Puts `text` on the clipboard and pastes it over the box's whole text with Ctrl+V, as X11
// sends it (the key V with the control character 0x16).
inline void paste_over(QLineEdit* box, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    box->selectAll();
    send_key(box, Qt::Key_V, QString(QChar(0x16)), Qt::ControlModifier);
}

// Runs `act` on the next modal dialog once it is shown.
inline void on_next_modal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* m = QApplication::activeModalWidget();
        if (m) act(m);
        else on_next_modal(act);
    });
}

// The same for a dialog that must be a T.
template <typename T>
void on_next_modal(std::function<void(T*)> act) {
    on_next_modal([act](QWidget* w) {
        auto* dlg = qobject_cast<T*>(w);
        ASSERT_TRUE(dlg) << w->metaObject()->className();
        QApplication::setActiveWindow(dlg);
        act(dlg);
    });
}

} // namespace kx::test
