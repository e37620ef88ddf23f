// DecodeHostList on replies of 300, 3,000 and 30,000 hosts.
#include "BenchWorld.h"
#include "HostListDecoder.h"

#include <benchmark/benchmark.h>

namespace {

void BM_DecodeHostList(benchmark::State& state) {
    const int count = int(state.range(0));
    const QByteArray reply = benchworld::makeReply(count);
    HostList hosts;
    for (auto _ : state) {
        if (DecodeHostList(reply, hosts) != DecodeResult::Ok)
            state.SkipWithError("the reply did not decode");
        benchmark::DoNotOptimize(hosts.data());
    }
    state.SetBytesProcessed(state.iterations() * reply.size());
    state.SetItemsProcessed(state.iterations() * count);
    state.counters["ns_per_host"] =
        benchmark::Counter(double(count) * 1e-9, benchmark::Counter::kIsIterationInvariantRate |
                                                     benchmark::Counter::kInvert);
    state.counters["reply_kB"] = double(reply.size()) / 1024.0;
}

// The refusal test runs over every reply before the decode.
void BM_IsRefusalReply(benchmark::State& state) {
    const QByteArray reply = benchworld::makeReply(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(IsRefusalReply(reply));
    state.SetBytesProcessed(state.iterations() * reply.size());
}

} // namespace

BENCHMARK(BM_DecodeHostList)
    ->ArgName("hosts")
    ->Arg(300)
    ->Arg(3000)
    ->Arg(30000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IsRefusalReply)->ArgName("hosts")->Arg(3000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
