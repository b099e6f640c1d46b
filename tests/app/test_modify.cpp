// The special-character picker, the Modify menu and the group-copy dialog driven as a user
// does, and screenshots of the two windows in both languages.
#include "editor/char_picker.h"
#include "editor/copy_dialog.h"
#include "editor/display_widget.h"
#include "editor/editor_window.h"
#include "support/app_rig.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace kx;
using test::App;
using test::on_next_modal;

TEST(CharPicker, RightClickOnAFreeCellOpensItAndEachClickEntersAnArrow) {
    App a;
    DisplayWidget* d = a.w.editor()->display();
    on_next_modal([&](QWidget* m) {
        auto* picker = qobject_cast<CharPicker*>(m);
        QTest::mouseClick(picker->picture(2), Qt::LeftButton); // left
        QTest::mouseClick(picker->picture(0), Qt::LeftButton); // up
        QTest::keyClick(m, Qt::Key_Escape);
    });
    QTest::mouseClick(d, Qt::RightButton, {}, d->cell_origin(41) + QPoint(5, 5));
    EXPECT_EQ(std::vector<int>(a.p.display_buffer.begin() + 41, a.p.display_buffer.begin() + 44),
              (std::vector<int>{4, 6, ' '}));
    EXPECT_EQ(a.p.cursor_pos, 43);
    EXPECT_EQ(d->cell_image(41), 4);
}

namespace {

// Pages 0..9, and Modify > Copy Group opened on them.
CopyGroupDialog* open_copy_group(App& a) {
    for (int i = 0; i < 9; ++i) a.w.toolbar_click("AppendPage");
    a.w.action(Menu::Modify, 2)->trigger();
    return a.w.findChild<CopyGroupDialog*>();
}

} // namespace

TEST(GroupCopyDialog, TypingIsCheckedAndOkCopiesTheRange) {
    App a;
    CopyGroupDialog* dlg = open_copy_group(a);
    ASSERT_NE(dlg, nullptr);
    auto type = [](QLineEdit* box, const QString& keys) {
        box->selectAll();
        test::type_text(box, keys);
        return box->text();
    };
    EXPECT_EQ(type(dlg->dest_box(), QString::fromUtf8("1\u00e92")), "1"); // 12 > 10; no letter stays
    EXPECT_EQ(type(dlg->start_box(), "3"), "3");
    dlg->end_box()->clear();
    QFocusEvent leave(QEvent::FocusOut); // an emptied box shows 0 again when left
    QApplication::sendEvent(dlg->end_box(), &leave);
    EXPECT_EQ(dlg->end_box()->text(), "0");
    QTest::mouseClick(dlg->ok_button(), Qt::LeftButton); // start after end: refused
    EXPECT_EQ(a.prompt.beeps, 1);
    EXPECT_TRUE(dlg->isVisible());

    a.w.action(Menu::Modify, 2)->trigger(); // opened again: boxes and values back to 0
    EXPECT_EQ(dlg->start_box()->text(), "0");
    EXPECT_EQ(a.p.copy_start, 0);
    type(dlg->start_box(), "1");
    type(dlg->end_box(), "4");
    type(dlg->dest_box(), "10");
    QPointer<CopyGroupDialog> alive(dlg);
    QTest::mouseClick(dlg->ok_button(), Qt::LeftButton);
    EXPECT_EQ(a.p.last_page_idx, 13);
    QApplication::processEvents();
    EXPECT_TRUE(alive.isNull());

    a.w.action(Menu::Modify, 2)->trigger(); // Esc closes without copying
    alive = a.w.findChild<CopyGroupDialog*>();
    QTest::keyClick(alive->start_box(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_TRUE(alive.isNull());
    EXPECT_EQ(a.p.last_page_idx, 13);
}

// Each box at its limit and one past it, pasted with Ctrl+V: one character too many puts
// back what the box showed, and OK copies the range the boxes show.
TEST(GroupCopyDialog, APastedNumberPastTheLastPagePutsTheBoxBack) {
    App a;
    CopyGroupDialog* dlg = open_copy_group(a);
    ASSERT_NE(dlg, nullptr);
    const std::tuple<QLineEdit*, const char*, const char*, std::int16_t&> boxes[] = {
        {dlg->start_box(), "9", "10", a.p.copy_start},
        {dlg->end_box(), "9", "1500", a.p.copy_end},
        {dlg->dest_box(), "10", "11", a.p.copy_dest}, // one past the last page appends
    };
    for (const auto& [box, fits, past, value] : boxes) {
        test::paste_over(box, fits);
        EXPECT_EQ(box->text(), fits);
        EXPECT_EQ(value, std::stoi(fits));
        test::paste_over(box, past);
        EXPECT_EQ(box->text(), fits) << past;
        EXPECT_EQ(value, std::stoi(fits)) << past;
    }
    test::paste_over(dlg->start_box(), "8");
    test::paste_over(dlg->start_box(), "80");
    QTest::mouseClick(dlg->ok_button(), Qt::LeftButton); // pages 8 and 9 after page 9
    EXPECT_EQ(a.p.last_page_idx, 11);
}
