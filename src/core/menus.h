#pragma once
// The main window's menus and toolbar tips as data: captions, enabled, checked and visible
// per item. The model routines change it and tell the view; the main window renders it.
#include <array>
#include <string>
#include <vector>

namespace kx {

enum class Menu {
    Language, // Options > PC language
    Gen,      // the menu bar
    File,
    Modify,
    Strings,
    Option,
    Mode, // Options > Mode
    Link, // Options > Link
    Transfer,
    Kxlang, // Language
    Help,
    Recipes,
    MultiProtocol, // Options > MultiProtocol (fixed captions)
    Com,           // Transfer > COM port (fixed captions)
    Toolbar,       // tooltips of the eleven toolbar buttons
    Count
};

struct MenuItem {
    std::string caption;
    bool enabled = true;
    bool checked = false;
    bool visible = true;
    bool file_name = false; // the caption holds a file-system name (the recent list)
};

struct MenuInfo {
    Menu menu;
    int base_id; // string-table id of item 0; 0 = fixed captions
    int items;
};

// Base ids and item counts, in the order the captions are applied.
const std::vector<MenuInfo>& menu_infos();

// Toolbar button keys, in button order.
const std::array<const char*, 11>& toolbar_keys();

class MenuModel {
public:
    MenuModel(); // the state before the program's start-up changes it
    MenuItem& at(Menu m, int index);
    const MenuItem& at(Menu m, int index) const;
    int count(Menu m) const { return static_cast<int>(menus_[static_cast<int>(m)].size()); }

private:
    std::array<std::vector<MenuItem>, static_cast<int>(Menu::Count)> menus_;
    MenuItem spare_;
};

} // namespace kx
