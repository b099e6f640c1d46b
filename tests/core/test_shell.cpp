// Start-up, the recent projects, new project names and the save question.
#include "core/filecmds.h"
#include "core/models.h"
#include "support/recording_view.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace kx;

namespace {
const char* kInit = "Inizializzazione";
void touch(const std::filesystem::path& p) { std::ofstream(p) << "x"; }
} // namespace

// A first start (nothing stored) and damaged settings give COM1 and Italian; the project
// is the empty one under a fresh name beside the program.
TEST(StartUp, FirstStartAndDamagedSettingsGiveCom1AndItalian) {
    for (const char* com : {"", "0", "9", "abc", "-3"}) {
        test::Fixture f;
        if (*com) {
            f.settings.save("Settaggi", "COM", com);
            f.settings.save("Settaggi", "Lingua", "7");
        }
        main_window_load(f.c);
        EXPECT_EQ(f.p.com_port, 1) << com;
        EXPECT_TRUE(f.c.menus.at(Menu::Com, 0).checked);
        EXPECT_EQ(f.p.ui_lang_offset, 0);
        EXPECT_EQ(f.c.menus.at(Menu::Gen, 1).caption, "&Modifica");
        EXPECT_EQ(f.settings.get(kInit, "UltimaDirectory"), f.dir.file("nuovoProgetto"));
    }
}

TEST(RecentFiles, MoveToTheHeadComparedWithoutCase) {
    test::Fixture f;
    for (const char* path : {"/p/a", "/p/b", "/p/c", "/p/d"}) update_recent_files(f.c, path);
    EXPECT_EQ(f.settings.get(kInit, "UltimoFile"), "/p/d");
    EXPECT_EQ(f.settings.get(kInit, "QuartultimoFile"), "/p/a");
    update_recent_files(f.c, "/P/C"); // second: swaps with the first
    EXPECT_EQ(f.settings.get(kInit, "UltimoFile"), "/P/C");
    EXPECT_EQ(f.settings.get(kInit, "PenultimoFile"), "/p/d");
    update_recent_files(f.c, "/p/e"); // new: the fourth drops out
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

TEST(NewProjectName, TakesTheFirstFreeNameBesideTheLastProject) {
    test::Fixture f;
    auto sub = f.dir.path / "work";
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
    EXPECT_EQ(f.p.project_path, f.dir.file("nuovoProgetto"));
}

TEST(SaveQuestion, AnswersAndAFailedSaveStopsTheCommand) {
    test::Started f;
    EXPECT_EQ(ask_save_project(f.c), kAnsNo); // nothing modified: no question
    EXPECT_TRUE(f.prompt.messages.empty());
    f.p.prj_modified = true;
    f.prompt.answers = {kAnsNo};
    EXPECT_EQ(ask_save_project(f.c), kAnsNo);
    EXPECT_EQ(f.prompt.messages.back().text, "Salva modifiche a " + f.p.project_path + " ?");
    EXPECT_TRUE(f.p.prj_modified);
    // A Yes whose save fails must not let Exit, New or Open drop the project.
    f.p.project_path = f.dir.file("missing/p.prj");
    f.prompt.answers = {kAnsYes, kAnsYes, kAnsYes, kAnsYes};
    EXPECT_EQ(ask_save_project(f.c), kAnsCancel);
    EXPECT_FALSE(file_exit(f.c));
    EXPECT_FALSE(f.p.exiting);
    EXPECT_EQ(choose_terminal_model(f.c, "new"), 2);
    EXPECT_EQ(f.view.chooser_preselect, -1); // the chooser never showed
    file_open(f.c);
    EXPECT_TRUE(f.prompt.dialogs_shown.empty());
    EXPECT_TRUE(f.p.prj_modified);
    f.prompt.answers = {kAnsNo};
    EXPECT_TRUE(file_exit(f.c));
    EXPECT_TRUE(f.p.exiting);
    EXPECT_TRUE(query_unload(f.c)); // after File > Exit the close asks nothing more
}
