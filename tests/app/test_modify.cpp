// The special-character picker, the Modify menu and the group-copy dialog driven as a user
// does, and screenshots of the two windows in both languages.
#include "editor/char_picker.h"
#include "editor/copy_dialog.h"
#include "editor/display_widget.h"
#include "editor/editor_window.h"
#include "support/app_rig.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
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

TEST(Modify, CopyAndPastePageThroughTheMenu) {
    App a;
    EditorWindow* e = a.w.editor();
    QTest::keyClicks(e, "Uno");
    a.w.action(Menu::Modify, 0)->trigger();   // Copy Page
    EXPECT_TRUE(a.w.action(Menu::Modify, 1)->isEnabled());
    a.w.action(Menu::Modify, 1)->trigger();   // Paste Page: before the current page
    EXPECT_EQ(a.p.last_page_idx, 1);
    EXPECT_EQ(a.p.act_page, 0);
    EXPECT_EQ(e->display()->cell_image(2), 'o');
}

TEST(GroupCopyDialog, TypingIsCheckedAndOkCopiesTheRange) {
    App a;
    for (int i = 0; i < 9; ++i) a.w.toolbar_click("AppendPage");   // pages 0..9
    a.w.action(Menu::Modify, 2)->trigger();
    auto* dlg = a.w.findChild<CopyGroupDialog*>();
    ASSERT_NE(dlg, nullptr);
    EXPECT_FALSE(dlg->isModal());
    EXPECT_EQ(dlg->windowTitle(), "Copia Gruppo");
    auto type = [](QLineEdit* box, const char* keys) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, keys);
    };
    type(dlg->dest_box(), "12");   // 12 > 10
    EXPECT_EQ(dlg->dest_box()->text(), "1");
    type(dlg->dest_box(), "1a0");
    EXPECT_EQ(dlg->dest_box()->text(), "10");   // one past the last page
    type(dlg->start_box(), "10");
    EXPECT_EQ(dlg->start_box()->text(), "1");
    dlg->end_box()->clear();
    QFocusEvent leave(QEvent::FocusOut);   // an emptied box shows 0 again when left
    QApplication::sendEvent(dlg->end_box(), &leave);
    EXPECT_EQ(dlg->end_box()->text(), "0");
    type(dlg->end_box(), "2");
    EXPECT_EQ(a.p.copy_start, 1);
    EXPECT_EQ(a.p.copy_end, 2);
    EXPECT_EQ(a.p.copy_dest, 10);

    a.w.action(Menu::Modify, 2)->trigger();   // opened again: back to 0
    EXPECT_EQ(dlg->start_box()->text(), "0");
    EXPECT_EQ(a.p.copy_dest, 0);
    type(dlg->start_box(), "3");
    type(dlg->end_box(), "1");
    QTest::mouseClick(dlg->ok_button(), Qt::LeftButton);   // start after end: refused
    EXPECT_EQ(a.prompt.beeps, 1);
    EXPECT_TRUE(dlg->isVisible());
    type(dlg->end_box(), "4");
    type(dlg->dest_box(), "10");
    QPointer<CopyGroupDialog> alive(dlg);
    QTest::mouseClick(dlg->ok_button(), Qt::LeftButton);
    EXPECT_EQ(a.p.last_page_idx, 11);
    QApplication::processEvents();
    EXPECT_TRUE(alive.isNull());

    a.w.action(Menu::Modify, 2)->trigger();   // Esc closes without copying
    dlg = a.w.findChild<CopyGroupDialog*>();
    alive = dlg;
    QTest::keyClick(dlg->start_box(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_TRUE(alive.isNull());
    EXPECT_EQ(a.p.last_page_idx, 11);
}

// With KX_SCREENSHOT_DIR set, saves the group-copy dialog and the special-character picker
// in both languages for a person to look at.
TEST(GroupCopyDialog, ScreenshotsOfTheDialogAndThePicker) {
    const QByteArray dir = qgetenv("KX_SCREENSHOT_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "KX_SCREENSHOT_DIR not set";
    for (const char* lingua : {"0", "1"}) {
        App a(lingua);
        a.w.action(Menu::Modify, 2)->trigger();
        auto* dlg = a.w.findChild<CopyGroupDialog*>();
        QApplication::processEvents();
        dlg->grab().save(QString("%1/copy-group-%2.png").arg(QString::fromLocal8Bit(dir), lingua));
        CharPicker picker(a.c, &a.w);
        picker.show();
        QApplication::processEvents();
        picker.grab().save(QString("%1/char-picker-%2.png").arg(QString::fromLocal8Bit(dir), lingua));
    }
}
