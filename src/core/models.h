#pragma once
// The terminal models: geometry, project-file model code, variable type list, the menus each
// model enables, the type-code maps between editor and terminal, multi-protocol mode, and
// the model chooser of a new project or an upload.
#include <optional>
#include <string>
#include <vector>

namespace kx {

struct Ctx;

enum class TypeList { None, Short, Long };

struct TerminalModel {
    const char* key;
    int chooser_option; // 0..7; -1 = not offered
    int cols, rows;
    int file_code; // project-file model code; 0 = none
    TypeList types;
    bool type_map;        // the type-code map applies
    bool recipes;         // Recipes menu enabled
    bool eeprom_entries;  // Transfer items 2 and 3 enabled
    bool eeprom_accepted; // the EEPROM dialogs open
    bool multi_entry;     // Options > MultiProtocol enabled
    bool on_accepted;     // MultiProtocol ON accepted
};

const std::vector<TerminalModel>& terminal_models();
// nullptr for an unknown key (keys are compared exactly).
const TerminalModel* find_model(const std::string& key);
// The model the chooser offers as option index 0..7; nullptr otherwise.
const TerminalModel* model_by_option(int option);
// The model of a project-file model code; nullptr when none has it.
const TerminalModel* model_by_file_code(int code);
TypeList model_type_list(const std::string& key);
// The most columns and the most rows of any model's display: room that every project fits.
struct DisplayExtent {
    int cols = 0, rows = 0;
};
DisplayExtent largest_display();

// Type codes: editor coding <-> terminal coding.
int type_code_to_terminal(int code, const std::string& key);
int type_code_from_terminal(int code, const std::string& key);

// Applies a model's geometry and its Recipes/EEPROM menu state; an unknown key changes no
// geometry and leaves those menus disabled.
void set_terminal_model(Ctx& c, const std::string& key);
void enable_model_menus(Ctx& c, bool flag);
void enable_model_option_menus(Ctx& c);
void refresh_multiprotocol_state(Ctx& c);
void multiprotocol_off(Ctx& c);
// Options > MultiProtocol > ON and OFF.
void multi_protocol_on(Ctx& c);
void multi_protocol_off_menu(Ctx& c);

// COM1 marks of the variables of every page.
bool any_multiprotocol_variable(const Ctx& c);
void clear_multiprotocol_flags(Ctx& c);
// Sets multi_protocol from the COM1 marks of the variables (1 when any carries one).
void detect_multiprotocol(Ctx& c);

// File > New ("new") and the upload's model choice ("upload"): 1 when a new empty project
// was made, 2 when the user cancelled at the save question or in the chooser.
int choose_terminal_model(Ctx& c, const std::string& mode);

} // namespace kx
