// interleaved.h - the demo's drawing against its bare loop, frame by frame in one process.
//
// On a shared machine the load changes from second to second, so two benchmarks run one
// after the other compare two different machines. RunInterleaved draws one frame of each
// per iteration, alternating which goes first, and times each with the CPU clock of this
// thread alone (what issuing the stream costs here, apart from the driver's rasterising
// threads and from other processes). Counters: demo_ms and bare_ms per frame, and their
// ratio. Register with ->Repetitions(3)->ReportAggregatesOnly(true) and read the medians.
#pragma once

#include <benchmark/benchmark.h>

#include <ctime>

inline double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// `prepare` runs untimed before every frame of either kind; each frame ends with glFinish
// in the callers, so the drawing thread's share of the rasterising is counted too.
template <typename Prepare, typename Demo, typename Bare>
void RunInterleaved(benchmark::State& state, Prepare prepare, Demo demo, Bare bare) {
    double demoMs = 0, bareMs = 0;
    bool demoFirst = true;
    for (auto _ : state) {
        for (int k = 0; k < 2; ++k) {
            const bool demoTurn = (k == 0) == demoFirst;
            prepare();
            const double start = ThreadCpuMs();
            demoTurn ? demo() : bare();
            (demoTurn ? demoMs : bareMs) += ThreadCpuMs() - start;
        }
        demoFirst = !demoFirst;
    }
    const double frames = double(state.iterations());
    state.counters["demo_ms"] = demoMs / frames;
    state.counters["bare_ms"] = bareMs / frames;
    state.counters["ratio"] = bareMs > 0 ? demoMs / bareMs : 0;
}
