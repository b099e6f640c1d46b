// The EEPROM dialogs' file label: a widget, which shows the chosen file's name whole.
#include "comm/eeprom_dialogs.h"
#include "core/eeprom.h"
#include "core/text.h"
#include "support/app_rig.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>

#include <filesystem>
#include <fstream>

using namespace kx;
using test::App;

namespace {

// A whole image of S1 records, as the EEPROM read writes it.
std::string image() {
    std::string out;
    const std::uint8_t zeros[16] = {};
    for (int a = 0; a < kEepromSize; a += 16) out += s19_line(a, zeros) + "\r\n";
    return out;
}

} // namespace

// In a folder with letters that the code page lacks, the label keeps them (the messages
// show them as '?'): for the read's file and for the write's.
TEST(EepromFileLabel, NamesTheFileWithLettersTheCodePageLacks) {
    App a;
    const QString folder =
        QString::fromStdString(a.dir.path.string()) + "/Caff\u00e8 \u041a\u043e\u0444\u0435";
    const std::string dir = QFile::encodeName(folder).toStdString();
    ASSERT_TRUE(std::filesystem::create_directory(dir));
    const std::string file = dir + "/ee.s19";
    std::ofstream(file, std::ios::binary) << image();
    struct Case {
        EepromDialog::Kind kind;
        int caption;
    };
    for (const Case& k : {Case{EepromDialog::Kind::Read, 10073}, Case{EepromDialog::Kind::Write, 10072}}) {
        a.prompt.files.push_back(file);
        a.prompt.answers = {kAnsYes}; // overwrite, for the read
        EepromDialog dlg(a.c, a.w.serial(), k.kind, &a.w);
        dlg.activate();
        EXPECT_TRUE(dlg.start_button()->isEnabled());
        EXPECT_EQ(dlg.file_label()->text().toStdString(),
                  a.c.txt(k.caption) + " " + (folder + "/ee.s19").toStdString());
        dlg.cancel();
    }
    // Cancel left the file as it was.
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), image());
}
