#include "comm/eeprom_dialogs.h"

#include "comm/dialog_parts.h"
#include "comm/serial_link.h"
#include "core/context.h"
#include "platform/api/textfile.h"
#include "platform/qt_text.h"

#include <QHBoxLayout>
#include <QTimer>
#include <QVBoxLayout>

namespace kx {

EepromDialog::EepromDialog(Ctx& c, SerialLink& link, Kind kind, QWidget* parent)
    : QDialog(parent), c_(c), link_(link), kind_(kind) {
    setModal(true);
    const bool read = kind == Kind::Read;
    setObjectName(read ? QStringLiteral("frmEER") : QStringLiteral("frmEEW"));
    lbl_status_ = named_label(this, read ? "lblEER" : "lblEEW");
    lbl_file_ = named_label(this, read ? "lblFileEER" : "lblFileEEW");
    prg_ = named_progress(this, read ? "PrgEER" : "prgEEW");
    cmd_start_ = named_button(this, "cmdStart");
    cmd_stop_ = named_button(this, "cmdStop");
    cmd_cancel_ = named_button(this, "cmdCancel");

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {cmd_start_, cmd_stop_, cmd_cancel_}) buttons->addWidget(b);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbl_file_);
    layout->addWidget(lbl_status_);
    layout->addWidget(prg_);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    // Until a file is open there is nothing to start.
    cmd_start_->setEnabled(false);
    set_usable(cmd_stop_, false);
    lbl_status_->hide();

    connect(cmd_start_, &QPushButton::clicked, this, &EepromDialog::start);
    connect(cmd_stop_, &QPushButton::clicked, this, &EepromDialog::stop);
    connect(cmd_cancel_, &QPushButton::clicked, this, &EepromDialog::cancel);
}

EepromDialog::~EepromDialog() { release_port(); }

void EepromDialog::set_captions(int title_id, int status_id) {
    setWindowTitle(qs(c_.txt(title_id)));
    lbl_status_->setText(qs(c_.txt(status_id)));
    lbl_file_->setText(qs(c_.txt(10072)));
    cmd_start_->setText(qs(c_.txt(10078)));
    cmd_stop_->setText(qs(c_.txt(10079)));
    cmd_cancel_->setText(qs(c_.txt(10081)));
}

void set_lang_eeprom_read(Ctx& c, EepromDialog& dlg) {
    (void)c;
    dlg.set_captions(10064, 10065);
}

void set_lang_eeprom_write(Ctx& c, EepromDialog& dlg) {
    (void)c;
    dlg.set_captions(10066, 10067);
}

void EepromDialog::activate() {
    transfer_busy_ = false;
    const FileChoice choice = kind_ == Kind::Read ? eeprom_read_choose_file(c_, file_dialog_, out_)
                                                  : eeprom_write_choose_file(c_, file_dialog_, lines_);
    if (choice == FileChoice::Cancelled) {
        QDialog::reject();
        return;
    }
    if (choice == FileChoice::None) return;
    // The file with its folder, as Save As names it; a label shows the name whole.
    lbl_file_->setText(qs(c_.txt(kind_ == Kind::Read ? 10073 : 10072)) + QStringLiteral(" ") +
                       qpath(file_dialog_.file_name));
    cmd_start_->setEnabled(true);
    cmd_start_->setFocus();
}

void EepromDialog::start() {
    if (running_ || !cmd_start_->isEnabled()) return;
    running_ = true;
    const TransferOutcome outcome = kind_ == Kind::Read ? run_eeprom_read(c_, link_, *this, *out_)
                                                        : run_eeprom_write(c_, link_, *this, lines_);
    running_ = false;
    if (outcome == TransferOutcome::Ended) {
        out_.reset();
        QDialog::accept();
    }
}

void EepromDialog::stop() { request_stop(c_); }

void EepromDialog::cancel() {
    if (running_) return;
    out_.reset();
    release_port();
    QDialog::reject();
}

void EepromDialog::reject() {
    if (running_ || transfer_busy_) return;
    cancel();
}

void EepromDialog::release_port() {
    if (!c_.p.port_idle) link_.release();
    cancel_transfer(c_, link_);
}

void EepromDialog::running_shown() {
    transfer_busy_ = true;
    set_usable(cmd_start_, false);
    set_usable(cmd_cancel_, false);
    set_usable(cmd_stop_, true);
    cmd_stop_->setFocus();
    lbl_status_->show();
}

void EepromDialog::progress_show(int max) {
    prg_->setMaximum(max);
    prg_->setValue(0);
    prg_->show();
}

void EepromDialog::progress_value(int value) { progress_to(prg_, value); }

namespace {

void show_eeprom_dialog(Ctx& c, SerialLink& link, QWidget* parent, EepromDialog::Kind kind) {
    EepromDialog dlg(c, link, kind, parent);
    if (kind == EepromDialog::Kind::Read) set_lang_eeprom_read(c, dlg);
    else set_lang_eeprom_write(c, dlg);
    // The file is chosen once the dialog is up, as it comes to the front.
    QTimer::singleShot(0, &dlg, [&dlg] { dlg.activate(); });
    dlg.exec();
}

} // namespace

void show_eeprom_read_dialog(Ctx& c, SerialLink& link, QWidget* parent) {
    show_eeprom_dialog(c, link, parent, EepromDialog::Kind::Read);
}

void show_eeprom_write_dialog(Ctx& c, SerialLink& link, QWidget* parent) {
    show_eeprom_dialog(c, link, parent, EepromDialog::Kind::Write);
}

} // namespace kx
