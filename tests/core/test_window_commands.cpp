// The model routines that the windows call instead of changing the project themselves.
#include "core/display.h"
#include "core/store.h"
#include "core/transfer.h"
#include "support/recording_view.h"

#include <gtest/gtest.h>

using namespace kx;

TEST(WindowCommands, LinkMenuAndAnEmptiedLinkBox) {
    test::Started f;
    EXPECT_TRUE(f.p.insert_mode);
    EXPECT_EQ(f.view.insert_shown, std::vector<bool>{true});
    menu_link_click(f.c, 0);
    EXPECT_TRUE(f.p.prj_modified);
    EXPECT_TRUE(f.p.link_on);

    f.p.act_page = 7;
    f.p.link_buffer[2] = 3;
    empty_link_box(f.c, 2);
    EXPECT_EQ(f.p.link_buffer[2], 7);
    EXPECT_EQ(f.view.link_boxes[2], "7");
    empty_link_box(f.c, 4);   // no such box: nothing beyond the four links changes
    EXPECT_EQ(f.p.link_buffer[4], 0);
}

TEST(WindowCommands, UploadRunsTheDialogOnlyAfterAModelChoiceAndMarksTheProject) {
    test::Started f;
    int dialogs = 0;
    f.view.chooser_answer = std::nullopt;   // Cancel in the chooser
    upload_command(f.c, [&] { ++dialogs; });
    EXPECT_EQ(dialogs, 0);
    EXPECT_FALSE(f.p.prj_modified);

    f.view.chooser_answer = 2;   // KXE_540
    upload_command(f.c, [&] {
        ++dialogs;
        EXPECT_EQ(f.prompt.busy_depth, 1);
    });
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(f.p.kx_type, "KXE_540");
    EXPECT_EQ(f.prompt.busy_depth, 0);
    EXPECT_TRUE(f.p.prj_modified);   // even when the dialog was cancelled
}
