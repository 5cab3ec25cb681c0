// One terrain frame (backdrop, both ground bands, the fountain) at 800 x 600 on an offscreen
// context, three ways:
//   Demo:        DrawBackdrop, DrawTerrainFirstBand, DrawParticles, DrawTerrainSecondBand;
//   BareLoop:    the same GL calls issued from arrays computed beforehand (terrain_stream.h),
//                which is what the driver itself needs for this stream;
//   DisplayList: the same geometry compiled once and replayed, for comparison only (the demo
//                keeps immediate mode).
// DemoAgainstBareLoop draws the first two in turn and holds the demo to within 1.1 times the
// bare loop in drawing-thread CPU time (median of its three repetitions):
//     SDL_VIDEODRIVER=offscreen build/bin/terrain_bench --benchmark_filter=DemoAgainst
// Every frame clears, places the still view's terrain frame and ends with glFinish, so the
// time includes rasterising, not only queueing. Run with SDL_VIDEODRIVER=offscreen.
#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "platform/fake_platform.h"
#include "resources/textures.h"
#include "bench/support/interleaved.h"
#include "bench/support/offscreen_context.h"
#include "bench/terrain/terrain_stream.h"
#include "terrain/terrain.h"

TextureImage g_texGrass, g_texAll, g_texParticle;

namespace {

constexpr int WIDTH = 800, HEIGHT = 600;

// A texture of `size` x `size` texels in one tint with a checker, linearly filtered.
GLuint MakeTexture(int size, unsigned char r, unsigned char g, unsigned char b, bool alpha) {
    const int channels = alpha ? 4 : 3;
    std::vector<unsigned char> texels(size_t(size) * size * channels);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            unsigned char* t = &texels[(size_t(y) * size + x) * channels];
            const int shade = ((x / 16 + y / 16) % 2) ? 255 : 180;
            t[0] = r * shade / 255, t[1] = g * shade / 255, t[2] = b * shade / 255;
            if (alpha) {
                const double dx = x - size / 2.0, dy = y - size / 2.0;
                t[3] = (unsigned char)std::fmax(0.0, 255 - std::sqrt(dx * dx + dy * dy) * 510 / size);
            }
        }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, channels, size, size, 0, alpha ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    return name;
}

// A volcano: a cone with a crater, on a gently rolling plain.
void MakeVolcano() {
    for (int r = 0; r < MAP_SIZE; ++r)
        for (int c = 0; c < MAP_SIZE; ++c) {
            const double d = std::hypot(r - 128.0, c - 80.0);
            double h = 30 + 10 * std::sin(r * 0.05) * std::cos(c * 0.07) + std::fmax(0.0, 200 - d * 2.2);
            if (d < 12) h -= (12 - d) * 6;
            g_heightMap[r * MAP_SIZE + c] = int32_t(std::fmin(255.0, std::fmax(0.0, h)));
        }
}

// The context and the fixed state the demo's start-up leaves, with lighting on.
bool SetUpContext() {
    if (!MakeOffscreenContext(WIDTH, HEIGHT)) return false;
    glViewport(0, 0, WIDTH, HEIGHT);
    glEnable(GL_TEXTURE_2D);
    glClearColor(0, 0, 0, 0.5f);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_COLOR_MATERIAL);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, double(WIDTH) / HEIGHT, 1.0, 4000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    g_texGrass.textureName = MakeTexture(256, 90, 200, 70, false);
    g_texAll.textureName = MakeTexture(256, 80, 110, 220, false);
    g_texParticle.textureName = MakeTexture(32, 255, 255, 255, true);
    MakeVolcano();
    for (int frame = 0; frame < 300; ++frame) DrawParticles();  // a fountain in full flow
    SteadyFountain();
    // One frame before timing, so the driver has compiled its shaders for this state.
    glPushMatrix();
    glTranslatef(-168, -28, -260);
    DrawBackdrop();
    DrawTerrainFirstBand();
    DrawParticles();
    DrawTerrainSecondBand();
    glPopMatrix();
    glFinish();
    std::fprintf(stderr, "GL renderer: %s\n", (const char*)glGetString(GL_RENDERER));
    return glGetError() == GL_NO_ERROR;
}

bool Ready() {
    static const bool ready = SetUpContext();
    return ready;
}

void BeginFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(-40, 0, 0);
    glPushMatrix();
    glTranslatef(-128, -28, -260);
}

void EndFrame() {
    glPopMatrix();
    glFinish();
}

class ThreadCpu {
public:
    explicit ThreadCpu(benchmark::State& state) : state_(state), start_(ThreadCpuMs()) {}
    ~ThreadCpu() {
        state_.counters["thread_cpu_ms"] = benchmark::Counter((ThreadCpuMs() - start_) / double(state_.iterations()));
    }

private:
    benchmark::State& state_;
    double start_;
};

const TerrainStream& TheStream() {
    static const TerrainStream stream = PrecomputeTerrainStream();
    return stream;
}

// ---- the benchmarks ------------------------------------------------------------------------
void DemoFrame() {
    BeginFrame();
    DrawBackdrop();
    DrawTerrainFirstBand();
    DrawParticles();
    DrawTerrainSecondBand();
    EndFrame();
}

void BareFrame() {
    BeginFrame();
    SendTerrainStream(TheStream());
    EndFrame();
}

// The figure the demo is held to: within 1.1 times the bare loop, by the median ratio. Every
// demo frame starts from the fountain the stream was read from, so both send the same calls.
void DemoAgainstBareLoop(benchmark::State& state) {
    if (!Ready()) return state.SkipWithError("no GL context");
    TheStream();
    RunInterleaved(state, RestoreFountain, DemoFrame, BareFrame);
}

// The fountain runs on here, as in the show.
void Demo(benchmark::State& state) {
    if (!Ready()) return state.SkipWithError("no GL context");
    ThreadCpu cpu(state);
    for (auto _ : state) DemoFrame();
}

void BareLoop(benchmark::State& state) {
    if (!Ready()) return state.SkipWithError("no GL context");
    TheStream();
    ThreadCpu cpu(state);
    for (auto _ : state) BareFrame();
}

void DisplayList(benchmark::State& state) {
    if (!Ready()) return state.SkipWithError("no GL context");
    static const GLuint list = [] {
        GLuint name = glGenLists(1);
        glNewList(name, GL_COMPILE);
        SendTerrainStream(TheStream());
        glEndList();
        return name;
    }();
    ThreadCpu cpu(state);
    for (auto _ : state) {
        BeginFrame();
        glCallList(list);
        EndFrame();
    }
}

BENCHMARK(DemoAgainstBareLoop)->Unit(benchmark::kMillisecond)->MinTime(2.0)->Repetitions(3)->ReportAggregatesOnly(true);
// Wall-clock time as well: the rasterising runs partly on the driver's own threads.
BENCHMARK(Demo)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BareLoop)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(DisplayList)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
