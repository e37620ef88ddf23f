// The whole refresh of an offscreen main window against a loopback service, beside a
// bare tree that is only filled with the same texts; and the longest stretch during
// that refresh in which the event loop got no turn.
#include "BenchMain.h"
#include "BenchWorld.h"
#include "FakeDesktop.h"
#include "FakeService.h"
#include "HostListDecoder.h"
#include "MateTree.h"
#include "RefreshController.h"
#include "ServerFinder.h"
#include "ServerListView.h"
#include "TrackNaming.h"
#include "uMain.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

// Waits in a loop of its own until the window has followed the refresh (list, tree).
void refreshAndWait(TfMain& window) {
    QEventLoop loop;
    QObject::connect(&window.refresh(), &RefreshController::refreshed, &loop, &QEventLoop::quit);
    if (window.refresh().tAutoRefreshTimer())
        loop.exec();
}

QString sourceTracksData() {
    return QStringLiteral(PELMARK_SOURCE_DIR "/data/Tracks.data");
}

// A program folder with Tracks.data, the roster and a settings file pointing at a
// loopback service that serves `hosts` hosts.
class World {
public:
    explicit World(int hosts) : m_reply(benchworld::makeReply(hosts)) {
        QDir(m_dir.path()).mkpath(QStringLiteral("data/groups"));
        if (!QFile::copy(sourceTracksData(), m_dir.filePath(QStringLiteral("data/Tracks.data"))) ||
            !benchworld::writeRoster(m_dir.filePath(QStringLiteral("data/groups"))))
            qFatal("cannot prepare the benchmark's program folder");
        QFile config(m_dir.filePath(QStringLiteral("Pelmark2.config")));
        if (!config.open(QIODevice::WriteOnly))
            qFatal("cannot write the benchmark's settings");
        const QByteArray base = m_service.baseUrl().toLatin1();
        config.write("[SERVICE]\nStatsServer=" + base + "\nHighlightsServer=" + base + "\n");
        config.close();
        m_service.setHandler([this](const httplib::Request& req, httplib::Response& res) {
            if (req.path == "/pubstat/get_stat2.php")
                res.set_content(m_reply.toStdString(), "application/octet-stream");
            else
                res.set_content("a fast lap\r\nanother one\r\n", "text/plain");
        });
        window = std::make_unique<TfMain>(desktop, m_dir.filePath(QStringLiteral("Pelmark2")));
        window->resize(1000, 700);
        window->show();
        QEventLoop started;
        QObject::connect(window.get(), &TfMain::startUpFinished, &started, &QEventLoop::quit);
        window->FormCreate();
        started.exec();
        // The benchmark drives the refresh itself; nothing else should run meanwhile.
        window->tAutoRefresh->stop();
        window->tScrollHighlights->stop();
        window->tCheckLFS->stop();
        QCoreApplication::processEvents();
    }

    // The rows' eight texts as the refresh makes them.
    QList<QStringList> rowTexts() const {
        const TrackTable tracks =
            TrackTable::load(m_dir.filePath(QStringLiteral("data/Tracks.data")));
        QList<QStringList> rows;
        for (const HostRecord& host : std::as_const(window->refresh().hosts()))
            if (host.isListed())
                rows << ServerRowTexts(host, tracks);
        return rows;
    }

    FakeDesktop desktop;
    std::unique_ptr<TfMain> window;

private:
    QByteArray m_reply;
    QTemporaryDir m_dir;
    FakeService m_service;
};

void reportRows(benchmark::State& state, const TfMain& window) {
    state.counters["rows"] = window.lvServer->rowCount();
    state.counters["online_mates"] = const_cast<TfMain&>(window).mateTree().onlineMateCount;
}

void BM_Refresh(benchmark::State& state) {
    World world(int(state.range(0)));
    TfMain& window = *world.window;
    for (auto _ : state) {
        refreshAndWait(window);
        QCoreApplication::processEvents(); // the repaint the refresh asked for
    }
    if (!world.desktop.errors.isEmpty() || !world.desktop.messages.isEmpty())
        state.SkipWithError("the refresh reported a problem");
    reportRows(state, window);
}

// The same refresh with a word in the filter field that leaves about a third of the rows.
void BM_RefreshFiltered(benchmark::State& state) {
    World world(int(state.range(0)));
    TfMain& window = *world.window;
    window.finder().eFilter->setText(QStringLiteral("city"));
    for (auto _ : state) {
        refreshAndWait(window);
        QCoreApplication::processEvents();
    }
    state.counters["shown"] = window.lvServer->rowCount();
    reportRows(state, window);
}

// One keystroke in the filter field: the letters of a word typed one at a time, each
// applied to every row and laid out and painted before the next.
void BM_FilterKeystroke(benchmark::State& state) {
    World world(int(state.range(0)));
    QLineEdit* field = world.window->finder().eFilter;
    const QString word = QStringLiteral("south");
    qsizetype typed = 0;
    for (auto _ : state) {
        typed = typed % word.size() + 1; // "s", "so", ... "south", then "s" again
        field->setText(word.left(typed));
        QCoreApplication::processEvents();
    }
    state.counters["shown"] = world.window->lvServer->rowCount();
    reportRows(state, *world.window);
}

// The bare list filled with the rows' eight texts, and painted.
void fillBare(QTreeWidget& list, const QList<QStringList>& texts) {
    list.clear();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(texts.size());
    for (const QStringList& row : texts)
        rows << new QTreeWidgetItem(row);
    list.addTopLevelItems(rows);
    QCoreApplication::processEvents();
}

// Only the refill of the bare list: same rows, same eight texts, made beforehand.
void BM_BareFill(benchmark::State& state) {
    World world(int(state.range(0)));
    const QList<QStringList> texts = world.rowTexts();
    world.window->hide();
    QTreeWidget list;
    list.setColumnCount(ServerListModel::ColumnCount);
    list.setUniformRowHeights(true);
    list.resize(world.window->lvServer->size());
    list.show();
    for (auto _ : state)
        fillBare(list, texts);
    state.counters["rows"] = list.topLevelItemCount();
}

// Lets every paint that the last step asked for happen now, inside that step's time:
// a paint left for later would be counted on the other side of the pair.
void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

// The refresh against the bare fill as the median of interleaved pairs: a refresh, then
// a bare fill, again and again in one process, so that a slower stretch of the machine
// weighs on both sides of each ratio alike. range(1): a word in the filter field.
void BM_RefreshRatio(benchmark::State& state) {
    World world(int(state.range(0)));
    TfMain& window = *world.window;
    if (state.range(1) != 0)
        window.finder().eFilter->setText(QStringLiteral("city"));
    const QList<QStringList> texts = world.rowTexts();
    QTreeWidget list;
    list.setColumnCount(ServerListModel::ColumnCount);
    list.setUniformRowHeights(true);
    list.resize(window.lvServer->size());
    list.show();
    std::vector<double> ratios;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        refreshAndWait(window);
        settle();
        const double refresh = double(clock.nsecsElapsed());
        clock.restart();
        fillBare(list, texts);
        settle();
        ratios.push_back(refresh / double(clock.nsecsElapsed()));
    }
    std::sort(ratios.begin(), ratios.end());
    const size_t n = ratios.size();
    state.counters["ratio_median"] = n == 0 ? 0.0 : (ratios[(n - 1) / 2] + ratios[n / 2]) / 2;
    reportRows(state, window);
}

// Parts of the refresh, to see which one dominates. The first: the request and the
// decode alone, as the host-list service makes them, without the window following.
void BM_RefreshServerList(benchmark::State& state) {
    World world(int(state.range(0)));
    HostListService& service = world.window->refresh().service();
    const QString address = world.window->config.statsServer;
    for (auto _ : state) {
        QEventLoop loop;
        QObject::connect(&service, &HostListService::finished, &loop, &QEventLoop::quit);
        service.fetch(address, QString());
        loop.exec();
    }
    reportRows(state, *world.window);
}

void BM_RebuildRoster(benchmark::State& state) {
    World world(int(state.range(0)));
    for (auto _ : state)
        world.window->mateTree().RebuildRoster();
    reportRows(state, *world.window);
}

void BM_SortServerList(benchmark::State& state) {
    World world(int(state.range(0)));
    TfMain& window = *world.window;
    for (auto _ : state) {
        // Alternate the direction so that every round really moves the rows.
        window.config.sortDescending = !window.config.sortDescending;
        window.SortServerList();
    }
}

// The longest time the event loop had no turn while one refresh ran: a 0-ms timer
// notes each turn; the stretches before the first and after the last turn count too.
void BM_RefreshEventGap(benchmark::State& state) {
    World world(int(state.range(0)));
    TfMain& window = *world.window;
    double worstMs = 0;
    double sumMs = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        qint64 last = 0;
        qint64 longest = 0;
        QTimer turn;
        turn.setInterval(0);
        QObject::connect(&turn, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            longest = std::max(longest, now - last);
            last = now;
        });
        turn.start();
        clock.start();
        refreshAndWait(window);
        longest = std::max(longest, clock.nsecsElapsed() - last);
        turn.stop();
        const double ms = double(longest) / 1e6;
        worstMs = std::max(worstMs, ms);
        sumMs += ms;
        state.SetIterationTime(ms / 1e3);
        QCoreApplication::processEvents();
    }
    state.counters["gap_ms_max"] = worstMs;
    state.counters["gap_ms_mean"] = sumMs / double(state.iterations());
}

} // namespace

BENCHMARK(BM_RefreshRatio)
    ->ArgNames({"hosts", "filtered"})
    ->Args({300, 0})
    ->Args({3000, 0})
    ->Args({3000, 1})
    ->Iterations(40)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Refresh)->ArgName("hosts")->Arg(300)->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareFill)->ArgName("hosts")->Arg(300)->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshFiltered)->ArgName("hosts")->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterKeystroke)->ArgName("hosts")->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshServerList)->ArgName("hosts")->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildRoster)->ArgName("hosts")->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortServerList)->ArgName("hosts")->Arg(3000)->Unit(benchmark::kMillisecond);
// Manual time: the benchmark's time is the longest gap itself.
BENCHMARK(BM_RefreshEventGap)
    ->ArgName("hosts")
    ->Arg(3000)
    ->UseManualTime()
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);

namespace {

// The offscreen platform remarks on every window it sizes; that would drown the table.
void quietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains(QLatin1String("propagateSizeHints")))
        return;
    qt_message_output(type, context, text);
}

} // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(quietOffscreen);
    return RunWidgetBenchmarks(argc, argv);
}
