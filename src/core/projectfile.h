#pragma once
// The project file: one text file per project.
#include <string>

namespace kx {

struct Ctx;

// Writes the whole project to path; false (after an error message) when it could not.
bool save_project_file(Ctx& c, const std::string& path);

} // namespace kx
