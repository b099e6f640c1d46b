// The Modify menu's clipboards: variables copied and pasted within a page, to another page
// and across a change of model, with every refusal; pages copied and pasted one at a time
// and as a group, with the links renumbered and every refusal.
#include "core/clipboard.h"

#include "core/editing.h"
#include "core/filecmds.h"
#include "core/models.h"
#include "core/store.h"
#include "support/recording_view.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace kx;

namespace {

// The empty default project (KXB_5560, 40 x 4) after start-up, with helpers to place
// variables and to read what the user was told.
struct Clip : ::testing::Test {
    test::Started e;
    Project& p = e.p;
    int add_var(variable_record v) {
        const int k = ++p.n_vars;
        p.variable_table[k] = v;
        draw_var_cells(e.c, k);
        return k;
    }
    // Copy with the cursor on `from`, paste with the cursor on `to`.
    void copy_paste(int from, int to) {
        p.cursor_pos = static_cast<std::int16_t>(from);
        copy_var(e.c);
        p.cursor_pos = static_cast<std::int16_t>(to);
        paste_var(e.c);
    }
    std::string told() const { return e.prompt.last_text(); }
};

const variable_record kInt = {0, 1, 2, 4, 2 | kComBit, 4096, 10, 900};   // sign, 4 digits, 2 decimals

} // namespace

TEST_F(Clip, PastedVariableKeepsEveryFieldButItsPlace) {
    add_var(kInt);   // cells 2..7, point at 5
    EXPECT_FALSE(e.c.menus.at(Menu::Modify, 4).enabled);
    copy_paste(5, 41);   // copied from its point cell
    EXPECT_TRUE(e.c.menus.at(Menu::Modify, 4).enabled);
    ASSERT_EQ(p.n_vars, 2);
    EXPECT_EQ(p.act_var, 2);
    variable_record want = kInt;
    want.pos = 41;
    EXPECT_EQ(p.variable_table[2], want);   // read-only, COM1 mark, address and limits kept
    EXPECT_EQ(e.view.text(41, 6), "###.##");
    EXPECT_EQ(e.view.grid[2][1], "R_O");
    EXPECT_TRUE(p.prj_modified);
    EXPECT_EQ(e.prompt.messages.size(), 0u);

    // To another page: it is stored with that page.
    p.last_page_idx = 1;
    page_down(e.c);
    p.cursor_pos = 120;
    paste_var(e.c);
    page_up(e.c);
    EXPECT_EQ(p.page_store[0][1].var_count, 1);
    want.pos = 120;
    EXPECT_EQ(p.page_store[0][1].var(1), want);
    EXPECT_EQ(p.page_store[0][1].chars[123], kCodeVarPoint);
}

TEST_F(Clip, EveryRefusalTellsWhyAndChangesNothing) {
    auto refused = [&](int message, const char* what) {
        SCOPED_TRACE(what);
        const Project before = p;
        const int beeps = e.prompt.beeps;
        paste_var(e.c);
        EXPECT_EQ(told(), e.c.txt(message));
        EXPECT_EQ(e.prompt.beeps, beeps + 1);
        EXPECT_EQ(p.n_vars, before.n_vars);
        EXPECT_EQ(p.act_var, before.act_var);
        EXPECT_EQ(p.display_buffer, before.display_buffer);
        EXPECT_EQ(p.variable_table, before.variable_table);
    };
    refused(10139, "nothing copied yet");

    // Copy with the cursor off any variable, or on a mark that no variable covers.
    p.display_buffer[60] = kCodeVarDigit;
    for (int cell : {0, 60}) {
        p.cursor_pos = static_cast<std::int16_t>(cell);
        copy_var(e.c);
        EXPECT_EQ(told(), "Il cursore non e` su una variabile!");
        EXPECT_FALSE(p.var_clip_ok);
    }

    add_var({1, 0, 30, 10, 0, 1, 0, 0});   // a 10-digit WORD, cells 30..39
    p.cursor_pos = 30;
    copy_var(e.c);
    p.cursor_pos = 75;   // five cells before the row's end
    refused(10141, "past the row");
    p.cursor_pos = 21;   // its last cell would lie on the copied variable's first
    refused(10140, "overlap");
    // A DATE field is 10 cells wide on this model whatever digits it holds.
    p.var_clipboard = {1, 4, 0, 2, 0, 0, 0, 0};
    p.cursor_pos = 21;
    refused(10140, "DATE width");
    p.var_clipboard = {1, 0, 0, 10, 0, 1, 0, 0};
    for (int i = 0; i < 7; ++i) add_var({1, 0, static_cast<std::int16_t>(80 + 3 * i), 2, 0, 0, 0, 0});
    p.cursor_pos = 120;   // a free cell, but the page is full
    refused(10142, "eight variables");
}

TEST_F(Clip, TheClipboardFollowsAChangeOfModel) {
    auto new_project = [&](int option) {
        e.view.chooser_answer = option;
        e.prompt.answers = {kAnsNo};   // do not save
        ASSERT_EQ(choose_terminal_model(e.c, "new"), 1);
    };
    new_project(4);   // KXB_540
    add_var({1, 6, 0, 4, 0, 5, 0, 0});   // HEX on the long list
    copy_paste(0, 0);
    new_project(1);   // KXE_520: HEX is code 4 there
    copy_paste(-1, 20);
    ASSERT_EQ(p.n_vars, 1);
    EXPECT_EQ(type_name(e.c, 1), "HEX    ");

    // A file that is refused leaves the default KXB_5560 project: HEX is code 6 again, not
    // carried over twice.
    const std::string bad = e.dir.file("bad.prj");
    std::ofstream(bad) << "not a project\r\n";
    e.prompt.files = {bad};
    e.prompt.answers = {kAnsNo};
    file_open(e.c);
    ASSERT_EQ(p.kx_type, "KXB_5560");
    p.cursor_pos = 40;
    paste_var(e.c);
    ASSERT_EQ(p.n_vars, 1);
    EXPECT_EQ(type_name(e.c, 1), "HEX    ");

    // A DATE copied on a long-list model cannot be pasted on a short-list one.
    add_var({1, 4, 0, 10, 0, 0, 0, 0});
    p.cursor_pos = 0;
    copy_var(e.c);
    new_project(6);   // KXD_540
    EXPECT_FALSE(e.c.menus.at(Menu::Modify, 4).enabled);
    paste_var(e.c);
    EXPECT_EQ(told(), e.c.txt(10139));
    EXPECT_EQ(p.n_vars, 0);
}
