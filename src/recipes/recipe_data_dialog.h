#pragma once
// The recipe data editor frmDataRecipe: modal, a toolbar of ten buttons (Save, Exit, First,
// Previous, Next, Last, Go To, Insert, Delete, Order), the block's number and name, and a
// list with one row per element whose first column, the value, is edited in place (Enter or
// a click on the selected row). The logic lives in RecipeData.
#include "core/recipe_data.h"

#include <QDialog>

class QAction;
class QLabel;
class QLineEdit;
class QTableWidget;
class QTableWidgetItem;
class QToolBar;

namespace kx {

class RecipeDataDialog : public QDialog {
    Q_OBJECT
public:
    explicit RecipeDataDialog(Ctx& c, QWidget* parent = nullptr);

    // Form Load: the current recipe file, its first block shown.
    void load();

    RecipeData& core() { return core_; }
    QTableWidget* list() const { return list_; }
    QLineEdit* number() const { return txt_number_; }
    QLineEdit* name() const { return txt_name_; }
    // Toolbar button 1..10.
    QAction* button(int index) const;
    QToolBar* toolbar() const { return toolbar_; }

protected:
    // Esc and the close box close as Exit does, after the save question.
    void reject() override;
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    friend void set_lang_data_recipe(Ctx& c, RecipeDataDialog& dlg);
    void refresh();
    void command(int index);
    void value_edited(QTableWidgetItem* item);

    Ctx& c_;
    RecipeData core_;
    QToolBar* toolbar_;
    QTableWidget* list_;
    QLabel* lbl_number_;
    QLabel* lbl_name_;
    QLineEdit* txt_number_;
    QLineEdit* txt_name_;
    bool refreshing_ = false;
};

// Captions of the dialog from the string table.
void set_lang_data_recipe(Ctx& c, RecipeDataDialog& dlg);

// Recipes > Edit: the data editor, modal until it closes.
void show_data_recipe_dialog(Ctx& c, QWidget* parent);

} // namespace kx
