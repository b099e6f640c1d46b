#include "comm/transfer_dialogs.h"

#include "comm/dialog_parts.h"
#include "comm/serial_link.h"
#include "core/context.h"
#include "core/recipe_transfer.h"
#include "core/store.h"
#include "platform/qt_button.h"
#include "platform/qt_text.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace kx {

TransferDialog::TransferDialog(Ctx& c, SerialLink& link, Kind kind, QWidget* parent)
    : QDialog(parent), c_(c), link_(link), kind_(kind) {
    setModal(true);
    static const char* const names[] = {"frmDownLoad", "frmUpload", "frmRecipeDown", "frmRecipeUpload"};
    static const char* const bars[] = {"PrgDown", "PrgUp", "prgDownRecipe", "prgUpRecipe"};
    setObjectName(QString::fromLatin1(names[static_cast<int>(kind)]));
    if (kind == Kind::RecipeDownload || kind == Kind::RecipeUpload) {
        lbl_name_ = new QLabel(this);
        lbl_name_->setObjectName(QStringLiteral("lblName"));
        lbl_name_->setAlignment(Qt::AlignCenter);
        lbl_name_->setWordWrap(true);
    }
    lbl_info_ = new QLabel(this);
    lbl_info_->setObjectName(QStringLiteral("lblInfo"));
    lbl_info_->setAlignment(Qt::AlignCenter);
    prg_ = new QProgressBar(this);
    prg_->setObjectName(QString::fromLatin1(bars[static_cast<int>(kind)]));
    prg_->setTextVisible(false);
    prg_->hide();
    cmd_start_ = dialog_button(this, "cmdStart");
    cmd_cancel_ = dialog_button(this, "cmdCancel");

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmd_start_);
    buttons->addWidget(cmd_cancel_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    if (lbl_name_) layout->addWidget(lbl_name_);
    layout->addWidget(lbl_info_);
    layout->addWidget(prg_);
    layout->addLayout(buttons);
    setMinimumWidth(380);

    connect(cmd_start_, &QPushButton::clicked, this, &TransferDialog::start);
    connect(cmd_cancel_, &QPushButton::clicked, this, &TransferDialog::cancel);
}

void TransferDialog::set_captions(int title_id, int info_id) {
    cmd_start_->setText(qs(c_.txt(10078)));
    cmd_cancel_->setText(qs(c_.txt(10081)));
    setWindowTitle(qs(c_.txt(title_id)));
    lbl_info_->setText(qs(c_.txt(info_id)));
}

void set_lang_download(Ctx& c, TransferDialog& dlg) {
    (void)c;
    dlg.set_captions(10082);
}

void set_lang_upload(Ctx& c, TransferDialog& dlg) {
    (void)c;
    dlg.set_captions(10084);
}

void set_lang_recipe_down(Ctx& c, TransferDialog& dlg) {
    (void)c;
    dlg.set_captions(10121, 10120);
}

void set_lang_recipe_upload(Ctx& c, TransferDialog& dlg) {
    (void)c;
    dlg.set_captions(10125, 10120);
}

void TransferDialog::start() {
    if (running_) return;
    running_ = true;
    TransferOutcome outcome = TransferOutcome::Refused;
    switch (kind_) {
    case Kind::Download: outcome = run_download(c_, link_, *this); break;
    case Kind::Upload: outcome = run_upload(c_, link_, *this); break;
    case Kind::RecipeDownload: outcome = run_recipe_download(c_, link_, *this); break;
    case Kind::RecipeUpload: outcome = run_recipe_upload(c_, link_, *this); break;
    }
    running_ = false;
    if (outcome == TransferOutcome::Ended) accept();
}

void TransferDialog::cancel() {
    if (running_) return;
    // The port is open here only when something left it held; Cancel frees it.
    cancel_transfer(c_, link_);
    QDialog::reject();
}

void TransferDialog::reject() {
    if (running_) return;
    cancel();
}

void TransferDialog::buttons_hidden() {
    transfer_busy_ = true;
    for (QPushButton* b : {cmd_start_, cmd_cancel_}) {
        b->setEnabled(false);
        b->hide();
    }
}

void TransferDialog::cancel_shown() {
    cmd_cancel_->setEnabled(true);
    cmd_cancel_->show();
    cmd_cancel_->setFocus();
}

void TransferDialog::set_info(const std::string& text) { lbl_info_->setText(qs(text)); }

void TransferDialog::progress_show(int max) {
    prg_->setMaximum(max);
    prg_->show();
}

void TransferDialog::progress_value(int value) { prg_->setValue(std::clamp(value, 0, prg_->maximum())); }

void show_download_dialog(Ctx& c, SerialLink& link, QWidget* parent) {
    TransferDialog dlg(c, link, TransferDialog::Kind::Download, parent);
    set_lang_download(c, dlg);
    // The download sends what the editor shows.
    save_page(c, c.p.act_page, c.p.act_lang);
    dlg.exec();
}

void show_upload_dialog(Ctx& c, SerialLink& link, QWidget* parent) {
    TransferDialog dlg(c, link, TransferDialog::Kind::Upload, parent);
    set_lang_upload(c, dlg);
    opening_pause(c.pump);
    dlg.exec();
}

} // namespace kx
