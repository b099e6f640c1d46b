// Autolink: the ring in every order and pair of keys, the question, what OK commits and
// checks, and the page boxes' rule. (The dialogs are driven in tests/app.)
#include "core/autolink.h"
#include "core/store.h"
#include "support/recording_view.h"

#include <gtest/gtest.h>

using namespace kx;

namespace {

// Pages 0..7 whose links all point to page 7; page 4 is shown.
struct Autolink : ::testing::Test {
    test::Started f;
    Project& p = f.p;
    void SetUp() override {
        p.last_page_idx = 7;
        for (int pg = 0; pg <= 7; ++pg) {
            p.page_store[0][pg].chars.fill(32);
            p.page_store[0][pg].links = {7, 7, 7, 7, 0};
        }
        p.act_page = 4;
        load_page(f.c, 4, 0);
        p.prj_modified = false;
    }
    using L = std::array<int, 4>;
    L links(int pg) const {
        const auto& l = p.page_store[0][pg].links;
        return {l[0], l[1], l[2], l[3]};
    }
};

} // namespace

TEST_F(Autolink, RingsInEveryOrderAndPairOfKeys) {
    struct Case {
        bool updown, asc;
        L p3, p4, p5;
    } cases[] = {
        {true, true, {4, 5, 7, 7}, {5, 3, 7, 7}, {3, 4, 7, 7}},
        {true, false, {5, 4, 7, 7}, {3, 5, 7, 7}, {4, 3, 7, 7}},
        {false, true, {7, 7, 5, 4}, {7, 7, 3, 5}, {7, 7, 4, 3}},
        {false, false, {7, 7, 4, 5}, {7, 7, 5, 3}, {7, 7, 3, 4}},
    };
    for (const Case& k : cases) {
        SetUp();
        p.autolink_updown = k.updown;
        p.autolink_asc = k.asc;
        f.prompt.answers = {kAnsYes};
        EXPECT_EQ(autolink_ok(f.c, "3", "5"), AutolinkOk::Close);
        const std::string what =
            std::string(k.updown ? "up/down " : "left/right ") + (k.asc ? "asc" : "desc");
        EXPECT_EQ(links(3), k.p3) << what;
        EXPECT_EQ(links(4), k.p4) << what;
        EXPECT_EQ(links(5), k.p5) << what;
        EXPECT_EQ(links(2), links(6)) << what; // pages outside the range keep their links
        // Page 4 is shown again with its new links.
        for (int i = 0; i < 4; ++i) EXPECT_EQ(f.view.link_boxes[i], std::to_string(k.p4[i])) << what;
        EXPECT_TRUE(p.prj_modified);
    }
}

TEST_F(Autolink, OnePageLinksToItselfAReversedRangeNothingAndOnlyYesWrites) {
    f.prompt.answers = {kAnsNo, kAnsCancel};
    EXPECT_EQ(autolink_ok(f.c, "0", "7"), AutolinkOk::Close);
    EXPECT_EQ(autolink_ok(f.c, "0", "7"), AutolinkOk::Close);
    EXPECT_EQ(autolink_ok(f.c, "", "7"), AutolinkOk::Close); // an empty box: no question
    EXPECT_EQ(f.prompt.messages.size(), 2u);
    EXPECT_FALSE(p.prj_modified);
    f.prompt.answers = {kAnsYes, kAnsYes};
    autolink_ok(f.c, "6", "6");
    EXPECT_EQ(links(6), (L{6, 6, 7, 7}));
    autolink_ok(f.c, "5", "3");
    for (int pg = 0; pg <= 5; ++pg) EXPECT_EQ(links(pg), (L{7, 7, 7, 7})) << pg;
    EXPECT_TRUE(p.prj_modified);
    p.link_on = false; // links switched off while the dialog stayed open
    EXPECT_EQ(autolink_ok(f.c, "2", "4"), AutolinkOk::LinksOff);
    EXPECT_EQ(links(2), (L{7, 7, 7, 7}));
}

TEST_F(Autolink, OkCommitsThePageShownBeforeWritingLinks) {
    p.display_buffer[0] = 'H'; // typed on page 4, not yet saved
    p.link_buffer[2] = 1;      // a left link set by hand
    f.prompt.answers = {kAnsYes};
    autolink_ok(f.c, "3", "5");
    EXPECT_EQ(p.page_store[0][4].chars[0], 'H');
    EXPECT_EQ(p.display_buffer[0], 'H');
    EXPECT_EQ(links(4), (L{3, 5, 1, 7})); // descending up/down, the hand-set left link kept
}

TEST(PageBox, KeepsOnlyNumbersOfPagesThatExist) {
    struct {
        const char* before;
        const char* typed;
        const char* kept;
    } cases[] = {
        {"", "1", "1"},    {"1", "16", "1"},
        {"1", "15", "15"}, {"1", "1a", "1"},
        {"", "3 ", ""},    {"", "-1", ""},
        {"2", "", ""},     {"", "0015", "0015"},
        {"", "1\n2", ""},  {"", "99999999999999999999", ""},
    };
    for (const auto& k : cases) EXPECT_EQ(page_box_text(k.before, k.typed, 15), k.kept) << k.typed;
}
