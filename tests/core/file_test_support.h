#pragma once
// Shared pieces of the project-file tests and benchmark: the editor stand-ins, the seed
// folder of the reader, and projects filled with valid random content.
#include "../support/recording_view.h"
#include "core/models.h"
#include "core/store.h"
#include "platform/api/textfile.h"

#include <fstream>
#include <random>

namespace filetest {

using namespace kx;
using kx::test::TempDir;
using Editor = kx::test::Started; // the default empty project, its program folder a temporary one

// The whole content of a file ("" when it cannot be read), and a file written with bytes.
inline std::string content(const std::string& path) {
    std::string bytes;
    read_file_bytes(path, bytes);
    return bytes;
}
inline void put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The lines, each ended by CR LF.
inline std::string crlf(const std::vector<std::string>& lines) {
    std::string s;
    for (const auto& l : lines) s += l + "\r\n";
    return s;
}

// The committed seed files of a fuzz target's corpus (tests/corpus/<name>).
inline std::filesystem::path corpus_dir(const char* name = "projectfile") {
    return std::filesystem::path(__FILE__).parent_path().parent_path() / "corpus" / name;
}

// Name and bytes of every seed file of a corpus.
inline std::vector<std::pair<std::string, std::string>> seed_files(const char* name) {
    std::vector<std::pair<std::string, std::string>> seeds;
    for (const auto& e : std::filesystem::directory_iterator(corpus_dir(name)))
        seeds.emplace_back(e.path().filename().string(), content(e.path().string()));
    return seeds;
}

// Fills the project with valid content for model `key`: n_lang languages, `pages` pages,
// `strings` strings per language, up to `vars` variables per page; marks in every language.
inline void fill_project(Project& p, const std::string& key, int n_lang, int pages, int strings, int vars,
                         unsigned seed, bool com_marks = false) {
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const TerminalModel* m = find_model(key);
    p.kx_type = key;
    p.n_cols = static_cast<std::int16_t>(m->cols);
    p.n_rows = static_cast<std::int16_t>(m->rows);
    p.n_lang = static_cast<std::int16_t>(n_lang);
    p.last_page_idx = static_cast<std::int16_t>(pages - 1);
    p.n_strings = static_cast<std::int16_t>(strings);
    p.num_mode = pick(0, 1) ? "HEX" : "DEC";
    p.multi_protocol = com_marks ? 1 : 0;
    const int cells = m->cols * m->rows;
    const int types = static_cast<int>(variable_type_list(key).size());
    for (int i = 0; i < 6; ++i) p.language_names[i] = i < n_lang ? "Lang" + std::to_string(i) : "";
    for (int pg = 0; pg < pages; ++pg) {
        std::array<variable_record, kVarSlots> t{};
        int n = 0;
        // At most two variables per row, each in its own half of the row.
        for (int row = 0; row < m->rows && n < vars; ++row) {
            for (int half = 0; half < 2 && n < vars; ++half) {
                variable_record v;
                v.type = static_cast<std::int16_t>(pick(0, types - 1));
                if (types == 13 && (v.type == 4 || v.type == 5)) v.type = 0; // DATE/TIME have fixed widths
                v.digits = static_cast<std::int16_t>(pick(1, m->cols / 2 - 3));
                v.dec = static_cast<std::int16_t>(std::min<int>(pick(0, 3), v.digits) |
                                                  (com_marks && pick(0, 1) ? kComBit : 0));
                v.pos = static_cast<std::int16_t>(row * m->cols + half * (m->cols / 2));
                v.access = static_cast<std::int16_t>(pick(0, 1));
                v.address = pick(0, 0xFFFF);
                v.min = pick(0, 0xFFFF);
                v.max = pick(0, 0xFFFF);
                t[++n] = v;
            }
        }
        page_record& r0 = p.page_store[0][pg];
        for (int L = 0; L < n_lang; ++L) {
            auto& ch = p.page_store[L][pg].chars;
            static const int extra[] = {4, 5, 6, 7, kCodeInvalid};
            for (int i = 0; i < cells; ++i)
                ch[i] = static_cast<std::int16_t>(pick(0, 9) ? pick(32, 127) : extra[pick(0, 4)]);
            lay_var_marks(ch, t, n, cells);
        }
        r0.var_count = static_cast<std::int16_t>(n);
        for (int s = 0; s < kVarSlots; ++s) r0.set_var(s, t[s]);
        for (int k = 0; k < 4; ++k) r0.links[k] = static_cast<std::int16_t>(pick(0, pages - 1));
        r0.pwd = static_cast<std::int16_t>(pick(0, 1));
    }
    for (int L = 0; L < n_lang; ++L)
        for (int k = 0; k < strings; ++k) {
            std::string s;
            for (int i = pick(0, m->cols); i > 0; --i) s += static_cast<char>(pick(32, 255));
            p.global_strings[L][k] = s;
        }
}

// The same for the project of context c, then its page 0 shown, as editing would leave it.
inline void fill_and_show(Ctx& c, const std::string& key, int n_lang, int pages, int strings, int vars,
                          unsigned seed, bool com_marks = false) {
    fill_project(c.p, key, n_lang, pages, strings, vars, seed, com_marks);
    set_terminal_model(c, key);
    load_page(c, 0, 0);
}

} // namespace filetest
