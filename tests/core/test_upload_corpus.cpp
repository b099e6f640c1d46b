// The seed corpus of the upload fuzz target: byte streams as a terminal sends a project,
// for every model, and damaged ones. The first byte of a seed is the model option of the
// upload's model choice; the rest is the line. MIVOR_WRITE_CORPUS=1 writes them anew;
// otherwise every committed seed must still end the way its name says ("end_": the upload
// ended, "fail_": a run-time error was reported).
#include "core/serial_rx.h"
#include "core/transfer.h"

#include "file_test_support.h"
#include "platform/api/textfile.h"

#include <gtest/gtest.h>

#include <fstream>

namespace filetest {
namespace {

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

std::string line_of(const std::vector<std::string>& frames) {
    std::string s;
    for (const auto& t : frames) s += frame_bytes(t);
    return s;
}

void write_seeds(const std::filesystem::path& dir) {
    std::filesystem::create_directories(dir);
    auto put = [&](const std::string& name, int option, const std::string& line) {
        std::ofstream(dir / name, std::ios::binary) << static_cast<char>(option) << line;
    };
    std::vector<std::string> small;   // KXE_520 (option 1), 20 x 2
    for (const TerminalModel& m : terminal_models()) {
        if (m.chooser_option < 0) continue;
        Project p;
        const int seed = 200 + m.chooser_option;
        fill_project(p, m.key, 1 + seed % 2, 2, seed % 3, 3, seed, seed % 2 == 1);
        const auto frames = terminal_frames(p);
        put(std::string("end_") + m.key, m.chooser_option, line_of(frames));
    }
    Project one;
    fill_project(one, "KXE_520", 1, 2, 1, 2, 7);
    small = terminal_frames(one);
    // small: counts 0..1, name 2, page 0 at 3 (rows 3..4, links 5..8, count 9, fields 10..).
    auto with = [&](std::size_t at, const std::string& text) {
        auto f = small;
        f[at] = text;
        return line_of(f);
    };
    const std::string whole = line_of(small);
    // Line noise before the first frame and between an ETX and the next STX.
    const std::size_t first_end = whole.find(kEtx) + 1;
    put("end_noise_between_frames", 1, "\x05\x7f" + whole.substr(0, first_end) + "zz" + whole.substr(first_end));
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
    put("fail_strings601", 1, line_of({"0001", "0001", "Italiano", std::string(20, 'a'), std::string(20, 'b'),
                                       "0", "0", "0", "0", "0", "0601"}));
}

TEST(UploadCorpus, SeedStreamsKeepTheirOutcome) {
    const std::filesystem::path dir = corpus_dir("upload");
    if (std::getenv("MIVOR_WRITE_CORPUS")) write_seeds(dir);
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        std::string bytes;
        ASSERT_TRUE(read_file_bytes(e.path().string(), bytes));
        ASSERT_FALSE(bytes.empty()) << e.path();
        const std::string name = e.path().filename().string();
        kx::test::Fixture f;
        const TerminalModel* m = model_by_option(static_cast<unsigned char>(bytes[0]) % 8);
        ASSERT_NE(m, nullptr);
        f.p.kx_type = m->key;
        set_terminal_model(f.c, m->key);
        const TransferOutcome outcome = replay_upload(f.c, std::string_view(bytes).substr(1));
        EXPECT_EQ(outcome, name.rfind("end_", 0) == 0 ? TransferOutcome::Ended : TransferOutcome::Failed) << name;
        ++files;
    }
    EXPECT_GE(files, 15);
}

} // namespace
} // namespace filetest
