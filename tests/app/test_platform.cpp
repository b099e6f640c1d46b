// The Qt platform layer: waits on the event loop, the settings store, text conversion.
#include "platform/qt_pump.h"
#include "platform/qt_settings.h"
#include "platform/qt_text.h"

#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace kx;

TEST(QtPump, WaitRunsEventsAndEndsEarlyWhenTheConditionHolds) {
    QtPump pump;
    bool flag = false;
    QTimer::singleShot(20, [&] { flag = true; });
    const auto t0 = pump.tick();
    EXPECT_TRUE(pump.wait(5000, true, [&] { return flag; }));
    EXPECT_LT(pump.tick() - t0, 4000u);   // ended by the condition, not the deadline

    // Without the condition the wait lasts until its deadline; 0 ms returns at once.
    bool never = false;
    const auto t1 = pump.tick();
    EXPECT_FALSE(pump.wait(30, true, [&] { return never; }));
    EXPECT_GE(pump.tick() - t1, 29u);
    const auto t2 = pump.tick();
    wait_ms(pump, 0);
    EXPECT_LT(pump.tick() - t2, 20u);
}

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
