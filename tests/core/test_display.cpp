// Glyph codes, the cursor's blinking and the link mode.
#include "core/display.h"
#include "support/recording_view.h"

#include <gtest/gtest.h>

using namespace kx;

TEST(Display, CodesWithoutAGlyphDrawTheInvalidMark) {
    for (int code : {0, 3, 8, 31, 130, 200, -1, 32767}) EXPECT_EQ(check_char(code), kCodeInvalid) << code;
    for (int code : {4, 7, 32, 65, 127, 128, 129}) EXPECT_EQ(check_char(code), code);
}

TEST(Display, BlinkAlternatesCursorImageAndNormalGlyph) {
    using Shown = std::pair<GlyphSet, int>;
    test::Started f;
    f.p.cursor_pos = 3;
    f.p.display_buffer[3] = 'A';
    int state = 0;
    auto step = [&](bool insert) {
        f.p.insert_mode = insert;
        blink_step(f.c, state);
        return f.view.cells[3];
    };
    EXPECT_EQ(step(true), Shown(GlyphSet::Und, 'A'));
    EXPECT_EQ(state, 1);
    EXPECT_EQ(step(true), Shown(GlyphSet::Char, 'A'));
    EXPECT_EQ(step(false), Shown(GlyphSet::Reve, 'A'));

    // A variable cell while the variable editor is open uses the highlighted set.
    f.p.display_buffer[3] = kCodeVarPoint;
    f.p.var_edit_open = true;
    state = 0;
    EXPECT_EQ(step(false), Shown(GlyphSet::High, 6));
    EXPECT_EQ(step(false), Shown(GlyphSet::High, 2));
    f.p.display_buffer[3] = kCodeVarDigit;
    EXPECT_EQ(step(true).second, 3);

    // No blinking while a link box is edited.
    f.p.link_edit = true;
    f.view.cells.clear();
    blink_step(f.c, state);
    EXPECT_TRUE(f.view.cells.empty());
}

TEST(Display, LinkOffAsksAndRewritesLinksOnlyWhenConfirmed) {
    test::Started f;
    f.p.last_page_idx = 9;
    f.p.page_store[0][4].links = {1, 2, 3, 0, 0};
    f.prompt.answers = {kAnsNo};
    set_link_mode(f.c, 1);
    EXPECT_TRUE(f.p.link_on);
    EXPECT_EQ(f.p.page_store[0][4].links[0], 1);
    f.prompt.answers = {kAnsYes};
    set_link_mode(f.c, 1);
    EXPECT_FALSE(f.p.link_on);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(f.p.page_store[0][4].links[k], 4);
    EXPECT_EQ(f.view.labels[Label::Link], "Link disabilitato");
    EXPECT_FALSE(f.c.menus.at(Menu::Link, 2).enabled);
    // Re-applying a stored mode asks nothing and rewrites nothing.
    f.p.page_store[0][4].links[0] = 7;
    size_t asked = f.prompt.messages.size();
    f.p.skip_link_ask = true;
    apply_link_mode(f.c);
    EXPECT_EQ(f.prompt.messages.size(), asked);
    EXPECT_EQ(f.p.page_store[0][4].links[0], 7);
}
