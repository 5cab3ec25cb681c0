// Generating the whole default data set (all but the music) must take under 10 s on the
// project's machine and stay under 10 MB; each file is timed alone to show where time goes.
#include <benchmark/benchmark.h>

#include "data_set.h"

namespace {

void WholeDataSet(benchmark::State& state) {
    double bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (const DataFileMaker& maker : DataFileMakers()) bytes += double(maker.make(VREX_DATA_FONT).size());
    }
    state.counters["MB"] = bytes / (1024.0 * 1024.0);
}
BENCHMARK(WholeDataSet)->Unit(benchmark::kMillisecond)->Iterations(2);

void OneFile(benchmark::State& state) {
    const DataFileMaker& maker = DataFileMakers()[size_t(state.range(0))];
    state.SetLabel(maker.name);
    for (auto _ : state) benchmark::DoNotOptimize(maker.make(VREX_DATA_FONT));
}
BENCHMARK(OneFile)->DenseRange(0, int(DataFileMakers().size()) - 1)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
