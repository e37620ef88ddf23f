#include "ExecuteFile.h"
#include "FakeDesktop.h"
#include "ProcessList.h"
#include "QtDesktop.h"
#include "tst_launcher_fakegame.h"

#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>

namespace {

void WriteFile(const QString& path, const QByteArray& bytes, bool executable = false) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    if (executable)
        file.setPermissions(file.permissions() | QFile::ExeOwner);
}

void Link(const QString& target, const QString& link) {
    QDir().mkpath(QFileInfo(link).absolutePath());
    QVERIFY(QFile::link(target, link));
}

// A process's folder in a prepared proc file system; without exe, it has no link.
void FakeProcess(const QString& dir, const QString& exe, const QByteArray& cmdline) {
    QDir().mkpath(dir);
    if (!exe.isEmpty())
        Link(exe, dir + QStringLiteral("/exe"));
    WriteFile(dir + QStringLiteral("/cmdline"), cmdline);
}

// A prepared proc file system of a pid namespace of its own, which its process 1 reads as
// itself, with lastPid as the last pid handed out.
void FakeProcRoot(const QString& proc, const QByteArray& lastPid) {
    FakeProcess(proc + QStringLiteral("/1"), QStringLiteral("/usr/bin/sleep"), "sleep\0");
    WriteFile(proc + QStringLiteral("/1/status"), "Name:\tsleep\nNSpid:\t1\n");
    Link(QStringLiteral("1"), proc + QStringLiteral("/self"));
    WriteFile(proc + QStringLiteral("/loadavg"), "0.00 0.01 0.05 1/90 " + lastPid + '\n');
}

// Sets PATH for the lifetime of the guard.
class PathGuard {
public:
    explicit PathGuard(const QString& path) : m_old(qgetenv("PATH")) {
        qputenv("PATH", QFile::encodeName(path));
    }
    ~PathGuard() { qputenv("PATH", m_old); }

private:
    QByteArray m_old;
};

class FailingUrlDesktop : public FakeDesktop {
public:
    QString openUrl(const QUrl& url) override {
        urls << url;
        return QStringLiteral("No handler for this address.");
    }
};

} // namespace

class TestLauncher : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_root; // m_dir's path with symbolic links resolved
    QString m_prefix;

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_root = QDir(m_dir.path()).canonicalPath();
        // A Wine prefix laid out as Wine does it: relative link for C:, none for Z:.
        m_prefix = m_root + QStringLiteral("/prefix");
        WriteFile(m_prefix + QStringLiteral("/drive_c/Games/LFS/LFS.exe"), "MZ");
        Link(QStringLiteral("../drive_c"), m_prefix + QStringLiteral("/dosdevices/c:"));
        Link(QStringLiteral("/nonexistent/cdrom"), m_prefix + QStringLiteral("/dosdevices/e:"));
    }

    void isProcessRunning_data() {
        QTest::addColumn<QStringList>("processes");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("fullPath");
        QTest::addColumn<bool>("expected");
        const QStringList list{QStringLiteral("/usr/bin/bash"),
                               QStringLiteral("/opt/Games/LFS/LFS.exe")};
        QTest::newRow("full path") << list << "/opt/Games/LFS/LFS.exe" << true << true;
        QTest::newRow("full path, other case") << list << "/OPT/games/lfs/lfs.EXE" << true << true;
        QTest::newRow("full path, other folder") << list << "/opt/LFS/LFS.exe" << true << false;
        QTest::newRow("full path, relative") << list << "LFS.exe" << true << false;
        QTest::newRow("full path, shorter") << list << "/opt/Games/LFS/LFS.ex" << true << false;
        QTest::newRow("name part") << list << "lfs.exe" << false << true;
        QTest::newRow("name part is not a path") << list << "LFS/LFS.exe" << false << false;
        QTest::newRow("after a backslash")
            << QStringList{QStringLiteral("C:\\Games\\LFS.exe")} << "LFS.EXE" << false << true;
        QTest::newRow("after a colon")
            << QStringList{QStringLiteral("C:LFS.exe")} << "lfs.exe" << false << true;
        QTest::newRow("empty list") << QStringList() << "/opt/Games/LFS/LFS.exe" << true << false;
        // Only A-Z fold: Unicode case folding would make these equal.
        QTest::newRow("umlaut keeps its case")
            << QStringList{QStringLiteral("/g/\u00c4.exe")} << "/g/\u00e4.exe" << true << false;
        QTest::newRow("kelvin sign is no K")
            << QStringList{QStringLiteral("/g/\u212a")} << "/g/k" << true << false;
        QTest::newRow("dotless i is no I")
            << QStringList{QStringLiteral("/g/I")} << "/g/\u0131" << true << false;
        QTest::newRow("sharp s is not SS")
            << QStringList{QStringLiteral("/g/SS")} << "/g/\u00df" << true << false;
    }
    void isProcessRunning() {
        QFETCH(QStringList, processes);
        QFETCH(QString, name);
        QFETCH(bool, fullPath);
        QFETCH(bool, expected);
        QCOMPARE(IsProcessRunning(processes, name, fullPath), expected);
    }

    void wineToLinuxPath_data() {
        QTest::addColumn<QString>("windowsPath");
        QTest::addColumn<QString>("expected");
        const QString lfs = m_prefix + QStringLiteral("/drive_c/Games/LFS/LFS.exe");
        QTest::newRow("drive link") << "C:\\Games\\LFS\\LFS.exe" << lfs;
        QTest::newRow("lower-case drive") << "c:\\Games\\LFS\\LFS.exe" << lfs;
        QTest::newRow("long-path form") << "\\\\?\\C:\\Games\\LFS\\LFS.exe" << lfs;
        QTest::newRow("missing file keeps its spelling")
            << "C:\\games\\lfs.exe" << m_prefix + QStringLiteral("/drive_c/games/lfs.exe");
        QTest::newRow("dangling link") << "E:\\setup.exe"
                                       << "/nonexistent/cdrom/setup.exe";
        QTest::newRow("Z: without link is the root") << "Z:\\nonexistent\\lfs\\LFS.exe"
                                                     << "/nonexistent/lfs/LFS.exe";
        QTest::newRow("Z: root itself") << "Z:\\"
                                        << "/";
        QTest::newRow("unknown drive") << "Q:\\x\\y.exe"
                                       << "Q:/x/y.exe";
        QTest::newRow("unix path") << "/usr/games/lfs"
                                   << "/usr/games/lfs";
    }
    void wineToLinuxPath() {
        QFETCH(QString, windowsPath);
        QFETCH(QString, expected);
        QCOMPARE(WineToLinuxPath(windowsPath, m_prefix), expected);
    }

    void wineToLinuxPath_prefixWithZLink_usesIt() {
        const QString prefix = m_root + QStringLiteral("/prefix-z");
        Link(m_root, prefix + QStringLiteral("/dosdevices/z:"));
        QCOMPARE(WineToLinuxPath(QStringLiteral("Z:\\prefix\\drive_c"), prefix),
                 m_prefix + QStringLiteral("/drive_c"));
    }

    void listProcesses_preparedProc_mapsWineProgramsAndSkipsUnreadable() {
        const QString proc = m_root + QStringLiteral("/proc");
        const QString home = m_root + QStringLiteral("/home");
        Link(QStringLiteral("/nonexistent/target"), home + QStringLiteral("/.wine/dosdevices/d:"));
        const QByteArray prefixEnv = "WINEPREFIX=" + QFile::encodeName(m_prefix);
        const QByteArray homeEnv = "HOME=" + QFile::encodeName(home);
        struct Process {
            const char* pid;
            const char* exe; // nullptr: no link, as for a process that is not ours
            QByteArray cmdline;
            QByteArray environ;
        };
        const QList<Process> processes{
            {"100", "/usr/bin/wine64-preloader",
             QByteArray("C:\\Games\\LFS\\LFS.exe\0/join=x\0", 29), prefixEnv + '\0'},
            {"101", "/opt/wine-stable/bin/wine-preloader",
             "/opt/wine-stable/bin/wine-preloader" + QByteArray(1, '\0') +
                 "Z:\\nonexistent\\lfs\\LFS.exe" + QByteArray(1, '\0'),
             "PATH=/bin" + QByteArray(1, '\0') + prefixEnv + '\0'},
            {"102", "/usr/bin/sleep",
             QByteArray("sleep\0"
                        "5\0",
                        8),
             QByteArray()},
            {"103", nullptr, QByteArray("hidden\0", 7), QByteArray()},
            {"104", "/usr/lib/wine/wine64", QByteArray(), QByteArray()},
            {"105", "/usr/bin/wine", "D:\\LFS.exe" + QByteArray(1, '\0'), homeEnv + '\0'},
        };
        for (const Process& p : processes) {
            const QString dir = proc + u'/' + QLatin1String(p.pid);
            QDir().mkpath(dir);
            if (p.exe)
                Link(QLatin1String(p.exe), dir + QStringLiteral("/exe"));
            WriteFile(dir + QStringLiteral("/cmdline"), p.cmdline);
            WriteFile(dir + QStringLiteral("/environ"), p.environ);
        }
        Link(proc + QStringLiteral("/102"), proc + QStringLiteral("/self"));
        QDir().mkpath(proc + QStringLiteral("/sys"));

        QStringList listed = ListProcesses(proc);
        listed.sort();
        QCOMPARE(listed, (QStringList{QStringLiteral("/nonexistent/lfs/LFS.exe"),
                                      QStringLiteral("/nonexistent/target/LFS.exe"),
                                      m_prefix + QStringLiteral("/drive_c/Games/LFS/LFS.exe"),
                                      QStringLiteral("/usr/bin/sleep")}));
    }

    // Only Wine's own loaders stand for the program in their first argument; a file
    // deleted or replaced while it runs still stands for the program of its path.
    void listProcesses_loaderNamesAndDeletedFiles_data() {
        QTest::addColumn<QString>("exe");
        QTest::addColumn<bool>("runsGame");
        const QString game = m_prefix + QStringLiteral("/drive_c/Games/LFS/LFS.exe");
        QTest::newRow("wine") << "/usr/bin/wine" << true;
        QTest::newRow("wine64") << "/usr/lib/wine/wine64" << true;
        QTest::newRow("wine-preloader") << "/usr/lib/wine/wine-preloader" << true;
        QTest::newRow("wine64-preloader") << "/opt/wine-stable/bin/wine64-preloader" << true;
        QTest::newRow("loader replaced by an update")
            << "/usr/lib/wine/wine64-preloader (deleted)" << true;
        QTest::newRow("notwine") << "/tmp/notwine" << false;
        QTest::newRow("winetricks") << "/usr/bin/winetricks" << false;
        QTest::newRow("mywine64") << "/opt/mywine64" << false;
        QTest::newRow("Wine") << "/usr/bin/Wine" << false;
        QTest::newRow("native game replaced") << game + QStringLiteral(" (deleted)") << true;
    }
    void listProcesses_loaderNamesAndDeletedFiles() {
        QFETCH(QString, exe);
        QFETCH(bool, runsGame);
        const QString proc =
            m_root + QStringLiteral("/loader-") + QLatin1String(QTest::currentDataTag());
        const QString game = m_prefix + QStringLiteral("/drive_c/Games/LFS/LFS.exe");
        // The game as the first argument: what a loader runs, and nothing to any other.
        const QString started = QString(exe).remove(QLatin1String(" (deleted)"));
        FakeProcess(proc + QStringLiteral("/400"), exe,
                    QFile::encodeName(started) + '\0' + QFile::encodeName(game) + '\0');
        QCOMPARE(ListProcesses(proc), QStringList{runsGame ? game : exe});
        QCOMPARE(ProcessWatch(proc).isRunning(game), runsGame);
    }

    // The watch spares what it asked before; whatever changed between two calls, it must
    // list what a fresh reading of the folder lists.
    void processWatch_changeBetweenCalls_listsAsAFreshReading_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("pidHandedOut"); // the kernel's last pid moves on
        QTest::addColumn<bool>("gameRuns");
        QTest::newRow("pid taken over by a new process") << "takeOver" << true << false;
        QTest::newRow("program replaced itself, no pid handed out") << "exec" << false << true;
        QTest::newRow("Wine names its program later") << "wineNames" << false << true;
        QTest::newRow("new process") << "start" << true << true;
        QTest::newRow("process ended") << "end" << false << false;
    }
    void processWatch_changeBetweenCalls_listsAsAFreshReading() {
        QFETCH(QString, change);
        QFETCH(bool, pidHandedOut);
        QFETCH(bool, gameRuns);
        const QString proc = m_root + QStringLiteral("/watch-") + change;
        const auto process = [&](const QString& dir, const char* exe, const QByteArray& cmdline) {
            FakeProcess(dir, QLatin1String(exe), cmdline);
        };
        const QString game = m_prefix + QStringLiteral("/drive_c/Games/LFS/LFS.exe");
        FakeProcRoot(proc, "300");
        process(proc + QStringLiteral("/300"), nullptr, {}); // a kernel thread
        process(proc + QStringLiteral("/301"), "/usr/bin/dash", "sh\0");
        process(proc + QStringLiteral("/302"), "/usr/bin/wine64-preloader", {});

        ProcessWatch watch(proc);
        QCOMPARE(watch.list().size(), 2);
        if (change == QLatin1String("takeOver")) {
            // Made beside the old entry, so that the new one cannot get its inode.
            process(proc + QStringLiteral("/300.new"), "/usr/bin/top", "top\0");
            QVERIFY(QDir(proc + QStringLiteral("/300")).removeRecursively());
            QVERIFY(QDir(proc).rename(QStringLiteral("300.new"), QStringLiteral("300")));
        } else if (change == QLatin1String("exec")) {
            QVERIFY(QFile::remove(proc + QStringLiteral("/301/exe")));
            Link(game, proc + QStringLiteral("/301/exe"));
        } else if (change == QLatin1String("wineNames")) {
            WriteFile(proc + QStringLiteral("/302/cmdline"), "C:\\Games\\LFS\\LFS.exe\0");
            WriteFile(proc + QStringLiteral("/302/environ"),
                      "WINEPREFIX=" + QFile::encodeName(m_prefix) + '\0');
        } else if (change == QLatin1String("start")) {
            process(proc + QStringLiteral("/303"), qPrintable(game), {});
        } else {
            QVERIFY(QDir(proc + QStringLiteral("/301")).removeRecursively());
        }
        if (pidHandedOut)
            WriteFile(proc + QStringLiteral("/loadavg"), "0.00 0.01 0.05 1/91 303\n");

        QStringList listed = watch.list();
        QStringList fresh = ListProcesses(proc);
        listed.sort();
        fresh.sort();
        QCOMPARE(listed, fresh);
        QCOMPARE(IsProcessRunning(listed, game, true), gameRuns);
    }

    // While the game does not run, the watch reads the list only when something could have
    // started it; every way a start shows must still be seen at the next tick.
    void processWatch_isRunning_seesEveryStartAtTheNextTick_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("gameRuns");
        QTest::addColumn<bool>("reads");
        QTest::newRow("nothing happened") << "none" << false << false;
        QTest::newRow("program replaced itself with the game") << "exec" << true << true;
        QTest::newRow("Wine names the game") << "wineNames" << true << true;
        QTest::newRow("new process") << "start" << true << true;
        QTest::newRow("game file put in place anew") << "replace" << true << true;
        QTest::newRow("game ended") << "end" << false << true;
    }
    void processWatch_isRunning_seesEveryStartAtTheNextTick() {
        QFETCH(QString, change);
        QFETCH(bool, gameRuns);
        QFETCH(bool, reads);
        const QString proc = m_root + QStringLiteral("/gate-") + change;
        const QString game = m_prefix + QStringLiteral("/drive_c/Games/LFS/LFS.exe");
        WriteFile(game, "MZ");
        const auto process = [&](const QString& pid, const QString& exe,
                                 const QByteArray& cmdline) {
            FakeProcess(proc + u'/' + pid, exe, cmdline);
        };
        FakeProcRoot(proc, "302");
        process(QStringLiteral("301"), QStringLiteral("/usr/bin/dash"), "sh\0");
        process(QStringLiteral("302"), QStringLiteral("/usr/bin/wine64-preloader"), {});
        if (change == QLatin1String("end"))
            process(QStringLiteral("303"), game, {});
        // Every start of the game opens its file: the kernel for a program of its own, Wine
        // to load it.
        const auto open = [&] {
            QFile file(game);
            QVERIFY(file.open(QIODevice::ReadOnly));
        };

        ProcessWatch watch(proc);
        QCOMPARE(watch.isRunning(game), change == QLatin1String("end"));
        QCOMPARE(watch.readings(), 1);
        if (change == QLatin1String("exec")) {
            QVERIFY(QFile::remove(proc + QStringLiteral("/301/exe")));
            Link(game, proc + QStringLiteral("/301/exe"));
            open();
        } else if (change == QLatin1String("wineNames")) {
            WriteFile(proc + QStringLiteral("/302/cmdline"), "C:\\Games\\LFS\\LFS.exe\0");
            WriteFile(proc + QStringLiteral("/302/environ"),
                      "WINEPREFIX=" + QFile::encodeName(m_prefix) + '\0');
            open();
        } else if (change == QLatin1String("start")) {
            process(QStringLiteral("303"), game, {});
            WriteFile(proc + QStringLiteral("/loadavg"), "0.00 0.01 0.05 1/91 303\n");
        } else if (change == QLatin1String("replace")) {
            // A new copy over the old one; the watch on the old file hears of it only as
            // its removal, and the new one is not opened here.
            WriteFile(game + QStringLiteral(".new"), "MZ");
            QVERIFY(std::rename(QFile::encodeName(game + QStringLiteral(".new")).constData(),
                                QFile::encodeName(game).constData()) == 0);
            QVERIFY(QFile::remove(proc + QStringLiteral("/301/exe")));
            Link(game, proc + QStringLiteral("/301/exe"));
        } else if (change == QLatin1String("end")) {
            QVERIFY(QDir(proc + QStringLiteral("/303")).removeRecursively());
        }
        QCOMPARE(watch.isRunning(game), gameRuns);
        QCOMPARE(watch.readings(), reads ? 2 : 1);
    }

    void listProcesses_realProc_seesRunningCopyOnlyByItsPath() {
        QTemporaryDir dir;
        const QString root = QDir(dir.path()).canonicalPath();
        const QString game = root + QStringLiteral("/lfsgame");
        const QString otherCopy = root + QStringLiteral("/other/lfsgame");
        QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), game));
        QDir().mkpath(root + QStringLiteral("/other"));
        QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), otherCopy));

        QProcess running;
        running.start(game, {QStringLiteral("30")});
        QVERIFY(running.waitForStarted());
        const QStringList listed = ListProcesses();
        QVERIFY(IsProcessRunning(listed, game, true));
        QVERIFY(IsProcessRunning(listed, game.toUpper(), true));
        QVERIFY(!IsProcessRunning(listed, otherCopy, true));
        QVERIFY(!IsProcessRunning(listed, QStringLiteral("lfsgame"), true));
        QVERIFY(IsProcessRunning(listed, QStringLiteral("LFSGAME"), false));

        running.kill();
        QVERIFY(running.waitForFinished());
        QVERIFY(!IsProcessRunning(ListProcesses(), game, true));
    }

    void splitParameters_data() {
        QTest::addColumn<QString>("parameters");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("plain start") << QString() << QStringList();
        QTest::newRow("join") << "/join=Host" << QStringList{"/join=Host"};
        // No quoting: a blank in the host name splits it, as on the game's command line.
        QTest::newRow("host with a blank") << "/join=My Host" << QStringList{"/join=My", "Host"};
        QTest::newRow("empty password") << "/join=A /pass=" << QStringList{"/join=A", "/pass="};
        QTest::newRow("double blank") << "/join=A  B" << QStringList{"/join=A", "", "B"};
        QTest::newRow("trailing blank") << "/join=A " << QStringList{"/join=A", ""};
    }
    void splitParameters() {
        QFETCH(QString, parameters);
        QFETCH(QStringList, expected);
        const QStringList arguments = SplitParameters(parameters);
        QCOMPARE(arguments, expected);
        QCOMPARE(arguments.join(u' '), parameters);
    }

    void executeFile_realStart_gameGetsArgumentsAndItsFolder() {
        QTemporaryDir dir;
        const QString root = QDir(dir.path()).canonicalPath();
        QDir().mkpath(root + QStringLiteral("/LFS"));
        const FakeGame game = FakeGame::create(root + QStringLiteral("/LFS"));
        QtDesktop desktop;
        ExecuteFile(desktop, game.path, QStringLiteral("/join=My Host /pass=a'b\"c"));
        const auto run = game.recorded();
        QVERIFY(run);
        QCOMPARE(run->workingDirectory, root + QStringLiteral("/LFS"));
        QCOMPARE(run->arguments, (QStringList{"/join=My", "Host", "/pass=a'b\"c"}));
    }

    void executeFile_wait_returnsAfterTheProgramEnded() {
        QTemporaryDir dir;
        const FakeGame game = FakeGame::create(QDir(dir.path()).canonicalPath());
        FakeDesktop desktop;
        ProgramRun run(desktop);
        QSignalSpy ended(&run, &ProgramRun::finished);
        run.start(game.path, QStringLiteral("/join=x"));
        QVERIFY(run.isRunning());
        QVERIFY(ended.wait(10000));
        QCOMPARE(ended.count(), 1);
        QVERIFY(!run.isRunning());
        QVERIFY(QFileInfo::exists(game.outputPath));
        QCOMPARE(game.recorded(0)->arguments, QStringList{"/join=x"});
        QVERIFY(desktop.messages.isEmpty());
    }

    void executeFile_relativePath_startsByAbsolutePath() {
        QTemporaryDir dir;
        const QString root = QDir(dir.path()).canonicalPath();
        const FakeGame game = FakeGame::create(root);
        const QString oldCurrent = QDir::currentPath();
        QDir::setCurrent(root);
        FakeDesktop desktop;
        ExecuteFile(desktop, QStringLiteral("lfsgame"), QString());
        QDir::setCurrent(oldCurrent);
        QCOMPARE(desktop.starts.size(), 1);
        QCOMPARE(desktop.starts[0].program, game.path);
        QCOMPARE(desktop.starts[0].workingDirectory, root);
        QVERIFY(desktop.starts[0].arguments.isEmpty());
    }

    void executeFile_windowsProgram_goesThroughWine() {
        QTemporaryDir dir;
        const QString root = QDir(dir.path()).canonicalPath();
        const QString exe = root + QStringLiteral("/LFS/LFS.EXE");
        WriteFile(exe, "MZ\x90\0", true);
        const QString wine = root + QStringLiteral("/bin/wine");
        WriteFile(wine, "#!/bin/sh\n", true);
        PathGuard path(root + QStringLiteral("/bin"));
        FakeDesktop desktop;
        ExecuteFile(desktop, exe, QStringLiteral("/join=My  Host"));
        QCOMPARE(desktop.starts.size(), 1);
        QCOMPARE(desktop.starts[0].program, wine);
        // Through the starter, path and parameter string whole, in hex.
        const QString starter = FindWineStarter(QCoreApplication::applicationDirPath());
        QVERIFY(!starter.isEmpty());
        QCOMPARE(desktop.starts[0].arguments,
                 (QStringList{starter, QString::fromLatin1(QFile::encodeName(exe).toHex()),
                              QString::fromLatin1(QByteArray("/join=My  Host").toHex())}));
        QCOMPARE(desktop.starts[0].workingDirectory, root + QStringLiteral("/LFS"));
    }

    void executeFile_windowsProgramWithoutWine_saysSoAndStartsNothing() {
        QTemporaryDir dir;
        const QString exe = dir.path() + QStringLiteral("/LFS.exe");
        WriteFile(exe, "MZ\x90\0");
        QDir().mkpath(dir.path() + QStringLiteral("/empty"));
        PathGuard path(dir.path() + QStringLiteral("/empty"));
        FakeDesktop desktop;
        ExecuteFile(desktop, exe, QString());
        QVERIFY(desktop.starts.isEmpty());
        QVERIFY(desktop.urls.isEmpty());
        QCOMPARE(desktop.messages.size(), 1);
        QVERIFY(desktop.messages[0].contains(QLatin1String("Wine")));
        QVERIFY(desktop.messages[0].contains(exe));
    }

    void executeFile_nativeProgramNamedExe_startsNatively() {
        QTemporaryDir dir;
        const QString exe = dir.path() + QStringLiteral("/game.exe");
        QVERIFY(QFile::copy(QStringLiteral("/bin/true"), exe));
        PathGuard path(dir.path()); // no wine there
        FakeDesktop desktop;
        ExecuteFile(desktop, exe, QStringLiteral("/join=x"));
        QCOMPARE(desktop.starts.size(), 1);
        QCOMPARE(desktop.starts[0].program, QFileInfo(exe).absoluteFilePath());
        QCOMPARE(desktop.starts[0].arguments, QStringList{"/join=x"});
    }

    void executeFile_url_goesToTheDesktop() {
        FakeDesktop desktop;
        ExecuteFile(desktop, QStringLiteral("https://example.org/home"), QString());
        QCOMPARE(desktop.urls, QList<QUrl>{QUrl(QStringLiteral("https://example.org/home"))});
        QVERIFY(desktop.starts.isEmpty());
        QVERIFY(desktop.messages.isEmpty());

        FailingUrlDesktop failing;
        ExecuteFile(failing, QStringLiteral("https://example.org/home"), QString());
        QCOMPARE(failing.messages, QStringList{"No handler for this address."});
    }

    void executeFile_documentWithoutExecuteBit_opensWithItsHandler() {
        QTemporaryDir dir;
        const QString readme = dir.path() + QStringLiteral("/readme.txt");
        WriteFile(readme, "hello");
        FakeDesktop desktop;
        ExecuteFile(desktop, readme, QStringLiteral("/join=x"));
        QVERIFY(desktop.starts.isEmpty());
        QCOMPARE(desktop.urls, QList<QUrl>{QUrl::fromLocalFile(readme)});
    }

    void executeFile_failures_areShownAndNothingElseHappens() {
        QTemporaryDir dir;
        FakeDesktop missing;
        ExecuteFile(missing, dir.path() + QStringLiteral("/nothing"), QString());
        QCOMPARE(missing.messages.size(), 1);
        QVERIFY(missing.starts.isEmpty() && missing.urls.isEmpty());

        const FakeGame game = FakeGame::create(dir.path());
        FakeDesktop refused;
        refused.startError = QStringLiteral("Permission denied");
        ExecuteFile(refused, game.path, QString());
        QCOMPARE(refused.messages, QStringList{"Permission denied"});
    }

    void qtDesktop_startProgramFailure_givesTheSystemsText() {
        QtDesktop desktop;
        QVERIFY(
            !desktop.startProgram(QStringLiteral("/nonexistent/lfsgame"), {}, QString()).isEmpty());
        QTemporaryDir dir;
        const FakeGame game = FakeGame::create(dir.path());
        QCOMPARE(desktop.startProgram(game.path, {}, dir.path()), QString());
        QVERIFY(game.recorded());
    }

    void qtDesktop_boxes_lookAsTheProgramShowsThem() {
        const auto error = MakeMessageBox(QStringLiteral("<b>x</b>"), QMessageBox::Critical);
        QCOMPARE(error->windowTitle(), QStringLiteral("Pelmark II"));
        QCOMPARE(error->icon(), QMessageBox::Critical);
        QCOMPARE(error->textFormat(), Qt::PlainText);
        QCOMPARE(error->buttons().size(), 1);
        QCOMPARE(MakeMessageBox(QString(), QMessageBox::NoIcon)->icon(), QMessageBox::NoIcon);

        const auto input = MakeInputBox(QStringLiteral("Enter passwort for server: <i>Host</i>"),
                                        QStringLiteral("Password"));
        QCOMPARE(input->windowTitle(), QStringLiteral("Enter passwort for server: <i>Host</i>"));
        QCOMPARE(input->labelText(), QStringLiteral("Password"));
        const auto* field = input->findChild<QLineEdit*>();
        QVERIFY(field);
        QCOMPARE(field->maxLength(), 255);
        QCOMPARE(field->echoMode(), QLineEdit::Normal);
        QVERIFY(field->text().isEmpty());
        QStringList buttons;
        for (const QPushButton* b :
             input->findChild<QDialogButtonBox*>()->findChildren<QPushButton*>())
            buttons << b->text();
        buttons.sort();
        QCOMPARE(buttons, (QStringList{"Abbrechen", "OK"}));
        for (const QLabel* label : input->findChildren<QLabel*>())
            QCOMPARE(label->textFormat(), Qt::PlainText);
        // Room for the whole caption with the longest host name, in a bold title font.
        const QString longest = QStringLiteral("Enter passwort for server: ") + QString(32, 'W');
        const auto wide = MakeInputBox(longest, QStringLiteral("Password"));
        QFont bold = wide->font();
        bold.setBold(true);
        QVERIFY(wide->width() > QFontMetrics(bold).horizontalAdvance(longest) + 100);
        if (!qEnvironmentVariableIsEmpty("PELMARK_SHOTS")) {
            input->show();
            input->grab().save(qEnvironmentVariable("PELMARK_SHOTS") + "/inputbox.png");
            error->show();
            error->grab().save(qEnvironmentVariable("PELMARK_SHOTS") + "/errorbox.png");
        }
    }
};

QTEST_MAIN(TestLauncher)
#include "tst_launcher.moc"
