#include "ExecuteFile.h"
#include "Launcher.h"
#include "ProcessList.h"
#include "RosterFiles.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

using namespace RosterFixture;

Q_DECLARE_METATYPE(std::optional<QByteArray>)

namespace {

// Generous: the first start after the prefix was made still loads much of Wine.
constexpr int StartBoundMs = 120000;

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Wine's default Z: drive is the root.
QByteArray DosPath(const QString& linuxPath) {
    return "Z:" + QFile::encodeName(linuxPath).replace('/', '\\');
}

bool Run(const QString& program, const QStringList& arguments, int boundMs) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, arguments);
    return process.waitForFinished(boundMs) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

} // namespace

// The game is a Windows program started through the launcher, Wine and the starter; it
// writes down the command line it reads and its working directory.
class TestWine : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_gameDir;
    QString m_game;

    QString beside(const char* name) const { return m_gameDir + u'/' + QLatin1String(name); }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        const QString root = QDir(m_dir.path()).canonicalPath();
        // A throw-away prefix, no Wine dialogs or windows, no Mono or Gecko installers, and
        // no menu entries in the user's home.
        qunsetenv("DISPLAY");
        qunsetenv("WAYLAND_DISPLAY");
        qputenv("WINEPREFIX", QFile::encodeName(root + QStringLiteral("/prefix")));
        qputenv("WINEDEBUG", "-all");
        qputenv("WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d");
        // Single-byte names come back only through a single-byte ANSI code page (1252).
        qputenv("LC_ALL", "C.UTF-8");

        m_gameDir = root + QStringLiteral("/Live Game");
        m_game = m_gameDir + QStringLiteral("/LFS.exe");
        QVERIFY(QDir().mkpath(m_gameDir));
        QVERIFY(QFile::copy(QStringLiteral(PELMARK_CMDLINE_PROBE), m_game));

        QElapsedTimer clock;
        clock.start();
        QVERIFY(Run(QStringLiteral("wine"), {QStringLiteral("wineboot"), QStringLiteral("-i")},
                    300000));
        qInfo("Wine prefix first start: %lld ms", qint64(clock.elapsed()));
    }

    void cleanupTestCase() {
        // Nothing of Wine may outlive the suite.
        QVERIFY(Run(QStringLiteral(PELMARK_WINESERVER), {QStringLiteral("-k")}, 60000));
    }

    void findWineStarter_layouts_data() {
        QTest::addColumn<QString>("starterFolder"); // relative to the executable's folder
        QTest::addColumn<bool>("found");
        QTest::newRow("build tree: beside") << "bin" << true;
        QTest::newRow("installed: lib") << "lib/pelmark2" << true;
        QTest::newRow("installed: libexec") << "libexec/pelmark2" << true;
        QTest::newRow("elsewhere") << "share/pelmark2" << false;
    }
    void findWineStarter_layouts() {
        QFETCH(QString, starterFolder);
        QFETCH(bool, found);
        QTemporaryDir dir;
        const QString root = QDir(dir.path()).canonicalPath();
        const QString starter =
            root + u'/' + starterFolder + QStringLiteral("/pelmark-winstart.exe");
        QVERIFY(QDir().mkpath(root + QStringLiteral("/bin")));
        QVERIFY(QDir().mkpath(QFileInfo(starter).absolutePath()));
        QFile file(starter);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QCOMPARE(FindWineStarter(root + QStringLiteral("/bin")), found ? starter : QString());
    }

    void launch_underWine_gameReadsExactCommandLineInItsFolder_data() {
        QTest::addColumn<QByteArray>("host"); // empty: a plain start
        QTest::addColumn<std::optional<QByteArray>>("password");
        QTest::addColumn<QByteArray>("parameters");
        const std::optional<QByteArray> none;
        QTest::newRow("plain start") << QByteArray() << none << QByteArray();
        QTest::newRow("plain join")
            << QByteArray("Blue Lagoon") << none << QByteArray("/join=Blue Lagoon");
        QTest::newRow("two blanks in the host")
            << QByteArray("Red  Blue") << none << QByteArray("/join=Red  Blue");
        QTest::newRow("markup and ampersand")
            << QByteArray("<b>Fast</b> & Fun") << none << QByteArray("/join=<b>Fast</b> & Fun");
        QTest::newRow("quotes and outer blanks in the password")
            << QByteArray("Club") << std::optional<QByteArray>(" p \"w\" 1 ")
            << QByteArray("/join=Club /pass= p \"w\" 1 ");
        QTest::newRow("empty password") << QByteArray("Club") << std::optional<QByteArray>("")
                                        << QByteArray("/join=Club /pass=");
        QTest::newRow("backslashes before quotes")
            << QByteArray("A\\\"B\\\\") << std::optional<QByteArray>("\\\\\"")
            << QByteArray("/join=A\\\"B\\\\ /pass=\\\\\"");
        QTest::newRow("Latin-1 host")
            << QByteArray("Caf\xe9 Racing") << none << QByteArray("/join=Caf\xe9 Racing");
    }
    void launch_underWine_gameReadsExactCommandLineInItsFolder() {
        QFETCH(QByteArray, host);
        QFETCH(std::optional<QByteArray>, password);
        QFETCH(QByteArray, parameters);
        for (const char* name : {"cmdline.txt", "cwd.txt", "stop"})
            QFile::remove(beside(name));

        RosterFiles world;
        world.desktop.reallyStart = true;
        world.desktop.processLister = [] { return ListProcesses(); };
        Launcher launcher(world.desktop, world.hosts, [this] { return m_game; });
        // The program's own watch, set before the start, as it ticks while the game is off.
        ProcessWatch watch;
        QVERIFY(!watch.isRunning(m_game));
        if (host.isEmpty()) {
            launcher.StartLFS();
        } else {
            if (password)
                world.desktop.answers.enqueue(ToDisplay(*password));
            launcher.JoinServer(ToDisplay(host), password.has_value());
        }
        QVERIFY(world.desktop.messages.isEmpty());
        QCOMPARE(world.desktop.starts.size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(beside("cmdline.txt")), StartBoundMs);

        const QByteArray expected =
            '"' + DosPath(m_game) + '"' + (parameters.isEmpty() ? QByteArray() : ' ' + parameters);
        QCOMPARE(ReadBytes(beside("cmdline.txt")), expected);
        QTRY_VERIFY(QFileInfo::exists(beside("cwd.txt")));
        QCOMPARE(ReadBytes(beside("cwd.txt")), DosPath(m_gameDir));
        qInfo("%s: %s", QTest::currentDataTag(), qPrintable(QString::fromLatin1(expected)));

        // The watch that pauses the refresh sees the game under Wine, and sees it end.
        QVERIFY(launcher.IsGameRunning());
        QVERIFY(watch.isRunning(m_game));
        QFile stop(beside("stop"));
        QVERIFY(stop.open(QIODevice::WriteOnly));
        stop.close();
        QTRY_VERIFY_WITH_TIMEOUT(!launcher.IsGameRunning(), 30000);
        QVERIFY(!watch.isRunning(m_game));
    }
};

QTEST_MAIN(TestWine)
#include "tst_wine.moc"
