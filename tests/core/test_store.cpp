// The page store: what Save and Load of a page move between the stores and the editor,
// clearing, the new project and the variable clipboard, and bounds on damaged values.
#include "core/store.h"
#include "core/variables.h"
#include "support/recording_view.h"

#include <gtest/gtest.h>

using namespace kx;

namespace {

// A two-language 40 x 4 project with one blank page.
struct StoreTest : ::testing::Test {
    test::Fixture f;
    Project& p = f.p;
    void SetUp() override {
        p.n_lang = 2;
        for (int L = 0; L < 2; ++L) p.page_store[L][0].chars.fill(32);
        p.display_buffer.fill(32);
    }
    void put(int lang, int page, int cell, const std::string& s) {
        for (size_t i = 0; i < s.size(); ++i) p.page_store[lang][page].chars[cell + i] = s[i];
    }
};

} // namespace

TEST_F(StoreTest, SavePageCopiesMarksToEveryLanguageAndLinksAndVariablesOnlyToLanguageZero) {
    put(0, 0, 0, "Hallo");
    p.page_store[0][0].chars[20] = kCodeVarDigit; // a stale mark in language 0
    p.display_buffer[10] = kCodeVarDigit;
    p.display_buffer[11] = kCodeVarPoint;
    p.display_buffer[20] = 'X';
    p.n_vars = 2;
    p.variable_table[1] = {1, 0, 5, 4, 0, 100, 0, 9999};
    p.variable_table[2] = {0, 1, 45, 3, 1, 200, 1, 50};
    p.page_store[0][0].digits[5] = 4; // an earlier variable in a slot now unused
    p.link_buffer = {1, 2, 3, 4, 0};
    p.link_pwd = 1;
    save_page(f.c, 0, 1);
    const page_record &r0 = p.page_store[0][0], &r1 = p.page_store[1][0];
    EXPECT_EQ(r0.chars[10], kCodeVarDigit);
    EXPECT_EQ(r0.chars[11], kCodeVarPoint);
    EXPECT_EQ(r0.chars[20], 32); // stale mark gone
    EXPECT_EQ(r0.chars[0], 'H'); // language 0's text stays
    EXPECT_EQ(r1.chars[20], 'X');
    EXPECT_EQ(r0.var_count, 2);
    EXPECT_EQ(r0.var(2), p.variable_table[2]);
    for (int s = 3; s <= 8; ++s) EXPECT_EQ(r0.var(s), variable_record{}) << s;
    EXPECT_EQ(r0.links[3], 4);
    EXPECT_EQ(r0.pwd, 1);
    EXPECT_EQ(r1.var_count, 0);
    EXPECT_EQ(r1.pwd, 0);
}

TEST_F(StoreTest, LoadPageShowsTheLanguagesTextWithLanguageZerosLinksAndVariables) {
    put(0, 0, 0, "Uno");
    put(1, 0, 0, "One");
    p.page_store[0][0].chars[3] = 200; // no glyph: drawn as the invalid mark, kept in the buffer
    p.page_store[1][0].chars[3] = 200;
    p.page_store[0][0].links = {5, 6, 7, 8, 0};
    p.page_store[0][0].pwd = 1;
    p.page_store[0][0].var_count = 1;
    p.page_store[0][0].set_var(1, {1, 0, 10, 4, 0, 0x1000, 0, 10});
    p.n_vars = 3; // the previous page's variables leave the table
    p.variable_table[3].digits = 2;
    load_page(f.c, 0, 1);
    EXPECT_EQ(p.display_buffer[0], 'O');
    EXPECT_EQ(p.display_buffer[3], 200);
    EXPECT_EQ(f.view.cells[3].second, kCodeInvalid);
    EXPECT_EQ(p.n_vars, 1);
    EXPECT_EQ(p.variable_table[1].address, 0x1000);
    EXPECT_EQ(p.variable_table[3], variable_record{});
    EXPECT_EQ(p.link_buffer[2], 7);
    EXPECT_EQ(p.link_pwd, 1);
    EXPECT_FALSE(p.lock_events);
}

TEST_F(StoreTest, StoreRoutinesNeverReachOutsideTheStores) {
    p.page_store[0][0].var_count = 200; // a damaged record
    load_page(f.c, 0, 0);
    EXPECT_EQ(p.n_vars, kMaxVars);
    save_page(f.c, 1001, 0);
    save_page(f.c, 0, 6);
    load_page(f.c, -1, 0);
    clear_page(f.c, 5000, 0);
    p.n_lang = 40;
    p.last_page_idx = 30000;
    clear_project(f.c); // clamps instead of running off the stores
    SUCCEED();
}

TEST_F(StoreTest, ClearPagePointsLinksAtItselfAndClearProjectResetsCountsButNotLanguages) {
    p.page_store[0][7].pwd = 1;
    p.page_store[0][7].set_var(0, {1, 1, 1, 1, 1, 1, 1, 1});
    p.page_store[0][7].var_count = 3;
    clear_page(f.c, 7, 0);
    EXPECT_EQ(p.page_store[0][7].var_count, 0);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(p.page_store[0][7].links[k], 7);
    EXPECT_EQ(p.page_store[0][7].pwd, 0);
    EXPECT_EQ(p.page_store[0][7].var(0), variable_record{});

    p.last_page_idx = 2;
    p.n_strings = 3;
    p.global_strings[1][600] = "last";
    p.page_store[0][2].pwd = 1;
    p.page_store[1][2].chars[5] = 'z';
    p.act_page = 2;
    p.cursor_pos = 9;
    p.link_pwd = 1; // the page shown was protected
    f.view.pwd = true;
    clear_project(f.c);
    EXPECT_EQ(p.link_pwd, 0);
    EXPECT_FALSE(f.view.pwd);
    EXPECT_EQ(p.n_lang, 2);
    EXPECT_EQ(p.global_strings[1][600], "");
    EXPECT_EQ(p.page_store[1][2].chars[5], 32);
    EXPECT_EQ(p.page_store[0][2].pwd, 0);
    EXPECT_EQ(p.last_page_idx, 0);
    EXPECT_EQ(p.act_page, 0);
    EXPECT_EQ(p.cursor_pos, 0);
    EXPECT_EQ(f.view.link_boxes[0], "0");
}

TEST_F(StoreTest, InitProjectKeepsThePageClipboardOnlyForTheSameModel) {
    p.page_clip_ok = true;
    f.c.menus.at(Menu::Modify, 1).enabled = true;
    init_project(f.c, "", 0);
    EXPECT_TRUE(p.page_clip_ok);
    init_project(f.c, "KXB_5560", 159);
    EXPECT_TRUE(p.page_clip_ok);
    init_project(f.c, "KXD_515", 31);
    EXPECT_FALSE(p.page_clip_ok);
    EXPECT_FALSE(f.c.menus.at(Menu::Modify, 1).enabled);
    EXPECT_EQ(f.view.lang_names, std::vector<std::string>{"Italiano"}); // one language again
}

// HEX carried across a change of model is in test_clipboard.cpp.
TEST_F(StoreTest, ACopiedTypeTheNewModelLacksEmptiesTheVariableClipboard) {
    p.var_clip_ok = true;
    p.var_clipboard.type = 4; // DATE exists only on the long list
    p.kx_type = "KXD_540";
    adjust_copy_var(f.c, "KXB_5560");
    EXPECT_FALSE(p.var_clip_ok);
}
