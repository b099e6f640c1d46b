#pragma once
// The push buttons of the editor's dialogs.
#include <QPushButton>
#include <QString>

namespace kx {

// A dialog's button, never a default button: Qt would make a dialog's first button the
// default, and Enter in a box would then press it (OK with half the boxes filled in, Start
// of a transfer). A click, or Space on the focused button, presses it.
inline QPushButton* dialog_button(QWidget* parent, const QString& name, const QString& text = {}) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

} // namespace kx
