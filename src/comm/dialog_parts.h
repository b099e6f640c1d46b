#pragma once
// Small pieces that the transfer dialogs share: named buttons, showing or hiding a control
// together with enabling it, a progress bar that keeps its value within its range, and the
// pause before a dialog shows.
#include "core/project.h"
#include "core/transfer.h"
#include "platform/qt_button.h"
#include "platform/api/pump.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QString>
#include <algorithm>

namespace kx {

inline QPushButton* named_button(QWidget* parent, const char* name) { return dialog_button(parent, name); }

inline QLabel* named_label(QWidget* parent, const char* name) {
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setAlignment(Qt::AlignCenter);
    l->setWordWrap(true);
    return l;
}

inline QProgressBar* named_progress(QWidget* parent, const char* name) {
    auto* p = new QProgressBar(parent);
    p->setObjectName(QString::fromLatin1(name));
    p->setTextVisible(false);
    p->hide();
    return p;
}

// A control shown and enabled, or hidden and disabled.
inline void set_usable(QWidget* w, bool on) {
    w->setEnabled(on);
    w->setVisible(on);
}

inline void progress_to(QProgressBar* bar, int value) { bar->setValue(std::clamp(value, 0, bar->maximum())); }

// The short pause between building a dialog and showing it. The windows paint, but no key,
// click or menu command gets in: nothing can start while the dialog is only half set up.
inline void opening_pause(Pump& pump) { wait_ms(pump, 100, /*user_input=*/false); }

} // namespace kx
