#include "FakeDesktop.h"
#include "MatePresence.h"
#include "MateRecord.h"
#include "MateTray.h"
#include "MateTree.h"
#include "OnlineMates.h"
#include "Pictures.h"
#include "RosterModel.h"
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
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QTreeView>

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

    explicit Program(const StatSim& sim) {
        QDir(dir.path()).mkpath(QStringLiteral("data/groups"));
        QFile::copy(QStringLiteral(TRACKS_DATA_PATH),
                    dir.filePath(QStringLiteral("data/Tracks.data")));
        writeFile(dir.filePath(QStringLiteral("data/groups/Friends.profile")),
                  MateRecord::make(Newcomer, NewcomerNick, {}, {}).bytes() +
                      MateRecord::make("RoadRunner77", "Captain", {}, {}).bytes());
        // A long interval: the test drives the refreshes itself.
        writeFile(
            dir.filePath(QStringLiteral("Pelmark2.config")),
            "[SETTINGS]\nInterval=3600000\n[SERVICE]\nStatsServer=" + sim.baseUrl().toLatin1() +
                "\nHighlightsServer=" + sim.baseUrl().toLatin1() + "\n");
        window = std::make_unique<TfMain>(desktop, dir.filePath(QStringLiteral("Pelmark2")));
    }

    Notifier& notifier() { return window->presence().notifier(); }
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

} // namespace

class TestPresenceBus : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void mateComesOnline_oneNotificationWithHisLine();
    void noService_noErrorBoxAndSettingsSayIt();
    void rightClick_remembersNodeAndKeepsChoice();
    void trayPicture_takesProgramIconAtNextOnlineChange();

private:
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
        QMenu* choices = nullptr; // the one submenu, after the roster's commands
        for (QAction* action : menu->actions())
            choices = action->menu() ? action->menu() : choices;
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

QTEST_MAIN(TestPresenceBus)
#include "tst_presence_bus.moc"
