// The global string editor's working copy: the 600-row limit, the row width of each model,
// and what leaving writes back. (Rows moved across languages, typing, pasting, control
// characters and the questions on leaving are driven through the dialog in tests/editor.)
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
        p.n_strings = 3;
        p.global_strings[0] = {"A0", "B0", "C0"};
        p.global_strings[1] = {"A1", "B1", "C1"};
    }
};

} // namespace

TEST_F(Strings, SixHundredRowsAtMostAndTheRestWrittenEmpty) {
    StringEditSession t(p);
    while (t.rows() > 1) ASSERT_TRUE(t.remove(1));
    EXPECT_FALSE(t.remove(2));
    p.prj_modified = false;
    string_editor_save_exit(f.c, t);
    EXPECT_EQ(p.n_strings, 1);
    EXPECT_EQ(p.global_strings[1][0], "C1");
    EXPECT_EQ(p.global_strings[1][2], "");
    // Row changes alone count as a change, or an exit would drop them without asking.
    EXPECT_TRUE(p.prj_modified);
    EXPECT_EQ(test::round_trip(p)->global_strings[0][0], "C0");
    // So do they when no text moves: an empty last row added, then removed.
    for (const bool add : {true, false}) {
        StringEditSession r(p);
        ASSERT_TRUE(add ? r.append() : r.remove(2));
        p.prj_modified = false;
        string_editor_save_exit(f.c, r);
        EXPECT_EQ(p.n_strings, add ? 2 : 1);
        EXPECT_TRUE(p.prj_modified) << add;
    }

    StringEditSession s(p);
    while (s.rows() < 599) ASSERT_TRUE(s.append());
    EXPECT_TRUE(s.insert(1));
    EXPECT_FALSE(s.append());
    EXPECT_FALSE(s.insert(3));
    EXPECT_EQ(s.text(1, 1), "C1");
    string_editor_save_exit(f.c, s);
    EXPECT_EQ(test::round_trip(p)->n_strings, 600);
}

TEST_F(Strings, AnEditKeepsTheRowWidthOfEachModel) {
    for (const char* key : {"KXD_515", "KXA_520", "KXB_5560"}) {
        set_terminal_model(f.c, key);
        StringEditSession s(p);
        const std::size_t width = find_model(key)->cols;
        EXPECT_EQ(s.edit(f.c, 1, 0, std::string(width + 5, 'x')).size(), width) << key;
    }
}

TEST_F(Strings, LeavingWithOnlyRowChangesAsksNothingAndDropsThem) {
    StringEditSession s(p);
    s.remove(1);
    string_editor_cancel_exit(f.c, s); // row changes alone: no question, dropped
    EXPECT_TRUE(f.prompt.messages.empty());
    EXPECT_EQ(p.n_strings, 3);
}
