#pragma once
// The program's shell: start-up of the empty project, the save question, the recent-project
// list, the names of new projects, the caption, the user-interface language and the simple
// menu commands that only change settings.
#include <string>

namespace kx {

struct Ctx;

// 6 Yes (saved), 7 No (also when nothing was modified), 2 Cancel. A Yes whose save fails
// answers Cancel, so that the command that asked stops and nothing is lost.
int ask_save_project(Ctx& c);
// Settings key of recent entry k (1..4): "UltimoFile" .. "QuartultimoFile"; "" otherwise.
const char* recent_file_key(int k);
// Puts p at the head of the recent list ("" only shows the stored list).
void update_recent_files(Ctx& c, const std::string& path);
// True when the recent entry's file is missing (message shown); false when project_path
// was set to it.
bool load_recent_project_path(Ctx& c, const std::string& key);
// A free name base, base1, base2, ... (no file or folder of that name) in the folder of
// `last`; when `last` names no folder where files can be made (missing, or read-only), in
// the program's folder, or in the user's documents folder when the program's folder cannot
// be written.
std::string new_file_name(const Ctx& c, const std::string& last, const std::string& base);
// A free "nuovoProgetto", "nuovoProgetto1", ... name beside the last project.
void make_new_project_name(Ctx& c);
// Main-window caption: "Win Mivor - " & " (" & project_path & ")", a file-system name.
void update_header(Ctx& c);
std::string header_text(const Ctx& c);

// Start-up: the main window's Load (settings, language) and the editor's Load (empty project).
void main_window_load(Ctx& c);
void editor_load(Ctx& c);
void init_no_file(Ctx& c);

// Reads "Lingua" and captions the menus, toolbar tips and the editor's labels.
void change_lang(Ctx& c);
// Options > PC language item 0 (Italian) or 1 (English).
void menu_language_click(Ctx& c, int index);
// Transfer > COM port item 0..7.
void menu_com_click(Ctx& c, int index);
// Help > Help: the help page in the desktop's viewer; a beep and a message with its path
// when it cannot be opened (no page, no viewer).
void show_help(Ctx& c);

// Says, once, that the settings store could not be read at the start (a damaged file: the
// defaults serve) or could not be written (a read-only configuration), with the store's
// file name. The windows call it when a command has ended, never in its middle.
void report_settings_trouble(Ctx& c);
// File > Exit and the close box: true when the program may end.
bool file_exit(Ctx& c);
bool query_unload(Ctx& c);

} // namespace kx
