// What a new user meets first in the windows: the keys as X11 delivers them, the variable
// grid after every road that loads a page, and projects in folders with accented names.
#include "app/dialogs.h"
#include "app/main_window.h"
#include "comm/transfer_dialogs.h"
#include "core/context.h"
#include "core/editing.h"
#include "core/store.h"
#include "editor/display_widget.h"
#include "editor/editor_window.h"
#include "platform/api/scripted_prompt.h"
#include "platform/qt_pump.h"
#include "platform/qt_settings.h"
#include "platform/qt_text.h"
#include "support/recording_view.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QComboBox>
#include <QPushButton>
#include <QKeyEvent>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>

using namespace kx;

namespace {

struct Win {
    test::TempDir dir;
    Project p;
    ScriptedPrompt prompt;
    MemorySettings settings;
    QtPump pump;
    Ctx c;
    MainWindow w;

    // The program's folder (default: a fresh temporary one) and the settings store (default:
    // one in memory).
    explicit Win(const std::string& program_dir = "", SettingsStore* store = nullptr)
        : c(p, prompt, store ? *store : settings, pump, program_dir), w(c) {
        if (program_dir.empty()) c.program_dir = dir.path.string();
        w.show();
        w.load();
    }
    EditorWindow* e() const { return w.editor(); }

    // A key as the X server delivers it: the key code and the text it carries.
    void key(Qt::Key k, const QString& text, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, k, mods, text);
        QApplication::sendEvent(e(), &press);
        QKeyEvent release(QEvent::KeyRelease, k, mods, text);
        QApplication::sendEvent(e(), &release);
    }
    void type(const std::string& s) {
        for (char ch : s) key(static_cast<Qt::Key>(QChar(ch).toUpper().unicode()), QString(QChar(ch)));
    }
    std::string row0(int n) const {
        std::string s;
        for (int i = 0; i < n; ++i) s += static_cast<char>(p.display_buffer[i]);
        return s;
    }
    // The texts of the grid's first column, row by row, up to the first empty row.
    std::vector<std::string> grid_ids() const {
        std::vector<std::string> ids;
        QTableWidget* g = e()->grid();
        for (int r = 0; r < g->rowCount(); ++r) {
            QTableWidgetItem* it = g->item(r, 0);
            if (!it || it->text().isEmpty()) break;
            ids.push_back(it->text().toStdString());
        }
        return ids;
    }
};

// Page 0 with two variables and page 1 with one, in two languages, saved under `path`.
void write_project_with_variables(const std::string& path) {
    Win a;
    Project& p = a.p;
    p.n_lang = 2;
    p.language_names[1] = "English";
    p.last_page_idx = 1;
    page_record& r0 = p.page_store[0][0];
    r0.var_count = 2;
    r0.set_var(1, {1, 0, 41, 4, 0, 0x10, 0, 100});
    r0.set_var(2, {0, 0, 81, 3, 0, 0x20, 0, 50});
    page_record& r1 = p.page_store[0][1];
    r1.var_count = 1;
    r1.set_var(1, {1, 0, 0, 5, 0, 0x30, 0, 9});
    for (int pg = 0; pg < 2; ++pg)
        for (int lang = 0; lang < 2; ++lang) {
            const page_record& v = p.page_store[0][pg];
            std::array<variable_record, kVarSlots> t{};
            for (int s = 1; s <= v.var_count; ++s) t[s] = v.var(s);
            lay_var_marks(p.page_store[lang][pg].chars, t, v.var_count, p.cells());
        }
    load_page(a.c, 0, 0);
    p.project_path = path;
    a.w.action(Menu::File, 2)->trigger();
    ASSERT_TRUE(std::filesystem::exists(path));
}

// Runs `act` on the next modal dialog once it is shown.
void on_next_modal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        if (QWidget* m = QApplication::activeModalWidget()) act(m);
        else on_next_modal(act);
    });
}

} // namespace

TEST(FirstUse, ControlCharacterTextsNeverType) {
    for (bool insert : {true, false}) {
        Win a;
        a.p.insert_mode = insert;
        a.type("HELXO");
        a.key(Qt::Key_Home, QString());
        for (int i = 0; i < 3; ++i) a.key(Qt::Key_Right, QString());
        a.key(Qt::Key_Delete, QString(QChar(0x7f)));
        EXPECT_EQ(a.row0(5), "HELO ") << insert;
        EXPECT_EQ(a.p.cursor_pos, 3) << insert;
        a.key(Qt::Key_Backspace, QString(QChar(0x08)));
        EXPECT_EQ(a.row0(5), "HEO  ") << insert;
        EXPECT_EQ(a.p.cursor_pos, 2) << insert;
        // Keys whose text is a control character reach no cell.
        a.key(Qt::Key_Tab, "\t");
        a.key(Qt::Key_Return, "\r");
        a.key(Qt::Key_Escape, QString(QChar(0x1b)));
        a.key(Qt::Key_A, QString(QChar(1)), Qt::ControlModifier);
        EXPECT_EQ(a.row0(5), "HEO  ") << insert;
        for (int i = 0; i < a.p.cells(); ++i) ASSERT_GE(a.p.display_buffer[i], 32) << i;
        // The keypad's Delete, without text, closes the row as well.
        a.key(Qt::Key_Delete, QString(), Qt::KeypadModifier);
        EXPECT_EQ(a.row0(5), "HE   ") << insert;
    }
}

TEST(FirstUse, TheGridListsThePageVariablesAfterEveryRoadThatLoadsAPage) {
    test::TempDir files;
    const std::string path = files.file("vars.prj");
    write_project_with_variables(path);

    Win a;
    a.prompt.files = {path};
    a.w.action(Menu::File, 1)->trigger();   // Open
    EXPECT_EQ(a.grid_ids(), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(a.e()->grid()->item(0, 3)->text(), "1");   // row of the first variable
    EXPECT_EQ(a.e()->grid()->item(1, 7)->text(), "20");  // HEX address of the second

    a.e()->lang_list()->activated(1);   // another terminal language: the same variables
    EXPECT_EQ(a.grid_ids(), (std::vector<std::string>{"1", "2"}));
    a.w.toolbar_click("PageDown");
    EXPECT_EQ(a.grid_ids(), std::vector<std::string>{"1"});

    Win b;
    b.settings.save("Inizializzazione", "UltimoFile", path);
    update_recent_files(b.c, "");
    b.w.action(Menu::File, 7)->trigger();   // the recent list
    EXPECT_EQ(b.p.project_path, path);
    EXPECT_EQ(b.grid_ids(), (std::vector<std::string>{"1", "2"}));

    // File > New: an empty page, an empty grid with its headings.
    on_next_modal([](QWidget* m) {
        if (auto* dlg = qobject_cast<ModelChooser*>(m)) dlg->ok_button()->click();
    });
    b.w.action(Menu::File, 0)->trigger();
    EXPECT_TRUE(b.grid_ids().empty());
    EXPECT_EQ(b.e()->grid()->horizontalHeaderItem(0)->text(), "id_var");
}

// A program folder named "Caffè" with a project in a Greek folder: the caption and the recent
// list show the names whole, and the recent list opens the project after a restart.
TEST(FirstUse, AccentedFoldersSurviveARestart) {
    test::TempDir root;
    const std::string program = root.file("Caff\xC3\xA8");
    const std::string greek = root.file("\xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1");
    std::filesystem::create_directories(program);
    std::filesystem::create_directories(greek);
    const QString ini = qpath(root.file("M\xC3\xBCller.ini"));
    const std::string path = greek + "/forno.prj";
    {
        QtSettingsStore store(ini);
        Win a(program, &store);
        EXPECT_EQ(a.p.project_path, program + "/nuovoProgetto");
        EXPECT_TRUE(a.w.windowTitle().contains(QString::fromUtf8("Caff\xC3\xA8/nuovoProgetto"))) << a.w.windowTitle().toStdString();
        a.type("FORNO");
        a.prompt.files = {path};
        a.w.action(Menu::File, 3)->trigger();   // Save As
        ASSERT_TRUE(std::filesystem::exists(path)) << a.prompt.last_text();
        EXPECT_EQ(a.w.windowTitle(), qpath("Win Mivor -  (" + path + ")"));
        EXPECT_TRUE(a.w.action(Menu::File, 7)->text().endsWith(QString::fromUtf8("\xCE\xB4\xCE\xB1/forno.prj")));
    }
    QtSettingsStore store(ini);
    Win b(program, &store);
    EXPECT_TRUE(b.w.action(Menu::File, 7)->isVisible());
    b.w.action(Menu::File, 7)->trigger();
    EXPECT_EQ(b.p.project_path, path);
    EXPECT_EQ(b.row0(5), "FORNO");
    EXPECT_TRUE(b.prompt.messages.empty()) << b.prompt.last_text();
}

TEST(FirstUse, InfoShowsOneAboutBox) {
    Win a;
    a.w.action(Menu::Help, 1)->trigger();
    a.w.action(Menu::Help, 1)->trigger();
    EXPECT_EQ(a.w.findChildren<AboutBox*>().size(), 1);
    AboutBox* box = a.w.findChild<AboutBox*>();
    box->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(a.w.findChildren<AboutBox*>().isEmpty());
    a.w.action(Menu::Help, 1)->trigger();   // a closed box opens again
    ASSERT_EQ(a.w.findChildren<AboutBox*>().size(), 1);
    EXPECT_TRUE(a.w.findChild<AboutBox*>()->isVisible());
}

// Buttons of message boxes and the file dialogs speak the interface's language.
TEST(FirstUse, StockTextsFollowTheInterfaceLanguage) {
    auto cancel = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };
    auto look_in = [] { return QCoreApplication::translate("QFileDialog", "Look in:"); };
    {
        Win a;
        EXPECT_EQ(cancel(), "Annulla");
        EXPECT_NE(look_in(), "Look in:");
        QMessageBox box(QMessageBox::Question, "t", "x", QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), "Annulla");
        a.w.action(Menu::Language, 1)->trigger();   // English
        EXPECT_EQ(cancel(), "Cancel");
        EXPECT_EQ(look_in(), "Look in:");
        a.w.action(Menu::Language, 0)->trigger();
        EXPECT_EQ(cancel(), "Annulla");
    }
    EXPECT_EQ(cancel(), "Cancel");   // a closed window leaves nothing installed
}

namespace {
struct WatchingPump : QtPump {
    std::vector<bool> user_input;   // of every wait, in order
    bool wait(std::int32_t ms, bool input, const std::function<bool()>& done) override {
        user_input.push_back(input);
        return QtPump::wait(ms, input, done);
    }
};
} // namespace

TEST(FirstUse, TheUploadDialogOpensWithUserInputHeld) {
    test::TempDir dir;
    Project p;
    ScriptedPrompt prompt;
    MemorySettings settings;
    WatchingPump pump;
    Ctx c(p, prompt, settings, pump, dir.path.string());
    MainWindow w(c);
    w.show();
    w.load();
    pump.user_input.clear();
    std::vector<bool> before_shown;
    on_next_modal([&](QWidget* m) {
        before_shown = pump.user_input;
        if (auto* dlg = qobject_cast<QDialog*>(m)) dlg->reject();
    });
    show_upload_dialog(c, w.serial(), &w);
    EXPECT_EQ(before_shown, std::vector<bool>{false});
    EXPECT_TRUE(p.port_idle);
}

// A settings store that cannot be written is said once, after the start-up has finished.
TEST(FirstUse, AnUnwritableSettingsStoreIsSaidOnce) {
    MemorySettings store;
    store.unwritable_as = "/etc/Mivor/Mivor.conf";
    Win a("", &store);
    ASSERT_EQ(a.prompt.messages.size(), 1u);
    EXPECT_EQ(a.prompt.last_text(), "Impossibile salvare le impostazioni in /etc/Mivor/Mivor.conf");
    EXPECT_EQ(a.e()->display()->cell_count(), 160);   // the window was built before
    a.w.action(Menu::Com, 2)->trigger();
    EXPECT_EQ(a.prompt.messages.size(), 1u);
}
