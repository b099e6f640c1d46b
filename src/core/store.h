#pragma once
// The page store and the edit buffers: committing the page being edited into the store,
// loading a page into the buffers and the editor window, and resetting the store for a new
// or opened project.
#include "core/project.h"

#include <string>

namespace kx {

struct Ctx;

// Commits the edit buffers into record (lang, page); the variable marks go to every language.
void save_page(Ctx& c, int page, int lang);
// Fills the edit buffers and the editor window from record (lang, page); links, password
// and variables come from the language-0 record.
void load_page(Ctx& c, int page, int lang);
// Sets links 0..3 of the page being edited and shows them in the link boxes; the boxes'
// change handlers stay quiet while they are written.
void set_link_buffer(Ctx& c, int up, int down, int left, int right);
// Link box k (0..3) was left empty: the link points at the page itself and the box shows it.
void empty_link_box(Ctx& c, int k);
// Resets the pages, strings and buffers of the project being replaced.
void clear_project(Ctx& c);
// Blanks record (lang, page): blank cells, no variables, links to the page itself.
void clear_page(Ctx& c, int page, int lang);
// The empty project for the model in kx_type; old_model is the previous key ("" = none),
// old_cells the previous geometry's highest cell (0 = none).
void init_project(Ctx& c, const std::string& old_model, int old_cells);
// Carries the variable clipboard's type over to the new model's type list; nothing without
// a previous model ("").
void adjust_copy_var(Ctx& c, const std::string& old_model);

// Holds lock_events while a window writes its own controls, so that their handlers stay
// quiet; the flag is put back as it was.
class EventLock {
public:
    explicit EventLock(Project& project) : p_(project), was_(project.lock_events) { p_.lock_events = true; }
    ~EventLock() { p_.lock_events = was_; }
    EventLock(const EventLock&) = delete;
    EventLock& operator=(const EventLock&) = delete;

private:
    Project& p_;
    bool was_;
};

} // namespace kx
