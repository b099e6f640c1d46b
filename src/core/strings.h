#pragma once
// The string table: every caption and message in Italian (its id) and English (id + 1000),
// compiled into the program from resources/strings.tsv.
#include <string>
#include <unordered_map>

namespace kx {

class StringTable {
public:
    // Parses lines "id<TAB>text" (UTF-8, with \\, \t and \n escapes); texts become
    // Windows-1252 bytes.
    static StringTable parse(const std::string& tsv);
    // The table compiled into the program.
    static const StringTable& builtin();

    // The text of an id; "" when the table has no such entry.
    const std::string& get(int id) const;
    bool has(int id) const { return texts_.count(id) != 0; }
    size_t size() const { return texts_.size(); }

private:
    std::unordered_map<int, std::string> texts_;
};

} // namespace kx
