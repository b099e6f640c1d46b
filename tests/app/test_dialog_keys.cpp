// Enter in the editor's dialogs: on the focused button it presses that button, once however
// long it is held, and no other key does; typed in a box it presses none; the compare
// dialog's Start is its default button. The model chooser's keys. A Start that runs here
// fails at once: COM1 is a device that does not exist.
#include "app/dialogs.h"
#include "comm/compare_dialog.h"
#include "comm/eeprom_dialogs.h"
#include "comm/transfer_dialogs.h"
#include "core/models.h"
#include "editor/copy_dialog.h"
#include "editor/display_widget.h"
#include "editor/editor_window.h"
#include "editor/link_dialogs.h"
#include "editor/var_editor.h"
#include "recipes/recipe_transfer_dialogs.h"
#include "support/app_rig.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace kx;
using test::App;
using test::on_next_modal;

namespace {

Qt::KeyboardModifiers mods(Qt::Key key) { return key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier; }

void focus(QWidget* w) {
    QApplication::setActiveWindow(w->window());
    w->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(w->hasFocus()) << w->objectName().toStdString();
}

// Counts the presses of the given buttons while it lives.
class PressCount {
public:
    explicit PressCount(const QList<QPushButton*>& buttons) {
        for (QPushButton* b : buttons)
            links_.push_back(QObject::connect(b, &QPushButton::clicked, [this] { ++n; }));
    }
    ~PressCount() {
        for (const auto& l : links_) QObject::disconnect(l);
    }
    int n = 0;

private:
    std::vector<QMetaObject::Connection> links_;
};

// Return, the keypad's Enter or another key on `b`, which has the focus (given to it unless
// `as_is`); how often that pressed it.
int enter_on(QPushButton* b, Qt::Key key = Qt::Key_Return, bool as_is = false) {
    if (as_is) EXPECT_TRUE(b->hasFocus()) << b->objectName().toStdString();
    else focus(b);
    PressCount count({b});
    QTest::keyClick(b, key, mods(key));
    return count.n;
}

// Return held down on `b`, which gets the focus, as a keyboard sends it: the press, then
// auto-repeated releases and presses to the widget that has the focus by then, the release.
// How often that pressed a button of b's dialog.
int held_enter_on(QPushButton* b) {
    focus(b);
    PressCount count(b->window()->findChildren<QPushButton*>());
    QTest::keyPress(b, Qt::Key_Return);
    for (int i = 0; i < 3 && QApplication::focusWidget(); ++i) {
        for (QEvent::Type type : {QEvent::KeyRelease, QEvent::KeyPress}) {
            QKeyEvent repeat(type, Qt::Key_Return, Qt::NoModifier, "\r", /*autorep=*/true);
            QApplication::sendEvent(QApplication::focusWidget(), &repeat);
        }
    }
    if (QApplication::focusWidget()) QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Return);
    return count.n;
}

// Return and the keypad's Enter typed in every box of `dlg` press no button, also right after
// a button had the focus (Qt makes a focused auto-default button the dialog's default).
void enter_in_boxes_presses_nothing(QWidget* dlg) {
    const QList<QPushButton*> buttons = dlg->findChildren<QPushButton*>();
    ASSERT_FALSE(buttons.isEmpty());
    int boxes = 0;
    for (QLineEdit* box : dlg->findChildren<QLineEdit*>()) {
        if (!box->isVisible() || !box->isEnabled()) continue;
        ++boxes;
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
            focus(buttons.first());
            focus(box);
            PressCount count(buttons);
            QTest::keyClick(box, key, mods(key));
            EXPECT_EQ(count.n, 0) << dlg->objectName().toStdString() << " "
                                  << box->objectName().toStdString();
        }
    }
    EXPECT_GT(boxes, 0) << dlg->objectName().toStdString();
    EXPECT_TRUE(dlg->isVisible());
}

// A modal dialog is closed by now; one that a failing check left open is closed here, so
// that the walk goes on.
void closed(QDialog* d) {
    EXPECT_FALSE(d->isVisible()) << d->objectName().toStdString();
    if (d->isVisible()) d->reject();
}

} // namespace

// Every dialog of the editor with push buttons, walked as a user does with the keyboard.
TEST(DialogKeys, EnterPressesTheFocusedButtonAndNoneFromABox) {
    App a;
    a.settings.save("Settaggi", "COM1Device", a.dir.file("no-port"));
    int modal = 0;

    // Copy Group and Autolink, modeless, with boxes.
    QPointer<CopyGroupDialog> copy;
    auto open_copy = [&] {
        a.w.action(Menu::Modify, 2)->trigger();
        copy = a.w.findChild<CopyGroupDialog*>();
        return copy != nullptr;
    };
    ASSERT_TRUE(open_copy());
    enter_in_boxes_presses_nothing(copy);
    EXPECT_EQ(enter_on(copy->cancel_button(), Qt::Key_Enter), 1);
    EXPECT_FALSE(copy && copy->isVisible());
    ASSERT_TRUE(open_copy());
    EXPECT_EQ(enter_on(copy->ok_button(), Qt::Key_Escape), 0); // Esc closes the dialog, presses nothing
    EXPECT_FALSE(copy && copy->isVisible());
    ASSERT_TRUE(open_copy());
    EXPECT_EQ(enter_on(copy->ok_button()), 1);
    if (copy) copy->close();

    a.w.action(Menu::Link, 2)->trigger();
    QPointer<AutolinkDialog> autolink = a.w.findChild<AutolinkDialog*>();
    ASSERT_TRUE(autolink);
    enter_in_boxes_presses_nothing(autolink);
    EXPECT_EQ(enter_on(autolink->cancel_button(), Qt::Key_Enter), 1);
    EXPECT_FALSE(autolink && autolink->isVisible());

    // The about box, modeless.
    a.w.action(Menu::Help, 1)->trigger();
    QPointer<AboutBox> about = a.w.findChild<AboutBox*>();
    ASSERT_TRUE(about);
    EXPECT_EQ(enter_on(about->findChild<QPushButton*>("cmdOK")), 1);
    EXPECT_FALSE(about && about->isVisible());

    // Link Parameters and the variable editor, modal.
    on_next_modal<LinkParametersDialog>([&](LinkParametersDialog* d) {
        ++modal;
        EXPECT_EQ(enter_on(d->ok_button(), Qt::Key_Enter), 1);
        closed(d);
    });
    a.w.action(Menu::Link, 3)->trigger();
    on_next_modal<VarEditor>([&](VarEditor* d) {
        ++modal;
        enter_in_boxes_presses_nothing(d);
        EXPECT_EQ(enter_on(d->button(1)), 1); // Cancel
        closed(d);
    });
    DisplayWidget* disp = a.w.editor()->display();
    QTest::mouseDClick(disp, Qt::LeftButton, {}, disp->cell_origin(3) + QPoint(5, 5));
    EXPECT_EQ(a.p.page_store[0][0].var_count, 0);

    // The transfers: Start of the download fails on the line and leaves Cancel focused. A
    // letter presses nothing; a held Enter presses Start once, and its repeats not Cancel.
    a.prompt.messages.clear();
    on_next_modal<TransferDialog>([&](TransferDialog* d) {
        ++modal;
        EXPECT_EQ(enter_on(d->start_button(), Qt::Key_S), 0);
        EXPECT_EQ(held_enter_on(d->start_button()), 1);
        EXPECT_EQ(a.prompt.messages.size(), 1u); // the port that does not open
        EXPECT_EQ(enter_on(d->cancel_button(), Qt::Key_Enter, /*as_is=*/true), 1);
        closed(d);
    });
    show_download_dialog(a.c, a.w.serial(), &a.w);
    for (auto show : {show_upload_dialog, show_recipe_download_dialog, show_recipe_upload_dialog}) {
        on_next_modal<TransferDialog>([&](TransferDialog* d) {
            ++modal;
            EXPECT_EQ(enter_on(d->cancel_button(), Qt::Key_Enter), 1);
            closed(d);
        });
        show(a.c, a.w.serial(), &a.w);
    }

    // EEPROM read: once the file is chosen, Start has the focus and Enter presses it; the
    // write's file does not exist, and only Cancel is left.
    a.prompt.messages.clear();
    a.prompt.files = {a.dir.file("ee.s19"), a.dir.file("none.s19")};
    for (auto show : {show_eeprom_read_dialog, show_eeprom_write_dialog}) {
        on_next_modal<EepromDialog>([&](EepromDialog* d) {
            QTimer::singleShot(0, d, [&, d] { // after the dialog took its file
                ++modal;
                if (d->start_button()->isEnabled()) {
                    EXPECT_EQ(enter_on(d->start_button(), Qt::Key_Return, /*as_is=*/true), 1);
                } else {
                    EXPECT_EQ(enter_on(d->cancel_button(), Qt::Key_Enter), 1);
                }
                closed(d);
            });
        });
        show(a.c, a.w.serial(), &a.w);
    }
    EXPECT_EQ(a.prompt.messages.size(), 2u); // the port of the read, the write's missing file

    // Compare: Enter on the focused Cancel presses Cancel; Enter on no button presses Start,
    // the default; the compare's end leaves Exit focused.
    for (int how = 0; how < 2; ++how) {
        on_next_modal<CompareDialog>([&, how](CompareDialog* d) {
            ++modal;
            EXPECT_TRUE(d->start_button()->isDefault());
            if (how == 0) {
                EXPECT_EQ(enter_on(d->cancel_button()), 1);
            } else {
                PressCount start({d->start_button()});
                QTest::keyClick(d->info(), Qt::Key_Return);
                EXPECT_EQ(start.n, 1);
                EXPECT_EQ(enter_on(d->exit_button(), Qt::Key_Enter, /*as_is=*/true), 1);
            }
            closed(d);
        });
        show_compare_dialog(a.c, a.w.serial(), &a.w);
    }
    EXPECT_EQ(modal, 10);
    EXPECT_TRUE(a.p.port_idle);
}

// File > New: the chooser opens with the focus on the current model; the arrow keys move
// the choice, Space keeps it, and Enter on OK takes it.
TEST(DialogKeys, TheModelChooserOpensOnTheCheckedModelAndTheArrowsChoose) {
    App a;
    on_next_modal<ModelChooser>([](ModelChooser* d) {
        ASSERT_TRUE(d->option(5)->isChecked());
        EXPECT_EQ(QApplication::focusWidget(), d->option(5));
        auto key = [](Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); };
        key(Qt::Key_Space);
        EXPECT_TRUE(d->option(5)->isChecked());
        key(Qt::Key_Down);
        EXPECT_TRUE(d->option(6)->isChecked() && d->option(6)->hasFocus());
        key(Qt::Key_Up);
        key(Qt::Key_Up);
        EXPECT_TRUE(d->option(4)->isChecked() && d->option(4)->hasFocus());
        EXPECT_EQ(d->selected(), 4);
        EXPECT_EQ(enter_on(d->ok_button()), 1);
        closed(d);
    });
    a.p.prj_modified = false;
    a.w.action(Menu::File, 0)->trigger();
    EXPECT_EQ(a.p.kx_type, model_by_option(4)->key);
}
