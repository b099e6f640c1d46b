// The Modify menu's clipboards: variables copied and pasted within a page, to another page
// and across a change of model, with every refusal; pages copied and pasted one at a time
// and as a group, with the links renumbered and every refusal.
#include "core/clipboard.h"

#include "core/editing.h"
#include "core/filecmds.h"
#include "core/models.h"
#include "core/store.h"
#include "core/pages.h"
#include "file_test_support.h"

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

namespace {

// Pages 0..n-1 in two languages with text, variables and random links, page 5 protected
// by its password; the editor on page `shown` with automatic link renumbering.
struct PageClip : ::testing::Test {
    test::Started e;
    Project& p = e.p;
    void make(int n, int shown) {
        filetest::fill_and_show(e.c, "KXB_5560", 2, n, 0, 3, 7);
        for (int pg = 0; pg < n; ++pg) p.page_store[0][pg].pwd = pg == 5 ? 1 : 0;
        p.link_recalc = 2;
        p.act_page = static_cast<std::int16_t>(shown);
        load_page(e.c, shown, 0);
    }
    // What a page holds apart from its links: both languages' characters, and the variables
    // and password flag of the language-0 record.
    using Body = std::pair<page_record, std::array<std::int16_t, kMaxCells>>;
    Body body(int pg) const {
        page_record r0 = p.page_store[0][pg];
        r0.links = {};
        return {r0, p.page_store[1][pg].chars};
    }
    std::vector<Body> bodies() const {
        std::vector<Body> b;
        for (int pg = 0; pg <= p.last_page_idx; ++pg) b.push_back(body(pg));
        return b;
    }
    std::array<std::int16_t, 4> links(int pg) const {
        const auto& l = p.page_store[0][pg].links;
        return {l[0], l[1], l[2], l[3]};
    }
    static std::array<std::int16_t, 4> to(int pg) {
        const auto t = static_cast<std::int16_t>(pg);
        return {t, t, t, t};
    }
    bool group(int start, int end, int dest) {
        p.copy_start = static_cast<std::int16_t>(start);
        p.copy_end = static_cast<std::int16_t>(end);
        p.copy_dest = static_cast<std::int16_t>(dest);
        return copy_pages(e.c);
    }
};

} // namespace

TEST_F(PageClip, PastePageInsertsTheCopyWithItsVariablesPasswordAndEveryLanguage) {
    make(8, 5);
    paste_page(e.c);   // nothing copied yet
    EXPECT_EQ(e.prompt.beeps, 1);
    EXPECT_EQ(p.last_page_idx, 7);

    p.display_buffer[0] = 'E';   // an edit not yet stored: Copy Page takes it
    copy_page(e.c);
    EXPECT_TRUE(e.c.menus.at(Menu::Modify, 1).enabled);
    const auto old = bodies();
    p.page_store[0][0].links = {2, 3, 7, 0, 0};
    page_down(e.c);   // page 6, back to page 2 through the store
    p.act_page = 2;
    load_page(e.c, 2, 0);
    p.display_buffer[1] = 'F';   // another edit that the paste must not lose
    paste_page(e.c);

    ASSERT_EQ(p.last_page_idx, 8);
    EXPECT_EQ(p.act_page, 2);
    EXPECT_EQ(body(2), old[5]);   // password flag included
    EXPECT_EQ(p.page_store[1][2].chars[0], old[5].second[0]);
    EXPECT_EQ(p.page_store[0][2].chars[0], 'E');
    EXPECT_EQ(links(2), to(2));
    EXPECT_EQ(p.page_store[0][3].chars[1], 'F');   // the old page 2, edit kept
    EXPECT_EQ(links(0), (std::array<std::int16_t, 4>{3, 4, 8, 0}));
    EXPECT_EQ(p.display_buffer, p.page_store[0][2].chars);
    EXPECT_EQ(p.link_pwd, 1);
    EXPECT_EQ(e.view.pwd, true);
    EXPECT_EQ(p.n_vars, old[5].first.var_count);
}

TEST_F(PageClip, PastePageStopsAtAThousandPages) {
    make(2, 0);
    copy_page(e.c);
    p.last_page_idx = kMaxPageIdx;
    const auto before = bodies();
    const auto links0 = links(0);
    paste_page(e.c);
    EXPECT_EQ(e.prompt.beeps, 1);
    EXPECT_EQ(p.last_page_idx, kMaxPageIdx);
    EXPECT_EQ(bodies(), before);
    EXPECT_EQ(links(0), links0);
}

TEST_F(PageClip, GroupCopyAppendsOrInsertsAndRenumbersTheLinks) {
    make(8, 5);
    const auto old = bodies();
    ASSERT_TRUE(group(3, 4, 8));   // one past the last page: appended
    ASSERT_EQ(p.last_page_idx, 9);
    EXPECT_EQ(body(8), old[3]);
    EXPECT_EQ(body(9), old[4]);
    EXPECT_EQ(links(9), to(9));
    EXPECT_EQ(p.act_page, 5);

    for (int pg = 0; pg < 8; ++pg) p.page_store[0][pg].links = {0, 1, 2, 7, 0};
    p.display_buffer[0] = 'E';   // the page on display, edited: committed first
    ASSERT_TRUE(group(3, 5, 1));   // inserted before the range: the copies are the old pages
    ASSERT_EQ(p.last_page_idx, 12);
    EXPECT_EQ(body(1), old[3]);
    EXPECT_EQ(body(3).first.pwd, 1);   // the copy of page 5
    EXPECT_EQ(body(4).second, old[1].second);   // old page 1 moved up by three
    EXPECT_EQ(links(2), to(2));
    EXPECT_EQ(links(0), (std::array<std::int16_t, 4>{0, 4, 5, 10}));
    EXPECT_EQ(links(4), (std::array<std::int16_t, 4>{0, 4, 5, 10}));
    EXPECT_EQ(p.act_page, 5);   // the same number, now the old page 2
    EXPECT_EQ(p.page_store[0][8].chars[0], 'E');   // old page 5 kept its edit
    EXPECT_EQ(p.display_buffer, p.page_store[0][5].chars);

    p.link_on = false;   // links off: every link of every page back to its own page
    ASSERT_TRUE(group(0, 0, 13));
    for (int pg = 0; pg <= p.last_page_idx; ++pg) EXPECT_EQ(links(pg), to(pg)) << pg;
}

TEST_F(PageClip, GroupCopyRefusesWhatDoesNotFitAndCopiesNothing) {
    make(8, 2);
    const struct {
        int start, end, dest, last;
        const char* why;
    } cases[] = {
        {4, 3, 0, 7, "start after end"},          {6, 8, 0, 7, "end past the last page"},
        {-1, 2, 0, 7, "negative start"},          {0, 1, 9, 7, "destination two past the last page"},
        {0, 1, -1, 7, "negative destination"},    {0, 1, 999, 998, "two pages where one fits"},
    };
    for (const auto& k : cases) {
        p.last_page_idx = static_cast<std::int16_t>(k.last);
        const auto before = bodies();
        const int beeps = e.prompt.beeps;
        EXPECT_FALSE(group(k.start, k.end, k.dest)) << k.why;
        EXPECT_EQ(e.prompt.beeps, beeps + 1) << k.why;
        EXPECT_EQ(p.last_page_idx, k.last) << k.why;
        EXPECT_EQ(bodies(), before) << k.why;
    }
    p.last_page_idx = 997;   // exactly fits
    EXPECT_TRUE(group(0, 1, 998));
    EXPECT_EQ(p.last_page_idx, kMaxPageIdx);
}

TEST(GroupCopyDialog, PageBoxesKeepOnlyDigitsUpToTheirLimit) {
    const struct {
        const char* text;
        int caret, limit;
        const char* kept;
        int caret_after, value;
    } cases[] = {
        {"12", 2, 10, "1", 1, 1},        // 12 > 10
        {"10", 2, 10, "10", 2, 10},      // one past the last page 9
        {"10", 2, 9, "1", 1, 1},
        {"1x5", 2, 99, "15", 1, 15},     // the letter goes, the caret stays before the 5
        {"", 0, 10, "", 0, 0},
        {"7abc", 4, 10, "7", 1, 7},      // pasted text is cut back from the caret
        {"99999999999", 11, 999, "999", 3, 999},
    };
    for (const auto& k : cases) {
        const PageBox b = check_page_box(k.text, k.caret, k.limit);
        EXPECT_EQ(b.text, k.kept) << k.text;
        EXPECT_EQ(b.caret, k.caret_after) << k.text;
        EXPECT_EQ(b.value, k.value) << k.text;
    }
}
