// The refresh controller and the game watch against the simulator, without a window.
#include "GameWatch.h"
#include "ProgramSettings.h"
#include "RefreshController.h"
#include "StatSim.h"

#include <QEventLoop>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestRefresh : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    std::unique_ptr<ProgramSettings> settingsFor(const StatSim& sim, quint32 interval) {
        auto settings =
            std::make_unique<ProgramSettings>(m_dir.filePath(QStringLiteral("Pelmark2.config")));
        settings->statsServer = sim.baseUrl();
        settings->app.interval = interval;
        return settings;
    }

private Q_SLOTS:
    // Ticks and "Refresh now" that come while the request waits are skipped, not stacked;
    // once its answer is told, the next tick asks again.
    void whileARequestWaits_ticksAndRefreshNowAreSkipped() {
        StatSim sim({"--delay", "400"});
        QVERIFY2(sim.port() > 0, "the simulator did not start");
        const auto settings = settingsFor(sim, 50);
        RefreshController refresh(*settings);
        QSignalSpy started(&refresh, &RefreshController::refreshStarted);
        QSignalSpy refreshed(&refresh, &RefreshController::refreshed);
        // Counted as the answer is told: a tick due in the same turn of the event loop
        // may start the next request before the wait below returns.
        qsizetype startedAtAnswer = -1;
        connect(&refresh, &RefreshController::refreshed, this,
                [&] { startedAtAnswer = started.size(); });
        refresh.applyInterval();
        refresh.start();
        QVERIFY(refresh.tAutoRefreshTimer());
        QVERIFY(refresh.isWaiting());
        QVERIFY(!refresh.tAutoRefreshTimer()); // F5 meanwhile
        QVERIFY(refreshed.wait(5000));
        QCOMPARE(startedAtAnswer, 1); // eight ticks came due meanwhile
        const auto result = refreshed.first().first().value<HostListResult>();
        QVERIFY(result.hasList());
        QCOMPARE(result.hosts.size(), 120);
        QTRY_VERIFY(started.size() >= 2);
    }

    // A box that a follower opens (a nested loop of its own) holds the ticks off too.
    void aBoxOfAFollower_holdsTheTicksOff() {
        StatSim sim;
        QVERIFY2(sim.port() > 0, "the simulator did not start");
        const auto settings = settingsFor(sim, 20);
        RefreshController refresh(*settings);
        int startedWhileUp = -1;
        QSignalSpy started(&refresh, &RefreshController::refreshStarted);
        connect(
            &refresh, &RefreshController::refreshed, this,
            [&] {
                const auto before = started.size();
                QEventLoop box;
                QTimer::singleShot(300, &box, &QEventLoop::quit);
                box.exec();
                startedWhileUp = int(started.size() - before);
            },
            Qt::SingleShotConnection);
        refresh.applyInterval();
        refresh.start();
        QTRY_COMPARE(startedWhileUp, 0);
        QTRY_VERIFY(started.size() >= 2);
    }

    // No tick while the game runs; "Refresh now" still asks; a fresh period after it.
    void whileTheGameRuns_noTicksAndAFreshPeriodAfter() {
        StatSim sim;
        QVERIFY2(sim.port() > 0, "the simulator did not start");
        const auto settings = settingsFor(sim, 5000);
        RefreshController refresh(*settings);
        QSignalSpy refreshed(&refresh, &RefreshController::refreshed);
        refresh.applyInterval();
        refresh.start();
        QVERIFY(refresh.timer()->isActive());
        refresh.setGameRunning(true);
        QVERIFY(!refresh.timer()->isActive());
        QVERIFY(!refresh.nextTickTime());
        QVERIFY(refresh.tAutoRefreshTimer());
        QVERIFY(refreshed.wait(5000));
        QVERIFY(!refresh.timer()->isActive());
        QTest::qWait(50);
        refresh.setGameRunning(false);
        QVERIFY(refresh.timer()->isActive());
        QVERIFY(refresh.timer()->remainingTime() > 4500); // a timer may fire 5 % early

        settings->app.interval = 0; // never ticks
        refresh.applyInterval();
        QVERIFY(!refresh.timer()->isActive());
    }

    // The watch says only changes; a look that fails is told and the watch goes on.
    void gameWatch_saysChangesAndSurvivesAFailingLook() {
        QList<int> looks{0, 1, 1, 2, 0, 0};
        GameWatch watch([&] {
            const int look = looks.isEmpty() ? 0 : looks.takeFirst();
            if (look == 2)
                throw PelmarkError(QStringLiteral("no process list"));
            return look == 1;
        });
        QSignalSpy changed(&watch, &GameWatch::runningChanged);
        QSignalSpy failed(&watch, &GameWatch::failed);
        watch.timer()->setInterval(10);
        watch.start();
        QTRY_VERIFY(looks.isEmpty());
        QCOMPARE(changed.size(), 2);
        QCOMPARE(changed.at(0).first().toBool(), true);
        QCOMPARE(changed.at(1).first().toBool(), false);
        QCOMPARE(failed.size(), 1);
        QVERIFY(watch.timer()->isActive());
        watch.timer()->stop();
    }
};

QTEST_MAIN(TestRefresh)
#include "tst_refresh.moc"
