#include "PelmarkApp.h"

#include "AppPaths.h"
#include "ErrorHandler.h"
#include "Pictures.h"
#include "QtDesktop.h"
#include "QuitOnSignal.h"
#include "uMain.h"
#include "uSplashScreen.h"

#include <QApplication>
#include <memory>

void SetUpApplication() {
    QApplication::setApplicationName(QStringLiteral("Pelmark II"));
    // No display name: the window system would append it to every caption.
    // The window, the tray and the desktop's menu entry show the same icon; the id ties
    // the windows to the installed desktop entry.
    QApplication::setWindowIcon(Pictures::AppIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("org.pelmark.Pelmark2"));
}

void StartUp(TfSplashScreen& splash, TfMain& window) {
    const QMetaObject::Connection done = QObject::connect(
        &window, &TfMain::startUpFinished, &splash,
        [&splash, &window] {
            splash.hide();
            window.show();
        },
        Qt::SingleShotConnection);
    QObject::connect(&splash, &TfSplashScreen::closedByUser, &window, [done] {
        QObject::disconnect(done); // a late end of the creation shows no window
        QCoreApplication::exit(0);
    });
    splash.show();
    splash.repaint();
    window.FormCreate();
}

int RunPelmark(int argc, char** argv) {
    QApplication app(argc, argv);
    SetUpApplication();
    QtDesktop desktop;
    const QString exePath = QCoreApplication::applicationFilePath();
    const AppPaths paths = ResolveAppPaths(exePath);
    // Without its per-user folders the program still opens; it says once why nothing
    // it changes will be kept.
    Guarded(desktop, [&] { CreateUserFolders(paths); });

    auto splash = std::make_unique<TfSplashScreen>(exePath);
    TfMain fMain(desktop, paths);
    // Before the start-up sequence: its boxes must not hold off a signal either.
    CloseOnTerminationSignal(&fMain);
    StartUp(*splash, fMain);
    if (RunEnded()) // a box of the creation was closed by the signal
        return 0;
    return QApplication::exec();
}
