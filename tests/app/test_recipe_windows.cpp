// The two recipe windows opened from the Recipes menu and driven with the mouse and the
// keyboard as a user does; prompts scripted.
#include "core/recipefile.h"
#include "platform/api/textfile.h"
#include "recipes/recipe_config_dialog.h"
#include "recipes/recipe_data_dialog.h"
#include "support/app_rig.h"
#include <QClipboard>
#include <filesystem>

#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QToolBar>

using namespace kx;

namespace {

// The main window with a current recipe file: elements SPEED (dot 1, 5..500) and MODE
// (OMR_HEX, 0..13), blocks B in slot 4 and A in slot 9.
struct Gui : test::App {
    std::string path = dir.file("forno");

    // folder: a folder of the test's own that holds the file instead.
    explicit Gui(const std::string& lingua = "0", const std::string& folder = "") : App(lingua) {
        if (!folder.empty()) {
            std::filesystem::create_directory(dir.file(folder));
            path = dir.file(folder + "/forno");
        }
        std::string bytes = "2.8  version\r\n    2  blk_tot\r\n    2  blk_len\r\n  256  blk_start\r\n"
                            "0005 01F4 01 SPEED   \r\n0000 000D 80 MODE    \r\n";
        for (int k = 0; k < 10; ++k)
            bytes += k == 4   ? "block:     4  B          9   4\r\n  100     2\r\n"
                     : k == 9 ? "block:     9  A          9   4\r\n   50     1\r\n"
                              : "block:     " + std::to_string(k) + "             0   0\r\n    0     0\r\n";
        std::string why;
        EXPECT_TRUE(replace_file(path, bytes, "", why)) << why;
        settings.save("Ricette", "UltimoFile", path);
    }
    std::string file() const {
        std::string b;
        read_file_bytes(path, b);
        return b;
    }
};

using test::on_next_modal;

void click_cell(QTableWidget* t, int row, int col) {
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualItemRect(t->item(row, col)).center());
}

QString cell(QTableWidget* t, int row, int col) { return t->item(row, col)->text(); }

} // namespace

TEST(RecipeWindows, StructureEditorAsAUserDrivesIt) {
    Gui g;
    const std::string before = g.file();
    bool ran = false;
    on_next_modal<RecipeConfigDialog>([&](RecipeConfigDialog* dlg) {
        QTableWidget* grid = dlg->grid();
        ASSERT_EQ(grid->rowCount(), 2);
        EXPECT_EQ(cell(grid, 0, 1), "SPEED   ");

        // A click opens the name's editor with the cell's text selected; a ninth
        // character is cut; Enter stores the name in the cell.
        click_cell(grid, 0, 1);
        QLineEdit* name = dlg->cell_editor(1);
        ASSERT_TRUE(name->isVisible());
        EXPECT_EQ(name->selectedText(), "SPEED   ");
        EXPECT_FALSE(dlg->toolbar()->isEnabled());
        QTest::keyClicks(name, "LONGERNAME");
        EXPECT_EQ(name->text(), "LONGERNA");
        test::send_key(name, Qt::Key_Return, "\r");
        EXPECT_FALSE(name->isVisible());
        EXPECT_TRUE(dlg->toolbar()->isEnabled());
        EXPECT_EQ(cell(grid, 0, 1), "LONGERNA");

        // The maximum: the digit that passes 65535 is removed, a pasted number above it
        // is refused, Backspace edits, Esc keeps the cell as it was.
        click_cell(grid, 0, 4);
        QLineEdit* max = dlg->cell_editor(4);
        QTest::keyClicks(max, "70000");
        EXPECT_EQ(max->text(), "7000");
        QApplication::clipboard()->setText("99999");
        max->selectAll();
        test::send_key(max, Qt::Key_V, "\x16", Qt::ControlModifier);
        EXPECT_EQ(max->text(), "7000");
        test::send_key(max, Qt::Key_Backspace, "\x08");
        EXPECT_EQ(max->text(), "700");
        test::send_key(max, Qt::Key_Escape, "\x1b");
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_EQ(cell(grid, 0, 4), "500");

        // Enter on the grid edits the current cell too; the type cell toggles at once.
        grid->setCurrentCell(1, 2);
        test::send_key(grid, Qt::Key_Return, "\r");
        QLineEdit* dot = dlg->cell_editor(2);
        ASSERT_TRUE(dot->isVisible());
        QTest::keyClicks(dot, "5"); // replaces the selected 0: refused, the 0 comes back
        EXPECT_EQ(dot->text(), "0");
        dot->selectAll();
        QTest::keyClicks(dot, "4");
        test::send_key(dot, Qt::Key_Return, "\r");
        EXPECT_EQ(cell(grid, 1, 2), "4");
        click_cell(grid, 1, 5);
        EXPECT_EQ(cell(grid, 1, 5), "WORD");

        // Esc on the grid closes after the question; No keeps the file.
        g.prompt.answers.push_back(kAnsNo);
        test::send_key(grid, Qt::Key_Escape, "\x1b");
        EXPECT_FALSE(dlg->isVisible());
        ran = true;
    });
    g.w.action(Menu::Recipes, 0)->trigger();
    ASSERT_TRUE(ran);
    EXPECT_EQ(g.prompt.last_text(), "Salva Modifiche a file di ricette " + g.path);
    EXPECT_EQ(g.file(), before);
}

TEST(RecipeWindows, DataEditorAsAUserDrivesIt) {
    Gui g;
    bool ran = false;
    on_next_modal<RecipeDataDialog>([&](RecipeDataDialog* dlg) {
        QTableWidget* list = dlg->list();
        ASSERT_EQ(list->rowCount(), 2);
        EXPECT_EQ(cell(list, 0, 0), "50"); // A, the first name

        // Enter edits the selected row's value: 12.7 within 0..13 is stored as 12, a text
        // that is no number brings the old value back.
        auto type_value = [&](int row, const QString& text) {
            list->setFocus();
            list->setCurrentCell(row, 0);
            test::send_key(list, Qt::Key_Return, "\r");
            QWidget* editor = QApplication::focusWidget();
            ASSERT_NE(editor, list);
            auto* line = qobject_cast<QLineEdit*>(editor);
            ASSERT_TRUE(line);
            line->selectAll();
            QTest::keyClicks(line, text);
            test::send_key(line, Qt::Key_Return, "\r");
            QApplication::processEvents(); // the list commits a finished edit after the key
        };
        type_value(1, "12.7");
        EXPECT_EQ(cell(list, 1, 0), "12");
        type_value(1, "abc");
        EXPECT_EQ(cell(list, 1, 0), "12");
        EXPECT_EQ(g.prompt.beeps, 1);

        dlg->button(5)->trigger(); // Next
        EXPECT_EQ(dlg->number()->text(), "4");

        // Insert a block: it shows every element's minimum.
        g.prompt.inputs.push_back("NEW");
        dlg->button(8)->trigger();
        EXPECT_EQ(dlg->name()->text(), "NEW     ");
        EXPECT_EQ(dlg->number()->text(), "0");
        EXPECT_EQ(cell(list, 0, 0), "5");

        // Esc in the list: the question, Yes writes the file.
        g.prompt.answers.push_back(kAnsYes);
        list->setFocus();
        test::send_key(list, Qt::Key_Escape, "\x1b");
        EXPECT_FALSE(dlg->isVisible());
        ran = true;
    });
    g.w.action(Menu::Recipes, 1)->trigger();
    ASSERT_TRUE(ran);
    EXPECT_EQ(g.prompt.last_text(), "Salva modifiche a file di ricette " + g.path + " ?");
    EXPECT_NE(g.file().find("block:     0  NEW        4   0\r\n    5     0\r\n"), std::string::npos)
        << g.file();
    EXPECT_NE(g.file().find("   50    12\r\n"), std::string::npos);
}

namespace {

// Qt's warnings while a test runs (they would otherwise only reach standard error).
QStringList g_warnings;
void keep_warning(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtDebugMsg && type != QtInfoMsg) g_warnings << text;
}

} // namespace

// Enter right after a click on the selected value cell (which starts the list's own delayed
// edit) starts the edit, and Qt finds nothing to complain about.
TEST(RecipeWindows, EnterOnTheSelectedValueStartsItsEdit) {
    Gui g;
    bool ran = false;
    g_warnings.clear();
    const QtMessageHandler before = qInstallMessageHandler(keep_warning);
    on_next_modal<RecipeDataDialog>([&](RecipeDataDialog* dlg) {
        QTableWidget* list = dlg->list();
        auto editor = [] { return qobject_cast<QLineEdit*>(QApplication::focusWidget()); };
        list->setCurrentCell(1, 0);
        click_cell(list, 1, 0); // on the selected row: the list will edit it itself
        test::send_key(list, Qt::Key_Return, "\r");
        ASSERT_TRUE(QTest::qWaitFor([&] { return editor() != nullptr; }, 3000));
        EXPECT_EQ(editor()->text(), "1");
        test::send_key(editor(), Qt::Key_Escape, "\x1b");
        QApplication::processEvents();
        dlg->button(2)->trigger();
        ran = true;
    });
    g.w.action(Menu::Recipes, 1)->trigger();
    qInstallMessageHandler(before);
    ASSERT_TRUE(ran);
    EXPECT_TRUE(g_warnings.filter("edit").isEmpty()) << g_warnings.join("\n").toStdString();
}

TEST(RecipeWindows, NewAndWriteFromTheMenu) {
    Gui g;
    g.w.action(Menu::Recipes, 7)->trigger();
    EXPECT_EQ(g.p.recipe_path, g.dir.file("nuovaRicetta"));
    EXPECT_TRUE(file_exists(g.p.recipe_path));
    g.prompt.files.push_back(g.dir.file("copia"));
    g.w.action(Menu::Recipes, 5)->trigger();
    EXPECT_EQ(g.settings.get("Ricette", "UltimoFile"), g.dir.file("copia"));
    EXPECT_TRUE(file_exists(g.dir.file("copia")));
}

// The windows' titles name the recipe file as the file system has it.
TEST(RecipeWindows, TitlesKeepTheFolderNameWhole) {
    Gui g("0", "Caffè Кофе");
    QString config, data;
    on_next_modal<RecipeConfigDialog>([&](RecipeConfigDialog* dlg) {
        config = dlg->windowTitle();
        test::send_key(dlg->grid(), Qt::Key_Escape, "\x1b");
    });
    g.w.action(Menu::Recipes, 0)->trigger();
    on_next_modal<RecipeDataDialog>([&](RecipeDataDialog* dlg) {
        data = dlg->windowTitle();
        dlg->button(2)->trigger();
    });
    g.w.action(Menu::Recipes, 1)->trigger();
    const QString shown = QFile::decodeName(QByteArray::fromStdString(g.path));
    EXPECT_TRUE(shown.contains(QString::fromUtf8("Caffè Кофе/forno")));
    EXPECT_EQ(config, "Configurazione Ricette - (" + shown + ")");
    EXPECT_EQ(data, "Dati Ricetta (" + shown + ")");
}
