#include "recipes/recipe_transfer_dialogs.h"

#include "comm/serial_link.h"
#include "comm/transfer_dialogs.h"
#include "core/context.h"
#include "core/recipefile.h"
#include "platform/qt_text.h"

#include <QLabel>

namespace kx {

namespace {

// Either recipe transfer dialog: captioned, the recipe file settled by `settle`, its name
// shown, then run modally.
void show_recipe_dialog(Ctx& c, SerialLink& link, QWidget* parent, TransferDialog::Kind kind,
                        void (*caption)(Ctx&, TransferDialog&), void (*settle)(Ctx&)) {
    TransferDialog dlg(c, link, kind, parent);
    caption(c, dlg);
    settle(c);
    dlg.name_label()->setText(qpath(c.p.recipe_path));
    dlg.exec();
}

} // namespace

void show_recipe_download_dialog(Ctx& c, SerialLink& link, QWidget* parent) {
    show_recipe_dialog(c, link, parent, TransferDialog::Kind::RecipeDownload, set_lang_recipe_down,
                       open_recipe_file);
}

void show_recipe_upload_dialog(Ctx& c, SerialLink& link, QWidget* parent) {
    show_recipe_dialog(c, link, parent, TransferDialog::Kind::RecipeUpload, set_lang_recipe_upload,
                       choose_recipe_file_name);
}

} // namespace kx
