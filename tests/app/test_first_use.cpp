// What a new user meets first in the windows: keys as X11 delivers them, the variable grid
// after every road that loads a page, folders with accented names, the shell's boxes.
#include "app/dialogs.h"
#include "comm/compare_dialog.h"
#include "comm/transfer_dialogs.h"
#include "core/serial_rx.h"
#include "editor/editor_window.h"
#include "platform/api/textfile.h"
#include "platform/qt_settings.h"
#include "platform/qt_text.h"
#include "support/app_rig.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSvgRenderer>
#include <QTableWidget>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kx;
using test::App;
using test::on_next_modal;

namespace {

void key(App& a, Qt::Key k, const QString& text, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    test::send_key(a.w.editor(), k, text, mods);
}

std::string row0(const App& a, int n) {
    return std::string(a.p.display_buffer.begin(), a.p.display_buffer.begin() + n);
}

// The first column of the variable grid down to its first empty row.
QStringList grid_ids(const App& a) {
    QStringList ids;
    for (int r = 0; r < a.w.editor()->grid()->rowCount(); ++r)
        if (QTableWidgetItem* it = a.w.editor()->grid()->item(r, 0); it && !it->text().isEmpty())
            ids << it->text();
    return ids;
}

// A project whose page 0 has eight variables.
const std::string kEightVars =
    (std::filesystem::path(__FILE__).parent_path().parent_path() / "corpus/projectfile/ok_KXE_540.prj")
        .string();

} // namespace

TEST(FirstUse, ControlCharacterTextsNeverType) {
    for (bool insert : {true, false}) {
        App a;
        a.p.insert_mode = insert;
        test::type_text(a.w.editor(), "HELXO");
        key(a, Qt::Key_Home, "");
        for (int i = 0; i < 3; ++i) key(a, Qt::Key_Right, "");
        key(a, Qt::Key_Delete, QString(QChar(0x7f)));
        EXPECT_EQ(row0(a, 5), "HELO ") << insert;
        key(a, Qt::Key_Backspace, QString(QChar(0x08)));
        for (auto [k, t] : {std::pair{Qt::Key_Tab, "\t"}, {Qt::Key_Return, "\r"}, {Qt::Key_Escape, "\x1b"}})
            key(a, k, t);
        key(a, Qt::Key_A, QString(QChar(1)), Qt::ControlModifier);
        EXPECT_EQ(row0(a, 5), "HEO  ") << insert;
        EXPECT_EQ(a.p.cursor_pos, 2) << insert;
        key(a, Qt::Key_Delete, "", Qt::KeypadModifier); // the keypad's Delete carries no text
        EXPECT_EQ(row0(a, 5), "HE   ") << insert;
    }
}

TEST(FirstUse, TheGridListsThePageVariablesAfterEveryRoadThatLoadsAPage) {
    const QStringList eight = {"1", "2", "3", "4", "5", "6", "7", "8"};
    App a;
    a.prompt.files = {kEightVars};
    a.w.action(Menu::File, 1)->trigger(); // Open
    EXPECT_EQ(grid_ids(a), eight);
    EXPECT_EQ(a.w.editor()->grid()->item(1, 7)->text(), "2AD0"); // the second one's address
    a.w.toolbar_click("PageDown");
    a.w.toolbar_click("PageUp");
    EXPECT_EQ(grid_ids(a), eight);

    a.w.action(Menu::File, 7)->trigger(); // the recent list
    EXPECT_EQ(grid_ids(a), eight);
    on_next_modal([](QWidget* m) { qobject_cast<ModelChooser*>(m)->ok_button()->click(); });
    a.w.action(Menu::File, 0)->trigger(); // New: an empty page
    EXPECT_TRUE(grid_ids(a).isEmpty());
}

// A program folder "Caffè" and a project in a Greek folder: the caption and the recent list
// show the names whole, and the recent list opens the project after a restart.
TEST(FirstUse, AccentedFoldersSurviveARestart) {
    test::TempDir root;
    const std::string program = root.file("Caff\xC3\xA8"),
                      greek = root.file("\xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1");
    std::filesystem::create_directories(program);
    std::filesystem::create_directories(greek);
    const QString ini = qpath(root.file("M\xC3\xBCller.ini"));
    const std::string path = greek + "/forno.prj";
    {
        QtSettingsStore store(ini);
        App a("", program, &store);
        EXPECT_TRUE(a.w.windowTitle().endsWith(QString::fromUtf8("Caff\xC3\xA8/nuovoProgetto)")));
        test::type_text(a.w.editor(), "FORNO");
        a.prompt.files = {path};
        a.w.action(Menu::File, 3)->trigger(); // Save As
        EXPECT_EQ(a.w.windowTitle(), qpath("Win Mivor -  (" + path + ")"));
        EXPECT_TRUE(
            a.w.action(Menu::File, 7)->text().endsWith(QString::fromUtf8("\xCE\xB4\xCE\xB1/forno.prj")));
    }
    QtSettingsStore store(ini);
    App b("", program, &store);
    b.w.action(Menu::File, 7)->trigger();
    EXPECT_EQ(b.p.project_path, path);
    EXPECT_EQ(row0(b, 5), "FORNO");
}

// One about box; Qt's own button texts in the interface's language; an unwritable
// settings store said once, after the window is built.
TEST(FirstUse, ShellBoxesAndStockTexts) {
    auto cancel = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };
    {
        MemorySettings store;
        store.unwritable_as = "/etc/Mivor/Mivor.conf";
        App a("", "", &store);
        EXPECT_EQ(a.prompt.messages.size(), 1u);
        EXPECT_EQ(a.prompt.last_text(), "Impossibile salvare le impostazioni in /etc/Mivor/Mivor.conf");
        for (int i = 0; i < 2; ++i) a.w.action(Menu::Help, 1)->trigger();
        EXPECT_EQ(a.w.findChildren<AboutBox*>().size(), 1);

        QMessageBox box(QMessageBox::Question, "t", "x", QMessageBox::Cancel);
        EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), "Annulla");
        EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), "Cerca in:");
        a.w.action(Menu::Language, 1)->trigger(); // English
        EXPECT_EQ(cancel(), "Cancel");
        a.w.action(Menu::Language, 0)->trigger();
        EXPECT_EQ(cancel(), "Annulla");
        EXPECT_EQ(a.prompt.messages.size(), 1u);
    }
    EXPECT_EQ(cancel(), "Cancel"); // a closed window leaves nothing installed
}

// A settings file edited by hand with one stray line: every value in it stays in force and in
// the file, and the file as it was is kept in a copy beside it, named at the start, that
// leaves an earlier copy of other bytes alone; without a copy the file is not written at all.
// A sound file, and a missing one, are taken as they are.
TEST(FirstUse, ASettingsFileWithAStrayLineKeepsItsValues) {
    test::TempDir root;
    const std::string ini = root.file("Mivor.conf"), copy = ini + ".bad1", bytes_of_older = "[Settaggi]\nx\n";
    const std::string damaged = "[Settaggi]\nLingua=1\nCOM=3\nCOM1Device=/dev/ttyUSB0\nno equals sign\n"
                                "[Inizializzazione]\nUltimoFile=/p/a.prj\n[Ricette]\nUltimoFile=/p/r.ric\n";
    std::ofstream(ini + ".bad", std::ios::binary) << bytes_of_older;
    auto bytes = [](const std::string& path) {
        std::string b;
        return read_file_bytes(path, b) ? b : "none";
    };
    auto start = [&](const std::vector<std::string>& said, int com) {
        QtSettingsStore store(qpath(ini));
        App a("", "", &store);
        EXPECT_EQ(test::texts(a.prompt), said);
        EXPECT_EQ(a.p.com_port, com);
        a.w.action(Menu::Com, 4)->trigger(); // COM5
        EXPECT_EQ(store.get("Settaggi", "COM"), "5");
        return a.w.action(Menu::File, 0)->text();
    };
    // A save of the copy under way elsewhere holds its temporary file locked.
    const int busy = ::open((copy + kTempSuffix).c_str(), O_CREAT | O_RDWR, 0600);
    ::flock(busy, LOCK_EX);
    std::ofstream(ini, std::ios::binary) << damaged;
    EXPECT_EQ(start({"The settings cannot be saved in " + ini}, 3), "&New");
    EXPECT_EQ(bytes(ini), damaged);
    EXPECT_EQ(bytes(copy), "none");
    ::close(busy);

    const std::vector<std::string> said_copy = {
        "The settings file could not be read whole: the settings read "
        "are in force, the others have their defaults. The file as it "
        "was is kept in: " +
        copy};
    std::ofstream(ini, std::ios::binary) << damaged; // as a restart finds it (Qt's cache sees a change)
    ::chmod(ini.c_str(), 0600);                      // a private file has a private copy
    EXPECT_EQ(start(said_copy, 3), "&New");
    EXPECT_EQ(bytes(copy), damaged);
    struct stat copied {};
    EXPECT_EQ(::stat(copy.c_str(), &copied), 0);
    EXPECT_EQ(copied.st_mode & 07777, 0600u);
    EXPECT_EQ(bytes(ini + ".bad"), bytes_of_older);
    QSettings saved(qpath(ini), QSettings::IniFormat);
    EXPECT_EQ(saved.status(), QSettings::NoError);
    for (auto [key, value] : {std::pair{"Settaggi/COM", "5"},
                              {"Settaggi/Lingua", "1"},
                              {"Settaggi/COM1Device", "/dev/ttyUSB0"},
                              {"Ricette/UltimoFile", "/p/r.ric"},
                              {"Inizializzazione/UltimoFile", "/p/a.prj"}})
        EXPECT_EQ(saved.value(key).toString(), value) << key;

    std::ofstream(ini, std::ios::binary) << damaged; // the same bytes again: the same copy serves
    start(said_copy, 3);
    start({}, 5); // now sound: no word, no further copy
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root.path), {}), 3);
    std::filesystem::remove_all(root.path);
    std::filesystem::create_directories(root.path);
    EXPECT_EQ(start({}, 1), "&Nuovo"); // missing: the first start
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root.path), {}), 1);
}

// A settings file that is no INI file at all: said once as not read whole, with its copy, and
// the editor starts with the defaults.
TEST(FirstUse, AnUnreadableSettingsFileIsSaidAsSuchAndDefaultsServe) {
    test::TempDir root;
    const QString ini = qpath(root.file("Mivor.conf"));
    std::string junk;
    for (int i = 0; i < 600; ++i) junk += static_cast<char>((i * 73 + 11) & 0xFF);
    std::ofstream(root.file("Mivor.conf"), std::ios::binary) << junk;
    QtSettingsStore store(ini);
    App a("", "", &store);
    EXPECT_EQ(test::texts(a.prompt),
              std::vector<std::string>{"Impossibile leggere per intero il file delle impostazioni: "
                                       "valgono quelle lette, le altre sono predefinite. "
                                       "Il file com'era si trova in: " +
                                       fs_name(ini) + ".bad"});
    EXPECT_EQ(a.p.com_port, 1);
    a.w.action(Menu::Language, 1)->trigger(); // English, stored
    EXPECT_EQ(a.prompt.messages.size(), 1u);  // and no word of a store that cannot be saved
}

// Stored paths with a NUL inside are ignored as missing ones: the start makes a new
// project name, no recent entry shows, and Save writes the project.
TEST(FirstUse, StoredPathsWithANulAreIgnored) {
    test::TempDir root;
    const std::string project = root.file("forno.prj"), junk = std::string("\0junk", 5);
    const QString ini = qpath(root.file("Mivor.conf"));
    {
        std::ofstream(project) << "x";
        QSettings s(ini, QSettings::IniFormat);
        for (const char* key :
             {"UltimaDirectory", "UltimoFile", "PenultimoFile", "TerzultimoFile", "QuartultimoFile"})
            s.setValue(QStringLiteral("Inizializzazione/") + key, qpath(project + junk));
        s.setValue("Ricette/UltimoFile", qpath(root.file("r.ric") + junk));
        s.setValue("Settaggi/COM1Device", qpath("/dev/ttyS0" + junk));
    }
    QtSettingsStore store(ini);
    App a("", "", &store);
    for (int k = 7; k <= 10; ++k) EXPECT_FALSE(a.w.action(Menu::File, k)->isVisible()) << k;
    EXPECT_EQ(a.p.project_path, a.dir.file("nuovoProgetto"));
    EXPECT_EQ(store.get("Ricette", "UltimoFile"), "");
    EXPECT_EQ(com_port_device(store, 1), "/dev/ttyS0");
    test::type_text(a.w.editor(), "FORNO");
    a.w.action(Menu::File, 2)->trigger(); // Save
    EXPECT_TRUE(a.prompt.messages.empty()) << a.prompt.last_text();
    EXPECT_TRUE(file_exists(a.dir.file("nuovoProgetto")));
}

// The upload and compare dialogs pause before they show: no key, click or menu command
// gets in during that pause.
TEST(FirstUse, TheUploadAndCompareDialogsOpenWithUserInputHeld) {
    App a;
    for (auto show : {show_upload_dialog, show_compare_dialog}) {
        a.pump.user_input.clear();
        std::vector<bool> before_shown;
        on_next_modal([&](QWidget* m) {
            before_shown = a.pump.user_input;
            qobject_cast<QDialog*>(m)->reject();
        });
        show(a.c, a.w.serial(), &a.w);
        EXPECT_EQ(before_shown, std::vector<bool>{false});
        EXPECT_TRUE(a.p.port_idle);
    }
}

// The about box's lines follow the interface language; the splash reads its picture once,
// however often it is painted.
TEST(FirstUse, TheAboutBoxSpeaksTheInterfaceLanguageAndTheSplashReadsOnce) {
    for (const char* lingua : {"0", "1"}) {
        App a(lingua);
        a.w.action(Menu::Help, 1)->trigger();
        QStringList lines;
        for (QLabel* l : a.w.findChild<AboutBox*>()->findChildren<QLabel*>()) lines << l->text();
        EXPECT_EQ(lines.join('|'), lingua[0] == '0'
                                       ? "|Win Mivor versione 1.7|Editor per terminali operatore KX"
                                       : "|Win Mivor version 1.7|Editor for KX operator terminals");
    }
    SplashWindow splash;
    for (int i = 0; i < 3; ++i) splash.grab();
    ASSERT_EQ(splash.findChildren<QSvgRenderer*>().size(), 1);
    EXPECT_TRUE(splash.findChild<QSvgRenderer*>()->isValid());
}
