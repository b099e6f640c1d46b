#include "core/models.h"
#include "support/recording_view.h"

#include <gtest/gtest.h>

using namespace kx;

TEST(Models, UnknownKeyKeepsGeometryAndDisablesModelMenus) {
    test::Fixture f;
    set_terminal_model(f.c, "KXB_540");
    EXPECT_TRUE(f.c.menus.at(Menu::Recipes, 0).enabled);
    set_terminal_model(f.c, "kxb_540"); // keys are case-sensitive
    EXPECT_EQ(f.p.n_cols, 20);
    EXPECT_FALSE(f.c.menus.at(Menu::Recipes, 0).enabled);
    EXPECT_FALSE(f.c.menus.at(Menu::Transfer, 2).enabled);
}

TEST(Models, MenuStateFollowsTheModel) {
    test::Fixture f;
    f.p.kx_type = "KXD_540";
    set_terminal_model(f.c, f.p.kx_type);
    enable_model_option_menus(f.c);
    EXPECT_TRUE(f.c.menus.at(Menu::Transfer, 2).enabled);

    // KXG_540 keeps its COM1 marks at this step; KXE_520 loses them.
    f.p.page_store[0][0].dec[1] = kComBit | 2;
    f.p.kx_type = "KXG_540";
    f.p.multi_protocol = 1;
    enable_model_option_menus(f.c);
    EXPECT_EQ(f.p.multi_protocol, 1);
    EXPECT_EQ(f.p.page_store[0][0].dec[1], kComBit | 2);
    f.p.kx_type = "KXE_520";
    enable_model_option_menus(f.c);
    EXPECT_EQ(f.p.multi_protocol, 0);
    EXPECT_EQ(f.p.page_store[0][0].dec[1], 2);
    EXPECT_FALSE(f.c.menus.at(Menu::Transfer, 3).enabled);
}

TEST(Models, MultiProtocolSwitches) {
    test::Fixture f;
    f.p.kx_type = "KXE_540";
    multi_protocol_on(f.c);
    EXPECT_EQ(f.p.multi_protocol, 0);
    EXPECT_EQ(f.prompt.beeps, 1);
    f.p.kx_type = "KXB_540";
    multi_protocol_on(f.c);
    EXPECT_EQ(f.p.multi_protocol, 1);
    EXPECT_EQ(f.view.headings.size(), 11u);
    EXPECT_TRUE(f.c.menus.at(Menu::MultiProtocol, 0).checked);

    // OFF with COM1 variables asks; only Yes clears the marks.
    f.p.page_store[0][0].dec[1] = kComBit;
    f.prompt.answers = {kAnsNo};
    multi_protocol_off_menu(f.c);
    EXPECT_EQ(f.p.multi_protocol, 1);
    EXPECT_EQ(f.p.page_store[0][0].dec[1], kComBit);
    f.prompt.answers = {kAnsYes};
    multi_protocol_off_menu(f.c);
    EXPECT_EQ(f.p.multi_protocol, 0);
    EXPECT_EQ(f.p.page_store[0][0].dec[1], 0);
    EXPECT_EQ(f.view.headings.size(), 10u);
}
