#include "FakeDesktop.h"
#include "GameSearch.h"
#include "ProgramSettings.h"
#include "uSettings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <thread>

#include <unistd.h>

namespace {

// A home of folders, files and links, all given relative to it.
struct PreparedHome {
    QTemporaryDir temp;
    QString root = temp.path() + QStringLiteral("/home");

    QString at(const QString& relative) const { return root + QLatin1Char('/') + relative; }
    void folder(const QString& relative) const { QDir().mkpath(at(relative)); }
    void file(const QString& relative) const {
        folder(QFileInfo(relative).path());
        QFile f(at(relative));
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot write fixture file");
    }
    // "link=target"
    void link(const QString& pair) const {
        const QString link = pair.section(QLatin1Char('='), 0, 0);
        folder(QFileInfo(link).path());
        if (!QFile::link(at(pair.section(QLatin1Char('='), 1)), at(link)))
            qFatal("cannot make fixture link");
    }
    GameSearchHome home(const QString& winePrefix) const {
        return {root, at(QStringLiteral(".local/share")),
                winePrefix.isEmpty() ? QString() : at(winePrefix)};
    }
};

} // namespace

class TestGameSearch : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void browseFolder_onPreparedHome_data();
    void browseFolder_onPreparedHome();
    void browse_opensInTheGamesFolder();
    void search_hangingFolder_answersEmptyAfterItsBound();
};

void TestGameSearch::browseFolder_onPreparedHome_data() {
    QTest::addColumn<QString>("winePrefix");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QStringList>("games");
    QTest::addColumn<QStringList>("links");
    QTest::addColumn<QString>("locked"); // made unreadable
    QTest::addColumn<int>("depth");
    QTest::addColumn<int>("milliseconds");
    QTest::addColumn<QString>("expected"); // a folder, "" for none

    const GameSearchLimits usual;
    auto row = [&](const char* name, const QString& winePrefix, const QStringList& folders,
                   const QStringList& games, const QString& expected) {
        QTest::newRow(name) << winePrefix << folders << games << QStringList() << QString()
                            << usual.depth << usual.milliseconds << expected;
    };
    // Found, in each place a front-end keeps its prefixes.
    row("~/.wine", {}, {}, {".wine/drive_c/Program Files (x86)/Live for Speed/LFS.exe"},
        ".wine/drive_c/Program Files (x86)/Live for Speed");
    row("$WINEPREFIX", "pfx", {}, {"pfx/drive_c/LFS/LFS.exe"}, "pfx/drive_c/LFS");
    row("winetricks", {}, {}, {".local/share/wineprefixes/racing/drive_c/LFS/LFS.exe"},
        ".local/share/wineprefixes/racing/drive_c/LFS");
    row("Bottles", {}, {}, {".local/share/bottles/bottles/Games/drive_c/LFS/LFS.exe"},
        ".local/share/bottles/bottles/Games/drive_c/LFS");
    row("Bottles, Flatpak", {}, {},
        {".var/app/com.usebottles.bottles/data/bottles/bottles/g/drive_c/LFS/LFS.exe"},
        ".var/app/com.usebottles.bottles/data/bottles/bottles/g/drive_c/LFS");
    row("Lutris", {}, {}, {"Games/live-for-speed/drive_c/LFS/LFS.exe"},
        "Games/live-for-speed/drive_c/LFS");
    row("PlayOnLinux", {}, {}, {".PlayOnLinux/wineprefix/LFS/drive_c/LFS/LFS.exe"},
        ".PlayOnLinux/wineprefix/LFS/drive_c/LFS");
    row("Proton, lower-case name", {}, {},
        {".steam/steam/steamapps/compatdata/9/pfx/drive_c/LFS/lfs.exe"},
        ".steam/steam/steamapps/compatdata/9/pfx/drive_c/LFS");
    row("Proton in the data folder", {}, {},
        {".local/share/Steam/steamapps/compatdata/9/pfx/drive_c/LFS/LFS.exe"},
        ".local/share/Steam/steamapps/compatdata/9/pfx/drive_c/LFS");
    row("deepest searched", {}, {}, {".wine/drive_c/users/me/Desktop/Games/LFS/LFS.exe"},
        ".wine/drive_c/users/me/Desktop/Games/LFS");
    // Not found: the browse opens in ~/.wine/drive_c when there is one.
    row("not found", {}, {".wine/drive_c/Program Files"}, {}, ".wine/drive_c");
    row("too deep", {}, {}, {".wine/drive_c/users/me/Desktop/Games/LFS/bin/LFS.exe"},
        ".wine/drive_c");
    row("only in Windows' own folder", {}, {}, {".wine/drive_c/windows/LFS.exe"}, ".wine/drive_c");
    row("no Wine at all", {}, {"Games/other"}, {}, "");
    row("a prefix without drive_c", "pfx", {"pfx/LFS"}, {"pfx/LFS/LFS.exe"}, "");
    // Several found: the user's own $WINEPREFIX, then plain Wine's, then the front-ends';
    // within a prefix the shallowest, then the first by name.
    row("$WINEPREFIX before ~/.wine", "pfx", {},
        {".wine/drive_c/LFS/LFS.exe", "pfx/drive_c/Games/Racing/LFS/LFS.exe"},
        "pfx/drive_c/Games/Racing/LFS");
    row("~/.wine before a front-end", {}, {},
        {".local/share/wineprefixes/a/drive_c/LFS.exe", ".wine/drive_c/Games/LFS/LFS.exe"},
        ".wine/drive_c/Games/LFS");
    row("shallowest, then first by name", {}, {},
        {".wine/drive_c/a/old/LFS.exe", ".wine/drive_c/Zeta/LFS.exe", ".wine/drive_c/beta/LFS.exe"},
        ".wine/drive_c/beta");

    // Wine links a prefix's Desktop to the user's.
    QTest::newRow("through a link")
        << QString() << QStringList{".wine/drive_c/users/me"} << QStringList{"Desktop/LFS/LFS.exe"}
        << QStringList{".wine/drive_c/users/me/Desktop=Desktop"} << QString() << usual.depth
        << usual.milliseconds << ".wine/drive_c/users/me/Desktop/LFS";
    // Followed blindly, the two links back up would take the whole time and the game in
    // the next prefix would never be reached.
    QTest::newRow("link loop") << QStringLiteral("loop") << QStringList()
                               << QStringList{".wine/drive_c/LFS/LFS.exe"}
                               << QStringList{"loop/drive_c/a=loop/drive_c",
                                              "loop/drive_c/b/up=loop/drive_c",
                                              "loop/drive_c/self=loop/drive_c/self"}
                               << QString() << 40 << 3000 << ".wine/drive_c/LFS";
    QTest::newRow("unreadable folder")
        << QString() << QStringList()
        << QStringList{".wine/drive_c/A/LFS.exe", ".wine/drive_c/B/LFS/LFS.exe"} << QStringList()
        << ".wine/drive_c/A" << usual.depth << usual.milliseconds << ".wine/drive_c/B/LFS";
    QTest::newRow("no time") << QString() << QStringList() << QStringList{".wine/drive_c/LFS.exe"}
                             << QStringList() << QString() << usual.depth << 0 << ".wine/drive_c";
}

void TestGameSearch::browseFolder_onPreparedHome() {
    QFETCH(QString, winePrefix);
    QFETCH(QStringList, folders);
    QFETCH(QStringList, games);
    QFETCH(QStringList, links);
    QFETCH(QString, locked);
    QFETCH(int, depth);
    QFETCH(int, milliseconds);
    QFETCH(QString, expected);
    if (!locked.isEmpty() && geteuid() == 0)
        QSKIP("root reads unreadable folders");

    PreparedHome h;
    for (const QString& folder : folders)
        h.folder(folder);
    for (const QString& game : games)
        h.file(game);
    for (const QString& link : links)
        h.link(link);
    if (!locked.isEmpty())
        QVERIFY(QFile::setPermissions(h.at(locked), {}));

    const QString found = GameBrowseFolder(h.home(winePrefix), {depth, milliseconds});
    if (!locked.isEmpty())
        QFile::setPermissions(h.at(locked), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(found, expected.isEmpty() ? QString() : h.at(expected));
}

// The Settings dialog's browse, with the session's home: the search runs on its own
// thread and the dialog opens where it found the game.
void TestGameSearch::browse_opensInTheGamesFolder() {
    PreparedHome h;
    h.file(QStringLiteral(".wine/drive_c/LFS/LFS.exe"));
    qputenv("HOME", QFile::encodeName(h.root));
    qunsetenv("XDG_DATA_HOME");
    qunsetenv("WINEPREFIX");

    ProgramSettings settings(h.temp.filePath(QStringLiteral("Pelmark2.config")));
    FakeDesktop desktop;
    desktop.nextFileName = h.at(QStringLiteral(".wine/drive_c/LFS/LFS.exe"));
    TfSettings dialog(settings, desktop);
    dialog.show();
    dialog.bBrowse->click();
    dialog.bBrowse->click(); // while the first search runs: no second dialog
    QTRY_COMPARE(desktop.fileDialogFolders, QStringList{h.at(QStringLiteral(".wine/drive_c/LFS"))});
    QCOMPARE(dialog.eLFSPath->text(), *desktop.nextFileName);
}

// A folder on a dead mount keeps the thread; the answer still comes, empty, shortly after
// the bound, the event loop running all the while, and the thread's late end reaches no one.
void TestGameSearch::search_hangingFolder_answersEmptyAfterItsBound() {
    const auto release = std::make_shared<std::atomic_bool>(false);
    const auto ended = std::make_shared<std::atomic_int>(0);
    auto hanging = [release, ended](const GameSearchHome&, const GameSearchLimits&) {
        while (!release->load())
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ++*ended;
        return QStringLiteral("/late");
    };
    const GameSearchLimits bound{5, 1000};
    GameSearch search(nullptr, hanging);
    QSignalSpy answers(&search, &GameSearch::finished);
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(50);
    QElapsedTimer clock;
    clock.start();
    search.start({}, bound);
    search.start({}, bound); // ignored: one search at a time
    QVERIFY(search.isRunning());
    QCOMPARE(answers.count(), 0);
    QVERIFY(answers.wait(5000));
    QVERIFY2(clock.elapsed() >= bound.milliseconds, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(answers.takeFirst().at(0).toString(), QString());
    QVERIFY(!search.isRunning());
    QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));

    auto gone = std::make_unique<GameSearch>(nullptr, hanging);
    gone->start({}, bound);
    gone.reset();
    release->store(true);
    QTRY_COMPARE(ended->load(), 2); // the first search's thread and the gone one's
    search.start({}, bound);
    QVERIFY(answers.wait(5000));
    QCOMPARE(answers.takeFirst().at(0).toString(), QStringLiteral("/late"));
    QCOMPARE(answers.count(), 0);
}

QTEST_MAIN(TestGameSearch)
#include "tst_gamesearch.moc"
