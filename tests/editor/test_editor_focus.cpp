// Where keys and focus go in the editor window, and what its link boxes and variable grid
// show after the user's clicks.
#include "core/store.h"
#include "editor/display_widget.h"
#include "editor/editor_window.h"
#include "support/app_rig.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include <set>

using namespace kx;
using test::App;
using test::send_key;
using test::type_text;

namespace {

// The main window, active, with pages 0..9.
struct TenPages : App {
    TenPages() {
        for (int i = 0; i < 9; ++i) w.toolbar_click("AppendPage");
        w.toolbar_click("FirstPage");
        QApplication::setActiveWindow(&w);
        QApplication::processEvents();
    }
    EditorWindow* e() { return w.editor(); }
    // Keys go where the keyboard's focus is, as under X11, once what a click started has ended.
    void type(const QString& text) {
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
        QWidget* f = QApplication::focusWidget();
        type_text(f ? f : e(), text);
        QApplication::processEvents();
    }
    std::string page_row0() const {
        std::string s;
        for (int i = 0; i < 4; ++i) s += static_cast<char>(p.display_buffer[i]);
        return s;
    }
};

QPoint cell_point(App& a, int cell) { return a.w.editor()->display()->cell_origin(cell) + QPoint(5, 5); }

} // namespace

// While links are edited no key reaches the page: neither keys sent to the window itself nor
// keys typed after a click on the background or a password option.
TEST(LinkEditingKeys, NoKeyReachesThePageWhileLinksAreEdited) {
    TenPages a;
    EditorWindow* e = a.e();
    QTest::mouseClick(e->link_arrow(1), Qt::LeftButton);
    QTest::mouseClick(e, Qt::LeftButton, {}, QPoint(3, 3));
    send_key(e, Qt::Key_Shift, {}, Qt::ShiftModifier);
    send_key(e, Qt::Key_X, "X", Qt::ShiftModifier);
    send_key(e, Qt::Key_6, "6");
    QApplication::processEvents();
    EXPECT_EQ(a.page_row0(), "    ");
    EXPECT_EQ(a.p.link_buffer[1], 6); // "06"
    send_key(QApplication::focusWidget(), Qt::Key_Escape, "\x1b");

    enum Where { Background, PwdOn };
    for (Where where : {Background, PwdOn}) {
        QTest::mouseClick(e->link_arrow(1), Qt::LeftButton);
        QApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), e->link_box(1)) << where;
        if (where == Background) QTest::mouseClick(e, Qt::LeftButton, {}, QPoint(3, 3));
        else QTest::mouseClick(e->pwd_option(where == PwdOn), Qt::LeftButton);
        a.type("X5");
        EXPECT_EQ(a.page_row0(), "    ") << where;
        EXPECT_EQ(e->link_box(1)->text(), "5") << where; // X refused, 5 taken
        EXPECT_EQ(a.p.link_pwd, where == PwdOn ? 1 : 0);
        send_key(QApplication::focusWidget(), Qt::Key_Escape, "\x1b");
        EXPECT_FALSE(a.p.link_edit) << where;
    }
    a.type("AB"); // editing ended: typing writes the page again
    EXPECT_EQ(a.page_row0(), "AB  ");
}

// After Esc, and after a project with links off is opened while links are edited, every box
// shows the idle state: disabled, with no text selected, whichever box had the focus.
TEST(LinkEditingKeys, WhenEditingEndsNoLinkBoxLooksSelected) {
    TenPages a;
    EditorWindow* e = a.e();
    for (int from : {0, 2, 3}) {
        QTest::mouseClick(e->link_arrow(0), Qt::LeftButton);
        QApplication::processEvents();
        for (int i = 0; i < from; ++i) send_key(QApplication::focusWidget(), Qt::Key_Tab, "\t");
        QApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), e->link_box(from));
        send_key(e->link_box(from), Qt::Key_Escape, "\x1b");
        QApplication::processEvents();
        EXPECT_FALSE(a.p.link_edit);
        EXPECT_EQ(QApplication::focusWidget(), e);
        for (int k = 0; k < 4; ++k) {
            EXPECT_FALSE(e->link_box(k)->isEnabled()) << from << k;
            EXPECT_FALSE(e->link_box(k)->hasSelectedText()) << from << k;
        }
    }
    // A project with links off, opened while links are edited, ends the editing as visibly.
    a.p.link_on = false;
    a.w.action(Menu::File, 2)->trigger(); // Save, with links off
    a.p.link_on = true;
    QTest::mouseClick(e->link_arrow(2), Qt::LeftButton);
    a.prompt.files = {a.p.project_path};
    a.w.action(Menu::File, 1)->trigger(); // Open
    ASSERT_FALSE(a.p.link_on);
    QApplication::processEvents();
    for (int k = 0; k < 4; ++k) EXPECT_FALSE(e->link_box(k)->isEnabled()) << k;
    a.type("K"); // typing goes to the page
    EXPECT_EQ(a.page_row0(), "K   ");
}

// Choosing a language in the list hands the keyboard back to the page; no other control of
// the window (a password option above all) is left with the focus.
TEST(LanguageListKeys, ChoosingALanguageGivesTheFocusBackToThePage) {
    TenPages a;
    a.prompt.inputs = {std::string("English")};
    a.w.action(Menu::Kxlang, 0)->trigger();
    QComboBox* list = a.e()->lang_list();
    ASSERT_EQ(list->count(), 2);
    for (int to : {0, 1}) {
        list->setFocus(Qt::MouseFocusReason);
        send_key(list, to == 0 ? Qt::Key_Up : Qt::Key_Down);
        EXPECT_EQ(a.p.act_lang, to);
        QApplication::processEvents();
        EXPECT_EQ(QApplication::focusWidget(), a.e()) << to;
    }
    a.type("Q");
    EXPECT_EQ(a.page_row0(), "Q   ");
}

namespace {

// The grid's marking, one letter a data row: M marked (blue on white), g navy on grey,
// p navy on the grid's own background, ? any other look or cells that disagree.
std::string marking(QTableWidget* g) {
    std::string rows;
    for (int r = 0; r < g->rowCount(); ++r) {
        std::set<char> looks;
        for (int col = 0; col < g->columnCount(); ++col) {
            const QTableWidgetItem* it = g->item(r, col);
            const QColor fg = it && !it->text().isEmpty() ? it->foreground().color() : QColor();
            const QColor bg =
                it && it->background().style() != Qt::NoBrush ? it->background().color() : QColor();
            const bool navy = !fg.isValid() || fg == QColor(0, 0, 128);
            if (bg == QColor(255, 255, 255))
                looks.insert(!fg.isValid() || fg == QColor(0, 0, 255) ? 'M' : '?');
            else looks.insert(!navy ? '?' : bg == QColor(224, 224, 224) ? 'g' : bg.isValid() ? '?' : 'p');
        }
        rows += looks.size() == 1 ? *looks.begin() : '?';
    }
    return rows;
}

} // namespace

// A right click on a variable marks its row; the marking stays whole while the page's
// variables move, and goes when another page's grid is shown.
TEST(VariableGridMarking, MarkingAlwaysShowsTheSelectedVariable) {
    TenPages a;
    for (int k = 1; k <= 3; ++k) {
        variable_record v;
        v.pos = static_cast<std::int16_t>((k - 1) * 40 + 2);
        v.digits = 4;
        a.p.page_store[0][0].set_var(k, v);
        for (int cell = v.pos; cell < v.pos + 4; ++cell) a.p.page_store[0][0].chars[cell] = 128;
    }
    a.p.page_store[0][0].var_count = 3;
    load_page(a.c, 0, 0);
    QTableWidget* g = a.e()->grid();
    DisplayWidget* d = a.e()->display();
    EXPECT_EQ(marking(g), "pppppppp");
    QTest::mouseClick(d, Qt::RightButton, {}, cell_point(a, 43));
    EXPECT_EQ(marking(g), "gMgggggg");

    // Delete at a row start moves that row's variable one cell left: its grid row is written again.
    for (int cell : {0, 40}) {
        QTest::mouseClick(d, Qt::LeftButton, {}, cell_point(a, cell));
        send_key(QApplication::focusWidget(), Qt::Key_Delete, "\x7f");
        EXPECT_EQ(marking(g), "gMgggggg") << cell;
    }
    ASSERT_EQ(a.p.variable_table[2].pos, 41);
    QTest::mouseClick(d, Qt::RightButton, {}, cell_point(a, 83)); // another variable
    EXPECT_EQ(marking(g), "ggMggggg");
    a.w.toolbar_click("PageDown"); // another page: nothing is marked
    a.w.toolbar_click("PageUp");
    EXPECT_EQ(marking(g), "pppppppp");
}
