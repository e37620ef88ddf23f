#include "FakeDesktop.h"
#include "MainCommands.h"
#include "MatePresence.h"
#include "MateRecord.h"
#include "MateTray.h"
#include "MateTree.h"
#include "PlainText.h"
#include "RecentHosts.h"
#include "ServerFilter.h"
#include "ServerFinder.h"
#include "SingleByteText.h"
#include "StatSim.h"
#include "Tmpfs.h"
#include "TreeRows.h"
#include "WindowWaits.h"
#include "uMain.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

namespace {

// The real main window in a program folder of its own, against the simulator.
struct Program {
    StatSim sim;
    QTemporaryDir dir;
    std::unique_ptr<Tmpfs> tmpfs; // the program folder on a file system of its own
    FakeDesktop desktop;
    std::unique_ptr<TfMain> window;

    explicit Program(const QByteArray& tmpfsSize = {}) {
        if (!tmpfsSize.isEmpty())
            tmpfs = std::make_unique<Tmpfs>(dir.path(), tmpfsSize);
        QDir(dir.path()).mkpath(QStringLiteral("data/groups"));
        QFile::copy(QStringLiteral(TRACKS_DATA_PATH),
                    dir.filePath(QStringLiteral("data/Tracks.data")));
        write(QStringLiteral("data/groups/Crew.profile"), {});
        write(QStringLiteral("Pelmark2.config"),
              "[SERVICE]\nStatsServer=" + sim.baseUrl().toLatin1() +
                  "\nHighlightsServer=" + sim.baseUrl().toLatin1() + "\n");
    }
    void write(const QString& relative, const QByteArray& bytes) {
        QFile file(dir.filePath(relative));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size())
            qFatal("cannot write a fixture file");
    }
    QByteArray read(const QString& relative) const {
        QFile file(dir.filePath(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // A game to start: a script the fake desktop records instead of running.
    void withGame() {
        write(QStringLiteral("lfs.sh"), "#!/bin/sh\n");
        QFile::setPermissions(dir.filePath(QStringLiteral("lfs.sh")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        write(QStringLiteral("Pelmark2.config"),
              read(QStringLiteral("Pelmark2.config")) + "[SETTINGS]\nLFSPath=" +
                  dir.filePath(QStringLiteral("lfs.sh")).toLocal8Bit() + "\n");
    }
    // The command lines of the game's starts.
    QStringList starts() const {
        QStringList lines;
        for (const FakeDesktop::Start& start : desktop.starts)
            lines << start.arguments.join(u' ');
        return lines;
    }
    QStringList recentFile() const {
        RecentHosts file(dir.filePath(QStringLiteral("data/RecentHosts.json")));
        file.load();
        QStringList names;
        for (const RecentHost& host : file.hosts())
            names << ToDisplay(host.name);
        return names;
    }
    TfMain& start() {
        window = std::make_unique<TfMain>(desktop, dir.filePath(QStringLiteral("Pelmark2")));
        StartUp(*window);
        window->tAutoRefresh->stop(); // the test refreshes by hand
        window->tCheckLFS->stop();
        return *window;
    }
    ServerListView& list() { return *window->lvServer; }
    ServerFinder& finder() { return window->finder(); }
    QString counters() const {
        return window->lSvrCount->text() + window->lOccupied->text() +
               window->lPlayersOnline->text() + window->lSvrMates->text();
    }
    // The first shown row with at least one racer.
    int occupiedRow() {
        for (int row = 0; row < list().rowCount(); ++row) {
            if (!list().rows().racers(list().modelRow(row)).isEmpty())
                return row;
        }
        return -1;
    }
};

QAction* actionNamed(const QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

QMenu* recentMenu(const QMenu* menu) {
    QAction* recent = actionNamed(menu, QStringLiteral("Recent hosts"));
    return recent ? recent->menu() : nullptr;
}

QStringList texts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << action->text().replace(QLatin1String("&&"), QLatin1String("&"));
    return texts;
}

} // namespace

class TestFinder : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void typing_hidesRowsAndTheCountersCountEveryRow() {
        Program p;
        p.start();
        const int all = p.list().rowCount();
        QVERIFY(all > 50);
        const QString counters = p.counters();
        QCOMPARE(p.finder().lShowing->text(), QString());

        QTest::keyClicks(p.finder().eFilter, QStringLiteral("SOUTH city"));
        const int shown = p.list().rowCount();
        QVERIFY(shown > 0 && shown < all);
        for (int row = 0; row < shown; ++row) {
            const QByteArray text = p.list().rows().filterText(p.list().modelRow(row));
            QVERIFY2(text.contains("south") && text.contains("city"), text.constData());
        }
        QCOMPARE(p.finder().lShowing->text(),
                 QStringLiteral("Showing %1 of %2").arg(shown).arg(all));
        QCOMPARE(p.counters(), counters);

        QTest::keyClick(p.finder().eFilter, Qt::Key_Escape);
        QCOMPARE(p.finder().eFilter->text(), QString());
        QCOMPARE(p.list().rowCount(), all);
        QCOMPARE(p.finder().lShowing->text(), QString());
        QCOMPARE(p.desktop.errors, QStringList());
    }

    // The filter holds through a refresh; a row it hides is never the selected one.
    void refresh_keepsTheFilterAndSelectsOnlyShownRows() {
        Program p;
        TfMain& w = p.start();
        p.finder().eFilter->setText(QStringLiteral("city"));
        const int shownBefore = p.list().rowCount();
        QVERIFY(shownBefore > 0);
        p.list().selectRow(0);
        const QString caption = *p.list().selectedCaption();

        Refresh(w);
        QVERIFY(p.list().rowCount() < p.list().rows().rowCount());
        for (int row = 0; row < p.list().rowCount(); ++row)
            QVERIFY(p.list().rows().filterText(p.list().modelRow(row)).contains("city"));
        const bool stillShown = [&] {
            for (int row = 0; row < p.list().rowCount(); ++row)
                if (p.list().rowText(row, 0).compare(caption, Qt::CaseInsensitive) == 0)
                    return true;
            return false;
        }();
        QCOMPARE(p.list().selectedCaption().has_value(), stillShown);

        // A filter that hides the selected row unselects it: Join then has nothing to join.
        p.list().selectRow(0);
        p.finder().eFilter->setText(QStringLiteral("no host is named like this"));
        QCOMPARE(p.list().rowCount(), 0);
        QCOMPARE(p.list().selectedRow(), -1);
        w.joinSelectedHost(false);
        QCOMPARE(p.desktop.beeps, 1);
        QVERIFY(p.desktop.starts.isEmpty());
    }

    void rowMenu_addRacerAsMate_writesOneRecordOnce() {
        Program p;
        TfMain& w = p.start();
        const int row = p.occupiedRow();
        QVERIFY(row >= 0);
        const QString host = p.list().rowText(row, 0);
        p.finder().eFilter->setText(QStringLiteral("CREW")); // nobody's group yet
        QVERIFY(!p.list().selectCaption(host));
        p.finder().eFilter->clear();
        p.list().selectRow(row);
        const QByteArray racer = p.list().rows().racers(p.list().modelRow(row)).first();
        const std::unique_ptr<QMenu> menu = p.finder().rowMenu(row);
        QStringList items;
        for (const QAction* action : menu->actions())
            items << action->text();
        QCOMPARE(items, (QStringList{"Join", "Join with password...", "Join host by name...",
                                     "Favourite host", "Copy host name", "Add racer as mate",
                                     "Recent hosts"}));
        QMenu* racers = actionNamed(menu.get(), QStringLiteral("Add racer as mate"))->menu();
        QMenu* groups = racers->actions().first()->menu();
        QCOMPARE(racers->actions().first()->text(),
                 ToDisplay(racer).replace(QLatin1Char('&'), QLatin1String("&&")));
        actionNamed(groups, QStringLiteral("Crew"))->trigger();

        const QByteArray file = p.read(QStringLiteral("data/groups/Crew.profile"));
        QCOMPARE(file.size(), MateRecord::Size);
        QCOMPARE(MateRecord::fromBytes(file).lfsName(), racer);
        QCOMPARE(TreeRows::count(*w.tvMates->model()), 2); // Crew and the new mate, online
        QVERIFY(p.list()
                    .rows()
                    .toolTip(p.list().modelRow(row))
                    .contains(ToDisplay(racer) + QStringLiteral(" \u2014 mate in Crew")));

        actionNamed(groups, QStringLiteral("Crew"))->trigger(); // as the dialog: a beep
        QCOMPARE(p.desktop.beeps, 1);
        QCOMPARE(p.read(QStringLiteral("data/groups/Crew.profile")), file);

        // The menu now says where he is, and the filter finds his host by his group.
        const std::unique_ptr<QMenu> again = p.finder().rowMenu(row);
        QMenu* racersAgain = actionNamed(again.get(), QStringLiteral("Add racer as mate"))->menu();
        QCOMPARE(racersAgain->actions().first()->text(),
                 MenuText(ToDisplay(racer) + QStringLiteral(" \u2014 already in Crew")));
        actionNamed(racersAgain->actions().first()->menu(), QStringLiteral("Crew"))->trigger();
        QCOMPARE(p.desktop.beeps, 2);
        p.finder().eFilter->setText(QStringLiteral("CREW"));
        QVERIFY(p.list().selectCaption(host));
        w.commands().undo->trigger(); // the mate goes again, and his group finds nothing
        QVERIFY(!p.list().selectCaption(host));
        QCOMPARE(p.desktop.errors, QStringList());
    }

    // A right click selects its row first; the Menu key opens the selected row's menu.
    void rightClickAndMenuKey_openTheRowsMenu() {
        Program p;
        p.start();
        QSignalSpy asked(&p.list(), &ServerListView::rowMenuRequested);
        QTimer closer; // the menu is modal: closed as soon as it is up
        connect(&closer, &QTimer::timeout, [] {
            if (QWidget* popup = QApplication::activePopupWidget())
                popup->close();
        });
        closer.start(10);
        p.list().selectRow(0);
        const QPoint onRow = p.list().rowRect(2).center();
        QContextMenuEvent click(QContextMenuEvent::Mouse, onRow,
                                p.list().viewport()->mapToGlobal(onRow));
        QApplication::sendEvent(p.list().viewport(), &click);
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked.at(0).at(0).toInt(), 2);
        QCOMPARE(p.list().selectedRow(), 2);

        p.list().selectRow(4);
        QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(1, 1),
                              p.list().viewport()->mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(p.list().viewport(), &key);
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked.at(1).at(0).toInt(), 4);
        QCOMPARE(p.desktop.errors, QStringList());
    }

    void favourite_survivesARestart() {
        Program p;
        p.start();
        const int row = p.occupiedRow();
        const QString host = p.list().rowText(row, 0);
        {
            const std::unique_ptr<QMenu> menu = p.finder().rowMenu(row);
            QAction* favourite = actionNamed(menu.get(), QStringLiteral("Favourite host"));
            QVERIFY(!favourite->isChecked());
            favourite->trigger();
            QVERIFY(p.list().rows().isFavourite(p.list().modelRow(row)));
        }

        p.start(); // a new run on the same folder
        QVERIFY(p.finder().favourites().contains(FromDisplay(host)));
        QVERIFY(p.list().selectCaption(host));
        const int model = p.list().modelRow(p.list().selectedRow());
        QVERIFY(p.list().rows().isFavourite(model));
        QVERIFY(p.list().rows().toolTip(model).contains(QStringLiteral("\nFavourite host")));
    }

    // A list over its bound is kept aside before anything replaces it; a toggle refused
    // because the list is full writes nothing.
    void favourite_onAnOverBoundFile_keepsACopyAndARefusalWritesNothing_data() {
        QTest::addColumn<int>("names");
        QTest::addColumn<int>("padding");
        QTest::addColumn<bool>("refused");
        QTest::newRow("1,001 names") << 1001 << 0 << true;
        QTest::newRow("over 1 MiB") << 10 << 1024 * 1024 << false;
    }
    void favourite_onAnOverBoundFile_keepsACopyAndARefusalWritesNothing() {
        QFETCH(int, names);
        QFETCH(int, padding);
        QFETCH(bool, refused);
        Program p;
        QByteArray list = "{\"hosts\": [";
        for (int i = 0; i < names; ++i)
            list += (i ? ", \"" : "\"") + QByteArray::number(i) + "\"";
        const QByteArray file = list + "]}" + QByteArray(padding, ' ');
        const QString favourites = QStringLiteral("data/FavouriteHosts.json");
        p.write(favourites, file);
        p.start();
        QCOMPARE(p.read(favourites + QStringLiteral(".damaged")), file);

        const int row = p.occupiedRow();
        const QString host = p.list().rowText(row, 0);
        const std::unique_ptr<QMenu> menu = p.finder().rowMenu(row);
        actionNamed(menu.get(), QStringLiteral("Favourite host"))->trigger();

        QCOMPARE(p.desktop.beeps, refused ? 1 : 0);
        QCOMPARE(p.finder().favourites().contains(FromDisplay(host)), !refused);
        if (refused)
            QCOMPARE(p.read(favourites), file);
        else
            QVERIFY(p.read(favourites).contains(host.toLatin1()));
        QCOMPARE(p.read(favourites + QStringLiteral(".damaged")), file);
        QCOMPARE(p.desktop.errors, QStringList());
    }

    // Every join is remembered, newest first and each host once, at most 20, in a file
    // that a damaged one was kept aside for.
    void recentHosts_joinsKeptNewestFirstAndBounded() {
        Program p;
        const QByteArray damaged = "{\"hosts\": [{\"name\": \"Cut";
        p.write(QStringLiteral("data/RecentHosts.json"), damaged);
        p.withGame();
        TfMain& w = p.start();
        QCOMPARE(p.read(QStringLiteral("data/RecentHosts.json.damaged")), damaged);
        QCOMPARE(texts(recentMenu(p.finder().rowMenu(0).get())), QStringList{"No host joined yet"});

        QStringList joined; // public hosts, each once
        for (int row = 0; row < p.list().rowCount() && joined.size() < 21; ++row) {
            const QString caption = p.list().rowText(row, 0);
            if (caption.isEmpty() || joined.contains(caption) ||
                p.list().rows().host(p.list().modelRow(row)).isPrivate())
                continue;
            p.list().selectRow(row);
            w.commands().join->trigger();
            joined << caption;
        }
        QCOMPARE(joined.size(), 21);
        QStringList lines;
        QStringList newestFirst;
        for (const QString& host : std::as_const(joined)) {
            lines << QStringLiteral("/join=") + host;
            newestFirst.prepend(host);
        }
        QCOMPARE(p.starts(), lines);
        QCOMPARE(p.recentFile(), newestFirst.first(20)); // the first join dropped out

        QVERIFY(p.list().selectCaption(joined.at(5)));
        w.commands().join->trigger();
        newestFirst.removeAll(joined.at(5));
        newestFirst.prepend(joined.at(5));
        QCOMPARE(p.recentFile(), newestFirst.first(20));
        const int row = p.list().selectedRow();
        const QString entry = joined.at(5) + QStringLiteral(" \u2014 ") + p.list().rowText(row, 5) +
                              QStringLiteral(", ") + p.list().rowText(row, 2);
        QCOMPARE(texts(recentMenu(p.finder().rowMenu(0).get())).first(), entry);
        QCOMPARE(p.desktop.errors, QStringList());
    }

    // The online hosts come first in the menus, an offline one after and still joinable;
    // the standing filter keeps the recent hosts' rows, and holds through a restart.
    void recentHosts_offeredAgainAndKeptByTheStandingFilter() {
        Program p;
        p.write(QStringLiteral("data/RecentHosts.json"),
                "{\"hosts\": [{\"name\": \"Gone Host\", \"joined\": \"2024-05-04T18:00:00Z\"}]}");
        p.withGame();
        TfMain& w = p.start();
        const int row = p.occupiedRow();
        QVERIFY(!p.list().rows().host(p.list().modelRow(row)).isPrivate());
        const QString host = p.list().rowText(row, 0);
        p.list().selectRow(row);
        w.commands().join->trigger();
        const QString online = host + QStringLiteral(" \u2014 ") + p.list().rowText(row, 5) +
                               QStringLiteral(", ") + p.list().rowText(row, 2);
        const QStringList entries{online, QStringLiteral("Gone Host \u2014 offline")};
        {
            const std::unique_ptr<QMenu> menu = p.finder().rowMenu(row);
            QCOMPARE(texts(recentMenu(menu.get())), entries);
            QCOMPARE(texts(recentMenu(w.presence().tray()->menu())), entries);
            recentMenu(menu.get())->actions().at(1)->trigger();
        }
        QCOMPARE(p.starts().last(), QStringLiteral("/join=Gone Host"));
        QCOMPARE(p.recentFile(), (QStringList{"Gone Host", host}));
        QCOMPARE(texts(recentMenu(w.presence().tray()->menu())), entries); // online first

        QMenu* filters = p.finder().bFilters->menu();
        actionNamed(filters, QStringLiteral("Only favourite hosts and hosts with mates"))
            ->trigger();
        actionNamed(filters, QStringLiteral("Only favourite hosts, recent hosts and hosts with "
                                            "mates"))
            ->trigger();
        QVERIFY(!actionNamed(filters, QStringLiteral("Only favourite hosts and hosts with mates"))
                     ->isChecked());
        const auto shownHosts = [&] {
            QSet<QString> shown;
            for (int r = 0; r < p.list().rowCount(); ++r)
                shown << p.list().rowText(r, 0);
            return shown;
        };
        QCOMPARE(shownHosts(), QSet<QString>{host});
        QVERIFY(p.read(QStringLiteral("Pelmark2.config")).contains("OnlyFavouritesAndMates=0"));
        QVERIFY(
            p.read(QStringLiteral("Pelmark2.config")).contains("OnlyFavouritesRecentAndMates=1"));

        p.start(); // a new run on the same folder
        QVERIFY(actionNamed(p.finder().bFilters->menu(),
                            QStringLiteral("Only favourite hosts, recent hosts and hosts with "
                                           "mates"))
                    ->isChecked());
        QCOMPARE(shownHosts(), QSet<QString>{host});
        QCOMPARE(p.desktop.errors, QStringList());
    }

    // On a full disk each side file keeps its bytes, and the user hears once of each:
    // the history, which every refresh tries again, only at the first failure.
    void sideFiles_onAFullDisk_keepTheirBytesAndSayOnce() {
        Program p("256k");
        if (!p.tmpfs->mounted())
            QSKIP("cannot mount a tmpfs here (needs root)");
        // A mate the simulator always seats, last seen elsewhere: the first refresh saves.
        p.write(QStringLiteral("data/groups/Crew.profile"),
                MateRecord::make("RoadRunner77", "Captain", {}, {}).bytes());
        const QMap<QString, QByteArray> sideFiles{
            {QStringLiteral("data/LastSeen.json"),
             "{\"RoadRunner77\": {\"seen\": \"2024-05-04T18:00:00Z\", \"host\": "
             "\"Elsewhere\", \"track\": \"BL1\"}}"},
            {QStringLiteral("data/FavouriteHosts.json"), "{\"hosts\": [\"Somewhere\"]}"},
            {QStringLiteral("data/MateAlerts.json"), "{\"groupsOff\": [\"Crew\"]}"}};
        for (auto it = sideFiles.begin(); it != sideFiles.end(); ++it)
            p.write(it.key(), it.value());
        const QDir data(p.dir.filePath(QStringLiteral("data")));
        const QStringList entries = data.entryList(QDir::AllEntries | QDir::Hidden);
        QVERIFY(p.tmpfs->fill());

        const auto named = [&](const QString& relative) {
            return p.desktop.errors.filter(p.dir.filePath(relative)).size();
        };
        p.start(); // its first refresh sees him on another host
        QVERIFY(p.window->presence().lastSeen().isOnline("RoadRunner77"));
        QCOMPARE(p.desktop.errors.size(), 1);
        QCOMPARE(named(QStringLiteral("data/LastSeen.json")), 1);
        QVERIFY(Refresh(*p.window));
        QCOMPARE(p.desktop.errors.size(), 1);

        const std::unique_ptr<QMenu> rowMenu = p.finder().rowMenu(p.occupiedRow());
        actionNamed(rowMenu.get(), QStringLiteral("Favourite host"))->trigger();
        QCOMPARE(p.desktop.errors.size(), 2);
        QCOMPARE(named(QStringLiteral("data/FavouriteHosts.json")), 1);

        const std::unique_ptr<QMenu> nodeMenu =
            p.window->presence().nodeMenu(QStringLiteral("Crew"), {});
        QAction* groupChoice =
            actionNamed(nodeMenu.get(), QStringLiteral("Notify when a mate of this group comes "
                                                       "online"));
        QVERIFY(groupChoice);
        groupChoice->trigger();
        QCOMPARE(p.desktop.errors.size(), 3);
        QCOMPARE(named(QStringLiteral("data/MateAlerts.json")), 1);

        for (auto it = sideFiles.begin(); it != sideFiles.end(); ++it)
            QCOMPARE(p.read(it.key()), it.value());
        QCOMPARE(data.entryList(QDir::AllEntries | QDir::Hidden), entries); // no temporary left
    }
};

QTEST_MAIN(TestFinder)
#include "tst_finder.moc"
