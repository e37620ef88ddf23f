#include "FakeDesktop.h"
#include "FakeService.h"
#include "HostListBuilder.h"
#include "MateRecord.h"
#include "MateTree.h"
#include "PelmarkApp.h"
#include "WindowWaits.h"
#include "uMain.h"
#include "uSplashScreen.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <sys/stat.h>

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write a fixture file");
}

} // namespace

class TestStartUp : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Odd entries where the program expects files must neither block the start nor hide
    // the groups that can be read: one box names the first bad profile.
    void oddFiles_neitherFreezeNorEmptyTheTree() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("data/groups/Dir.profile")));
        const QString groups = dir.filePath(QStringLiteral("data/groups/"));
        QCOMPARE(
            ::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("Pelmark2.config"))).constData(),
                     0600),
            0);
        QCOMPARE(
            ::mkfifo(QFile::encodeName(groups + QStringLiteral("Fifo.profile")).constData(), 0600),
            0);
        writeFile(groups + QStringLiteral("Friends.profile"),
                  MateRecord::make("Alex", "", "", "").bytes());
        FakeService service;
        service.serve(PackHost(FakeHost("Blue Sky").with({"Alex"})));

        FakeDesktop desktop;
        TfMain window(desktop, dir.filePath(QStringLiteral("Pelmark2")));
        window.defaultService = service.baseUrl(); // the settings file holds no address
        QElapsedTimer clock;
        clock.start();
        StartUp(window);
        QVERIFY(clock.elapsed() < 10'000);
        QCOMPARE(desktop.errors.size(), 1);
        QVERIFY2(desktop.errors.first().contains(QLatin1String("Dir.profile")),
                 qPrintable(desktop.errors.first()));
        QCOMPARE(window.lvServer->rowCount(), 1);
        QCOMPARE(window.tvMates->model()->rowCount(), 3);
        QCOMPARE(window.lMateInfo->text(), QStringLiteral("Online mates: 1/1"));
    }

    // Closing the splash screen while the first request waits on a silent server ends the
    // start at once: no error box, no window appearing later unasked. Last in the suite:
    // the quit it asks for also ends every later wait of this process.
    void splashClosedDuringSilentFirstRequest_endsTheStart() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("data/groups")));
        QTcpServer silent; // takes the connection and never answers
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        const QByteArray base = "http://127.0.0.1:" + QByteArray::number(silent.serverPort());
        writeFile(dir.filePath(QStringLiteral("Pelmark2.config")),
                  "[SERVICE]\nStatsServer=" + base + "\nHighlightsServer=" + base + "\n");

        FakeDesktop desktop;
        const QString exe = dir.filePath(QStringLiteral("Pelmark2"));
        TfSplashScreen splash(exe);
        TfMain window(desktop, exe);
        QTimer::singleShot(300, &splash, [&splash] { splash.close(); });
        QElapsedTimer clock;
        clock.start();
        QSignalSpy closed(&splash, &TfSplashScreen::closedByUser);
        StartUp(splash, window);
        QVERIFY(closed.wait());
        QVERIFY2(clock.elapsed() < 10'000, "the start waited for the stall limit");
        QTest::qWait(300); // an answer now must show no window
        QCOMPARE(desktop.errors, QStringList());
        QCOMPARE(desktop.messages, QStringList());
        QVERIFY(!splash.isVisible());
        QVERIFY(!window.isVisible());
    }
};

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
