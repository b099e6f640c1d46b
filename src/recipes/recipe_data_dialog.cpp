#include "recipes/recipe_data_dialog.h"

#include "core/context.h"
#include "platform/qt_text.h"
#include "recipes/recipe_widgets.h"

#include <QAction>
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

// Column headings and widths in twips, at 15 twips a pixel.
const char* const kHeadings[RecipeData::ColCount] = {"Value", "Name", "Id_data", "Min", "Max", "Dot", "Type"};
constexpr int kWidths[RecipeData::ColCount] = {1650, 1000, 700, 700, 700, 700, 1000};
constexpr int kButtons = 10;
const int kTipIds[kButtons] = {10102, 10103, 10104, 10105, 10106, 10107, 10108, 10109, 10110, 10128};

// The list whose value cells Enter edits. It opens the editor as the list's own edit key
// does: a click on the selected row has already asked the list for an edit that starts when
// the double-click time has passed, and the editor then opens by that road (editItem would
// fail and warn meanwhile).
class ValueList : public QTableWidget {
public:
    using QTableWidget::QTableWidget;
    void edit_value(int row) {
        if (row >= 0) edit(model()->index(row, RecipeData::ColValue), EditKeyPressed, nullptr);
    }
};

} // namespace

RecipeDataDialog::RecipeDataDialog(Ctx& c, QWidget* parent) : QDialog(parent), c_(c), core_(c) {
    setModal(true);
    setObjectName(QStringLiteral("frmDataRecipe"));

    toolbar_ = new QToolBar(this);
    toolbar_->setObjectName(QStringLiteral("tlbDataREcipe"));
    const QIcon icons[kButtons] = {style()->standardIcon(QStyle::SP_DialogSaveButton),
                                   style()->standardIcon(QStyle::SP_DialogCloseButton),
                                   QIcon(":/icons/FirstPage.svg"),
                                   QIcon(":/icons/PageUp.svg"),
                                   QIcon(":/icons/PageDown.svg"),
                                   QIcon(":/icons/LastPage.svg"),
                                   QIcon(":/icons/GoToPage.svg"),
                                   QIcon(":/icons/InsertPage.svg"),
                                   QIcon(":/icons/DeletePage.svg"),
                                   style()->standardIcon(QStyle::SP_FileDialogListView)};
    for (int i = 0; i < kButtons; ++i) {
        QAction* a = toolbar_->addAction(icons[i], QString());
        a->setObjectName(QString("button%1").arg(i + 1));
        connect(a, &QAction::triggered, this, [this, i] { command(i + 1); });
    }

    lbl_number_ = new QLabel(this);
    txt_number_ = new QLineEdit(this);
    txt_number_->setObjectName(QStringLiteral("TxtNumber"));
    lbl_name_ = new QLabel(this);
    txt_name_ = new QLineEdit(this);
    txt_name_->setObjectName(QStringLiteral("txtName"));
    for (QLineEdit* box : {txt_number_, txt_name_}) {
        box->setEnabled(false);
        box->setMaximumWidth(110);
    }

    list_ = new ValueList(this);
    list_->setObjectName(QStringLiteral("lstDataRecipe"));
    list_->setColumnCount(RecipeData::ColCount);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    list_->verticalHeader()->hide();
    list_->setShowGrid(false);
    QStringList headings;
    for (const char* h : kHeadings) headings << h;
    list_->setHorizontalHeaderLabels(headings);
    const int width = fit_columns(list_, kWidths);
    list_->installEventFilter(this);
    connect(list_, &QTableWidget::itemChanged, this, &RecipeDataDialog::value_edited);

    auto* boxes = new QHBoxLayout;
    boxes->addWidget(lbl_number_);
    boxes->addWidget(txt_number_);
    boxes->addSpacing(16);
    boxes->addWidget(lbl_name_);
    boxes->addWidget(txt_name_);
    boxes->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(toolbar_);
    layout->addLayout(boxes);
    layout->addWidget(list_);
    resize(width + 40, 400);
}

QAction* RecipeDataDialog::button(int index) const {
    return toolbar_->findChild<QAction*>(QString("button%1").arg(index));
}

void set_lang_data_recipe(Ctx& c, RecipeDataDialog& dlg) {
    dlg.setWindowTitle(file_title(c.txt(10099), c.p.recipe_path));
    dlg.lbl_name_->setText(qs(c.txt(10100)));
    dlg.lbl_number_->setText(qs(c.txt(10101)));
    for (int i = 0; i < kButtons; ++i) dlg.button(i + 1)->setToolTip(qs(c.txt(kTipIds[i])));
}

void RecipeDataDialog::load() {
    core_.load();
    refresh();
    list_->setFocus();
}

void RecipeDataDialog::refresh() {
    refreshing_ = true;
    const int row = std::max(0, list_->currentRow());
    const auto rows = core_.rows();
    list_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        for (int col = 0; col < RecipeData::ColCount; ++col) {
            auto* item = new QTableWidgetItem(qs(rows[r][col]));
            Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
            if (col == RecipeData::ColValue) flags |= Qt::ItemIsEditable;
            item->setFlags(flags);
            list_->setItem(r, col, item);
        }
    }
    fit_columns(list_, kWidths);
    if (!rows.empty()) list_->setCurrentCell(std::min(row, static_cast<int>(rows.size()) - 1), 0);
    txt_number_->setText(QString::number(core_.current()));
    txt_name_->setText(qs(core_.block_name()));
    setWindowTitle(file_title(c_.txt(10099), c_.p.recipe_path));
    refreshing_ = false;
}

void RecipeDataDialog::command(int index) {
    switch (index) {
    case 1: core_.save(); break;
    case 2: reject(); return;
    case 3: core_.home(); break;
    case 4: core_.prev(); break;
    case 5: core_.next(); break;
    case 6: core_.end(); break;
    case 7: core_.go_to(); break;
    case 8: core_.insert(); break;
    case 9: core_.remove(); break;
    case 10: core_.order(); break;
    default: return;
    }
    refresh();
}

void RecipeDataDialog::value_edited(QTableWidgetItem* item) {
    if (refreshing_ || !item || item->column() != RecipeData::ColValue) return;
    const int row = item->row();
    core_.edit_value(row, bytes(item->text()));
    // Stored: the whole number; refused: the old value comes back.
    refreshing_ = true;
    item->setText(qs(core_.rows()[row][RecipeData::ColValue]));
    refreshing_ = false;
}

bool RecipeDataDialog::eventFilter(QObject* obj, QEvent* e) {
    // Keys reach the list itself only while no value is being edited.
    if (obj == list_ && e->type() == QEvent::KeyPress && list_->hasFocus()) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && list_->currentRow() >= 0) {
            static_cast<ValueList*>(list_)->edit_value(list_->currentRow());
            return true;
        }
        if (key == Qt::Key_Escape) {
            reject();
            return true;
        }
    }
    return QDialog::eventFilter(obj, e);
}

void RecipeDataDialog::reject() {
    if (!core_.close_question()) return;
    QDialog::reject();
}

void show_data_recipe_dialog(Ctx& c, QWidget* parent) {
    RecipeDataDialog dlg(c, parent);
    set_lang_data_recipe(c, dlg);
    dlg.load();
    dlg.exec();
}

} // namespace kx
