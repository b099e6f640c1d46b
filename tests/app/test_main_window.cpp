// The main and editor windows driven as a user does: menus, toolbar, dialogs, keys.
#include "app/dialogs.h"
#include "core/store.h"
#include "core/variables.h"
#include "editor/display_widget.h"
#include "editor/editor_window.h"
#include "editor/glyphs.h"
#include "support/app_rig.h"
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>

#include <QTest>
#include <QToolBar>

#include <filesystem>
#include <fstream>

using namespace kx;

using test::App;
using test::on_next_modal;

TEST(MainWindow, StartsWithTheEmptyProjectAndTheExactCaption) {
    App a;
    EXPECT_EQ(a.w.windowTitle(), a.caption());
    EXPECT_FALSE(a.w.action(Menu::Modify, 1)->isEnabled()); // nothing to paste yet
    EditorWindow* e = a.w.editor();
    EXPECT_EQ(e->display()->cell_count(), 160);
    EXPECT_EQ(e->lang_list()->count(), 1);
    EXPECT_TRUE(e->blink_timer().active());

    // The caption stays exact when the editor is maximised.
    e->parentWidget()->showNormal();
    e->parentWidget()->showMaximized();
    QApplication::processEvents();
    EXPECT_EQ(a.w.windowTitle(), a.caption());
}

TEST(MainWindow, LanguageMenuSwitchesEveryCaptionAtOnce) {
    App a;
    a.w.action(Menu::Language, 1)->trigger();
    EXPECT_EQ(a.settings.get("Settaggi", "Lingua"), "1");
    EXPECT_EQ(a.w.top_menu(1)->title(), "&Modify");
    EXPECT_EQ(a.w.action(Menu::Transfer, 2)->text(), "EEprom &Read");
    EXPECT_EQ(a.w.toolbar()->actions()[0]->toolTip(), "Align Text Left");
    EXPECT_EQ(a.w.editor()->label(Label::Row)->text(), "Row: 0");
    EXPECT_EQ(a.w.windowTitle(), a.caption());
    a.w.action(Menu::Language, 0)->trigger();
    EXPECT_EQ(a.w.editor()->label(Label::Page)->text(), "Nr. Pag. 0");

    App b("1"); // the choice survives a restart
    EXPECT_EQ(b.w.action(Menu::Help, 1)->text(), "&Info");
}

// Cancel, Esc and the close box change nothing; OK on a smaller model rebuilds the
// display and the menus.
TEST(MainWindow, ModelChooserOnlyOkStartsANewProject) {
    App a;
    for (int how = 0; how < 4; ++how) {
        on_next_modal<ModelChooser>([how](ModelChooser* dlg) {
            EXPECT_TRUE(dlg->option(5)->isChecked()); // the current model is preselected
            dlg->option(0)->setChecked(true);
            if (how == 0) dlg->cancel_button()->click();
            else if (how == 1) QTest::keyClick(dlg, Qt::Key_Escape);
            else if (how == 2) dlg->close();
            else dlg->ok_button()->click();
        });
        a.w.action(Menu::File, 0)->trigger();
        EXPECT_EQ(a.p.kx_type, how < 3 ? "KXB_5560" : "KXD_515") << how;
        EXPECT_EQ(a.w.editor()->display()->cell_count(), how < 3 ? 160 : 32);
    }
    EXPECT_FALSE(a.w.top_menu(6)->menuAction()->isEnabled() && a.w.action(Menu::Recipes, 0)->isEnabled());
    EXPECT_FALSE(a.w.action(Menu::Transfer, 2)->isEnabled());
}

// File > New, and the empty project that a refused Open leaves, start with the password of
// page 0 off, whatever the page shown before had.
TEST(MainWindow, ANewProjectStartsWithThePasswordOff) {
    App a;
    const std::string bad = a.dir.file("not_a_project.prj");
    { std::ofstream(bad, std::ios::binary) << "not a project\r\n"; }
    for (const char* road : {"new", "refused open"}) {
        a.w.editor()->pwd_option(true)->click();
        ASSERT_EQ(a.p.link_pwd, 1);
        a.prompt.answers = {kAnsNo}; // the change is not saved
        if (road == std::string("new")) {
            on_next_modal<ModelChooser>([](ModelChooser* dlg) { dlg->ok_button()->click(); });
            a.w.action(Menu::File, 0)->trigger();
        } else {
            a.prompt.files = {bad};
            a.w.action(Menu::File, 1)->trigger();
            EXPECT_NE(a.p.project_path, bad);
        }
        EXPECT_TRUE(a.w.editor()->pwd_option(false)->isChecked()) << road;
        EXPECT_EQ(a.p.link_pwd, 0) << road; // what Save writes
    }
}

TEST(MainWindow, ComPortAndEepromRefusal) {
    App a;
    a.w.action(Menu::Com, 4)->trigger();
    EXPECT_EQ(a.settings.get("Settaggi", "COM"), "5");
    EXPECT_TRUE(a.w.action(Menu::Com, 4)->isChecked());
    EXPECT_FALSE(a.w.action(Menu::Com, 0)->isChecked());

    a.p.kx_type = "KXD_540"; // its EEPROM entries are enabled but refuse
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

TEST(DisplayWidget, PaintsEachCellFromItsGlyphSetAndMapsClicksToCells) {
    DisplayWidget d;
    d.layout_cells(16, 2);
    d.set_cell(17, GlyphSet::Reve, 'A');
    d.show();
    QImage shot = d.grab().toImage();
    QPoint o = d.cell_origin(17);
    EXPECT_EQ(shot.pixelColor(o), glyph_image(GlyphSet::Reve, 'A').pixelColor(0, 0));
    EXPECT_EQ(shot.pixelColor(d.cell_origin(0)), glyph_image(GlyphSet::Char, ' ').pixelColor(0, 0));
    EXPECT_EQ(d.cell_at(o + QPoint(6, 6)), 17);
    EXPECT_EQ(d.cell_at(QPoint(1, 1)), -1);
}

TEST(EditorWindow, KeysMouseAndToolbarReachThePage) {
    App a;
    EditorWindow* e = a.w.editor();
    e->setFocus();
    QTest::keyClicks(e, "Ciao");
    EXPECT_EQ(a.p.display_buffer[3], 'o');
    EXPECT_EQ(a.p.cursor_pos, 4);
    EXPECT_TRUE(a.p.prj_modified);
    EXPECT_EQ(e->display()->cell_image(1), 'i');
    EXPECT_EQ(e->label(Label::Col)->text(), "Col: 4");

    // Insert toggles the mode and the status bar's indicator follows.
    const bool before = a.p.insert_mode;
    QTest::keyClick(e, Qt::Key_Insert);
    EXPECT_NE(a.p.insert_mode, before);
    EXPECT_EQ(a.w.insert_indicator()->isEnabled(), a.p.insert_mode);
    QTest::keyClick(e, Qt::Key_Insert);

    // A click moves the cursor; the toolbar aligns its row.
    DisplayWidget* d = e->display();
    QTest::mouseClick(d, Qt::LeftButton, {}, d->cell_origin(45) + QPoint(5, 5));
    EXPECT_EQ(a.p.cursor_pos, 45);
    EXPECT_EQ(e->label(Label::Row)->text(), "Riga: 1");
    QTest::keyClicks(e, "AB");
    a.w.toolbar_click("TextRight");
    EXPECT_EQ(a.p.display_buffer[78], 'A');
    EXPECT_EQ(d->cell_image(79), 'B');
    a.w.toolbar_click("PageUp"); // first page: only a beep
    EXPECT_EQ(a.prompt.beeps, 1);
}

TEST(MainWindow, SaveAndOpenThroughTheFileMenu) {
    App a;
    EditorWindow* e = a.w.editor();
    QTest::keyClicks(e, "Forno");
    a.w.action(Menu::File, 2)->trigger(); // Save: the generated name, no dialog
    const std::string saved = a.p.project_path;
    ASSERT_TRUE(std::filesystem::exists(saved));
    EXPECT_FALSE(a.p.prj_modified);

    QTest::keyClick(e, Qt::Key_Home);
    QTest::keyClicks(e, "XY");
    a.prompt.answers = {kAnsNo}; // do not save the change
    a.prompt.files = {saved};
    a.w.action(Menu::File, 1)->trigger(); // Open
    EXPECT_EQ(a.p.display_buffer[0], 'F');
    EXPECT_EQ(a.p.display_buffer[4], 'o');
    EXPECT_EQ(e->display()->cell_image(0), 'F');
    EXPECT_FALSE(a.p.prj_modified);
    EXPECT_EQ(a.w.windowTitle(), a.caption());
}

// Made as small as it goes, the window shows every label's text and the whole display, also
// when a 40 x 4 project follows a 16 x 2 one; the grid gives up rows for a scroll bar.
TEST(MainWindow, AtItsMinimumSizeLabelsAndDisplayFitAndTheGridScrolls) {
    App a;
    EditorWindow* e = a.w.editor();
    auto whole = [](QWidget* w) { return w->visibleRegion().boundingRect() == w->rect(); };
    int height = 0;
    for (int option : {0, 5}) {
        on_next_modal<ModelChooser>([option](ModelChooser* dlg) {
            dlg->option(option)->setChecked(true);
            dlg->ok_button()->click();
        });
        a.w.action(Menu::File, 0)->trigger();
        for (int settle = 0; settle < 2; ++settle) QApplication::processEvents();
        if (option == 0) a.w.resize(1, 1);
        QApplication::processEvents();
        if (option == 0) height = a.w.height();
    }
    EXPECT_EQ(a.w.height(), height);
    for (Label l :
         {Label::Page, Label::TPages, Label::Row, Label::Col, Label::Mode, Label::Link, Label::Type})
        EXPECT_TRUE(e->label(l)->width() >= e->label(l)->sizeHint().width() && whole(e->label(l)));
    EXPECT_TRUE(whole(e->display()) && whole(e->grid()));
    EXPECT_TRUE(e->grid()->verticalScrollBar()->isVisible());
    // Once the window is as much taller as the grid needs, every row shows.
    a.w.resize(a.w.width(), a.w.height() + e->grid()->maximumHeight() - e->grid()->height());
    QApplication::processEvents();
    EXPECT_FALSE(e->grid()->verticalScrollBar()->isVisible() ||
                 e->grid()->horizontalScrollBar()->isVisible());
}
