#include "editor/link_dialogs.h"

#include "core/autolink.h"
#include "core/context.h"
#include "platform/qt_button.h"
#include "platform/qt_text.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kx {

AutolinkDialog::AutolinkDialog(Ctx& c, QWidget* parent) : QDialog(parent), c_(c) {
    setObjectName("FrmAutoLink");
    setModal(false);
    auto* lay = new QVBoxLayout(this);
    lbl_autolink_ = new QLabel(this);
    lbl_autolink_->setObjectName("LblAutoLink");
    lay->addWidget(lbl_autolink_);

    auto* pages = new QHBoxLayout;
    auto page_box = [&](QLabel*& lbl, QLineEdit*& box, const char* name) {
        auto* col = new QVBoxLayout;
        lbl = new QLabel(this);
        box = new QLineEdit(this);
        box->setObjectName(name);
        box->setMaximumWidth(90);
        col->addWidget(lbl);
        col->addWidget(box);
        pages->addLayout(col);
    };
    page_box(lbl_ini_, txt_ini_, "txtIni");
    page_box(lbl_end_, txt_end_, "txtEnd");
    pages->addStretch(1);
    lay->addLayout(pages);

    auto* groups = new QHBoxLayout;
    auto group = [&](QGroupBox*& box, QRadioButton*& a, QRadioButton*& b, const char* name) {
        box = new QGroupBox(this);
        box->setObjectName(name);
        auto* gl = new QVBoxLayout(box);
        a = new QRadioButton(box);
        b = new QRadioButton(box);
        gl->addWidget(a);
        gl->addWidget(b);
        groups->addWidget(box);
    };
    group(frm_order_, opt_asc_, opt_desc_, "frmOrder");
    group(frm_keys_, opt_updown_, opt_leftright_, "frmKeys");
    lay->addLayout(groups);

    auto* buttons = new QHBoxLayout;
    // Enter in a page box does not press OK: the range stays as typed.
    cmd_ok_ = dialog_button(this, "cmdOK");
    cmd_cancel_ = dialog_button(this, "cmdCancel");
    buttons->addStretch(1);
    buttons->addWidget(cmd_ok_);
    buttons->addWidget(cmd_cancel_);
    lay->addLayout(buttons);

    // The choices take effect at once and stay for the run, even when the dialog is cancelled.
    (c_.p.autolink_asc ? opt_asc_ : opt_desc_)->setChecked(true);
    (c_.p.autolink_updown ? opt_updown_ : opt_leftright_)->setChecked(true);
    connect(opt_asc_, &QRadioButton::toggled, this, [this](bool on) { set_autolink_order(c_.p, on); });
    connect(opt_updown_, &QRadioButton::toggled, this, [this](bool on) { set_autolink_keys(c_.p, on); });
    connect(txt_ini_, &QLineEdit::textEdited, this,
            [this](const QString& t) { page_box_changed(txt_ini_, ini_kept_, t); });
    connect(txt_end_, &QLineEdit::textEdited, this,
            [this](const QString& t) { page_box_changed(txt_end_, end_kept_, t); });
    connect(cmd_ok_, &QPushButton::clicked, this, &AutolinkDialog::ok);
    connect(cmd_cancel_, &QPushButton::clicked, this, &QDialog::reject);
    // Closed by OK, Cancel, Esc or the close box, the dialog is gone; the next use makes a new one.
    connect(this, &QDialog::finished, this, &QObject::deleteLater);
}

void AutolinkDialog::page_box_changed(QLineEdit* box, QString& kept, const QString& typed) {
    const QString now = qs(page_box_text(bytes(kept), bytes(typed), c_.p.last_page_idx));
    if (now != typed) {
        // The refused change is taken back; the caret stands where the change began.
        const int pos = std::clamp(box->cursorPosition() - static_cast<int>(typed.size() - now.size()), 0,
                                   static_cast<int>(now.size()));
        box->setText(now);
        box->setCursorPosition(std::max(0, std::min(pos, static_cast<int>(now.size()))));
    }
    kept = now;
}

void AutolinkDialog::ok() {
    switch (autolink_ok(c_, bytes(txt_ini_->text()), bytes(txt_end_->text()))) {
    case AutolinkOk::Close: accept(); break;
    case AutolinkOk::StartGone:
        txt_ini_->setFocus();
        txt_ini_->selectAll();
        break;
    case AutolinkOk::EndGone:
        txt_end_->setFocus();
        txt_end_->selectAll();
        break;
    case AutolinkOk::LinksOff: break;
    }
}

void set_lang_autolink(Ctx& c, AutolinkDialog& d) {
    d.setWindowTitle(qs(c.txt(10056)));
    d.lbl_autolink_->setText(qs(c.txt(10057)));
    d.lbl_ini_->setText(qs(c.txt(10058)));
    d.lbl_end_->setText(qs(c.txt(10059)));
    d.cmd_cancel_->setText(qs(c.txt(10060)));
    d.cmd_ok_->setText(qs(c.txt(10061)));
    d.frm_order_->setTitle(qs(c.txt(10153)));
    d.frm_keys_->setTitle(qs(c.txt(10154)));
    d.opt_asc_->setText(qs(c.txt(10155)));
    d.opt_desc_->setText(qs(c.txt(10156)));
    d.opt_updown_->setText(qs(c.txt(10157)));
    d.opt_leftright_->setText(qs(c.txt(10158)));
}

AutolinkDialog* show_autolink_dialog(Ctx& c, QWidget* parent) {
    if (auto* open = parent ? parent->findChild<AutolinkDialog*>() : nullptr) {
        open->raise();
        open->activateWindow();
        return open;
    }
    auto* dlg = new AutolinkDialog(c, parent);
    set_lang_autolink(c, *dlg);
    dlg->show();
    return dlg;
}

LinkParametersDialog::LinkParametersDialog(Ctx& c, QWidget* parent) : QDialog(parent), c_(c) {
    setObjectName("frmAutolinkParameters");
    setModal(true);
    auto* lay = new QVBoxLayout(this);
    static const char* const names[3] = {"optNorm", "optAsk", "optAuto"};
    for (int i = 0; i < 3; ++i) {
        options_[i] = new QRadioButton(this);
        options_[i]->setObjectName(names[i]);
        lay->addWidget(options_[i]);
    }
    options_[std::clamp(c_.p.link_recalc, 0, 2)]->setChecked(true);
    auto* buttons = new QHBoxLayout;
    // Enter on an option does not close the dialog; only the buttons and Esc do.
    cmd_ok_ = dialog_button(this, "cmdOK");
    cmd_cancel_ = dialog_button(this, "cmdCancel");
    buttons->addStretch(1);
    buttons->addWidget(cmd_ok_);
    buttons->addWidget(cmd_cancel_);
    lay->addLayout(buttons);
    connect(cmd_ok_, &QPushButton::clicked, this, [this] {
        for (int i = 0; i < 3; ++i)
            if (options_[i]->isChecked()) set_link_recalc(c_.p, i);
        accept();
    });
    connect(cmd_cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void LinkParametersDialog::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) reject();
    else e->ignore();
}

void change_lang_link_parameters(Ctx& c, LinkParametersDialog& d) {
    d.setWindowTitle(qs(c.txt(10146)));
    for (int i = 0; i < 3; ++i) d.options_[i]->setText(qs(c.txt(10147 + i)));
    d.cmd_ok_->setText(qs(c.txt(10150)));
    d.cmd_cancel_->setText(qs(c.txt(10151)));
}

void show_link_parameters_dialog(Ctx& c, QWidget* parent) {
    LinkParametersDialog dlg(c, parent);
    change_lang_link_parameters(c, dlg);
    dlg.exec();
}

} // namespace kx
