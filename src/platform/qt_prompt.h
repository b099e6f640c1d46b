#pragma once
// Message boxes, input boxes, file dialogs, the beep and the hourglass with Qt widgets.
#include "platform/api/prompt.h"

class QWidget;

namespace kx {

class QtPrompt : public Prompt {
public:
    explicit QtPrompt(QWidget* parent = nullptr) : parent_(parent) {}
    void set_parent(QWidget* parent) { parent_ = parent; }
    int message(const std::string& text, int buttons, const std::string& title,
                MsgIcon icon = kIconNone) override;
    std::optional<std::string> input(const std::string& prompt, const std::string& title,
                                     const std::string& def) override;
    bool open_file(FileDialog& dlg) override;
    bool save_file(FileDialog& dlg) override;
    void beep() override;
    void busy(bool on) override;
    bool open_document(const std::string& path) override;

private:
    QWidget* parent_;
    int busy_depth_ = 0;
};

} // namespace kx
