#include "app/main_window.h"

#include "app/dialogs.h"
#include "comm/compare_dialog.h"
#include "comm/eeprom_dialogs.h"
#include "comm/serial_link.h"
#include "comm/transfer_dialogs.h"
#include "core/clipboard.h"
#include "core/context.h"
#include "core/display.h"
#include "core/editing.h"
#include "core/filecmds.h"
#include "core/languages.h"
#include "core/listing.h"
#include "core/models.h"
#include "core/pages.h"
#include "core/recipefile.h"
#include "core/shell.h"
#include "core/text.h"
#include "core/transfer.h"
#include "editor/char_picker.h"
#include "editor/copy_dialog.h"
#include "editor/display_widget.h"
#include "editor/editor_window.h"
#include "editor/link_dialogs.h"
#include "editor/string_editor.h"
#include "editor/var_editor.h"
#include "platform/api/textfile.h"
#include "platform/qt_text.h"
#include "recipes/recipe_config_dialog.h"
#include "recipes/recipe_data_dialog.h"
#include "recipes/recipe_transfer_dialogs.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

// The resources live in a static library: register them before first use.
static void init_resources() { Q_INIT_RESOURCE(resources); }

namespace kx {
namespace {

int key(Menu m) { return static_cast<int>(m); }

} // namespace

MainWindow::MainWindow(Ctx& ctx) : c_(ctx) {
    init_resources();
    setObjectName("MDIFMain");
    setWindowIcon(QIcon(":/app.svg"));
    mdi_ = new QMdiArea(this);
    mdi_->setBackground(QColor(128, 128, 128));
    setCentralWidget(mdi_);
    editor_ = new EditorWindow(c_);
    sub_ = mdi_->addSubWindow(editor_, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    editor_->setWindowTitle("Editor");
    editor_->installEventFilter(this); // its layout's requests change the window's minimum size
    progress_ = new ProgressWindow(this);
    serial_ = new SerialLink(c_, this);
    build_menus();

    toolbar_ = addToolBar("ToolbarMain");
    toolbar_->setObjectName("ToolbarMain");
    toolbar_->setMovable(false);
    int i = 0;
    for (const char* k : toolbar_keys()) {
        QAction* a = toolbar_->addAction(QIcon(QString(":/icons/%1.svg").arg(k)), QString());
        a->setObjectName(k);
        std::string keystr = k;
        connect(a, &QAction::triggered, this, [this, keystr] { toolbar_click(keystr); });
        tool_actions_.push_back(a);
        if (i == 2 || i == 7) toolbar_->addSeparator();
        ++i;
    }

    // Status bar: the fourth panel is the insert indicator.
    for (int p = 0; p < 3; ++p) statusBar()->addWidget(new QLabel(this), p == 0 ? 1 : 0);
    ins_ = new QLabel("INS", this);
    ins_->setObjectName("InsertIndicator");
    ins_->setFrameShape(QFrame::Panel);
    ins_->setFrameShadow(QFrame::Sunken);
    ins_->setContentsMargins(6, 0, 6, 0);
    statusBar()->addPermanentWidget(ins_);
    resize(900, 640);
}

MainWindow::~MainWindow() {
    c_.set_view(nullptr);
    QCoreApplication::removeTranslator(stock_texts_);
}

void MainWindow::ui_language_changed(bool english) {
    // Buttons of message and input boxes and the file dialogs come from Qt's own
    // translations; English needs none.
    if (english) {
        QCoreApplication::removeTranslator(stock_texts_);
        return;
    }
    if (!stock_texts_) {
        stock_texts_ = new QTranslator(this);
        if (!stock_texts_->load(QLocale(QLocale::Italian), "qtbase", "_",
                                QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            return;
    }
    QCoreApplication::removeTranslator(stock_texts_); // never installed twice
    if (!stock_texts_->isEmpty()) QCoreApplication::installTranslator(stock_texts_);
}

void MainWindow::load() {
    c_.set_view(this);
    main_window_load(c_);
    sub_->showMaximized();
    fit_minimum_size();
    refresh_status();
    report_settings_trouble(c_);
}

QMenu* MainWindow::build_menu(QMenu* menu, Menu m) {
    for (int i = 0; i < c_.menus.count(m); ++i) {
        QAction* a = nullptr;
        QMenu* sub = nullptr;
        if (m == Menu::Option) {
            static const Menu subs[] = {Menu::Language, Menu::Mode, Menu::Link, Menu::MultiProtocol};
            sub = build_menu(new QMenu(menu), subs[i]);
        } else if (m == Menu::Transfer && i == 5) {
            sub = build_menu(new QMenu(menu), Menu::Com);
        }
        if (sub) {
            a = menu->addMenu(sub);
        } else {
            a = menu->addAction(QString());
            if (m == Menu::Mode || m == Menu::MultiProtocol || m == Menu::Com || (m == Menu::Link && i < 2))
                a->setCheckable(true);
            Menu mm = m;
            connect(a, &QAction::triggered, this, [this, mm, i] { menu_click(mm, i); });
        }
        actions_[{key(m), i}] = a;
    }
    return menu;
}

void MainWindow::build_menus() {
    for (int i = 0; i < 8; ++i) {
        static const Menu content[] = {Menu::File,     Menu::Modify, Menu::Strings, Menu::Option,
                                       Menu::Transfer, Menu::Kxlang, Menu::Recipes, Menu::Help};
        QMenu* m = menuBar()->addMenu(QString());
        build_menu(m, content[i]);
        actions_[{key(Menu::Gen), i}] = m->menuAction();
        top_menus_.push_back(m);
    }
}

QAction* MainWindow::action(Menu m, int index) const {
    auto it = actions_.find({key(m), index});
    return it == actions_.end() ? nullptr : it->second;
}

QMenu* MainWindow::top_menu(int index) const {
    return index >= 0 && index < static_cast<int>(top_menus_.size()) ? top_menus_[index] : nullptr;
}

void MainWindow::menus_changed() {
    for (auto& [k, a] : actions_) {
        const MenuItem& item = c_.menus.at(static_cast<Menu>(k.first), k.second);
        const bool sep = item.caption == "-";
        a->setSeparator(sep);
        if (!sep) a->setText(item.file_name ? qpath(item.caption) : qs(item.caption));
        a->setEnabled(item.enabled);
        if (a->isCheckable()) a->setChecked(item.checked);
        a->setVisible(item.visible);
    }
    for (int i = 0; i < static_cast<int>(tool_actions_.size()); ++i)
        tool_actions_[i]->setToolTip(qs(c_.menus.at(Menu::Toolbar, i).caption));
    refresh_status();
}

void MainWindow::refresh_status() { ins_->setEnabled(c_.p.insert_mode); }

void MainWindow::menu_click(Menu m, int index) {
    Project& p = c_.p;
    switch (m) {
    case Menu::File:
        if (index == 0) choose_terminal_model(c_, "new");
        else if (index == 1) file_open(c_);
        else if (index == 2) file_save(c_);
        else if (index == 3) file_save_as(c_);
        else if (index == 5) print_spool(c_);
        else if (index >= 7 && index <= 10) file_open_recent(c_, index - 6);
        else if (index == 12 && file_exit(c_)) close();
        break;
    case Menu::Modify:
        if (index == 0) copy_page(c_);
        else if (index == 1) paste_page(c_);
        else if (index == 2) show_copy_group_dialog(c_, this);
        else if (index == 3) copy_var(c_);
        else if (index == 4) paste_var(c_);
        break;
    case Menu::Language: menu_language_click(c_, index); break;
    case Menu::Mode: set_number_mode(c_, index); break;
    case Menu::Link: menu_link_click(c_, index); break;
    case Menu::MultiProtocol:
        if (p.lock_events) break;
        if (index == 0) multi_protocol_on(c_);
        else multi_protocol_off_menu(c_);
        break;
    case Menu::Transfer:
        if (index == 0) {
            c_.prompt.busy(true);
            show_download_dialog(c_, *serial_, this);
            c_.prompt.busy(false);
        } else if (index == 1) {
            upload_command(c_, [this] { show_upload_dialog(c_, *serial_, this); });
        } else if (index == 2 || index == 3) {
            const TerminalModel* tm = find_model(p.kx_type);
            if (!tm || !tm->eeprom_accepted) {
                c_.beep();
                c_.prompt.message(c_.txt(index == 2 ? 10062 : 10063), kOkOnly);
            } else if (index == 2) {
                show_eeprom_read_dialog(c_, *serial_, this);
            } else {
                show_eeprom_write_dialog(c_, *serial_, this);
            }
        } else if (index == 4) {
            c_.prompt.busy(true);
            show_compare_dialog(c_, *serial_, this);
            c_.prompt.busy(false);
        }
        break;
    case Menu::Com: menu_com_click(c_, index); break;
    case Menu::Help:
        if (index == 0) show_help();
        else show_about();
        break;
    case Menu::Strings: show_string_editor(c_, this); break;
    case Menu::Kxlang: kxlang_menu_click(c_, index); break;
    case Menu::Recipes:
        if (index == 0) show_config_recipe_dialog(c_, this);
        else if (index == 1) show_data_recipe_dialog(c_, this);
        else if (index == 2) show_recipe_download_dialog(c_, *serial_, this);
        else if (index == 3) show_recipe_upload_dialog(c_, *serial_, this);
        else if (index == 4) recipes_write(c_);
        else if (index == 5) recipes_write_as(c_);
        else if (index == 6) recipes_read(c_);
        else if (index == 7) new_recipe_file(c_);
        break;
    default: break;
    }
    menus_changed();
    report_settings_trouble(c_);
}

void MainWindow::toolbar_click(const std::string& key) {
    if (!toolbar_edit_command(c_, key)) toolbar_page_command(c_, key);
    refresh_status();
}

void MainWindow::show_insert_mode(bool) { refresh_status(); }
void MainWindow::end_link_edit() { editor_->end_link_edit(); }
void MainWindow::grid_highlight(int k) { editor_->grid_highlight(k); }
void MainWindow::open_autolink() { show_autolink_dialog(c_, this); }
void MainWindow::open_link_parameters() { show_link_parameters_dialog(c_, this); }

void MainWindow::open_char_picker() {
    CharPicker picker(c_, this);
    // Under the display at the cursor's column: near where the arrows go in, without
    // hiding any row of the page.
    DisplayWidget* d = editor_->display();
    picker.move(d->mapToGlobal(QPoint(d->cell_origin(c_.p.cursor_pos).x(), d->height() + 4)));
    picker.exec();
}

bool MainWindow::open_var_editor() {
    VarEditor dlg(c_, this);
    // Below the display, so that the preview on the page stays in sight.
    const QWidget* d = editor_->display();
    dlg.adjustSize();
    const QPoint under = d->mapToGlobal(QPoint((d->width() - dlg.width()) / 2, d->height() + 60));
    dlg.move(std::max(0, under.x()), std::max(0, under.y()));
    dlg.exec();
    return true;
}

void MainWindow::show_help() { kx::show_help(c_); }

void MainWindow::show_about() {
    // One box: a second click brings it to the front, in the interface language chosen
    // since it opened.
    if (!about_) about_ = new AboutBox(this);
    about_->set_texts(c_.txt(10068), c_.txt(10069), c_.txt(10903));
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void MainWindow::closeEvent(QCloseEvent* e) {
    if (!query_unload(c_)) {
        e->ignore();
        return;
    }
    editor_->set_blink_enabled(false);
    e->accept();
}

bool MainWindow::eventFilter(QObject* obj, QEvent* e) {
    if (obj == editor_ && e->type() == QEvent::LayoutRequest) fit_minimum_size();
    return QMainWindow::eventFilter(obj, e);
}

void MainWindow::fit_minimum_size() {
    // The document area's minimum carries the editor window's (labels, display, variable
    // grid) into the main window's, with the menu bar, toolbar and status bar around it.
    const int frame = 2 * mdi_->frameWidth();
    mdi_->setMinimumSize(sub_->minimumSizeHint() + QSize(frame, frame));
}

void MainWindow::set_caption(const std::string& caption) {
    caption_ = qpath(caption);
    setting_caption_ = true;
    setWindowTitle(caption_);
    setting_caption_ = false;
}

void MainWindow::changeEvent(QEvent* e) {
    // The multiple-document area rewrites the title when a child is maximised; the caption
    // stays exactly the project's.
    if (e->type() == QEvent::WindowTitleChange && !setting_caption_ && !caption_.isEmpty() &&
        windowTitle() != caption_) {
        setting_caption_ = true;
        setWindowTitle(caption_);
        setting_caption_ = false;
    }
    QMainWindow::changeEvent(e);
}

std::optional<int> MainWindow::choose_model(const std::string& caption, const std::string& prompt,
                                            const std::string& cancel_text, int preselect) {
    ModelChooser dlg(caption, prompt, cancel_text, preselect, this);
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    return dlg.selected();
}

void MainWindow::progress_show(const std::string& text, int max) { progress_->start(text, max); }
void MainWindow::progress_value(int value) { progress_->set_value(value); }
void MainWindow::progress_close() { progress_->hide(); }

void MainWindow::paint_cell(int cell, GlyphSet set, int image) { editor_->paint_cell(cell, set, image); }
void MainWindow::layout_display(int n_cols, int n_rows) { editor_->layout_display(n_cols, n_rows); }
void MainWindow::unload_display(int n) { editor_->unload_display(n); }
void MainWindow::set_blink_enabled(bool on) { editor_->set_blink_enabled(on); }
void MainWindow::set_label(Label which, const std::string& text) { editor_->set_label(which, text); }
void MainWindow::show_link_box(int k, const std::string& text) { editor_->show_link_box(k, text); }
void MainWindow::show_pwd(bool on) { editor_->show_pwd(on); }
void MainWindow::grid_layout(const std::vector<std::string>& h) { editor_->grid_layout(h); }
void MainWindow::grid_clear(const std::vector<std::string>& h) { editor_->grid_clear(h); }
void MainWindow::grid_row(int k, const std::vector<std::string>& cells) { editor_->grid_row(k, cells); }
void MainWindow::lang_list_set(const std::vector<std::string>& names, int selected) {
    editor_->lang_list_set(names, selected);
}

} // namespace kx
