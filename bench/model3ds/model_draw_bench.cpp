// The model scene's model, drawn on an offscreen 800 x 600 context, two ways in turn:
//   demo: DrawModel() on g_model as the demo loads it from the default data's "dinos.3ds";
//   bare: the same calls issued from arrays filled beforehand (model_stream.h).
// The demo should stay within 1.1 times the bare loop in drawing-thread CPU time, by the
// median ratio of the three repetitions. Every frame clears, places the model as the scene
// does, and ends with glFinish. Run after the build has generated the data:
//     SDL_VIDEODRIVER=offscreen build/bin/model_draw_bench
#include <GL/gl.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "bench/model3ds/model_stream.h"
#include "bench/support/interleaved.h"
#include "bench/support/offscreen_context.h"
#include "model3ds/model.h"
#include "platform/fake_platform.h"

namespace {

constexpr int WIDTH = 800, HEIGHT = 600;

// The context and the state the model scene draws in: unlit, depth-tested, unblended,
// textured.
bool SetUpContext() {
    if (!MakeOffscreenContext(WIDTH, HEIGHT)) return false;
    glViewport(0, 0, WIDTH, HEIGHT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, double(WIDTH) / HEIGHT, 1.0, 4000);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_COLOR_MATERIAL);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);

    std::error_code error;
    std::filesystem::current_path(VREX_DATA_DIR, error);
    if (error) return false;
    LoadModel("dinos.3ds");
    std::fprintf(stderr, "GL renderer: %s; %d objects\n", (const char*)glGetString(GL_RENDERER), g_model.objectCount);
    return g_model.objectCount > 0 && glGetError() == GL_NO_ERROR;
}

bool Ready() {
    static const bool ready = SetUpContext();
    return ready;
}

const std::vector<ObjectStream>& TheStream() {
    static const std::vector<ObjectStream> stream = PrecomputeModelStream();
    return stream;
}

void BeginFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0, -50, -175);
    glRotatef(30, 0, 1, 0);
    glColor4f(1, 1, 1, 1);
}

void DemoFrame() {
    BeginFrame();
    DrawModel();
    glFinish();
}

void BareFrame() {
    BeginFrame();
    SendModelStream(TheStream());
    glFinish();
}

void DemoAgainstBareLoop(benchmark::State& state) {
    if (!Ready()) return state.SkipWithError("no GL context or no model in " VREX_DATA_DIR);
    TheStream();
    DemoFrame();  // once before timing, so the driver has compiled its shaders for this state
    RunInterleaved(
        state, [] {}, DemoFrame, BareFrame);
    size_t corners = 0;
    for (const ObjectStream& object : TheStream()) corners += object.cornerData.size();
    state.counters["corners"] = double(corners);
}
BENCHMARK(DemoAgainstBareLoop)->Unit(benchmark::kMillisecond)->MinTime(2.0)->Repetitions(3)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
