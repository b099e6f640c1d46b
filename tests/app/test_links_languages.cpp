// The autolink and link parameter dialogs and the Language menu, driven as a user does.
// What each link policy does on insert and delete is the page routines' own business.
#include "core/store.h"
#include "editor/editor_window.h"
#include "editor/link_dialogs.h"
#include "support/app_rig.h"
#include "support/round_trip.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolBar>

using namespace kx;
using test::App;
using test::on_next_modal;

namespace {

// Pages 0..7 whose links all point to page 7.
struct EightPages : App {
    EightPages() {
        p.last_page_idx = 7;
        for (int pg = 0; pg <= 7; ++pg) {
            p.page_store[0][pg].chars.fill(32);
            p.page_store[0][pg].links = {7, 7, 7, 7, 0};
        }
        load_page(c, 0, 0);
    }
    AutolinkDialog* open_autolink() {
        w.action(Menu::Link, 2)->trigger();
        return w.findChild<AutolinkDialog*>();
    }
    void toolbar(const char* key) { w.toolbar()->findChild<QAction*>(key)->trigger(); }
    std::array<int, 4> links(int pg) const {
        const auto& l = p.page_store[0][pg].links;
        return {l[0], l[1], l[2], l[3]};
    }
};

} // namespace

// The dialog is modeless: while it stays open the user edits page 0 and deletes pages 7
// and 6, and OK then refuses the range that reaches past the last page.
TEST(AutolinkDialog, TypedRangeBecomesARingAndTheChoicesOutliveTheDialog) {
    EightPages a;
    QPointer<AutolinkDialog> d = a.open_autolink();
    ASSERT_TRUE(d);
    EXPECT_FALSE(d->isModal());
    EXPECT_TRUE(d->descending()->isChecked() && d->up_down()->isChecked());
    QTest::keyClicks(d->start_box(), "2x");
    EXPECT_EQ(d->start_box()->text(), "2");
    QTest::keyClicks(d->end_box(), "96"); // 9 is no page of this project
    EXPECT_EQ(d->end_box()->text(), "6");
    a.toolbar("LastPage");
    a.toolbar("DeletePage");
    a.toolbar("DeletePage");
    a.toolbar("FirstPage");
    a.p.display_buffer[0] = 'Z';
    ASSERT_EQ(a.p.last_page_idx, 5);
    d->ok_button()->click();
    EXPECT_TRUE(d && d->isVisible());
    EXPECT_EQ(a.links(2), (std::array<int, 4>{7, 7, 7, 7}));
    EXPECT_EQ(d->end_box()->selectedText(), "6");

    d->end_box()->setText("4");
    d->ascending()->click();
    EXPECT_TRUE(a.p.autolink_asc);
    a.prompt.answers = {kAnsYes};
    d->ok_button()->click();
    QApplication::processEvents();
    EXPECT_EQ(a.links(2), (std::array<int, 4>{3, 4, 7, 7}));
    EXPECT_EQ(a.links(4), (std::array<int, 4>{2, 3, 7, 7}));
    EXPECT_EQ(a.p.page_store[0][0].chars[0], 'Z');
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(d); // closed and gone

    d = a.open_autolink(); // the choices stay, even after Esc
    EXPECT_TRUE(d->ascending()->isChecked());
    d->left_right()->click();
    QTest::keyClick(d->left_right(), Qt::Key_Escape);
    EXPECT_FALSE(d->isVisible());
    EXPECT_FALSE(a.p.autolink_updown);
    EXPECT_EQ(test::round_trip(a.p)->page_store[0][3].links[0], 4);
}

TEST(LinkParameters, OnlyOkKeepsTheChoiceAndOnlyEscOrCancelLeaveWithoutIt) {
    EightPages a;
    a.p.link_recalc = 1;
    for (int how = 0; how < 3; ++how) {
        on_next_modal<LinkParametersDialog>([how](LinkParametersDialog* d) {
            EXPECT_TRUE(d->option(1)->isChecked());
            d->option(2)->click();
            for (Qt::Key key : {Qt::Key_Space, Qt::Key_A, Qt::Key_Return}) QTest::keyClick(d->option(2), key);
            EXPECT_TRUE(d->isVisible());
            if (how == 0) QTest::keyClick(d->option(2), Qt::Key_Escape);
            else if (how == 1) d->cancel_button()->click();
            else d->ok_button()->click();
        });
        a.w.action(Menu::Link, 3)->trigger();
        EXPECT_EQ(a.p.link_recalc, how < 2 ? 1 : 2) << how;
    }
}

namespace {

// The buttons of a dialog that Enter typed in a box could press: a default button, or an
// auto-default one, which Qt makes the default once it had the focus.
std::string enter_buttons(QWidget* dlg) {
    QStringList names;
    for (QPushButton* b : dlg->findChildren<QPushButton*>())
        if (b->isDefault() || b->autoDefault()) names << b->objectName() + " " + b->text();
    return names.join(", ").toStdString();
}

} // namespace

// Enter in a page box leaves the dialog open with what was typed: an empty end page must not
// close it and lose the start page. So also after OK had the focus.
TEST(AutolinkDialog, EnterInAPageBoxPressesNoButton) {
    EightPages a;
    AutolinkDialog* d = a.open_autolink();
    EXPECT_EQ(enter_buttons(d), "");
    QApplication::setActiveWindow(d);
    d->ok_button()->setFocus();
    d->start_box()->setFocus();
    ASSERT_TRUE(d->start_box()->hasFocus());
    EXPECT_EQ(enter_buttons(d), "");
    test::type_text(d->start_box(), "3");
    test::send_key(d->start_box(), Qt::Key_Return, "\r");
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->start_box()->text(), "3");
    EXPECT_TRUE(a.prompt.messages.empty()); // no question asked
    d->close();
}

TEST(LanguageMenu, AddedLanguageIsListedAndShown) {
    App a;
    a.prompt.inputs = {std::string("English")};
    a.w.action(Menu::Kxlang, 0)->trigger();
    EXPECT_EQ(a.w.editor()->lang_list()->count(), 2);
    EXPECT_EQ(a.w.editor()->lang_list()->currentText(), "English");
}
