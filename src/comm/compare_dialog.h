#pragma once
// The compare dialog frmCompareProject: a hint, Start and Cancel before the compare; while
// and after it runs, the report box that grows line by line, a progress bar, and Exit. The
// report and its totals stay until Exit.
#include "core/compare.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace kx {

struct Ctx;
class SerialLink;

class CompareDialog : public QDialog, public ComparePanel {
    Q_OBJECT
public:
    CompareDialog(Ctx& c, SerialLink& link, QWidget* parent = nullptr);

    void start();
    void cancel();
    void exit();
    bool transfer_busy() const { return transfer_busy_; }
    const CompareTotals& totals() const { return totals_; }

    // ComparePanel
    void buttons_hidden() override;
    void set_info(const std::string& text) override;
    void progress_show(int max) override;
    void progress_value(int value) override;
    void report_shown() override;
    void report_append(const std::string& text) override;
    void exit_shown() override;

    QLabel* info() const { return lbl_info_; }
    QPlainTextEdit* report() const { return txt_errors_; }
    QProgressBar* progress() const { return prg_; }
    QPushButton* start_button() const { return cmd_start_; }
    QPushButton* cancel_button() const { return cmd_cancel_; }
    QPushButton* exit_button() const { return cmd_exit_; }

protected:
    // Esc and the close box: Cancel before Start, Exit once the compare is over, nothing
    // while it runs.
    void reject() override;

private:
    friend void set_lang_compare(Ctx& c, CompareDialog& dlg);

    Ctx& c_;
    SerialLink& link_;
    CompareTotals totals_;
    bool transfer_busy_ = false;
    bool running_ = false;
    QLabel* lbl_info_;
    QLabel* lbl_errors_;
    QPlainTextEdit* txt_errors_;
    QProgressBar* prg_;
    QPushButton* cmd_start_;
    QPushButton* cmd_cancel_;
    QPushButton* cmd_exit_;
};

void set_lang_compare(Ctx& c, CompareDialog& dlg);

// Transfer > Compare: commits the page being edited, then shows the dialog modally.
void show_compare_dialog(Ctx& c, SerialLink& link, QWidget* parent);

} // namespace kx
