#include "comm/compare_dialog.h"

#include "comm/dialog_parts.h"
#include "comm/serial_link.h"
#include "core/context.h"
#include "core/store.h"
#include "core/text.h"
#include "platform/qt_text.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

namespace kx {

CompareDialog::CompareDialog(Ctx& c, SerialLink& link, QWidget* parent)
    : QDialog(parent), c_(c), link_(link) {
    setModal(true);
    setObjectName(QStringLiteral("frmCompareProject"));
    lbl_info_ = named_label(this, "lblInfo");
    lbl_errors_ = named_label(this, "lblErrors");
    lbl_errors_->setAlignment(Qt::AlignLeft);
    txt_errors_ = new QPlainTextEdit(this);
    txt_errors_->setObjectName(QStringLiteral("txtErrors"));
    txt_errors_->setReadOnly(true);
    txt_errors_->setLineWrapMode(QPlainTextEdit::NoWrap);
    txt_errors_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    prg_ = named_progress(this, "PrgUp");
    cmd_start_ = named_button(this, "cmdStart");
    cmd_cancel_ = named_button(this, "cmdCancel");
    cmd_exit_ = named_button(this, "cmdExit");
    cmd_exit_->setText(QStringLiteral("Exit"));
    // Start is the default button: Enter presses it while it is shown, unless the focus is
    // on another button, which Enter presses instead.
    cmd_start_->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {cmd_start_, cmd_cancel_, cmd_exit_}) buttons->addWidget(b);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbl_info_);
    layout->addWidget(lbl_errors_);
    layout->addWidget(txt_errors_, 1);
    layout->addWidget(prg_);
    layout->addLayout(buttons);
    resize(640, 460);

    // The dialog as it loads: the hint, Start and Cancel; the report and Exit come later.
    lbl_info_->setText(qs(c_.txt(10083)));
    for (QWidget* w : {static_cast<QWidget*>(txt_errors_), static_cast<QWidget*>(lbl_errors_),
                       static_cast<QWidget*>(cmd_exit_)})
        set_usable(w, false);

    connect(cmd_start_, &QPushButton::clicked, this, &CompareDialog::start);
    connect(cmd_cancel_, &QPushButton::clicked, this, &CompareDialog::cancel);
    connect(cmd_exit_, &QPushButton::clicked, this, &CompareDialog::exit);
}

void set_lang_compare(Ctx& c, CompareDialog& dlg) {
    dlg.setWindowTitle(qs(c.txt(10198)));
    dlg.cmd_start_->setText(qs(c.txt(10078)));
    dlg.cmd_cancel_->setText(qs(c.txt(10081)));
    dlg.lbl_info_->setText(qs(c.txt(10200)));
    dlg.lbl_errors_->setText(qs(c.txt(10205)));
}

void CompareDialog::start() {
    if (running_ || transfer_busy_) return;
    running_ = true;
    run_compare(c_, link_, *this, totals_);
    running_ = false;
}

void CompareDialog::cancel() {
    if (running_) return;
    cancel_transfer(c_, link_);
    QDialog::reject();
}

void CompareDialog::exit() {
    if (running_) return;
    QDialog::accept();
}

void CompareDialog::reject() {
    if (running_) return;
    if (!transfer_busy_) cancel();
    else if (cmd_exit_->isEnabled()) exit();
}

void CompareDialog::buttons_hidden() {
    transfer_busy_ = true;
    set_usable(cmd_start_, false);
    set_usable(cmd_cancel_, false);
}

void CompareDialog::set_info(const std::string& text) { lbl_info_->setText(qs(text)); }

void CompareDialog::progress_show(int max) {
    prg_->setMaximum(max);
    prg_->setValue(0);
    prg_->show();
}

void CompareDialog::progress_value(int value) { progress_to(prg_, value); }

void CompareDialog::report_shown() {
    txt_errors_->clear();
    set_usable(txt_errors_, true);
    set_usable(lbl_errors_, true);
}

void CompareDialog::report_append(const std::string& text) {
    // Only the new text is inserted at the end: a long report never rebuilds what it holds.
    QString s = qs(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QTextCursor cur(txt_errors_->document());
    cur.movePosition(QTextCursor::End);
    cur.insertText(s);
    txt_errors_->verticalScrollBar()->setValue(txt_errors_->verticalScrollBar()->maximum());
}

void CompareDialog::exit_shown() {
    set_usable(cmd_exit_, true);
    cmd_exit_->setFocus();
}

void show_compare_dialog(Ctx& c, SerialLink& link, QWidget* parent) {
    save_page(c, c.p.act_page, c.p.act_lang);
    CompareDialog dlg(c, link, parent);
    opening_pause(c.pump);
    set_lang_compare(c, dlg);
    dlg.exec();
}

} // namespace kx
