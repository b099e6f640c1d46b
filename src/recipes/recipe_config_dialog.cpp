#include "recipes/recipe_config_dialog.h"

#include "core/context.h"
#include "platform/qt_text.h"
#include "recipes/recipe_widgets.h"

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace kx {
namespace {

// Column widths in twips, at 15 twips a pixel.
constexpr int kWidths[RecipeConfig::ColCount] = {900, 2000, 900, 900, 900, 900};
const char* const kTags[] = {"Save", "Exit", "Insert", "Append", "Delete"};
constexpr RecipeBox kCellBoxes[] = {RecipeBox::Name, RecipeBox::Dot, RecipeBox::Min, RecipeBox::Max};

bool is_enter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

} // namespace

RecipeConfigDialog::RecipeConfigDialog(Ctx& c, QWidget* parent) : QDialog(parent), c_(c), core_(c) {
    setModal(true);
    setObjectName(QStringLiteral("frmConfigRecipe"));

    toolbar_ = new QToolBar(this);
    toolbar_->setObjectName(QStringLiteral("tlbConf"));
    const QIcon icons[] = {style()->standardIcon(QStyle::SP_DialogSaveButton),
                           style()->standardIcon(QStyle::SP_DialogCloseButton),
                           QIcon(":/icons/InsertPage.svg"), QIcon(":/icons/AppendPage.svg"),
                           QIcon(":/icons/DeletePage.svg")};
    for (int i = 0; i < 5; ++i) {
        QAction* a = toolbar_->addAction(icons[i], QString());
        a->setObjectName(kTags[i]);
        const QString tag = kTags[i];
        connect(a, &QAction::triggered, this, [this, tag] { command(tag); });
    }

    lbl_base_ = new QLabel(this);
    txt_base_ = new QLineEdit(this);
    txt_base_->setObjectName(QStringLiteral("txtBaseAddr"));
    lbl_nelem_ = new QLabel(this);
    txt_nelem_ = new QLineEdit(this);
    txt_nelem_->setObjectName(QStringLiteral("txtNElem"));
    txt_nelem_->setEnabled(false);
    for (QLineEdit* box : {txt_base_, txt_nelem_}) box->setMaximumWidth(90);

    grid_ = new QTableWidget(this);
    grid_->setObjectName(QStringLiteral("MSHFRecipe"));
    grid_->setColumnCount(RecipeConfig::ColCount);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->verticalHeader()->hide();
    const int width = fit_columns(grid_, kWidths);
    grid_->installEventFilter(this);
    connect(grid_, &QTableWidget::cellClicked, this, [this](int row, int col) { start_edit(row, col); });
    connect(grid_, &QTableWidget::currentCellChanged, this, [this](int row, int col) {
        if (refreshing_ || row < 0) return;
        core_.cur_row = row + 1;
        core_.cur_col = col;
    });

    auto* boxes = new QHBoxLayout;
    boxes->addWidget(lbl_base_);
    boxes->addWidget(txt_base_);
    boxes->addSpacing(16);
    boxes->addWidget(lbl_nelem_);
    boxes->addWidget(txt_nelem_);
    boxes->addStretch();

    auto* cells = new QGridLayout;
    static const char* const names[] = {"txtName", "txtDot", "txtMin", "txtMax"};
    static const char* const label_names[] = {"lblName", "lblDot", "lblMin", "lblMax"};
    for (int i = 0; i < 4; ++i) {
        labels_[i] = new QLabel(this);
        labels_[i]->setObjectName(label_names[i]);
        editors_[i] = new QLineEdit(this);
        editors_[i]->setObjectName(names[i]);
        editors_[i]->installEventFilter(this);
        cells->addWidget(labels_[i], 0, i);
        cells->addWidget(editors_[i], 1, i);
        labels_[i]->hide();
        editors_[i]->hide();
        QLineEdit* box = editors_[i];
        const RecipeBox kind = kCellBoxes[i];
        connect(box, &QLineEdit::textEdited, this, [this, box, kind] { box_edited(box, kind); });
    }
    txt_base_->installEventFilter(this);
    connect(txt_base_, &QLineEdit::textEdited, this, [this] {
        box_edited(txt_base_, RecipeBox::BaseAddr);
        core_.base_addr = bytes(txt_base_->text());
    });
    connect(txt_base_, &QLineEdit::editingFinished, this, [this] {
        core_.base_addr_done(bytes(txt_base_->text()));
        txt_base_->setText(qs(core_.base_addr));
        last_good_[0] = txt_base_->text();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(toolbar_);
    layout->addLayout(boxes);
    layout->addWidget(grid_);
    layout->addLayout(cells);
    resize(width + 40, 420);
}

QAction* RecipeConfigDialog::button(const QString& tag) const { return toolbar_->findChild<QAction*>(tag); }

void set_lang_config_recipe(Ctx& c, RecipeConfigDialog& dlg) {
    dlg.setWindowTitle(file_title(c.txt(10086), c.p.recipe_path));
    dlg.lbl_base_->setText(qs(c.txt(10087)));
    dlg.lbl_nelem_->setText(qs(c.txt(10088)));
    const int cell_ids[] = {10092, 10089, 10090, 10091};
    for (int i = 0; i < 4; ++i) dlg.labels_[i]->setText(qs(c.txt(cell_ids[i])));
    for (int i = 0; i < 5; ++i) dlg.button(kTags[i])->setToolTip(qs(c.txt(10093 + i)));
}

void RecipeConfigDialog::load() {
    core_.load();
    refresh();
    grid_->setFocus();
}

void RecipeConfigDialog::refresh() {
    refreshing_ = true;
    const auto& g = core_.grid;
    grid_->setRowCount(static_cast<int>(g.size()) - 1);
    QStringList headings;
    for (const auto& h : g[0]) headings << qs(h);
    grid_->setHorizontalHeaderLabels(headings);
    for (int r = 1; r < static_cast<int>(g.size()); ++r) {
        for (int col = 0; col < RecipeConfig::ColCount; ++col) {
            auto* item = new QTableWidgetItem(qs(g[r][col]));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            grid_->setItem(r - 1, col, item);
        }
    }
    fit_columns(grid_, kWidths);
    txt_base_->setText(qs(core_.base_addr));
    last_good_[0] = txt_base_->text();
    txt_nelem_->setText(qs(core_.n_elem));
    grid_->setCurrentCell(core_.cur_row - 1, core_.cur_col);
    setWindowTitle(file_title(c_.txt(10086), c_.p.recipe_path));
    refreshing_ = false;
}

void RecipeConfigDialog::command(const QString& tag) {
    if (core_.editing()) return;
    if (tag == "Save") core_.save();
    else if (tag == "Exit") reject();
    else if (tag == "Insert") core_.insert_line();
    else if (tag == "Append") core_.append_line();
    else if (tag == "Delete") core_.delete_line();
    if (isVisible() || tag != "Exit") refresh();
}

void RecipeConfigDialog::start_edit(int row, int col) {
    if (core_.editing()) finish_edit(false);
    if (!core_.start_edit(row + 1, col)) {
        refresh();
        return;
    }
    grid_->clearSelection(); // the selection colour would hide the yellow of the edited cell
    if (QTableWidgetItem* item = grid_->item(row, col)) item->setBackground(QColor(255, 255, 0));
    QLineEdit* box = editors_[col - 1];
    labels_[col - 1]->show();
    box->setText(qs(core_.grid[row + 1][col]));
    last_good_[col] = box->text();
    box->show();
    box->selectAll();
    box->setFocus();
    toolbar_->setEnabled(false);
}

void RecipeConfigDialog::finish_edit(bool cancelled) {
    if (!core_.editing()) return;
    const int col = core_.edit_col();
    QLineEdit* box = editors_[col - 1];
    core_.end_edit(bytes(box->text()), cancelled);
    box->hide();
    labels_[col - 1]->hide();
    toolbar_->setEnabled(true);
    refresh();
    grid_->setFocus();
}

void RecipeConfigDialog::box_edited(QLineEdit* box, RecipeBox kind) {
    const int index =
        box == txt_base_
            ? 0
            : static_cast<int>(std::find(editors_.begin(), editors_.end(), box) - editors_.begin()) + 1;
    const std::string typed = bytes(box->text());
    const std::string kept = core_.box_changed(kind, bytes(last_good_[index]), typed);
    if (kept != typed) {
        // A refused change goes back; the caret stays where the refused text began.
        const int pos = box->cursorPosition() - static_cast<int>(typed.size() - kept.size());
        box->setText(qs(kept));
        box->setCursorPosition(std::max(0, std::min(pos, static_cast<int>(kept.size()))));
    }
    last_good_[index] = box->text();
}

bool RecipeConfigDialog::eventFilter(QObject* obj, QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (obj == grid_) {
            if (is_enter(key)) {
                start_edit(grid_->currentRow(), grid_->currentColumn());
                return true;
            }
            if (key == Qt::Key_Escape) {
                reject();
                return true;
            }
        } else if (obj == txt_base_) {
            if (is_enter(key) || key == Qt::Key_Escape) {
                focusNextChild();
                return true;
            }
        } else if (is_enter(key) || key == Qt::Key_Escape) {
            finish_edit(key == Qt::Key_Escape);
            return true;
        }
    } else if (e->type() == QEvent::FocusOut && obj != grid_ && obj != txt_base_ && core_.editing()) {
        // Leaving the cell editor for another control stores it; the window losing the
        // focus (a message box, another program) does not.
        const Qt::FocusReason why = static_cast<QFocusEvent*>(e)->reason();
        if (why != Qt::ActiveWindowFocusReason && why != Qt::PopupFocusReason) finish_edit(false);
    }
    return QDialog::eventFilter(obj, e);
}

void RecipeConfigDialog::reject() {
    if (core_.editing()) finish_edit(true);
    if (!core_.close_question()) return;
    QDialog::reject();
}

void show_config_recipe_dialog(Ctx& c, QWidget* parent) {
    RecipeConfigDialog dlg(c, parent);
    set_lang_config_recipe(c, dlg);
    dlg.load();
    dlg.exec();
}

} // namespace kx
