#pragma once
// The global string editor frmStringhe: modal, one list per terminal language on the tabs
// of a tab control (text, string number, length), and a toolbar to leave with or without
// saving, edit the selected text in place, insert, delete and append a row.
#include "core/string_edit.h"

#include <QDialog>
#include <QPointer>
#include <QStyledItemDelegate>
#include <array>

class QAction;
class QLineEdit;
class QTabWidget;
class QTableWidget;
class QToolBar;

namespace kx {

struct Ctx;

// The in-place editor of a text cell: the whole text is checked on every change (control
// characters out, characters the code page lacks as "?", at most the row width), and the
// edit ends in the dialog's session.
class StringCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    StringCellDelegate(int max_len, std::function<void(int row, const QString& text)> commit,
                       QObject* parent);
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    // Ends an edit in progress as if Enter were pressed.
    void commit_open_editor();

private:
    int max_len_;
    std::function<void(int, const QString&)> commit_;
    mutable QPointer<QLineEdit> open_;
};

class StringEditor : public QDialog {
    Q_OBJECT
public:
    StringEditor(Ctx& c, QWidget* parent = nullptr);

    // Toolbar buttons by key: "Esci", "Annulla", "Modifica", "Aggiungi", "Cancella", "Appendi".
    void button_click(const QString& key);
    QAction* button(const QString& key) const;
    QTabWidget* tabs() const { return tabs_; }
    QTableWidget* list(int lang) const { return lists_[lang]; }
    const StringEditSession& session() const { return s_; }

protected:
    // Esc, "Exit and Cancel" and the close box: asks after an in-place edit.
    void reject() override;
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    friend void set_lang_strings(Ctx& c, StringEditor& dlg);
    void reload();
    void select_row(int lang, int row); // 1-based; nothing for 0
    int selected_row() const;           // 1-based in the current list; 0 for none
    void commit_edits();

    Ctx& c_;
    StringEditSession s_;
    QToolBar* toolbar_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    std::array<QTableWidget*, 6> lists_{};
    std::array<StringCellDelegate*, 6> delegates_{};
    bool filling_ = false;
    bool leaving_ = false;
};

// Captions of the dialog, its toolbar tips and its column headings.
void set_lang_strings(Ctx& c, StringEditor& dlg);
// Strings > Edit: the dialog, modal, until it closes.
void show_string_editor(Ctx& c, QWidget* parent);

} // namespace kx
