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

bool StartUp(TfSplashScreen& splash, TfMain& window) {
    bool abandoned = false;
    const QMetaObject::Connection closed =
        QObject::connect(&splash, &TfSplashScreen::closedByUser, &splash, [&abandoned] {
            abandoned = true;
            QCoreApplication::exit(0); // ends every wait of the creation sequence
        });
    splash.show();
    splash.repaint();
    QCoreApplication::processEvents();
    if (!abandoned)
        window.FormCreate();
    QObject::disconnect(closed);
    splash.hide();
    return !abandoned;
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
    if (!StartUp(*splash, fMain) || RunEnded())
        return 0;
    splash.reset();

    fMain.show();
    return QApplication::exec();
}
