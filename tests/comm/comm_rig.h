#pragma once
// What the transfer tests and benchmarks run on: the terminal simulator as a child process
// and an editor context whose COM1 is the simulator's device.
#include "../support/recording_view.h"
#include "comm/serial_link.h"
#include "core/context.h"
#include "core/shell.h"
#include "platform/api/scripted_prompt.h"
#include "platform/qt_pump.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QStringList>
#include <string>

namespace kx {

using Texts = std::vector<std::string>;
const std::string kTransferOk = "Trasferimento eseguito con successo";

// The simulator, started on a new pseudo-terminal whose device it prints first, stopped
// when the object goes.
class SimProcess {
public:
    explicit SimProcess(const QStringList& args) {
        proc_.start(QStringLiteral(KXSIM_PATH), args);
        if (proc_.waitForStarted(5000) && proc_.waitForReadyRead(5000))
            device_ = QString::fromLocal8Bit(proc_.readLine()).trimmed().toStdString();
    }
    ~SimProcess() { stop(); }
    const std::string& device() const { return device_; }
    // The terminal goes away (its end of the line closes).
    void stop() {
        proc_.kill();
        proc_.waitForFinished(2000);
    }
    // The console key that starts the terminal's sending.
    void press_key() { proc_.write("\n"); }
    // The simulator's log; waits until it holds `until` (or `wait_ms` have passed).
    std::string log(const std::string& until = "", int wait_ms = 1000) {
        QDeadlineTimer deadline(wait_ms);
        for (;;) {
            log_ += proc_.readAllStandardError().toStdString();
            if (until.empty() || log_.find(until) != std::string::npos || deadline.hasExpired()) return log_;
            proc_.waitForReadyRead(50);
        }
    }

private:
    QProcess proc_;
    std::string device_, log_;
};

// The project state, scripted prompts, settings with COM1 on `device`, the event pump and
// the serial link of one editor.
struct LinkRig {
    Project p;
    ScriptedPrompt prompt;
    MemorySettings settings;
    QtPump pump;
    Ctx c{p, prompt, settings, pump};
    SerialLink link{c};
    explicit LinkRig(const std::string& device) {
        if (!device.empty()) settings.save("Settaggi", "COM1Device", device);
    }
};

// The same with a recording view and the editor's empty project, and what it was told.
struct EditorRig : LinkRig {
    test::RecordingView view;
    explicit EditorRig(const std::string& device) : LinkRig(device) {
        c.set_view(&view);
        init_no_file(c);
    }
    std::vector<std::string> texts() const { return test::texts(prompt); }
};

} // namespace kx
