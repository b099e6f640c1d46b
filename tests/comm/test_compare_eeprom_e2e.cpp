// Compare and EEPROM dialogs against the terminal simulator on a pseudo-terminal: COM1 is
// the simulator's device, the buttons are pressed as a user would, prompts are scripted.
#include "core/text.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>
#include <random>

#include "comm/compare_dialog.h"
#include "comm/eeprom_dialogs.h"
#include "comm/transfer_dialogs.h"
#include "comm_rig.h"
#include "core/file_test_support.h"
#include "core/projectfile.h"
#include "support/app_rig.h"

using namespace kx;

namespace {

const std::string kStopped = "Trasmissione interrotta dall'utente";

using Editor = EditorRig;

std::string saved(const Project& p) {
    std::string b;
    FileError err;
    EXPECT_TRUE(project_file_bytes(p, b, err));
    return b;
}

struct CompareResult {
    std::string report;
    bool exit_usable = false;
};

// Transfer > Compare with Start pressed by Enter, its default button; `sim` (when given)
// starts the terminal's sending.
CompareResult compare(Editor& e, SimProcess* sim) {
    CompareResult r;
    test::on_next_modal<CompareDialog>([&](CompareDialog* d) {
        if (sim) QTimer::singleShot(150, [sim] { sim->press_key(); });
        EXPECT_TRUE(d->start_button()->isDefault());
        QTest::keyClick(d->info(), Qt::Key_Return);
        r.report = d->report()->toPlainText().toStdString();
        EXPECT_FALSE(d->exit_button()->isDefault());
        r.exit_usable = d->exit_button()->isVisible() && d->exit_button()->isEnabled();
        d->exit_button()->click();
    });
    show_compare_dialog(e.c, e.link, nullptr);
    return r;
}

void download(Editor& e) {
    test::on_next_modal<TransferDialog>([](TransferDialog* d) { d->start_button()->click(); });
    show_download_dialog(e.c, e.link, nullptr);
    ASSERT_EQ(e.texts(), Texts{kTransferOk});
    e.prompt.messages.clear();
}

size_t count_of(const std::string& hay, const std::string& needle) {
    size_t n = 0;
    for (size_t at = hay.find(needle); at != std::string::npos; at = hay.find(needle, at + 1)) ++n;
    return n;
}

} // namespace

TEST(CompareE2E, TerminalHoldingTheDownloadComparesCleanAndEachDifferenceHasItsClass) {
    SimProcess sim({"--model", "KXB_540"});
    Editor e(sim.device());
    // Variables with decimal points, arrows and cells the line carries as blanks: a terminal
    // holding exactly the download must compare without a line.
    filetest::fill_and_show(e.c, "KXB_540", 2, 3, 2, 4, 7);
    // The terminal keeps language names padded to nine places: names shorter than that are
    // a harmless difference, one warning per language.
    download(e);
    CompareResult r = compare(e, &sim);
    EXPECT_EQ(e.texts(), Texts{"Confronto OK! Ci sono solo diffrerenze ininfluenti sul programma!"})
        << r.report;
    EXPECT_NE(r.report.find("Errori Totali: 0\nWarning Totali: 2"), std::string::npos) << r.report;
    for (int L = 0; L < 2; ++L) pad_right_space(e.p.language_names[L], 9);
    e.prompt.messages.clear();
    download(e);
    e.p.act_lang = 1;
    load_page(e.c, 2, 1);
    e.p.act_page = 2;
    const std::string before = saved(e.p);

    r = compare(e, &sim);
    EXPECT_EQ(e.texts(), Texts{"Confronto Flash KX / RAM PC OK!"}) << r.report;
    EXPECT_NE(r.report.find("Esiti Confronto con Flash KX:\n\n\nErrori Totali: 0\nWarning Totali: 0"),
              std::string::npos)
        << r.report;
    EXPECT_TRUE(r.exit_usable);
    // The project is unchanged, the editor on page 0 of the language it was on.
    EXPECT_EQ(saved(e.p), before);
    EXPECT_EQ(e.p.act_page, 0);
    EXPECT_EQ(e.p.act_lang, 1);
    EXPECT_TRUE(std::equal(e.p.display_buffer.begin(), e.p.display_buffer.begin() + e.p.cells(),
                           e.p.page_store[1][0].chars.begin()));
    EXPECT_TRUE(e.p.port_idle);
    EXPECT_FALSE(e.link.port_open());

    // One changed cell, link, variable field, language name and global string.
    Project& p = e.p;
    page_record& r0 = p.page_store[0][1];
    const int free_cell = [&] {
        for (int i = 0;; ++i)
            if (r0.chars[i] >= 32 && r0.chars[i] < 127 && r0.chars[i] != '_') return i;
    }();
    r0.chars[free_cell] = r0.chars[free_cell] == 'Q' ? 'R' : 'Q';
    p.page_store[0][2].links[3] = static_cast<std::int16_t>((p.page_store[0][2].links[3] + 1) % 3);
    ASSERT_GT(r0.var_count, 0);
    r0.access[1] = static_cast<std::int16_t>(1 - r0.access[1]);
    p.language_names[1] = "Other";
    p.global_strings[0][1] = "changed";
    e.prompt.messages.clear();
    r = compare(e, &sim);
    EXPECT_EQ(e.texts(), Texts{"ERRORE! Flash KX diversa da RAM PC"}) << r.report;
    // Links, password and variables are compared for every language block: the link and
    // the access twice.
    for (const char* line : {"* ERRORE! *\t1\n\tCarattere diverso nella pagina!\n\tNumero Lingua: 0 (Lang0   "
                             " )   Pagina: 1   Riga: ",
                             "WARNING!\t1\n\tNome Lingua diverso!\n\tNumero Lingua: 1\n\tDato letto da KX = "
                             "Lang1    \n\tDato in RAM PC = Other\n",
                             "\tLink Diverso nella Pagina!\n\tNumero Lingua: 0 (Lang0    )   Pagina: 2\n",
                             "\tDiverso Parametro ENA per variabile nella pagina!\n\tNumero Lingua: 0 (Lang0 "
                             "   )   Pagina: 1   Numero Variabile: 1\n",
                             "\tStringa globale diversa! Continua?\n\tNumero Lingua: 0   Numero Stringa: "
                             "1\n\tDato letto da KX = "})
        EXPECT_NE(r.report.find(line), std::string::npos) << line << "\n---\n" << r.report;
    EXPECT_EQ(count_of(r.report, "Link Diverso"), 2u);
    EXPECT_EQ(count_of(r.report, "Diverso Parametro ENA"), 2u);
    EXPECT_NE(r.report.find("Errori Totali: 6\nWarning Totali: 1"), std::string::npos);

    // A different number of digits is fatal: its box, the totals, no verdict.
    r0.access[1] = static_cast<std::int16_t>(1 - r0.access[1]);
    r0.digits[1] = static_cast<std::int16_t>(r0.digits[1] + 1);
    p.page_store[0][2].links[3] = static_cast<std::int16_t>((p.page_store[0][2].links[3] + 2) % 3);
    e.prompt.messages.clear();
    r = compare(e, &sim);
    ASSERT_EQ(e.texts().size(), 1u) << r.report;
    EXPECT_EQ(e.texts()[0].rfind("## ERRORE FATALE! Confronto interrotto! ##\t", 0), 0u) << e.texts()[0];
    EXPECT_NE(e.texts()[0].find("Diverso parametro DIG per variabile nella pagina!"), std::string::npos);
    EXPECT_TRUE(r.exit_usable);
    EXPECT_FALSE(e.link.port_open());
    EXPECT_EQ(e.p.act_page, 0);
}

TEST(CompareE2E, SilentOrHostileTerminalsEndTheCompareWithThePortFree) {
    {
        SimProcess sim({"--model", "KXE_540"});
        Editor e(sim.device());
        e.link.set_reply_timeout_ms(300);
        const CompareResult r = compare(e, nullptr);
        EXPECT_EQ(e.texts(), Texts{"Errore Seriale: time-out"});
        EXPECT_TRUE(r.exit_usable);
        EXPECT_FALSE(e.link.port_open());
    }
    struct Case {
        std::vector<std::string> frames;
        std::string message;
    };
    const std::string row(40, ' ');
    const std::vector<Case> cases = {
        {{"0001", "0001", "Italiano", row, "short"},
         "Errore 9: Subscript out of range (row of 5 characters)"},
        {{"0001", "0001", "Italiano", row, row, row, row, "0", "0", "0", "99999"},
         "Errore 6: Overflow (link 99999)"},
        {{"0001", "0001", "Italiano", row, row, row, row, "0", "0", "0", "0", "300"},
         "Errore 6: Overflow (variable count 300)"},
        {{"0001", "999999"}, ""}, // a page count that does not match is a fatal line, not a fault
    };
    for (const Case& k : cases) {
        QTemporaryFile file;
        ASSERT_TRUE(file.open());
        for (auto& f : k.frames) file.write((f + "\n").c_str());
        file.flush();
        SimProcess sim({"--load", file.fileName(), "--ack-timeout", "500"});
        Editor e(sim.device());
        const CompareResult r = compare(e, &sim);
        ASSERT_EQ(e.texts().size(), 1u);
        if (k.message.empty())
            EXPECT_NE(e.texts()[0].find("Numero Totale Pagine diverso!"), std::string::npos);
        else EXPECT_EQ(e.texts()[0], k.message);
        EXPECT_TRUE(r.exit_usable);
        EXPECT_TRUE(e.p.port_idle);
        EXPECT_FALSE(e.link.port_open());
        EXPECT_EQ(e.p.act_page, 0);
    }
}

namespace {

struct EepromRun {
    bool start_enabled = false, closed = false;
    std::string file_label; // as the dialog shows it once the file is chosen
};

constexpr int kNoStart = -2;

// Transfer > EEPROM read or write with `file` chosen in the file dialog; Start is pressed,
// with Enter on it as it has the focus, when it can be (unless stop_after_ms is kNoStart:
// then Cancel), and Stop `stop_after_ms` later when that is not negative.
EepromRun eeprom(Editor& e, EepromDialog::Kind kind, const std::string& file, int stop_after_ms = -1) {
    EepromRun r;
    e.prompt.files.push_back(file);
    test::on_next_modal<EepromDialog>([&](EepromDialog* d) {
        // Once the dialog has taken its file, which it does right after it is up.
        QTimer::singleShot(0, d, [&, d] {
            r.start_enabled = d->start_button()->isEnabled();
            r.file_label = d->file_label()->text().toStdString();
            EXPECT_FALSE(d->start_button()->isDefault()); // Enter in the dialog presses no button
            if (stop_after_ms >= 0) QTimer::singleShot(stop_after_ms, d, [d] { d->stop_button()->click(); });
            if (r.start_enabled && stop_after_ms != kNoStart) {
                EXPECT_TRUE(d->start_button()->hasFocus());
                QTest::keyClick(d->start_button(), Qt::Key_Return);
            }
            r.closed = !d->isVisible();
            if (!r.closed) d->cancel_button()->click();
        });
    });
    if (kind == EepromDialog::Kind::Read) show_eeprom_read_dialog(e.c, e.link, nullptr);
    else show_eeprom_write_dialog(e.c, e.link, nullptr);
    return r;
}

} // namespace

TEST(EepromE2E, ReadGivesTheImageAsS1RecordsAndWriteSendsItBack) {
    QTemporaryDir dir;
    const std::string image_path = dir.filePath("image.bin").toStdString();
    const std::string s19 = dir.filePath("eeprom.s19").toStdString();
    std::string image(kEepromSize, '\0');
    std::mt19937 rng(11);
    for (char& b : image) b = static_cast<char>(rng());
    filetest::put(image_path, image);

    {
        SimProcess sim({"--eeprom", QString::fromStdString(image_path)});
        Editor e(sim.device());
        const EepromRun r = eeprom(e, EepromDialog::Kind::Read, s19);
        EXPECT_TRUE(r.start_enabled);
        EXPECT_TRUE(r.closed);
        EXPECT_EQ(e.texts(), Texts{kTransferOk});
        EXPECT_TRUE(e.p.port_idle);
    }
    const std::vector<std::string> lines = split_text_lines(filetest::content(s19));
    ASSERT_EQ(lines.size(), 2048u);
    EXPECT_EQ(lines.back().substr(0, 8), "S1137FF0");
    // An independent tool reads the file back to the image, byte for byte.
    const QString bin = dir.filePath("back.bin");
    ASSERT_EQ(QProcess::execute("srec_cat", {QString::fromStdString(s19), "-o", bin, "-binary"}), 0)
        << "srec_cat (Debian package srecord) is needed";
    EXPECT_TRUE(filetest::content(bin.toStdString()) == image);
    // ... and finds one contiguous range covering the whole EEPROM.
    QProcess info;
    info.start("srec_info", {QString::fromStdString(s19)});
    ASSERT_TRUE(info.waitForFinished(10000));
    EXPECT_EQ(info.exitCode(), 0);
    EXPECT_NE(info.readAllStandardOutput().indexOf("0000 - 7FFF"), -1);

    // Written back into a terminal with other content: every record, then K and Z.
    const std::string out = dir.filePath("written.bin").toStdString();
    SimProcess sim({"--eeprom-out", QString::fromStdString(out)});
    Editor e(sim.device());
    const EepromRun w = eeprom(e, EepromDialog::Kind::Write, s19);
    EXPECT_TRUE(w.closed);
    EXPECT_EQ(e.texts(), Texts{kTransferOk});
    const std::string log = sim.log("eeprom saved");
    EXPECT_NE(log.find("eeprom: K after 2048 records"), std::string::npos) << log;
    EXPECT_NE(log.find("eeprom: Z"), std::string::npos) << log;
    EXPECT_EQ(log.find("anomaly"), std::string::npos) << log;
    EXPECT_TRUE(filetest::content(out) == image);

    // The same records as srec_cat writes them, after its S0 header, before its S5 count.
    const QString cat = dir.filePath("cat.s19");
    ASSERT_EQ(
        QProcess::execute("srec_cat", {QString::fromStdString(s19), "-o", cat, "-Output_Block_Size=16"}), 0);
    ASSERT_EQ(filetest::content(cat.toStdString()).substr(0, 2), "S0");
    std::remove(out.c_str());
    e.prompt.messages.clear();
    EXPECT_TRUE(eeprom(e, EepromDialog::Kind::Write, cat.toStdString()).closed);
    EXPECT_EQ(e.texts(), Texts{kTransferOk});
    EXPECT_NE(sim.log("eeprom saved").find("K after 2048 records", log.size()), std::string::npos);
    EXPECT_TRUE(filetest::content(out) == image);
}

TEST(EepromE2E, StopEndsEitherTransferEarlyWithCompleteLinesOnlyAndNoClosingCommands) {
    QTemporaryDir dir;
    const std::string s19 = dir.filePath("part.s19").toStdString();
    SimProcess sim({"--delay-ms", "1"});
    Editor e(sim.device());
    const EepromRun r = eeprom(e, EepromDialog::Kind::Read, s19, 150);
    EXPECT_TRUE(r.closed);
    EXPECT_EQ(e.texts(), Texts{kStopped});
    EXPECT_EQ(e.prompt.beeps, 1);
    const std::vector<std::string> lines = split_text_lines(filetest::content(s19));
    ASSERT_FALSE(lines.empty());
    ASSERT_LT(lines.size(), 2048u);
    for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i].size(), 42u) << i;
    EXPECT_FALSE(e.link.port_open());

    // A whole file, stopped while it is being written.
    std::string whole;
    std::uint8_t zeros[16] = {};
    for (int a = 0; a < kEepromSize; a += 16) whole += s19_line(a, zeros) + "\r\n";
    filetest::put(s19, whole);
    e.prompt.messages.clear();
    const EepromRun w = eeprom(e, EepromDialog::Kind::Write, s19, 150);
    EXPECT_TRUE(w.closed);
    EXPECT_EQ(e.texts(), Texts{kStopped});
    const std::string log = sim.log();
    EXPECT_EQ(log.find("eeprom: K"), std::string::npos) << log;
    EXPECT_FALSE(e.link.port_open());
}

// A file too short for the EEPROM, one with a broken record, one of srec_cat's own 32-byte
// records, a missing file, and a read file that cannot be created are refused when they are
// chosen.
TEST(EepromE2E, UnusableFilesKeepStartDisabledAndSendNothing) {
    QTemporaryDir dir;
    SimProcess sim({});
    Editor e(sim.device());
    const std::string short_file = dir.filePath("short.s19").toStdString(),
                      broken = dir.filePath("broken.s19").toStdString(),
                      whole_file = dir.filePath("whole.s19").toStdString(),
                      cat = dir.filePath("cat.s19").toStdString(),
                      bad = dir.filePath("no/such/dir.s19").toStdString();
    std::uint8_t zeros[16] = {};
    filetest::put(short_file, s19_line(0, zeros) + "\r\n");
    std::string whole;
    for (int a = 0; a < kEepromSize; a += 16) whole += s19_line(a, zeros) + "\r\n";
    filetest::put(whole_file, whole);
    ASSERT_EQ(QProcess::execute("srec_cat", {QString::fromStdString(whole_file), "-o", QString::fromStdString(cat)}),
              0);
    filetest::put(broken, whole.replace(whole.find("\r\n", 44 * 99) - 2, 2, "00"));
    for (auto [kind, file, message] :
         {std::tuple<EepromDialog::Kind, std::string, std::string>{
              EepromDialog::Kind::Write, short_file,
              "Errore 62: Input past end of file (1 S1 records, 2048 needed)"},
          {EepromDialog::Kind::Write, broken,
           "Errore 62: Bad S1 record in line 100: check byte 00, the record's bytes need B6"},
          {EepromDialog::Kind::Write, cat,
           "Errore 62: Bad S1 record in line 2: address 0000 with 32 bytes, expected 16 bytes at address 0000"},
          {EepromDialog::Kind::Write, dir.filePath("none.s19").toStdString(), "File none.s19 non trovato!"},
          {EepromDialog::Kind::Read, bad,
           "Errore 75: Cannot create " + bad + ": No such file or directory"}}) {
        e.prompt.messages.clear();
        EXPECT_FALSE(eeprom(e, kind, file).start_enabled) << file;
        EXPECT_EQ(e.texts(), Texts{message});
    }
    EXPECT_EQ(sim.log().find("eeprom"), std::string::npos);
    EXPECT_TRUE(e.p.port_idle);
}

// The overwrite question and the dialog name the file with its folder; characters that the
// code page lacks show as '?' in the message, whole in the dialog's label.
TEST(EepromE2E, ReadNamesTheChosenFileWithItsFolder) {
    QTemporaryDir dir;
    const std::string folder = dir.filePath("Caff\u00e8 \u041a\u043e\u0444\u0435").toStdString();
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    const std::string s19 = folder + "/old.s19";
    filetest::put(s19, "old\r\n");
    SimProcess sim({});
    Editor e(sim.device());
    e.prompt.answers = {kAnsYes};
    const EepromRun r = eeprom(e, EepromDialog::Kind::Read, s19, kNoStart);
    EXPECT_TRUE(r.start_enabled);
    const std::string shown = dir.path().toStdString() + "/Caff\xE8 ?\?\?\?/old.s19"; // the code page's bytes
    EXPECT_EQ(e.texts(), Texts{"File " + shown + " esistente: sovrascrivi?"});
    EXPECT_EQ(r.file_label, "Scrittura dati letti su file " + s19);
}

// The read goes to a file beside the chosen one, which takes its place only when the read
// has run to its end or the user stopped it; any other end leaves the chosen file as it was.
TEST(EepromE2E, OnlyACompleteOrStoppedReadReplacesTheFile) {
    test::TempDir dir;
    const std::string s19 = dir.file("old.s19"), old = "S1130000000102030405060708090A0B0C0D0E0F64\r\n";
    struct Case {
        const char* what;
        QStringList sim_args;
        int stop_after_ms = -1;   // Stop, or kNoStart for Cancel before Start
        int vanish_after_ms = -1; // the terminal goes away
        std::vector<std::string> texts;
        bool replaced = false;
    };
    const Case cases[] = {
        {"cancel", {}, kNoStart, -1, {}},
        {"time-out", {"--silent-after", "100"}, -1, -1, {"Errore Seriale: time-out"}},
        {"port gone", {"--delay-ms", "1"}, -1, 150, {"?"}},
        {"stop", {"--delay-ms", "1"}, 150, -1, {kStopped}, true},
        {"complete", {}, -1, -1, {kTransferOk}, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        filetest::put(s19, old);
        SimProcess sim(k.sim_args);
        Editor e(sim.device());
        e.link.set_reply_timeout_ms(300);
        e.prompt.answers = {kAnsYes}; // overwrite the file
        if (k.vanish_after_ms >= 0) QTimer::singleShot(k.vanish_after_ms, [&sim] { sim.stop(); });
        eeprom(e, EepromDialog::Kind::Read, s19, k.stop_after_ms);
        EXPECT_EQ(dir.names(), std::vector<std::string>{"old.s19"});
        EXPECT_FALSE(e.link.port_open());
        const Texts shown = e.texts();
        ASSERT_FALSE(shown.empty());
        const Texts after(shown.begin() + 1, shown.end()); // after the overwrite question
        EXPECT_EQ(after.size(), k.texts.size());
        EXPECT_EQ(after, k.vanish_after_ms < 0 ? k.texts : after); // a vanished line's own words
        const std::string now = filetest::content(s19);
        EXPECT_EQ(now == old, !k.replaced);
        // Which lines a complete or a stopped read keeps is checked above.
        EXPECT_EQ(split_text_lines(now).size() == 2048, k.replaced && k.stop_after_ms < 0);
    }
}
