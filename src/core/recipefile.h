#pragma once
// The recipe file: the structure and the blocks of the recipe model in one single-byte text
// file, lines ending CR LF. The pure reader and writer work on bytes; the routines with a Ctx
// keep the current recipe file (recipe_path, setting "Ricette"/"UltimoFile") and talk to
// the user.
#include "core/projectfile.h"
#include "core/recipe.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kx {

struct Ctx;

// The largest recipe file that can be read. The largest the model holds (201 slot pairs of
// 200 values, free slots written too, and 200 element lines) is written in about 250 KB; the
// bound leaves a wide margin for longer lines, and refuses a file picked by mistake before it
// takes that much memory.
constexpr std::size_t kMaxRecipeFileBytes = std::size_t{16} << 20;

// The hexadecimal field from pos up to the next blank (or the end of the line); pos moves
// past that blank.
std::int32_t next_hex_field(std::string_view line, std::size_t& pos);

// Reads a whole recipe file into `out` (which starts from the zero model) and checks it:
// counts, ranges, and one block list from head to tail with matching back links. False
// (with err) when the file is refused; `out` must then not be used. Kind::Format for a first
// or second line that is not a recipe file's, Kind::Damaged for the rest.
bool parse_recipe_file(std::string_view bytes, RecipeModel& out, FileError& err);

// The file bytes of the model, with `version` (three characters) on the first line. False
// (with err) when the model breaks its rules, so no file is written that could not be read.
bool recipe_file_bytes(const RecipeModel& m, const std::string& version, std::string& out, FileError& err);

// Writes the model to path through a temporary file (a failed write keeps the old file
// whole) and remembers path in the settings. On failure: the error message; recipe_path and
// the setting stay as they were.
bool write_recipe_file(Ctx& c, const std::string& path);
// Reads path into the model. A file that cannot be read or is refused is never written:
// after the message the model is the empty one, under a new free name whose file is created.
bool read_recipe_file(Ctx& c, const std::string& path);
// recipe_path = a new, not yet existing "nuovaRicetta", "nuovaRicetta1", ... beside the last
// recipe file; without one, where new projects are named (new_file_name).
void choose_recipe_file_name(Ctx& c);
// The empty model (one element, no blocks) written to recipe_path.
bool create_empty_recipe_file(Ctx& c);
// First step of every recipe function: the model reloaded from the last recipe file, or a
// new empty file when there is none.
void open_recipe_file(Ctx& c);
// Recipes > New: the empty model under a new name.
void new_recipe_file(Ctx& c);
// With unsaved changes: asks whether to write them. False only when the user answered Yes
// and the file could not be written (the changes are still only in memory).
bool ask_save_recipe_file(Ctx& c);

// Recipes > Read after open_recipe_file: the open dialog, then the chosen file.
void read_file_recipe(Ctx& c);
// The Recipes menu's Write, Write As and Read items.
void recipes_write(Ctx& c);
void recipes_write_as(Ctx& c);
void recipes_read(Ctx& c);

} // namespace kx
