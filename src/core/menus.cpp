#include "core/menus.h"

namespace kx {

const std::vector<MenuInfo>& menu_infos() {
    static const std::vector<MenuInfo> infos = {
        {Menu::Language, 10, 2},     {Menu::Gen, 100, 8},     {Menu::File, 150, 13},
        {Menu::Modify, 200, 5},      {Menu::Strings, 250, 1}, {Menu::Option, 300, 4},
        {Menu::Mode, 500, 2},        {Menu::Link, 600, 4},    {Menu::Transfer, 350, 6},
        {Menu::Kxlang, 400, 3},      {Menu::Help, 550, 2},    {Menu::Recipes, 650, 8},
        {Menu::MultiProtocol, 0, 2}, {Menu::Com, 0, 8},       {Menu::Toolbar, 950, 11},
    };
    return infos;
}

const std::array<const char*, 11>& toolbar_keys() {
    static const std::array<const char*, 11> keys = {"TextLeft",   "CenterText", "TextRight", "FirstPage",
                                                     "PageUp",     "PageDown",   "LastPage",  "GoToPage",
                                                     "InsertPage", "DeletePage", "AppendPage"};
    return keys;
}

MenuModel::MenuModel() {
    for (const auto& info : menu_infos()) menus_[static_cast<int>(info.menu)].resize(info.items);
    auto& mp = menus_[static_cast<int>(Menu::MultiProtocol)];
    mp[0].caption = "O&N";
    mp[1].caption = "O&FF";
    mp[1].checked = true;
    auto& com = menus_[static_cast<int>(Menu::Com)];
    for (int i = 0; i < 8; ++i) com[i].caption = "COM" + std::to_string(i + 1);
    // Design state: the recent-project items are hidden and disabled; Paste Page and Paste
    // Variable are disabled until something is copied.
    for (int k = 7; k <= 10; ++k) {
        at(Menu::File, k).visible = false;
        at(Menu::File, k).enabled = false;
    }
    at(Menu::Modify, 1).enabled = false;
    at(Menu::Modify, 4).enabled = false;
}

MenuItem& MenuModel::at(Menu m, int index) {
    auto& v = menus_[static_cast<int>(m)];
    if (index < 0 || index >= static_cast<int>(v.size())) {
        // An item that does not exist: changes to it go nowhere.
        spare_ = MenuItem{};
        return spare_;
    }
    return v[index];
}

const MenuItem& MenuModel::at(Menu m, int index) const {
    static const MenuItem none;
    const auto& v = menus_[static_cast<int>(m)];
    if (index < 0 || index >= static_cast<int>(v.size())) return none;
    return v[index];
}

} // namespace kx
