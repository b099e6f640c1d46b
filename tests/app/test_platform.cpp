// The Qt platform layer: paint-only waits, the settings store, text conversion. Waits that
// end on their condition or their deadline carry every transfer against the simulator.
#include "core/context.h"
#include "core/projectfile.h"
#include "platform/fd_timer.h"
#include "platform/qt_prompt.h"
#include "platform/qt_pump.h"
#include "platform/qt_settings.h"
#include "platform/qt_text.h"
#include "support/recording_view.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace kx;

namespace {

// Records the keys and clicks it gets, and whether the file read was still running then.
struct InputRecorder : QWidget {
    bool reading = false;
    std::vector<std::pair<QEvent::Type, bool>> seen;
    bool event(QEvent* e) override {
        if (e->type() == QEvent::KeyPress || e->type() == QEvent::MouseButtonPress)
            seen.emplace_back(e->type(), reading);
        return QWidget::event(e);
    }
    void queue_key_and_click() {
        QCoreApplication::postEvent(this, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
        QCoreApplication::postEvent(this,
                                    new QMouseEvent(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2),
                                                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    }
};

} // namespace

// A key and a click queued before and during a project file's read arrive after the read,
// in their order: no command can start on a half-read project.
TEST(QtPump, PaintOnlyWaitsHoldKeysAndClicksUntilTheReadEnds) {
    test::Started saved;
    ASSERT_TRUE(save_project_file(saved.c, saved.p.project_path));
    Project p;
    ScriptedPrompt prompt;
    MemorySettings settings;
    QtPump pump;
    Ctx c(p, prompt, settings, pump, saved.dir.path.string());
    InputRecorder w;
    w.show();
    QTimer during; // fires inside the read's first pause
    QObject::connect(&during, &QTimer::timeout, [&] {
        if (!w.reading) return;
        w.queue_key_and_click();
        during.stop();
    });
    during.start(0);
    w.queue_key_and_click();
    w.reading = true;
    ASSERT_TRUE(open_project_file(c, saved.p.project_path));
    w.reading = false;
    EXPECT_FALSE(during.isActive()); // the second pair was queued inside the read
    EXPECT_TRUE(w.seen.empty());
    QCoreApplication::processEvents();
    const std::pair<QEvent::Type, bool> key{QEvent::KeyPress, false}, click{QEvent::MouseButtonPress, false};
    EXPECT_EQ(w.seen, (std::vector{key, click, key, click}));
}

// Timers run inside a paint-only wait; a dialog one of them opens runs its own loop and
// gets its keys.
TEST(QtPump, ADialogOpenedInsideAPaintOnlyWaitGetsItsKeys) {
    QtPump pump;
    int result = -1;
    QTimer::singleShot(0, [&] {
        QDialog dlg;
        QCoreApplication::postEvent(&dlg, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        result = dlg.exec();
    });
    wait_ms(pump, 50, false);
    EXPECT_EQ(result, QDialog::Rejected);
}

// A wait with nothing to wake it ends at its own deadline, also right after a longer wait
// that its condition ended early (whose wake-up is still set for later), and not before.
TEST(QtPump, AWaitEndsAtItsDeadlineWhateverAnEarlierWaitLeftSet) {
    QtPump pump;
    bool posted = false;
    QTimer::singleShot(0, [&] { posted = true; });
    EXPECT_TRUE(pump.wait(20000, true, [&] { return posted; }));
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(pump.wait(80, true, [] { return false; }));
    EXPECT_GE(clock.elapsed(), 80);
    EXPECT_LT(clock.elapsed(), 5000);
    clock.restart();
    wait_ms(pump, 30, false);
    EXPECT_GE(clock.elapsed(), 30);
}

// The editor's blink: a periodic timer fires again and again until it is stopped.
TEST(FdTimer, APeriodicTimerFiresUntilStopped) {
    QtPump pump;
    int fired = 0;
    FdTimer t([&] { ++fired; });
    t.start_every(10);
    EXPECT_TRUE(pump.wait(5000, true, [&] { return fired >= 3; }));
    t.stop();
    EXPECT_FALSE(t.active());
    const int seen = fired;
    wait_ms(pump, 40);
    EXPECT_EQ(fired, seen);
}

// The store keeps names as the file system has them ("Caffè" survives a restart in the
// window tests); a store that cannot be written is said once and goes on from memory.
TEST(QtSettings, AnUnwritableStoreIsSaidOnce) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("s.ini") + "/s.ini"; // below a file, never writable
    QFile(dir.filePath("s.ini")).open(QIODevice::WriteOnly);
    QtSettingsStore blocked(ini);
    blocked.save("Settaggi", "COM", "2");
    blocked.save("Settaggi", "COM", "3");
    EXPECT_EQ(blocked.take_write_error(), fs_name(ini));
    EXPECT_EQ(blocked.take_write_error(), "");
    EXPECT_EQ(blocked.get("Settaggi", "COM"), "3");
}

TEST(QtPrompt, FileDialogsTakeAndGiveFileSystemNames) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QString::fromUtf8("M\xC3\xBCller \xCE\x95\xCE\xBB"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile(folder + "/a.prj").open(QIODevice::WriteOnly);
    FileDialog d;
    d.init_dir = fs_name(folder);
    QString seen_dir;
    QStringList seen_filters;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        seen_dir = dlg->directory().absolutePath();
        seen_filters = dlg->nameFilters();
        dlg->selectFile(folder + "/a.prj");
        QMetaObject::invokeMethod(dlg, "accept");
    });
    ASSERT_TRUE(QtPrompt().open_file(d));
    EXPECT_EQ(seen_dir, folder);
    EXPECT_EQ(seen_filters, QStringList{"Tutti i file (*)"}); // names without a dot too
    EXPECT_EQ(d.file_name, fs_name(folder + "/a.prj"));
}

TEST(QtText, SingleByteTextRoundTripsThroughQString) {
    std::string all;
    for (int b = 32; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(bytes(qs(all)), all);
    EXPECT_EQ(qs("\x80"), QString(QChar(0x20AC)));
}

// The hourglass is the main window's and its children's; a message box opened meanwhile
// shows the normal pointer.
TEST(QtPrompt, HourglassOnTheMainWindowOnly) {
    QWidget main_window;
    auto* child = new QWidget(&main_window);
    QtPrompt prompt(&main_window);
    prompt.busy(true);
    EXPECT_EQ(child->cursor().shape(), Qt::WaitCursor);
    bool app_wide = true; // the box would show the application's pointer
    QTimer::singleShot(0, [&] {
        app_wide = QGuiApplication::overrideCursor() != nullptr;
        QMetaObject::invokeMethod(QApplication::activeModalWidget(), "reject");
    });
    prompt.message("x", kOkOnly, "");
    EXPECT_FALSE(app_wide);
    prompt.busy(false);
    EXPECT_EQ(child->cursor().shape(), Qt::ArrowCursor);
}

// A message box shows the icon asked for; without one, an OK box shows none and a question
// its question mark.
TEST(QtPrompt, AMessageBoxShowsTheIconAskedFor) {
    struct Case {
        int buttons;
        MsgIcon icon;
        QMessageBox::Icon shown;
    };
    for (const Case& k :
         {Case{kOkOnly, kIconCritical, QMessageBox::Critical}, Case{kOkOnly, kIconNone, QMessageBox::NoIcon},
          Case{kYesNo, kIconNone, QMessageBox::Question}}) {
        QMessageBox::Icon seen = QMessageBox::NoIcon;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            seen = box->icon();
            box->buttons().first()->click();
        });
        QtPrompt().message("x", k.buttons, "", k.icon);
        EXPECT_EQ(seen, k.shown) << k.buttons << " " << k.icon;
    }
}
