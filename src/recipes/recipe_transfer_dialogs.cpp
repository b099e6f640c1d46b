#include "recipes/recipe_transfer_dialogs.h"

#include "comm/serial_link.h"
#include "comm/transfer_dialogs.h"
#include "core/context.h"
#include "core/recipefile.h"
#include "platform/qt_text.h"

#include <QLabel>

namespace kx {

void show_recipe_download_dialog(Ctx& c, SerialLink& link, QWidget* parent) {
    TransferDialog dlg(c, link, TransferDialog::Kind::RecipeDownload, parent);
    set_lang_recipe_down(c, dlg);
    open_recipe_file(c);
    dlg.name_label()->setText(qs(c.p.recipe_path));
    dlg.exec();
}

void show_recipe_upload_dialog(Ctx& c, SerialLink& link, QWidget* parent) {
    TransferDialog dlg(c, link, TransferDialog::Kind::RecipeUpload, parent);
    set_lang_recipe_upload(c, dlg);
    choose_recipe_file_name(c);
    dlg.name_label()->setText(qs(c.p.recipe_path));
    dlg.exec();
}

} // namespace kx
