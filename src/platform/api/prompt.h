#pragma once
// Everything that asks the user something or tells the user something: message boxes,
// input boxes, the common file dialogs, the beep and the mouse pointer. The Qt version
// shows real dialogs; the scripted version answers from a queue for tests.
#include <optional>
#include <string>

namespace kx {

// Message box buttons and answers, with the values the model routines compare.
enum MsgButtons { kOkOnly = 0, kOkCancel = 1, kYesNoCancel = 3, kYesNo = 4 };
enum MsgAnswer { kAnsOk = 1, kAnsCancel = 2, kAnsYes = 6, kAnsNo = 7 };
// The icon a message box shows, by the values of the platform's message-box styles. With
// none asked, a box shows its usual one: a question mark for Yes and No, else none.
enum MsgIcon { kIconNone = 0, kIconCritical = 16 };

// The error number that a cancelled file dialog raises.
constexpr int kCancelError = 32755;

// The filter of every file dialog: caption and pattern. The pattern is "*", not "*.*", which
// would hide every file without a dot in its name, such as a new "nuovoProgetto".
constexpr const char* kAllFilesFilter = "Tutti i file (*.*)|*";

// State of one common file dialog; it survives between uses, as the dialog object does.
struct FileDialog {
    std::string init_dir;
    std::string file_name; // full path after a choice
    std::string filter = kAllFilesFilter;
    int filter_index = 2;
    int flags = 4;
    bool cancel_error = true;
};

class Prompt {
public:
    virtual ~Prompt() = default;
    // Shows text with the given buttons (and icon); returns kAnsOk, kAnsYes, kAnsNo or kAnsCancel.
    virtual int message(const std::string& text, int buttons = kOkOnly, const std::string& title = "",
                        MsgIcon icon = kIconNone) = 0;
    // Input box; std::nullopt when cancelled.
    virtual std::optional<std::string> input(const std::string& prompt, const std::string& title = "",
                                             const std::string& def = "") = 0;
    // File dialogs: false when the user cancelled; on true dlg.file_name holds the chosen path.
    virtual bool open_file(FileDialog& dlg) = 0;
    virtual bool save_file(FileDialog& dlg) = 0;
    virtual void beep() = 0;
    // Hourglass pointer on (true) or back to normal (false).
    virtual void busy(bool on) { (void)on; }
    // Opens a local file (the help page) in the desktop's viewer; false when nothing took it.
    virtual bool open_document(const std::string& path) {
        (void)path;
        return false;
    }
};

} // namespace kx
