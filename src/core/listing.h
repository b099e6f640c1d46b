#pragma once
// The project listing: a readable text file beside the project file with the header data,
// the language names, every page of every language in a frame with its links and its
// variables, and the global strings (File > Print).
#include <string>

namespace kx {

struct Ctx;
struct Project;

// name up to the first "." of its file's own name (the whole name when that has none),
// then ext: "/w.d/q.prj" gives "/w.d/q" & ext. Dots in folder names do not count.
std::string substitute(const std::string& name, const std::string& ext);
// Whether the model's projects carry global strings (every model but KXA_520 and KXA_530).
bool model_has_strings(const std::string& kx_type);
// The listing of the project in the page stores, lines ending CR LF.
std::string listing_bytes(const Project& p);
// File > Print: asks, commits the page being edited and writes the listing. Beeps and
// writes nothing when the listing would take the project file's own name.
void print_spool(Ctx& c);

} // namespace kx
