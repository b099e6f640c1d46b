// The main and editor windows driven as a user does: menus, toolbar, dialogs, keys.
#include "app/dialogs.h"
#include "app/main_window.h"
#include "core/context.h"
#include "editor/display_widget.h"
#include "editor/editor_window.h"
#include "editor/glyphs.h"
#include "platform/api/scripted_prompt.h"
#include "platform/qt_pump.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace kx;

namespace {

struct App {
    Project p;
    ScriptedPrompt prompt;
    MemorySettings settings;
    QtPump pump;
    std::string dir;
    Ctx c;
    MainWindow w;

    explicit App(const std::string& lingua = "")
        : dir(make_dir()), c(p, prompt, settings, pump, dir), w((seed(lingua), c)) {
        w.show();
        w.load();
    }
    ~App() { std::filesystem::remove_all(dir); }

    void seed(const std::string& lingua) {
        if (!lingua.empty()) settings.save("Settaggi", "Lingua", lingua);
    }
    static std::string make_dir() {
        static int n = 0;
        auto d = std::filesystem::temp_directory_path() / ("kxgui-" + std::to_string(getpid()) + "-" + std::to_string(++n));
        std::filesystem::create_directories(d);
        return d.string();
    }
    QString caption() const { return QString::fromStdString("Win Mivor -  (" + p.project_path + ")"); }
};

// Runs `act` on the next modal dialog once it is shown.
void on_next_modal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* m = QApplication::activeModalWidget();
        if (m) act(m);
        else on_next_modal(act);
    });
}

} // namespace

TEST(MainWindow, StartsWithTheEmptyProjectAndTheExactCaption) {
    App a;
    EXPECT_EQ(a.w.windowTitle(), a.caption());
    EXPECT_EQ(a.w.top_menu(0)->title(), "&File");
    EXPECT_EQ(a.w.top_menu(4)->title(), "&Trasferimenti");
    EXPECT_EQ(a.w.action(Menu::File, 3)->text(), "Salva &con Nome");
    EXPECT_TRUE(a.w.action(Menu::File, 4)->isSeparator());
    EXPECT_FALSE(a.w.action(Menu::File, 7)->isVisible());
    EXPECT_FALSE(a.w.action(Menu::Modify, 1)->isEnabled());
    EXPECT_TRUE(a.w.action(Menu::Com, 0)->isChecked());
    EXPECT_EQ(a.w.toolbar()->actions().size(), 13);   // eleven buttons and two separators

    EditorWindow* e = a.w.editor();
    EXPECT_EQ(e->display()->cell_count(), 160);
    EXPECT_EQ(e->display()->size(), QSize(529, 77));
    EXPECT_EQ(e->label(Label::Type)->text(), "Tipo  KXB_5560");
    EXPECT_EQ(e->label(Label::Mode)->text(), "Modo HEX");
    EXPECT_EQ(e->lang_list()->count(), 1);
    EXPECT_EQ(e->link_box(2)->text(), "0");
    EXPECT_TRUE(e->blink_timer()->isActive());
    EXPECT_EQ(e->blink_timer()->interval(), 400);
    EXPECT_EQ(e->grid()->columnCount(), 10);
}

TEST(MainWindow, LanguageMenuSwitchesEveryCaptionAtOnce) {
    App a;
    a.w.action(Menu::Language, 1)->trigger();
    EXPECT_EQ(a.settings.get("Settaggi", "Lingua"), "1");
    EXPECT_EQ(a.w.top_menu(1)->title(), "&Modify");
    EXPECT_EQ(a.w.action(Menu::Transfer, 2)->text(), "EEprom &Read");
    EXPECT_EQ(a.w.toolbar()->actions()[0]->toolTip(), "Align Text Left");
    EXPECT_EQ(a.w.editor()->label(Label::Type)->text(), "Type  KXB_5560");
    EXPECT_EQ(a.w.editor()->label(Label::Row)->text(), "Row: 0");
    EXPECT_EQ(a.w.action(Menu::MultiProtocol, 1)->text(), "O&FF");
    EXPECT_EQ(a.w.windowTitle(), a.caption());

    App b("1");   // the choice survives a restart
    EXPECT_EQ(b.w.top_menu(7)->title(), "?");
    EXPECT_EQ(b.w.action(Menu::Help, 1)->text(), "&Info");
}

TEST(MainWindow, CaptionStaysExactWhenTheEditorIsMaximised) {
    App a;
    a.w.editor()->parentWidget()->showNormal();
    a.w.editor()->parentWidget()->showMaximized();
    QApplication::processEvents();
    EXPECT_EQ(a.w.windowTitle(), a.caption());
}

TEST(MainWindow, ModelChooserCancelEscAndCloseBoxChangeNothing) {
    App a;
    for (int how = 0; how < 3; ++how) {
        on_next_modal([how](QWidget* m) {
            auto* dlg = qobject_cast<ModelChooser*>(m);
            ASSERT_NE(dlg, nullptr);
            EXPECT_TRUE(dlg->option(5)->isChecked());   // the current model is preselected
            dlg->option(0)->setChecked(true);
            if (how == 0) dlg->cancel_button()->click();
            else if (how == 1) QTest::keyClick(dlg, Qt::Key_Escape);
            else dlg->close();
        });
        a.w.action(Menu::File, 0)->trigger();
        EXPECT_EQ(a.p.kx_type, "KXB_5560") << how;
        EXPECT_EQ(a.w.editor()->display()->cell_count(), 160);
    }
}

TEST(MainWindow, NewProjectForASmallerModelRebuildsDisplayAndMenus) {
    App a;
    on_next_modal([](QWidget* m) {
        auto* dlg = qobject_cast<ModelChooser*>(m);
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->windowTitle(), "Tipo KX");
        EXPECT_EQ(dlg->option(0)->text(), "KXD 515");
        dlg->option(0)->setChecked(true);
        dlg->ok_button()->click();
    });
    a.w.action(Menu::File, 0)->trigger();
    EXPECT_EQ(a.p.kx_type, "KXD_515");
    EXPECT_EQ(a.w.editor()->display()->cell_count(), 32);
    EXPECT_EQ(a.w.editor()->display()->size(), QSize(217, 43));
    EXPECT_FALSE(a.w.top_menu(6)->menuAction()->isEnabled() && a.w.action(Menu::Recipes, 0)->isEnabled());
    EXPECT_FALSE(a.w.action(Menu::Transfer, 2)->isEnabled());
    EXPECT_EQ(a.w.editor()->label(Label::Mode)->text(), "Modo DEC");
}

TEST(MainWindow, ComPortAndEepromRefusal) {
    App a;
    a.w.action(Menu::Com, 4)->trigger();
    EXPECT_EQ(a.settings.get("Settaggi", "COM"), "5");
    EXPECT_TRUE(a.w.action(Menu::Com, 4)->isChecked());
    EXPECT_FALSE(a.w.action(Menu::Com, 0)->isChecked());

    a.p.kx_type = "KXD_540";   // its EEPROM entries are enabled but refuse
    a.w.menu_click(Menu::Transfer, 3);
    EXPECT_EQ(a.prompt.beeps, 1);
    EXPECT_EQ(a.prompt.last_text(), "Scritura EEprom abilitata solo sui terminali della serie KXB");
}

TEST(MainWindow, CloseAsksWhenModifiedAndCancelKeepsItOpen) {
    App a;
    a.p.prj_modified = true;
    a.prompt.answers = {kAnsCancel};
    EXPECT_FALSE(a.w.close());
    EXPECT_TRUE(a.w.isVisible());
    a.prompt.answers = {kAnsNo};
    EXPECT_TRUE(a.w.close());
}

TEST(MainWindow, AboutBoxShowsTheVersionText) {
    App a;
    a.w.action(Menu::Help, 1)->trigger();
    auto* box = a.w.findChild<AboutBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), "Informazioni");
    EXPECT_EQ(box->findChild<QLabel*>("lblVersion")->text(), "Win Mivor versione 1.7");
    QTest::keyClick(box, Qt::Key_Escape);
}

TEST(DisplayWidget, PaintsEachCellFromItsGlyphSet) {
    DisplayWidget d;
    d.layout_cells(16, 2);
    d.set_cell(17, GlyphSet::Reve, 'A');
    d.show();
    QImage shot = d.grab().toImage();
    QPoint o = d.cell_origin(17);
    EXPECT_EQ(o, QPoint(4 + 13, 4 + 17));
    EXPECT_EQ(shot.pixelColor(o), glyph_image(GlyphSet::Reve, 'A').pixelColor(0, 0));
    EXPECT_EQ(shot.pixelColor(d.cell_origin(0)), QColor(0, 0, 255));
    EXPECT_EQ(d.cell_at(o + QPoint(6, 6)), 17);
    EXPECT_EQ(d.cell_at(QPoint(1, 1)), -1);
}
