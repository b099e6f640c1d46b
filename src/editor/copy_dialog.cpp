#include "editor/copy_dialog.h"

#include "core/clipboard.h"
#include "core/context.h"
#include "platform/qt_button.h"
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
    static const char* names[3][2] = {{"lblStart", "txtStart"}, {"lblEnd", "txtEnd"}, {"lblDest", "TxtDest"}};
    for (int i = 0; i < 3; ++i) {
        labels_[i] = new QLabel(this);
        labels_[i]->setObjectName(names[i][0]);
        boxes_[i] = new QLineEdit("0", this);
        boxes_[i]->setObjectName(names[i][1]);
        boxes_[i]->setFixedWidth(70);
        boxes_[i]->installEventFilter(this);
        grid->addWidget(labels_[i], i, 0);
        grid->addWidget(boxes_[i], i, 1);
        // Only the user's typing is checked; text set by the dialog itself is not.
        connect(boxes_[i], &QLineEdit::textEdited, this, [this, i] { edited(i); });
    }
    root->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    ok_ = dialog_button(this, "cmdOK"); // Enter is not OK: only Esc has a meaning of its own
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
    for (QLineEdit* b : boxes_) b->setText("0");
}

void CopyGroupDialog::edited(int box) {
    Project& p = c_.p;
    QLineEdit* b = boxes_[box];
    const int limit = box == 2 ? p.last_page_idx + 1 : p.last_page_idx;
    // One byte per character of the box, so that positions agree: digits as they are,
    // anything else as a letter that the check cuts out.
    std::string shape;
    for (QChar ch : b->text()) shape += ch >= '0' && ch <= '9' ? static_cast<char>(ch.unicode()) : 'x';
    const int caret = b->cursorPosition();
    const PageBox kept = check_page_box(shape, caret, limit);
    if (kept.text != shape) {
        b->setText(QString::fromStdString(kept.text));
        b->setCursorPosition(kept.caret);
    }
    set_copy_range(p, box, kept.value);
}

bool CopyGroupDialog::eventFilter(QObject* obj, QEvent* e) {
    // A box left empty shows 0 again.
    if (e->type() == QEvent::FocusOut)
        for (QLineEdit* b : boxes_)
            if (obj == b && b->text().isEmpty()) b->setText("0");
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
