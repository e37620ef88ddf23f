#include "FakeDesktop.h"
#include "IniFile.h"
#include "StatSim.h"
#include "WindowWaits.h"
#include "uMain.h"
#include "uMoreSettings.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

const QString NeededKey = QStringLiteral("Ab3");
const QByteArray SimAnswer =
    "Identification key (idk) missing or not valid - see your account settings";
const QString Answered =
    QStringLiteral("The statistics service answered: ") + QString::fromLatin1(SimAnswer);
const QString BadKey = QStringLiteral(
    "The ident key in the settings file is not valid (letters and digits, at most 64), so it "
    "is not sent.");

// A main window in a program folder of its own, against a simulator that wants a key and
// logs every request it receives.
struct KeyedWorld {
    StatSim sim{{QStringLiteral("--ident-key"), NeededKey, QStringLiteral("--log"),
                 QStringLiteral("--hosts"), QStringLiteral("30")}};
    QTemporaryDir dir;
    FakeDesktop desktop;
    std::unique_ptr<TfMain> window;

    explicit KeyedWorld(const QByteArray& keyLine) {
        QDir(dir.path()).mkpath(QStringLiteral("data/groups"));
        QFile config(dir.filePath(QStringLiteral("Pelmark2.config")));
        config.open(QIODevice::WriteOnly);
        config.write("[SERVICE]\nStatsServer=" + sim.baseUrl().toLatin1() +
                     "\nHighlightsServer=" + sim.baseUrl().toLatin1() + "\n" + keyLine);
        config.close();
        sim.process().setReadChannel(QProcess::StandardError);
    }
    bool start() {
        window = std::make_unique<TfMain>(desktop, dir.filePath(QStringLiteral("Pelmark2")));
        window->tAutoRefresh->stop();
        window->tCheckLFS->stop();
        return StartUp(*window);
    }
    QStringList hostRequests(int expected) { return sim.hostRequests(expected); }
    QString counters() const {
        return window->lSvrCount->text() + window->lOccupied->text() +
               window->lPlayersOnline->text();
    }
};

QString hostRequest(const QString& query) {
    return QStringLiteral("GET /pubstat/get_stat2.php?") + query + QStringLiteral(" 200");
}

} // namespace

class TestIdentKey : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void refresh_sendsKeyOnlyWhenValid_data() {
        QTest::addColumn<QByteArray>("keyLine");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("messages"); // after two refreshes
        const QString bare = QStringLiteral("action=hosts");
        QTest::newRow("key") << QByteArray("IdentKey=Ab3\n") << "action=hosts&idk=Ab3"
                             << QStringList();
        QTest::newRow("no key") << QByteArray() << bare << QStringList{Answered, Answered};
        QTest::newRow("empty key")
            << QByteArray("IdentKey=\n") << bare << QStringList{Answered, Answered};
        QTest::newRow("odd characters, said once")
            << QByteArray("IdentKey=Ab3&x=1\n") << bare << QStringList{BadKey, Answered, Answered};
        QTest::newRow("too long, said once") << "IdentKey=" + QByteArray(65, 'k') + "\n"
                                             << bare << QStringList{BadKey, Answered, Answered};
    }
    void refresh_sendsKeyOnlyWhenValid() {
        QFETCH(QByteArray, keyLine);
        QFETCH(QString, query);
        QFETCH(QStringList, messages);
        KeyedWorld world(keyLine);
        QVERIFY2(world.sim.port() > 0, "the simulator did not start");
        QVERIFY(world.start());
        Refresh(*world.window);
        QCOMPARE(world.hostRequests(2), QStringList(2, hostRequest(query)));
        QCOMPARE(world.desktop.messages, messages);
        QCOMPARE(world.desktop.errors, QStringList());
        QCOMPARE(world.window->lvServer->rowCount() > 0, messages.isEmpty());
    }

    // The dialog's OK counts from the next refresh; a text answer keeps the list as it was.
    void moreSettingsKey_usedByNextRefresh_textAnswerKeepsRows() {
        KeyedWorld world("IdentKey=Ab3\n");
        QVERIFY2(world.sim.port() > 0, "the simulator did not start");
        QVERIFY(world.start());
        TfMain& w = *world.window;
        const int rowCount = w.lvServer->rowCount();
        QVERIFY(rowCount > 0);
        const QString counters = world.counters();
        world.hostRequests(1);

        TfMoreSettings more(w.config, world.desktop, &w);
        QTimer::singleShot(0, &more, [&] {
            more.eIdentKey->setText(QStringLiteral("Zz9"));
            more.bOk->click();
        });
        QVERIFY(more.Run());
        Refresh(w);
        QCOMPARE(world.hostRequests(1),
                 QStringList{hostRequest(QStringLiteral("action=hosts&idk=Zz9"))});
        QCOMPARE(world.desktop.messages, QStringList{Answered});
        QCOMPARE(w.lvServer->rowCount(), rowCount);
        QCOMPARE(world.counters(), counters);
        QVERIFY(!w.refresh().isWaiting());
        QCOMPARE(IniFile(w.config.path())
                     .readString(QStringLiteral("SERVICE"), QStringLiteral("IdentKey"), QString()),
                 QStringLiteral("Zz9"));
    }
};

QTEST_MAIN(TestIdentKey)
#include "tst_identkey.moc"
