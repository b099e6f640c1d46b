// The global string editor's working copy: rows inserted, appended and deleted in every
// language at once, the limits, the row width of the model, and what leaving writes back.
#include "core/models.h"
#include "core/string_edit.h"
#include "support/recording_view.h"
#include "support/round_trip.h"

#include <gtest/gtest.h>

using namespace kx;

namespace {

// Two languages with the strings A0 B0 C0 and A1 B1 C1.
struct Strings : ::testing::Test {
    test::Started f;
    Project& p = f.p;
    void SetUp() override {
        p.n_lang = 2;
        p.language_names[1] = "English";
        p.n_strings = 3;
        for (int l = 0; l < 2; ++l)
            for (int k = 0; k < 3; ++k) p.global_strings[l][k] = std::string(1, 'A' + k) + std::to_string(l);
    }
    static std::vector<std::string> rows(const StringEditSession& s, int lang) {
        std::vector<std::string> out;
        for (int k = 0; k < s.rows(); ++k) out.push_back(s.text(lang, k));
        return out;
    }
    using V = std::vector<std::string>;
};

} // namespace

TEST_F(Strings, InsertAppendAndDeleteMoveTheRowsOfEveryLanguage) {
    StringEditSession s(p);
    EXPECT_EQ(s.langs(), 2);
    EXPECT_TRUE(s.insert(2));   // before the second row
    EXPECT_EQ(rows(s, 0), (V{"A0", "", "B0", "C0"}));
    EXPECT_EQ(rows(s, 1), (V{"A1", "", "B1", "C1"}));
    EXPECT_TRUE(s.append());
    EXPECT_EQ(s.current_row, 5);
    EXPECT_EQ(rows(s, 1), (V{"A1", "", "B1", "C1", ""}));
    EXPECT_TRUE(s.remove(1));
    EXPECT_EQ(rows(s, 0), (V{"", "B0", "C0", ""}));
    EXPECT_EQ(s.current_row, 4);   // kept within the rows left
    EXPECT_FALSE(s.remove(5));
    EXPECT_FALSE(s.remove(0));
    // Nothing reaches the project before it is written back.
    EXPECT_EQ(p.n_strings, 3);
    EXPECT_EQ(p.global_strings[0][0], "A0");

    p.prj_modified = false;
    string_editor_save_exit(f.c, s);
    EXPECT_EQ(p.n_strings, 4);
    EXPECT_EQ(p.global_strings[1][2], "C1");
    // Row changes alone must count as a change, or an exit would drop them unasked.
    EXPECT_TRUE(p.prj_modified);
    auto q = test::round_trip(p);
    EXPECT_EQ(q->n_strings, 4);
    EXPECT_EQ(q->global_strings[1][1], "B1");
    EXPECT_EQ(q->global_strings[0][3], "");
}

TEST_F(Strings, DeletingEveryRowAndInsertingIntoAnEmptyTable) {
    StringEditSession s(p);
    while (s.rows() > 0) EXPECT_TRUE(s.remove(s.rows()));
    EXPECT_FALSE(s.remove(1));
    EXPECT_EQ(s.current_row, 0);
    EXPECT_TRUE(s.insert(1));
    EXPECT_EQ(rows(s, 1), (V{""}));
    string_editor_save_exit(f.c, s);
    EXPECT_EQ(p.n_strings, 1);
    for (int k = 1; k < kMaxStrings; ++k) ASSERT_EQ(p.global_strings[0][k], "") << k;
    auto q = test::round_trip(p);
    EXPECT_EQ(q->n_strings, 1);
}

TEST_F(Strings, SixHundredRowsAtMost) {
    StringEditSession s(p);
    while (s.rows() < 599) ASSERT_TRUE(s.append());
    EXPECT_TRUE(s.insert(1));
    EXPECT_EQ(s.rows(), 600);
    EXPECT_EQ(s.text(0, 1), "A0");
    EXPECT_FALSE(s.append());
    EXPECT_FALSE(s.insert(3));
    EXPECT_EQ(s.rows(), 600);
    EXPECT_EQ(s.text(1, 3), "C1");   // the last row was not pushed out
    string_editor_save_exit(f.c, s);
    EXPECT_EQ(p.n_strings, 600);
    auto q = test::round_trip(p);
    EXPECT_EQ(q->n_strings, 600);
    EXPECT_EQ(q->global_strings[1][3], "C1");
}

TEST_F(Strings, AnEditKeepsTheRowWidthOfTheModelAndNoControlCharacters) {
    for (const char* key : {"KXD_515", "KXA_520", "KXB_5560"}) {
        set_terminal_model(f.c, key);
        StringEditSession s(p);
        const int width = find_model(key)->cols;
        EXPECT_EQ(s.max_len(), width) << key;
        EXPECT_EQ(s.edit(f.c, 1, 0, std::string(width + 5, 'x')), std::string(width, 'x')) << key;
    }
    StringEditSession s(p);
    p.prj_modified = false;
    // CR, LF and other controls would split or spoil the string's line in the project file.
    EXPECT_EQ(s.edit(f.c, 0, 2, "a\r\nb\tc\x1b\x7f\x81\xe8"), "abc\xe8");
    EXPECT_TRUE(s.changed);
    EXPECT_TRUE(p.prj_modified);
    string_editor_save_exit(f.c, s);
    auto q = test::round_trip(p);
    EXPECT_EQ(q->global_strings[0][2], "abc\xe8");
    EXPECT_EQ(q->global_strings[0][0], "A0");
}

TEST_F(Strings, LeavingWithoutSavingAsksOnlyAfterAnEdit) {
    {
        StringEditSession s(p);
        s.remove(1);
        string_editor_cancel_exit(f.c, s);   // row changes alone: no question, dropped
        EXPECT_TRUE(f.prompt.messages.empty());
        EXPECT_EQ(p.n_strings, 3);
    }
    for (int answer : {kAnsNo, kAnsCancel, kAnsYes}) {
        StringEditSession s(p);
        s.edit(f.c, 1, 0, "Neu");
        f.prompt.answers = {answer};
        string_editor_cancel_exit(f.c, s);
        EXPECT_EQ(f.prompt.last_text(), "Salvo le modifiche alle stringhe in memoria?");
        EXPECT_EQ(p.global_strings[1][0], answer == kAnsYes ? "Neu" : "A1") << answer;
    }
    auto q = test::round_trip(p);
    EXPECT_EQ(q->global_strings[1][0], "Neu");
}
