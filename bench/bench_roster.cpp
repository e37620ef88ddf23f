// RebuildRoster as the refresh timer runs it: 1,000 mates in 20 groups matched
// against 1,000 hosts of 23 racers each, with a server list of 1,000 rows.
#include "BenchMain.h"
#include "MateTree.h"
#include "ProfileStore.h"
#include "QuillonPubStats.h"
#include "RosterModel.h"
#include "ServerListView.h"
#include "SightingsSource.h"
#include "SingleByteText.h"
#include "TrackNaming.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTreeView>
#include <benchmark/benchmark.h>

namespace {

constexpr int Groups = 20;
constexpr int MatesPerGroup = 50;
constexpr int Hosts = 1000;
constexpr int RacersPerHost = 23;

QByteArray name(const char* prefix, int n) {
    return QByteArray(prefix) + QByteArray::number(n).rightJustified(5, '0');
}

HostRecord makeHost(int h) {
    HostRecord host;
    host.name = name("Host ", h);
    host.version[0] = 2;
    host.track[3] = 24;
    host.racerCount = RacersPerHost;
    for (int j = 0; j < RacersPerHost; ++j) {
        // Every 25th host carries one of the mates, so that some 40 are online.
        const QByteArray racer =
            (j == 0 && h % 25 == 0) ? name("Mate", h) : name("Racer", h * RacersPerHost + j);
        QByteArray slot(HostRecord::RacerNameSize, '\0');
        slot.replace(0, racer.size(), racer);
        host.racerNames += slot;
    }
    return host;
}

void writeGroups(const QString& dir) {
    for (int g = 0; g < Groups; ++g) {
        QFile file(dir + QStringLiteral("Group %1.profile").arg(g));
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write the benchmark's profile files");
        for (int m = 0; m < MatesPerGroup; ++m) {
            const int n = g * MatesPerGroup + m;
            file.write(MateRecord::make(name("Mate", n), n % 3 ? name("Nick", n) : QByteArray(),
                                        "Team", "http://example.invalid/")
                           .bytes());
        }
    }
}

void BM_RebuildRoster(benchmark::State& state) {
    QTemporaryDir temp;
    const QString groupsDir = temp.path() + QLatin1Char('/');
    writeGroups(groupsDir);

    QuillonPubStats stats;
    HostList hosts;
    for (int h = 0; h < Hosts; ++h)
        hosts << makeHost(h);
    QTreeView tvMates;
    ServerListView lvServer;
    lvServer.rows().refill(hosts, TrackTable());
    QLabel lMateInfo;
    QLabel lSvrMates;
    QAction onOffline;
    ProfileStore store(groupsDir);
    SightingsSource sightings(stats, hosts);
    MateTree tree({&tvMates, &lvServer, &lMateInfo, &lSvrMates, &onOffline}, stats, store,
                  sightings);
    onOffline.setChecked(state.range(0) == 0);

    for (auto _ : state)
        tree.RebuildRoster();
    state.counters["online"] = tree.onlineMateCount;
    state.counters["nodes"] = double(NodesInTreeOrder(*tvMates.model()).size());
}

} // namespace

BENCHMARK(BM_RebuildRoster)->ArgName("onlineOnly")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return RunWidgetBenchmarks(argc, argv);
}
