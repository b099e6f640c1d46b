#pragma once
// Recipes > PC --> KX and KX --> PC: the recipe transfer dialogs shown modally. The
// download first loads the current recipe file; the upload chooses a new file name for what
// it reads, and asks at its end whether to save it there.
class QWidget;

namespace kx {

struct Ctx;
class SerialLink;

void show_recipe_download_dialog(Ctx& c, SerialLink& link, QWidget* parent);
void show_recipe_upload_dialog(Ctx& c, SerialLink& link, QWidget* parent);

} // namespace kx
