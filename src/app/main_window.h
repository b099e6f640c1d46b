#pragma once
// The main window: a multiple-document window with the menu bar, the toolbar, the status bar
// with its insert indicator, and the editor window inside. It renders the core's menu model,
// dispatches menu and toolbar commands to the core, and shows what the core tells it.
#include "core/menus.h"
#include "core/view.h"

#include <QDialog>
#include <QMainWindow>
#include <QPointer>
#include <QTranslator>
#include <map>
#include <utility>

class QMdiArea;
class QMdiSubWindow;
class QLabel;
class QToolBar;
class QMenu;
class QAction;

namespace kx {

struct Ctx;
class EditorWindow;
class AboutBox;
class ProgressWindow;
class SerialLink;

class MainWindow : public QMainWindow, public View {
    Q_OBJECT
public:
    explicit MainWindow(Ctx& ctx);
    ~MainWindow() override;

    // Runs the start-up of the main and editor windows (settings, language, empty project).
    void load();

    EditorWindow* editor() const { return editor_; }
    SerialLink& serial() const { return *serial_; }
    QAction* action(Menu m, int index) const;
    QMenu* top_menu(int index) const;
    QToolBar* toolbar() const { return toolbar_; }
    QLabel* insert_indicator() const { return ins_; }
    void menu_click(Menu m, int index);
    void toolbar_click(const std::string& key);
    void refresh_status();

    // View
    void paint_cell(int cell, GlyphSet set, int image) override;
    void layout_display(int n_cols, int n_rows) override;
    void unload_display(int n) override;
    void set_blink_enabled(bool on) override;
    void set_label(Label which, const std::string& text) override;
    void show_link_box(int k, const std::string& text) override;
    void show_pwd(bool on) override;
    void grid_layout(const std::vector<std::string>& headings) override;
    void grid_clear(const std::vector<std::string>& headings) override;
    void grid_row(int k, const std::vector<std::string>& cells) override;
    void lang_list_set(const std::vector<std::string>& names, int selected) override;
    void set_caption(const std::string& caption) override;
    void menus_changed() override;
    std::optional<int> choose_model(const std::string& caption, const std::string& prompt,
                                    const std::string& cancel_text, int preselect) override;
    void progress_show(const std::string& text, int max) override;
    void progress_value(int value) override;
    void progress_close() override;
    void show_insert_mode(bool on) override;
    void end_link_edit() override;
    void grid_highlight(int k) override;
    void open_autolink() override;
    void open_link_parameters() override;
    void open_char_picker() override;
    bool open_var_editor() override;
    void ui_language_changed(bool english) override;

protected:
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    // The window is never smaller than the editor window needs to show whole.
    void fit_minimum_size();
    void build_menus();
    QMenu* build_menu(QMenu* menu, Menu m);
    void show_help();
    void show_about();

    Ctx& c_;
    QMdiArea* mdi_ = nullptr;
    QMdiSubWindow* sub_ = nullptr;
    EditorWindow* editor_ = nullptr;
    ProgressWindow* progress_ = nullptr;
    SerialLink* serial_ = nullptr; // the one serial port, shared by every transfer
    QToolBar* toolbar_ = nullptr;
    QLabel* ins_ = nullptr;
    std::vector<QMenu*> top_menus_;
    std::map<std::pair<int, int>, QAction*> actions_;
    std::vector<QAction*> tool_actions_;
    QString caption_;
    bool setting_caption_ = false;
    QPointer<AboutBox> about_;           // the about box while it is open
    QTranslator* stock_texts_ = nullptr; // Qt's own Italian texts, installed while in use
};

} // namespace kx
