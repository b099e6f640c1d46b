// Inserting, appending and deleting pages: what moves in every language, which links are
// renumbered under each policy, the password flag and the page limits.
#include "core/pages.h"

#include "core/editing.h"
#include "file_test_support.h"

#include <gtest/gtest.h>

namespace filetest {
namespace {

// What a page holds apart from its links: characters in both languages, variables and
// password flag of the language-0 record.
struct PageBody {
    std::array<std::int16_t, kMaxCells> chars0{}, chars1{};
    std::array<variable_record, kVarSlots> vars{};
    int var_count = 0, pwd = 0;
    bool operator==(const PageBody&) const = default;
};

// Pages 0..n-1 in two languages with one variable each, every link at its own page, page 3
// password-protected; the editor on page 2 with automatic link renumbering.
struct PageInsertDelete : ::testing::Test {
    Editor e;
    Project& p = e.p;
    Ctx& c = e.c;
    std::vector<PageBody> before;

    void make(int n) {
        fill_and_show(c, "KXB_5560", 2, n, 0, 1, 5);
        for (int pg = 0; pg < n; ++pg) {
            for (int k = 0; k < 4; ++k) p.page_store[0][pg].links[k] = static_cast<std::int16_t>(pg);
            p.page_store[0][pg].pwd = pg == 3 ? 1 : 0;
        }
        for (int pg = 0; pg < n; ++pg) before.push_back(body(pg));
        p.link_recalc = 2;
        show(2);
    }
    void SetUp() override { make(5); }
    void show(int pg) {
        p.act_page = static_cast<std::int16_t>(pg);
        load_page(c, pg, 0);
    }
    PageBody body(int pg) const {
        PageBody b;
        b.chars0 = p.page_store[0][pg].chars;
        b.chars1 = p.page_store[1][pg].chars;
        for (int k = 0; k < kVarSlots; ++k) b.vars[k] = p.page_store[0][pg].var(k);
        b.var_count = p.page_store[0][pg].var_count;
        b.pwd = p.page_store[0][pg].pwd;
        return b;
    }
    std::array<std::int16_t, 4> links(int pg) const {
        const auto& l = p.page_store[0][pg].links;
        return {l[0], l[1], l[2], l[3]};
    }
    bool empty_page(int pg) const {
        for (int L = 0; L < 2; ++L)
            for (int i = 0; i < 160; ++i)
                if (p.page_store[L][pg].chars[i] != 32) return false;
        return p.page_store[0][pg].var_count == 0 && p.page_store[0][pg].pwd == 0 &&
               links(pg) == std::array<std::int16_t, 4>{std::int16_t(pg), std::int16_t(pg), std::int16_t(pg),
                                                        std::int16_t(pg)};
    }
};

TEST_F(PageInsertDelete, InsertMakesAnEmptyPageAndMovesTheRestUpInEveryLanguage) {
    p.link_pwd = 1;                  // a flag on the page we leave stays with it
    p.page_store[0][4].links[1] = 2; // page 4 links down to page 2
    p.page_store[0][0].links[0] = 1; // a link before the insertion point stays
    p.insert_mode = false;
    p.cursor_pos = 45;
    key_press(c, 'Q'); // an edit not yet saved goes along
    ASSERT_TRUE(toolbar_page_command(c, "InsertPage"));
    PageBody old2 = before[2];
    old2.chars0[45] = 'Q';
    old2.pwd = 1;

    EXPECT_EQ(p.last_page_idx, 5);
    EXPECT_EQ(p.act_page, 2);
    EXPECT_TRUE(empty_page(2));
    EXPECT_EQ(p.n_vars, 0);
    EXPECT_EQ(p.link_pwd, 0);
    EXPECT_EQ(p.display_buffer[45], 32);
    EXPECT_EQ(body(3), old2);
    EXPECT_EQ(body(4), before[3]); // the protected page keeps its flag
    EXPECT_EQ(body(5), before[4]);
    EXPECT_EQ(body(1), before[1]);
    EXPECT_EQ(links(5), (std::array<std::int16_t, 4>{5, 3, 5, 5}));
    EXPECT_EQ(links(3)[0], 3);
    EXPECT_EQ(links(0)[0], 1);
    EXPECT_TRUE(p.prj_modified);
}

TEST_F(PageInsertDelete, DeleteMovesTheRestDownAndRenumbersLinksToTheDeletedPage) {
    p.page_store[0][0].links[0] = 2; // an earlier page's link to the deleted page stays
    p.page_store[0][4].links[0] = 2; // a later page's link to it goes one page back
    p.page_store[0][4].links[1] = 4;
    ASSERT_TRUE(toolbar_page_command(c, "DeletePage"));

    EXPECT_EQ(p.last_page_idx, 3);
    EXPECT_EQ(p.act_page, 2);
    EXPECT_EQ(body(2), before[3]);
    EXPECT_EQ(body(3), before[4]);
    EXPECT_EQ(p.link_pwd, 1); // the page shown now is the protected one
    EXPECT_TRUE(
        std::equal(before[3].chars0.begin(), before[3].chars0.begin() + 160, p.display_buffer.begin()));
    EXPECT_EQ(links(0)[0], 2);
    EXPECT_EQ(links(3)[0], 1);
    EXPECT_EQ(links(3)[1], 3);
    EXPECT_EQ(links(2)[0], 2); // the former page 3 pointed at itself

    show(3); // deleting the last page shows the one before
    toolbar_page_command(c, "DeletePage");
    EXPECT_EQ(p.act_page, 2);
    EXPECT_EQ(p.last_page_idx, 2);
    EXPECT_EQ(body(2), before[3]);
}

// With automatic recalculation, a link to the deleted last page reaches the new last page:
// no link may point past the last page, which the file and the terminal would carry.
TEST_F(PageInsertDelete, ALinkToTheDeletedLastPageReachesTheNewLastPage) {
    for (int pg = 0; pg < 5; ++pg) p.page_store[0][pg].links[pg % 4] = 4;
    show(4);
    toolbar_page_command(c, "DeletePage");
    ASSERT_EQ(p.last_page_idx, 3);
    EXPECT_EQ(links(0), (std::array<std::int16_t, 4>{3, 0, 0, 0}));
    EXPECT_EQ(links(3), (std::array<std::int16_t, 4>{3, 3, 3, 3}));
}

TEST_F(PageInsertDelete, DeletingTheOnlyPageBlanksItInEveryLanguage) {
    for (int i = 0; i < 4; ++i) toolbar_page_command(c, "DeletePage");
    ASSERT_EQ(p.last_page_idx, 0);
    p.link_pwd = 1;
    p.link_buffer = {7, 7, 7, 7, 0};
    toolbar_page_command(c, "DeletePage");
    EXPECT_EQ(p.last_page_idx, 0);
    EXPECT_EQ(p.act_page, 0);
    EXPECT_TRUE(empty_page(0));
    EXPECT_EQ(p.n_vars, 0);
    EXPECT_EQ(p.link_pwd, 0);
}

TEST_F(PageInsertDelete, AppendAddsAnEmptyLastPageAndChangesNoLink) {
    p.page_store[0][1].links[2] = 4;
    p.cursor_pos = 45;
    key_press(c, 'Z');
    toolbar_page_command(c, "AppendPage");
    EXPECT_EQ(p.last_page_idx, 5);
    EXPECT_EQ(p.act_page, 5);
    EXPECT_TRUE(empty_page(5));
    EXPECT_EQ(p.page_store[0][2].chars[45], 'Z'); // the page left was saved
    EXPECT_EQ(links(1)[2], 4);
    EXPECT_EQ(e.view.link_boxes[1], "5");
}

TEST_F(PageInsertDelete, AThousandPagesOnlyBeep) {
    make(1000);
    const Project was = p;
    for (const char* key : {"AppendPage", "InsertPage"}) {
        toolbar_page_command(c, key);
        EXPECT_EQ(p.last_page_idx, 999) << key;
    }
    EXPECT_EQ(e.prompt.beeps, 2);
    EXPECT_EQ(p.page_store, was.page_store);
    EXPECT_FALSE(toolbar_page_command(c, "PageUpDown"));
}

TEST_F(PageInsertDelete, WithLinksOffEveryLinkPointsBackToItsOwnPage) {
    for (int pg = 0; pg < 5; ++pg) p.page_store[0][pg].links[2] = 4;
    p.link_on = false;
    toolbar_page_command(c, "InsertPage");
    for (int pg = 0; pg <= 5; ++pg)
        EXPECT_EQ(links(pg), (std::array<std::int16_t, 4>{std::int16_t(pg), std::int16_t(pg),
                                                          std::int16_t(pg), std::int16_t(pg)}))
            << pg;
    p.page_store[0][1].links[0] = 5;
    toolbar_page_command(c, "DeletePage");
    EXPECT_EQ(links(1)[0], 1);
    EXPECT_TRUE(e.prompt.messages.empty());
}

TEST_F(PageInsertDelete, ThePolicyDecidesWhetherLinksAreRenumbered) {
    p.page_store[0][4].links[0] = 2;
    p.link_recalc = 0; // never
    toolbar_page_command(c, "InsertPage");
    EXPECT_EQ(links(5)[0], 2);
    EXPECT_TRUE(e.prompt.messages.empty());

    p.link_recalc = 1; // ask: No and Cancel leave the links
    for (int answer : {kAnsNo, kAnsCancel}) {
        e.prompt.answers = {answer};
        toolbar_page_command(c, "InsertPage");
        EXPECT_EQ(e.prompt.last_text(), "Ricalcolo tutti i link?");
        EXPECT_EQ(e.prompt.messages.back().buttons, kYesNoCancel);
    }
    EXPECT_EQ(links(7)[0], 2);
    e.prompt.answers = {kAnsYes};
    toolbar_page_command(c, "DeletePage"); // page 2 goes: the link to it from page 6 goes to 1
    EXPECT_EQ(links(6)[0], 1);
}

TEST_F(PageInsertDelete, RecalcClampsTargetsIntoThePagesAndSkipsTheInsertedRange) {
    p.page_store[0][4].links[0] = 4;
    p.page_store[0][1].links[0] = 0;
    p.page_store[0][2].links[0] = 3;
    recalc_links(c, 1, 2, 2, true); // two pages were inserted at 1
    EXPECT_EQ(links(4)[0], 4);      // 4 + 2 is past the last page
    EXPECT_EQ(links(1)[0], 0);
    EXPECT_EQ(links(2)[0], 3); // inside the skipped range
    p.page_store[0][0].links[1] = 0;
    recalc_links(c, 0, 0, -1, false);
    EXPECT_EQ(links(0)[1], 0); // never below page 0
}

} // namespace
} // namespace filetest
