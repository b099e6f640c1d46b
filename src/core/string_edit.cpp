#include "core/string_edit.h"

#include "core/context.h"
#include "core/text.h"

#include <algorithm>

namespace kx {

StringEditSession::StringEditSession(const Project& p)
    : current_tab(p.act_lang), rows_(std::clamp<int>(p.n_strings, 0, kMaxStrings)),
      langs_(std::clamp<int>(p.n_lang, 1, kLangSlots)), max_len_(std::max<int>(p.n_cols, 0)) {
    copy_.resize(langs_);
    for (int l = 0; l < langs_; ++l)
        copy_[l].assign(p.global_strings[l].begin(), p.global_strings[l].begin() + kMaxStrings);
}

const std::string& StringEditSession::text(int lang, int row) const {
    static const std::string none;
    if (lang < 0 || lang >= langs_ || row < 0 || row >= rows_) return none;
    return copy_[lang][row];
}

const std::string& StringEditSession::edit(Ctx& c, int lang, int row, const std::string& typed) {
    if (lang < 0 || lang >= langs_ || row < 0 || row >= rows_) return text(lang, row);
    std::string t = clean_entry(typed);
    if (static_cast<int>(t.size()) > max_len_) t.resize(max_len_);
    copy_[lang][row] = std::move(t);
    c.p.prj_modified = true;
    changed = true;
    return copy_[lang][row];
}

bool StringEditSession::insert(int index) {
    if (rows_ >= kMaxStrings) return false;
    index = std::clamp(index, 1, rows_ + 1);
    for (auto& rows : copy_) {
        rows.insert(rows.begin() + (index - 1), std::string());
        rows.pop_back();
    }
    ++rows_;
    return true;
}

bool StringEditSession::append() {
    if (rows_ >= kMaxStrings) return false;
    for (auto& rows : copy_) rows[rows_].clear();
    ++rows_;
    current_row = rows_;
    return true;
}

bool StringEditSession::remove(int index) {
    if (index < 1 || index > rows_) return false;
    for (auto& rows : copy_) {
        rows.erase(rows.begin() + (index - 1));
        rows.emplace_back();
    }
    --rows_;
    if (current_row > rows_) current_row = rows_;
    return true;
}

void StringEditSession::write_back(Project& p) const {
    bool differs = p.n_strings != rows_;
    for (int l = 0; l < langs_; ++l) {
        for (int k = 0; k < kMaxStrings; ++k) {
            const std::string& t = k < rows_ ? copy_[l][k] : std::string();
            if (p.global_strings[l][k] != t) {
                differs = true;
                p.global_strings[l][k] = t;
            }
        }
    }
    p.n_strings = static_cast<std::int16_t>(rows_);
    p.tot_strings = static_cast<std::int16_t>(rows_ * langs_);
    // Inserted or deleted rows change the project as much as edited texts do; without the
    // mark an exit right after would drop them without asking.
    if (differs) p.prj_modified = true;
}

void string_editor_save_exit(Ctx& c, const StringEditSession& s) { s.write_back(c.p); }

void string_editor_cancel_exit(Ctx& c, const StringEditSession& s) {
    if (!s.changed) return;
    if (c.prompt.message(c.txt(10143), kYesNoCancel) == kAnsYes) s.write_back(c.p);
}

} // namespace kx
