// The Qt platform layer: paint-only waits, the settings store, text conversion. Waits that
// end on their condition or their deadline carry every transfer against the simulator.
#include "core/context.h"
#include "core/projectfile.h"
#include "platform/qt_prompt.h"
#include "platform/qt_pump.h"
#include "platform/qt_settings.h"
#include "platform/qt_text.h"
#include "support/recording_view.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMouseEvent>
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

namespace {

// Records the input events it gets and whether a file read was still running then.
struct InputRecorder : QWidget {
    const bool* reading = nullptr;
    std::vector<std::pair<QEvent::Type, bool>> seen;
    bool event(QEvent* e) override {
        if (e->type() == QEvent::KeyPress || e->type() == QEvent::MouseButtonPress) seen.emplace_back(e->type(), *reading);
        return QWidget::event(e);
    }
};

void queue_key_and_click(QWidget* to) {
    QCoreApplication::postEvent(to, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
    QCoreApplication::postEvent(to, new QMouseEvent(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2),
                                                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
}

} // namespace

// A key and a click that wait in the queue while a project file is read arrive after the
// read, in their order: nothing the user does can start a command on a half-read project.
TEST(QtPump, PaintOnlyWaitsHoldKeysAndClicksUntilTheReadEnds) {
    test::Started saved;
    saved.p.project_path = saved.dir.file("p.prj");
    ASSERT_TRUE(save_project_file(saved.c, saved.p.project_path));

    Project p;
    ScriptedPrompt prompt;
    MemorySettings settings;
    QtPump pump;
    Ctx c(p, prompt, settings, pump, saved.dir.path.string());
    main_window_load(c);
    bool reading = false;
    InputRecorder w;
    w.reading = &reading;
    w.show();
    int paused = 0;
    // A timer that fires inside the read's pauses queues a second key and click there.
    QTimer during;
    QObject::connect(&during, &QTimer::timeout, [&] {
        if (reading && paused++ == 0) queue_key_and_click(&w);
    });
    during.start(0);
    queue_key_and_click(&w);
    reading = true;
    ASSERT_TRUE(open_project_file(c, saved.p.project_path));
    reading = false;
    EXPECT_GT(paused, 0);
    EXPECT_TRUE(w.seen.empty());
    QCoreApplication::processEvents();
    const std::vector<std::pair<QEvent::Type, bool>> after = {
        {QEvent::KeyPress, false}, {QEvent::MouseButtonPress, false},
        {QEvent::KeyPress, false}, {QEvent::MouseButtonPress, false}};
    EXPECT_EQ(w.seen, after);

    // A wait open to the user delivers them at once.
    w.seen.clear();
    queue_key_and_click(&w);
    reading = true;
    wait_ms(pump, 5, true);
    reading = false;
    EXPECT_EQ(w.seen.size(), 2u);
}

TEST(QtSettings, ValuesSurviveAndMissingOnesGiveTheDefault) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("s.ini");
    const std::string cafe = "/home/u/Caff\xC3\xA8/\xD0\x9F\xD1\x80.prj";   // a file-system name
    {
        QtSettingsStore s(ini);
        EXPECT_EQ(s.get("Settaggi", "COM", "1"), "1");
        s.save("Settaggi", "COM", "5");
        s.save("Inizializzazione", "UltimoFile", cafe);
    }
    QtSettingsStore again(ini);
    EXPECT_EQ(again.get("Settaggi", "COM"), "5");
    EXPECT_EQ(again.get("Inizializzazione", "UltimoFile"), cafe);
    // The store holds the name as the file system has it, readable by any other tool.
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(f.readAll()).contains(QString::fromUtf8("Caff\xC3\xA8/\xD0\x9F\xD1\x80.prj")));
}

TEST(QtSettings, AStoreThatCannotBeWrittenIsReportedOnce) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath("config"));   // a file where the store's folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QtSettingsStore s(dir.filePath("config/s.ini"));
    EXPECT_EQ(s.take_write_error(), "");
    s.save("Settaggi", "COM", "2");
    s.save("Settaggi", "Lingua", "1");
    EXPECT_EQ(s.take_write_error(), fs_name(dir.filePath("config/s.ini")));
    s.save("Settaggi", "COM", "3");
    EXPECT_EQ(s.take_write_error(), "");   // said once
    EXPECT_EQ(s.get("Settaggi", "COM"), "3");   // the run goes on with what it has
}

TEST(QtPrompt, FileDialogsTakeAndGiveFileSystemNames) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QString::fromUtf8("M\xC3\xBCller \xCE\x95\xCE\xBB"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile(folder + "/a.prj").open(QIODevice::WriteOnly);
    QtPrompt prompt;
    FileDialog d;
    d.init_dir = fs_name(folder);
    QString seen_dir;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        seen_dir = dlg->directory().absolutePath();
        dlg->selectFile(folder + "/a.prj");
        QMetaObject::invokeMethod(dlg, "accept");
    });
    ASSERT_TRUE(prompt.open_file(d));
    EXPECT_EQ(seen_dir, folder);
    EXPECT_EQ(d.file_name, fs_name(folder + "/a.prj"));
    EXPECT_EQ(qpath(d.file_name), folder + "/a.prj");
}

TEST(QtText, SingleByteTextRoundTripsThroughQString) {
    std::string all;
    for (int b = 32; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(bytes(qs(all)), all);
    EXPECT_EQ(qs("\x80"), QString(QChar(0x20AC)));
}
