// The variable editor, the link boxes, the password options and the page toolbar keys,
// driven as a user does: mouse on the display, real key texts in the boxes, prompts scripted.
#include "editor/var_editor.h"

#include "app/dialogs.h"
#include "core/store.h"
#include "editor/display_widget.h"
#include "editor/editor_window.h"
#include "support/app_rig.h"
#include "support/round_trip.h"
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

using namespace kx;
using kx::test::App;
using kx::test::on_next_modal;

namespace {

using test::paste_over;
using test::send_key;
using test::type_text;

QPoint cell_point(App& a, int cell) { return a.w.editor()->display()->cell_origin(cell) + QPoint(5, 5); }

// Double-clicks display cell `cell`; `act` runs in the variable editor while it is open.
void edit_cell(App& a, int cell, std::function<void(VarEditor*)> act) {
    bool ran = false;
    on_next_modal<VarEditor>([&](VarEditor* dlg) {
        ran = true;
        act(dlg);
        if (dlg->isVisible()) dlg->close();
    });
    DisplayWidget* d = a.w.editor()->display();
    QTest::mouseClick(d, Qt::LeftButton, {}, cell_point(a, cell));
    QTest::mouseDClick(d, Qt::LeftButton, {}, cell_point(a, cell));
    EXPECT_TRUE(ran);
}

void write_page(App& a, int cell, const std::string& text) {
    QTest::mouseClick(a.w.editor()->display(), Qt::LeftButton, {}, cell_point(a, cell));
    type_text(a.w.editor(), QString::fromStdString(text));
}

// What the display shows, cell by cell; the blinking cursor cell is left out.
std::vector<std::pair<GlyphSet, int>> shown(App& a) {
    std::vector<std::pair<GlyphSet, int>> v;
    DisplayWidget* d = a.w.editor()->display();
    for (int i = 0; i < d->cell_count(); ++i)
        v.push_back(i == a.p.cursor_pos ? std::pair(GlyphSet::Char, -1)
                                        : std::pair(d->cell_set(i), d->cell_image(i)));
    return v;
}

} // namespace

TEST(VarEditorWindow, NewVariableTypedIntoTheBoxesIsStoredAndSurvivesTheFile) {
    App a;
    a.p.multi_protocol = 1;
    write_page(a, 40, "Set:");
    edit_cell(a, 45, [&](VarEditor* dlg) {
        EXPECT_TRUE(dlg->com_frame()->isVisible());
        EXPECT_EQ(dlg->box(VarBox::Col)->text(), "5");
        EXPECT_EQ(dlg->box(VarBox::Row)->text(), "1");
        EXPECT_EQ(a.w.editor()->display()->cell_set(45), GlyphSet::High); // the preview

        QLineEdit* addr = dlg->box(VarBox::Address);
        addr->selectAll();
        type_text(addr, "1G2");
        EXPECT_EQ(addr->text(), "12");
        send_key(addr, Qt::Key_Backspace, "\x08");
        type_text(addr, "FFFF1");
        EXPECT_EQ(addr->text(), "1FFF"); // the digit that makes it too big is cut

        dlg->type_list()->setCurrentIndex(1); // INT: 4 digits, 3 decimals
        EXPECT_EQ(dlg->dec_list()->currentText(), "3");
        dlg->dec_list()->setCurrentIndex(1);
        QLineEdit* col = dlg->box(VarBox::Col);
        col->selectAll();
        type_text(col, "7");
        QTest::mouseClick(dlg->step_button(true, true), Qt::LeftButton); // one cell right
        EXPECT_EQ(col->text(), "8");
        dlg->access_option(1)->click();
        dlg->com_option(1)->click();
        dlg->button(0)->click();
        EXPECT_FALSE(dlg->isVisible());
    });
    ASSERT_EQ(a.p.n_vars, 1);
    EXPECT_EQ(a.p.variable_table[1], (variable_record{1, 1, 48, 4, 1 | kComBit, 0x1FFF, 0, 0}));
    EXPECT_EQ(a.w.editor()->display()->cell_image(52), kCodeVarPoint);
    EXPECT_EQ(a.w.editor()->display()->cell_set(49), GlyphSet::Char);
    a.w.toolbar_click("AppendPage"); // leaving the page stores the variable with it
    EXPECT_EQ(test::round_trip(a.p)->page_store[0][0].var(1),
              (variable_record{1, 1, 48, 4, 1 | kComBit, 0x1FFF, 0, 0}));
}

// Boxes at their limit and one past it, pasted with Ctrl+V: a text that fits is taken whole;
// one character more puts back what the box showed, and the fields keep their values.
TEST(VarEditorWindow, APastedTextPastTheLimitPutsTheBoxBack) {
    App a;
    const var_edit_state& e = a.p.var_edit;
    auto fields = [&e] { return std::tuple(e.ed_pos, e.ed_digits, e.ed_address, e.ed_min, e.ed_max); };
    for (const bool hex : {true, false}) {
        a.p.num_mode = hex ? "HEX" : "DEC";
        edit_cell(a, 45, [&](VarEditor* dlg) {
            dlg->type_list()->setCurrentIndex(2); // STRING: digits typed, at most 40
            const std::tuple<VarBox, const char*, const char*> boxes[] = {
                {VarBox::Address, hex ? "FFFF" : "65535", hex ? "1FFFF" : "70000"},
                {VarBox::Max, hex ? "FFFF" : "65535", hex ? "10000" : "65536"},
                {VarBox::Row, "3", "4"},
                {VarBox::Digits, "4", "41"},
                {VarBox::Col, "36", "37"}, // 4 cells before the row's end
            };
            for (const auto& [which, fits, past] : boxes) {
                QLineEdit* box = dlg->box(which);
                paste_over(box, fits);
                EXPECT_EQ(box->text(), fits) << a.p.num_mode;
                const auto kept = fields();
                paste_over(box, past);
                EXPECT_EQ(box->text(), fits) << a.p.num_mode << " " << past;
                EXPECT_TRUE(fields() == kept) << a.p.num_mode << " " << past;
            }
        });
    }
    EXPECT_EQ(a.p.n_vars, 0);
}

// STRING and ASCII have their digits typed; the box proposes a quarter of the row: 10 on 40
// columns, 5 on 20 (with the long and the short type list), 4 on 16. OK keeps the proposal.
TEST(VarEditorWindow, TypedDigitsProposeAQuarterOfTheRow) {
    App a;
    const struct {
        int option; // in the model chooser
        const char* model;
        int digits;
    } models[] = {{5, "KXB_5560", 10}, {4, "KXB_540", 5}, {2, "KXE_540", 5}, {0, "KXD_515", 4}};
    for (const auto& m : models) {
        if (a.p.prj_modified) a.prompt.answers = {kAnsNo}; // the variables are not saved
        on_next_modal<ModelChooser>([&m](ModelChooser* dlg) {
            dlg->option(m.option)->setChecked(true);
            dlg->ok_button()->click();
        });
        a.w.action(Menu::File, 0)->trigger();
        ASSERT_EQ(a.p.kx_type, m.model);
        for (const std::string type : {"STRING", "ASCII"}) {
            const int cell = type == "STRING" ? 0 : a.p.n_cols; // a row of its own
            edit_cell(a, cell, [&](VarEditor* dlg) {
                QComboBox* types = dlg->type_list();
                types->setFocus();
                for (int i = 0; i < types->count() && types->currentText().toStdString() != type; ++i)
                    send_key(types, Qt::Key_Down);
                ASSERT_EQ(types->currentText().toStdString(), type);
                QLineEdit* digits = dlg->box(VarBox::Digits);
                EXPECT_TRUE(digits->isVisibleTo(dlg) && !dlg->digits_list()->isVisibleTo(dlg));
                EXPECT_EQ(digits->text().toStdString(), std::to_string(m.digits)) << m.model << " " << type;
                EXPECT_EQ(a.p.var_edit.ed_digits, m.digits) << m.model << " " << type;
                dlg->button(0)->click();
            });
            ASSERT_GE(a.p.n_vars, 1);
            EXPECT_EQ(a.p.variable_table[a.p.n_vars].digits, m.digits) << m.model << " " << type;
        }
    }
}

TEST(VarEditorWindow, EscCancelAndTheCloseBoxLeaveThePageAsItWas) {
    App a;
    write_page(a, 0, "Temperatura");
    edit_cell(a, 20, [](VarEditor* dlg) { dlg->button(0)->click(); });
    ASSERT_EQ(a.p.n_vars, 1);

    for (int how = 0; how < 3; ++how) {
        for (int cell : {2, 20}) { // a new variable over the text, the existing one
            QTest::mouseClick(a.w.editor()->display(), Qt::LeftButton, {}, cell_point(a, cell));
            const auto buffer = a.p.display_buffer;
            const auto cells = shown(a);
            edit_cell(a, cell, [&](VarEditor* dlg) {
                dlg->type_list()->setCurrentIndex(2); // STRING: 10 typed digits
                EXPECT_TRUE(dlg->box(VarBox::Digits)->isVisibleTo(dlg));
                QTest::mouseClick(dlg->step_button(false, true), Qt::LeftButton); // row up: wraps
                QTest::mouseClick(dlg->step_button(false, false), Qt::LeftButton);
                QTest::mouseClick(dlg->step_button(false, false), Qt::LeftButton);
                if (how == 0) send_key(dlg->box(VarBox::Address), Qt::Key_Escape, "\x1b");
                else if (how == 1) dlg->button(1)->click();
                else dlg->close();
            });
            EXPECT_EQ(a.p.display_buffer, buffer) << how << " " << cell;
            EXPECT_EQ(shown(a), cells) << how << " " << cell;
            EXPECT_EQ(a.p.n_vars, 1);
            EXPECT_EQ(a.p.variable_table[1].pos, 20);
            EXPECT_FALSE(a.p.var_edit_open);
        }
    }
    a.p.kx_type = "KXA_520"; // a model without variable types only beeps
    QTest::mouseDClick(a.w.editor()->display(), Qt::LeftButton, {}, cell_point(a, 3));
    EXPECT_EQ(a.prompt.beeps, 1);
    EXPECT_EQ(a.p.n_vars, 1);
}

TEST(LinkEditing, ArrowBoxesKeepToThePagesAndCycleUntilEsc) {
    App a;
    for (int i = 0; i < 3; ++i) a.w.toolbar_click("AppendPage"); // pages 0..3, page 3 shown
    EditorWindow* e = a.w.editor();
    a.p.link_on = false;
    QTest::mouseClick(e->link_arrow(0), Qt::LeftButton); // links off: the arrows do nothing
    EXPECT_FALSE(e->link_box(0)->isEnabled());
    a.p.link_on = true;
    a.p.prj_modified = false;
    QTest::mouseClick(e->link_arrow(0), Qt::LeftButton);
    ASSERT_TRUE(e->link_box(3)->isEnabled());
    EXPECT_TRUE(a.p.link_edit);

    for (int k = 0; k < 4; ++k) {
        paste_over(e->link_box(k), "2");
        paste_over(e->link_box(k), "3"); // the last page
        EXPECT_EQ(e->link_box(k)->text(), "3") << k;
        for (const char* past : {"4", "12"}) { // no such page: the box shows 3 again
            paste_over(e->link_box(k), past);
            EXPECT_EQ(e->link_box(k)->text(), "3") << k << " " << past;
            EXPECT_EQ(a.p.link_buffer[k], 3) << k << " " << past;
        }
    }
    QLineEdit* box = e->link_box(0);
    box->clear();
    type_text(box, "12"); // there is no page 12
    EXPECT_EQ(box->text(), "1");
    EXPECT_EQ(a.p.link_buffer[0], 1);
    EXPECT_TRUE(a.p.prj_modified);
    EXPECT_EQ(a.p.display_buffer[0], 32); // keys reach the box, not the page

    e->link_box(3)->setFocus();
    send_key(e->link_box(3), Qt::Key_Return, "\r");
    EXPECT_EQ(a.w.focusWidget(), e->link_box(0));
    send_key(e->link_box(2), Qt::Key_Tab, "\t");
    EXPECT_EQ(a.w.focusWidget(), e->link_box(3));
    e->link_box(1)->clear();
    send_key(e->link_box(1), Qt::Key_Escape, "\x1b");
    EXPECT_FALSE(a.p.link_edit);
    EXPECT_FALSE(e->link_box(1)->isEnabled());
    EXPECT_EQ(e->link_box(1)->text(), "3"); // an emptied box takes the current page
    EXPECT_EQ(a.p.link_buffer[1], 3);

    a.w.toolbar_click("PageUp");
    EXPECT_EQ(a.p.page_store[0][3].links[0], 1);
    EXPECT_EQ(a.p.page_store[0][3].links[1], 3);
}

// The rewriting of the links is the core's; the window shows the label and the boxes.
TEST(LinkEditing, LinkOffAsksAndTheBoxesShowTheOwnPage) {
    App a;
    for (int i = 0; i < 9; ++i) a.w.toolbar_click("AppendPage");
    a.p.link_buffer[2] = 7;
    a.prompt.answers = {kAnsCancel};
    a.w.action(Menu::Link, 1)->trigger();
    EXPECT_TRUE(a.p.link_on);
    EXPECT_EQ(a.w.editor()->label(Label::Link)->text(), "Link abilitato");
    a.prompt.answers = {kAnsYes};
    a.w.action(Menu::Link, 1)->trigger();
    EXPECT_FALSE(a.p.link_on);
    EXPECT_EQ(a.w.editor()->label(Label::Link)->text(), "Link disabilitato");
    EXPECT_EQ(a.w.editor()->link_box(2)->text(), "9");
    a.w.toolbar_click("PageUp");
    EXPECT_EQ(a.p.page_store[0][9].links[2], 9);
}

// Moving the flag with inserted and deleted pages is the page routines' own business.
TEST(PagePassword, OptionsStoreTheFlagWithThePage) {
    App a;
    a.w.toolbar_click("AppendPage");
    a.p.prj_modified = false;
    a.w.editor()->pwd_option(true)->click();
    EXPECT_EQ(a.p.link_pwd, 1);
    EXPECT_TRUE(a.p.prj_modified);
    a.w.toolbar_click("PageUp");
    EXPECT_EQ(a.p.page_store[0][1].pwd, 1);
    EXPECT_TRUE(a.w.editor()->pwd_option(false)->isChecked());
    a.w.toolbar_click("LastPage");
    EXPECT_TRUE(a.w.editor()->pwd_option(true)->isChecked());
}
