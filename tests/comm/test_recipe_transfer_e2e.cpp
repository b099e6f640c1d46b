// Recipe download and upload against the terminal simulator on a pseudo-terminal: the
// recipe set goes to the terminal and comes back into a fresh editor's model.

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "comm/transfer_dialogs.h"
#include "comm_rig.h"
#include "core/recipefile.h"
#include "core/text.h"
#include "platform/api/textfile.h"
#include "recipes/recipe_transfer_dialogs.h"
#include "support/app_rig.h"

using namespace kx;

namespace {

// Presses Start on the recipe dialog that `show` opens; the name label's text is returned.
std::string run_dialog(EditorRig& e, void (*show)(Ctx&, SerialLink&, QWidget*)) {
    std::string name;
    test::on_next_modal<TransferDialog>([&](TransferDialog* d) {
        name = d->name_label()->text().toStdString();
        d->start_button()->click();
        if (d->isVisible()) d->cancel_button()->click();
    });
    show(e.c, e.link, nullptr);
    return name;
}

RecipeModel read_set(const std::string& path) {
    RecipeModel m;
    std::string bytes;
    FileError err;
    EXPECT_TRUE(read_file_bytes(path, bytes) && parse_recipe_file(bytes, m, err)) << err.description;
    return m;
}

} // namespace

TEST(RecipeTransferE2E, ASetOfSeveralBlocksGoesToTheTerminalAndComesBack) {
    QTemporaryDir dir;
    SimProcess sim({});
    EditorRig sender(sim.device());
    RecipeModel& m = sender.p.recipe;
    init_recipe_data(m);
    m.blk_len = 3;
    m.blk_start = 0x1000;
    const char* names[] = {"SPEED", "TEMP\x02X", "LEVEL"}; // a framing byte goes as a blank
    for (int i = 0; i < 3; ++i) {
        m.recipe_elements[i] = {names[i], i == 1 ? kRecipeOmrHex + 2 : i, 0, 60000};
    }
    int slot = 0;
    for (const char* block : {"MILK", "APPLE", "ZEBRA", "BREAD", "CHEESE"}) {
        ASSERT_EQ(link_recipe_block(m, blank_or_pad8(block), slot), LinkResult::Linked);
        for (int i = 0; i < 3; ++i) m.recipe_blocks[slot].values[i] = slot * 100 + i * 7 + 1;
    }
    ASSERT_GE(unlink_recipe_block(m, 2), 0); // a free slot between used ones
    ASSERT_EQ(recipe_model_fault(m), "");
    // A folder name outside ASCII: the dialogs show the file's name as the file system has it.
    const QString folder = dir.filePath(QStringLiteral("Caff\u00e8"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const std::string file = (folder + "/set").toStdString();
    ASSERT_TRUE(write_recipe_file(sender.c, file));

    // The download reloads the current recipe file first and sends it as it stands.
    EXPECT_EQ(run_dialog(sender, show_recipe_download_dialog), file);
    EXPECT_EQ(sender.texts(), Texts{kTransferOk});
    const RecipeModel on_disk = read_set(file);
    EXPECT_TRUE(sender.p.recipe == on_disk); // the download changes nothing
    EXPECT_FALSE(sender.link.port_open());
    std::string log = sim.log("eeprom: Z");
    EXPECT_NE(log.find("recipe: C 4 blocks, 3 elements"), std::string::npos) << log;
    EXPECT_NE(log.find("eeprom: K"), std::string::npos) << log;
    EXPECT_EQ(log.find("anomaly"), std::string::npos) << log;

    // The upload reads it into a new file beside the last one and asks to save it there.
    EditorRig receiver(sim.device());
    receiver.settings.save("Ricette", "UltimoFile", file);
    receiver.prompt.answers = {kAnsOk, kAnsYes};
    const std::string target = run_dialog(receiver, show_recipe_upload_dialog);
    EXPECT_EQ(target, (folder + "/nuovaRicetta").toStdString());
    ASSERT_EQ(receiver.texts().size(), 2u);
    EXPECT_EQ(receiver.texts()[0], kTransferOk);
    // The question shows the name in the interface's code page, as every message does.
    EXPECT_EQ(receiver.texts()[1], "Salva modifiche a file di ricette " + shown_path(target) + " ?");
    EXPECT_NE(receiver.texts()[1].find("Caff\xE8/"), std::string::npos);
    EXPECT_FALSE(receiver.p.recipe_modified);

    // The set comes back whole; the framing byte in a name came back as a blank, the free
    // slot as a cleared one.
    RecipeModel expected = on_disk;
    expected.recipe_elements[1].name = "TEMP X  ";
    expected.recipe_blocks[2] = {};
    EXPECT_TRUE(receiver.p.recipe == expected);
    EXPECT_EQ(recipe_list(read_set(target)), recipe_list(on_disk));
    EXPECT_FALSE(receiver.link.port_open());
}

TEST(RecipeTransferE2E, ASilentTerminalEndsBothWithThePortFree) {
    QTemporaryDir dir;
    SimProcess sim({"--silent"});
    EditorRig e(sim.device());
    e.link.set_reply_timeout_ms(300);
    e.settings.save("Ricette", "UltimoFile", dir.filePath("none").toStdString());
    run_dialog(e, show_recipe_download_dialog);
    EXPECT_EQ(e.texts(), Texts{"Errore Seriale: time-out"});
    EXPECT_FALSE(e.link.port_open());
    e.prompt.messages.clear();
    run_dialog(e, show_recipe_upload_dialog);
    EXPECT_EQ(e.texts(), Texts{"Errore Seriale: time-out"});
    EXPECT_TRUE(e.p.port_idle);
}

TEST(TransferMenus, CompareEepromAndRecipeEntriesOpenTheirDialogs) {
    test::App a;
    std::vector<std::string> seen;
    auto note_and_leave = [&](QWidget* d) {
        seen.push_back(d->objectName().toStdString());
        QTest::keyClick(d, Qt::Key_Escape);
    };
    test::on_next_modal(note_and_leave);
    a.w.menu_click(Menu::Transfer, 4);
    test::on_next_modal(note_and_leave);
    a.w.menu_click(Menu::Recipes, 2);
    test::on_next_modal(note_and_leave);
    a.w.menu_click(Menu::Recipes, 3);
    EXPECT_EQ(seen, (std::vector<std::string>{"frmCompareProject", "frmRecipeDown", "frmRecipeUpload"}));
    // The EEPROM read asks for its file first; cancelling it closes the dialog.
    a.w.menu_click(Menu::Transfer, 2);
    EXPECT_EQ(a.prompt.dialogs_shown.size(), 1u);
    EXPECT_TRUE(a.p.port_idle);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}
