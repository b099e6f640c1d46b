#pragma once
// The download dialog frmDownLoad and the upload dialog frmUpload, and the recipe download
// and upload dialogs frmRecipeDown and frmRecipeUpload (which also show the recipe file):
// modal, captioned from the string table, with a status text, a progress bar, Start and
// Cancel. Start runs the
// whole transfer inside its click handler; the dialog closes itself when the transfer ends
// and stays, with Cancel usable, after a run-time error.
#include "core/transfer.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

namespace kx {

struct Ctx;
class SerialLink;

class TransferDialog : public QDialog, public TransferPanel {
    Q_OBJECT
public:
    enum class Kind { Download, Upload, RecipeDownload, RecipeUpload };
    TransferDialog(Ctx& c, SerialLink& link, Kind kind, QWidget* parent = nullptr);

    // Start and Cancel, as their buttons do.
    void start();
    void cancel();
    bool transfer_busy() const { return transfer_busy_; }

    // TransferPanel
    void buttons_hidden() override;
    void cancel_shown() override;
    void set_info(const std::string& text) override;
    void progress_show(int max) override;
    void progress_value(int value) override;

    QLabel* info() const { return lbl_info_; }
    QLabel* name_label() const { return lbl_name_; } // the recipe file; nullptr otherwise
    QProgressBar* progress() const { return prg_; }
    QPushButton* start_button() const { return cmd_start_; }
    QPushButton* cancel_button() const { return cmd_cancel_; }

protected:
    // Esc and the close box act as Cancel, but never while a transfer runs.
    void reject() override;

private:
    friend void set_lang_download(Ctx& c, TransferDialog& dlg);
    friend void set_lang_upload(Ctx& c, TransferDialog& dlg);
    void set_lang_recipe_down(Ctx& c, TransferDialog& dlg);
    void set_lang_recipe_upload(Ctx& c, TransferDialog& dlg);
    friend void set_lang_recipe_down(Ctx& c, TransferDialog& dlg);
    friend void set_lang_recipe_upload(Ctx& c, TransferDialog& dlg);
    void set_captions(int title_id, int info_id = 10083);

    Ctx& c_;
    SerialLink& link_;
    Kind kind_;
    bool transfer_busy_ = false;
    bool running_ = false;
    QLabel* lbl_name_ = nullptr;
    QLabel* lbl_info_;
    QProgressBar* prg_;
    QPushButton* cmd_start_;
    QPushButton* cmd_cancel_;
};

// Captions of the two dialogs from the string table.
void set_lang_download(Ctx& c, TransferDialog& dlg);
void set_lang_upload(Ctx& c, TransferDialog& dlg);
void set_lang_recipe_down(Ctx& c, TransferDialog& dlg);
void set_lang_recipe_upload(Ctx& c, TransferDialog& dlg);

// The Transfer menu's PC --> KX and KX --> PC: show the dialog modally until it closes.
// The download commits the page being edited first. The upload expects the empty project
// of the model choice (choose_terminal_model with "upload") and leaves page 0 shown.
void show_download_dialog(Ctx& c, SerialLink& link, QWidget* parent);
void show_upload_dialog(Ctx& c, SerialLink& link, QWidget* parent);

} // namespace kx
