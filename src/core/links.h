#pragma once
// Editing the four links of the page shown by hand, and its password flag.
#include "core/textbox.h"

namespace kx {

struct Ctx;

// A click on link arrow k: link editing starts when links are on (true), else nothing.
bool start_link_edit(Ctx& c);
// Link box k changed from `accepted` to `now`: digits only, never above the last page.
// Stores the box's value (0 when empty) as link k and answers what the box shows.
BoxText link_box_changed(Ctx& c, int k, const BoxText& accepted, const BoxText& now);
// A key went down or was typed in a link box: the links are being changed.
void link_box_key(Ctx& c);
// The password options: on (1) or off (0) for the page shown; a change marks the project
// modified.
void set_page_password(Ctx& c, bool on);

} // namespace kx
