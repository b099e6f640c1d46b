#include "core/display.h"
#include "core/shell.h"
#include "platform/api/textfile.h"
#include "support/recording_view.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace kx;

namespace {
const char* kInit = "Inizializzazione";
void touch(const std::filesystem::path& p) { std::ofstream(p) << "x"; }
} // namespace

TEST(StartUp, FirstStartGivesTheEmptyItalianProjectOnCom1) {
    test::Fixture f;
    main_window_load(f.c);
    const Project& p = f.p;
    EXPECT_EQ(p.ui_lang_offset, 0);
    EXPECT_EQ(p.com_port, 1);
    EXPECT_TRUE(f.c.menus.at(Menu::Com, 0).checked);
    EXPECT_EQ(p.kx_type, "KXB_5560");
    EXPECT_EQ(p.n_cols * p.n_rows, 160);
    EXPECT_EQ(p.n_lang, 1);
    EXPECT_EQ(p.language_names[0], "Italiano");
    EXPECT_EQ(p.num_mode, "HEX");
    EXPECT_TRUE(p.link_on);
    EXPECT_FALSE(p.prj_modified);
    EXPECT_EQ(p.project_path, f.dir.string() + "/nuovoProgetto");
    EXPECT_EQ(f.settings.get(kInit, "UltimaDirectory"), p.project_path);
    EXPECT_EQ(f.view.caption, "Win Mivor -  (" + p.project_path + ")");
    for (int k = 7; k <= 10; ++k) EXPECT_FALSE(f.c.menus.at(Menu::File, k).visible);
    EXPECT_EQ(f.c.menus.at(Menu::Gen, 0).caption, "&File");
    EXPECT_EQ(f.view.labels[Label::Mode], "Modo HEX");
    EXPECT_EQ(f.view.labels[Label::Page], "Nr. Pag. 0");
    EXPECT_EQ(f.view.labels[Label::TPages], "T. pag. 1");
    EXPECT_EQ(f.view.labels[Label::Link], "Link abilitato");
    EXPECT_TRUE(f.view.blink);
    EXPECT_EQ(f.c.menus.at(Menu::Option, 3).enabled, false);
}

TEST(StartUp, DamagedSettingsFallBackToCom1AndItalian) {
    for (const char* com : {"0", "9", "abc", "-3"}) {
        test::Fixture f;
        f.settings.save("Settaggi", "COM", com);
        f.settings.save("Settaggi", "Lingua", "7");
        main_window_load(f.c);
        EXPECT_EQ(f.p.com_port, 1) << com;
        EXPECT_TRUE(f.c.menus.at(Menu::Com, 0).checked);
        EXPECT_EQ(f.p.ui_lang_offset, 0);
        EXPECT_EQ(f.c.menus.at(Menu::Gen, 1).caption, "&Modifica");
    }
}

TEST(Language, SwitchingCaptionsEveryMenuToolTipAndLabelAndIsKept) {
    test::Fixture f;
    main_window_load(f.c);
    menu_language_click(f.c, 1);
    EXPECT_EQ(f.settings.get("Settaggi", "Lingua"), "1");
    EXPECT_EQ(f.c.menus.at(Menu::Language, 0).caption, "&Italian");
    EXPECT_EQ(f.c.menus.at(Menu::Language, 1).caption, "&English");
    EXPECT_EQ(f.c.menus.at(Menu::Gen, 1).caption, "&Modify");
    EXPECT_EQ(f.c.menus.at(Menu::Toolbar, 5).caption, "Page Down");
    EXPECT_EQ(f.c.menus.at(Menu::MultiProtocol, 0).caption, "O&N");
    EXPECT_EQ(f.c.menus.at(Menu::Com, 7).caption, "COM8");
    EXPECT_EQ(f.view.labels[Label::Type], "Type  KXB_5560");
    EXPECT_EQ(f.view.labels[Label::Row], "Row: 0");
    EXPECT_EQ(f.view.labels[Label::Page], "N. Page 0");
    EXPECT_EQ(f.view.labels[Label::Pwd], "Password");
    menu_language_click(f.c, 0);
    EXPECT_EQ(f.c.menus.at(Menu::Language, 0).caption, "Italiano");
    EXPECT_EQ(f.c.menus.at(Menu::Language, 1).caption, "Inglese");
    EXPECT_EQ(f.c.menus.at(Menu::Toolbar, 5).caption, "Pagina Giu`");

    // A restart reads the stored choice.
    test::Fixture g;
    g.settings.save("Settaggi", "Lingua", "1");
    main_window_load(g.c);
    EXPECT_EQ(g.c.menus.at(Menu::File, 12).caption, "&Exit");
    EXPECT_EQ(g.view.labels[Label::Mode], "Mode HEX");
}

TEST(RecentFiles, MoveToTheHeadComparedWithoutCase) {
    test::Fixture f;
    update_recent_files(f.c, "/p/a");
    update_recent_files(f.c, "/p/b");
    update_recent_files(f.c, "/p/c");
    update_recent_files(f.c, "/p/d");
    EXPECT_EQ(f.settings.get(kInit, "UltimoFile"), "/p/d");
    EXPECT_EQ(f.settings.get(kInit, "QuartultimoFile"), "/p/a");
    update_recent_files(f.c, "/P/C");   // second: swaps with the first
    EXPECT_EQ(f.settings.get(kInit, "UltimoFile"), "/P/C");
    EXPECT_EQ(f.settings.get(kInit, "PenultimoFile"), "/p/d");
    update_recent_files(f.c, "/p/e");   // new: the fourth drops out
    EXPECT_EQ(f.settings.get(kInit, "QuartultimoFile"), "/p/b");
    EXPECT_EQ(f.settings.get(kInit, "UltimaDirectory"), "/p/e");
    update_recent_files(f.c, "/p/e");
    EXPECT_EQ(f.settings.get(kInit, "PenultimoFile"), "/P/C");
    EXPECT_EQ(f.c.menus.at(Menu::File, 7).caption, "1 - /p/e");
    EXPECT_TRUE(f.c.menus.at(Menu::File, 10).visible);

    std::string longpath = "/" + std::string(49, 'x');
    update_recent_files(f.c, longpath);
    EXPECT_EQ(f.c.menus.at(Menu::File, 7).caption, "1 - " + longpath.substr(10));
}

TEST(RecentFiles, AMissingFileIsReportedAndKeepsTheProject) {
    test::Fixture f;
    f.p.project_path = "/keep";
    f.settings.save(kInit, "UltimoFile", (f.dir / "gone").string());
    EXPECT_TRUE(load_recent_project_path(f.c, "UltimoFile"));
    EXPECT_EQ(f.p.project_path, "/keep");
    EXPECT_EQ(f.prompt.last_text(), "Impossibile aprire il file " + (f.dir / "gone").string());
    touch(f.dir / "there");
    f.settings.save(kInit, "PenultimoFile", (f.dir / "there").string());
    EXPECT_FALSE(load_recent_project_path(f.c, "PenultimoFile"));
    EXPECT_EQ(f.p.project_path, (f.dir / "there").string());
}

TEST(NewProjectName, TakesTheFirstFreeNameBesideTheLastProject) {
    test::Fixture f;
    auto sub = f.dir / "work";
    std::filesystem::create_directories(sub);
    touch(sub / "nuovoProgetto");
    touch(sub / "nuovoProgetto1");
    f.settings.save(kInit, "UltimaDirectory", (sub / "old.prj").string());
    make_new_project_name(f.c);
    EXPECT_EQ(f.p.project_path, (sub / "nuovoProgetto2").string());
    EXPECT_EQ(f.settings.get(kInit, "UltimaDirectory"), f.p.project_path);
    // A directory that no longer exists falls back to the program's folder.
    f.settings.save(kInit, "UltimaDirectory", "/no/such/dir/x");
    make_new_project_name(f.c);
    EXPECT_EQ(f.p.project_path, f.dir.string() + "/nuovoProgetto");
}

TEST(SaveQuestion, AnswersAndAFailedSaveStopsTheCommand) {
    test::Fixture f;
    main_window_load(f.c);
    EXPECT_EQ(ask_save_project(f.c), kAnsNo);   // nothing modified: no question
    EXPECT_TRUE(f.prompt.messages.empty());
    f.p.prj_modified = true;
    f.prompt.answers = {kAnsNo};
    EXPECT_EQ(ask_save_project(f.c), kAnsNo);
    EXPECT_EQ(f.prompt.messages.back().text, "Salva modifiche a " + f.p.project_path + " ?");
    EXPECT_TRUE(f.p.prj_modified);
    // A Yes whose save fails must not let Exit or New drop the project.
    f.p.project_path = "/no/such/dir/p";
    f.prompt.answers = {kAnsYes};
    EXPECT_EQ(ask_save_project(f.c), kAnsCancel);
    EXPECT_TRUE(f.p.prj_modified);
    f.prompt.answers = {kAnsYes};
    EXPECT_FALSE(file_exit(f.c));
    EXPECT_FALSE(f.p.exiting);
    f.prompt.answers = {kAnsCancel};
    EXPECT_FALSE(query_unload(f.c));
    f.prompt.answers = {kAnsNo};
    EXPECT_TRUE(file_exit(f.c));
    EXPECT_TRUE(f.p.exiting);
    EXPECT_TRUE(query_unload(f.c));   // after File > Exit the close asks nothing more
}

TEST(ComPort, ChoosingAPortChecksOnlyItAndStoresIt) {
    test::Fixture f;
    main_window_load(f.c);
    menu_com_click(f.c, 4);
    EXPECT_EQ(f.p.com_port, 5);
    EXPECT_EQ(f.settings.get("Settaggi", "COM"), "5");
    for (int i = 0; i < 8; ++i) EXPECT_EQ(f.c.menus.at(Menu::Com, i).checked, i == 4);
}
