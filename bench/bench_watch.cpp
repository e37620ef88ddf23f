// The game watch's cost per tick: one reading of this machine's /proc, its time and how
// many heap blocks it takes per process, by the plain reader and by the program's watch;
// and the watch's tick while the game does not run.
#include "ProcessList.h"
#include "RunBenchmarks.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cstddef>

// Every heap block of the process comes through here while counting is on, Qt's
// included: they all allocate through malloc.
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
}

namespace {
std::atomic<bool> g_counting{false};
std::atomic<long> g_blocks{0};

void counted() {
    if (g_counting.load(std::memory_order_relaxed))
        g_blocks.fetch_add(1, std::memory_order_relaxed);
}
} // namespace

extern "C" {
void* malloc(std::size_t size) {
    counted();
    return __libc_malloc(size);
}
void* calloc(std::size_t n, std::size_t size) {
    counted();
    return __libc_calloc(n, size);
}
void* realloc(void* p, std::size_t size) {
    counted();
    return __libc_realloc(p, size);
}
}

namespace {

qsizetype procEntries() {
    return QDir(QStringLiteral("/proc"))
        .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
        .filter(QRegularExpression(QStringLiteral("^[0-9]+$")))
        .size();
}

// One call per watch tick; the blocks of the last call. Every process in /proc is read,
// the listed ones are those whose executable we may see.
template <typename List> void measureWatch(benchmark::State& state, List list) {
    qsizetype processes = 0;
    long blocks = 0;
    for (auto _ : state) {
        g_blocks = 0;
        g_counting = true;
        const QStringList listed = list();
        g_counting = false;
        blocks = g_blocks;
        processes = listed.size();
        benchmark::DoNotOptimize(listed.constData());
    }
    const auto read = procEntries();
    state.counters["processes_read"] = double(read);
    state.counters["processes_listed"] = double(processes);
    state.counters["allocs_per_call"] = double(blocks);
    state.counters["allocs_per_process"] = read ? double(blocks) / double(read) : 0;
    state.counters["allocs_per_listed"] = processes ? double(blocks) / double(processes) : 0;
}

void BM_ListProcesses(benchmark::State& state) {
    measureWatch(state, [] { return ListProcesses(); });
}

// The program's own watch, which keeps what one tick learned for the next.
void BM_ProcessWatch(benchmark::State& state) {
    ProcessWatch watch;
    watch.list();
    measureWatch(state, [&] { return watch.list(); });
}

// A tick while the game, set up but not started, does not run: the list is read again
// only when something could have started it.
void BM_WatchGameNotRunning(benchmark::State& state) {
    QTemporaryDir dir;
    const QString game = dir.path() + QStringLiteral("/LFS.exe");
    QFile file(game);
    if (!file.open(QIODevice::WriteOnly)) {
        state.SkipWithError("cannot make the game's file");
        return;
    }
    file.close();
    ProcessWatch watch;
    watch.isRunning(game);
    const int before = watch.readings();
    for (auto _ : state)
        benchmark::DoNotOptimize(watch.isRunning(game));
    state.counters["readings_per_call"] =
        double(watch.readings() - before) / double(state.iterations());
}

} // namespace

BENCHMARK(BM_ListProcesses)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ProcessWatch)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WatchGameNotRunning)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
