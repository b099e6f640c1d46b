#include "platform/qt_prompt.h"

#include "platform/qt_text.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QUrl>

namespace kx {
namespace {

// "Tutti i file (*.*)|*.*" -> "Tutti i file (*.*)" (the Qt form keeps the pattern in the name).
// When the pattern differs from the one the caption shows, the caption's brackets get the
// pattern: "Tutti i file (*.*)|*" -> "Tutti i file (*)", which also lists files without a dot.
QString qt_filter(const std::string& filter) {
    QStringList parts = qs(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i];
        const QString pattern = parts[i + 1].split(';').join(' ');
        const qsizetype open = name.lastIndexOf('(');
        if (open >= 0 && name.endsWith(')') && name.mid(open + 1, name.size() - open - 2) != pattern)
            name = name.left(open + 1) + pattern + ')';
        out << name;
    }
    if (out.isEmpty()) out << QString("*");
    return out.join(";;");
}

QString start_path(const FileDialog& dlg) {
    return qpath(dlg.file_name.empty() ? dlg.init_dir : dlg.file_name);
}

} // namespace

int QtPrompt::message(const std::string& text, int buttons, const std::string& title, MsgIcon icon) {
    QMessageBox box(parent_);
    box.setWindowTitle(title.empty() ? QApplication::applicationName() : qs(title));
    box.setText(qs(text));
    if (buttons == kYesNoCancel) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setIcon(QMessageBox::Question);
    } else if (buttons == kYesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setIcon(QMessageBox::Question);
    } else if (buttons == kOkCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    if (icon == kIconCritical) box.setIcon(QMessageBox::Critical);
    switch (box.exec()) {
    case QMessageBox::Yes: return kAnsYes;
    case QMessageBox::No: return kAnsNo;
    case QMessageBox::Ok: return kAnsOk;
    case QMessageBox::Cancel: return kAnsCancel;
    default: return buttons == kOkOnly ? kAnsOk : buttons == kYesNo ? kAnsNo : kAnsCancel;
    }
}

std::optional<std::string> QtPrompt::input(const std::string& prompt, const std::string& title,
                                           const std::string& def) {
    bool ok = false;
    QString t = QInputDialog::getText(parent_, title.empty() ? QApplication::applicationName() : qs(title),
                                      qs(prompt), QLineEdit::Normal, qs(def), &ok);
    if (!ok) return std::nullopt;
    return bytes(t);
}

bool QtPrompt::open_file(FileDialog& dlg) {
    QString f = QFileDialog::getOpenFileName(parent_, QString(), start_path(dlg), qt_filter(dlg.filter));
    if (f.isEmpty()) return false;
    dlg.file_name = fs_name(f);
    return true;
}

bool QtPrompt::save_file(FileDialog& dlg) {
    // The caller asks its own overwrite question.
    QString f = QFileDialog::getSaveFileName(parent_, QString(), start_path(dlg), qt_filter(dlg.filter),
                                             nullptr, QFileDialog::DontConfirmOverwrite);
    if (f.isEmpty()) return false;
    dlg.file_name = fs_name(f);
    return true;
}

void QtPrompt::beep() { QApplication::beep(); }

bool QtPrompt::open_document(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(qpath(path)));
}

void QtPrompt::busy(bool on) {
    // The hourglass is the main window's (and its children's) alone: a dialog or message box
    // opened meanwhile waits for the user, and shows the normal pointer.
    if (on) {
        if (busy_depth_++ == 0 && parent_) parent_->setCursor(Qt::WaitCursor);
    } else if (busy_depth_ > 0) {
        if (--busy_depth_ == 0 && parent_) parent_->unsetCursor();
    }
}

} // namespace kx
