// Enter in the string editor's in-place editor ends the edit and starts no other.
#include "editor/string_editor.h"
#include "support/app_rig.h"

#include <QLineEdit>
#include <QTableWidget>

using namespace kx;
using test::App;
using test::on_next_modal;

namespace {

QStringList g_warnings;
void keep_warning(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtDebugMsg && type != QtInfoMsg) g_warnings << text;
}

QLineEdit* cell_editor() { return qobject_cast<QLineEdit*>(QApplication::focusWidget()); }

} // namespace

// The Enter that ends an edit goes up to the list as well; it stores the text and Qt finds
// nothing to complain about (no second edit is asked for while the first one closes).
TEST(StringEditorEnter, EnterInTheCellEditorStoresTheTextAndStartsNoNewEdit) {
    App a;
    a.p.n_strings = 2;
    g_warnings.clear();
    const QtMessageHandler before = qInstallMessageHandler(keep_warning);
    QString after_enter = "not run";
    on_next_modal<StringEditor>([&](StringEditor* dlg) {
        QTableWidget* t = dlg->list(0);
        t->setFocus();
        t->selectRow(1);
        test::send_key(t, Qt::Key_Return, "\r");
        ASSERT_TRUE(cell_editor());
        cell_editor()->selectAll();
        test::type_text(cell_editor(), "Motore");
        test::send_key(cell_editor(), Qt::Key_Return, "\r");
        QApplication::processEvents();
        after_enter = t->item(1, 0)->text();
        EXPECT_EQ(QApplication::focusWidget(), t);
        dlg->button("Esci")->trigger();
    });
    a.w.action(Menu::Strings, 0)->trigger();
    qInstallMessageHandler(before);
    EXPECT_EQ(after_enter.toStdString(), "Motore");
    EXPECT_EQ(a.p.global_strings[0][1], "Motore");
    EXPECT_TRUE(g_warnings.filter("edit").isEmpty()) << g_warnings.join("\n").toStdString();
}
