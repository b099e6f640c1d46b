#pragma once
// The editor window: the simulated display with its cursor, the page, cursor, mode, link and
// model labels, the four link boxes, the page password options, the variable grid and the
// terminal-language list. It turns events into core calls and shows what the core tells it.
#include "core/textbox.h"
#include "core/view.h"
#include "platform/fd_timer.h"

#include <QWidget>
#include <array>
#include <memory>

class QLabel;
class QLineEdit;
class QRadioButton;
class QGroupBox;
class QTableWidget;
class QComboBox;
class QSpacerItem;

namespace kx {
class KeystrokeWatch;

struct Ctx;
class DisplayWidget;

class EditorWindow : public QWidget {
    Q_OBJECT
public:
    EditorWindow(Ctx& ctx, QWidget* parent = nullptr);

    // What the core tells the editor window (forwarded from the application's View).
    void paint_cell(int cell, GlyphSet set, int image);
    void layout_display(int n_cols, int n_rows);
    void unload_display(int n);
    void set_blink_enabled(bool on);
    void set_label(Label which, const std::string& text);
    void show_link_box(int k, const std::string& text);
    void show_pwd(bool on);
    void grid_layout(const std::vector<std::string>& headings);
    void grid_clear(const std::vector<std::string>& headings);
    void grid_row(int k, const std::vector<std::string>& cells);
    void lang_list_set(const std::vector<std::string>& names, int selected);
    void end_link_edit();
    void grid_highlight(int k);

    DisplayWidget* display() const { return display_; }
    QLabel* label(Label which) const;
    QLineEdit* link_box(int k) const { return links_[k]; }
    QLabel* link_arrow(int k) const { return arrows_[k]; }
    QRadioButton* pwd_option(bool on) const { return on ? pwd_on_ : pwd_off_; }
    QTableWidget* grid() const { return grid_; }
    QComboBox* lang_list() const { return lang_; }
    const FdTimer& blink_timer() const { return *blink_; }
    int blink_state() const { return blink_state_; }

protected:
    bool eventFilter(QObject* obj, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;

private:
    void blink();
    // Routes a key to the page editor; true when it was taken.
    bool handle_key(QKeyEvent* e);
    // Link arrows, link boxes and password options; true when the event was taken.
    bool handle_link_event(QObject* obj, QEvent* e);
    void pic_link_click(int k);
    void link_edited(int k);
    void pwd_clicked(bool on);
    // The link box that last had the keyboard while links are edited takes it again.
    void focus_link_box();
    // The variable grid's marking: data row r, and every row.
    void paint_grid_row(int r);
    void paint_grid_marking();

    Ctx& c_;
    DisplayWidget* display_ = nullptr;
    std::array<QLabel*, 8> labels_{};
    std::array<QLabel*, 4> arrows_{};
    std::array<QLineEdit*, 4> links_{};
    QGroupBox* pwd_frame_ = nullptr;
    QRadioButton* pwd_on_ = nullptr;
    QRadioButton* pwd_off_ = nullptr;
    QTableWidget* grid_ = nullptr;
    QComboBox* lang_ = nullptr;
    QSpacerItem* display_room_ = nullptr; // what the largest display needs beyond this one
    std::unique_ptr<FdTimer> blink_;
    int blink_state_ = 0;
    bool key_preview_ = true;
    std::array<BoxText, 4> link_accepted_{}; // what each link box last showed
    KeystrokeWatch* link_keys_;
    bool forwarding_key_ = false; // a key of the window is on its way to a link box
    int link_focus_ = 0;          // link box that last had the focus while editing
    int grid_marked_ = 0;         // variable marked in the grid by a right click, 0 none
};

} // namespace kx
