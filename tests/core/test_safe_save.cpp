// Saving over a project: the backup, the file's kind and permission bits, links, failures,
// and folders and files whose names are not plain ASCII.
#include "core/filecmds.h"

#include "core/display.h"
#include "core/projectfile.h"
#include "core/shell.h"
#include "core/text.h"
#include "file_test_support.h"
#include "platform/api/textfile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

namespace filetest {
namespace {

namespace fs = std::filesystem;

struct stat info(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

std::vector<std::string> names_in(const fs::path& d) {
    std::vector<std::string> n;
    for (const auto& e : fs::directory_iterator(d)) n.push_back(e.path().filename().string());
    std::sort(n.begin(), n.end());
    return n;
}

bool replace(const std::string& path, const std::string& bytes, const std::string& backup) {
    std::string why;
    return replace_file(path, bytes, backup, why);
}

} // namespace

TEST(SafeSave, TheOldFileBecomesTheBackupAndTheNewOneTakesItsPlaceWithItsPermissions) {
    TempDir d;
    const std::string prj = d.file("p.prj"), bak = d.file("p.BAK");
    put(prj, "one");
    ::chmod(prj.c_str(), 0440);
    const ino_t old_inode = info(prj).st_ino;
    put(bak, "zero");

    ASSERT_TRUE(replace(prj, "two", bak));
    EXPECT_EQ(content(prj), "two");
    EXPECT_EQ(content(bak), "one");
    EXPECT_EQ(info(bak).st_ino, old_inode);   // the old file itself, not a copy
    EXPECT_EQ(info(prj).st_mode & 07777, 0440u);
    EXPECT_EQ(info(bak).st_nlink, 1u);
    EXPECT_EQ(names_in(d.path), (std::vector<std::string>{"p.BAK", "p.prj"}));

    // A new file gets the usual permission bits, and no backup is made of nothing.
    const mode_t mask = ::umask(022);
    ::umask(mask);
    ASSERT_TRUE(replace(d.file("n.prj"), "x", d.file("n.BAK")));
    EXPECT_EQ(info(d.file("n.prj")).st_mode & 07777, 0666u & ~mask);
    EXPECT_FALSE(fs::exists(d.file("n.BAK")));
}

TEST(SafeSave, AProjectReachedThroughALinkKeepsTheLink) {
    TempDir d;
    fs::create_directories(d.path / "real");
    const std::string target = d.file("real/p.prj");
    put(target, "one");
    fs::create_symlink("real/p.prj", d.path / "p.prj");   // relative, as users make them
    const std::string link = d.file("p.prj");

    ASSERT_TRUE(replace(link, "two", d.file("p.BAK")));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(content(target), "two");
    EXPECT_FALSE(fs::is_symlink(d.file("p.BAK")));
    EXPECT_EQ(content(d.file("p.BAK")), "one");
    EXPECT_EQ(names_in(d.path / "real"), std::vector<std::string>{"p.prj"});
}

TEST(SafeSave, ABackupOnAnotherFileSystemIsACopy) {
    if (!fs::is_directory("/dev/shm")) GTEST_SKIP() << "no second file system";
    TempDir d;
    const std::string prj = d.file("p.prj");
    const std::string bak = "/dev/shm/kxtest-" + std::to_string(::getpid()) + ".BAK";
    put(prj, "one");
    ::chmod(prj.c_str(), 0640);
    ASSERT_TRUE(replace(prj, "two", bak));
    EXPECT_EQ(content(bak), "one");
    EXPECT_EQ(info(bak).st_mode & 07777, 0640u);
    EXPECT_EQ(content(prj), "two");
    fs::remove(bak);
}

TEST(SafeSave, AFailedSaveLeavesTheProjectAndThePreviousBackup) {
    TempDir d;
    const std::string prj = d.file("p.prj");
    put(prj, "one");
    // The backup's name is taken by a folder that cannot be replaced.
    fs::create_directories(d.file("p.BAK") + "/inside");
    std::string why;
    EXPECT_FALSE(replace_file(prj, "two", d.file("p.BAK"), why));
    EXPECT_NE(why.find("p.BAK"), std::string::npos) << why;
    EXPECT_EQ(content(prj), "one");
    EXPECT_TRUE(fs::is_directory(d.file("p.BAK") + "/inside"));
    EXPECT_EQ(names_in(d.path), (std::vector<std::string>{"p.BAK", "p.prj"}));

    // The project's own name is a folder: nothing is written, the backup stays.
    fs::create_directories(d.file("q.prj"));
    put(d.file("q.BAK"), "previous");
    EXPECT_FALSE(replace_file(d.file("q.prj"), "two", d.file("q.BAK"), why));
    EXPECT_EQ(content(d.file("q.BAK")), "previous");
    EXPECT_TRUE(fs::is_directory(d.file("q.prj")));
    EXPECT_EQ(names_in(d.path), (std::vector<std::string>{"p.BAK", "p.prj", "q.BAK", "q.prj"}));
}

// Folders named "Caffè", "Müller" and in Cyrillic: every file command works with them, and
// messages show the name as near as the interface's code page can.
TEST(AccentedPaths, SaveOpenRecentListAndMessages) {
    Editor e;
    for (const char* folder : {"Caff\xC3\xA8", "M\xC3\xBCller", "\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB5\xD0\xBA\xD1\x82"}) {
        const fs::path dir = e.dir.path / folder;
        fs::create_directories(dir);
        const std::string path = (dir / "progetto.prj").string();
        fill_and_show(e.c, "KXE_540", 1, 2, 3, 2, 7);
        e.prompt.files = {path};
        ASSERT_TRUE(file_save_as(e.c)) << e.prompt.last_text();
        EXPECT_EQ(e.p.project_path, path);
        EXPECT_EQ(e.view.caption, "Win Mivor -  (" + path + ")");
        EXPECT_EQ(e.settings.get("Inizializzazione", "UltimoFile"), path);
        EXPECT_TRUE(e.c.menus.at(Menu::File, 7).file_name);

        e.p.page_store[0][0].chars[0] = 'Q';   // changed, then read back from the file
        e.prompt.files = {path};
        file_open(e.c);
        EXPECT_EQ(e.p.project_path, path);
        EXPECT_NE(e.p.page_store[0][0].chars[0], 'Q');
        // A new project is named in the same folder.
        make_new_project_name(e.c);
        EXPECT_EQ(e.p.project_path, (dir / "nuovoProgetto").string());
    }
    // The save question shows the folder in the interface's code page.
    e.p.project_path = e.dir.file("Caff\xC3\xA8/p.prj");
    e.p.prj_modified = true;
    e.prompt.answers = {kAnsNo};
    ask_save_project(e.c);
    EXPECT_EQ(e.prompt.last_text(), "Salva modifiche a " + e.dir.file("Caff\xE8/p.prj") + " ?");
    EXPECT_EQ(shown_path("\xD0\x9F/x"), "?/x");
    // The recent list shows the last 40 bytes, never half a character.
    const std::string deep = "/" + std::string(38, 'd') + "/\xC3\xA8.prj";
    EXPECT_EQ(path_tail(deep, 40), std::string(33, 'd') + "/\xC3\xA8.prj");
    EXPECT_EQ(path_tail("ab\xC3\xA8.p", 3), ".p");
    EXPECT_EQ(path_tail("ab\xC3\xA8.p", 4), "\xC3\xA8.p");
}

TEST(NewProjectName, GoesToTheDocumentsWhenTheProgramsFolderCannotBeWritten) {
    test::Fixture f;
    const fs::path docs = f.dir.path / "Documenti";
    fs::create_directories(docs);
    f.c.documents_dir = docs.string();
    f.c.program_dir = (f.dir.path / "installed" / "missing").string();   // nothing can be made there
    main_window_load(f.c);
    EXPECT_EQ(f.p.project_path, (docs / "nuovoProgetto").string());
    EXPECT_TRUE(file_save(f.c)) << f.prompt.last_text();
    EXPECT_TRUE(fs::exists(docs / "nuovoProgetto"));
    // The help page still comes from the program's folder.
    EXPECT_EQ(f.p.help_file, f.c.program_dir + "/mivor.html");
}

TEST(FileOpen, ARefusedFileKeepsTheCopiedVariablesType) {
    Editor e;
    e.p.kx_type = "KXB_540";
    e.p.var_clipboard.type = 6;   // HEX on the long list
    e.p.var_clip_ok = true;
    put(e.dir.file("bad.prj"), "not a project\r\n");
    e.prompt.files = {e.dir.file("bad.prj")};
    file_open(e.c);
    EXPECT_EQ(e.p.kx_type, "KXB_5560");   // the empty default project
    EXPECT_EQ(e.p.var_clipboard.type, 6);
    EXPECT_TRUE(e.p.var_clip_ok);
    adjust_copy_var(e.c, "");
    EXPECT_EQ(e.p.var_clipboard.type, 6);
}

TEST(FileOpen, TheCursorLabelsShowTheFirstCell) {
    Editor e;
    const std::string path = e.dir.file("c.prj");
    e.p.project_path = path;
    ASSERT_TRUE(file_save(e.c));
    e.p.cursor_pos = 47;
    show_row_col(e.c, 47);
    e.prompt.files = {path};
    file_open(e.c);
    EXPECT_EQ(e.p.cursor_pos, 0);
    EXPECT_EQ(e.view.labels[Label::Row], "Riga: 0");
    EXPECT_EQ(e.view.labels[Label::Col], "Col: 0");
}

TEST(HelpPage, WithoutAViewerOrAPageTheUserIsTold) {
    test::Started f;
    put(f.p.help_file, "<html></html>");
    show_help(f.c);
    EXPECT_EQ(f.prompt.documents, std::vector<std::string>{f.p.help_file});
    EXPECT_EQ(f.prompt.beeps, 0);
    EXPECT_TRUE(f.prompt.messages.empty());

    f.prompt.viewer = false;   // no browser on the machine
    show_help(f.c);
    EXPECT_EQ(f.prompt.beeps, 1);
    EXPECT_EQ(f.prompt.last_text(), "Impossibile aprire la guida: " + f.p.help_file);

    fs::remove(f.p.help_file);
    f.prompt.viewer = true;
    menu_language_click(f.c, 1);
    show_help(f.c);
    EXPECT_EQ(f.prompt.beeps, 2);
    EXPECT_EQ(f.prompt.last_text(), "The help page could not be opened: " + f.p.help_file);
    EXPECT_EQ(f.prompt.documents.size(), 2u);   // a missing page is not handed on
}

} // namespace filetest
