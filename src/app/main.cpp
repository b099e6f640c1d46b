// Win Mivor: the editor for KX operator terminals.
#include "app/dialogs.h"
#include "app/main_window.h"
#include "core/context.h"
#include "platform/qt_prompt.h"
#include "platform/qt_pump.h"
#include "platform/qt_settings.h"
#include "platform/qt_text.h"

#include <QApplication>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <memory>

int main(int argc, char** argv) {
    kx::QtPump::use_qt_dispatcher();
    QApplication app(argc, argv);
    QApplication::setApplicationName("Win Mivor");
    QApplication::setOrganizationName("Mivor");

    kx::Project project;
    kx::QtSettingsStore settings;
    kx::QtPrompt prompt;
    kx::QtPump pump;
    kx::Ctx ctx(project, prompt, settings, pump, kx::fs_name(QCoreApplication::applicationDirPath()));
    ctx.documents_dir = kx::fs_name(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    if (!QFileInfo(kx::qpath(ctx.documents_dir)).isDir())
        ctx.documents_dir = kx::fs_name(QStandardPaths::writableLocation(QStandardPaths::HomeLocation));

    // The splash shows first; the first tick of its timer opens the main window, the second
    // closes the splash.
    auto* splash = new kx::SplashWindow;
    splash->show();
    std::unique_ptr<kx::MainWindow> main_window;
    int ticks = 0;
    QTimer timer;
    timer.setInterval(1000);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++ticks;
        if (ticks == 1) {
            main_window = std::make_unique<kx::MainWindow>(ctx);
            prompt.set_parent(main_window.get());
            main_window->show();
            main_window->load();
        } else if (ticks == 2) {
            timer.stop();
            splash->close();
            splash->deleteLater();
        }
    });
    timer.start();
    int rc = app.exec();
    return rc;
}
