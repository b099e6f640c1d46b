// Terminal languages: add (up to six), delete (the current one, never the first), rename;
// the editor's language list, the page being edited and the project file follow.
#include "core/languages.h"
#include "core/store.h"
#include "support/recording_view.h"
#include "support/round_trip.h"

#include <gtest/gtest.h>

using namespace kx;

namespace {

// The started editor with three pages whose language-0 text is "P0", "P1", "P2", and two
// global strings; page 1 is shown and the page clipboard holds a page.
struct Langs : ::testing::Test {
    test::Started f;
    Project& p = f.p;
    ScriptedPrompt& prompt = f.prompt;
    using Names = std::vector<std::string>;

    void SetUp() override {
        p.last_page_idx = 2;
        for (int pg = 0; pg <= 2; ++pg) put(0, pg, "P" + std::to_string(pg));
        p.n_strings = 2;
        p.global_strings[0] = {"Allarme", "Pompa"};
        p.act_page = 1;
        load_page(f.c, 1, 0);
        p.page_clip_ok = true;
    }
    void put(int lang, int page, const std::string& s) {
        p.page_store[lang][page].chars.fill(32);
        for (size_t i = 0; i < s.size(); ++i) p.page_store[lang][page].chars[i] = s[i];
    }
    std::string text(int lang, int page) const {
        const auto& ch = p.page_store[lang][page].chars;
        return {static_cast<char>(ch[0]), static_cast<char>(ch[1])};
    }
    // Language > Add, answering the name question with each of `names` in turn.
    void add(std::initializer_list<const char*> names) {
        for (const char* n : names) {
            prompt.inputs.push_back(std::string(n));
            kxlang_menu_click(f.c, 0);
        }
    }
};

} // namespace

TEST_F(Langs, AddCopiesLanguageZeroCommitsThePageAndCleansTheName) {
    p.display_buffer[1] = 'X'; // typed on page 1, not yet saved
    add({"Eng\r\nlish1234567", "", "\t"});
    prompt.inputs.push_back(std::nullopt); // Cancel
    kxlang_menu_click(f.c, 0);
    EXPECT_EQ(p.n_lang, 2);
    EXPECT_EQ(p.act_lang, 1);
    // CR and LF would split the name's line in the project file; ten characters at most.
    EXPECT_EQ(f.view.lang_names, (Names{"Italiano", "English123"}));
    EXPECT_EQ(text(1, 0), "P0");
    EXPECT_EQ(text(1, 1), "PX");        // the page being edited was committed first
    EXPECT_EQ(f.view.text(0, 2), "PX"); // and the new language's copy is shown
    EXPECT_EQ(p.global_strings[1][1], "Pompa");
    EXPECT_TRUE(p.prj_modified);
    EXPECT_FALSE(p.page_clip_ok); // its language slots no longer match
    EXPECT_EQ(test::round_trip(p)->page_store[1][2].chars[1], '2');
}

TEST_F(Langs, SixLanguagesAtMostWhicheverIsShown) {
    add({"L1", "L2", "L3", "L4", "L5"});
    EXPECT_EQ(p.n_lang, 6);
    for (int shown : {5, 0}) {
        p.act_lang = static_cast<std::int16_t>(shown);
        const int beeps = prompt.beeps;
        add({"L6"});
        EXPECT_EQ(prompt.beeps, beeps + 1);
        EXPECT_EQ(prompt.input_prompts.size(), 5u); // no name is asked for
    }
    prompt.inputs.clear();
    EXPECT_FALSE(add_language(f.c)); // called directly it refuses too
    EXPECT_EQ(p.n_lang, 6);
}

TEST_F(Langs, DeleteMovesTheFollowingLanguagesDownAndKeepsThePagesEdits) {
    add({"English", "Deutsch"});
    put(2, 0, "D0");
    p.global_strings[2][0] = "Warnung";
    p.act_lang = 1;
    load_page(f.c, 1, 1);
    // Edits of page 1 only in the buffers: a new variable and a link.
    p.display_buffer[10] = p.display_buffer[11] = kCodeVarDigit;
    p.n_vars = 1;
    p.variable_table[1] = {1, 0, 10, 2, 0, 0x100, 0, 99};
    p.link_buffer[0] = 2;
    p.page_clip_ok = true;
    prompt.answers = {kAnsNo, kAnsCancel, kAnsYes};
    for (int i = 0; i < 3; ++i) kxlang_menu_click(f.c, 1);
    EXPECT_EQ(p.n_lang, 2);
    EXPECT_EQ(p.act_lang, 1); // the former language 2 took the place
    EXPECT_EQ(f.view.lang_names, (Names{"Italiano", "Deutsch"}));
    EXPECT_EQ(p.language_names[2], "");
    EXPECT_EQ(text(1, 0), "D0");
    EXPECT_EQ(text(2, 0), "  ");
    EXPECT_EQ(p.global_strings[1][0], "Warnung");
    // The page's variable and link were committed before the language went.
    EXPECT_EQ(p.page_store[0][1].links[0], 2);
    EXPECT_EQ(p.page_store[1][1].chars[10], kCodeVarDigit);
    EXPECT_EQ(p.n_vars, 1);
    EXPECT_FALSE(p.page_clip_ok);
    EXPECT_EQ(test::round_trip(p)->page_store[0][1].var_count, 1);
}

TEST_F(Langs, DeletingTheLastLanguageShowsTheOneBeforeAndTheFirstStays) {
    add({"English", "Deutsch"});
    prompt.answers = {kAnsYes};
    kxlang_menu_click(f.c, 1); // Deutsch is shown
    EXPECT_EQ(f.view.lang_names, (Names{"Italiano", "English"}));
    EXPECT_EQ(p.act_lang, 1);
    p.act_lang = 0;
    kxlang_menu_click(f.c, 1);
    EXPECT_EQ(prompt.beeps, 1);
    EXPECT_EQ(p.n_lang, 2);
}

TEST_F(Langs, RenameChangesTheCurrentNameAndCountsAsAChange) {
    add({"English"});
    p.prj_modified = false;
    prompt.inputs = {std::string("Inglese123456"), std::string(""), std::string("\r\n"), std::nullopt};
    for (int i = 0; i < 4; ++i) kxlang_menu_click(f.c, 2);
    EXPECT_EQ(f.view.lang_names, (Names{"Italiano", "Inglese123"}));
    // A rename must not be lost by an exit that does not ask.
    EXPECT_TRUE(p.prj_modified);
    EXPECT_EQ(test::round_trip(p)->language_names[1], "Inglese123");
}
