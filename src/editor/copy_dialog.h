#pragma once
// The page-group copy dialog (modeless): first and last page of a range and a destination
// page, typed digit by digit and kept within the project's pages; OK copies the range.
#include "core/textbox.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kx {
class KeystrokeWatch;

struct Ctx;

class CopyGroupDialog : public QDialog {
    Q_OBJECT
public:
    explicit CopyGroupDialog(Ctx& ctx, QWidget* parent = nullptr);
    // Captions from the string table and the three boxes back to 0.
    void reset();

    QLineEdit* start_box() const { return boxes_[0]; }
    QLineEdit* end_box() const { return boxes_[1]; }
    QLineEdit* dest_box() const { return boxes_[2]; }
    QPushButton* ok_button() const { return ok_; }
    QPushButton* cancel_button() const { return cancel_; }

protected:
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    void edited(int box);
    // Shows text the dialog sets itself; it is what a refused paste puts back.
    void show_box(int box, const std::string& text);
    void ok();

    Ctx& c_;
    QLabel* prompt_ = nullptr;
    QLabel* labels_[3] = {};
    QLineEdit* boxes_[3] = {};
    BoxText accepted_[3];
    KeystrokeWatch* keys_;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

// Modify > Copy Group: the range and destination start at 0, and the dialog opens without
// blocking the editor (an open one is brought back to 0 and to the front).
void show_copy_group_dialog(Ctx& c, QWidget* parent);

} // namespace kx
