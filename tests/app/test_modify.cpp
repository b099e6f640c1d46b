// The special-character picker, the Modify menu and the group-copy dialog driven as a user
// does, and screenshots of the two windows in both languages.
#include "editor/char_picker.h"
#include "editor/display_widget.h"
#include "editor/editor_window.h"
#include "support/app_rig.h"

#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace kx;
using test::App;
using test::on_next_modal;

TEST(CharPicker, RightClickOnAFreeCellOpensItAndEachClickEntersAnArrow) {
    App a;
    DisplayWidget* d = a.w.editor()->display();
    QString title;
    on_next_modal([&](QWidget* m) {
        title = m->windowTitle();
        auto* picker = qobject_cast<CharPicker*>(m);
        ASSERT_NE(picker, nullptr);
        QTest::mouseClick(picker->picture(2), Qt::LeftButton);   // left
        QTest::keyClick(m, Qt::Key_Space);                      // other keys do nothing
        QTest::mouseClick(picker->picture(0), Qt::LeftButton);   // up
        QTest::keyClick(m, Qt::Key_Escape);
    });
    QTest::mouseClick(d, Qt::RightButton, {}, d->cell_origin(41) + QPoint(5, 5));
    EXPECT_EQ(title, "Caratteri Speciali");
    EXPECT_EQ(a.p.display_buffer[41], 4);
    EXPECT_EQ(a.p.display_buffer[42], 6);
    EXPECT_EQ(a.p.display_buffer[43], ' ');
    EXPECT_EQ(a.p.cursor_pos, 43);
    EXPECT_EQ(d->cell_image(41), 4);
}
