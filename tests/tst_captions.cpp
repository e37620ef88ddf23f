// The captions the window system really shows, read back from the X server.
#include "FakeDesktop.h"
#include "PelmarkApp.h"
#include "QtDesktop.h"
#include "uAddEditMate.h"
#include "uLegends.h"
#include "uMain.h"
#include "uSettings.h"

#include <QInputDialog>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

// _NET_WM_NAME of a shown window, as xprop prints it: _NET_WM_NAME(UTF8_STRING) = "text"
QString shownCaption(QWidget& window) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return QStringLiteral("<not exposed>");
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window.winId()),
                                          QStringLiteral("_NET_WM_NAME")});
    if (!xprop.waitForFinished(10000))
        return QStringLiteral("<xprop failed>");
    const QString out = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    const qsizetype quote = out.indexOf(QLatin1Char('"'));
    window.hide();
    return quote < 0 ? out : out.mid(quote + 1).chopped(1);
}

} // namespace

class TestCaptions : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            QFAIL("needs an X server: run under xvfb-run with QT_QPA_PLATFORM=xcb");
        SetUpApplication(); // as the program does: its names decide what the captions show
    }

    void everyWindowShowsItsOwnCaptionOnly() {
        QTemporaryDir dir;
        FakeDesktop desktop;
        TfMain main(desktop, dir.filePath(QStringLiteral("Pelmark2")));
        TfLegends legends(main.ilServerStatus, main.ilMateStatus, &main);
        TfSettings settings(main.config, desktop, &main);
        TfAddEditMate mate(main.stats(), main.rosterCommands(), desktop, &main);
        const auto password = MakeInputBox(QStringLiteral("Enter passwort for server: Red  Blue"),
                                           QStringLiteral("Password"));
        const auto group =
            MakeInputBox(QStringLiteral("Create a new group"), QStringLiteral("Group name:"));
        const auto box = MakeMessageBox(QStringLiteral("Could not refresh."), QMessageBox::NoIcon);

        QCOMPARE(shownCaption(main), QStringLiteral("Pelmark II"));
        QCOMPARE(shownCaption(legends), QStringLiteral("Legends"));
        QCOMPARE(shownCaption(settings), QStringLiteral("Settings..."));
        QCOMPARE(shownCaption(mate), QStringLiteral("Add/Edit Mate..."));
        QCOMPARE(shownCaption(*password), QStringLiteral("Enter passwort for server: Red  Blue"));
        QCOMPARE(shownCaption(*group), QStringLiteral("Create a new group"));
        QCOMPARE(shownCaption(*box), QStringLiteral("Pelmark II"));
    }
};

QTEST_MAIN(TestCaptions)
#include "tst_captions.moc"
