#include "Launcher.h"
#include "PelmarkError.h"
#include "ProcessList.h"
#include "RosterFixture.h"
#include "RosterModel.h"
#include "tst_launcher_fakegame.h"

#include <QProcess>
#include <QtTest>

using namespace RosterFixture;

namespace {

const QString NotFound = QStringLiteral("LFS.exe not found. Please check settings!");

// Friends: Al (racing as "alex") and Bob (offline), in the all-mates view.
struct JoinWorld {
    Roster roster;
    QTemporaryDir gameDir;
    FakeGame game = FakeGame::create(gameDir.path());
    QString lfsPath = game.path;
    Launcher launcher{roster.desktop, roster.hosts, [this] { return lfsPath; }};

    explicit JoinWorld(const HostList& hosts) {
        roster.showAllMates(true);
        roster.group(QStringLiteral("Friends"), {Mate("alex", "Al"), Mate("bobby", "Bob")});
        roster.hosts = hosts;
        roster.tree->RebuildRoster();
    }
    // Join mate as the main window hands the chosen node's host over: the sighting of
    // the node's entry.
    void joinMate(bool alwaysAskPassword) {
        if (!roster.tree->rememberedMate())
            return;
        const QModelIndex node = roster.tree->rememberedIndex();
        const std::optional<MateSighting> seen =
            roster.sightings.current().find({node.data(RosterModel::GroupRole).toString(),
                                             node.data(RosterModel::LfsNameRole).toByteArray()});
        launcher.JoinMate(seen ? seen->host : QByteArray(), alwaysAskPassword);
    }
    void chooseAl() { roster.chooseMate(QStringLiteral("Friends"), QStringLiteral("Al")); }
    FakeDesktop& desktop() { return roster.desktop; }
    QStringList startedParameters() const {
        QStringList parameters;
        for (const FakeDesktop::Start& s : roster.desktop.starts)
            parameters << s.arguments.join(u' ');
        return parameters;
    }
};

} // namespace

class TestLauncherJoin : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startLFS_realGame_startsWithoutArgumentsInItsFolder() {
        JoinWorld world({});
        world.desktop().reallyStart = true;
        world.launcher.StartLFS();
        const auto run = world.game.recorded();
        QVERIFY(run);
        QVERIFY(run->arguments.isEmpty());
        QCOMPARE(run->workingDirectory, QDir(world.gameDir.path()).canonicalPath());
        QVERIFY(world.desktop().messages.isEmpty());
    }

    void joinServer_hostWithBlank_reachesGameUnquoted() {
        JoinWorld world({Host("My Host", {"alex"})});
        world.desktop().reallyStart = true;
        world.launcher.JoinServer(QStringLiteral("My Host"), false);
        const auto run = world.game.recorded();
        QVERIFY(run);
        // Not quoted: the game sees two arguments whose join is the command line.
        QCOMPARE(run->arguments, (QStringList{"/join=My", "Host"}));
        QCOMPARE(run->workingDirectory, QDir(world.gameDir.path()).canonicalPath());
    }

    void joinMate_realGame_passesHostAndPassword() {
        JoinWorld world({Host("Mate Host", {"x", " alex "}, 2, true)});
        world.desktop().reallyStart = true;
        world.desktop().answers.enqueue(QStringLiteral("s3cret"));
        world.chooseAl();
        world.joinMate(false);
        const auto run = world.game.recorded();
        QVERIFY(run);
        QCOMPARE(run->arguments, (QStringList{"/join=Mate", "Host", "/pass=s3cret"}));
    }

    void join_passwordPrompt_data() {
        QTest::addColumn<bool>("fromTree");
        QTest::addColumn<bool>("alwaysAsk");
        QTest::addColumn<bool>("hostIsPrivate");
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<QStringList>("started");
        QTest::addColumn<int>("prompts");
        QTest::addColumn<int>("beeps");
        const std::optional<QString> cancel;
        const std::optional<QString> empty = QString();
        const std::optional<QString> secret = QStringLiteral("pw");
        for (const bool fromTree : {true, false}) {
            const char* source = fromTree ? "mate" : "server";
            const auto row = [&](const char* what) -> QTestData& {
                return QTest::addRow("%s: %s", source, what) << fromTree;
            };
            row("public host, no prompt")
                << false << false << cancel << QStringList{"/join=My Host"} << 0 << 0;
            row("private host, empty entry")
                << false << true << empty << QStringList{"/join=My Host /pass="} << 1 << 0;
            row("private host, cancelled beeps")
                << false << true << cancel << QStringList() << 1 << 1;
            row("password command on a public host")
                << true << false << secret << QStringList{"/join=My Host /pass=pw"} << 1 << 0;
            row("password command cancelled is silent")
                << true << true << cancel << QStringList() << 1 << 0;
        }
    }
    void join_passwordPrompt() {
        QFETCH(bool, fromTree);
        QFETCH(bool, alwaysAsk);
        QFETCH(bool, hostIsPrivate);
        QFETCH(std::optional<QString>, answer);
        QFETCH(QStringList, started);
        QFETCH(int, prompts);
        QFETCH(int, beeps);

        JoinWorld world({Host("My Host", {"alex"}, 2, hostIsPrivate)});
        if (answer)
            world.desktop().answers.enqueue(answer);
        if (fromTree) {
            world.chooseAl();
            world.joinMate(alwaysAsk);
        } else {
            world.launcher.JoinServer(QStringLiteral("My Host"), alwaysAsk);
        }
        QCOMPARE(world.startedParameters(), started);
        QCOMPARE(world.desktop().inputs.size(), prompts);
        for (const FakeDesktop::Input& input : world.desktop().inputs) {
            QCOMPARE(input.caption, QStringLiteral("Enter passwort for server: My Host"));
            QCOMPARE(input.prompt, QStringLiteral("Password"));
        }
        QCOMPARE(world.desktop().beeps, beeps);
        for (const FakeDesktop::Start& s : world.desktop().starts) {
            QCOMPARE(s.program, world.game.path);
            QCOMPARE(s.workingDirectory, world.gameDir.path());
        }
        QVERIFY(world.desktop().messages.isEmpty());
    }

    void joinServer_noRowSelected_beeps() {
        JoinWorld world({Host("My Host", {"alex"})});
        world.launcher.JoinServer(std::nullopt, false);
        world.launcher.JoinServer(std::nullopt, true);
        QCOMPARE(world.desktop().beeps, 2);
        QVERIFY(world.desktop().inputs.isEmpty());
        QVERIFY(world.desktop().starts.isEmpty());
    }

    void joinMate_nothingToJoin_doesNothing_data() {
        QTest::addColumn<QString>("choice"); // "group", "offline" or "" (nothing chosen)
        QTest::addColumn<bool>("alwaysAsk");
        for (const bool ask : {false, true}) {
            QTest::addRow("group node%s", ask ? ", password" : "") << "group" << ask;
            QTest::addRow("offline mate%s", ask ? ", password" : "") << "offline" << ask;
            QTest::addRow("first node by default%s", ask ? ", password" : "") << "" << ask;
        }
    }
    void joinMate_nothingToJoin_doesNothing() {
        QFETCH(QString, choice);
        QFETCH(bool, alwaysAsk);
        JoinWorld world({Host("My Host", {"alex"}, 2, true)});
        if (choice == QLatin1String("group"))
            world.roster.choose(world.roster.groupNode(QStringLiteral("Friends")));
        else if (choice == QLatin1String("offline"))
            world.roster.chooseMate(QStringLiteral("Friends"), QStringLiteral("Bob"));
        world.joinMate(alwaysAsk);
        QVERIFY(world.desktop().starts.isEmpty());
        QVERIFY(world.desktop().inputs.isEmpty());
        QCOMPARE(world.desktop().beeps, 0);
        QVERIFY(world.desktop().messages.isEmpty());
    }

    void joinMate_emptyTree_doesNothing() {
        JoinWorld world({});
        QVERIFY(QFile::remove(world.roster.path(QStringLiteral("Friends"))));
        world.roster.tree->RebuildRoster();
        world.joinMate(false);
        QVERIFY(world.desktop().starts.isEmpty());
    }

    // The chosen mate left the file while his host still lists him: no other node stands
    // in for him.
    void joinMate_chosenMateGoneInARebuild_joinsNothing() {
        JoinWorld world({Host("My Host", {"alex"})});
        world.chooseAl();
        world.roster.group(QStringLiteral("Friends"), {Mate("bobby", "Bob")});
        world.roster.tree->RebuildRoster();
        QVERIFY(world.roster.tree->chosenGone());
        world.joinMate(false);
        QVERIFY(world.desktop().starts.isEmpty());
    }

    void join_twoHostsOfOneName_firstDecides_data() {
        QTest::addColumn<bool>("firstPrivate");
        QTest::newRow("first private") << true;
        QTest::newRow("first public") << false;
    }
    void join_twoHostsOfOneName_firstDecides() {
        QFETCH(bool, firstPrivate);
        JoinWorld world(
            {Host("Twin", {}, 2, firstPrivate), Host("Twin", {"alex"}, 2, !firstPrivate)});
        world.desktop().answers.enqueue(QStringLiteral("pw"));
        world.launcher.JoinServer(QStringLiteral("Twin"), false);
        QCOMPARE(world.desktop().inputs.size(), firstPrivate ? 1 : 0);
        QCOMPARE(world.startedParameters(),
                 QStringList{firstPrivate ? "/join=Twin /pass=pw" : "/join=Twin"});
    }

    void join_hostGoneAfterRefresh_joinsWithoutPassword() {
        JoinWorld world({});
        world.launcher.JoinServer(QStringLiteral("Gone"), false);
        QCOMPARE(world.startedParameters(), QStringList{"/join=Gone"});
    }

    void join_singleByteHostName_keepsItsCharacters() {
        JoinWorld world({Host("Caf\xe9 \xa7", {"alex"}, 2, true)});
        world.desktop().answers.enqueue(QStringLiteral("p\u00e4\u4e2d"));
        world.chooseAl();
        world.joinMate(false);
        QCOMPARE(world.desktop().inputs.value(0).caption,
                 QStringLiteral("Enter passwort for server: Caf\u00e9 \u00a7"));
        // A password character beyond single bytes cannot reach the game; it becomes '?'.
        QCOMPARE(world.startedParameters(), QStringList{"/join=Caf\u00e9 \u00a7 /pass=p\u00e4?"});
    }

    void launchLFS_noGameFile_saysSoAndStartsNothing_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("empty") << QString();
        QTest::newRow("missing") << "/nonexistent/LFS.exe";
        QTest::newRow("folder") << QDir::tempPath();
    }
    void launchLFS_noGameFile_saysSoAndStartsNothing() {
        QFETCH(QString, path);
        JoinWorld world({Host("My Host", {"alex"})});
        world.lfsPath = path;
        world.launcher.StartLFS();
        world.launcher.JoinServer(QStringLiteral("My Host"), false);
        QCOMPARE(world.desktop().messages, (QStringList{NotFound, NotFound}));
        QVERIFY(world.desktop().starts.isEmpty());
        QVERIFY(world.desktop().urls.isEmpty());
    }

    void isGameRunning_realProcessList_pathInOtherCase() {
        QTemporaryDir dir;
        const QString root = QDir(dir.path()).canonicalPath();
        const QString game = root + QStringLiteral("/lfsgame");
        QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), game));
        JoinWorld world({});
        world.desktop().processLister = [] { return ListProcesses(); };
        world.lfsPath = game.toUpper();
        QVERIFY(!world.launcher.IsGameRunning());

        QProcess running;
        running.start(game, {QStringLiteral("30")});
        QVERIFY(running.waitForStarted());
        QVERIFY(world.launcher.IsGameRunning());
        running.kill();
        QVERIFY(running.waitForFinished());
        QVERIFY(!world.launcher.IsGameRunning());
    }

    void isGameRunning_emptyPath_isFalse() {
        JoinWorld world({});
        world.desktop().processes = QStringList{QString()};
        world.lfsPath.clear();
        QVERIFY(!world.launcher.IsGameRunning());
    }
};

QTEST_MAIN(TestLauncherJoin)
#include "tst_launcher_join.moc"
