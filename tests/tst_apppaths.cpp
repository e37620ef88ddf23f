#include "AppPaths.h"
#include "PelmarkError.h"
#include "Tmpfs.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

void touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    f.open(QIODevice::WriteOnly);
}

// Every entry below root, relative to it, sorted.
QStringList entriesBelow(const QString& root) {
    QStringList found;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found << QDir(root).relativeFilePath(it.next());
    found.sort();
    return found;
}

} // namespace

class TestAppPaths : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startMode_followsTheExecutablesFolder_data() {
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("portable");
        QTest::newRow("data folder") << QStringList{"data"} << QStringList() << true;
        QTest::newRow("settings file only")
            << QStringList() << QStringList{"Pelmark2.config"} << true;
        QTest::newRow("empty folder") << QStringList() << QStringList() << false;
        QTest::newRow("another program's settings")
            << QStringList() << QStringList{"Other.config"} << false;
        QTest::newRow("a file named data") << QStringList() << QStringList{"data"} << false;
    }
    void startMode_followsTheExecutablesFolder() {
        QFETCH(QStringList, folders);
        QFETCH(QStringList, files);
        QFETCH(bool, portable);
        QTemporaryDir dir;
        for (const QString& folder : folders)
            QDir(dir.path()).mkpath(folder);
        for (const QString& file : files)
            touch(dir.filePath(file));
        const QString exe = dir.filePath(QStringLiteral("Pelmark2"));
        QCOMPARE(IsPortableStart(exe), portable);
        QCOMPARE(ResolveAppPaths(exe).installed, !portable);
    }

    // The portable paths are the ones the program has always used, and a start creates
    // nothing, not even a missing data or groups folder.
    void portable_pathsBesideTheExecutable_createsNothing() {
        QTemporaryDir dir;
        touch(dir.filePath(QStringLiteral("Pelmark2.config")));
        const QString root = dir.path() + QLatin1Char('/');
        const AppPaths paths = ResolveAppPaths(root + QStringLiteral("Pelmark2"));
        QVERIFY(!paths.installed);
        QCOMPARE(paths.exeDir, root);
        QCOMPARE(paths.dataDir, root + QStringLiteral("data/"));
        QCOMPARE(paths.groupsDir, root + QStringLiteral("data/groups/"));
        QCOMPARE(paths.configPath, root + QStringLiteral("Pelmark2.config"));
        QCOMPARE(paths.tracksPath, root + QStringLiteral("data/Tracks.data"));
        CreateUserFolders(paths);
        QCOMPARE(entriesBelow(dir.path()), QStringList{QStringLiteral("Pelmark2.config")});
    }

    void installed_tracksFromUserThenPrefixThenSystem_data() {
        QTest::addColumn<QStringList>("present"); // Tracks.data copies that exist
        QTest::addColumn<QString>("expected");
        const QString user = QStringLiteral("home/.local/share/pelmark2/data/Tracks.data");
        const QString prefix = QStringLiteral("usr/share/pelmark2/Tracks.data");
        const QString system = QStringLiteral("sys/pelmark2/Tracks.data");
        QTest::newRow("user's copy wins") << QStringList{user, prefix, system} << user;
        QTest::newRow("prefix share") << QStringList{prefix, system} << prefix;
        QTest::newRow("system data folder") << QStringList{system} << system;
        QTest::newRow("none: the prefix share") << QStringList() << prefix;
    }
    void installed_tracksFromUserThenPrefixThenSystem() {
        QFETCH(QStringList, present);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString root = dir.path() + QLatin1Char('/');
        for (const QString& file : present)
            touch(root + file);
        const UserFolders user{root + QStringLiteral("home"),
                               root + QStringLiteral("home/.config"),
                               root + QStringLiteral("home/.local/share"),
                               {root + QStringLiteral("sys")}};
        const AppPaths paths = InstalledPaths(root + QStringLiteral("usr/bin/Pelmark2"), user);
        QVERIFY(paths.installed);
        QCOMPARE(paths.configPath, root + QStringLiteral("home/.config/pelmark2/Pelmark2.config"));
        QCOMPARE(paths.dataDir, root + QStringLiteral("home/.local/share/pelmark2/data/"));
        QCOMPARE(paths.groupsDir, paths.dataDir + QStringLiteral("groups/"));
        QCOMPARE(paths.tracksPath, root + expected);
    }

    // Installed: exactly the per-user folders appear; without a usable home nothing is
    // made anywhere and the error says why.
    void installed_createUserFolders_data() {
        QTest::addColumn<QString>("home"); // relative to the temporary root; "/" for none
        QTest::addColumn<bool>("homeExists");
        QTest::addColumn<QString>("error");
        QTest::newRow("fresh home") << "home" << true << QString();
        QTest::newRow("missing home") << "gone" << false
                                      << "Der persönliche Ordner %1/gone existiert nicht; "
                                         "Einstellungen und Gruppen können nicht gespeichert "
                                         "werden";
        QTest::newRow("no home") << "/" << false
                                 << "Kein persönlicher Ordner (HOME) angegeben; Einstellungen "
                                    "und Gruppen können nicht gespeichert werden";
    }
    void installed_createUserFolders() {
        QFETCH(QString, home);
        QFETCH(bool, homeExists);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString root = dir.path();
        const QString homePath = home == QLatin1String("/") ? home : root + QLatin1Char('/') + home;
        if (homeExists)
            QDir().mkpath(homePath);
        const QString base =
            home == QLatin1String("/") ? root + QStringLiteral("/nohome") : homePath;
        const AppPaths paths = InstalledPaths(root + QStringLiteral("/usr/bin/Pelmark2"),
                                              {homePath,
                                               base + QStringLiteral("/.config"),
                                               base + QStringLiteral("/.local/share"),
                                               {}});
        QString thrown;
        try {
            CreateUserFolders(paths);
            CreateUserFolders(paths); // a second start finds them
        } catch (const PelmarkError& e) {
            thrown = e.message();
        }
        QCOMPARE(thrown, error.contains(QLatin1String("%1")) ? error.arg(root) : error);
        const QStringList expected =
            homeExists ? QStringList{home,
                                     home + QStringLiteral("/.config"),
                                     home + QStringLiteral("/.config/pelmark2"),
                                     home + QStringLiteral("/.local"),
                                     home + QStringLiteral("/.local/share"),
                                     home + QStringLiteral("/.local/share/pelmark2"),
                                     home + QStringLiteral("/.local/share/pelmark2/data"),
                                     home + QStringLiteral("/.local/share/pelmark2/data/groups")}
                       : QStringList();
        QCOMPARE(entriesBelow(root), expected);
    }

    void installed_readOnlyHome_reportsTheFolder() {
        QTemporaryDir dir;
        const QString home = dir.filePath(QStringLiteral("home"));
        QDir().mkpath(home);
        Tmpfs fs(home, "64k");
        if (!fs.mounted() || !fs.makeReadOnly())
            QSKIP("needs the right to mount a small file system");
        const AppPaths paths = InstalledPaths(
            dir.filePath(QStringLiteral("bin/Pelmark2")),
            {home, home + QStringLiteral("/.config"), home + QStringLiteral("/.local/share"), {}});
        QString thrown;
        try {
            CreateUserFolders(paths);
        } catch (const PelmarkError& e) {
            thrown = e.message();
        }
        QCOMPARE(thrown, QStringLiteral("Der Ordner %1/.config/pelmark2 kann nicht angelegt "
                                        "werden; Einstellungen und Gruppen können nicht "
                                        "gespeichert werden")
                             .arg(home));
        QCOMPARE(entriesBelow(home), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestAppPaths)
#include "tst_apppaths.moc"
