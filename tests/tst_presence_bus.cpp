#include "FakeDesktop.h"
#include "MatePresence.h"
#include "MateRecord.h"
#include "MateTray.h"
#include "MateTree.h"
#include "OnlineMates.h"
#include "Pictures.h"
#include "RosterModel.h"
#include "ServerFinder.h"
#include "StatSim.h"
#include "WindowWaits.h"
#include "uMain.h"
#include "uMoreSettings.h"
#include "uSettings.h"

#include <QApplication>
#include <QCheckBox>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QTreeView>
#include <QUrl>

namespace {

const QString NotificationsService = QStringLiteral("org.freedesktop.Notifications");
const QString NotificationsPath = QStringLiteral("/org/freedesktop/Notifications");
// Colour codes, markup and an ampersand: the notification must carry them as written.
const QByteArray Newcomer = "Zed_Newcomer";
const QByteArray NewcomerNick = "Zed <i>&amp;";

// The notification service as a desktop offers it, on its own bus connection.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Shown {
        QString app;
        QString summary;
        QString body;
        QStringList actions;
    };
    QList<Shown> shown;

public Q_SLOTS:
    QStringList GetCapabilities() {
        Q_EMIT queried();
        return {QStringLiteral("body"), QStringLiteral("actions")}; // no body markup
    }
    uint Notify(const QString& app, uint, const QString&, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap&, int) {
        shown.append({app, summary, body, actions});
        Q_EMIT received();
        return uint(shown.size());
    }

public:
    // The ids (from 1) of the notifications shown with that summary.
    QList<uint> idsOf(const QString& summary) const {
        QList<uint> ids;
        for (qsizetype i = 0; i < shown.size(); ++i) {
            if (shown.at(i).summary == summary)
                ids << uint(i + 1);
        }
        return ids;
    }
    const Shown& byId(uint id) const { return shown.at(id - 1); }
    // The user picks an action, as a real service reports it: only one the notification
    // offered (its actions are key, label, key, label...).
    bool invoke(uint id, const QString& action) {
        const QStringList& actions = byId(id).actions;
        for (qsizetype i = 0; i + 1 < actions.size(); i += 2) {
            if (actions.at(i) == action) {
                Q_EMIT ActionInvoked(id, action);
                return true;
            }
        }
        return false;
    }

Q_SIGNALS:
    void ActionInvoked(uint id, const QString& actionKey);
    void NotificationClosed(uint id, uint reason);
    void received();
    void queried();
};

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write fixture file");
}

// A program folder whose roster has the newcomer and a demo mate the simulator always
// seats, so the first refresh has somebody to take as the baseline.
struct Program {
    QTemporaryDir dir;
    FakeDesktop desktop;
    std::unique_ptr<TfMain> window;

    explicit Program(const StatSim& sim, const QByteArray& moreMates = {},
                     const QByteArray& moreConfig = {}) {
        QDir(dir.path()).mkpath(QStringLiteral("data/groups"));
        // Never started: the desktop is a fake; the watch finds it in its process list.
        writeFile(gamePath(), "#!/bin/sh\n");
        QFile(gamePath()).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        QFile::copy(QStringLiteral(TRACKS_DATA_PATH),
                    dir.filePath(QStringLiteral("data/Tracks.data")));
        writeFile(dir.filePath(QStringLiteral("data/groups/Friends.profile")),
                  MateRecord::make(Newcomer, NewcomerNick, {}, {}).bytes() +
                      MateRecord::make("RoadRunner77", "Captain", {}, {}).bytes() + moreMates);
        // A long interval: the test drives the refreshes itself.
        writeFile(dir.filePath(QStringLiteral("Pelmark2.config")),
                  "[SETTINGS]\nInterval=3600000\nLFSPath=" + gamePath().toLatin1() +
                      "\n[SERVICE]\nStatsServer=" + sim.baseUrl().toLatin1() +
                      "\nHighlightsServer=" + sim.baseUrl().toLatin1() + "\n" + moreConfig);
        window = std::make_unique<TfMain>(desktop, dir.filePath(QStringLiteral("Pelmark2")));
    }

    QString gamePath() const { return dir.filePath(QStringLiteral("lfs")); }
    Notifier& notifier() { return window->presence().notifier(); }
    // The shown row of a host, or -1.
    int rowOf(const QString& host) const {
        for (int row = 0; row < window->lvServer->rowCount(); ++row) {
            if (window->lvServer->rowText(row, 0) == host)
                return row;
        }
        return -1;
    }
    QString rowDescription(const QString& host) const {
        const QModelIndex index = window->lvServer->model()->index(rowOf(host), 0);
        return index.data(Qt::AccessibleDescriptionRole).toString();
    }
    std::unique_ptr<QMenu> rowMenu(const QString& host) const {
        return window->finder().rowMenu(rowOf(host));
    }
    // "Join when a slot frees", right after the join commands; null without one.
    static QAction* watchItem(const QMenu& menu) {
        const QList<QAction*> items = menu.actions();
        if (items.size() < 3 || items.at(1)->text() != QStringLiteral("Join with password...") ||
            items.at(2)->text() != QStringLiteral("Join when a slot frees"))
            return nullptr;
        return items.at(2);
    }
    // Starts a watch from the host's row menu.
    bool watch(const QString& host) const {
        const std::unique_ptr<QMenu> menu = rowMenu(host);
        QAction* item = watchItem(*menu);
        if (item)
            item->trigger();
        return item;
    }
    QStringList trayItems() const {
        QStringList texts;
        for (QAction* action : window->presence().tray()->menu()->actions())
            texts << action->text();
        return texts;
    }
    // The host the simulator seated the newcomer on, and its row's track text.
    // The host the simulator seated the newcomer on (the last row listing him), and its
    // row's track text.
    std::pair<QString, QString> newcomerHost() const {
        const ServerListModel& rows = window->lvServer->rows();
        std::pair<QString, QString> found;
        for (int row = 0; row < rows.rowCount(); ++row) {
            if (rows.racers(row).contains(Newcomer))
                found = {rows.caption(row), rows.text(row, 2)};
        }
        return found;
    }
    QModelIndex newcomerNode() const {
        for (const QModelIndex& node : NodesInTreeOrder(*window->tvMates->model())) {
            if (node.data().toString() == QString::fromLatin1(NewcomerNick))
                return node;
        }
        return {};
    }
};

bool waitFor(QSignalSpy& spy, int count) {
    while (spy.size() < count) {
        if (!spy.wait(10'000))
            return false;
    }
    return true;
}

// The simulator lists the host with that many of its slots taken from the next refresh on;
// a negative limit takes it off the list.
bool stage(StatSim& sim, const QString& host, int limit, int players = 0) {
    const QString name = QString::fromLatin1(QUrl::toPercentEncoding(host));
    if (limit < 0)
        return sim.setFault(QStringLiteral("unstage=") + name);
    return sim.setFault(QStringLiteral("stage=%1&limit=%2&players=%3")
                            .arg(name, QString::number(limit), QString::number(players)));
}

// Waits until every notification of the refreshes so far has reached the service: the
// window follows a refresh's list a moment after it, and the bus keeps one sender's calls
// in order, so once a query sent now is answered, they are all there.
bool settle(FakeNotifications& service, Program& program) {
    QCoreApplication::sendPostedEvents();
    QSignalSpy queried(&service, &FakeNotifications::queried);
    program.notifier().probe();
    return waitFor(queried, 1);
}

} // namespace

class TestPresenceBus : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void mateComesOnline_oneNotificationWithHisLine();
    void mateChangesHost_oneNotificationWithJoin();
    void noService_noErrorBoxAndSettingsSayIt();
    void rightClick_remembersNodeAndKeepsChoice();
    void trayPicture_takesProgramIconAtNextOnlineChange();
    void slotFrees_toldAndJoined_orJoinedAtOnce();
    void watchedHostLeaves_toldAndTheWatchEnds();
    void favouriteRisesThroughN_toldOncePerRise();

private:
    bool ownService() {
        serviceBus().registerService(NotificationsService);
        return QDBusConnection::sessionBus().interface()->isServiceRegistered(NotificationsService);
    }
    QDBusConnection serviceBus() {
        return QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                             QStringLiteral("fake-notifications"));
    }
    FakeNotifications m_service;
};

void TestPresenceBus::initTestCase() {
    QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
    QDBusConnection bus = serviceBus();
    QVERIFY(
        bus.registerObject(NotificationsPath, &m_service,
                           QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
}

void TestPresenceBus::mateComesOnline_oneNotificationWithHisLine() {
    QVERIFY(serviceBus().registerService(NotificationsService));
    StatSim sim;
    QVERIFY(sim.port() > 0);
    Program program(sim);
    QSignalSpy received(&m_service, &FakeNotifications::received);
    QSignalSpy queried(&m_service, &FakeNotifications::queried);
    m_service.shown.clear();

    QVERIFY(StartUp(*program.window)); // the baseline: the demo mate is not announced
    QVERIFY(sim.setFault(QStringLiteral("online=") + QString::fromLatin1(Newcomer)));
    Refresh(*program.window);
    QVERIFY(waitFor(received, 1));
    Refresh(*program.window); // still online: nothing new

    // The bus keeps one sender's calls in order: once this query is answered, any
    // notification of the refreshes above has arrived.
    const qsizetype answered = queried.size();
    program.notifier().probe();
    QVERIFY(waitFor(queried, answered + 1));
    QCOMPARE(m_service.shown.size(), 1);

    const auto [host, track] = program.newcomerHost();
    QVERIFY(!host.isEmpty());
    const FakeNotifications::Shown& shown = m_service.shown.first();
    QCOMPARE(shown.app, QStringLiteral("Pelmark II"));
    QCOMPARE(shown.summary, QStringLiteral("Mates online"));
    QCOMPARE(shown.body,
             QStringLiteral("%1 on %2 (%3)").arg(QString::fromLatin1(NewcomerNick), host, track));
    QVERIFY(shown.actions.contains(QStringLiteral("default")));

    // Its default action selects the host's row.
    program.window->lvServer->clearSelection();
    Q_EMIT m_service.ActionInvoked(1, QStringLiteral("default"));
    QTRY_COMPARE(program.window->lvServer->selectedCaption(), std::optional<QString>(host));

    const QString tip = program.window->presence().nodeToolTip(program.newcomerNode());
    QVERIFY2(tip.startsWith(QStringLiteral("Online on %1 (%2) since ").arg(host, track)),
             qPrintable(tip));
    QFile seen(program.window->presence().lastSeenPath());
    QVERIFY(seen.open(QIODevice::ReadOnly));
    QVERIFY(seen.readAll().contains(Newcomer));
    QCOMPARE(program.desktop.errors, QStringList());
    QCOMPARE(program.desktop.messages, QStringList());
}

// A mate switched on for it who moves is announced once the new host holds at the next
// refresh; one who is back at the next refresh has not moved; a mate left as his group is
// (off by default) is not announced at all.
void TestPresenceBus::mateChangesHost_oneNotificationWithJoin() {
    QVERIFY(serviceBus().registerService(NotificationsService));
    StatSim sim;
    const QByteArray quiet = "Quiet_Mover";
    Program program(sim, MateRecord::make(quiet, "Quiet", {}, {}).bytes());
    const auto seat = [&](const QByteArray& name, int nth) {
        return sim.setFault(
            QStringLiteral("online=%1&seat=%2").arg(QString::fromLatin1(name)).arg(nth));
    };
    QVERIFY(seat(Newcomer, 0) && seat(quiet, 0));
    QVERIFY(StartUp(*program.window));
    const QString firstHost = program.newcomerHost().first;
    const std::unique_ptr<QMenu> menu = program.window->presence().nodeMenu(
        QStringLiteral("Friends"), QString::fromLatin1(NewcomerNick));
    QMenu* moves = nullptr;
    for (QAction* action : menu->actions()) {
        if (action->text() == QStringLiteral("Notify when this mate has changed host"))
            moves = action->menu();
    }
    QVERIFY(moves);
    moves->actions().at(1)->trigger(); // "Always"
    QSignalSpy received(&m_service, &FakeNotifications::received);
    QSignalSpy queried(&m_service, &FakeNotifications::queried);
    m_service.shown.clear();

    QVERIFY(seat(Newcomer, 1) && seat(quiet, 1));
    QVERIFY(Refresh(*program.window));
    QVERIFY(Refresh(*program.window)); // the new host holds
    QVERIFY(waitFor(received, 1));
    const auto [host, track] = program.newcomerHost();
    QVERIFY(!host.isEmpty() && host != firstHost);

    QVERIFY(seat(Newcomer, 2));
    QVERIFY(Refresh(*program.window));
    QVERIFY(seat(Newcomer, 1)); // back after one refresh: no move
    QVERIFY(Refresh(*program.window));
    QVERIFY(Refresh(*program.window));
    const qsizetype answered = queried.size();
    program.notifier().probe();
    QVERIFY(waitFor(queried, answered + 1));
    QCOMPARE(m_service.shown.size(), 1);
    const FakeNotifications::Shown& shown = m_service.shown.first();
    QCOMPARE(shown.summary, QStringLiteral("Mate changed host"));
    QCOMPARE(
        shown.body,
        QStringLiteral("%1 moved to %2 (%3)").arg(QString::fromLatin1(NewcomerNick), host, track));
    QVERIFY(shown.actions.contains(QStringLiteral("join")));
    QVERIFY(program.window->presence().choices().wantsAlert(Newcomer, {QStringLiteral("Friends")},
                                                            AlertEvent::ChangedHost));
    QFile file(program.window->presence().choicesPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("\"hostChangeMates\""));
    QCOMPARE(program.desktop.errors, QStringList());
}

void TestPresenceBus::noService_noErrorBoxAndSettingsSayIt() {
    serviceBus().unregisterService(NotificationsService);
    QVERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(NotificationsService));
    StatSim sim;
    Program program(sim);
    QSignalSpy changed(&program.notifier(), &Notifier::serviceChanged);
    QVERIFY(StartUp(*program.window));
    QVERIFY(sim.setFault(QStringLiteral("online=") + QString::fromLatin1(Newcomer)));
    Refresh(*program.window);
    QVERIFY(program.window->presence().lastSeen().isOnline(Newcomer));
    if (program.notifier().service() != Notifier::Service::Missing)
        QVERIFY(changed.wait(10'000));
    QCOMPARE(program.notifier().service(), Notifier::Service::Missing);
    QCOMPARE(program.desktop.errors, QStringList());
    QCOMPARE(program.desktop.messages, QStringList());

    TfSettings& settings = *program.window->settingsDialog();
    TfMoreSettings* more = settings.fMoreSettings;
    more->show();
    QVERIFY(more->lNoNotificationService->isVisibleTo(more));
    QVERIFY(more->cbNotifications->isChecked());
    more->cbKeepInTray->setChecked(true);
    more->bOk->click();
    const QByteArray config = [&] {
        QFile f(program.window->config.path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    QVERIFY2(config.contains(
                 "[OPTIONS]\r\nDesktopNotifications=1\r\nOnlineAlertDamping=10\r\nKeepInTray=1") ||
                 config.contains(
                     "[OPTIONS]\nDesktopNotifications=1\nOnlineAlertDamping=10\nKeepInTray=1"),
             config.constData());
}

void TestPresenceBus::rightClick_remembersNodeAndKeepsChoice() {
    StatSim sim;
    Program program(sim);
    QVERIFY(sim.setFault(QStringLiteral("online=") + QString::fromLatin1(Newcomer)));
    QVERIFY(StartUp(*program.window));
    program.window->resize(900, 600);
    program.window->show();
    QTreeView* tree = program.window->tvMates;
    const QModelIndex node = program.newcomerNode();
    QVERIFY(node.isValid());
    tree->scrollTo(node);

    // Choose "Never" in the menu the right click opens.
    QTimer::singleShot(0, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QMenu* choices = nullptr; // the submenu of coming online, after the roster's commands
        for (QAction* action : menu->actions()) {
            if (action->text() == QStringLiteral("Notify when this mate comes online"))
                choices = action->menu();
        }
        QVERIFY(choices);
        choices->actions().at(2)->trigger();
        menu->close();
    });
    program.window->mateTree().tvMatesContextMenu(tree->visualRect(node).center());
    QCOMPARE(program.window->mateTree().rememberedDisplayName, QString::fromLatin1(NewcomerNick));
    QCOMPARE(program.window->mateTree().rememberedGroup, QStringLiteral("Friends"));
    QCOMPARE(program.window->presence().choices().mateAlert(QStringLiteral("Friends"), Newcomer),
             MateAlert::Never);
    QFile file(program.window->presence().choicesPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("never"));
    // The profile stays as it was.
    QFile profile(program.dir.filePath(QStringLiteral("data/groups/Friends.profile")));
    QVERIFY(profile.open(QIODevice::ReadOnly));
    QCOMPARE(profile.size(), 2 * MateRecord::Size);
}

// The tray draws its pictures when it shows them: one drawn before the program had its
// icon must give way to the program's icon at the next change of the online state.
void TestPresenceBus::trayPicture_takesProgramIconAtNextOnlineChange() {
    const QIcon programIcon = QGuiApplication::windowIcon();
    QGuiApplication::setWindowIcon(QIcon());
    MateTray tray(nullptr);
    const auto picture = [&] { return tray.icon().pixmap(32, 32).toImage(); };
    const QImage drawnBeforeIcon = picture();

    QGuiApplication::setWindowIcon(Pictures::AppIcon());
    tray.update({OnlineMate{"Zed", "Zed", "Host", "BL1", {}}});
    tray.setMateCounts(1, 3);
    const QImage online = picture();
    QCOMPARE(online, MateTray::TrayIcon(nullptr, true).pixmap(32, 32).toImage());
    QVERIFY(online != drawnBeforeIcon);
    QCOMPARE(tray.toolTip(), QStringLiteral("Pelmark II\nOnline mates: 1/3"));
    tray.update({});
    QCOMPARE(picture(), MateTray::TrayIcon(nullptr, false).pixmap(32, 32).toImage());
    QGuiApplication::setWindowIcon(programIcon);
}

void TestPresenceBus::slotFrees_toldAndJoined_orJoinedAtOnce() {
    QVERIFY(ownService());
    StatSim sim;
    const QString host = QStringLiteral("Slot Host");
    QVERIFY(stage(sim, host, 4, 4));
    Program program(sim);
    TfMain& window = *program.window;
    m_service.shown.clear();
    QVERIFY(StartUp(window));
    QVERIFY(program.watch(host));
    QVERIFY(program.rowDescription(host).contains(QStringLiteral("Waiting for a free slot")));
    QVERIFY(program.trayItems().contains(QStringLiteral("Cancel the slot watch on Slot Host")));

    QVERIFY(stage(sim, host, 4, 3));
    QVERIFY(Refresh(window));
    QVERIFY(settle(m_service, program));
    const QList<uint> told = m_service.idsOf(QStringLiteral("Slot watch"));
    QCOMPARE(told.size(), 1);
    const QString track = window.lvServer->rowText(program.rowOf(host), 2);
    QCOMPARE(m_service.byId(told.first()).body,
             QStringLiteral("A slot is free on Slot Host (%1, 3/4)").arg(track));
    // A host with a free slot has the menu it always had.
    QVERIFY(!Program::watchItem(*program.rowMenu(host)));
    QVERIFY(m_service.invoke(told.first(), QStringLiteral("join")));
    QTRY_COMPARE(program.desktop.starts.size(), 1);
    QCOMPARE(program.desktop.starts.last().arguments.join(u' '), QStringLiteral("/join=Slot Host"));
    // Joining ends the watch.
    QVERIFY(!program.rowDescription(host).contains(QStringLiteral("Waiting for a free slot")));

    TfMoreSettings* more = window.settingsDialog()->fMoreSettings;
    more->show();
    QVERIFY(more->rbTellFreedSlot->isChecked());
    more->rbJoinFreedSlot->setChecked(true);
    more->bOk->click();
    QVERIFY(stage(sim, host, 4, 4));
    QVERIFY(Refresh(window));
    QVERIFY(program.watch(host));
    QVERIFY(stage(sim, host, 4, 2));
    QVERIFY(Refresh(window));
    QTRY_COMPARE(program.desktop.starts.size(), 2);
    QCOMPARE(program.desktop.starts.last().arguments.join(u' '), QStringLiteral("/join=Slot Host"));
    QVERIFY(settle(m_service, program));
    QCOMPARE(m_service.idsOf(QStringLiteral("Slot watch")).size(), 1);
    QCOMPARE(program.desktop.messages, QStringList());
}

void TestPresenceBus::watchedHostLeaves_toldAndTheWatchEnds() {
    QVERIFY(ownService());
    StatSim sim;
    const QStringList hosts{"Slot Host", "Full 2", "Full 3", "Full 4"};
    for (const QString& host : hosts)
        QVERIFY(stage(sim, host, 2, 2));
    Program program(sim);
    m_service.shown.clear();
    QVERIFY(StartUp(*program.window));
    for (const QString& host : hosts.mid(0, 3))
        QVERIFY(program.watch(host));
    // A fourth is refused, and the menu says why.
    const std::unique_ptr<QMenu> menu = program.rowMenu(hosts.at(3));
    const QAction* fourth = Program::watchItem(*menu);
    QVERIFY(fourth && !fourth->isEnabled() && !fourth->toolTip().isEmpty());

    QVERIFY(stage(sim, hosts.first(), -1));
    QVERIFY(Refresh(*program.window));
    QVERIFY(settle(m_service, program));
    const QList<uint> told = m_service.idsOf(QStringLiteral("Slot watch"));
    QCOMPARE(told.size(), 1);
    QCOMPARE(m_service.byId(told.first()).body,
             QStringLiteral("Slot Host left the list; its watch ended"));
    QVERIFY(!m_service.byId(told.first()).actions.contains(QStringLiteral("join")));
    QStringList cancels = program.trayItems().filter(QStringLiteral("Cancel the slot watch"));
    QCOMPARE(cancels,
             (QStringList{"Cancel the slot watch on Full 2", "Cancel the slot watch on Full 3"}));

    // The game starts: every watch ends.
    program.desktop.processes = {program.gamePath()};
    program.window->gameWatch().check();
    QCOMPARE(program.trayItems().filter(QStringLiteral("Cancel the slot watch")), QStringList());
}

void TestPresenceBus::favouriteRisesThroughN_toldOncePerRise() {
    QVERIFY(ownService());
    StatSim sim;
    const QString host = QStringLiteral("Fav Host");
    QVERIFY(stage(sim, host, 8, 1));
    Program program(sim, {}, "[OPTIONS]\nFavouriteRacers=3\n");
    m_service.shown.clear();
    QVERIFY(StartUp(*program.window));
    program.window->finder().setFavourite(host.toLatin1(), true);
    QVERIFY(Refresh(*program.window)); // the new favourite's baseline
    const QList<int> racers{3, 5, 2, 4};
    const QList<int> toldAfter{1, 1, 1, 2};
    for (qsizetype i = 0; i < racers.size(); ++i) {
        QVERIFY(stage(sim, host, 8, racers.at(i)));
        QVERIFY(Refresh(*program.window));
        QVERIFY(settle(m_service, program));
        QCOMPARE(m_service.idsOf(QStringLiteral("Favourite host")).size(), toldAfter.at(i));
    }
    const FakeNotifications::Shown& first =
        m_service.byId(m_service.idsOf(QStringLiteral("Favourite host")).first());
    const QString track = program.window->lvServer->rowText(program.rowOf(host), 2);
    QCOMPARE(first.body, QStringLiteral("Fav Host has 3 racers (%1)").arg(track));
    QVERIFY(first.actions.contains(QStringLiteral("join")));
}

QTEST_MAIN(TestPresenceBus)
#include "tst_presence_bus.moc"
