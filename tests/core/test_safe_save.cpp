// Saving over a project (backup, permission bits, links, failures), paths in messages, and
// the File and Help commands around them.
#include "core/display.h"
#include "core/eeprom.h"
#include "core/filecmds.h"
#include "core/listing.h"
#include "core/projectfile.h"
#include "core/recipe.h"
#include "core/recipefile.h"
#include "core/shell.h"
#include "core/text.h"
#include "file_test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>

#include <grp.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
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

constexpr uid_t kNobody = 65534;

// Two users of one team, each with a group of its own besides.
constexpr gid_t kTeam = 64000;
constexpr uid_t kUserA = 64001, kUserB = 64002;

// Runs body in a child process that has taken the ids of user `uid` (its own group `gid`,
// its further groups `groups`); the child's failures come back as its exit code.
void as_user(uid_t uid, gid_t gid, const std::vector<gid_t>& groups, const std::function<void()>& body) {
    std::fflush(stdout);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgroups(groups.size(), groups.data()) != 0 || ::setresgid(gid, gid, gid) != 0 ||
            ::setresuid(uid, uid, uid) != 0)
            ::_exit(2);
        body();
        std::fflush(stdout);
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 2)
        GTEST_SKIP() << "cannot take an unprivileged user's ids";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "unprivileged run ended with " << status;
}

// Runs body as a user whom file permissions bind. The superuser may write any file, so when
// the tests run as root the body runs as an unprivileged user (`dropped`: files the test
// made before then belong to another user).
void as_plain_user(const std::function<void(bool dropped)>& body) {
    if (::geteuid() != 0) body(false);
    else as_user(kNobody, kNobody, {}, [&] { body(true); });
}

// A user of the team: its own group first, the team's besides.
void as_member(uid_t uid, const std::function<void()>& body) { as_user(uid, uid, {kTeam}, body); }

// A file of `uid`'s own with `mode` and `bytes`.
void put_owned(const std::string& path, const std::string& bytes, uid_t uid, gid_t gid, mode_t mode) {
    put(path, bytes);
    ASSERT_EQ(::chown(path.c_str(), uid, gid), 0);
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
}

// A folder everybody may make and remove files in (no sticky bit).
void open_to_all(const TempDir& d) { fs::permissions(d.path, fs::perms::all); }

} // namespace

TEST(SafeSave, TheOldFileBecomesTheBackupWithItsPermissionsAndLinksStay) {
    TempDir d;
    std::string why;
    const std::string prj = d.file("p.prj"), bak = d.file("p.BAK");
    put(prj, "one");
    put(bak, "zero");
    ::chmod(prj.c_str(), 0640);
    const ino_t old_inode = info(prj).st_ino;
    ASSERT_TRUE(replace_file(prj, "two", bak, why)) << why;
    EXPECT_EQ(content(prj), "two");
    EXPECT_EQ(info(bak).st_ino, old_inode); // the old file itself, not a copy
    EXPECT_EQ(info(prj).st_mode & 07777, 0640u);
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
        EXPECT_EQ(info(far).st_mode & 07777, 0640u);
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

// A temporary file that cannot be opened to ask for its lock is another user's save under
// way (private while it is written), not a leftover: it stays, and this save is refused.
TEST(SafeSave, ATemporaryFileThatCannotBeLockedIsNeverRemoved) {
    if (::geteuid() != 0) GTEST_SKIP() << "making another user's file needs the superuser";
    TempDir d;
    open_to_all(d);
    const std::string prj = d.file("p.prj"), bak = d.file("p.BAK");
    put(prj, "one");
    ASSERT_EQ(::chown(prj.c_str(), kNobody, kNobody), 0); // the user's own project
    for (const std::string& named : {prj, bak}) {
        put(named + kTempSuffix, "theirs");
        ::chmod((named + kTempSuffix).c_str(), 0600);
        as_plain_user([&](bool) {
            std::string why;
            EXPECT_FALSE(replace_file(prj, "mine", bak, why));
            EXPECT_EQ(why, "Cannot write " + named + ": another save of this file is under way (" + named +
                               kTempSuffix + " is in use)");
        });
        EXPECT_EQ(content(named + kTempSuffix), "theirs");
        EXPECT_EQ(content(prj), "one");
        EXPECT_EQ(entries(d.path), 2u);
        fs::remove(named + kTempSuffix);
    }
    // A leftover of the user's own without read permission is still taken over.
    as_plain_user([&](bool) {
        std::string why;
        put(prj + kTempSuffix, "half");
        ::chmod((prj + kTempSuffix).c_str(), 0200);
        EXPECT_TRUE(replace_file(prj, "mine", bak, why)) << why;
        EXPECT_EQ(d.names(), (std::vector<std::string>{"p.BAK", "p.prj"}));
    });
}

// A file the user may not write (read-only by its owner's choice, another user's in a shared
// folder) is replaced by no save, although the folder would allow the rename.
TEST(SafeSave, AFileTheUserMayNotWriteIsLeftOnEveryRoad) {
    TempDir d;
    open_to_all(d);
    put(d.file("theirs.prj"), "kept"); // another user's when run as root
    as_plain_user([&](bool dropped) {
        test::Started e;
        for (const char* name : {"mine.prj", "r.rcp", "mine.lst", "e.s19"}) {
            put(d.file(name), "kept");
            ::chmod(d.file(name).c_str(), 0444);
        }
        auto refused = [&](const char* name) {
            EXPECT_EQ(e.prompt.last_text(),
                      "Errore 75: Cannot write " + d.file(name) + ": Permission denied");
            EXPECT_EQ(content(d.file(name)), "kept");
        };
        EXPECT_FALSE(save_project_file(e.c, d.file("mine.prj")));
        refused("mine.prj");
        if (dropped) {
            EXPECT_FALSE(save_project_file(e.c, d.file("theirs.prj")));
            refused("theirs.prj");
        }
        make_empty_recipe(e.p.recipe);
        EXPECT_FALSE(write_recipe_file(e.c, d.file("r.rcp")));
        refused("r.rcp");
        e.p.project_path = d.file("mine.prj");
        e.prompt.answers = {kAnsYes};
        print_spool(e.c);
        refused("mine.lst");
        FileDialog dlg;
        std::unique_ptr<ReplacingWriter> out;
        e.prompt.files = {d.file("e.s19")};
        e.prompt.answers = {kAnsYes}; // overwrite
        EXPECT_EQ(eeprom_read_choose_file(e.c, dlg, out), FileChoice::None);
        refused("e.s19");
        // With write permission given back the same save goes through.
        ::chmod(d.file("r.rcp").c_str(), 0644);
        EXPECT_TRUE(write_recipe_file(e.c, d.file("r.rcp"))) << e.prompt.last_text();
    });
    EXPECT_EQ(d.names().size(), 5u); // no temporary file left
}
// A save killed between its two renames leaves the project and its backup as one file: the
// next save keeps that file as the backup and leaves no second name behind.
TEST(SafeSave, AProjectAndItsBackupAsOneFile) {
    TempDir d;
    std::string why;
    const std::string prj = d.file("p.prj"), bak = d.file("p.BAK");
    put(prj, "one");
    ASSERT_EQ(::link(prj.c_str(), bak.c_str()), 0);
    put(prj + kTempSuffix, "two"); // what the killed save left
    put(bak + kTempSuffix + "1", "zero");
    ASSERT_TRUE(replace_file(prj, "three", bak, why)) << why;
    EXPECT_EQ(content(prj), "three");
    EXPECT_EQ(content(bak), "one");
    EXPECT_EQ(d.names(), (std::vector<std::string>{"p.BAK", "p.prj"}));
}

// Two users of one team in a folder that they share: a save keeps the file's group, so that
// the other may still write it; a backup that the user may not write, or a rename that a
// sticky folder would refuse, stops the save before any name is made.
TEST(SafeSave, AFolderThatATeamShares) {
    if (::geteuid() != 0) GTEST_SKIP() << "two users' files need the superuser";
    TempDir d;
    const std::string prj = d.file("p.prj"), bak = d.file("p.BAK");
    ASSERT_EQ(::chown(d.path.c_str(), 0, kTeam), 0);
    ASSERT_EQ(::chmod(d.path.c_str(), 0775), 0);
    put_owned(prj, "A's", kUserA, kTeam, 0664);
    auto save = [&](uid_t user, const std::string& file, const std::string& backup, const std::string& said) {
        as_member(user, [&] {
            std::string why;
            EXPECT_EQ(replace_file(file, "new", backup, why), said.empty()) << why;
            EXPECT_EQ(why, said);
        });
    };
    save(kUserB, prj, bak, "");
    EXPECT_EQ(info(prj).st_gid, kTeam);
    EXPECT_EQ(info(prj).st_uid, kUserB);
    EXPECT_EQ(info(prj).st_mode & 07777, 0664u);
    save(kUserA, prj, bak, ""); // A may still write it
    EXPECT_EQ(info(prj).st_gid, kTeam);

    // A colleague's read-only backup, and the user's own made read-only.
    for (auto [owner, mode] : {std::pair{kUserA, 0644}, std::pair{kUserB, 0444}}) {
        put_owned(prj, "project", kUserB, kTeam, 0664);
        put_owned(bak, "backup", owner, kTeam, mode);
        save(kUserB, prj, bak, "Cannot write " + bak + ": Permission denied");
        EXPECT_EQ(content(prj), "project");
        EXPECT_EQ(content(bak), "backup");
        EXPECT_EQ(d.names(), (std::vector<std::string>{"p.BAK", "p.prj"}));
    }

    // In a sticky folder only a file's owner or the folder's may rename over it: over
    // another user's file, or over another user's backup of the user's own file, not.
    ASSERT_EQ(::chmod(d.path.c_str(), 01777), 0);
    put_owned(prj, "A's", kUserA, kTeam, 0666);
    fs::remove(bak);
    const std::string own = d.file("q.prj"), theirs = d.file("q.BAK");
    put_owned(own, "B's", kUserB, kUserB, 0644);
    put_owned(theirs, "A's", kUserA, kTeam, 0666);
    const std::string sticky =
        ": Operation not permitted (the folder is sticky and neither the file nor the folder is yours)";
    save(kUserB, prj, bak, "Cannot replace " + prj + sticky);
    save(kUserB, own, theirs, "Cannot replace " + theirs + sticky);
    EXPECT_EQ(d.names(), (std::vector<std::string>{"p.prj", "q.BAK", "q.prj"}));
    EXPECT_EQ(content(prj) + content(own) + content(theirs), "A'sB'sA's");
    save(kUserB, own, "", "");  // the user's own file without that backup
    save(kUserA, prj, bak, ""); // and the owner's
}

// A name near the longest the file system allows saves again and again: where a temporary
// name, or the backup's name of a project without the usual ending, would pass the limit a
// shorter one serves, still one fixed name per file.
TEST(SafeSave, ANameNearTheLongestSavesAgainAndAgain) {
    TempDir d;
    for (const auto [length, ending] : {std::pair{245u, ".prj"},
                                        {250u, ".prj"},
                                        {251u, ".prj"},
                                        {255u, ".prj"},
                                        {252u, ""},
                                        {255u, ".p"}}) {
        std::string stem;
        while (stem.size() + std::strlen(ending) < length)
            stem += stem.size() + std::strlen(ending) + 1 < length ? "\xC3\xA8" : "n";
        const std::string prj = d.file(stem + ending), bak = backup_path(prj);
        ASSERT_EQ(fs::path(prj).filename().string().size(), length);
        std::string why;
        for (const char* bytes : {"1", "2", "3", "4"})
            ASSERT_TRUE(replace_file(prj, bytes, bak, why)) << length << why;
        EXPECT_EQ(content(prj) + content(bak), "43");
        EXPECT_EQ(d.names().size(), 2u);
        ReplacingWriter under_way(prj, bak);
        ASSERT_TRUE(under_way.ok()) << under_way.error();
        EXPECT_FALSE(replace_file(prj, "5", bak, why));
        EXPECT_NE(why.find("another save of this file is under way"), std::string::npos) << why;
        under_way.abandon();
        fs::remove(prj);
        fs::remove(bak);
    }
}

// A target that is no regular file is never replaced by one (a device node saved over would
// be gone for the whole system), nor is a backup; a link counts as what it leads to. Only a
// file that is not there is new: a name that cannot be looked at otherwise is refused.
TEST(SafeSave, OnlyARegularFileIsReplaced) {
    test::Started e;
    TempDir d;
    ASSERT_EQ(::mkfifo(d.file("pipe").c_str(), 0666), 0);
    fs::create_symlink("pipe", d.path / "to-pipe");
    std::vector<std::string> odd = {"pipe", "to-pipe"};
    if (::geteuid() == 0 && ::mknod(d.file("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0)
        odd.push_back("null");
    put(d.file("p.prj"), "kept");
    const auto before = d.names();
    std::string why;
    for (const std::string& name : odd) {
        EXPECT_FALSE(replace_file(d.file(name), "bytes", "", why));
        EXPECT_EQ(why, "Cannot write " + d.file(name) + ": not a regular file");
        if (name == "to-pipe") continue; // as the backup a link is itself replaced, as always
        EXPECT_FALSE(replace_file(d.file("p.prj"), "bytes", d.file(name), why)); // as the backup
        EXPECT_EQ(why, "Cannot write " + d.file(name) + ": not a regular file");
    }
    // The EEPROM read's file choice refuses it before anything is read from the terminal.
    FileDialog dlg;
    std::unique_ptr<ReplacingWriter> out;
    e.prompt.files = {d.file("pipe")};
    e.prompt.answers = {kAnsYes}; // overwrite, if asked
    EXPECT_EQ(eeprom_read_choose_file(e.c, dlg, out), FileChoice::None);
    EXPECT_EQ(e.prompt.last_text(), "Errore 75: Cannot write " + d.file("pipe") + ": not a regular file");
    fs::create_symlink("loop", d.path / "loop");
    EXPECT_FALSE(replace_file(d.file("loop"), "bytes", "", why));
    EXPECT_EQ(why, "Cannot write " + d.file("loop") + ": Too many levels of symbolic links");
    EXPECT_TRUE(fs::is_fifo(d.file("pipe")) && fs::is_symlink(d.file("loop")));
    EXPECT_EQ(content(d.file("p.prj")), "kept");
    fs::remove(d.file("loop"));
    EXPECT_EQ(d.names(), before);
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

// New projects and recipe files are named in a remembered folder only when files can be
// made there; a read-only share is passed over like a missing folder.
TEST(FileCommands, NewNamesPassOverAFolderThatCannotBeWritten) {
    as_plain_user([](bool) {
        test::Fixture f; // its folder is the program's folder
        const std::string share = f.dir.file("share");
        fs::create_directories(share);
        EXPECT_EQ(new_file_name(f.c, share + "/old.rcp", "nuovaRicetta"), share + "/nuovaRicetta");
        fs::permissions(share, fs::perms::owner_read | fs::perms::owner_exec);
        f.settings.save("Ricette", "UltimoFile", share + "/gone.rcp");
        open_recipe_file(f.c);
        EXPECT_EQ(f.p.recipe_path, f.dir.file("nuovaRicetta"));
        EXPECT_TRUE(file_exists(f.p.recipe_path)) << f.prompt.last_text();
        f.settings.save("Inizializzazione", "UltimaDirectory", share + "/old.prj");
        make_new_project_name(f.c);
        EXPECT_EQ(f.p.project_path, f.dir.file("nuovoProgetto"));
        fs::permissions(share, fs::perms::owner_all);
    });
}

} // namespace filetest
