#include "core/models.h"

#include "core/context.h"
#include "core/shell.h"
#include "core/store.h"
#include "core/variables.h"

#include <algorithm>

namespace kx {

const std::vector<TerminalModel>& terminal_models() {
    static const std::vector<TerminalModel> models = {
        // key       opt cols rows code types          map    rec    eeE    eeA    multi  on
        {"KXD_515", 0, 16, 2, 7, TypeList::Short, true, false, false, false, false, false},
        {"KXE_520", 1, 20, 2, 5, TypeList::Short, true, false, false, false, false, false},
        {"KXE_540", 2, 20, 4, 6, TypeList::Short, true, false, false, false, false, false},
        {"KXG_520", 3, 20, 2, 8, TypeList::Short, true, false, false, false, false, false},
        {"KXB_540", 4, 20, 4, 3, TypeList::Long, false, true, true, true, true, true},
        {"KXB_5560", 5, 40, 4, 4, TypeList::Long, false, true, true, true, true, true},
        {"KXD_540", 6, 20, 4, 9, TypeList::Short, true, false, true, false, true, true},
        {"KXG_540", 7, 20, 4, 10, TypeList::Short, true, false, false, false, false, true},
        {"KXA_530", -1, 40, 2, 0, TypeList::None, false, false, false, false, false, false},
        {"KXA_520", -1, 20, 2, 0, TypeList::None, false, false, false, false, false, false},
        {"KXB_530", -1, 40, 2, 0, TypeList::None, false, true, false, false, false, false},
    };
    return models;
}

const TerminalModel* find_model(const std::string& key) {
    for (const auto& m : terminal_models())
        if (key == m.key) return &m;
    return nullptr;
}

const TerminalModel* model_by_option(int option) {
    for (const auto& m : terminal_models())
        if (m.chooser_option == option && option >= 0) return &m;
    return nullptr;
}

const TerminalModel* model_by_file_code(int code) {
    for (const auto& m : terminal_models())
        if (m.file_code == code && code != 0) return &m;
    return nullptr;
}

TypeList model_type_list(const std::string& key) {
    const TerminalModel* m = find_model(key);
    return m ? m->types : TypeList::None;
}

DisplayExtent largest_display() {
    DisplayExtent most;
    for (const auto& m : terminal_models()) {
        most.cols = std::max(most.cols, m.cols);
        most.rows = std::max(most.rows, m.rows);
    }
    return most;
}

int type_code_to_terminal(int code, const std::string& key) {
    const TerminalModel* m = find_model(key);
    if (!m || !m->type_map) return code;
    switch (code) {
    case 4: return 6;
    case 5: return 7;
    case 6: return 8;
    case 7: return 12;
    default: return code;
    }
}

int type_code_from_terminal(int code, const std::string& key) {
    const TerminalModel* m = find_model(key);
    if (!m || !m->type_map) return code;
    switch (code) {
    case 6: return 4;
    case 7: return 5;
    case 8: return 6;
    case 12: return 7;
    default: return code;
    }
}

void enable_model_menus(Ctx& c, bool flag) {
    for (int i = 0; i < c.menus.count(Menu::Recipes); ++i) c.menus.at(Menu::Recipes, i).enabled = flag;
    c.menus.at(Menu::Transfer, 2).enabled = flag;
    c.menus.at(Menu::Transfer, 3).enabled = flag;
    c.menus_changed();
}

void set_terminal_model(Ctx& c, const std::string& key) {
    enable_model_menus(c, false);
    const TerminalModel* m = find_model(key);
    if (!m) return;
    c.p.n_cols = static_cast<std::int16_t>(m->cols);
    c.p.n_rows = static_cast<std::int16_t>(m->rows);
    if (m->recipes) enable_model_menus(c, true);
}

void enable_model_option_menus(Ctx& c) {
    const TerminalModel* m = find_model(c.p.kx_type);
    const bool multi = m && m->multi_entry;
    // A model whose MultiProtocol menu is off keeps its COM1 marks only when it accepts the
    // mode; any other drops them.
    if (!multi && !(m && m->on_accepted)) {
        c.p.multi_protocol = 0;
        clear_multiprotocol_flags(c);
    }
    c.menus.at(Menu::Option, 3).enabled = multi;
    c.menus.at(Menu::Transfer, 2).enabled = m && m->eeprom_entries;
    c.menus.at(Menu::Transfer, 3).enabled = m && m->eeprom_entries;
    c.menus_changed();
    refresh_multiprotocol_state(c);
}

void refresh_multiprotocol_state(Ctx& c) {
    bool on = c.p.multi_protocol == 1;
    c.menus.at(Menu::MultiProtocol, 0).checked = on;
    c.menus.at(Menu::MultiProtocol, 1).checked = !on;
    c.menus_changed();
    load_grid(c);
    show_var_rows(c);
}

bool any_multiprotocol_variable(const Ctx& c) {
    const Project& p = c.p;
    for (int pg = 0; pg <= p.last_page_idx && pg < kPageSlots; ++pg) {
        const page_record& r = p.page_store[0][pg];
        for (int s = 1; s <= kMaxVars; ++s)
            if (r.dec[s] & kComBit) return true;
    }
    for (int s = 1; s <= kMaxVars; ++s)
        if (p.variable_table[s].dec & kComBit) return true;
    return false;
}

void clear_multiprotocol_flags(Ctx& c) {
    Project& p = c.p;
    for (int pg = 0; pg <= p.last_page_idx && pg < kPageSlots; ++pg) {
        page_record& r = p.page_store[0][pg];
        for (int s = 0; s < kVarSlots; ++s) r.dec[s] = static_cast<std::int16_t>(r.dec[s] & ~kComBit);
    }
    for (auto& v : p.variable_table) v.dec = static_cast<std::int16_t>(v.dec & ~kComBit);
}

void detect_multiprotocol(Ctx& c) {
    if (any_multiprotocol_variable(c)) c.p.multi_protocol = 1;
}

void multiprotocol_off(Ctx& c) {
    clear_multiprotocol_flags(c);
    c.menus.at(Menu::Option, 3).enabled = false;
    c.p.multi_protocol = 0;
    c.menus_changed();
    load_grid(c);
    show_var_rows(c); // the page shown keeps its rows in the narrower grid
}

void multi_protocol_on(Ctx& c) {
    const TerminalModel* m = find_model(c.p.kx_type);
    if (m && m->on_accepted) c.p.multi_protocol = 1;
    else c.beep();
    refresh_multiprotocol_state(c);
}

void multi_protocol_off_menu(Ctx& c) {
    if (any_multiprotocol_variable(c)) {
        c.beep();
        int a = c.prompt.message(c.txt(10166), kYesNoCancel);
        if (a != kAnsYes) {
            c.beep();
            return;
        }
        clear_multiprotocol_flags(c);
    }
    c.p.multi_protocol = 0;
    refresh_multiprotocol_state(c);
}

int choose_terminal_model(Ctx& c, const std::string& mode) {
    Project& p = c.p;
    if (ask_save_project(c) == kAnsCancel) return 2;
    std::string old_key = p.kx_type;
    int old_cells = p.n_cols * p.n_rows - 1;
    std::string prompt_text;
    if (mode == "new") prompt_text = c.txt(10048);
    else if (mode == "upload") prompt_text = c.txt(10049);
    const TerminalModel* cur = find_model(p.kx_type);
    int preselect = cur && cur->chooser_option >= 0 ? cur->chooser_option : 0;
    // The chooser answers an option index, or nothing for Cancel, Esc and its close box:
    // all three leave the model and the project exactly as they were.
    std::optional<int> chosen = c.view().choose_model(c.txt(10054), prompt_text, c.txt(10136), preselect);
    const TerminalModel* m = chosen ? model_by_option(*chosen) : nullptr;
    if (!m) {
        p.type_cancel = true;
        return 2;
    }
    p.type_cancel = false;
    p.kx_type = m->key;
    set_terminal_model(c, p.kx_type);
    p.multi_protocol = 0;
    init_project(c, old_key, old_cells);
    detect_multiprotocol(c);
    enable_model_option_menus(c);
    multiprotocol_off(c);
    return 1;
}

} // namespace kx
