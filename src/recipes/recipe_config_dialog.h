#pragma once
// The recipe structure editor frmConfigRecipe: modal, a toolbar (Save, Exit, Insert, Append,
// Delete), the base address and element count boxes, the grid of elements and one cell
// editor per editable column, shown below the grid while a cell is edited. The logic lives in
// RecipeConfig; this window shows it and passes the user's actions on.
#include "core/recipe_config.h"

#include <QDialog>
#include <array>

class QAction;
class QLabel;
class QLineEdit;
class QTableWidget;
class QToolBar;

namespace kx {

class RecipeConfigDialog : public QDialog {
    Q_OBJECT
public:
    explicit RecipeConfigDialog(Ctx& c, QWidget* parent = nullptr);

    // Form Load: the current recipe file into the grid.
    void load();

    RecipeConfig& core() { return core_; }
    QTableWidget* grid() const { return grid_; }
    QLineEdit* base_addr() const { return txt_base_; }
    QLineEdit* n_elem() const { return txt_nelem_; }
    // The cell editor of grid column 1..4 (name, dot, min, max).
    QLineEdit* cell_editor(int col) const { return editors_[col - 1]; }
    // Toolbar buttons by their tag: "Save", "Exit", "Insert", "Append", "Delete".
    QAction* button(const QString& tag) const;
    QToolBar* toolbar() const { return toolbar_; }

protected:
    // Esc and the close box close as Exit does, after the closing question.
    void reject() override;
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    friend void set_lang_config_recipe(Ctx& c, RecipeConfigDialog& dlg);
    void refresh();
    void command(const QString& tag);
    void start_edit(int row, int col);
    void finish_edit(bool cancelled);
    void box_edited(QLineEdit* box, RecipeBox kind);

    Ctx& c_;
    RecipeConfig core_;
    QToolBar* toolbar_;
    QTableWidget* grid_;
    QLabel* lbl_base_;
    QLabel* lbl_nelem_;
    QLineEdit* txt_base_;
    QLineEdit* txt_nelem_;
    std::array<QLabel*, 4> labels_{};
    std::array<QLineEdit*, 4> editors_{};
    std::array<QString, 5> last_good_; // per box: the base address and the four cell editors
    bool refreshing_ = false;
};

// Captions of the dialog from the string table.
void set_lang_config_recipe(Ctx& c, RecipeConfigDialog& dlg);

// Recipes > Config: the structure editor, modal until it closes.
void show_config_recipe_dialog(Ctx& c, QWidget* parent);

} // namespace kx
