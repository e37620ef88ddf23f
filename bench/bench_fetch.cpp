// The fetch of a 3,000-host reply from pelmark-statsim through the program's client,
// beside curl fetching the same reply from the same simulator: once over a connection
// that stays open, once over a new connection per fetch (the service drops an idle
// connection long before the next automatic refresh).
#include "HttpClient.h"
#include "HttpWait.h"
#include "RunBenchmarks.h"
#include "StatSim.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int Hosts = 3000;
constexpr int CurlRounds = 20;

StatSim* g_sim = nullptr;

QUrl hostsUrl() {
    return g_sim->url(QStringLiteral("/pubstat/get_stat2.php?action=hosts"));
}

// One curl run over `fetches` transfers of the reply on one connection; the times
// curl itself took per transfer, in seconds (its own start-up is not in them).
QList<double> curlTimes(int fetches) {
    QStringList args{QStringLiteral("-s"), QStringLiteral("-w"),
                     QStringLiteral("%{time_total}\\n")};
    for (int i = 0; i < fetches; ++i)
        args << QStringLiteral("-o") << QStringLiteral("/dev/null") << hostsUrl().toString();
    QProcess curl;
    curl.start(QStringLiteral("curl"), args);
    if (!curl.waitForFinished(60'000) || curl.exitCode() != 0)
        return {};
    QList<double> times;
    for (const QByteArray& line : curl.readAllStandardOutput().split('\n'))
        if (!line.isEmpty())
            times << line.toDouble();
    return times.size() == fetches ? times : QList<double>();
}

void fetchOnce(benchmark::State& state, HttpClient& client, qint64& bytes) {
    try {
        bytes = GetNow(client, hostsUrl()).size();
    } catch (const PelmarkError& e) {
        state.SkipWithError(qPrintable(e.message()));
    }
}

void BM_FetchHttpClientKept(benchmark::State& state) {
    HttpClient client;
    qint64 bytes = 0;
    fetchOnce(state, client, bytes); // opens the connection
    for (auto _ : state)
        fetchOnce(state, client, bytes);
    state.counters["bytes"] = double(bytes);
}

void BM_FetchHttpClientNew(benchmark::State& state) {
    qint64 bytes = 0;
    for (auto _ : state) {
        auto client = std::make_unique<HttpClient>();
        fetchOnce(state, *client, bytes);
    }
    state.counters["bytes"] = double(bytes);
}

void BM_FetchCurlKept(benchmark::State& state) {
    // The first transfer opens the connection; the others reuse it.
    const QList<double> times = curlTimes(CurlRounds + 1);
    if (times.isEmpty()) {
        state.SkipWithError("curl failed");
        return;
    }
    int i = 1;
    for (auto _ : state)
        state.SetIterationTime(times.at(i++));
}

void BM_FetchCurlNew(benchmark::State& state) {
    for (auto _ : state) {
        const QList<double> times = curlTimes(1);
        if (times.isEmpty()) {
            state.SkipWithError("curl failed");
            return;
        }
        state.SetIterationTime(times.first());
    }
}

} // namespace

BENCHMARK(BM_FetchHttpClientKept)->Iterations(CurlRounds)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FetchHttpClientNew)->Iterations(CurlRounds)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FetchCurlKept)->Iterations(CurlRounds)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FetchCurlNew)->Iterations(CurlRounds)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    StatSim sim({QStringLiteral("--hosts"), QString::number(Hosts)});
    if (sim.port() == 0) {
        qCritical("pelmark-statsim did not start");
        return 1;
    }
    g_sim = &sim;
    return RunBenchmarks(argc, argv);
}
