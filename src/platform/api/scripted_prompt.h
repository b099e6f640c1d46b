#pragma once
// A Prompt that answers from a script and records what it was shown, for tests.
#include "platform/api/prompt.h"

#include <deque>
#include <string>
#include <vector>

namespace kx {

class ScriptedPrompt : public Prompt {
public:
    struct Shown {
        std::string text;
        int buttons;
        std::string title;
        MsgIcon icon = kIconNone;
    };

    std::deque<int> answers;                       // message answers; default OK/Yes when empty
    std::deque<std::optional<std::string>> inputs; // input box answers; default cancel when empty
    std::deque<std::optional<std::string>> files;  // file dialog answers; nullopt = cancel
    std::vector<Shown> messages;
    std::vector<std::string> input_prompts;
    std::vector<FileDialog> dialogs_shown;
    int beeps = 0;
    int busy_depth = 0;
    bool viewer = true;                 // whether a desktop viewer takes documents
    std::vector<std::string> documents; // documents it was asked to open

    int message(const std::string& text, int buttons, const std::string& title,
                MsgIcon icon = kIconNone) override {
        messages.push_back({text, buttons, title, icon});
        if (answers.empty()) return buttons == kOkOnly ? kAnsOk : kAnsCancel;
        int a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<std::string> input(const std::string& prompt, const std::string&,
                                     const std::string&) override {
        input_prompts.push_back(prompt);
        if (inputs.empty()) return std::nullopt;
        auto a = inputs.front();
        inputs.pop_front();
        return a;
    }
    bool open_file(FileDialog& dlg) override { return pick(dlg); }
    bool save_file(FileDialog& dlg) override { return pick(dlg); }
    void beep() override { ++beeps; }
    void busy(bool on) override { busy_depth = on ? 1 : 0; }
    bool open_document(const std::string& path) override {
        documents.push_back(path);
        return viewer;
    }

    const std::string& last_text() const {
        static const std::string none;
        return messages.empty() ? none : messages.back().text;
    }

private:
    bool pick(FileDialog& dlg) {
        dialogs_shown.push_back(dlg);
        if (files.empty()) return false;
        auto f = files.front();
        files.pop_front();
        if (!f) return false;
        dlg.file_name = *f;
        return true;
    }
};

} // namespace kx
