// The Qt platform layer: paint-only waits, the settings store, text conversion. Waits that
// end on their condition or their deadline carry every transfer against the simulator.
#include "platform/qt_pump.h"
#include "platform/qt_settings.h"
#include "platform/qt_text.h"

#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace kx;

TEST(QtPump, PaintOnlyWaitsStillRunTimers) {
    QtPump pump;
    int fired = 0;
    QTimer::singleShot(1, [&] { ++fired; });
    wait_ms(pump, 20, false);
    EXPECT_EQ(fired, 1);
}

TEST(QtSettings, ValuesSurviveAndMissingOnesGiveTheDefault) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("s.ini");
    {
        QtSettingsStore s(ini);
        EXPECT_EQ(s.get("Settaggi", "COM", "1"), "1");
        s.save("Settaggi", "COM", "5");
        s.save("Inizializzazione", "UltimoFile", "/home/u/perch\xe8.prj");
    }
    QtSettingsStore again(ini);
    EXPECT_EQ(again.get("Settaggi", "COM"), "5");
    EXPECT_EQ(again.get("Inizializzazione", "UltimoFile"), "/home/u/perch\xe8.prj");
}

TEST(QtText, SingleByteTextRoundTripsThroughQString) {
    std::string all;
    for (int b = 32; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(bytes(qs(all)), all);
    EXPECT_EQ(qs("\x80"), QString(QChar(0x20AC)));
}
