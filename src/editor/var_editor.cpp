#include "editor/var_editor.h"

#include "core/context.h"
#include "core/store.h"
#include "platform/qt_button.h"
#include "platform/qt_keystroke.h"
#include "platform/qt_text.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace kx {
namespace {

QToolButton* arrow_button(Qt::ArrowType dir, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setArrowType(dir);
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setFixedSize(18, 14);
    return b;
}

} // namespace

VarEditor::VarEditor(Ctx& ctx, QWidget* parent) : QDialog(parent), c_(ctx) {
    setObjectName("frmEditVar");
    setModal(true);
    auto* root = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* left = new QGridLayout;
    auto* right = new QGridLayout;
    top->addLayout(left);
    top->addSpacing(16);
    top->addLayout(right);
    root->addLayout(top);

    for (int i = 0; i < 6; ++i) {
        info_[i] = new QLabel(this);
        info_[i]->setObjectName(QString("lblInfo%1").arg(i));
    }
    const char* box_names[] = {"txtAddress", "txtMin", "txtMax", "txtDigits", "txtCol", "txtRow"};
    keys_ = new KeystrokeWatch(this);
    for (int i = 0; i < 6; ++i) {
        boxes_[i] = new QLineEdit(this);
        boxes_[i]->setObjectName(box_names[i]);
        boxes_[i]->installEventFilter(this);
        keys_->watch(boxes_[i]);
        const auto b = static_cast<VarBox>(i);
        connect(boxes_[i], &QLineEdit::textEdited, this, [this, b] { box_edited(b); });
    }
    type_ = new QComboBox(this);
    type_->setObjectName("cmbType");
    digits_ = new QComboBox(this);
    digits_->setObjectName("cmbDigits");
    dec_ = new QComboBox(this);
    dec_->setObjectName("CmbDec");
    for (QComboBox* cb : {type_, digits_, dec_}) cb->setMinimumWidth(110);

    left->addWidget(info_[0], 0, 0);
    left->addWidget(type_, 0, 1, 1, 2);
    left->addWidget(info_[1], 1, 0);
    left->addWidget(digits_, 1, 1, 1, 2); // the typed digits box stands in the same place
    left->addWidget(box(VarBox::Digits), 1, 1, 1, 2);
    left->addWidget(info_[2], 2, 0);
    left->addWidget(dec_, 2, 1, 1, 2);

    col_label_ = new QLabel(this);
    col_label_->setObjectName("lblCol");
    row_label_ = new QLabel(this);
    row_label_->setObjectName("lblRow");
    steps_[0] = arrow_button(Qt::LeftArrow, this);  // UpDCol down: one cell left
    steps_[1] = arrow_button(Qt::RightArrow, this); // UpDCol up: one cell right
    steps_[2] = arrow_button(Qt::DownArrow, this);  // UpDRow down: the next row
    steps_[3] = arrow_button(Qt::UpArrow, this);    // UpDRow up: the row before
    for (int i = 0; i < 4; ++i)
        connect(steps_[i], &QToolButton::clicked, this, [this, i] { step(i < 2, i % 2 == 1); });
    auto* col_lay = new QHBoxLayout;
    col_lay->addWidget(box(VarBox::Col));
    col_lay->addWidget(steps_[0]);
    col_lay->addWidget(steps_[1]);
    col_lay->addStretch(1);
    auto* row_lay = new QHBoxLayout;
    row_lay->addWidget(box(VarBox::Row));
    auto* row_arrows = new QVBoxLayout;
    row_arrows->setSpacing(0);
    row_arrows->addWidget(steps_[3]);
    row_arrows->addWidget(steps_[2]);
    row_lay->addLayout(row_arrows);
    row_lay->addStretch(1);
    left->addWidget(col_label_, 3, 0);
    left->addLayout(col_lay, 3, 1);
    left->addWidget(row_label_, 4, 0);
    left->addLayout(row_lay, 4, 1);
    box(VarBox::Col)->setFixedWidth(50);
    box(VarBox::Row)->setFixedWidth(50);

    for (int i = 0; i < 3; ++i) {
        right->addWidget(info_[3 + i], i, 0);
        right->addWidget(boxes_[i], i, 1);
        boxes_[i]->setFixedWidth(90);
    }
    access_frame_ = new QGroupBox(this);
    access_frame_->setObjectName("frmEnable");
    auto* acc_lay = new QVBoxLayout(access_frame_);
    for (int i = 0; i < 2; ++i) {
        access_[i] = new QRadioButton(access_frame_);
        access_[i]->setObjectName(QString("optRead%1").arg(i));
        acc_lay->addWidget(access_[i]);
        connect(access_[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) edit_access_chosen(c_, i);
        });
    }
    right->addWidget(access_frame_, 3, 0, 2, 2);

    com_frame_ = new QGroupBox("COM", this);
    com_frame_->setObjectName("frmCOM");
    auto* com_lay = new QHBoxLayout(com_frame_);
    com_[1] = new QRadioButton("COM1", com_frame_);
    com_[1]->setObjectName("optCOM1");
    com_[0] = new QRadioButton("COM0", com_frame_);
    com_[0]->setObjectName("optCOM0");
    com_lay->addWidget(com_[1]);
    com_lay->addWidget(com_[0]);
    root->addWidget(com_frame_);

    auto* button_row = new QHBoxLayout;
    button_row->addStretch(1);
    for (int i = 0; i < 3; ++i) {
        // Enter in a box does not close the dialog.
        buttons_[i] = dialog_button(this, QString("cmdVar%1").arg(i));
        connect(buttons_[i], &QPushButton::clicked, this, [this, i] { button_clicked(i); });
        button_row->addWidget(buttons_[i]);
    }
    root->addLayout(button_row);

    connect(type_, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int i) {
        if (c_.p.lock_events || i < 0) return;
        edit_type_chosen(c_, i);
        fill_lists();
    });
    connect(digits_, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int i) { edit_digits_chosen(c_, i); });
    connect(dec_, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int i) { edit_dec_chosen(c_, i); });

    // Tab goes through the controls as they stand, the list boxes first.
    QWidget* order[] = {
        type_,     digits_,     box(VarBox::Digits), dec_,       box(VarBox::Col), box(VarBox::Row),
        boxes_[0], boxes_[1],   boxes_[2],           access_[0], access_[1],       com_[1],
        com_[0],   buttons_[0], buttons_[1],         buttons_[2]};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
    type_->setFocus();

    init_edit_var(c_);
    set_captions();
    fill_controls();
}

void VarEditor::set_captions() {
    setWindowTitle(qs(c_.txt(10053)));
    for (int i = 0; i < 6; ++i) info_[i]->setText(qs(c_.txt(10004 + i)));
    buttons_[0]->setText(qs(c_.txt(10010)));
    buttons_[1]->setText(qs(c_.txt(10011)));
    buttons_[2]->setText(qs(c_.txt(10021)));
    access_[0]->setText(qs(c_.txt(10012)));
    access_[1]->setText(qs(c_.txt(10013)));
    access_frame_->setTitle(qs(c_.txt(10164)));
    col_label_->setText(qs(c_.txt(10162)));
    row_label_->setText(qs(c_.txt(10163)));
}

void VarEditor::fill_controls() {
    EventLock lock(c_.p);
    const var_edit_state& e = c_.p.var_edit;
    type_->clear();
    for (const auto& name : variable_type_list(c_.p.kx_type)) type_->addItem(qs(name));
    type_->setCurrentIndex(e.ed_type < type_->count() ? e.ed_type : -1);
    fill_lists();
    for (VarBox b : {VarBox::Address, VarBox::Min, VarBox::Max, VarBox::Col, VarBox::Row})
        show_box(b, edit_box_text(c_, b));
    access_[e.ed_access == 0 ? 0 : 1]->setChecked(true);
    com_[(e.saved.dec & kComBit) ? 1 : 0]->setChecked(true);
}

void VarEditor::fill_lists() {
    EventLock lock(c_.p);
    const var_edit_state& e = c_.p.var_edit;
    const EditLists l = edit_lists(c_);
    digits_->clear();
    for (const auto& s : l.digits.entries) digits_->addItem(qs(s));
    const int di = e.ed_digits - 1;
    digits_->setCurrentIndex(di >= 0 && di < digits_->count() ? di : -1);
    digits_->setVisible(!l.digits.text_visible);
    digits_->setEnabled(l.digits.list_enabled);
    box(VarBox::Digits)->setVisible(l.digits.text_visible);
    show_box(VarBox::Digits, edit_box_text(c_, VarBox::Digits));
    dec_->clear();
    for (const auto& s : l.dec.entries) dec_->addItem(qs(s));
    const int dc = e.ed_dec & 0x3F;
    dec_->setCurrentIndex(dc < dec_->count() ? dc : -1);
    dec_->setEnabled(l.dec.enabled);
}

void VarEditor::show_box(VarBox b, const std::string& text) {
    QLineEdit* e = box(b);
    QSignalBlocker block(e);
    e->setText(qs(text));
    accepted_[static_cast<int>(b)] = {text, static_cast<int>(text.size())};
}

void VarEditor::box_edited(VarBox b) {
    QLineEdit* e = box(b);
    const BoxText now{bytes(e->text()), e->cursorPosition(), keys_->typed()};
    const BoxText shown = edit_box_changed(c_, b, accepted_[static_cast<int>(b)], now);
    if (shown != now) {
        QSignalBlocker block(e);
        e->setText(qs(shown.text));
        e->setCursorPosition(shown.caret);
    }
    accepted_[static_cast<int>(b)] = shown;
}

void VarEditor::step(bool col, bool up) {
    if (col) edit_col_step(c_, up);
    else edit_row_step(c_, up);
    show_box(col ? VarBox::Col : VarBox::Row, edit_box_text(c_, col ? VarBox::Col : VarBox::Row));
}

void VarEditor::button_clicked(int i) {
    if (!c_.p.var_edit_open) return;
    if (i == 0) edit_var_ok(c_, com_[1]->isChecked());
    else if (i == 1) edit_var_cancel(c_);
    else edit_var_delete(c_);
    done(i == 0 ? QDialog::Accepted : QDialog::Rejected);
}

void VarEditor::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    activate_edit_var(c_);
    const bool multi = c_.p.multi_protocol == 1;
    com_frame_->setEnabled(multi);
    com_frame_->setVisible(multi);
}

void VarEditor::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        button_clicked(1);
        return;
    }
    QDialog::keyPressEvent(e);
}

void VarEditor::reject() {
    unload_edit_var(c_); // nothing more when a button already closed it
    QDialog::reject();
}

bool VarEditor::eventFilter(QObject* obj, QEvent* e) {
    auto* edit = qobject_cast<QLineEdit*>(obj);
    if (edit && e->type() == QEvent::FocusIn) {
        QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
    } else if (edit && e->type() == QEvent::FocusOut) {
        // Column and row show the position in force; an emptied number box shows 0 again.
        if (edit == box(VarBox::Col) || edit == box(VarBox::Row)) {
            const VarBox b = edit == box(VarBox::Col) ? VarBox::Col : VarBox::Row;
            show_box(b, edit_box_text(c_, b));
        } else if (edit->text().isEmpty()) {
            for (int i = 0; i < 4; ++i)
                if (edit == boxes_[i]) show_box(static_cast<VarBox>(i), "0");
        }
    }
    return QDialog::eventFilter(obj, e);
}

} // namespace kx
