// The frames of the download, the checked reading of what a terminal sends, what an upload
// leaves where nothing arrived, and the upload's seed corpus. The run-time paths over a port
// (time-outs, port errors, release) are checked against the simulator in
// tests/comm/test_transfer_e2e.cpp.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "core/serial_rx.h"
#include "core/transfer.h"
#include "file_test_support.h"

using namespace kx;
using filetest::corpus_dir;
using filetest::fill_project;

namespace {

using Texts = std::vector<std::string>;

// A terminal that acknowledges every frame at once and keeps what it was sent.
struct AckingLink : LinkPort {
    explicit AckingLink(Project& p) : p_(p) {}
    Texts sent;
    bool held = false;
    bool port_open() const override { return held; }
    void open() override { held = true, p_.port_idle = false; }
    void send_frame(const std::string& text) override { sent.push_back(text); }
    void wait_reply() override { p_.rx_done = true, p_.comm_error = 0; }
    void release() override { held = false, p_.port_idle = true; }
    Project& p_;
};

struct RecordingPanel : TransferPanel {
    Texts infos;
    std::vector<int> maxima;
    int last_value = -1;
    bool hidden = false;
    void buttons_hidden() override { hidden = true; }
    void set_info(const std::string& t) override { infos.push_back(t); }
    void progress_show(int max) override { maxima.push_back(max); }
    void progress_value(int v) override { last_value = v; }
};

// A download of the fixture's project to a terminal that acknowledges everything.
struct Download : test::Fixture {
    AckingLink link{p};
    RecordingPanel panel;
    Download() { p.language_names[0] = "Italiano"; }
    TransferOutcome run() { return run_download(c, link, panel); }
};

// The number of the run-time error that f raises; 0 when it raises none.
int error_of(const std::function<void()>& f) {
    try {
        f();
    } catch (const TransferError& e) {
        return e.number();
    }
    return 0;
}

std::string line_of(const Texts& frames) {
    std::string s;
    for (const auto& t : frames) s += frame_bytes(t);
    return s;
}

// The frames a terminal holding project p sends: counts and links in decimal, the variable
// count with 128 for the password, the variable fields in hexadecimal as downloaded.
std::vector<std::string> terminal_frames(const Project& p) {
    std::vector<std::string> f{dec4(p.n_lang), dec4((p.last_page_idx + 1) * p.n_lang)};
    for (int l = 0; l < p.n_lang; ++l) f.push_back(download_name(p.language_names[l]));
    for (int l = 0; l < p.n_lang; ++l) {
        for (int pg = 0; pg <= p.last_page_idx; ++pg) {
            std::vector<std::string> block = download_page_frames(p, l, pg);
            const page_record& r0 = p.page_store[0][pg];
            for (int k = 0; k < 4; ++k) block[p.n_rows + k] = dec4(r0.links[k]);
            block[p.n_rows + 4] = std::to_string(r0.var_count + (r0.pwd == 1 ? 128 : 0));
            f.insert(f.end(), block.begin(), block.end());
        }
    }
    f.push_back(dec4(p.n_strings * p.n_lang));
    for (int l = 0; l < p.n_lang; ++l)
        for (int s = 0; s < p.n_strings; ++s) f.push_back(frame_safe(p.global_strings[l][s]));
    return f;
}

void write_seeds(const std::filesystem::path& dir) {
    std::filesystem::create_directories(dir);
    auto put = [&](const std::string& name, int option, const std::string& line) {
        std::ofstream(dir / name, std::ios::binary) << static_cast<char>(option) << line;
    };
    for (const TerminalModel& m : terminal_models()) {
        if (m.chooser_option < 0) continue;
        Project p;
        const int seed = 200 + m.chooser_option;
        fill_project(p, m.key, 1 + seed % 2, 2, seed % 3, 3, seed, seed % 2 == 1);
        const auto frames = terminal_frames(p);
        put(std::string("end_") + m.key, m.chooser_option, line_of(frames));
    }
    Project one; // KXE_520 (option 1), 20 x 2
    fill_project(one, "KXE_520", 1, 2, 1, 2, 7);
    const std::vector<std::string> small = terminal_frames(one);
    // small: counts 0..1, name 2, page 0 at 3 (rows 3..4, links 5..8, count 9, fields 10..).
    auto with = [&](std::size_t at, const std::string& text) {
        auto f = small;
        f[at] = text;
        return line_of(f);
    };
    const std::string whole = line_of(small);
    // Line noise before the first frame and between an ETX and the next STX.
    const std::size_t first_end = whole.find(kEtx) + 1;
    put("end_noise_between_frames", 1,
        "\x05\x7f" + whole.substr(0, first_end) + "zz" + whole.substr(first_end));
    put("end_cut_mid_page", 1, whole.substr(0, whole.size() / 2));
    put("end_nothing", 1, "");
    put("end_no_pages", 0, line_of({"0001", "0000", "Italiano", "0000"}));
    put("fail_lang0", 1, with(0, "0000"));
    put("fail_lang7", 1, with(0, "0007"));
    put("fail_lang_overflow", 1, with(0, "99999"));
    put("fail_pages1001", 1, with(1, "1001"));
    put("fail_name_line_break", 1, with(2, "Ital\r\niano"));
    put("fail_short_row", 1, with(3, "short"));
    put("fail_link_overflow", 1, with(5, "10000"));
    put("fail_var_count9", 1, with(9, "137"));
    put("fail_strings601", 1,
        line_of({"0001", "0001", "Italiano", std::string(20, 'a'), std::string(20, 'b'), "0", "0", "0", "0",
                 "0", "0601"}));
}

} // namespace

// --- Frame texts of the download ---

TEST(DownloadFrames, RowsMapMarksArrowsAndUnsendableCodes) {
    Project p;
    p.n_cols = 20;
    p.n_rows = 4;
    auto& ch = p.page_store[1][3].chars;
    for (int i = 0; i < 80; ++i) ch[i] = 'a' + i % 26;
    for (int i = 25; i <= 28; ++i) ch[i] = kCodeVarDigit; // row 1, cells 5 to 8
    ch[27] = kCodeVarPoint;
    ch[40] = 4, ch[41] = 5, ch[42] = 6, ch[43] = 7, ch[44] = kCodeInvalid, ch[45] = 2, ch[46] = 3,
    ch[47] = 200;
    EXPECT_EQ(download_row(p, 1, 3, 0), "abcdefghijklmnopqrst");
    EXPECT_EQ(download_row(p, 1, 3, 1), "uvwxy\xff\xff.\xff"
                                        "defghijklmn");
    EXPECT_EQ(download_row(p, 1, 3, 2), std::string("\x11\x10\x1e\x1f    ") + "wxyzabcdefgh");
}

TEST(DownloadFrames, PageBlockTakesLinksAndVariablesFromLanguageZero) {
    Project p;
    p.kx_type = "KXD_515";
    p.n_cols = 16;
    p.n_rows = 2;
    page_record& r0 = p.page_store[0][7];
    r0.links = {999, 0, 6, 8, 0};
    r0.pwd = 1;
    r0.var_count = 3;
    for (int s = 1; s <= 3; ++s) r0.set_var(s, {1, 4, 17, 3, 0x41, 65535, 0, 0x1234});
    p.page_store[2][7].links = {1, 1, 1, 1, 0}; // never sent
    const auto f = download_page_frames(p, 2, 7);
    ASSERT_EQ(f.size(), 2u + 4 + 1 + 3 * 8);
    EXPECT_EQ((Texts{f[2], f[3], f[4], f[5], f[6]}), (Texts{"03E7", "0000", "0006", "0008", "83"}));
    // access, type in the terminal's coding (HEX of a short-list model is 6), position,
    // digits, decimals with the COM1 bit, address, minimum, maximum.
    EXPECT_EQ((Texts(f.begin() + 7, f.begin() + 15)),
              (Texts{"01", "06", "11", "03", "41", "FFFF", "0000", "1234"}));
}

TEST(DownloadFrames, NamesAndNumbersAreNeverCut) {
    EXPECT_EQ(download_name("Nederlands"), "Nederlands");
    EXPECT_EQ(download_name(""), "         ");
    EXPECT_EQ(download_name("a\x02"
                            "b\x03"),
              "a b      ");
    EXPECT_EQ(dec4(12000), "12000");
}

// --- The download sequence ---

TEST(DownloadSequence, EveryFrameInOrderAndStringsLanguageByLanguage) {
    Download f;
    f.p.page_store[0][0].chars.fill(' ');
    EXPECT_EQ(f.run(), TransferOutcome::Ended);
    const std::string row(40, ' ');
    EXPECT_EQ(f.link.sent, (Texts{"", "0001", "0001", "Italiano ", row, row, row, row, "0000", "0000", "0000",
                                  "0000", "00", "\x02\x06\x03", "0000"}));
    EXPECT_EQ(f.prompt.last_text(), "Trasferimento eseguito con successo");
    EXPECT_EQ(f.panel.infos, (Texts{"Cancellazione Flash in corso...", "Caricamento Pagine su KX in corso...",
                                    "Caricamento Stringhe su KX in corso..."}));
    EXPECT_EQ(f.panel.maxima, (std::vector<int>{1, 1}));
    EXPECT_TRUE(f.panel.hidden);
    EXPECT_FALSE(f.link.held);
    EXPECT_TRUE(f.p.port_idle);

    Download g;
    g.p.n_lang = 2;
    g.p.language_names[1] = "English";
    g.p.last_page_idx = 1;
    // 12 strings in all: their count goes in hexadecimal, where it differs from decimal.
    g.p.n_strings = 6;
    g.p.global_strings[0] = {"uno", ""};
    g.p.global_strings[1] = {"one", "t\x02o"};
    g.p.global_strings[1][5] = "six";
    g.run();
    const Texts& s = g.link.sent;
    ASSERT_GE(s.size(), 13u);
    EXPECT_EQ((Texts(s.end() - 13, s.end())),
              (Texts{"000C", "uno", "", "", "", "", "", "one", "t o", "", "", "", "six"}));
    EXPECT_EQ(g.panel.last_value, 12);
}

// --- Checked reading of the upload ---

TEST(UploadReading, Counts) {
    EXPECT_EQ(read_lang_count("0002"), 2);
    EXPECT_EQ(read_last_page_idx("0006", 2), 2);
    EXPECT_EQ(read_last_page_idx("0000", 3), -1);
    EXPECT_EQ(read_last_page_idx("7", 2), 2); // 2.5 rounds to even
    EXPECT_EQ(read_last_page_idx("6000", 6), 999);
    int tot = 0;
    EXPECT_EQ(read_string_count("3600", 6, tot), 600);
    EXPECT_EQ(tot, 3600);
    EXPECT_EQ(error_of([] { read_lang_count("0"); }), kErrDivByZero);
    EXPECT_EQ(error_of([] { read_lang_count("7"); }), kErrOutOfRange);
    EXPECT_EQ(error_of([] { read_lang_count("-1"); }), kErrOutOfRange);
    EXPECT_EQ(error_of([] { read_lang_count("99999"); }), kErrOverflow);
    EXPECT_EQ(error_of([] { read_last_page_idx("1001", 1); }), kErrOutOfRange);
    EXPECT_EQ(error_of([&] { read_string_count("0601", 1, tot); }), kErrOutOfRange);
    EXPECT_EQ(error_of([] { check_text("a\r\nb", "global string"); }), kErrInvalid);
}

// Whole page blocks come back in the simulator's round trip; here what its pages do not
// hold: a code without a glyph, a row longer than the display, links of more than one digit.
TEST(UploadReading, PageBlockMapsCodesBackAndReadsLinksAsDecimal) {
    PageBlockReader b("KXD_515", 16, 2, 4);
    EXPECT_FALSE(b.take(std::string("\x11\x10\x1e\x1f\xff.ab\xc8", 9) + "1234567extra"));
    EXPECT_FALSE(b.take(std::string(16, ' ')));
    for (const char* link : {"0012", "0000", "4", " 999"}) EXPECT_FALSE(b.take(link));
    EXPECT_TRUE(b.take("128")); // no variables, password on
    const page_record& r = b.record();
    EXPECT_EQ((std::vector<int>(r.chars.begin(), r.chars.begin() + 17)),
              (std::vector<int>{4, 5, 6, 7, 128, '.', 'a', 'b', kCodeInvalid, '1', '2', '3', '4', '5', '6',
                                '7', ' '}));
    EXPECT_EQ((std::vector<int>(r.links.begin(), r.links.begin() + 4)), (std::vector<int>{12, 0, 4, 999}));
    EXPECT_EQ(r.pwd, 1);
}

TEST(UploadReading, PageBlockRefusesWhatThePageCannotHold) {
    auto error_at = [](const Texts& frames) {
        return error_of([&] {
            PageBlockReader b("KXE_520", 20, 2, 0);
            for (auto& f : frames) b.take(f);
        });
    };
    const std::string row(20, ' ');
    const Texts head{row, row, "1", "2", "3", "4"};
    auto with = [&](Texts tail) {
        auto v = head;
        v.insert(v.end(), tail.begin(), tail.end());
        return v;
    };
    EXPECT_EQ(error_at({row, std::string(19, ' ')}), kErrOutOfRange);
    EXPECT_EQ(error_at({row, row, "10000"}), kErrOverflow);
    EXPECT_EQ(error_at({row, row, "-1"}), kErrOverflow);
    EXPECT_EQ(error_at(with({"9"})), kErrOutOfRange);
    EXPECT_EQ(error_at(with({"137"})), kErrOutOfRange);                 // 9 variables with the password bit
    EXPECT_EQ(error_at(with({"1", "02"})), kErrOverflow);               // access
    EXPECT_EQ(error_at(with({"1", "01", "64"})), kErrOverflow);         // type 100
    EXPECT_EQ(error_at(with({"1", "01", "00", "28"})), kErrOutOfRange); // position 40 of 40 cells
    EXPECT_EQ(error_at(with({"1", "01", "00", "27", "64"})), kErrOverflow); // digits 100
    EXPECT_EQ(error_at(with({"1", "01", "00", "27", "05", "100"})), kErrOverflow);
    EXPECT_EQ(error_at(with({"1", "01", "00", "27", "05", "00", "10000"})), kErrOverflow);
    EXPECT_EQ(error_at(with({"1", "01", "00", "0F", "05", "00", "FFFF", "FFFF", "FFFF"})), 0);
    // A complete block whose variables (position, digits, decimals) could not stand in a
    // project file: a field past its row, more decimals than digits, no digits, an overlap.
    auto page = [&](std::vector<Texts> vars) {
        Texts f{std::to_string(vars.size())};
        for (auto& v : vars) f.insert(f.end(), {"01", "00", v[0], v[1], v[2], "0000", "0000", "0000"});
        return with(f);
    };
    EXPECT_EQ(error_at(page({{"27", "05", "00"}})), kErrOutOfRange); // cell 39 of 20 x 2
    EXPECT_EQ(error_at(page({{"10", "05", "00"}})), kErrOutOfRange); // cells 16..20 span two rows
    EXPECT_EQ(error_at(page({{"00", "03", "04"}})), kErrOutOfRange);
    EXPECT_EQ(error_at(page({{"00", "00", "00"}})), kErrOutOfRange);
    EXPECT_EQ(error_at(page({{"00", "04", "00"}, {"03", "02", "00"}})), kErrOutOfRange);
    EXPECT_EQ(error_at(page({{"00", "04", "00"}, {"04", "02", "00"}})), 0);
}

// The upload takes the variables that File > Open takes: a DATE of 9 digits at column 11
// of a 20-column row and a TIME of 5 digits followed by a WORD fit in stored digits.
TEST(UploadReading, NarrowDateAndTimeFieldsAreTakenAsTheFileReaderTakesThem) {
    PageBlockReader b("KXB_540", 20, 4, 0);
    const std::string row(20, ' ');
    Texts frames{row, row, row, row, "0", "0", "0", "0", "3"};
    for (const Texts& v : {Texts{"04", "0B", "09"}, Texts{"05", "14", "05"}, Texts{"00", "19", "02"}})
        frames.insert(frames.end(), {"01", v[0], v[1], v[2], "00", "0000", "0000", "0000"});
    bool complete = false;
    EXPECT_EQ(error_of([&] {
                  for (const auto& f : frames) complete = b.take(f);
              }),
              0);
    EXPECT_TRUE(complete);
    EXPECT_EQ(b.record().var(1), (variable_record{1, 4, 11, 9, 0, 0, 0, 0}));
}

// A message that quotes what the terminal sent shows every byte of it.
TEST(UploadReading, QuotedBytesArePrintable) {
    test::Fixture f;
    const std::string row(40, 'x');
    const std::string access("01\0JUNK", 7);
    replay_upload(f.c,
                  line_of({"0001", "0001", "Italiano", row, row, row, row, "0", "0", "0", "0", "1", access}));
    EXPECT_EQ(f.prompt.last_text(), "Errore 6: Overflow (access 01\\x00JUNK)");
}

// --- What an upload leaves ---

TEST(UploadSequence, PagesAndStringsThatNeverArriveAreThoseOfAnEmptyProject) {
    // The line goes quiet after a language count of 3: the three languages are blank.
    test::Fixture f;
    f.p.page_store[2][0].chars.fill('Z');
    f.p.global_strings[2][5] = "old";
    replay_upload(f.c, frame_bytes("0003"));
    EXPECT_EQ(f.p.n_lang, 3);
    EXPECT_EQ(f.p.page_store[2][0].chars[0], ' ');
    EXPECT_EQ(f.p.global_strings[2][5], "");

    // A hostile variable count on page 0 of three: no page keeps an older project's text.
    test::Fixture g;
    g.p.page_store[0][1].chars.fill('Z');
    const std::string row(40, 'x');
    EXPECT_EQ(replay_upload(
                  g.c, line_of({"0001", "0003", "Italiano", row, row, row, row, "0", "0", "0", "0", "9"})),
              TransferOutcome::Failed);
    EXPECT_EQ(g.prompt.last_text(), "Errore 9: Subscript out of range (variable count 9)");
    EXPECT_EQ(g.p.page_store[0][0].chars[0], ' ');
    EXPECT_EQ(g.p.page_store[0][1].chars[0], ' ');
    EXPECT_EQ(g.p.last_page_idx, 2);
    EXPECT_TRUE(g.p.port_idle);
}

// A page holds 8 variables: two full pages, the password off on one and on on the other
// (counts 8 and 136), arrive whole; a count of 9, with or without the password, is refused.
TEST(UploadSequence, EightVariablesArriveWholeAndNineAreRefused) {
    Project src;
    fill_project(src, "KXE_540", 1, 2, 0, 8, 23);
    src.page_store[0][0].pwd = 0;
    src.page_store[0][1].pwd = 1;
    auto upload = [](test::Fixture& f, const Texts& frames) {
        f.p.kx_type = "KXE_540";
        set_terminal_model(f.c, "KXE_540");
        return replay_upload(f.c, line_of(frames));
    };
    const Texts frames = terminal_frames(src);
    test::Fixture whole;
    EXPECT_EQ(upload(whole, frames), TransferOutcome::Ended);
    EXPECT_EQ(whole.prompt.last_text(), "Trasferimento eseguito con successo");
    for (int pg = 0; pg < 2; ++pg) {
        const page_record &sent = src.page_store[0][pg], &got = whole.p.page_store[0][pg];
        ASSERT_EQ(sent.var_count, kMaxVars);
        EXPECT_EQ(got.var_count, kMaxVars) << pg;
        EXPECT_EQ(got.pwd, pg) << pg;
        for (int s = 1; s <= kMaxVars; ++s) EXPECT_EQ(got.var(s), sent.var(s)) << pg << " " << s;
    }

    // Rows and links of page 0 go before its count.
    const std::size_t count_at = 3 + src.n_rows + 4;
    ASSERT_EQ(frames[count_at], "8");
    for (const char* count : {"9", "137"}) {
        Texts past = frames;
        past[count_at] = count;
        test::Fixture refused;
        EXPECT_EQ(upload(refused, past), TransferOutcome::Failed) << count;
        EXPECT_EQ(refused.prompt.last_text(),
                  std::string("Errore 9: Subscript out of range (variable count ") + count + ")");
        EXPECT_EQ(refused.p.page_store[0][0].var_count, 0) << count;
    }
}

// --- The seed corpus of the upload fuzz target ---
// Byte streams as a terminal sends a project, for every model, and damaged ones. The first
// byte of a seed is the model option of the upload's model choice; the rest is the line.
// MIVOR_WRITE_CORPUS=1 writes them anew; otherwise every committed seed must still end the
// way its name says ("end_": the upload ended, "fail_": a run-time error was reported).

TEST(UploadCorpus, SeedStreamsKeepTheirOutcome) {
    if (std::getenv("MIVOR_WRITE_CORPUS")) write_seeds(corpus_dir("upload"));
    int files = 0;
    for (const auto& [name, bytes] : filetest::seed_files("upload")) {
        ASSERT_FALSE(bytes.empty()) << name;
        kx::test::Fixture f;
        const TerminalModel* m = model_by_option(static_cast<unsigned char>(bytes[0]) % 8);
        ASSERT_NE(m, nullptr);
        f.p.kx_type = m->key;
        set_terminal_model(f.c, m->key);
        const TransferOutcome outcome = replay_upload(f.c, std::string_view(bytes).substr(1));
        EXPECT_EQ(outcome, name.rfind("end_", 0) == 0 ? TransferOutcome::Ended : TransferOutcome::Failed)
            << name;
        ++files;
    }
    EXPECT_GE(files, 15);
}
