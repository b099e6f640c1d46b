// Saving over a project (backup, permission bits, links, failures), paths in messages, and
// the File and Help commands around them.
#include "core/display.h"
#include "core/filecmds.h"
#include "core/projectfile.h"
#include "core/text.h"
#include "file_test_support.h"

#include <gtest/gtest.h>

#include <csignal>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace filetest {
namespace {

namespace fs = std::filesystem;

struct stat info(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

std::size_t entries(const fs::path& d) {
    return std::distance(fs::directory_iterator(d), fs::directory_iterator());
}

} // namespace

TEST(SafeSave, TheOldFileBecomesTheBackupWithItsPermissionsAndLinksStay) {
    TempDir d;
    std::string why;
    const std::string prj = d.file("p.prj"), bak = d.file("p.BAK");
    put(prj, "one");
    put(bak, "zero");
    ::chmod(prj.c_str(), 0440);
    const ino_t old_inode = info(prj).st_ino;
    ASSERT_TRUE(replace_file(prj, "two", bak, why)) << why;
    EXPECT_EQ(content(prj), "two");
    EXPECT_EQ(info(bak).st_ino, old_inode); // the old file itself, not a copy
    EXPECT_EQ(info(prj).st_mode & 07777, 0440u);
    EXPECT_EQ(entries(d.path), 2u); // no temporary file left

    // Through a relative symbolic link: the target gets the bytes, the link stays.
    fs::create_directories(d.path / "real");
    put(d.file("real/q.prj"), "one");
    fs::create_symlink("real/q.prj", d.path / "q.prj");
    ASSERT_TRUE(replace_file(d.file("q.prj"), "two", d.file("q.BAK"), why)) << why;
    EXPECT_TRUE(fs::is_symlink(d.file("q.prj")));
    EXPECT_EQ(content(d.file("real/q.prj")), "two");
    EXPECT_EQ(content(d.file("q.BAK")), "one");
    EXPECT_FALSE(fs::is_symlink(d.file("q.BAK")));

    // A backup on another file system (no hard link possible) is a copy.
    const std::string far = "/dev/shm/kxtest-" + std::to_string(::getpid()) + ".BAK";
    if (fs::is_directory("/dev/shm")) {
        ASSERT_TRUE(replace_file(prj, "three", far, why)) << why;
        EXPECT_EQ(content(far), "two");
        EXPECT_EQ(info(far).st_mode & 07777, 0440u);
        fs::remove(far);
    }
}

TEST(SafeSave, AFailedSaveLeavesTheProjectAndThePreviousBackup) {
    TempDir d;
    std::string why;
    put(d.file("p.prj"), "one");
    fs::create_directories(d.file("p.BAK") + "/inside"); // a backup name that cannot be replaced
    EXPECT_FALSE(replace_file(d.file("p.prj"), "two", d.file("p.BAK"), why));
    EXPECT_NE(why.find("p.BAK"), std::string::npos) << why;
    EXPECT_EQ(content(d.file("p.prj")), "one");
    EXPECT_TRUE(fs::is_directory(d.file("p.BAK") + "/inside"));

    fs::create_directories(d.file("q.prj")); // the project's own name is a folder
    put(d.file("q.BAK"), "previous");
    EXPECT_FALSE(replace_file(d.file("q.prj"), "two", d.file("q.BAK"), why));
    EXPECT_EQ(content(d.file("q.BAK")), "previous");
    EXPECT_EQ(entries(d.path), 4u);
}

// A save killed half-way leaves its temporary files; the next save of the same file takes
// them over instead of piling new ones beside them.
TEST(SafeSave, LeftoversOfAKilledSaveAreTakenOverNotPiledUp) {
    TempDir d;
    std::string why;
    const std::string prj = d.file("p.prj"), bak = d.file("p.BAK");
    put(prj, "one");
    put(bak, "zero");
    const std::string tmp = kTempSuffix;
    for (const auto& left : {prj + tmp, bak + tmp, bak + tmp + "1"}) put(left, "half");
    ASSERT_TRUE(replace_file(prj, "two", bak, why)) << why;
    ASSERT_TRUE(replace_file(prj, "three", bak, why)) << why;
    EXPECT_EQ(entries(d.path), 2u);
    EXPECT_EQ(content(prj), "three");
    EXPECT_EQ(content(bak), "two");

    // However many files an older version left beside it, a save still goes through, and
    // files of other names (a user's "p.prj.tmp") are never taken for leftovers.
    for (int n = 1; n < 100; ++n) put(prj + ".tmp" + std::to_string(n), "half");
    put(prj + ".tmp", "mine");
    ASSERT_TRUE(replace_file(prj, "four", bak, why)) << why;
    EXPECT_EQ(content(prj), "four");
    EXPECT_EQ(content(prj + ".tmp"), "mine");
    EXPECT_FALSE(fs::exists(prj + tmp));
}

// A file written in pieces: killed half-way, or met by a save of the same file under way.
TEST(SafeSave, AFileWrittenInPieces) {
    TempDir d;
    std::string why;
    const std::string out = d.file("e.s19");
    put(out, "old");
    const pid_t child = ::fork();
    if (child == 0) {
        ReplacingWriter w(out);
        w.write_line("S1130000");
        ::kill(::getpid(), SIGKILL); // no destructor, no commit: as a crash leaves it
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(content(out + kTempSuffix), "S1130000\r\n");

    {
        ReplacingWriter w(out);
        ASSERT_TRUE(w.ok()) << w.error();
        EXPECT_TRUE(w.write_line("S1") && w.write("3") && w.write_line(""));
        EXPECT_EQ(content(out), "old"); // nothing in place before the commit
        // Meanwhile another save of the same file neither starts nor spoils this one.
        EXPECT_FALSE(replace_file(out, "other", "", why));
        EXPECT_NE(why.find("another save"), std::string::npos) << why;
        ASSERT_TRUE(w.commit()) << w.error();
    }
    EXPECT_EQ(content(out), "S1\r\n3\r\n");
    EXPECT_EQ(entries(d.path), 1u);

    // A temporary name that something else holds (a link that leads elsewhere) is left be.
    put(d.file("elsewhere"), "theirs");
    fs::create_symlink(d.file("elsewhere"), out + kTempSuffix);
    EXPECT_FALSE(replace_file(out, "new", "", why));
    EXPECT_NE(why.find("Cannot create " + out + ": "), std::string::npos) << why;
    EXPECT_EQ(content(d.file("elsewhere")), "theirs");
    EXPECT_EQ(content(out), "S1\r\n3\r\n");
}

// Messages show a path in the interface's code page; the recent list never half a character.
TEST(AccentedPaths, MessagesAndTheRecentList) {
    Editor e;
    e.p.project_path = e.dir.file("Caff\xC3\xA8/\xD0\x9F\xD1\x80");
    e.p.prj_modified = true;
    ask_save_project(e.c);
    EXPECT_EQ(e.prompt.last_text(), "Salva modifiche a " + e.dir.file("Caff\xE8/??") + " ?");
    update_recent_files(e.c, e.p.project_path);
    EXPECT_TRUE(e.c.menus.at(Menu::File, 7).file_name);
    EXPECT_EQ(path_tail("ab\xC3\xA8.p", 3), ".p");
    EXPECT_EQ(path_tail("ab\xC3\xA8.p", 4), "\xC3\xA8.p");
}

TEST(FileCommands, NewNamesHelpAndWhatAFreshOpenLeaves) {
    test::Fixture f;
    f.c.documents_dir = f.dir.path.string();
    f.c.program_dir = f.dir.file("installed/missing"); // nothing can be made there
    main_window_load(f.c);
    EXPECT_EQ(f.p.project_path, f.dir.file("nuovoProgetto"));
    EXPECT_TRUE(file_save(f.c)) << f.prompt.last_text();

    // A good Open puts the cursor labels on the first cell.
    f.prompt.files = {f.p.project_path};
    show_row_col(f.c, 47);
    file_open(f.c);
    EXPECT_EQ(f.view.labels[Label::Col], "Col: 0");

    // Help: the page goes to the viewer; without viewer or page, a beep and its path.
    f.prompt.messages.clear();
    f.prompt.beeps = 0;
    put(f.p.help_file = f.dir.file("mivor.html"), "<html/>");
    show_help(f.c);
    EXPECT_EQ(f.prompt.documents, std::vector<std::string>{f.p.help_file});
    f.prompt.viewer = false;
    show_help(f.c);
    fs::remove(f.p.help_file);
    f.prompt.viewer = true;
    show_help(f.c);
    EXPECT_EQ(f.prompt.beeps, 2);
    EXPECT_EQ(f.prompt.documents.size(), 2u); // a missing page is not handed on
    EXPECT_EQ(f.prompt.last_text(), "Impossibile aprire la guida: " + f.p.help_file);
}

} // namespace filetest
