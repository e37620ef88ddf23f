#include "EmptyListNote.h"
#include "FreshnessLabel.h"
#include "IniFile.h"
#include "MainCommands.h"
#include "MainWindowFixture.h"
#include "MatePresence.h"
#include "MateRecord.h"
#include "MateTray.h"
#include "MateTree.h"
#include "ServerFinder.h"
#include "ServerListView.h"
#include "TrackNaming.h"
#include "uJoinHost.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

namespace {
QString accessibleText(QObject* object) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(QAccessible::Name) : QStringLiteral("<no interface>");
}
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    // rx7 races on One as a mate of two groups (Captain in Friends, Skipper in Work), zed
    // on Two as a mate in Work; nobody's mate races on Three.
    static void writeMatesInTwoGroups(MainWindowFixture& f) {
        f.writeFile(QStringLiteral("data/groups/Friends.profile"),
                    MateRecord::make("rx7", "Captain", "", "").bytes());
        f.writeFile(QStringLiteral("data/groups/Work.profile"),
                    MateRecord::make("rx7", "Skipper", "", "").bytes() +
                        MateRecord::make("zed", "", "", "").bytes());
        f.hostsReply = PackHosts({FakeHost("One").with({"x", "rx7"}), FakeHost("Two").with({"zed"}),
                                  FakeHost("Three").with({"y"})});
    }

    // A game the fake desktop "starts": the launcher wants the configured file to exist.
    static void writeGamePath(MainWindowFixture& f) {
        f.writeFile(QStringLiteral("lfs"), "#!/bin/sh\n");
        QFile(f.dir.filePath(QStringLiteral("lfs")))
            .setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        f.writeFile(QStringLiteral("Pelmark2.config"),
                    f.readFile(QStringLiteral("Pelmark2.config")) + "[SETTINGS]\nLFSPath=" +
                        f.dir.filePath(QStringLiteral("lfs")).toLatin1() + "\n");
    }

    static QStringList menuTexts(const QMenu& menu) {
        QStringList texts;
        for (const QAction* action : menu.actions())
            if (!action->isSeparator())
                texts << action->text();
        return texts;
    }

    static QByteArray threeHosts() {
        return PackHosts({FakeHost("Empty S2").limit(24),
                          FakeHost("Busy S2").limit(24).with({"a", "b", "c", "d", "e"}),
                          FakeHost("Old type").version(0).with({"x", "y", "z"})});
    }

private Q_SLOTS:
    void refresh_listsOnlyS1AndS2HostsWithAPlayerLimit() {
        MainWindowFixture f;
        f.hostsReply = threeHosts() + PackHost(FakeHost("No limit").version(1).limit(0));
        TfMain& w = f.start();
        QVERIFY(f.desktop.errors.isEmpty());
        QCOMPARE(w.lvServer->rowCount(), 2);
        QCOMPARE(f.column(0), (QStringList{"Busy S2", "Empty S2"}));
        QCOMPARE(w.lvServer->rowImage(0), 1);
        QCOMPARE(w.lvServer->rowImage(1), 0);
        QCOMPARE(w.lSvrCount->text(), QStringLiteral("Servers online: 2"));
        QCOMPARE(w.lOccupied->text(), QStringLiteral("Servers occupied: 1"));
        QCOMPARE(w.lPlayersOnline->text(), QStringLiteral("Players online: 5"));
        QCOMPARE(f.column(5), (QStringList{"05/24", "00/24"}));
        QCOMPARE(w.refresh().hosts().size(), 4);
    }

    void rowTexts() {
        MainWindowFixture f;
        f.hostsReply = PackHost(FakeHost("^1Red <b>Host</b>")
                                    .version(1)
                                    .at(0, 1, 0)
                                    .limit(12)
                                    .cars(3)
                                    .withRules(43)
                                    .withLaps(9)
                                    .quali(30));
        TfMain& w = f.start();
        QCOMPARE(w.lvServer->rowCount(), 1);
        QStringList texts;
        for (int c = 0; c < 8; ++c)
            texts << w.lvServer->rowText(0, c);
        QCOMPARE(texts, (QStringList{"Red <b>Host</b>", "S1", "Blackwood GP Track", "VSPm",
                                     "XFG,XRG", "00/12", "9", "30"}));
    }

    void columnClicks_sortAndSaveAtOnce() {
        MainWindowFixture f;
        f.hostsReply =
            PackHosts({FakeHost("a").withLaps(9).with({"r1"}), FakeHost("b").withLaps(10),
                       FakeHost("c").withLaps(100).with({"r1", "r2"})});
        TfMain& w = f.start();
        const IniFile config(f.configPath());
        auto sortState = [&] {
            return QPair<int, int>(config.readInteger("SORT", "ColumnIndex", -1),
                                   config.readInteger("SORT", "SortDirection", -1));
        };
        w.lvServerColumnClick(5);
        QCOMPARE(sortState(), (QPair<int, int>(5, 0)));
        QCOMPARE(f.column(0), (QStringList{"b", "a", "c"}));
        w.lvServerColumnClick(5);
        QCOMPARE(sortState(), (QPair<int, int>(5, 1)));
        QCOMPARE(f.column(0), (QStringList{"c", "a", "b"}));
        w.lvServerColumnClick(6);
        QCOMPARE(sortState(), (QPair<int, int>(6, 0)));
        QCOMPARE(f.column(6), (QStringList{"10", "100", "9"}));
    }

    void nameSortIsCaseBlindAndStable() {
        MainWindowFixture f;
        f.hostsReply = PackHosts({FakeHost("alpha"), FakeHost("Beta"), FakeHost("ALPHA")});
        TfMain& w = f.start();
        QCOMPARE(f.column(0), (QStringList{"alpha", "ALPHA", "Beta"}));
        w.lvServerColumnClick(0); // descending now
        QCOMPARE(f.column(0).first(), QStringLiteral("Beta"));
    }

    void storedSortStateIsUsedAtStart_data() {
        QTest::addColumn<QByteArray>("sort");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("track descending")
            << QByteArray("[SORT]\nColumnIndex=2\nSortDirection=7\n")
            << QStringList{"b", "c", "a"}; // n/a after Blackwood; equal rows keep their order
        QTest::newRow("column out of range sorts by name")
            << QByteArray("[SORT]\nColumnIndex=42\n") << QStringList{"a", "b", "c"};
    }
    void storedSortStateIsUsedAtStart() {
        QFETCH(QByteArray, sort);
        QFETCH(QStringList, order);
        MainWindowFixture f(sort);
        f.hostsReply = PackHosts(
            {FakeHost("b").at(9, 9, 9), FakeHost("a").at(0, 1, 0), FakeHost("c").at(5, 5, 5)});
        f.start();
        QCOMPARE(f.column(0), order);
    }

    // A refill puts its rows in order itself; the order must be the one the list's own
    // stable sort gives the rows in host-list order, ties included, both directions.
    void refillOrderIsTheListsOwnSortOrder_data() {
        QTest::addColumn<QByteArray>("sort");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("order");
        QTest::newRow("Ver ascending") << QByteArray("[SORT]\nColumnIndex=1\n") << 1 << 0;
        QTest::newRow("Ver descending")
            << QByteArray("[SORT]\nColumnIndex=1\nSortDirection=1\n") << 1 << 1;
        QTest::newRow("Laps descending")
            << QByteArray("[SORT]\nColumnIndex=6\nSortDirection=1\n") << 6 << 1;
    }
    void refillOrderIsTheListsOwnSortOrder() {
        QFETCH(QByteArray, sort);
        QFETCH(int, column);
        QFETCH(int, order);
        MainWindowFixture f(sort);
        QList<FakeHost> hosts;
        for (int i = 0; i < 12; ++i)
            hosts << FakeHost("h" + QByteArray::number(i))
                         .version(i % 3 ? 2 : 1)
                         .withLaps(quint8(i % 4 * 5));
        f.hostsReply = PackHosts(hosts);
        f.start();
        // A stable sort whose comparison swaps its operands for descending order.
        QList<QStringList> reference;
        for (const HostRecord& h : f.window->refresh().hosts())
            reference << ServerRowTexts(h, TrackTable());
        std::stable_sort(reference.begin(), reference.end(),
                         [&](const QStringList& a, const QStringList& b) {
                             return order == Qt::AscendingOrder
                                        ? CompareCaseBlind(a.at(column), b.at(column)) < 0
                                        : CompareCaseBlind(b.at(column), a.at(column)) < 0;
                         });
        QStringList expected;
        for (const QStringList& row : std::as_const(reference))
            expected << row.at(0);
        QCOMPARE(f.column(0), expected);
    }

    // Rows share the texts of columns whose bytes repeat; a host that differs from the
    // one before it in a single field must still get its own texts in every column.
    void rowsThatShareTextsStillShowTheirOwn() {
        MainWindowFixture f;
        const auto base = [](const char* name) {
            return FakeHost(name).version(2).at(0, 1, 0).cars(3).withRules(1).quali(2);
        };
        f.hostsReply = PackHosts(
            {base("a01"), base("a02"), base("a03").version(1), base("a04").at(0, 1, 1),
             base("a05").at(1, 1, 0), base("a06").cars(0x3FFFF), base("a07").cars(3 << 16),
             base("a08").withRules(0x41), base("a09").limit(8), base("a10").with({"x", "y"}),
             base("a11").withLaps(7), base("a12").quali(7), base("a13").withLaps(2).quali(5)});
        TfMain& w = f.start();
        const TrackTable tracks = TrackTable::load(w.dataDir + QStringLiteral("Tracks.data"));
        QList<QStringList> expected;
        for (const HostRecord& h : w.refresh().hosts())
            expected << ServerRowTexts(h, tracks);
        QCOMPARE(w.lvServer->rowCount(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            for (int c = 0; c < ServerListModel::ColumnCount; ++c)
                QCOMPARE(w.lvServer->rowText(i, c), expected.at(i).at(c));
        }
    }

    void selectionSurvivesARefreshThatMovesIt() {
        MainWindowFixture f;
        f.hostsReply = PackHosts({FakeHost("Aaa"), FakeHost("Mmm"), FakeHost("Zzz")});
        TfMain& w = f.start();
        w.lvServer->selectRow(2);
        f.hostsReply =
            PackHosts({FakeHost("Bbb"), FakeHost("ZZZ"), FakeHost("Ccc"), FakeHost("Yyy")});
        w.lvServerColumnClick(0); // descending: ZZZ is the first row
        Refresh(w);
        QCOMPARE(w.lvServer->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(w.lvServer->selectedCaption(), QStringLiteral("ZZZ"));
        QCOMPARE(w.lvServer->selectedRow(), 0);

        f.hostsReply = PackHost(FakeHost("Other"));
        Refresh(w);
        QCOMPARE(w.lvServer->selectedRow(), -1);
    }

    void refusalAndTruncationKeepTheRowsAndTheTickGoesOn_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("refusal") << QByteArray("Sorry, can't answer now");
        QTest::newRow("truncated") << PackHost(FakeHost("x").with({"a", "b"})).chopped(5);
    }
    void refusalAndTruncationKeepTheRowsAndTheTickGoesOn() {
        QFETCH(QByteArray, reply);
        MainWindowFixture f;
        f.hostsReply = threeHosts();
        TfMain& w = f.start();
        w.lMateInfo->setText(QStringLiteral("marker"));
        f.hostsReply = reply;
        Refresh(w);
        QCOMPARE(f.desktop.messages, QStringList{"Could not refresh."});
        QCOMPARE(w.lvServer->rowCount(), 2);
        QCOMPARE(w.lSvrCount->text(), QStringLiteral("Servers online: 2"));
        QCOMPARE(w.refresh().hosts().size(), 3);
        QCOMPARE(w.lMateInfo->text(), QStringLiteral("Online mates: 0/0")); // roster rebuilt
    }

    void noNetworkGivesOneErrorPerTickAndKeepsTheRows() {
        MainWindowFixture f;
        f.hostsReply = threeHosts();
        TfMain& w = f.start();
        f.serviceDown = true;
        Refresh(w);
        Refresh(w);
        QCOMPARE(f.desktop.errors.size(), 2);
        QCOMPARE(f.desktop.errors.first(), QStringLiteral("HTTP/1.1 503 Service Unavailable."));
        QCOMPARE(w.lvServer->rowCount(), 2);
        QCOMPARE(w.lOccupied->text(), QStringLiteral("Servers occupied: 1"));
    }

    // A box about the host list holds later refresh ticks off until it is closed; then
    // the next tick tries again. Boxes that a user finds after an hour away: one.
    void boxUp_laterTicksSkipUntilItIsClosed_data() {
        QTest::addColumn<bool>("refusal");
        QTest::newRow("error box") << false;
        QTest::newRow("message box") << true;
    }
    void boxUp_laterTicksSkipUntilItIsClosed() {
        QFETCH(bool, refusal);
        MainWindowFixture f;
        f.serviceDown = !refusal;
        f.hostsReply = "can't";
        int requestsWhileUp = -1;
        const auto ticksWhileUp = [&] {
            const auto before = f.service.requests().size();
            Refresh(*f.window);
            Refresh(*f.window);
            requestsWhileUp = int(f.service.requests().size() - before);
        };
        f.desktop.duringBox = ticksWhileUp; // the first refresh's box at start-up
        TfMain& w = f.start();
        QCOMPARE(requestsWhileUp, 0);
        const QStringList& boxes = refusal ? f.desktop.messages : f.desktop.errors;
        QCOMPARE(boxes.size(), 1);

        f.desktop.duringBox = ticksWhileUp; // a box of an automatic refresh
        requestsWhileUp = -1;
        Refresh(w);
        QCOMPARE(requestsWhileUp, 0);
        QCOMPARE(boxes.size(), 2);
        QVERIFY(!w.refresh().isWaiting());
        Refresh(w);
        QCOMPARE(boxes.size(), 3);
    }

    // Only the left button's double click acts, anywhere in the list or the tree.
    void doubleClicks_leftButtonOnlyAnywhere() {
        MainWindowFixture f("[SETTINGS]\nLFSPath=/games/lfs/LFS.exe\n");
        f.writeFile("data/groups/Friends.profile", MateRecord::make("Al", "", "", "").bytes());
        f.hostsReply = threeHosts();
        TfMain& w = f.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QWidget* list = w.lvServer->viewport();
        const QPoint onRow = w.lvServer->rowRect(0).center();
        const QPoint belowRows(onRow.x(), list->height() - 3);

        QTest::mouseDClick(list, Qt::RightButton, {}, onRow);
        QVERIFY(f.desktop.starts.isEmpty());
        QCOMPARE(f.desktop.beeps, 0);
        w.lvServer->clearSelection();
        QTest::mouseDClick(list, Qt::LeftButton, {}, belowRows);
        QCOMPARE(f.desktop.beeps, 1); // Join with no row selected
        w.lvServer->selectRow(0);
        QTest::mouseDClick(list, Qt::LeftButton, {}, belowRows);
        QCOMPARE(f.desktop.messages, QStringList{"LFS.exe not found. Please check settings!"});

        QWidget* tree = w.tvMates->viewport();
        // The remembered node names no node only in an empty tree.
        QVERIFY(QFile::remove(f.dir.filePath(QStringLiteral("data/groups/Friends.profile"))));
        w.mateTree().RebuildRoster();
        QTest::mouseDClick(tree, Qt::RightButton, {}, QPoint(5, tree->height() - 3));
        QVERIFY(f.desktop.errors.isEmpty());
        QTest::mouseDClick(tree, Qt::LeftButton, {}, QPoint(5, tree->height() - 3));
        QCOMPARE(f.desktop.errors, QStringList{"Ungültiger Index."});
    }

    void startWithoutSettingsFile_usesDefaultsAndWritesNothing() {
        MainWindowFixture f;
        QFile::remove(f.configPath());
        f.hostsReply = threeHosts();
        TfMain& w = f.create();
        w.defaultService = f.service.baseUrl(); // never the public service in a test
        StartUp(w);
        QVERIFY(f.desktop.errors.isEmpty());
        QCOMPARE(w.lvServer->rowCount(), 2);
        QCOMPARE(w.settings.lfsPath, QString());
        QCOMPARE(w.settings.interval, 70000u);
        QCOMPARE(w.settings.country, QStringLiteral("All countries"));
        QCOMPARE(w.settings.numHighlights, 20);
        QCOMPARE(w.config.sortColumn, 0);
        QVERIFY(!w.config.sortDescending);
        QVERIFY(!QFile::exists(f.configPath()));
        w.close();
        QVERIFY(!QFile::exists(f.configPath()));
    }

    // One box; the roster still comes from the files and the ticker still runs, so that
    // one failure at start does not outlive itself.
    void startWithServiceDown_oneBoxTreeAndTickerAllTheSame() {
        MainWindowFixture f;
        f.serviceDown = true;
        f.writeFile("data/groups/Friends.profile", MateRecord::make("Alex", "", "", "").bytes());
        TfMain& w = f.start();
        QCOMPARE(f.desktop.errors.size(), 1);
        QCOMPARE(w.lSvrCount->text(), QStringLiteral("lSvrCount"));
        QCOMPARE(w.tvMates->model()->rowCount(), 1);
        QCOMPARE(w.lMateInfo->text(), QStringLiteral("Online mates: 0/1"));
        QVERIFY(w.tScrollHighlights->isActive());
        QVERIFY(w.tAutoRefresh->isActive());

        f.serviceDown = false;
        f.hostsReply = threeHosts();
        Refresh(w);
        QCOMPARE(w.tvMates->model()->rowCount(), 1);
        QCOMPARE(w.lMateInfo->text(), QStringLiteral("Online mates: 0/1"));
        QVERIFY(w.tScrollHighlights->isActive());
    }

    void aTickWhileARefreshWaitsIsSkipped() {
        MainWindowFixture f;
        f.hostsReply = threeHosts();
        TfMain& w = f.start();
        f.service.setHandler([](const httplib::Request&, httplib::Response& res) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            res.set_content(PackHost(FakeHost("Late")).toStdString(), "application/octet-stream");
        });
        int requestsBefore = int(f.service.requests().size());
        QTimer::singleShot(50, [&] {
            QVERIFY(w.refresh().isWaiting());
            Refresh(w); // comes due meanwhile: skipped, not stacked
        });
        Refresh(w);
        QCOMPARE(int(f.service.requests().size()) - requestsBefore, 1);
        QCOMPARE(f.column(0), QStringList{"Late"});
        QVERIFY(f.desktop.errors.isEmpty());
    }

    void watchHoldsTheRefreshWhileTheGameRuns() {
        MainWindowFixture f("[SETTINGS]\nLFSPath=/games/lfs/LFS.exe\nInterval=5000\n");
        f.hostsReply = threeHosts();
        TfMain& w = f.start();
        QVERIFY(w.tAutoRefresh->isActive());
        f.desktop.processes = {"/usr/bin/bash", "/GAMES/LFS/lfs.EXE"};
        w.gameWatch().check();
        QVERIFY(!w.tAutoRefresh->isActive());
        QVERIFY(w.tCheckLFS->isActive());
        f.desktop.processes = {"/usr/bin/bash", "/other/copy/LFS.exe"};
        QTest::qWait(50);
        w.gameWatch().check();
        QVERIFY(w.tAutoRefresh->isActive());
        // A fresh period; a coarse timer may be set to fire up to 5 % early.
        QVERIFY(w.tAutoRefresh->remainingTime() > 4500);
    }

    void intervalZeroNeverFires() {
        MainWindowFixture f("[SETTINGS]\nInterval=0\n");
        f.hostsReply = threeHosts();
        TfMain& w = f.start();
        QVERIFY(!w.tAutoRefresh->isActive());
    }

    // Two mates of one nick in two groups, racing on two hosts: the rows, the counter, the
    // A word finds a host also by the nick or the group of a mate racing there, and keeps
    // it shown and selected through a refresh. Where the words find nothing, the list says
    // so, to a screen reader too, and "Clear filter" brings every row back.
    void filter_findsAMatesHostByNickOrGroup_andSaysWhenNothingMatches() {
        MainWindowFixture f;
        writeMatesInTwoGroups(f);
        TfMain& w = f.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QLineEdit* field = w.finder().eFilter;
        const std::pair<QString, QStringList> finds[] = {{"capt", {"One"}},
                                                         {"SKIPPER", {"One"}},
                                                         {"work", {"One", "Two"}},
                                                         {"friends one", {"One"}}};
        for (const auto& [words, hosts] : finds) {
            field->setText(words);
            QCOMPARE(f.column(0), hosts);
            QCOMPARE(w.finder().lShowing->text(),
                     QStringLiteral("Showing %1 of 3").arg(hosts.size()));
        }
        field->setText(QStringLiteral("captain"));
        w.lvServer->selectRow(0);
        QVERIFY(Refresh(w));
        QCOMPARE(w.lvServer->selectedCaption(), std::optional<QString>(QStringLiteral("One")));

        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(w.lvServer);
        QVERIFY(list);
        QTest::keyClicks(field, QStringLiteral(" <b>zed</b>"));
        QCOMPARE(w.lvServer->rowCount(), 0);
        QCOMPARE(list->text(QAccessible::Description),
                 QStringLiteral("No host matches \"captain <b>zed</b>\"\nClear filter"));
        QVERIFY(w.emptyListNote().textLabel()->isVisible());
        QCOMPARE(w.emptyListNote().textLabel()->textFormat(), Qt::PlainText);
        field->setText(QString(80, QLatin1Char('q')));
        QCOMPARE(w.emptyListNote().textLabel()->text(),
                 "No host matches \"" + QString(60, QLatin1Char('q')) + "...\"");

        QLabel* clear = w.emptyListNote().linkLabel();
        QCOMPARE(accessibleText(clear), QStringLiteral("Clear filter"));
        QTest::mouseClick(clear, Qt::LeftButton, {}, QPoint(8, clear->height() / 2));
        QCOMPARE(field->text(), QString());
        QCOMPARE(w.lvServer->rowCount(), 3);
        QVERIFY(!w.emptyListNote().panel()->isVisible());
        QCOMPARE(list->text(QAccessible::Description), w.finder().lFreshness->text());
        QCOMPARE(f.desktop.errors, QStringList());
    }

    // The tray counts the roster's entries as the window does (a racer in two groups is
    // two), in its words; the rows' menu says in which groups a racer is a mate already.
    void mateInTwoGroups_trayCountsAsTheWindow_rowMenuSaysAlreadyIn() {
        MainWindowFixture f;
        writeMatesInTwoGroups(f);
        TfMain& w = f.start();
        MateTray* tray = w.presence().tray();
        QCOMPARE(w.lMateInfo->text(), QStringLiteral("Online mates: 3/3"));
        QVERIFY2(tray->toolTip().endsWith("\n" + w.lMateInfo->text()), qPrintable(tray->toolTip()));
        QVERIFY(menuTexts(*tray->menu()).contains(w.lMateInfo->text()));

        QVERIFY(w.lvServer->selectCaption(QStringLiteral("One")));
        const std::unique_ptr<QMenu> menu = w.finder().rowMenu(w.lvServer->selectedRow());
        QMenu* racers = nullptr;
        for (QAction* action : menu->actions())
            racers =
                action->text() == QStringLiteral("Add racer as mate") ? action->menu() : racers;
        QVERIFY(racers);
        QCOMPARE(menuTexts(*racers),
                 (QStringList{"x", "rx7 \u2014 already in Friends and 1 more"}));
        QCOMPARE(f.desktop.errors, QStringList());
    }

    // "Join host by name..." (the rows' menu, the empty list's and the tray's) asks for a
    // name in a box over the window, trimmed and no longer than a host name, and joins as
    // a row's Join: a password for a listed private host or when asked for; a blank name
    // joins nothing.
    void joinHostByName_joinsAsARowsJoin_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("askPassword");
        QTest::addColumn<QString>("parameters"); // empty: nothing started
        QTest::newRow("unlisted, trimmed")
            << "  Secret  Garage  " << false << QStringLiteral("/join=Secret  Garage");
        QTest::newRow("listed private") << "Locked" << false << "/join=Locked /pass=pw";
        QTest::newRow("password asked for") << "Secret" << true << "/join=Secret /pass=pw";
        QTest::newRow("longer than a host name")
            << QString(40, QLatin1Char('n')) << false << "/join=" + QString(32, QLatin1Char('n'));
        QTest::newRow("blank") << "   " << false << QString();
    }
    void joinHostByName_joinsAsARowsJoin() {
        QFETCH(QString, typed);
        QFETCH(bool, askPassword);
        QFETCH(QString, parameters);
        MainWindowFixture f;
        writeGamePath(f);
        f.hostsReply = PackHosts({FakeHost("Open"), FakeHost("Locked").withRules(8)});
        TfMain& w = f.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QAction* command = w.commands().joinHostByName;
        QVERIFY(w.finder().rowMenu(0)->actions().contains(command));
        QVERIFY(w.finder().listMenu()->actions().contains(command));
        QVERIFY(w.presence().tray()->menu()->actions().contains(command));

        f.desktop.answers.enqueue(QStringLiteral("pw"));
        bool okEnabled = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<TfJoinHost*>(QApplication::activeModalWidget());
            QVERIFY(box);
            QVERIFY(w.screen()->availableGeometry().contains(box->frameGeometry()));
            QVERIFY((box->frameGeometry().center() - w.frameGeometry().center()).manhattanLength() <
                    4);
            QTest::keyClicks(box->eHost, typed);
            box->cbPassword->setChecked(askPassword);
            okEnabled = box->bOk->isEnabled();
            (okEnabled ? box->bOk : box->bCancel)->click();
        });
        command->trigger();
        QCOMPARE(okEnabled, !parameters.isEmpty());
        QCOMPARE(f.desktop.inputs.size(), parameters.contains(QLatin1String("/pass=")) ? 1 : 0);
        if (parameters.isEmpty()) {
            QVERIFY(f.desktop.starts.isEmpty());
        } else {
            QCOMPARE(f.desktop.starts.size(), 1);
            QCOMPARE(f.desktop.starts.last().arguments.join(u' '), parameters);
        }
        QCOMPARE(f.desktop.errors, QStringList());
    }

    // tooltips, the filter, Join mate and the double click each go by the mate's own entry.
    void twoMatesOfOneNick_eachWithHisOwnHost() {
        MainWindowFixture f;
        f.writeFile(QStringLiteral("lfs"), "#!/bin/sh\n"); // never started: the desktop is a fake
        QFile(f.dir.filePath(QStringLiteral("lfs")))
            .setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        f.writeFile(QStringLiteral("Pelmark2.config"),
                    f.readFile(QStringLiteral("Pelmark2.config")) + "[SETTINGS]\nLFSPath=" +
                        f.dir.filePath(QStringLiteral("lfs")).toLatin1() + "\n");
        f.writeFile(QStringLiteral("data/groups/Friends.profile"),
                    MateRecord::make("BobF", "Bob", "", "").bytes());
        f.writeFile(QStringLiteral("data/groups/Work.profile"),
                    MateRecord::make("BobW", "Bob", "", "").bytes());
        f.hostsReply = PackHosts({FakeHost("One").with({"x", "BobF"}),
                                  FakeHost("Two").with({"BobW"}), FakeHost("Three").with({"y"})});
        TfMain& w = f.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(f.column(0), (QStringList{"One", "Three", "Two"}));
        QCOMPARE(
            (QList<int>{w.lvServer->rowImage(0), w.lvServer->rowImage(1), w.lvServer->rowImage(2)}),
            (QList<int>{2, 1, 2}));
        QCOMPARE(w.lSvrMates->text(), QStringLiteral("Servers with mates: 2"));
        QCOMPARE(w.lMateInfo->text(), QStringLiteral("Online mates: 2/2"));
        const ServerListModel& rows = w.lvServer->rows();
        const QString tipOne = rows.toolTip(w.lvServer->modelRow(0));
        const QString tipTwo = rows.toolTip(w.lvServer->modelRow(2));
        QVERIFY2(tipOne.endsWith(QStringLiteral("\nx\nBob \u2014 mate in Friends")),
                 qPrintable(tipOne));
        QVERIFY2(tipTwo.endsWith(QStringLiteral("\nBob \u2014 mate in Work")), qPrintable(tipTwo));

        QAction* onlyMates = nullptr;
        for (QAction* action : w.finder().bFilters->menu()->actions())
            onlyMates = action->text().startsWith(QStringLiteral("Only")) ? action : onlyMates;
        QVERIFY(onlyMates);
        onlyMates->setChecked(true);
        QCOMPARE(f.column(0), (QStringList{"One", "Two"}));

        QTreeView* tree = w.tvMates;
        const QPair<const char*, const char*> mates[] = {{"Friends", "One"}, {"Work", "Two"}};
        for (const auto& [group, host] : mates) {
            const QModelIndex groupNode = w.mateTree().FindGroupNode(QString::fromLatin1(group));
            QCOMPARE(tree->model()->rowCount(groupNode), 1);
            const QPoint at = tree->visualRect(tree->model()->index(0, 0, groupNode)).center();
            w.lvServer->clearSelection();
            // A double click's first click chooses the node, as at every click.
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
            QCOMPARE(w.mateTree().rememberedGroup, QString::fromLatin1(group));
            QCOMPARE(w.lvServer->selectedCaption(),
                     std::optional<QString>(QString::fromLatin1(host)));
            w.commands().joinMate->trigger();
            QCOMPARE(f.desktop.starts.last().arguments.join(u' '),
                     QStringLiteral("/join=") + QString::fromLatin1(host));
        }
        QCOMPARE(f.desktop.starts.size(), 2);
        QCOMPARE(f.desktop.errors, QStringList());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
