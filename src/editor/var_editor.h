#pragma once
// The variable editor: a modal dialog for one variable of the page being edited. It shows
// the fields of Project::var_edit in its controls and hands every change to the model
// (core/var_edit.h), which also draws the variable live on the editor's display.
#include "core/var_edit.h"

#include <QDialog>
#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace kx {
class KeystrokeWatch;

struct Ctx;

class VarEditor : public QDialog {
    Q_OBJECT
public:
    // Fills the fields for act_var (new_var tells whether it is a new variable) and the
    // controls from them; exec() shows it.
    VarEditor(Ctx& ctx, QWidget* parent = nullptr);

    QComboBox* type_list() const { return type_; }
    QComboBox* digits_list() const { return digits_; }
    QComboBox* dec_list() const { return dec_; }
    QLineEdit* box(VarBox b) const { return boxes_[static_cast<int>(b)]; }
    QToolButton* step_button(bool col, bool up) const { return steps_[(col ? 0 : 2) + (up ? 1 : 0)]; }
    QRadioButton* access_option(int i) const { return access_[i]; }
    QRadioButton* com_option(int i) const { return com_[i]; } // 0: COM0, 1: COM1
    QGroupBox* com_frame() const { return com_frame_; }
    QPushButton* button(int i) const { return buttons_[i]; } // 0 OK, 1 Cancel, 2 Delete

protected:
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* obj, QEvent* e) override;
    void reject() override; // the close box

private:
    void set_captions();
    void fill_controls();
    void fill_lists();
    void show_box(VarBox b, const std::string& text);
    void box_edited(VarBox b);
    void step(bool col, bool up);
    void button_clicked(int i);

    Ctx& c_;
    QComboBox* type_ = nullptr;
    QComboBox* digits_ = nullptr;
    QComboBox* dec_ = nullptr;
    std::array<QLineEdit*, 6> boxes_{};
    std::array<BoxText, 6> accepted_{};
    KeystrokeWatch* keys_;
    std::array<QToolButton*, 4> steps_{};
    std::array<QLabel*, 6> info_{};
    QLabel* col_label_ = nullptr;
    QLabel* row_label_ = nullptr;
    QGroupBox* access_frame_ = nullptr;
    std::array<QRadioButton*, 2> access_{};
    QGroupBox* com_frame_ = nullptr;
    std::array<QRadioButton*, 2> com_{};
    std::array<QPushButton*, 3> buttons_{};
};

} // namespace kx
