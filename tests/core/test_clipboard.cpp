// The Modify menu's clipboards: variables copied and pasted within a page, to another page
// and across a change of model, with every refusal; pages copied and pasted one at a time
// and as a group, with the links renumbered and every refusal.
#include "core/clipboard.h"

#include "core/editing.h"
#include "core/filecmds.h"
#include "core/models.h"
#include "file_test_support.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace kx;

namespace {

// The empty default project (KXB_5560, 40 x 4) after start-up.
struct Clip : ::testing::Test {
    test::Started e;
    Project& p = e.p;
    void add_var(variable_record v) {
        p.variable_table[++p.n_vars] = v;
        draw_var_cells(e.c, p.n_vars);
    }
    void at(int cell, void (*command)(Ctx&)) {
        p.cursor_pos = static_cast<std::int16_t>(cell);
        command(e.c);
    }
    std::string told() const { return e.prompt.last_text(); }
};

} // namespace

TEST_F(Clip, PastedVariableKeepsEveryFieldButItsPlace) {
    const variable_record v = {0, 1, 2, 4, 2 | kComBit, 4096, 10, 900}; // read-only INT, COM1
    add_var(v);
    at(5, copy_var); // on its point cell
    EXPECT_TRUE(e.c.menus.at(Menu::Modify, 4).enabled);
    at(41, paste_var);
    ASSERT_EQ(p.n_vars, 2);
    EXPECT_EQ(p.act_var, 2);
    variable_record want = v;
    want.pos = 41;
    EXPECT_EQ(p.variable_table[2], want);
    EXPECT_EQ(e.view.text(41, 6), "###.##");
    EXPECT_TRUE(p.prj_modified);

    p.last_page_idx = 1; // to another page: stored with that page
    page_down(e.c);
    at(120, paste_var);
    page_up(e.c);
    want.pos = 120;
    EXPECT_EQ(p.page_store[0][1].var(1), want);
    EXPECT_EQ(p.page_store[0][1].chars[123], kCodeVarPoint);
    EXPECT_TRUE(e.prompt.messages.empty());
}

TEST_F(Clip, EveryRefusalTellsWhyAndChangesNothing) {
    auto refused = [&](int cell, int message, const char* what) {
        const Project before = p;
        at(cell, paste_var);
        EXPECT_EQ(told(), e.c.txt(message)) << what;
        EXPECT_EQ(p.n_vars, before.n_vars) << what;
        EXPECT_EQ(p.act_var, before.act_var) << what;
        EXPECT_EQ(p.display_buffer, before.display_buffer) << what;
    };
    refused(0, 10139, "nothing copied yet");
    p.display_buffer[60] = kCodeVarDigit; // a mark that no variable covers is no variable
    for (int cell : {0, 60}) at(cell, copy_var);
    EXPECT_EQ(told(), "Il cursore non e` su una variabile!");
    EXPECT_FALSE(p.var_clip_ok);

    add_var({1, 0, 30, 10, 0, 1, 0, 0}); // a 10-digit WORD, cells 30..39
    at(30, copy_var);
    refused(75, 10141, "five cells before the row's end");
    refused(21, 10140, "its last cell on the other's first");
    p.var_clipboard.type = 4; // a DATE is 10 cells wide on this model whatever its digits
    p.var_clipboard.digits = 2;
    refused(21, 10140, "DATE width");
    for (int i = 0; i < 7; ++i) add_var({1, 0, static_cast<std::int16_t>(80 + 3 * i), 2, 0, 0, 0, 0});
    refused(120, 10142, "a free cell on a full page");
    EXPECT_EQ(e.prompt.beeps, 7);
}

// Paste Variable counts the pasted field's sign and point cells: right beside another
// variable, or ending on the row's last cell, it is pasted; one cell further it is refused.
TEST(ClipPlacement, PastedBesideAVariableOrAtTheRowEndFromBothSides) {
    // INT of 4 digits and 1 decimal (6 cells), EE_INT of 4 digits (5 cells)
    for (const variable_record& v :
         {variable_record{1, 1, 0, 4, 1, 7, 0, 9}, variable_record{1, 11, 0, 4, 0, 7, 0, 9}}) {
        const int n = v.digits + 1 + (v.dec > 0 ? 1 : 0);
        const std::pair<int, int> cases[] = {
            {50 - n, 0}, {51 - n, 10140}, // before the WORD on cells 50..52
            {53, 0},     {52, 10140},     // after it
            {80 - n, 0}, {81 - n, 10141}, // the end of row 1
        };
        for (const auto& [pos, refusal] : cases) {
            const std::string what = "type " + std::to_string(v.type) + " at " + std::to_string(pos);
            test::Started e;
            e.p.variable_table[1] = {1, 0, 50, 3, 0, 0, 0, 0};
            e.p.n_vars = 1;
            draw_var_cells(e.c, 1);
            e.p.var_clipboard = v;
            e.p.var_clip_ok = true;
            e.p.cursor_pos = static_cast<std::int16_t>(pos);
            paste_var(e.c);
            EXPECT_EQ(e.p.n_vars, refusal ? 1 : 2) << what;
            EXPECT_EQ(e.prompt.last_text(), refusal ? e.c.txt(refusal) : "") << what;
        }
    }
}

TEST_F(Clip, TheClipboardFollowsAChangeOfModel) {
    auto new_project = [&](int option) {
        e.view.chooser_answer = option;
        e.prompt.answers = {kAnsNo}; // do not save
        ASSERT_EQ(choose_terminal_model(e.c, "new"), 1);
    };
    new_project(4);                    // KXB_540
    add_var({1, 6, 0, 4, 0, 5, 0, 0}); // HEX on the long list
    at(0, copy_var);
    new_project(1); // KXE_520: HEX is code 4 there
    at(20, paste_var);
    EXPECT_EQ(type_name(e.c, 1), "HEX    ");

    // A refused file leaves the default KXB_5560 project: HEX is code 6 again, not carried
    // over twice.
    std::ofstream(e.dir.file("bad.prj")) << "not a project\r\n";
    e.prompt.files = {e.dir.file("bad.prj")};
    e.prompt.answers = {kAnsNo};
    file_open(e.c);
    ASSERT_EQ(p.kx_type, "KXB_5560");
    at(40, paste_var);
    EXPECT_EQ(type_name(e.c, 1), "HEX    ");
}

namespace {

// Pages 0..n-1 in two languages with text, variables and random links, page 5 protected
// by its password; the editor on page `shown` with automatic link renumbering.
struct PageClip : ::testing::Test {
    test::Started e;
    Project& p = e.p;
    using Links = std::array<std::int16_t, 5>;
    void make(int n, int shown) {
        filetest::fill_and_show(e.c, "KXB_5560", 2, n, 0, 3, 7);
        for (int pg = 0; pg < n; ++pg) p.page_store[0][pg].pwd = pg == 5 ? 1 : 0;
        p.link_recalc = 2;
        p.act_page = static_cast<std::int16_t>(shown);
        load_page(e.c, shown, 0);
    }
    // A page apart from its links: both languages' characters, its variables and password.
    using Body = std::pair<page_record, std::array<std::int16_t, kMaxCells>>;
    Body body(int pg) const {
        Body b{p.page_store[0][pg], p.page_store[1][pg].chars};
        b.first.links = {};
        return b;
    }
    std::vector<Body> bodies() const {
        std::vector<Body> b;
        for (int pg = 0; pg <= p.last_page_idx; ++pg) b.push_back(body(pg));
        return b;
    }
    Links links(int pg) const { return p.page_store[0][pg].links; }
    static Links self(int pg) {
        return {std::int16_t(pg), std::int16_t(pg), std::int16_t(pg), std::int16_t(pg), 0};
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
    paste_page(e.c);           // nothing copied yet: a beep
    p.display_buffer[0] = 'E'; // an edit not yet stored: Copy Page takes it
    copy_page(e.c);
    const auto old = bodies();
    p.page_store[0][0].links = {2, 3, 7, 0, 0};
    p.act_page = 2;
    load_page(e.c, 2, 0);
    p.display_buffer[1] = 'F'; // another edit that the paste must not lose
    paste_page(e.c);
    ASSERT_EQ(p.last_page_idx, 8);
    EXPECT_EQ(p.act_page, 2);
    EXPECT_EQ(body(2), old[5]); // password flag included
    EXPECT_EQ(p.page_store[0][2].chars[0], 'E');
    EXPECT_EQ(links(2), self(2));
    EXPECT_EQ(p.page_store[0][3].chars[1], 'F'); // the old page 2
    EXPECT_EQ(links(0), (Links{3, 4, 8, 0, 0}));
    EXPECT_EQ(p.display_buffer, p.page_store[0][2].chars);
    EXPECT_TRUE(e.view.pwd);

    p.last_page_idx = kMaxPageIdx; // 1000 pages: a beep and nothing moves
    const auto full = bodies();
    paste_page(e.c);
    EXPECT_EQ(bodies(), full);
    EXPECT_EQ(links(0), (Links{3, 4, 8, 0, 0}));
    EXPECT_EQ(e.prompt.beeps, 2);
}

TEST_F(PageClip, GroupCopyAppendsOrInsertsAndRenumbersTheLinks) {
    make(8, 5);
    const auto old = bodies();
    ASSERT_TRUE(group(3, 4, 8)); // one past the last page: appended
    ASSERT_EQ(p.last_page_idx, 9);
    EXPECT_EQ(body(8), old[3]);
    EXPECT_EQ(body(9), old[4]);
    EXPECT_EQ(links(9), self(9));

    for (int pg = 0; pg < 8; ++pg) p.page_store[0][pg].links = {0, 1, 2, 7, 0};
    p.display_buffer[0] = 'E';   // the page on display, edited: committed first
    ASSERT_TRUE(group(3, 5, 1)); // inserted before the range: the copies are the old pages
    ASSERT_EQ(p.last_page_idx, 12);
    EXPECT_EQ(body(1), old[3]);
    EXPECT_EQ(body(3).first.pwd, 1);          // the copy of page 5
    EXPECT_EQ(body(4).second, old[1].second); // old page 1 moved up by three
    EXPECT_EQ(links(2), self(2));
    EXPECT_EQ(links(4), (Links{0, 4, 5, 10, 0}));
    EXPECT_EQ(p.act_page, 5);                    // the same number, now the old page 2
    EXPECT_EQ(p.page_store[0][8].chars[0], 'E'); // old page 5 kept its edit
    EXPECT_EQ(p.display_buffer, p.page_store[0][5].chars);

    p.link_on = false; // links off: every link of every page back to its own page
    ASSERT_TRUE(group(0, 0, 13));
    for (int pg = 0; pg <= p.last_page_idx; ++pg) EXPECT_EQ(links(pg), self(pg)) << pg;

    p.page_store[1][13].chars[0] = 'L'; // the last page, no longer a twin of page 0
    const auto last = bodies();
    ASSERT_TRUE(group(1, 2, 13)); // onto the last page: inserted before it, which stays last
    ASSERT_EQ(p.last_page_idx, 15);
    EXPECT_EQ(body(13), last[1]);
    EXPECT_EQ(body(14), last[2]);
    EXPECT_EQ(body(15), last[13]);
}

TEST_F(PageClip, GroupCopyRefusesWhatDoesNotFitAndCopiesNothing) {
    make(8, 2);
    // start, end, destination, last page
    for (const auto& k : {std::array{4, 3, 0, 7},
                          {6, 8, 0, 7},
                          {-1, 2, 0, 7},
                          {0, 1, 9, 7},
                          {0, 1, -1, 7},
                          {0, 1, 999, 998}}) {
        p.last_page_idx = static_cast<std::int16_t>(k[3]);
        const auto before = bodies();
        EXPECT_FALSE(group(k[0], k[1], k[2]) || bodies() != before) << k[0] << ".." << k[1] << " to " << k[2];
    }
    EXPECT_EQ(e.prompt.beeps, 6);
    p.last_page_idx = 997; // exactly fits
    EXPECT_TRUE(group(0, 1, 998));
    EXPECT_EQ(p.last_page_idx, kMaxPageIdx);
}

TEST(GroupCopyDialog, ATypedDigitTooManyIsCutAndAPasteThatDoesNotFitPutsTheBoxBack) {
    Project p;
    p.last_page_idx = 150;
    // start, end, destination; the destination may be one past the last page
    const BoxText typed[] = {{"1500", 4}, {"1510", 3}, {"1502", 4}};
    for (int box = 0; box < 3; ++box)
        EXPECT_EQ(copy_box_changed(p, box, {"150", 3}, typed[box]), (BoxText{"150", typed[box].caret - 1}))
            << box;
    EXPECT_EQ(p.copy_dest, 150);
    for (const BoxText& pasted : {BoxText{"1500", 4}, BoxText{"1a7", 3}, BoxText{"999", 3}}) {
        EXPECT_EQ(copy_box_changed(p, 1, {"12", 2}, pasted), (BoxText{"12", 2})) << pasted.text;
        EXPECT_EQ(p.copy_end, 12) << pasted.text;
    }
    EXPECT_EQ(copy_box_changed(p, 2, {"12", 2}, {"151", 3}).text, "151");
    EXPECT_EQ(p.copy_dest, 151);
}
