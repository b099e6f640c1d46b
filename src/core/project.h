#pragma once
// The whole state of the editor's project and session: the page stores, the edit buffers
// of the page being edited, the global strings, the languages, the terminal model and the
// flags. One object, owned by the application and handed to every window by reference.
#include "core/recipe.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kx {

constexpr int kMaxCells = 161;   // cells 0..160; a page uses n_cols * n_rows <= 160
constexpr int kPageSlots = 1001; // pages 0..1000 (1000 is never used)
constexpr int kMaxPageIdx = 999;
constexpr int kLangSlots = 6;     // languages 0..5 have storage
constexpr int kStringSlots = 601; // strings 0..600
constexpr int kMaxStrings = 600;
constexpr int kVarSlots = 9; // variable slots 0..8; 1..8 used
constexpr int kMaxVars = 8;
constexpr int kComBit = 0x40; // COM1 mark in a variable's decimals word

// Character codes with a meaning of their own.
constexpr int kCodeVarDigit = 128;
constexpr int kCodeVarPoint = 129;
constexpr int kCodeInvalid = 130;

struct variable_record {
    std::int16_t access = 0; // 1 read/write, 0 read-only
    std::int16_t type = 0;   // editor coding: index in the model's type list
    std::int16_t pos = 0;    // first cell
    std::int16_t digits = 0; // > 0: slot in use
    std::int16_t dec = 0;    // decimals in bits 0..5, bit 6 = COM1
    std::int32_t address = 0;
    std::int32_t min = 0;
    std::int32_t max = 0;
    bool operator==(const variable_record&) const = default;
};

struct page_record {
    std::array<std::int16_t, kMaxCells> chars{};
    std::array<std::int16_t, 5> links{}; // 0 up, 1 down, 2 left, 3 right
    std::int16_t pwd = 0;                // 1 on, 0 off
    std::int16_t var_count = 0;
    std::array<std::int16_t, kVarSlots> access{}, type{}, pos{}, digits{}, dec{};
    std::array<std::int32_t, kVarSlots> address{}, min{}, max{};

    variable_record var(int slot) const;
    void set_var(int slot, const variable_record& v);
    bool operator==(const page_record&) const = default;
};

// The variable editor's fields of the variable under edit (set by the dialog, and by Paste
// Variable before it stores without the dialog) and its copies of the display while it is open.
struct var_edit_state {
    std::int16_t ed_access = 0; // 0 read-only, 1 read/write
    std::int16_t ed_type = 0;
    std::int16_t ed_pos = 0;
    std::int16_t ed_digits = 0;
    std::int16_t ed_dec = 0; // decimals; bit 6 carries the COM1 mark into the slot
    std::int32_t ed_address = 0, ed_min = 0, ed_max = 0;
    std::array<std::int16_t, kMaxCells> mirror_cells{}; // the page as the dialog found it
    std::array<std::int16_t, kMaxCells> aux_cells{};    // the same without the variable's cells
    variable_record saved{};                            // the slot as the dialog found it
    bool closed_by_button = false;
};

// One array of page records per language slot.
using page_store_t = std::vector<std::vector<page_record>>;

struct Project {
    Project();

    // Page stores: [language 0..5][page 0..1000].
    page_store_t page_store;
    page_store_t page_clipboard;

    // Edit buffers of the page being edited.
    std::array<std::int16_t, kMaxCells> display_buffer{};
    std::array<std::int16_t, 5> link_buffer{};
    std::array<variable_record, kVarSlots> variable_table{};
    std::int16_t n_vars = 0;
    std::int16_t link_pwd = 0;
    std::int16_t act_var = 0;
    std::int16_t cursor_pos = 0;

    // Global strings [language slot 0..6][string 0..600] and language names 0..6.
    std::vector<std::array<std::string, kStringSlots>> global_strings;
    std::array<std::string, 7> language_names;
    std::int16_t n_strings = 0;
    std::int16_t tot_strings = 0;

    // Terminal model and geometry.
    std::string kx_type = "KXB_5560";
    std::int16_t n_cols = 40;
    std::int16_t n_rows = 4;

    // Current page and language.
    std::int16_t act_page = 0;
    std::int16_t last_page_idx = 0;
    std::int16_t act_lang = 0;
    std::int16_t n_lang = 1;

    // Modes and flags.
    std::string num_mode = "HEX";
    bool link_on = true;
    std::int16_t multi_protocol = 0;
    bool prj_modified = false;
    std::string project_path;
    std::string file_version = "2.8";
    std::string help_file;
    bool page_clip_ok = false;
    std::int16_t page_clip_nr = 0;
    bool lock_events = false;
    bool skip_link_ask = false;
    bool insert_mode = true;
    bool exiting = false;
    bool link_edit = false;
    bool new_var = false;
    bool type_cancel = false;
    bool var_edit_open = false;

    // Links: autolink and recalculation policy live for the run only.
    int link_recalc = 0;
    bool autolink_asc = false;
    bool autolink_updown = true;

    // Variable clipboard and page-group copy.
    variable_record var_clipboard{};
    bool var_clip_ok = false;
    std::int16_t copy_start = 0, copy_end = 0, copy_dest = 0;
    var_edit_state var_edit;

    // Serial port number 1..8 and user-interface language offset (0 Italian, 1000 English).
    std::int16_t com_port = 1;
    std::int32_t ui_lang_offset = 0;

    // Recipes.
    std::string recipe_path;
    bool recipe_modified = false;
    RecipeModel recipe;

    // Serial link state (one transfer at a time).
    std::string rx_buffer;
    bool rx_done = false;
    int comm_error = 0;
    bool port_idle = true;
    bool stop_transfer = false;
    std::string ee_command;
    bool rx_in_frame = false; // an STX came and its ETX not yet

    // File dialogs' remembered state around a file command.
    std::string dlg_init_dir, dlg_file_name;

    // Number of cells of the current geometry, never beyond the edit buffer (cells 0..159).
    int cells() const { return std::clamp(n_cols * n_rows, 0, kMaxCells - 1); }
};

// Clamps a page or language index into the stores' bounds. Every routine that takes an
// index from a caller goes through these, so no input can reach outside the stores.
inline bool valid_page(int page) { return page >= 0 && page < kPageSlots; }
inline bool valid_lang(int lang) { return lang >= 0 && lang < kLangSlots; }

} // namespace kx
