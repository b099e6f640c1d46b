// The progress window of File > Open and Save: its bar takes every page's value, but paints
// are spaced in time, so a project of thousands of pages is not held up by its bar.
#include "app/dialogs.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QProgressBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace kx;

namespace {

struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

} // namespace

TEST(ProgressWindow, TheBarFollowsEveryValueAndPaintsAtItsEnd) {
    ProgressWindow w;
    PaintCounter counter;
    w.bar()->installEventFilter(&counter);
    w.start("Lettura Pagine in corso...", 6000);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w)); // as the pause after showing it does
    counter.paints = 0;
    QElapsedTimer clock;
    clock.start();
    for (int v = 0; v <= 5999; ++v) {
        w.set_value(v);
        ASSERT_EQ(w.bar()->value(), v);
    }
    const int painted = counter.paints;
    // At most one paint per interval while the value moves, and the first and last.
    EXPECT_LE(painted, clock.elapsed() / ProgressWindow::kPaintMs + 2);
    w.set_value(6000);
    EXPECT_EQ(w.bar()->value(), 6000);
    EXPECT_GT(counter.paints, painted); // the end is always shown
    w.hide();
}
