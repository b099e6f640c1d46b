// The compare on the byte stream a terminal sends: differences the simulator cannot be
// made to hold, fatal differences, and received fields out of range. Runs against the
// simulator are in tests/comm/test_compare_eeprom_e2e.cpp.
#include <gtest/gtest.h>

#include "../support/recording_view.h"
#include "core/compare.h"
#include "core/models.h"
#include "core/serial_rx.h"
#include "core/store.h"
#include "core/text.h"
#include "core/variables.h"

using namespace kx;

namespace {

struct ReportPanel : ComparePanel {
    std::string report;
    std::string info; // the status line
    void report_append(const std::string& text) override { report += text; }
    void set_info(const std::string& text) override { info = text; }
};

// A KXB_5560 project (40 x 4) of one page: "AB_D" and a left arrow in row 0, a WORD with
// one decimal at cell 45, links 0 1 2 3, one global string.
struct CompareRig : test::Started {
    ReportPanel panel;
    CompareTotals totals;
    std::vector<std::string> frames; // what the terminal sends, as an upload would

    CompareRig() {
        page_record& r = p.page_store[0][0];
        const std::string text = "AB_D\x04";
        for (size_t i = 0; i < text.size(); ++i) r.chars[i] = static_cast<unsigned char>(text[i]);
        variable_record v{1, 0, 45, 3, 1, 0x1234, 0, 999};
        r.set_var(1, v);
        r.var_count = 1;
        for (int k = 0; k < 4; ++k) r.links[k] = static_cast<std::int16_t>(k);
        std::array<variable_record, kVarSlots> t{};
        t[1] = v;
        lay_var_marks(r.chars, t, 1, p.cells());
        p.n_strings = 1;
        p.global_strings[0][0] = "hello";
        load_page(c, 0, 0);

        frames = {"0001", "0001", "Italiano"};
        for (int row = 0; row < 4; ++row) frames.push_back(download_row(p, 0, 0, row));
        for (int k = 0; k < 4; ++k) frames.push_back(dec4(k));
        frames.push_back("1");
        for (const char* f : {"01", "00", "2D", "03", "01", "1234", "0000", "03E7"}) frames.push_back(f);
        frames.push_back("0001");
        frames.push_back("hello");
    }
    static constexpr int kRow0 = 3, kCount = 11, kAccess = 12, kPos = 14, kStrings = 20;

    TransferOutcome run() {
        std::string bytes;
        for (const std::string& f : frames) bytes += frame_bytes(f);
        return replay_compare(c, bytes, panel, totals);
    }
    std::vector<std::string> texts() const { return test::texts(prompt); }
};

struct Compare : ::testing::Test, CompareRig {};

} // namespace

TEST(CompareLines, DateAndTimeFieldsAreHarmlessOnlyWhereTheModelHasThem) {
    test::Started e;
    for (const char* model : {"KXB_540", "KXB_5560"}) {
        e.p.kx_type = model;
        for (int type : {4, 5}) {
            std::string note = "n";
            EXPECT_EQ(classify_difference(e.c, type, 1, note), kStyleWarning);
            EXPECT_EQ(note, "n\r\n\tQuesta differenza non influisce sulla logica del programma!");
        }
        std::string note = "n";
        EXPECT_EQ(classify_difference(e.c, 0, 3, note), kStyleFatal);
        EXPECT_EQ(note, "n");
    }
    e.p.kx_type = "KXD_540"; // type 4 is HEX there
    std::string note;
    EXPECT_EQ(classify_difference(e.c, 4, 1, note), kStyleFatal);
    EXPECT_TRUE(note.empty());
}

// A clean compare and the character, link, access, language name and string lines are
// checked against the simulator; here the differences it cannot be made to hold.
TEST_F(Compare, PasswordAndColumnDifferencesAreErrorsAndTheCompareGoesOn) {
    frames[kCount] = "129"; // the password on
    frames[kPos] = "2F";    // column 7 instead of 5, same row
    run();
    EXPECT_EQ(totals.errors, 2);
    EXPECT_EQ(totals.warnings, 0);
    for (const char* line : {"Dato letto da KX = Link Password ON\r\n\tDato in RAM PC = Link Password OFF",
                             "Diverso parametro COL per variabile nella pagina!"})
        EXPECT_NE(panel.report.find(line), std::string::npos) << line << "\n---\n" << panel.report;
    EXPECT_EQ(panel.report.find("ROW"), std::string::npos);
    EXPECT_EQ(texts().back(), "ERRORE! Flash KX diversa da RAM PC");
    EXPECT_TRUE(p.port_idle);
}

// A fatal line's box shows the critical icon; a verdict's box shows none.
TEST_F(Compare, AFatalDifferenceStopsTheCompareWithItsBoxAndTheTotals) {
    const std::tuple<int, const char*, const char*> cases[] = {
        {0, "0002", "Numero Lingue diverso!\r\n\tDato letto da KX = 2\r\n\tDato in RAM PC = 1"},
        {kCount, "2", "Diverso Numero di Variabili nella Pagina!"},
        {kStrings, "0002",
         "Numero Stringhe Globali diverso!\r\n\tDato letto da KX = 2\r\n\tDato in RAM PC = 1"},
    };
    for (const auto& [frame, text, message] : cases) {
        CompareRig f;
        f.frames[frame] = text;
        f.run();
        ASSERT_EQ(f.texts().size(), 1u) << message;
        EXPECT_EQ(f.texts()[0].rfind("## ERRORE FATALE! Confronto interrotto! ##\t1\r\n\t", 0), 0u);
        EXPECT_EQ(f.prompt.messages[0].icon, kIconCritical);
        EXPECT_NE(f.texts()[0].find(message), std::string::npos) << f.texts()[0];
        EXPECT_NE(f.panel.report.find("Errori Totali: 1\r\nWarning Totali: 0"), std::string::npos);
        EXPECT_TRUE(f.p.port_idle);
    }
    // Another row is an error line only: the compare goes on to its verdict.
    frames[kPos] = "55";
    run();
    EXPECT_EQ(texts(), (std::vector<std::string>{"ERRORE! Flash KX diversa da RAM PC"}));
    EXPECT_EQ(prompt.messages[0].icon, kIconNone); // a verdict has no icon
    EXPECT_NE(panel.report.find("Diverso parametro ROW per variabile nella pagina!"), std::string::npos);
}

TEST_F(Compare, FieldsOutOfRangeAreRunTimeErrorsWithThePortReleased) {
    // A short row, a link and a variable count beyond their fields come from the
    // simulator in the end-to-end tests.
    const std::pair<int, std::string> cases[] = {
        {kAccess, "100"}, // 8-bit fields
        {kPos, "FFFFFFFF"},
    };
    for (const auto& [frame, text] : cases) {
        CompareRig f;
        f.frames[frame] = text;
        EXPECT_EQ(f.run(), TransferOutcome::Failed) << text;
        ASSERT_EQ(f.texts().size(), 1u);
        EXPECT_TRUE(f.texts()[0].rfind("Errore 9: ", 0) == 0 || f.texts()[0].rfind("Errore 6: ", 0) == 0)
            << f.texts()[0];
        EXPECT_TRUE(f.p.port_idle);
        EXPECT_EQ(f.panel.report.find("Errori Totali"), std::string::npos);
        EXPECT_EQ(f.p.act_page, 0);
    }
}

TEST_F(Compare, ThePageInMemoryIsNeverWritten) {
    const page_store_t before = p.page_store;
    frames[kRow0] = std::string(40, 'Z');
    frames[kAccess] = "00";
    run();
    EXPECT_TRUE(p.page_store == before);
}

TEST_F(Compare, AnUnderscoreInTheProjectMatchesWhateverTheTerminalHolds) {
    frames[kRow0][2] = 'C'; // the project has "AB_D"
    run();
    EXPECT_EQ(totals.errors + totals.warnings, 0) << panel.report;
    EXPECT_EQ(texts(), (std::vector<std::string>{c.txt(10211)}));

    CompareRig f; // the other way round it is a difference
    f.p.page_store[0][0].chars[2] = 'C';
    f.run();
    EXPECT_EQ(f.totals.errors, 1);
    EXPECT_NE(f.panel.report.find("Dato letto da KX = '_'\r\n\tDato in RAM PC = 'C'"), std::string::npos)
        << f.panel.report;
}

// A difference in each numeric field of a DATE or TIME variable is a warning with its note on
// the models whose type list has them, and fatal where codes 4 and 5 are HEX and BIN.
TEST(CompareDateTime, EachNumericFieldDifferenceHasItsClassOnEveryModel) {
    for (const char* model : {"KXB_540", "KXB_5560", "KXD_540"}) {
        const bool long_list = model_type_list(model) == TypeList::Long;
        for (int type : {4, 5}) {
            for (int field = 1; field <= 5; ++field) {
                const std::string what =
                    std::string(model) + " type " + std::to_string(type) + " field " + std::to_string(field);
                test::Started e;
                e.p.kx_type = model;
                set_terminal_model(e.c, model);
                const int digits = !long_list ? 4 : type == 4 ? 10 : 8;
                const variable_record v{
                    1,  static_cast<std::int16_t>(type), 40, static_cast<std::int16_t>(digits), 0, 0x100, 5,
                    999};
                page_record& r = e.p.page_store[0][0];
                r.set_var(1, v);
                r.var_count = 1;
                std::array<variable_record, kVarSlots> t{};
                t[1] = v;
                lay_var_marks(r.chars, t, 1, e.p.cells());
                load_page(e.c, 0, 0);

                std::vector<std::string> frames = {"0001", "0001", e.p.language_names[0]};
                for (const std::string& f : download_page_frames(e.p, 0, 0)) frames.push_back(f);
                frames.push_back("0000"); // no global strings
                // digits, decimals, address, minimum, maximum: the variable's frames 3 to 7
                std::string& sent = frames[3 + e.p.n_rows + 4 + 1 + 2 + field];
                const std::string other[] = {"0C", "01", "0101", "0006", "03E8"};
                ASSERT_NE(sent, other[field - 1]) << what;
                sent = other[field - 1];
                std::string bytes;
                for (const std::string& f : frames) bytes += frame_bytes(f);
                ReportPanel panel;
                CompareTotals totals;
                replay_compare(e.c, bytes, panel, totals);

                EXPECT_NE(panel.report.find(e.c.txt(10192 + field)), std::string::npos) << what;
                EXPECT_EQ(panel.report.find(e.c.txt(10214)) != std::string::npos, long_list) << what;
                EXPECT_EQ(std::pair(totals.warnings, totals.errors),
                          long_list ? std::pair(1, 0) : std::pair(0, 1))
                    << what;
                ASSERT_EQ(e.prompt.messages.size(), 1u) << what;
                EXPECT_EQ(e.prompt.messages[0].text.rfind(e.c.txt(long_list ? 10213 : 10203), 0), 0u) << what;
            }
        }
    }
}

// The report's first line names the project as messages do: "?" for what the code page lacks.
TEST(CompareReport, NamesTheProjectAsMessagesDo) {
    CompareRig f;
    f.p.project_path = "/w/Caffè Кофе/q.prj";
    f.run();
    EXPECT_NE(f.panel.report.find(" /w/Caff\xE8 ?\?\?\?/q.prj\r\n"), std::string::npos) << f.panel.report;
}

// Once the compare is over, the status line shows its verdict, or that it was stopped.
TEST(CompareEnd, TheStatusLineShowsTheVerdictOrTheStop) {
    const std::string stopped = "Confronto interrotto";
    const std::tuple<int, const char*, std::string> cases[] = {
        {0, "0001", "Confronto Flash KX / RAM PC OK!"}, // nothing changed
        {CompareRig::kPos, "2F", "ERRORE! Flash KX diversa da RAM PC"},
        {CompareRig::kCount, "2", stopped},           // a fatal line
        {CompareRig::kAccess, "100", stopped},        // a run-time error
        {CompareRig::kStrings + 1, nullptr, stopped}, // the last string never comes
    };
    for (const auto& [frame, text, info] : cases) {
        CompareRig f;
        if (text) f.frames[frame] = text;
        else f.frames.resize(frame);
        f.run();
        EXPECT_EQ(f.panel.info, info) << frame;
    }
}
