#pragma once
// The File menu commands that read and write projects: Open, the recent list, Save and
// Save As. (New is choose_terminal_model with "new"; Exit is file_exit.)

namespace kx {

struct Ctx;

// File > Open: save question, open dialog, then the chosen file replaces the project.
void file_open(Ctx& c);
// File items 7..10: open recent project k (1..4).
void file_open_recent(Ctx& c, int k);
// File > Save: writes to project_path (Save As when there is none). True when saved.
bool file_save(Ctx& c);
// File > Save As: save dialog, overwrite question, then the project under the chosen name.
// True when saved; project_path changes only then.
bool file_save_as(Ctx& c);

} // namespace kx
