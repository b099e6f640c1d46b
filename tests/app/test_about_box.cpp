// The about box while the interface language changes under it.
#include "app/dialogs.h"
#include "support/app_rig.h"

#include <QLabel>

using namespace kx;
using test::App;

namespace {

std::string about_lines(App& a) {
    auto* box = a.w.findChild<AboutBox*>();
    if (!box) return "no box";
    QStringList lines{box->windowTitle()};
    for (QLabel* l : box->findChildren<QLabel*>())
        if (!l->text().isEmpty()) lines << l->text();
    return lines.join('|').toStdString();
}

} // namespace

// The box stays open while the user switches to English; Info again brings the one box to
// the front in the language now chosen, and back.
TEST(AboutBox, InfoAgainShowsTheOpenBoxInTheLanguageNowChosen) {
    App a("0");
    a.w.action(Menu::Help, 1)->trigger();
    EXPECT_EQ(about_lines(a), "Informazioni|Win Mivor versione 1.7|Editor per terminali operatore KX");
    a.w.action(Menu::Language, 1)->trigger(); // English
    a.w.action(Menu::Help, 1)->trigger();
    EXPECT_EQ(a.w.findChildren<AboutBox*>().size(), 1);
    EXPECT_EQ(about_lines(a), "Info|Win Mivor version 1.7|Editor for KX operator terminals");
    a.w.action(Menu::Language, 0)->trigger();
    a.w.action(Menu::Help, 1)->trigger();
    EXPECT_EQ(about_lines(a), "Informazioni|Win Mivor versione 1.7|Editor per terminali operatore KX");
}
