#pragma once
// The push buttons of the editor's dialogs.
#include <QKeyEvent>
#include <QPushButton>
#include <QString>

namespace kx {

// A dialog's button. A click, Space, or Enter (Return or the keypad's Enter) on the focused
// button presses it. It is never auto-default: Qt would make a dialog's first such button
// the default, and the one last focused the default until another takes the focus, so that
// Enter typed in a box would press it (OK with half the boxes filled in, Start of a
// transfer). Enter in a box presses only the dialog's default button, and a dialog has one
// only where it sets it itself.
class DialogButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
        if (!enter || (e->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
            QPushButton::keyPressEvent(e);
            return;
        }
        // A held key presses once: its repeats must not press the button that takes the
        // focus next (Stop once Start has begun a transfer).
        if (!e->isAutoRepeat()) click();
    }
};

inline QPushButton* dialog_button(QWidget* parent, const QString& name, const QString& text = {}) {
    auto* b = new DialogButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

} // namespace kx
