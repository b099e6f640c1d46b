// The File menu's roads: Open, the recent list, Save, Save As and the save question.
#include "core/filecmds.h"

#include "core/projectfile.h"
#include "core/recipefile.h"
#include "file_test_support.h"
#include "platform/api/textfile.h"

#include <gtest/gtest.h>

#include <fnmatch.h>

namespace filetest {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> names_in(const TempDir& d) {
    std::vector<std::string> n;
    for (const auto& e : fs::directory_iterator(d.path)) n.push_back(e.path().filename().string());
    std::sort(n.begin(), n.end());
    return n;
}

std::string recent(Editor& e, const char* key) { return e.settings.get("Inizializzazione", key, ""); }

// A modified project with five strings and up to eight variables a page, its page 0 shown.
void fill(Editor& e, const std::string& key, int n_lang, int pages, bool com_marks = false) {
    fill_and_show(e.c, key, n_lang, pages, 5, 8, 42, com_marks);
    e.p.prj_modified = true;
}

TEST(FileSave, WritesUnderTheProjectsOwnNameAndKeepsABackup) {
    Editor e;
    const std::string path = e.p.project_path;
    EXPECT_EQ(path, e.dir.file("nuovoProgetto"));
    fill(e, "KXE_540", 2, 4);
    // Another running editor stored another project as the last one.
    e.settings.save("Inizializzazione", "UltimaDirectory", e.dir.file("other.prj"));
    ASSERT_TRUE(file_save(e.c));
    const std::string first = content(path);
    EXPECT_FALSE(first.empty());
    EXPECT_FALSE(e.p.prj_modified);
    EXPECT_EQ(recent(e, "UltimaDirectory"), path);
    EXPECT_EQ(recent(e, "UltimoFile"), path);
    EXPECT_EQ(e.prompt.busy_depth, 0);
    EXPECT_EQ(e.pump.input_waits, 0);

    e.p.page_store[1][3].chars[0] = 'Z';
    ASSERT_TRUE(file_save(e.c));
    EXPECT_EQ(content(path + ".BAK"), first);
    EXPECT_NE(content(path), first);
    EXPECT_EQ(names_in(e.dir), (std::vector<std::string>{"nuovoProgetto", "nuovoProgetto.BAK"}));
}

TEST(FileSave, OntoABackupNameReplacesOnlyThatFile) {
    Editor e;
    e.p.project_path = e.dir.file("a.BAK");
    ASSERT_TRUE(file_save(e.c));
    e.p.language_names[0] = "Nuovo";
    ASSERT_TRUE(file_save(e.c));
    EXPECT_EQ(names_in(e.dir), std::vector<std::string>{"a.BAK"});
    EXPECT_EQ(split_text_lines(content(e.dir.file("a.BAK")))[7], "Nuovo");
}

TEST(FileSave, AFailedSaveChangesNothing) {
    Editor e;
    fill(e, "KXB_540", 1, 2);
    e.settings.save("Inizializzazione", "UltimoFile", e.dir.file("one.prj"));
    e.settings.save("Inizializzazione", "PenultimoFile", e.dir.file("two.prj"));
    const std::string last_dir = recent(e, "UltimaDirectory");
    const std::string caption = e.view.caption;

    // A folder that does not exist.
    e.p.project_path = e.dir.file("missing/x.prj");
    EXPECT_FALSE(file_save(e.c));
    EXPECT_EQ(e.prompt.last_text().rfind("Errore 75: ", 0), 0u) << e.prompt.last_text();
    EXPECT_EQ(e.p.project_path, e.dir.file("missing/x.prj"));
    EXPECT_TRUE(e.p.prj_modified);
    EXPECT_EQ(recent(e, "UltimaDirectory"), last_dir);
    EXPECT_EQ(recent(e, "UltimoFile"), e.dir.file("one.prj"));
    EXPECT_EQ(recent(e, "PenultimoFile"), e.dir.file("two.prj"));
    EXPECT_EQ(e.view.caption, caption);
    EXPECT_EQ(e.prompt.busy_depth, 0);
}

TEST(FileSaveAs, RenamesTheProjectOnlyWhenSaved) {
    Editor e;
    const std::string start = e.p.project_path;
    EXPECT_FALSE(file_save_as(e.c)); // cancelled
    EXPECT_EQ(e.p.project_path, start);

    const std::string taken = e.dir.file("taken.prj");
    put(taken, "keep");
    e.prompt.files = {taken};
    e.prompt.answers = {kAnsNo};
    EXPECT_FALSE(file_save_as(e.c));
    EXPECT_EQ(content(taken), "keep");
    EXPECT_EQ(e.p.project_path, start);

    e.prompt.files = {e.dir.file("missing/y.prj")};
    EXPECT_FALSE(file_save_as(e.c));
    EXPECT_EQ(e.p.project_path, start);
    EXPECT_EQ(e.view.caption, header_text(e.c));

    const std::string chosen = e.dir.file("new.prj");
    e.prompt.files = {chosen};
    e.p.prj_modified = true;
    EXPECT_TRUE(file_save_as(e.c));
    EXPECT_EQ(e.p.project_path, chosen);
    EXPECT_NE(e.view.caption.find(chosen), std::string::npos);
    EXPECT_FALSE(e.p.prj_modified);
    EXPECT_EQ(e.prompt.dialogs_shown.back().init_dir, e.dir.path.string());
}

TEST(FileOpen, ReadsTheSavedProjectBack) {
    Editor a;
    fill(a, "KXE_540", 3, 5, true);
    const std::string path = a.dir.file("p.prj");
    a.prompt.files = {path};
    ASSERT_TRUE(file_save_as(a.c));

    Editor b;
    b.p.page_clip_ok = true;
    b.prompt.files = {path};
    b.view.calls.clear();
    file_open(b.c);
    EXPECT_EQ(b.p.kx_type, "KXE_540");
    EXPECT_EQ(b.p.n_cols, 20);
    EXPECT_EQ(b.p.n_lang, 3);
    EXPECT_EQ(b.p.last_page_idx, 4);
    EXPECT_EQ(b.view.lang_names, (std::vector<std::string>{"Lang0", "Lang1", "Lang2"}));
    // The pages as saved (every model's round trip is in test_projectfile.cpp), the COM1 marks cleared.
    for (int pg = 0; pg <= 4; ++pg)
        for (int v = 1; v <= 8; ++v)
            EXPECT_EQ(b.p.page_store[0][pg].dec[v], a.p.page_store[0][pg].dec[v] & ~kComBit);
    EXPECT_EQ(b.p.multi_protocol, 0);
    EXPECT_EQ(b.p.project_path, path);
    EXPECT_EQ(recent(b, "UltimoFile"), path);
    EXPECT_FALSE(b.p.page_clip_ok);   // another model's page cannot be pasted
    EXPECT_EQ(b.pump.input_waits, 0); // no key or click reaches a half-read project
    EXPECT_EQ(b.prompt.busy_depth, 0);
}

// Every damaged seed file: its message, then the empty default project under a fresh name.
TEST(FileOpen, ARefusedFileLeavesAnEmptyProjectWithAFreshName) {
    int files = 0;
    for (const auto& entry : fs::directory_iterator(corpus_dir())) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("bad_", 0) != 0) continue;
        ++files;
        std::string text = "Errore 380: ", title;
        if (name == "bad_version.prj")
            text = "Versione del file di dati sbagliata", title = "Errore apertura file";
        if (name == "bad_format.prj") text = "Errore formato file progetto!", title = "Errore apertura file";
        if (name.rfind("bad_model", 0) == 0) text = "Tipo KX non accettato", title = "Errore tipo terminale";
        if (name == "bad_truncated.prj" || name == "bad_empty.prj") text = "Errore 62: ";

        Editor e;
        fill(e, "KXD_515", 2, 3);
        e.settings.save("Inizializzazione", "UltimoFile", e.dir.file("one.prj"));
        const std::string path = e.dir.file(name);
        fs::copy_file(entry.path(), path);
        const std::string bytes = content(path);
        e.prompt.files = {path};
        e.prompt.answers = {kAnsNo};
        file_open(e.c);
        EXPECT_EQ(e.prompt.last_text().rfind(text, 0), 0u) << name << ": " << e.prompt.last_text();
        EXPECT_EQ(e.prompt.messages.back().title, title) << name;
        EXPECT_EQ(e.p.kx_type, "KXB_5560");
        EXPECT_EQ(e.p.n_cols, 40);
        EXPECT_EQ(e.p.n_lang, 1);
        EXPECT_EQ(e.p.last_page_idx, 0);
        EXPECT_EQ(e.p.project_path, e.dir.file("nuovoProgetto"));
        EXPECT_EQ(recent(e, "UltimoFile"), e.dir.file("one.prj"));
        // The next Save cannot write over the file that was refused.
        ASSERT_TRUE(file_save(e.c));
        EXPECT_EQ(content(path), bytes);
    }
    EXPECT_GE(files, 15);
}

// A file picked by mistake: its first line is looked at, and a file far larger than any
// project file is refused, before the rest is read.
TEST(FileOpen, AForeignOrHugeFileIsRefusedBeforeItIsRead) {
    Editor e;
    const std::string huge = e.dir.file("huge.prj");
    put(huge, "2.8  version - MonoProtocol\r\n  4  model\r\n");
    fs::resize_file(huge, std::uintmax_t{1} << 30); // sparse: no disk space taken
    e.prompt.files = {huge};
    file_open(e.c);
    EXPECT_EQ(e.prompt.last_text().rfind("Errore 380: ", 0), 0u) << e.prompt.last_text();
    EXPECT_NE(e.prompt.last_text().find("too large"), std::string::npos) << e.prompt.last_text();
    EXPECT_EQ(e.p.project_path, e.dir.file("nuovoProgetto"));

    // The bound lies far above the largest project the editor can write.
    Project largest;
    fill_project(largest, "KXB_5560", 6, 1000, 600, 8, 3);
    for (auto& lang : largest.global_strings)
        for (auto& text : lang) text.resize(40, 'x');
    std::string written;
    FileError err;
    ASSERT_TRUE(project_file_bytes(largest, written, err)) << err.description;
    EXPECT_GT(written.size(), std::size_t{2} << 20);
    EXPECT_LT(written.size() * 10, kMaxProjectFileBytes);

    // Not a project file at all: the version message, whatever its size.
    const std::string other = e.dir.file("photo.jpg");
    put(other, "\xFF\xD8\xFF\xE0 JFIF");
    fs::resize_file(other, std::uintmax_t{1} << 30);
    e.prompt.files = {other};
    file_open(e.c);
    EXPECT_EQ(e.prompt.last_text().rfind("Versione del file di dati sbagliata", 0), 0u)
        << e.prompt.last_text();
}

// Every file dialog lists files without an extension, such as the editor's own new names.
TEST(FileDialogs, EveryDialogListsFilesWithoutAnExtension) {
    Editor e;
    file_open(e.c);
    file_save_as(e.c);
    recipes_read(e.c);
    recipes_write_as(e.c);
    std::vector<FileDialog> shown = e.prompt.dialogs_shown;
    ASSERT_EQ(shown.size(), 4u);
    shown.push_back(FileDialog{}); // the EEPROM dialogs keep the dialog's own filter
    for (const FileDialog& d : shown) {
        // One caption and its pattern: "caption|pattern".
        const std::string pattern = d.filter.substr(d.filter.find('|') + 1);
        EXPECT_EQ(::fnmatch(pattern.c_str(), "nuovoProgetto", 0), 0) << d.filter;
    }
}

TEST(FileOpen, FromTheRecentListAndMissingFilesLeaveTheProject) {
    Editor e;
    fill(e, "KXG_520", 1, 2);
    const std::string first = e.dir.file("first.prj"), second = e.dir.file("second.prj");
    e.prompt.files = {second};
    ASSERT_TRUE(file_save_as(e.c));
    e.prompt.files = {first};
    ASSERT_TRUE(file_save_as(e.c));
    ASSERT_EQ(recent(e, "PenultimoFile"), second);
    file_open_recent(e.c, 2);
    EXPECT_EQ(e.p.project_path, second);
    EXPECT_EQ(e.p.kx_type, "KXG_520");
    EXPECT_EQ(recent(e, "UltimoFile"), second);
    EXPECT_EQ(recent(e, "PenultimoFile"), first);

    e.view.calls.clear();
    e.prompt.files = {e.dir.file("gone.prj")};
    file_open(e.c);
    EXPECT_EQ(e.prompt.last_text(), "File gone.prj non trovato!");
    e.settings.save("Inizializzazione", "PenultimoFile", e.dir.file("gone2.prj"));
    file_open_recent(e.c, 2);
    EXPECT_EQ(e.prompt.last_text(), "Impossibile aprire il file " + e.dir.file("gone2.prj"));
    EXPECT_EQ(e.p.project_path, second);
    EXPECT_TRUE(e.view.calls.empty()); // the display was never unloaded
}

} // namespace
} // namespace filetest
