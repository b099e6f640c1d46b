#include "editor/string_editor.h"

#include "core/context.h"
#include "core/models.h"
#include "core/text.h"
#include "platform/qt_text.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace kx {
namespace {

const char* const kKeys[6] = {"Esci", "Annulla", "Modifica", "Aggiungi", "Cancella", "Appendi"};

// Toolbar pictures: a check mark, a cross, a pencil, and a table with a row added before,
// removed, or added at the end.
QIcon button_icon(int which) {
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    auto pen = [&](QColor col, double w) {
        p.setPen(QPen(col, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    };
    auto table = [&] {
        pen(QColor(43, 58, 85), 1.2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3.5, 3.5, 13, 17));
        for (double y : {8.5, 12.5, 16.5}) p.drawLine(QPointF(3.5, y), QPointF(16.5, y));
    };
    switch (which) {
    case 0:
        pen(QColor(26, 154, 46), 3);
        p.drawPolyline(QPolygonF({QPointF(4, 13), QPointF(10, 19), QPointF(20, 5)}));
        break;
    case 1:
        pen(QColor(200, 30, 30), 3);
        p.drawLine(QPointF(5, 5), QPointF(19, 19));
        p.drawLine(QPointF(19, 5), QPointF(5, 19));
        break;
    case 2:
        pen(QColor(43, 58, 85), 1.2);
        p.setBrush(QColor(240, 200, 60));
        p.drawPolygon(
            QPolygonF({QPointF(5, 19), QPointF(6, 15), QPointF(17, 4), QPointF(20, 7), QPointF(9, 18)}));
        break;
    default:
        table();
        pen(which == 4 ? QColor(200, 30, 30) : QColor(26, 154, 46), 2.6);
        {
            const double y = which == 5 ? 19 : 10.5;
            p.drawLine(QPointF(14, y), QPointF(22, y));
            if (which != 4) p.drawLine(QPointF(18, y - 4), QPointF(18, y + 4));
        }
        break;
    }
    return QIcon(pm);
}

// Width of a text cell that shows a row of the widest display in the font's widest capitals,
// with the cell's margins and a few pixels to spare.
int full_row_width(const QTableWidget* t) {
    const QFontMetrics fm = t->fontMetrics();
    const int cols = largest_display().cols;
    const int letters = std::max(fm.horizontalAdvance(QString(cols, QChar('W'))),
                                 fm.horizontalAdvance(QString(cols, QChar('M'))));
    const int margins = 2 * (t->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, t) + 1);
    return letters + margins + 4;
}

// A text typed into a cell as the project can hold it, shown back in the cell.
QString entry_text(const QString& typed, int max_len) {
    std::string t = clean_entry(bytes(typed));
    if (static_cast<int>(t.size()) > max_len) t.resize(max_len);
    return qs(t);
}

} // namespace

StringCellDelegate::StringCellDelegate(int max_len, std::function<void(int, const QString&)> commit,
                                       QObject* parent)
    : QStyledItemDelegate(parent), max_len_(max_len), commit_(std::move(commit)) {
    // An editor that Enter, Esc or a click elsewhere closed is no longer open.
    connect(this, &QAbstractItemDelegate::closeEditor, this, [this](QWidget* e) {
        if (e == open_) open_ = nullptr;
    });
}

QWidget* StringCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                          const QModelIndex&) const {
    auto* e = new QLineEdit(parent);
    e->setObjectName("StringCellEditor");
    e->setFrame(false);
    const int max_len = max_len_;
    // Every change, typed or pasted, is checked as a whole.
    connect(e, &QLineEdit::textChanged, e, [e, max_len](const QString& text) {
        const QString kept = entry_text(text, max_len);
        if (kept == text) return;
        const int pos = std::clamp(static_cast<int>(e->cursorPosition() - (text.size() - kept.size())), 0,
                                   static_cast<int>(kept.size()));
        QSignalBlocker block(e);
        e->setText(kept);
        e->setCursorPosition(pos);
    });
    open_ = e;
    return e;
}

void StringCellDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const {
    if (auto* e = qobject_cast<QLineEdit*>(editor)) commit_(index.row(), e->text());
}

void StringCellDelegate::commit_open_editor() {
    if (!open_) return;
    QLineEdit* e = open_;
    open_ = nullptr;
    emit commitData(e);
    emit closeEditor(e, QAbstractItemDelegate::NoHint);
}

StringEditor::StringEditor(Ctx& c, QWidget* parent) : QDialog(parent), c_(c), s_(c.p) {
    setObjectName("frmStringhe");
    setModal(true);
    auto* lay = new QVBoxLayout(this);
    toolbar_ = new QToolBar(this);
    toolbar_->setObjectName("TlbStrings");
    toolbar_->setIconSize(QSize(24, 24));
    for (int i = 0; i < 6; ++i) {
        QAction* a = toolbar_->addAction(button_icon(i), QString());
        a->setObjectName(kKeys[i]);
        const QString key = kKeys[i];
        connect(a, &QAction::triggered, this, [this, key] { button_click(key); });
    }
    lay->addWidget(toolbar_);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("SSTab1");
    for (int l = 0; l < 6; ++l) {
        auto* t = new QTableWidget(0, 3, tabs_);
        t->setObjectName(QString("lstStringa%1").arg(l));
        t->verticalHeader()->hide();
        t->setSelectionBehavior(QAbstractItemView::SelectRows);
        t->setSelectionMode(QAbstractItemView::SingleSelection);
        t->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
        t->setAlternatingRowColors(false);
        t->setWordWrap(false);
        // Column widths in twips at 15 twips a pixel: text 3000, number 800; the text column
        // grows to show a whole row of the widest display in the widest letters.
        t->setColumnWidth(0, std::max(200, full_row_width(t)));
        t->setColumnWidth(1, 53);
        t->horizontalHeader()->setStretchLastSection(true);
        t->verticalHeader()->setDefaultSectionSize(20);
        delegates_[l] = new StringCellDelegate(
            s_.max_len(),
            [this, l](int row, const QString& text) {
                const std::string& kept = s_.edit(c_, l, row, bytes(text));
                if (QTableWidgetItem* it = lists_[l]->item(row, 0)) it->setText(qs(kept));
                if (QTableWidgetItem* it = lists_[l]->item(row, 2)) it->setText(QString::number(kept.size()));
            },
            t);
        t->setItemDelegateForColumn(0, delegates_[l]);
        t->installEventFilter(this);
        connect(t, &QTableWidget::currentCellChanged, this, [this, l](int row) {
            // The same string number stays selected on every tab. Only the list of the tab
            // shown counts: a list that takes the focus while its tab comes up selects its
            // first row by itself.
            if (!filling_ && row >= 0 && l == s_.current_tab) s_.current_row = row + 1;
        });
        lists_[l] = t;
        tabs_->addTab(t, QString());
    }
    lay->addWidget(tabs_);
    resize(std::max(560, lists_[0]->columnWidth(0) + 260), 460);
    reload();
    s_.current_tab = std::clamp(s_.current_tab, 0, s_.langs() - 1);
    tabs_->setCurrentIndex(s_.current_tab);
    select_row(s_.current_tab, s_.rows() > 0 ? s_.current_row : 0);
    lists_[tabs_->currentIndex()]->setFocus();
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int tab) {
        if (filling_ || tab < 0) return;
        s_.current_tab = tab;
        if (s_.rows() > 0) select_row(tab, std::clamp(s_.current_row, 1, s_.rows()));
    });
}

QAction* StringEditor::button(const QString& key) const { return toolbar_->findChild<QAction*>(key); }

void StringEditor::reload() {
    filling_ = true;
    for (int l = 0; l < 6; ++l) {
        QTableWidget* t = lists_[l];
        const bool used = l < s_.langs();
        tabs_->setTabVisible(l, used);
        tabs_->setTabText(l, used ? qs(c_.p.language_names[l]) : QString(9, ' '));
        t->setEnabled(used);
        t->setUpdatesEnabled(false);
        t->clearContents();
        t->setRowCount(used ? s_.rows() : 0);
        for (int k = 0; used && k < s_.rows(); ++k) {
            const std::string& text = s_.text(l, k);
            t->setItem(k, 0, new QTableWidgetItem(qs(text)));
            for (int col = 1; col < 3; ++col) {
                auto* it =
                    new QTableWidgetItem(QString::number(col == 1 ? k : static_cast<int>(text.size())));
                it->setFlags(it->flags() & ~Qt::ItemIsEditable);
                t->setItem(k, col, it);
            }
        }
        t->setUpdatesEnabled(true);
    }
    filling_ = false;
    tabs_->setCurrentIndex(std::clamp(s_.current_tab, 0, s_.langs() - 1));
}

void StringEditor::select_row(int lang, int row) {
    QTableWidget* t = lists_[lang];
    if (row < 1 || row > t->rowCount()) {
        t->clearSelection();
        t->setCurrentCell(-1, -1);
        return;
    }
    t->setCurrentCell(row - 1, 0);
    t->selectRow(row - 1);
    t->scrollToItem(t->item(row - 1, 0));
}

int StringEditor::selected_row() const {
    const QTableWidget* t = lists_[tabs_->currentIndex()];
    const auto sel = t->selectionModel()->selectedRows();
    return sel.isEmpty() ? 0 : sel.first().row() + 1;
}

void StringEditor::commit_edits() {
    for (auto* d : delegates_) d->commit_open_editor();
}

void StringEditor::button_click(const QString& key) {
    const int tab = tabs_->currentIndex();
    if (key == "Modifica") {
        if (const int row = selected_row()) lists_[tab]->editItem(lists_[tab]->item(row - 1, 0));
        return;
    }
    commit_edits();
    // The toolbar takes no focus: the list keeps it, so Enter edits the row just selected.
    lists_[tab]->setFocus();
    if (key == "Esci") {
        string_editor_save_exit(c_, s_);
        leaving_ = true;
        accept();
    } else if (key == "Annulla") {
        reject();
    } else if (key == "Aggiungi") {
        const int index = s_.rows() == 0 ? 1 : std::max(selected_row(), 1);
        if (!s_.insert(index)) {
            c_.beep();
            return;
        }
        reload();
        select_row(tab, index);
    } else if (key == "Appendi") {
        if (!s_.append()) {
            c_.beep();
            return;
        }
        reload();
        select_row(tab, s_.rows());
    } else if (key == "Cancella") {
        int index = selected_row();
        // No row, or none selected: nothing to delete.
        if (s_.rows() < 1 || !s_.remove(index)) {
            c_.beep();
            return;
        }
        reload();
        if (index > s_.rows()) --index;
        select_row(tab, index);
    }
}

void StringEditor::reject() {
    if (leaving_) return;
    leaving_ = true;
    commit_edits();
    string_editor_cancel_exit(c_, s_);
    QDialog::reject();
}

bool StringEditor::eventFilter(QObject* obj, QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        auto* t = qobject_cast<QTableWidget*>(obj);
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (t && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            // Enter on the list edits the selected text. The Enter that ends an edit comes up
            // from the cell's editor, which still has the focus: it starts no other edit.
            if (const int row = selected_row(); row && t->hasFocus()) t->editItem(t->item(row - 1, 0));
            return true;
        }
    }
    return QDialog::eventFilter(obj, e);
}

void set_lang_strings(Ctx& c, StringEditor& dlg) {
    dlg.setWindowTitle(qs(c.txt(10044)));
    for (int i = 0; i < 6; ++i) dlg.button(kKeys[i])->setToolTip(qs(c.txt(900 + i)));
    const QStringList headings = {qs(c.txt(10042)), qs(c.txt(10043)), qs(c.txt(10137))};
    for (QTableWidget* t : dlg.lists_) {
        t->setHorizontalHeaderLabels(headings);
        t->setColumnWidth(1, std::max(53, t->horizontalHeader()->sectionSizeHint(1)));
    }
}

void show_string_editor(Ctx& c, QWidget* parent) {
    StringEditor dlg(c, parent);
    set_lang_strings(c, dlg);
    dlg.exec();
}

} // namespace kx
