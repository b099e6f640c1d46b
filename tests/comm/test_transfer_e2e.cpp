// The transfer dialogs against the terminal simulator on a pseudo-terminal: COM1 points at
// the simulator's device, Start is pressed as a user would, the prompts are scripted.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QSerialPort>
#include <QTemporaryFile>
#include <QTimer>
#include <functional>

#include "comm/transfer_dialogs.h"
#include "comm_rig.h"
#include "core/eeprom.h"
#include "core/file_test_support.h"
#include "support/app_rig.h"

using namespace kx;

namespace {

const std::string kTimeOut = "Errore Seriale: time-out";

struct DialogState {
    bool shown = false, stayed_open = false, start_visible = false, cancel_visible = false,
         cancel_enabled = false;
};

// Its view answers the model chooser with chooser_answer.
struct Editor : EditorRig {
    using EditorRig::EditorRig;

    // Shows a transfer dialog, presses Start once it is up, runs `before_start` just before
    // the press and, when the dialog stays open, notes its state and presses Cancel.
    DialogState run(void (*show)(Ctx&, SerialLink&, QWidget*),
                    const std::function<void(TransferDialog*)>& before_start = {}) {
        DialogState st;
        test::on_next_modal<TransferDialog>([&](TransferDialog* d) {
            st.shown = true;
            if (before_start) before_start(d);
            d->start_button()->click();
            st.stayed_open = d->isVisible();
            st.start_visible = d->start_button()->isVisible();
            st.cancel_visible = d->cancel_button()->isVisible();
            st.cancel_enabled = d->cancel_button()->isEnabled();
            if (st.stayed_open) d->cancel_button()->click();
        });
        show(c, link, nullptr);
        return st;
    }

    DialogState download(const std::function<void(TransferDialog*)>& before_start = {}) {
        return run(show_download_dialog, before_start);
    }
    // The Transfer menu's KX --> PC: the model choice, then the dialog; `key` makes the
    // terminal start sending once Start was pressed.
    DialogState upload(const char* model, SimProcess* key) {
        view.chooser_answer = find_model(model)->chooser_option;
        EXPECT_EQ(choose_terminal_model(c, "upload"), 1);
        return run(show_upload_dialog, [key](TransferDialog*) {
            if (key) QTimer::singleShot(150, [key] { key->press_key(); });
        });
    }
};

// What the line carries back: every character but the invalid-character code, which
// arrives blank, links, password and variables of language 0, and the language names as
// the terminal keeps them, padded to their field.
void expect_same_project(const Project& a, const Project& b) {
    ASSERT_EQ(a.kx_type, b.kx_type);
    ASSERT_EQ(a.n_lang, b.n_lang);
    ASSERT_EQ(a.last_page_idx, b.last_page_idx);
    ASSERT_EQ(a.n_strings, b.n_strings);
    for (int l = 0; l < a.n_lang; ++l) {
        EXPECT_EQ(download_name(a.language_names[l]), b.language_names[l]);
        for (int s = 0; s < a.n_strings; ++s) EXPECT_EQ(a.global_strings[l][s], b.global_strings[l][s]);
        for (int pg = 0; pg <= a.last_page_idx; ++pg) {
            const page_record &x = a.page_store[l][pg], &y = b.page_store[l][pg];
            for (int i = 0; i < a.cells(); ++i)
                ASSERT_EQ(x.chars[i] == kCodeInvalid ? 32 : x.chars[i], y.chars[i])
                    << l << "/" << pg << "/" << i;
            page_record rest = x;
            rest.chars = y.chars;
            EXPECT_TRUE(l > 0 || rest == y) << "links, password or variables of page " << pg;
        }
    }
}

} // namespace

class RoundTrip : public ::testing::TestWithParam<const char*> {};

TEST_P(RoundTrip, DownloadThenUploadGivesTheSameProject) {
    const char* model = GetParam();
    SimProcess sim({"--model", model});
    ASSERT_FALSE(sim.device().empty());

    Editor sender(sim.device());
    // What a page can hold: text, arrows, variables with their points, links, the password;
    // three languages and four global strings each, 12 in all: a count that reads
    // differently in hexadecimal and in decimal.
    filetest::fill_and_show(sender.c, model, 3, 3, 4, 4, 11);
    const DialogState down = sender.download();
    EXPECT_TRUE(down.shown);
    EXPECT_FALSE(down.stayed_open);
    EXPECT_EQ(sender.texts(), Texts{kTransferOk});
    EXPECT_TRUE(sender.p.port_idle);
    EXPECT_FALSE(sender.link.port_open());

    Editor receiver(sim.device());
    const DialogState up = receiver.upload(model, &sim);
    EXPECT_FALSE(up.stayed_open);
    EXPECT_EQ(receiver.texts(), Texts{kTransferOk});
    expect_same_project(sender.p, receiver.p);
    EXPECT_EQ(receiver.p.language_names[0], "Lang0    ");
    EXPECT_EQ(receiver.p.act_page, 0);
    EXPECT_EQ(receiver.p.display_buffer[1], receiver.p.page_store[0][0].chars[1]);

    // The last acknowledgement reached the terminal although the port closed right after.
    const std::string log = sim.log("upload complete");
    EXPECT_NE(log.find("upload complete"), std::string::npos) << log;
    EXPECT_EQ(log.find("anomaly"), std::string::npos) << log;
}

INSTANTIATE_TEST_SUITE_P(Displays, RoundTrip, ::testing::Values("KXD_515", "KXE_540", "KXB_5560"));

// Links go to the terminal in hexadecimal and come back in decimal: from 10 on the two
// differ, so a project of 256 pages links each page 10, 15, 16 and 255 pages on (wrapping),
// and every link comes back as it went.
TEST(RoundTripLinks, LinksFromTenToTheLastPageComeBackEqual) {
    SimProcess sim({"--model", "KXD_515"});
    ASSERT_FALSE(sim.device().empty());
    Editor sender(sim.device());
    filetest::fill_project(sender.p, "KXD_515", 1, 256, 0, 0, 5);
    const int steps[4] = {10, 15, 16, 255};
    for (int pg = 0; pg < 256; ++pg)
        for (int k = 0; k < 4; ++k)
            sender.p.page_store[0][pg].links[k] = static_cast<std::int16_t>((pg + steps[k]) % 256);
    set_terminal_model(sender.c, "KXD_515");
    load_page(sender.c, 0, 0);
    sender.download();
    ASSERT_EQ(sender.texts(), Texts{kTransferOk});

    Editor receiver(sim.device());
    receiver.upload("KXD_515", &sim);
    ASSERT_EQ(receiver.texts(), Texts{kTransferOk});
    EXPECT_EQ(receiver.p.page_store[0][0].links, (std::array<std::int16_t, 5>{10, 15, 16, 255, 0}));
    for (int pg = 0; pg < 256; ++pg)
        EXPECT_EQ(receiver.p.page_store[0][pg].links, sender.p.page_store[0][pg].links) << pg;
    const std::string log = sim.log("upload complete");
    EXPECT_EQ(log.find("anomaly"), std::string::npos) << log;
}

TEST(TransferFailures, TimeOutsEndTheTransferWithoutSuccessAndReleaseThePort) {
    // Silent from the start, after five frames (erase, counts and the first name), or late.
    for (const QStringList& args :
         {QStringList{"--silent"}, {"--silent-after", "5"}, {"--delay-ms", "600"}}) {
        SimProcess sim(args);
        Editor e(sim.device());
        e.p.n_lang = 2;
        e.p.language_names[1] = "English";
        e.link.set_reply_timeout_ms(300);
        EXPECT_FALSE(e.download().stayed_open);
        EXPECT_EQ(e.texts(), Texts{kTimeOut}) << args.join(' ').toStdString();
        EXPECT_TRUE(e.p.port_idle);
        EXPECT_FALSE(e.link.port_open());
    }
    // A terminal that never starts sending ends the upload on page 0 of the chosen model.
    SimProcess sim({"--model", "KXE_520"});
    Editor e(sim.device());
    e.link.set_reply_timeout_ms(300);
    EXPECT_FALSE(e.upload("KXE_520", nullptr).stayed_open);
    EXPECT_EQ(e.texts(), Texts{kTimeOut});
    EXPECT_EQ(e.p.act_page, 0);
    EXPECT_EQ(e.p.n_cols, 20);
    EXPECT_FALSE(e.link.port_open());
}

TEST(TransferFailures, PortErrorsLeaveTheDialogLeavableAndThePortFree) {
    Editor e("/dev/kx-no-such-port");
    DialogState st = e.download();
    EXPECT_TRUE(st.stayed_open && st.cancel_visible && st.cancel_enabled);
    EXPECT_EQ(e.texts().at(0).rfind("Errore 8002: ", 0), 0u) << e.texts()[0];
    EXPECT_TRUE(e.p.port_idle);

    SimProcess sim({});
    Editor f(sim.device());
    {
        QSerialPort other; // another program holds the device
        other.setPortName(QString::fromStdString(sim.device()));
        ASSERT_TRUE(other.open(QIODevice::ReadWrite));
        EXPECT_TRUE(f.download().stayed_open);
        EXPECT_EQ(f.texts().at(0).rfind("Errore 8005: ", 0), 0u) << f.texts()[0];
    }
    f.link.open();                              // as a transfer holds it
    EXPECT_THROW(f.link.open(), TransferError); // a second open leaves the held port working
    f.link.set_reply_timeout_ms(2000);
    f.link.send_frame("");
    f.link.wait_reply();
    EXPECT_EQ(f.p.comm_error, 0);
    st = f.download();
    EXPECT_TRUE(st.stayed_open && st.start_visible);
    EXPECT_EQ(f.texts().back(), "Porta COM gia` aperta!");
    // Cancel frees the port that was left held, and the next transfer goes through.
    EXPECT_FALSE(f.link.port_open());
    EXPECT_TRUE(f.p.port_idle);
    f.prompt.messages.clear();
    f.download();
    EXPECT_EQ(f.texts(), Texts{kTransferOk});
}

TEST(TransferFailures, ATerminalThatGoesAwayIsNamedByItsWholeDevicePath) {
    SimProcess sim({"--delay-ms", "30"});
    Editor e(sim.device());
    e.p.last_page_idx = 20;
    e.link.set_reply_timeout_ms(2000);
    e.download([&](TransferDialog* d) { QTimer::singleShot(150, d, [&] { sim.stop(); }); });
    ASSERT_FALSE(e.texts().empty());
    const std::string text = e.texts().back();
    EXPECT_EQ(text.rfind("Errore 8010: ", 0), 0u) << text;
    EXPECT_NE(text.find("(" + sim.device() + ")"), std::string::npos) << text;
    EXPECT_TRUE(e.p.port_idle);
}

TEST(TransferFailures, HostileCountsFromTheTerminalAreRefused) {
    struct Case {
        std::vector<std::string> frames;
        std::string message;
    };
    const std::string row(20, ' ');
    const std::vector<Case> cases = {
        {{"0000"}, "Errore 11: Division by zero (language count 0)"},
        {{"0001", "1001"}, "Errore 9: Subscript out of range (page total 1001)"},
        {{"0001", "0001", "Italiano", row, "short"},
         "Errore 9: Subscript out of range (row of 5 characters)"},
        {{"0001", "0001", "Italiano", row, row, row, row, "0", "0", "0", "0", "1", "01", "00", "50"},
         "Errore 9: Subscript out of range (position 50 outside the page)"},
    };
    for (const Case& k : cases) {
        QTemporaryFile file;
        ASSERT_TRUE(file.open());
        for (auto& f : k.frames) file.write((f + "\n").c_str());
        file.flush();
        SimProcess sim({"--model", "KXE_540", "--load", file.fileName(), "--ack-timeout", "500"});
        Editor e(sim.device());
        const DialogState st = e.upload("KXE_540", &sim);
        EXPECT_TRUE(st.stayed_open);
        EXPECT_TRUE(st.cancel_visible && st.cancel_enabled);
        EXPECT_EQ(e.texts(), Texts{k.message});
        EXPECT_TRUE(e.p.port_idle);
        EXPECT_FALSE(e.link.port_open());
        EXPECT_GE(e.p.last_page_idx, 0);
        EXPECT_LE(e.p.last_page_idx, kMaxPageIdx);
        EXPECT_EQ(e.p.act_page, 0);
    }
}

TEST(TransferDialogs, EscAndCloseCannotCutARunningTransfer) {
    SimProcess sim({"--delay-ms", "20"});
    Editor e(sim.device());
    bool open_during = false;
    bool port_during = false;
    e.download([&](TransferDialog* d) {
        QTimer::singleShot(100, d, [&, d] {
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(d, &esc);
            d->close();
            open_during = d->isVisible();
            port_during = e.link.port_open();
        });
    });
    EXPECT_TRUE(open_during);
    EXPECT_TRUE(port_during);
    EXPECT_EQ(e.texts(), Texts{kTransferOk});
}

// Only the empty frame acknowledges an upload frame in kxsim: a download or an EEPROM command
// sent while an upload waits ends it and is served.
TEST(Simulator, AnotherTransferEndsAWaitingUploadAndIsServed) {
    SimProcess sim({});
    sim.press_key();
    ASSERT_NE(sim.log("upload begins").find("upload begins"), std::string::npos);
    Editor e(sim.device());
    e.p.language_names[0] = "Kappa";
    e.download();
    EXPECT_EQ(e.texts(), Texts{kTransferOk});
    std::string log = sim.log("download complete");
    EXPECT_NE(log.find("download complete"), std::string::npos) << log;
    EXPECT_EQ(log.find("anomaly"), std::string::npos) << log;

    sim.press_key();
    for (int i = 0; i < 20 && log.find("upload begins") == log.rfind("upload begins"); ++i)
        log = sim.log("never");
    e.link.open();
    e.link.send_frame(eeprom_command('R', "0001"));
    e.link.wait_reply();
    e.link.release();
    EXPECT_EQ(e.p.rx_buffer, "07"); // the simulator's EEPROM byte at address 1
    // The project that the download left goes back whole.
    Editor f(sim.device());
    f.upload("KXB_5560", &sim);
    EXPECT_EQ(f.texts(), Texts{kTransferOk});
    EXPECT_EQ(f.p.language_names[0], "Kappa    ");
}

// On a silent line kxsim waits for the next download frame or for an acknowledgement no
// longer than it should: a download left after its erase command still lets the console
// start an upload, an upload that nobody acknowledges is given up after --ack-timeout,
// and the console's next upload goes through.
TEST(Simulator, WaitsOnASilentLineEndAndTheConsoleAnswersAgain) {
    SimProcess sim({"--ack-timeout", "300"});
    Editor e(sim.device());
    e.link.open();
    e.link.send_frame(""); // the erase command that begins a download, and no more
    e.link.wait_reply();
    e.link.release();
    ASSERT_NE(sim.log("download begins").find("download begins"), std::string::npos);

    sim.press_key(); // nobody on the line
    const std::string log = sim.log("upload given up", 5000);
    EXPECT_NE(log.find("upload begins"), std::string::npos) << log;
    EXPECT_NE(log.find("no acknowledgement of frame 1 within 300 ms: upload given up"), std::string::npos)
        << log;

    e.link.set_reply_timeout_ms(2000);
    e.upload("KXB_5560", &sim);
    EXPECT_EQ(e.texts(), Texts{kTransferOk});
}
