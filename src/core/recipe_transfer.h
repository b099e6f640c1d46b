#pragma once
// Recipes > PC --> KX and KX --> PC: the recipe structure and blocks sent to the terminal as
// commands in checked frames (then "K" and "Z"), and read back with lower-case requests
// whose answers are read by position, every count and field checked before it is stored.
#include "core/recipe.h"
#include "core/transfer.h"

#include <string>
#include <string_view>

namespace kx {

struct Ctx;

// The text of a checked frame: "00", the command and the XOR of both in four hexadecimal
// digits. Framing bytes in the command go as blanks and the check is over what is sent.
std::string checked_frame_text(const std::string& command);

// The commands of the download (without the checked frame around them).
std::string recipe_cmd_header(const RecipeModel& m);              // C
std::string recipe_cmd_element(const RecipeModel& m, int i);      // E
std::string recipe_cmd_limits(const RecipeModel& m, int i);       // L
std::string recipe_cmd_name(const RecipeModel& m, int b);         // N
std::string recipe_cmd_links(const RecipeModel& m, int b);        // P
std::string recipe_cmd_value(const RecipeModel& m, int b, int i); // B

// Start of the download dialog: the recipe model in memory (the dialog loaded it from the
// current recipe file), then "K" and "Z"; a model that breaks its rules is a run-time error
// before anything is sent. The model is not changed.
TransferOutcome run_recipe_download(Ctx& c, LinkPort& link, TransferPanel& panel);
// Start of the upload dialog: the terminal's recipe set replaces the model; every end but a
// run-time error releases the port and, when the set can be written, asks whether to save it
// under recipe_path.
TransferOutcome run_recipe_upload(Ctx& c, LinkPort& link, TransferPanel& panel);

// The upload on bytes as the line would deliver them (see ReplayLink); the save question
// is answered by the context's prompt.
TransferOutcome replay_recipe_upload(Ctx& c, std::string_view bytes);

} // namespace kx
