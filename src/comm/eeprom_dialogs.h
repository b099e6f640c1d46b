#pragma once
// The EEPROM read dialog frmEER and the EEPROM write dialog frmEEW: the file is chosen when
// the dialog comes up; Start stays disabled until a file is open; Start reads or writes
// with a progress bar; Stop ends it after the current exchange. The dialog closes itself
// when the transfer ends; the port is released on every way out.
#include "core/eeprom.h"
#include "platform/api/prompt.h"

#include <QDialog>
#include <memory>
#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;

namespace kx {

struct Ctx;
class SerialLink;
class ReplacingWriter;

class EepromDialog : public QDialog, public EepromPanel {
    Q_OBJECT
public:
    enum class Kind { Read, Write };
    EepromDialog(Ctx& c, SerialLink& link, Kind kind, QWidget* parent = nullptr);
    ~EepromDialog() override;

    // Chooses the file, as the dialog does when it comes up.
    void activate();
    void start();
    void stop();
    void cancel();
    bool transfer_busy() const { return transfer_busy_; }

    // EepromPanel
    void running_shown() override;
    void progress_show(int max) override;
    void progress_value(int value) override;

    QLabel* file_label() const { return lbl_file_; }
    QLabel* status_label() const { return lbl_status_; }
    QProgressBar* progress() const { return prg_; }
    QPushButton* start_button() const { return cmd_start_; }
    QPushButton* stop_button() const { return cmd_stop_; }
    QPushButton* cancel_button() const { return cmd_cancel_; }

protected:
    // Esc and the close box act as Cancel, never while a transfer runs.
    void reject() override;

private:
    friend void set_lang_eeprom_read(Ctx& c, EepromDialog& dlg);
    friend void set_lang_eeprom_write(Ctx& c, EepromDialog& dlg);
    void set_captions(int title_id, int status_id);
    void release_port();

    Ctx& c_;
    SerialLink& link_;
    Kind kind_;
    FileDialog file_dialog_;
    std::unique_ptr<ReplacingWriter> out_; // the read's file beside the chosen one, made when chosen
    std::vector<std::string> lines_;      // the write's lines, read when chosen
    bool transfer_busy_ = false;
    bool running_ = false;
    QLabel* lbl_status_;
    QLabel* lbl_file_;
    QProgressBar* prg_;
    QPushButton* cmd_start_;
    QPushButton* cmd_stop_;
    QPushButton* cmd_cancel_;
};

void set_lang_eeprom_read(Ctx& c, EepromDialog& dlg);
void set_lang_eeprom_write(Ctx& c, EepromDialog& dlg);

// Transfer > EEPROM read and EEPROM write: the dialog, modal, with its file chosen first.
void show_eeprom_read_dialog(Ctx& c, SerialLink& link, QWidget* parent);
void show_eeprom_write_dialog(Ctx& c, SerialLink& link, QWidget* parent);

} // namespace kx
