// How evenly the frame timer (--fps) paces the show, on the real platform's clock:
//     build/bin/bench_frame_pacing
// Each iteration paces 120 frames at the rate given and reports the rate reached and the
// spread of the intervals between frames (standard deviation and the largest distance from
// the period, in milliseconds). The "work" variants spend the given milliseconds of processor
// time on each frame, as drawing would, to show the timer keeps the rate under load.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include "app/shell.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int FRAMES = 120;

void Work(double milliseconds) {
    const auto end = Clock::now() + std::chrono::duration<double, std::milli>(milliseconds);
    while (Clock::now() < end) {}
}

void BM_FramePacing(benchmark::State& state) {
    const int framesPerSecond = int(state.range(0));
    const double workMilliseconds = double(state.range(1));
    const double period = 1000.0 / framesPerSecond;
    double rateSum = 0, spreadSum = 0, worstSum = 0;
    for (auto _ : state) {
        RestartFramePacing();
        std::vector<Clock::time_point> shown;
        for (int frame = 0; frame < FRAMES; ++frame) {
            WaitForFrameTime(framesPerSecond);
            shown.push_back(Clock::now());
            Work(workMilliseconds);
        }
        std::vector<double> intervals;
        for (size_t i = 1; i < shown.size(); ++i)
            intervals.push_back(std::chrono::duration<double, std::milli>(shown[i] - shown[i - 1]).count());
        double mean = 0, variance = 0, worst = 0;
        for (double interval : intervals) mean += interval / double(intervals.size());
        for (double interval : intervals) {
            variance += (interval - mean) * (interval - mean) / double(intervals.size());
            worst = std::max(worst, std::fabs(interval - period));
        }
        rateSum += 1000.0 / mean;
        spreadSum += std::sqrt(variance);
        worstSum += worst;
    }
    const double n = double(state.iterations());
    state.counters["fps"] = rateSum / n;
    state.counters["interval_sd_ms"] = spreadSum / n;
    state.counters["worst_off_ms"] = worstSum / n;
}

BENCHMARK(BM_FramePacing)
    ->ArgNames({"fps", "work_ms"})
    ->Args({60, 0})
    ->Args({60, 10})
    ->Args({144, 0})
    ->Args({30, 5})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
