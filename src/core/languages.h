#pragma once
// Terminal languages: the Language menu adds a language as a copy of language 0, deletes
// the current language and renames it; the editor's language list follows.
#include <string>
#include <vector>

namespace kx {

struct Ctx;
struct Project;

constexpr int kMaxLangName = 10;

// Language menu item 0 Add, 1 Delete, 2 Rename.
void kxlang_menu_click(Ctx& c, int index);

// Language > Add: a beep with six languages; otherwise the page shown is committed and a
// new language is asked for (add_language); the page clipboard is dropped.
void language_add(Ctx& c);
// Asks for the new language's name and adds it after the last one: its pages start as
// copies of language 0's characters, its strings as language 0's strings, and it becomes
// the language shown. False when nothing was added (six languages, empty name, Cancel).
bool add_language(Ctx& c);

// Language > Delete: refuses language 0, asks, commits the page shown, removes the current
// language and shows the language that took its place (or the one before the last).
void language_delete(Ctx& c);
// Removes language `lang` (1 .. n_lang - 1) by moving the following languages down and
// blanking the last one; the caller lowers n_lang and act_lang.
void delete_lang(Ctx& c, int lang);

// Language > Rename: asks for a new name of the current language.
void rename_language(Ctx& c);

// A name typed for a language: control characters removed, cut to ten characters.
std::string language_name_entry(const std::string& typed);
// The names of the languages in use, in language order.
std::vector<std::string> language_list(const Project& p);

} // namespace kx
