#include "editor/editor_window.h"

#include "core/context.h"
#include "core/display.h"
#include "core/editing.h"
#include "core/links.h"
#include "core/models.h"
#include "core/store.h"
#include "editor/display_widget.h"
#include "platform/qt_keystroke.h"
#include "platform/qt_text.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpacerItem>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace kx {
namespace {

// Arrow picture of a link box: 0 up, 1 down, 2 left, 3 right.
QPixmap arrow_pixmap(int dir) {
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 160));
    p.translate(12, 12);
    p.rotate(dir == 0 ? 0 : dir == 1 ? 180 : dir == 2 ? 270 : 90);
    QPolygonF head;
    head << QPointF(0, -10) << QPointF(9, 0) << QPointF(-9, 0);
    p.drawPolygon(head);
    p.drawRect(QRectF(-3.5, 0, 7, 10));
    return pm;
}

// A framed label as wide as its text and at least 70 pixels: however small the window, the
// text is never cut.
class FramedLabel : public QLabel {
public:
    using QLabel::QLabel;
    QSize sizeHint() const override { return QLabel::sizeHint().expandedTo(QSize(70, 0)); }
    QSize minimumSizeHint() const override { return sizeHint(); }
};

QLabel* framed_label(QWidget* parent) {
    auto* l = new FramedLabel(parent);
    l->setFrameShape(QFrame::Box);
    l->setContentsMargins(6, 2, 6, 2);
    l->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return l;
}

// Height of a row of the variable grid, in pixels.
constexpr int kGridRowH = 20;
// Rows the grid shows at least; the rest are reached with its scroll bar.
constexpr int kGridMinRows = 2;

void set_link_look(QLineEdit* box, bool editing) {
    QPalette pal = box->palette();
    QColor bg = editing ? QColor(128, 0, 0) : QColor(224, 224, 224);
    pal.setColor(QPalette::Base, bg);
    pal.setColor(QPalette::Disabled, QPalette::Base, bg);
    pal.setColor(QPalette::Text, QColor(0, 255, 0));
    pal.setColor(QPalette::Disabled, QPalette::Text, QColor(0, 160, 0));
    box->setPalette(pal);
    box->setEnabled(editing);
}

} // namespace

EditorWindow::EditorWindow(Ctx& ctx, QWidget* parent) : QWidget(parent), c_(ctx) {
    setObjectName("frmEditor");
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(12, 12, 12, 12);
    root->setSpacing(10);

    // Link row: four arrow pictures with their boxes, then the page labels.
    auto* link_row = new QHBoxLayout;
    link_row->addStretch(1);
    for (int i = 0; i < 4; ++i) {
        arrows_[i] = new QLabel(this);
        arrows_[i]->setPixmap(arrow_pixmap(i));
        arrows_[i]->setFixedSize(27, 27);
        arrows_[i]->setAlignment(Qt::AlignCenter);
        links_[i] = new QLineEdit("0", this);
        links_[i]->setObjectName(QString("TxtLink%1").arg(i));
        links_[i]->setFixedSize(54, 27);
        set_link_look(links_[i], false);
        link_row->addWidget(arrows_[i]);
        link_row->addWidget(links_[i]);
        link_row->addSpacing(10);
    }
    link_row->addSpacing(55);
    auto* page_box = new QVBoxLayout;
    labels_[static_cast<int>(Label::Page)] = framed_label(this);
    labels_[static_cast<int>(Label::TPages)] = framed_label(this);
    page_box->addWidget(labels_[static_cast<int>(Label::Page)]);
    page_box->addWidget(labels_[static_cast<int>(Label::TPages)]);
    link_row->addLayout(page_box);
    link_row->addStretch(1);
    root->addLayout(link_row);

    // The display, centred.
    auto* disp_row = new QHBoxLayout;
    display_ = new DisplayWidget(this);
    disp_row->addStretch(1);
    disp_row->addWidget(display_);
    disp_row->addStretch(1);
    root->addLayout(disp_row);

    // Cursor, mode, link and model labels, and the password options.
    auto* info_row = new QHBoxLayout;
    info_row->addStretch(1);
    for (Label l : {Label::Row, Label::Col, Label::Mode, Label::Link, Label::Type}) {
        labels_[static_cast<int>(l)] = framed_label(this);
        info_row->addWidget(labels_[static_cast<int>(l)]);
    }
    pwd_frame_ = new QGroupBox("Password", this);
    auto* pwd_lay = new QHBoxLayout(pwd_frame_);
    pwd_on_ = new QRadioButton("ON", pwd_frame_);
    pwd_off_ = new QRadioButton("OFF", pwd_frame_);
    pwd_off_->setChecked(true);
    pwd_lay->addWidget(pwd_on_);
    pwd_lay->addWidget(pwd_off_);
    info_row->addWidget(pwd_frame_);
    info_row->addStretch(1);
    root->addLayout(info_row);
    info_row->setAlignment(Qt::AlignVCenter);
    labels_[static_cast<int>(Label::Pwd)] = nullptr;

    // Variable grid and the terminal-language list beside it.
    auto* grid_row_lay = new QHBoxLayout;
    grid_ = new QTableWidget(kMaxVars, 10, this);
    grid_->setObjectName("MSHFGVar");
    grid_->verticalHeader()->hide();
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::NoSelection);
    grid_->setFocusPolicy(Qt::NoFocus);
    grid_->verticalHeader()->setDefaultSectionSize(kGridRowH);
    // Columns of fixed widths that fill the grid: the last one takes the room that the
    // vertical scroll bar leaves when every row shows.
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    grid_->horizontalHeader()->setStretchLastSection(true);
    // It asks for the height of all its rows, and takes less only when the window has less.
    grid_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    lang_ = new QComboBox(this);
    lang_->setObjectName("cmbLang");
    lang_->setMinimumWidth(120);
    grid_row_lay->addStretch(1);
    grid_row_lay->addWidget(grid_);
    grid_row_lay->addWidget(lang_, 0, Qt::AlignTop);
    grid_row_lay->addStretch(1);
    root->addLayout(grid_row_lay);
    // Room for the largest display, whichever model the project has: the window's minimum
    // size fits every model.
    display_room_ = new QSpacerItem(0, 0, QSizePolicy::Fixed, QSizePolicy::Fixed);
    root->addItem(display_room_);
    root->addStretch(1);

    connect(display_, &DisplayWidget::cellPressed, this, [this](int cell, Qt::MouseButton b) {
        setFocus();
        display_mouse_down(c_, cell, b == Qt::RightButton ? 2 : b == Qt::MiddleButton ? 4 : 1);
    });
    connect(display_, &DisplayWidget::cellClicked, this, [this](int cell) { display_click(c_, cell); });
    connect(display_, &DisplayWidget::cellDoubleClicked, this,
            [this](int cell) { display_dbl_click(c_, cell); });
    connect(lang_, QOverload<int>::of(&QComboBox::activated), this, [this](int index) {
        if (c_.p.lock_events) return;
        lang_list_click(c_, index);
        // The list gives the keyboard back: typing goes on to the page.
        setFocus(Qt::OtherFocusReason);
    });

    link_keys_ = new KeystrokeWatch(this);
    for (int i = 0; i < 4; ++i) {
        link_keys_->watch(links_[i]);
        connect(links_[i], &QLineEdit::textEdited, this, [this, i] { link_edited(i); });
    }
    connect(pwd_on_, &QRadioButton::clicked, this, [this] { pwd_clicked(true); });
    connect(pwd_off_, &QRadioButton::clicked, this, [this] { pwd_clicked(false); });

    blink_ = std::make_unique<FdTimer>([this] { blink(); });

    // Key preview: the window sees every key before the focused control.
    for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
    setFocusPolicy(Qt::StrongFocus);
}

QLabel* EditorWindow::label(Label which) const {
    if (which == Label::Pwd) return nullptr;
    return labels_[static_cast<int>(which)];
}

void EditorWindow::paint_cell(int cell, GlyphSet set, int image) { display_->set_cell(cell, set, image); }

void EditorWindow::layout_display(int n_cols, int n_rows) {
    display_->layout_cells(n_cols, n_rows);
    const DisplayExtent most = largest_display();
    const DisplayGeometry largest = display_geometry(most.cols, most.rows);
    const DisplayGeometry shown = display_geometry(n_cols, n_rows);
    display_room_->changeSize(largest.border_w, std::max(0, largest.border_h - shown.border_h),
                              QSizePolicy::Fixed, QSizePolicy::Fixed);
    layout()->invalidate();
}

void EditorWindow::unload_display(int) { display_->unload_cells(); }

void EditorWindow::set_blink_enabled(bool on) {
    if (on) blink_->start_every(400);
    else blink_->stop();
}

void EditorWindow::set_label(Label which, const std::string& text) {
    if (which == Label::Pwd) {
        pwd_frame_->setTitle(qs(text));
        return;
    }
    if (QLabel* l = labels_[static_cast<int>(which)]) l->setText(qs(text));
}

void EditorWindow::show_link_box(int k, const std::string& text) {
    if (k < 0 || k > 3) return;
    QSignalBlocker block(links_[k]);
    links_[k]->setText(qs(text));
    link_accepted_[k] = {text, static_cast<int>(text.size())};
}

void EditorWindow::show_pwd(bool on) {
    QSignalBlocker b1(pwd_on_), b2(pwd_off_);
    pwd_on_->setChecked(on);
    pwd_off_->setChecked(!on);
}

void EditorWindow::grid_layout(const std::vector<std::string>& headings) {
    // Column widths in pixels: the text of each column and a margin.
    static const int widths[] = {48, 48, 68, 34, 34, 34, 34, 48, 48, 48, 54};
    grid_->setColumnCount(static_cast<int>(headings.size()));
    int total = 0;
    for (int i = 0; i < static_cast<int>(headings.size()); ++i) {
        const int w = widths[std::min(i, 10)];
        grid_->setColumnWidth(i, w);
        total += w;
    }
    // Only columns, headings and widths: the rows stay as the page wrote them.
    QStringList h;
    for (const auto& s : headings) h << qs(s);
    grid_->setHorizontalHeaderLabels(h);
    // Every column beside the vertical scroll bar; every row when there is room, at least
    // kGridMinRows.
    const int frame = 2 * grid_->frameWidth();
    const int heading = grid_->horizontalHeader()->sizeHint().height();
    grid_->setFixedWidth(total + frame + grid_->verticalScrollBar()->sizeHint().width());
    grid_->setMinimumHeight(heading + kGridMinRows * kGridRowH + frame);
    grid_->setMaximumHeight(heading + kMaxVars * kGridRowH + frame);
}

void EditorWindow::grid_clear(const std::vector<std::string>& headings) {
    if (grid_->columnCount() != static_cast<int>(headings.size()))
        grid_->setColumnCount(static_cast<int>(headings.size()));
    QStringList h;
    for (const auto& s : headings) h << qs(s);
    grid_->setHorizontalHeaderLabels(h);
    grid_->clearContents();
    grid_marked_ = 0; // a grid written anew marks no variable
}

void EditorWindow::grid_row(int k, const std::vector<std::string>& cells) {
    if (k < 1 || k > grid_->rowCount()) return;
    grid_->setUpdatesEnabled(false);
    for (int col = 0; col < static_cast<int>(cells.size()) && col < grid_->columnCount(); ++col)
        grid_->setItem(k - 1, col, new QTableWidgetItem(qs(cells[col])));
    // A row written again keeps the marking the grid shows; with a variable marked every
    // data cell, empty ones and new columns included, takes its look again.
    if (grid_marked_ != 0) paint_grid_marking();
    else paint_grid_row(k - 1);
    grid_->setUpdatesEnabled(true);
}

void EditorWindow::paint_grid_row(int r) {
    // No variable marked: navy text on the grid's own background. One marked: its row blue
    // on white, every other data cell navy on grey.
    const bool marked = r == grid_marked_ - 1;
    const QColor text = marked ? QColor(0, 0, 255) : QColor(0, 0, 128);
    const QBrush back =
        grid_marked_ == 0 ? QBrush() : QBrush(marked ? QColor(255, 255, 255) : QColor(224, 224, 224));
    for (int col = 0; col < grid_->columnCount(); ++col) {
        QTableWidgetItem* it = grid_->item(r, col);
        if (!it && grid_marked_ == 0) continue;
        if (!it) grid_->setItem(r, col, it = new QTableWidgetItem);
        it->setForeground(text);
        it->setBackground(back);
    }
}

void EditorWindow::paint_grid_marking() {
    for (int r = 0; r < grid_->rowCount(); ++r) paint_grid_row(r);
}

void EditorWindow::lang_list_set(const std::vector<std::string>& names, int selected) {
    // Filling the list must not run its click handler: a combo box selects its first item
    // by itself, which would save the page into the wrong language.
    QSignalBlocker block(lang_);
    lang_->clear();
    for (const auto& n : names) lang_->addItem(qs(n));
    lang_->setCurrentIndex(selected);
}

void EditorWindow::blink() { blink_step(c_, blink_state_); }

namespace {

// The page editor's code of a Qt key, for the keys it knows (0: none).
int key_code(int qt_key) {
    switch (qt_key) {
    case Qt::Key_Backspace: return kKeyBack;
    case Qt::Key_PageUp: return kKeyPageUp;
    case Qt::Key_PageDown: return kKeyPageDown;
    case Qt::Key_End: return kKeyEnd;
    case Qt::Key_Home: return kKeyHome;
    case Qt::Key_Left: return kKeyLeft;
    case Qt::Key_Up: return kKeyUp;
    case Qt::Key_Right: return kKeyRight;
    case Qt::Key_Down: return kKeyDown;
    case Qt::Key_Insert: return kKeyInsert;
    case Qt::Key_Delete: return kKeyDelete;
    default: break;
    }
    if ((qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9) || (qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z))
        return qt_key;
    if (qt_key == Qt::Key_Space) return 32;
    return 0;
}

} // namespace

bool EditorWindow::handle_key(QKeyEvent* e) {
    const int code = key_code(e->key());
    const QString text = e->text();
    const int ascii = text.size() == 1 ? text.at(0).unicode() : 0;
    // A control character never types: under X11 Delete carries the text 127 and Backspace 8,
    // and both are handled by their key codes alone.
    const bool typed =
        ascii >= 32 && ascii < 127 && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (code == 0 && !typed) return false; // Tab, Enter, Esc and the rest go to the control
    int shift = 0;
    if (e->modifiers() & Qt::ShiftModifier) shift |= kShiftFlag;
    if (e->modifiers() & Qt::ControlModifier) shift |= kCtrlFlag;
    if (e->modifiers() & Qt::AltModifier) shift |= kAltFlag;
    key_down(c_, code, shift);
    if (typed) key_press(c_, ascii);
    return true;
}

bool EditorWindow::eventFilter(QObject* obj, QEvent* e) {
    if (handle_link_event(obj, e)) return true;
    if (obj == lang_ && e->type() == QEvent::FocusIn) key_preview_ = false;
    if (obj == lang_ && e->type() == QEvent::FocusOut) key_preview_ = true;
    if (e->type() == QEvent::KeyPress && key_preview_ && !c_.p.link_edit && obj != lang_) {
        if (handle_key(static_cast<QKeyEvent*>(e))) return true;
    }
    return QWidget::eventFilter(obj, e);
}

void EditorWindow::end_link_edit() {
    // The keyboard leaves the boxes before they are disabled: a disabled box would hand the
    // focus to the next one, which would select its text on the way.
    for (QLineEdit* box : links_)
        if (box->hasFocus()) setFocus(Qt::OtherFocusReason);
    for (int i = 0; i < 4; ++i) {
        links_[i]->deselect();
        set_link_look(links_[i], false);
        if (links_[i]->text().isEmpty()) empty_link_box(c_, i);
    }
    key_preview_ = true;
}

void EditorWindow::grid_highlight(int k) {
    grid_marked_ = std::clamp(k, 0, grid_->rowCount());
    grid_->setUpdatesEnabled(false);
    paint_grid_marking();
    grid_->setUpdatesEnabled(true);
}

void EditorWindow::pic_link_click(int k) {
    if (!start_link_edit(c_)) return;
    for (QLineEdit* box : links_) set_link_look(box, true);
    link_focus_ = k;
    links_[k]->setFocus(Qt::MouseFocusReason);
}

void EditorWindow::focus_link_box() { links_[link_focus_]->setFocus(Qt::OtherFocusReason); }

void EditorWindow::link_edited(int k) {
    QLineEdit* box = links_[k];
    const BoxText now{bytes(box->text()), box->cursorPosition(), link_keys_->typed()};
    const BoxText shown = link_box_changed(c_, k, link_accepted_[k], now);
    if (shown != now) {
        QSignalBlocker block(box);
        box->setText(qs(shown.text));
        box->setCursorPosition(shown.caret);
    }
    link_accepted_[k] = shown;
}

void EditorWindow::pwd_clicked(bool on) {
    set_page_password(c_, on);
    // Typing goes on where it went: to the link box being edited, else to the page.
    if (c_.p.link_edit) focus_link_box();
    else setFocus();
}

bool EditorWindow::handle_link_event(QObject* obj, QEvent* e) {
    for (int k = 0; k < 4; ++k) {
        if (obj == arrows_[k] && e->type() == QEvent::MouseButtonPress) {
            pic_link_click(k);
            return true;
        }
        if (obj != links_[k]) continue;
        if (e->type() == QEvent::FocusIn) {
            if (!c_.p.link_edit) continue;
            link_focus_ = k;
            QTimer::singleShot(0, links_[k], [this, box = links_[k]] {
                if (c_.p.link_edit && box->hasFocus()) box->selectAll();
            });
        } else if (e->type() == QEvent::FocusOut && k == 3 && c_.p.link_edit) {
            // While links are edited the focus cycles through the four boxes.
            const auto reason = static_cast<QFocusEvent*>(e)->reason();
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
                QTimer::singleShot(0, this, [this] {
                    if (c_.p.link_edit) links_[0]->setFocus(Qt::TabFocusReason);
                });
        } else if (e->type() == QEvent::KeyPress && c_.p.link_edit) {
            auto* key = static_cast<QKeyEvent*>(e);
            link_box_key(c_);
            switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Tab: links_[(k + 1) % 4]->setFocus(Qt::TabFocusReason); return true;
            case Qt::Key_Backtab: links_[(k + 3) % 4]->setFocus(Qt::BacktabFocusReason); return true;
            case Qt::Key_Escape:
                disable_edit_link(c_);
                setFocus();
                return true;
            default: break;
            }
        }
    }
    return false;
}

void EditorWindow::keyPressEvent(QKeyEvent* e) {
    if (c_.p.link_edit) {
        // While links are edited no key reaches the page: the link box takes it. A key the
        // box does not take (Shift alone) comes back up here and goes no further.
        if (forwarding_key_) {
            e->ignore();
            return;
        }
        focus_link_box();
        forwarding_key_ = true;
        QApplication::sendEvent(links_[link_focus_], e);
        forwarding_key_ = false;
        return;
    }
    if (!handle_key(e)) QWidget::keyPressEvent(e);
}

void EditorWindow::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    // A click on the window's background while links are edited leaves the keyboard with the
    // link box. Later, so that a click on the display, which ends link editing, keeps it here.
    if (c_.p.link_edit)
        QTimer::singleShot(0, this, [this] {
            if (c_.p.link_edit && hasFocus()) focus_link_box();
        });
}

} // namespace kx
