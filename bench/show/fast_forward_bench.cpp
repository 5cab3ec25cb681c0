// How long the show takes to reach a frame without drawing the frames before it (--start),
// on a real offscreen GL context with the default data. Run it in the data directory:
//     cd build/data && SDL_VIDEODRIVER=offscreen ../bin/bench_fast_forward
// Each iteration starts the show again and skips to the frame: the first frame of each row
// of the scene table, and the empty frame after the credits, the farthest one can go.
//
// BM_StepFrames is what keeping time costs: frames passed over inside one row (StepShowOver),
// the row's wobble and particle steps without drawing; its items per second / 1000 are the
// frames stepped per millisecond in that row.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include "platform/fake_platform.h"
#include "resources/textures.h"
#include "scenes/timeline.h"

namespace {

bool PrepareOnce() {
    static const bool ready = [] {
        fake::Reset();
        fake::g_answers.realGlContext = true;
        g_musicWanted = false;
        InitDemo(fake::FakeWindow());
        KeepShowStartState();
        return g_texGrass.textureName != 0;
    }();
    return ready;
}

void BM_FastForward(benchmark::State& state) {
    if (!PrepareOnce()) {
        state.SkipWithError("no data here: run in build/data");
        return;
    }
    const int frame = int(state.range(0));
    for (auto _ : state) {
        RestartShow();
        FastForwardShow(frame);
        glFinish();
    }
    state.counters["frame"] = frame;
}

void ShowFrames(benchmark::internal::Benchmark* benchmark) {
    for (int row = 1; row <= SCENE_ROW_COUNT; ++row) benchmark->Arg(FirstFrameOfRow(row));
    benchmark->Arg(ShowEndFrame());
}

BENCHMARK(BM_FastForward)->Apply(ShowFrames)->Unit(benchmark::kMillisecond)->Iterations(3);

// Steps the first STEPPED frames of the row, one an iteration: every row is longer than that
// (the shortest lasts 0.5 / 0.0007, about 714 frames), so no restart falls inside the timing.
constexpr int STEPPED = 600;

void BM_StepFrames(benchmark::State& state) {
    if (!PrepareOnce()) {
        state.SkipWithError("no data here: run in build/data");
        return;
    }
    const int row = int(state.range(0));
    RestartShow();
    FastForwardShow(FirstFrameOfRow(row));
    for (auto _ : state) StepShowOver(1);
    glFinish();
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(SCENE_TABLE[row - 1].key);
}

BENCHMARK(BM_StepFrames)->DenseRange(1, SCENE_ROW_COUNT)->Iterations(STEPPED)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
