#include "editor/copy_dialog.h"

#include "core/clipboard.h"
#include "core/context.h"
#include "platform/qt_button.h"
#include "platform/qt_keystroke.h"
#include "platform/qt_text.h"

#include <string>

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kx {

CopyGroupDialog::CopyGroupDialog(Ctx& ctx, QWidget* parent) : QDialog(parent), c_(ctx) {
    setObjectName("frmCopia");
    setAttribute(Qt::WA_DeleteOnClose);
    auto* root = new QVBoxLayout(this);
    prompt_ = new QLabel(this);
    prompt_->setObjectName("lblCopy");
    prompt_->setWordWrap(true);
    root->addWidget(prompt_);
    auto* grid = new QGridLayout;
    keys_ = new KeystrokeWatch(this);
    static const char* names[3][2] = {{"lblStart", "txtStart"}, {"lblEnd", "txtEnd"}, {"lblDest", "TxtDest"}};
    for (int i = 0; i < 3; ++i) {
        labels_[i] = new QLabel(this);
        labels_[i]->setObjectName(names[i][0]);
        boxes_[i] = new QLineEdit("0", this);
        boxes_[i]->setObjectName(names[i][1]);
        boxes_[i]->setFixedWidth(70);
        boxes_[i]->installEventFilter(this);
        keys_->watch(boxes_[i]);
        grid->addWidget(labels_[i], i, 0);
        grid->addWidget(boxes_[i], i, 1);
        // Only the user's typing is checked; text set by the dialog itself is not.
        connect(boxes_[i], &QLineEdit::textEdited, this, [this, i] { edited(i); });
    }
    root->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    ok_ = dialog_button(this, "cmdOK"); // Enter in a box is not OK: only Esc has a meaning of its own
    cancel_ = dialog_button(this, "cmdCancel");
    for (QPushButton* b : {ok_, cancel_}) buttons->addWidget(b);
    buttons->addStretch(1);
    root->addLayout(buttons);
    connect(ok_, &QPushButton::clicked, this, [this] { ok(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { close(); });
    reset();
}

void CopyGroupDialog::reset() {
    QString title = qs(c_.menus.at(Menu::Modify, 2).caption);
    setWindowTitle(title.remove('&'));
    prompt_->setText(qs(c_.txt(10033)));
    labels_[0]->setText(qs(c_.txt(10034)));
    labels_[1]->setText(qs(c_.txt(10035)));
    labels_[2]->setText(qs(c_.txt(10038)));
    cancel_->setText(qs(c_.txt(10036)));
    ok_->setText(qs(c_.txt(10037)));
    for (int i = 0; i < 3; ++i) show_box(i, "0");
}

void CopyGroupDialog::show_box(int box, const std::string& text) {
    boxes_[box]->setText(QString::fromStdString(text));
    accepted_[box] = {text, static_cast<int>(text.size())};
}

void CopyGroupDialog::edited(int box) {
    QLineEdit* b = boxes_[box];
    // One byte per character of the box, so that positions agree: digits as they are,
    // anything else as a letter that the check refuses.
    std::string shape;
    for (QChar ch : b->text()) shape += ch >= '0' && ch <= '9' ? static_cast<char>(ch.unicode()) : 'x';
    const BoxText now{shape, b->cursorPosition(), keys_->typed()};
    const BoxText shown = copy_box_changed(c_.p, box, accepted_[box], now);
    if (shown != now) {
        b->setText(QString::fromStdString(shown.text));
        b->setCursorPosition(shown.caret);
    }
    accepted_[box] = shown;
}

bool CopyGroupDialog::eventFilter(QObject* obj, QEvent* e) {
    // A box left empty shows 0 again.
    if (e->type() == QEvent::FocusOut)
        for (int i = 0; i < 3; ++i)
            if (obj == boxes_[i] && boxes_[i]->text().isEmpty()) show_box(i, "0");
    return QDialog::eventFilter(obj, e);
}

void CopyGroupDialog::ok() {
    setCursor(Qt::WaitCursor);
    const bool copied = copy_pages(c_);
    unsetCursor();
    // A refused copy keeps the dialog open, so that the numbers can be corrected.
    if (copied) close();
}

void show_copy_group_dialog(Ctx& c, QWidget* parent) {
    reset_copy_range(c.p);
    auto* dlg = parent->findChild<CopyGroupDialog*>();
    if (dlg) dlg->reset();
    else dlg = new CopyGroupDialog(c, parent);
    dlg->show();
    dlg->raise();
    dlg->activateWindow();
}

} // namespace kx
