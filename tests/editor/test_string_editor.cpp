// The global string editor driven as a user does: Strings > Edit, the tabs, the toolbar,
// Enter to edit a text in place, typing and pasting, Esc and the close box.
#include "core/store.h"
#include "editor/string_editor.h"
#include "support/app_rig.h"
#include "support/round_trip.h"

#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

using namespace kx;
using test::App;
using test::on_next_modal;

namespace {

// Two languages with three strings each: "A0" "B0" "C0" and "A1" "B1" "C1".
struct TwoLanguages : App {
    explicit TwoLanguages(const std::string& lingua = "") : App(lingua) {
        p.n_lang = 2;
        p.language_names[1] = "English";
        p.n_strings = 3;
        for (int l = 0; l < 2; ++l)
            for (int k = 0; k < 3; ++k) p.global_strings[l][k] = std::string(1, 'A' + k) + std::to_string(l);
    }
    // Opens the editor by its menu and runs `act` on it.
    void edit(std::function<void(StringEditor&)> act) {
        on_next_modal<StringEditor>([act](StringEditor* dlg) {
            act(*dlg);
            if (dlg->isVisible()) dlg->button("Esci")->trigger();
        });
        w.action(Menu::Strings, 0)->trigger();
    }
};

QStringList column(QTableWidget* t, int col) {
    QStringList out;
    for (int r = 0; r < t->rowCount(); ++r) out << t->item(r, col)->text();
    return out;
}

int selected(QTableWidget* t) {
    const auto rows = t->selectionModel()->selectedRows();
    return rows.isEmpty() ? 0 : rows.first().row() + 1;
}

void click_row(QTableWidget* t, int row) {
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualItemRect(t->item(row - 1, 0)).center());
}

// Clicks a row, opens its in-place editor with Enter and replaces the text by typing it
// (or pasting it); returns what the editor shows before Enter ends the edit (unless the
// edit is left open).
QString edit_row(QTableWidget* t, int row, const QString& text, bool paste = false, bool enter = true) {
    click_row(t, row);
    QTest::keyClick(t, Qt::Key_Return);
    QLineEdit* e = nullptr;
    for (auto* c : t->findChildren<QLineEdit*>("StringCellEditor"))
        if (c->isVisible()) e = c;
    if (!e) return "no editor";
    e->selectAll();
    if (paste) e->insert(text);
    else QTest::keyClicks(e, text);
    const QString shown = e->text();
    if (!enter) return shown;
    QTest::keyClick(e, Qt::Key_Return);
    QApplication::processEvents(); // the list takes the text from the event loop
    return shown;
}

} // namespace

// Insert and delete act on every language; the selection follows the row the user sees.
TEST(StringEditor, OneTabPerLanguageAndTheRowCommandsActInEvery) {
    TwoLanguages a;
    a.edit([&a](StringEditor& d) {
        for (int l = 2; l < 6; ++l) EXPECT_FALSE(d.tabs()->isTabVisible(l)) << l;
        EXPECT_EQ(d.tabs()->tabText(1), "English");

        click_row(d.list(0), 2);
        d.button("Aggiungi")->trigger();
        for (int l = 0; l < 2; ++l) {
            EXPECT_EQ(column(d.list(l), 0),
                      (QStringList{QString("A%1").arg(l), "", QString("B%1").arg(l), QString("C%1").arg(l)}));
            EXPECT_EQ(column(d.list(l), 1), (QStringList{"0", "1", "2", "3"}));
        }
        EXPECT_EQ(selected(d.list(0)), 2); // the new empty row
        click_row(d.list(0), 4);
        // A click on the other tab; the list shown there takes the focus.
        QApplication::setActiveWindow(&d);
        d.list(0)->setFocus();
        QTest::mouseClick(d.tabs()->tabBar(), Qt::LeftButton, {}, d.tabs()->tabBar()->tabRect(1).center());
        EXPECT_EQ(d.tabs()->currentIndex(), 1);
        EXPECT_EQ(selected(d.list(1)), 4); // the same string number on the other tab

        d.button("Cancella")->trigger();
        EXPECT_EQ(column(d.list(0), 0), (QStringList{"A0", "", "B0"}));
        EXPECT_EQ(selected(d.list(1)), 3); // the new last row
        for (int k = 0; k < 3; ++k) d.button("Cancella")->trigger();
        EXPECT_EQ(d.list(1)->rowCount(), 0);
        EXPECT_EQ(selected(d.list(1)), 0);
        const int beeps = a.prompt.beeps;
        d.button("Cancella")->trigger();
        EXPECT_EQ(a.prompt.beeps, beeps + 1);
        d.button("Appendi")->trigger();
        EXPECT_EQ(selected(d.list(1)), 1);
    });
    EXPECT_EQ(a.p.n_strings, 1);
    EXPECT_TRUE(a.p.prj_modified);
    test::round_trip(a.p);
}

TEST(StringEditor, TypedAndPastedTextKeepsTheRowWidthAndNoControls) {
    TwoLanguages a;
    a.edit([](StringEditor& d) {
        d.tabs()->setCurrentIndex(1);
        EXPECT_EQ(edit_row(d.list(1), 1, QString(45, 'x')).size(), 40); // a 40-column display
        EXPECT_EQ(d.list(1)->item(0, 2)->text(), "40");
        // A paste of two lines with a tab and a character the code page lacks.
        EXPECT_EQ(edit_row(d.list(1), 2, QString::fromUtf8("Pompa\r\n\tferma \u2713 \u20ac"), true),
                  QString::fromUtf8("Pompaferma ? \u20ac"));
        edit_row(d.list(1), 3, "Motore", false, false); // still open when Exit and Save is clicked
    });
    EXPECT_EQ(a.p.global_strings[1][0], std::string(40, 'x'));
    auto q = test::round_trip(a.p);
    EXPECT_EQ(q->global_strings[1][1], "Pompaferma ? \x80");
    EXPECT_EQ(q->global_strings[1][2], "Motore");
}

TEST(StringEditor, EscAndTheCloseBoxAskAfterAnEditAndOnlyYesKeepsIt) {
    for (int how = 0; how < 4; ++how) {
        TwoLanguages a;
        a.prompt.answers = {how < 2 ? kAnsCancel : kAnsYes};
        a.edit([how](StringEditor& d) {
            edit_row(d.list(0), 1, "Nuovo");
            if (how % 2 == 0) QTest::keyClick(d.list(0), Qt::Key_Escape);
            else d.close(); // the window's close box
            EXPECT_FALSE(d.isVisible());
        });
        EXPECT_EQ(a.prompt.last_text(), "Salvo le modifiche alle stringhe in memoria?") << how;
        EXPECT_EQ(a.p.global_strings[0][0], how < 2 ? "A0" : "Nuovo") << how;
        test::round_trip(a.p);
    }
}

// A row of the widest display (40 x 4) in wide letters shows whole in the text column.
TEST(StringEditor, TheTextColumnHoldsAFullRowOfTheWidestDisplay) {
    TwoLanguages a;
    a.p.global_strings[0][0] = std::string(40, 'W');
    a.edit([&](StringEditor& dlg) {
        QTableWidget* t = dlg.list(0);
        const int margins = 2 * (t->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, t) + 1);
        EXPECT_GE(t->columnWidth(0), t->fontMetrics().horizontalAdvance(t->item(0, 0)->text()) + margins);
        EXPECT_LE(t->columnViewportPosition(0) + t->columnWidth(0), t->viewport()->width());
    });
}
