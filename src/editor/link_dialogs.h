#pragma once
// The two dialogs of Options > Link: the modeless autolink dialog FrmAutoLink (a range of
// pages linked into a ring on one pair of keys) and the modal link recalculation policy
// dialog frmAutolinkParameters.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QGroupBox;

namespace kx {

struct Ctx;

class AutolinkDialog : public QDialog {
    Q_OBJECT
public:
    AutolinkDialog(Ctx& c, QWidget* parent = nullptr);

    // OK: links the range (after the question) and closes; stays open, with the box of the
    // page that no longer exists selected, when the range does not fit the project now.
    void ok();

    QLineEdit* start_box() const { return txt_ini_; }
    QLineEdit* end_box() const { return txt_end_; }
    QRadioButton* ascending() const { return opt_asc_; }
    QRadioButton* descending() const { return opt_desc_; }
    QRadioButton* up_down() const { return opt_updown_; }
    QRadioButton* left_right() const { return opt_leftright_; }
    QPushButton* ok_button() const { return cmd_ok_; }
    QPushButton* cancel_button() const { return cmd_cancel_; }

private:
    friend void set_lang_autolink(Ctx& c, AutolinkDialog& dlg);
    void page_box_changed(QLineEdit* box, QString& kept, const QString& typed);

    Ctx& c_;
    QLabel* lbl_autolink_;
    QLabel* lbl_ini_;
    QLabel* lbl_end_;
    QLineEdit* txt_ini_;
    QLineEdit* txt_end_;
    QString ini_kept_, end_kept_;
    QGroupBox* frm_order_;
    QGroupBox* frm_keys_;
    QRadioButton* opt_asc_;
    QRadioButton* opt_desc_;
    QRadioButton* opt_updown_;
    QRadioButton* opt_leftright_;
    QPushButton* cmd_ok_;
    QPushButton* cmd_cancel_;
};

class LinkParametersDialog : public QDialog {
    Q_OBJECT
public:
    LinkParametersDialog(Ctx& c, QWidget* parent = nullptr);

    QRadioButton* option(int policy) const { return options_[policy]; } // 0 normal, 1 ask, 2 automatic
    QPushButton* ok_button() const { return cmd_ok_; }
    QPushButton* cancel_button() const { return cmd_cancel_; }

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    friend void change_lang_link_parameters(Ctx& c, LinkParametersDialog& dlg);
    Ctx& c_;
    QRadioButton* options_[3];
    QPushButton* cmd_ok_;
    QPushButton* cmd_cancel_;
};

void set_lang_autolink(Ctx& c, AutolinkDialog& dlg);
void change_lang_link_parameters(Ctx& c, LinkParametersDialog& dlg);

// Options > Link > Autolink: the dialog, modeless; an open one is brought to the front.
AutolinkDialog* show_autolink_dialog(Ctx& c, QWidget* parent);
// Options > Link > Link Parameters: the dialog, modal, until it closes.
void show_link_parameters_dialog(Ctx& c, QWidget* parent);

} // namespace kx
