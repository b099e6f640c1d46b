// Test runner for the window tests: one QApplication for the whole run (offscreen).
#include "platform/qt_pump.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    kx::QtPump::use_qt_dispatcher();
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
