#include "core/strings.h"

#include "platform/api/cp1252.h"

#include <cstddef>
#include <cstdlib>

extern const unsigned char kx_strings_data[];
extern const std::size_t kx_strings_data_size;

namespace kx {

StringTable StringTable::parse(const std::string& tsv) {
    StringTable t;
    size_t start = 0;
    while (start < tsv.size()) {
        size_t end = tsv.find('\n', start);
        if (end == std::string::npos) end = tsv.size();
        std::string line = tsv.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t tab = line.find('\t');
        if (tab == std::string::npos || tab == 0) continue;
        char* stop = nullptr;
        long id = std::strtol(line.c_str(), &stop, 10);
        if (stop != line.c_str() + tab) continue;
        std::string text;
        for (size_t i = tab + 1; i < line.size(); ++i) {
            char c = line[i];
            if (c == '\\' && i + 1 < line.size()) {
                char n = line[++i];
                text += n == 't' ? '\t' : n == 'n' ? '\n' : n;
            } else {
                text += c;
            }
        }
        t.texts_[static_cast<int>(id)] = utf8_to_cp1252(text);
    }
    return t;
}

const StringTable& StringTable::builtin() {
    static const StringTable table =
        parse(std::string(reinterpret_cast<const char*>(kx_strings_data), kx_strings_data_size));
    return table;
}

const std::string& StringTable::get(int id) const {
    static const std::string none;
    auto it = texts_.find(id);
    return it == texts_.end() ? none : it->second;
}

} // namespace kx
