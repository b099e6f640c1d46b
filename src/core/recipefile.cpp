#include "core/recipefile.h"

#include "core/context.h"
#include "core/shell.h"
#include "core/text.h"
#include "platform/api/textfile.h"

namespace kx {
namespace {

const char* kRecipeSection = "Ricette";
const char* kRecipeKey = "UltimoFile";
const char* kNewRecipeName = "nuovaRicetta";

std::string_view window(std::string_view line, std::size_t start, std::size_t len) {
    return start >= line.size() ? std::string_view() : line.substr(start, len);
}

std::int32_t number_in(std::string_view text) { return read_decimal(std::string(text)); }

std::string padded(std::int64_t v, int width) {
    std::string s = std::to_string(v);
    pad_left_space(s, width);
    return s;
}

std::string hex_padded(std::int64_t v, int width) {
    std::string s = to_hex(v);
    pad_left_zero(s, width);
    return s;
}

// A name in its eight columns: padded or cut, and no line end inside.
std::string name8(std::string name) {
    name.resize(kRecipeNameLen, ' ');
    for (char& ch : name)
        if (ch == '\r' || ch == '\n') ch = ' ';
    return name;
}

void add_line(std::string& out, const std::string& line) {
    out += line;
    out += "\r\n";
}

bool refuse(FileError& err, FileError::Kind kind, const std::string& what = "") {
    err = {kind, kind == FileError::Kind::Damaged ? kErrBadValue : 0, what};
    return false;
}

void prepare_recipe_dialog(Ctx& c) {
    FileDialog& d = c.cdg_recipe;
    d.cancel_error = true;
    d.flags = 4;
    d.filter = kAllFilesFilter;
    d.filter_index = 2;
    d.init_dir = strip_last_component(c.p.recipe_path);
    if (d.init_dir.empty()) d.init_dir = c.program_dir;
}

} // namespace

std::int32_t next_hex_field(std::string_view line, std::size_t& pos) {
    if (pos >= line.size()) return 0;
    const std::size_t blank = line.find(' ', pos);
    const std::size_t end = blank == std::string_view::npos ? line.size() : blank;
    const std::int32_t v = hex_to_long(std::string(line.substr(pos, end - pos)));
    pos = end + 1;
    return v;
}

bool parse_recipe_file(std::string_view bytes, RecipeModel& out, FileError& err) {
    using Kind = FileError::Kind;
    err = {};
    LineCursor in(bytes);
    std::string_view s;
    auto next = [&](std::string_view& line) {
        if (in.next(line)) return true;
        err = {Kind::Damaged, kErrPastEnd,
               "Input past end of file: the file ends after line " + std::to_string(in.line_number())};
        return false;
    };

    if (!next(s)) return false;
    if (!is_version_line(s)) return refuse(err, Kind::Format);
    // Every field stands in fixed columns and ends where the line has a blank (or ends): a
    // field wider than its columns would otherwise be read cut, the rest taken for the next.
    auto field_ends = [&](std::string_view line, std::size_t col) {
        if (col >= line.size() || line[col] == ' ') return true;
        return refuse(err, Kind::Damaged,
                      "line " + std::to_string(in.line_number()) + ": the field before column " +
                          std::to_string(col + 1) + " is wider than its columns");
    };
    // A count line: the number in columns 1-5, two blanks, a keyword.
    auto count_line = [&](std::int32_t& count) {
        if (!field_ends(s, 5) || !field_ends(s, 6)) return false;
        count = number_in(s);
        return true;
    };
    if (!next(s)) return false;
    if (window(s, 7, 7) != "blk_tot") return refuse(err, Kind::Format);
    if (!count_line(out.blk_tot) || !next(s) || !count_line(out.blk_len) || !next(s) ||
        !count_line(out.blk_start))
        return false;
    // The counts decide how many lines follow: check them before anything is stored.
    if (std::string size = recipe_size_fault(out.blk_tot, out.blk_len); !size.empty())
        return refuse(err, Kind::Damaged, "Invalid recipe file: " + size);

    for (int i = 0; i < out.blk_len; ++i) {
        if (!next(s) || !field_ends(s, 4) || !field_ends(s, 9)) return false;
        recipe_element& e = out.recipe_elements[i];
        e.min = hex_to_long(std::string(window(s, 0, 4)));
        e.max = hex_to_long(std::string(window(s, 5, 4)));
        std::size_t pos = 10;
        e.flags = next_hex_field(s, pos);
        if (!field_ends(s, pos + kRecipeNameLen)) return false;
        e.name = std::string(window(s, pos, kRecipeNameLen));
        e.name.resize(kRecipeNameLen, ' ');
    }

    // A block goes to the slot of its position in the file; free slots count as positions.
    for (int slot = 0, count = 0; count < out.blk_tot; ++slot) {
        if (slot >= kRecipeSlots)
            return refuse(err, Kind::Damaged,
                          "more block lines than the table's " + std::to_string(kRecipeSlots) + " slots");
        std::string_view values;
        if (!next(s)) return false;
        for (std::size_t col : {12, 13, 22, 26, 30})
            if (!field_ends(s, col)) return false;
        if (!next(values)) return false;
        for (int i = 0; i < out.blk_len; ++i)
            if (!field_ends(values, 6 * i + 5)) return false;
        recipe_block& b = out.recipe_blocks[slot];
        b.name = blank_or_pad8(std::string(window(s, 14, kRecipeNameLen)));
        b.prev = number_in(window(s, 23, 4));
        b.next = number_in(window(s, 27, 4));
        for (int i = 0; i < out.blk_len; ++i) b.values[i] = number_in(window(values, 6 * i, 5));
        if (!b.name.empty()) ++count;
    }

    const std::string fault = recipe_model_fault(out);
    if (!fault.empty()) return refuse(err, Kind::Damaged, "Invalid recipe file: " + fault);
    return true;
}

bool recipe_file_bytes(const RecipeModel& m, const std::string& version, std::string& out, FileError& err) {
    out.clear();
    err = {};
    if (version.size() != 3 || version.find_first_of("\r\n") != std::string::npos)
        return refuse(err, FileError::Kind::Damaged, "Value out of range for the recipe file: file version");
    const std::string fault = recipe_model_fault(m);
    if (!fault.empty())
        return refuse(err, FileError::Kind::Damaged, "Value out of range for the recipe file: " + fault);

    add_line(out, version + "  version");
    add_line(out, padded(m.blk_tot, 5) + "  blk_tot");
    add_line(out, padded(m.blk_len, 5) + "  blk_len");
    add_line(out, padded(m.blk_start, 5) + "  blk_start");
    for (int i = 0; i < m.blk_len; ++i) {
        const recipe_element& e = m.recipe_elements[i];
        add_line(out, hex_padded(e.min, 4) + " " + hex_padded(e.max, 4) + " " + hex_padded(e.flags, 2) + " " +
                          name8(e.name));
    }
    // Slot after slot until every used block is written; free slots on the way go out too.
    for (int slot = 0, written = 0; written < m.blk_tot; ++slot) {
        const recipe_block& b = m.recipe_blocks[slot];
        add_line(out, "block: " + padded(slot, 5) + "  " + name8(b.name) + " " + padded(b.prev, 3) + " " +
                          padded(b.next, 3));
        std::string values;
        for (int i = 0; i < m.blk_len; ++i) values += (i ? " " : "") + padded(b.values[i], 5);
        add_line(out, values);
        if (!b.name.empty()) ++written;
    }
    return true;
}

bool write_recipe_file(Ctx& c, const std::string& path) {
    std::string bytes, why;
    FileError err;
    bool ok = recipe_file_bytes(c.p.recipe, c.p.file_version, bytes, err);
    if (ok && !replace_file(path, bytes, "", why)) {
        ok = false;
        err = {FileError::Kind::Access, kErrFileAccess, shown_path(why)};
    }
    if (!ok) {
        // Nothing else changes: the next Write still goes to the file it went to before.
        c.prompt.busy(false);
        restore_dialog_state(c, c.cdg_recipe);
        report_error(c, err.number, err.description);
        return false;
    }
    c.settings.save(kRecipeSection, kRecipeKey, path);
    return true;
}

bool read_recipe_file(Ctx& c, const std::string& path) {
    std::string bytes;
    FileError err;
    RecipeModel staged;
    bool ok = read_data_file(path, kMaxRecipeFileBytes, FileError::Kind::Format, "recipe file", bytes, err);
    ok = ok && parse_recipe_file(bytes, staged, err);
    if (ok) {
        c.p.recipe = std::move(staged);
        return true;
    }
    c.prompt.busy(false);
    if (err.kind == FileError::Kind::Access || err.kind == FileError::Kind::TooLarge)
        report_error(c, err.number, err.description);
    else c.prompt.message(c.txt(10161), kOkOnly, c.txt(10018));
    // The file that failed is left as it is: the empty model goes to a file of its own.
    init_recipe_data(c.p.recipe);
    choose_recipe_file_name(c);
    create_empty_recipe_file(c);
    return false;
}

void choose_recipe_file_name(Ctx& c) {
    c.p.recipe_path = new_file_name(c, c.settings.get(kRecipeSection, kRecipeKey, ""), kNewRecipeName);
}

bool create_empty_recipe_file(Ctx& c) {
    make_empty_recipe(c.p.recipe);
    return write_recipe_file(c, c.p.recipe_path);
}

void open_recipe_file(Ctx& c) {
    const std::string last = c.settings.get(kRecipeSection, kRecipeKey, "");
    if (!file_exists(last)) {
        // A new empty file: no block of the model in memory may survive into it.
        init_recipe_data(c.p.recipe);
        choose_recipe_file_name(c);
        create_empty_recipe_file(c);
    } else {
        c.p.recipe_path = last;
        read_recipe_file(c, last);
    }
    // Only a file that exists is remembered: a failed creation leaves the setting as it was.
    if (file_exists(c.p.recipe_path)) c.settings.save(kRecipeSection, kRecipeKey, c.p.recipe_path);
}

void new_recipe_file(Ctx& c) {
    init_recipe_data(c.p.recipe);
    choose_recipe_file_name(c);
    create_empty_recipe_file(c);
    c.p.recipe_modified = false;
}

bool ask_save_recipe_file(Ctx& c) {
    Project& p = c.p;
    if (!p.recipe_modified) return true;
    if (c.prompt.message(c.txt(10085) + " " + shown_path(p.recipe_path) + " ?", kYesNo) != kAnsYes)
        return true;
    if (!write_recipe_file(c, p.recipe_path)) return false;
    p.recipe_modified = false;
    return true;
}

void read_file_recipe(Ctx& c) {
    Project& p = c.p;
    prepare_recipe_dialog(c);
    store_dialog_file(c, c.cdg_recipe);
    if (!c.prompt.open_file(c.cdg_recipe)) return;
    if (check_dialog_file_exists(c, c.cdg_recipe)) return;
    p.recipe_path = c.cdg_recipe.file_name;
    c.prompt.busy(true);
    read_recipe_file(c, p.recipe_path);
    c.prompt.busy(false);
    p.recipe_modified = false;
    if (file_exists(p.recipe_path)) c.settings.save(kRecipeSection, kRecipeKey, p.recipe_path);
}

void recipes_write(Ctx& c) {
    open_recipe_file(c);
    c.prompt.busy(true);
    write_recipe_file(c, c.p.recipe_path);
    c.prompt.busy(false);
}

void recipes_write_as(Ctx& c) {
    Project& p = c.p;
    open_recipe_file(c);
    prepare_recipe_dialog(c);
    store_dialog_file(c, c.cdg_recipe);
    if (!c.prompt.save_file(c.cdg_recipe)) return;
    const std::string chosen = c.cdg_recipe.file_name;
    if (!confirm_overwrite(c, chosen)) return;
    c.prompt.busy(true);
    const bool ok = write_recipe_file(c, chosen);
    c.prompt.busy(false);
    if (!ok) return;
    p.recipe_path = chosen;
    p.recipe_modified = false;
}

void recipes_read(Ctx& c) {
    open_recipe_file(c);
    read_file_recipe(c);
}

} // namespace kx
