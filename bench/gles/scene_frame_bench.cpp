// scene_frame_bench DATA_DIR [FRAMES]
//
// Every scene row of the show drawn by our GL over a stub driver that draws nothing but copies
// every upload: per row, the library's CPU milliseconds per frame (median of FRAMES, default
// 60, after 3 unmeasured ones that fill its per-batch caches), bytes handed to the driver per
// frame (as the library counts them: the same on every machine), bytes the stub copied and
// draws per frame. The frames are the show's own: its start-up of GL state and resources (files
// by bare name from DATA_DIR), its sequencer's RenderFrame, its skipping ahead to a little into
// each row. Each terrain row is also timed against its floor, a frame of which follows each of
// the row's frames: the same glBegin / glTexCoord2f / glVertex3f / glEnd calls made into
// functions that only store each vertex, which no GL can beat. The same source builds natively
// (CMake) and in WebAssembly for node (wasm_bench.sh).
#include <GL/gl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/shell.h"
#include "bench/gles/stub_driver.h"
#include "resources/demo_images.h"
#include "resources/textures.h"
#include "scenes/timeline.h"
#include "terrain/terrain.h"

// The loaders report a missing or broken file in a box. Here there is no window: the text goes
// to standard error and the bench ends, since a row drawn without its resources measures
// something else.
int MessageBoxA(HWND, const char* text, const char* caption, UINT) {
    std::fprintf(stderr, "scene_frame_bench: %s: %s\n", caption, text);
    std::exit(1);
}
HWND GetFocus() { return nullptr; }

namespace {

using Clock = std::chrono::steady_clock;

constexpr int WARM_FRAMES = 3;
// Each row is measured from this far into it, past whatever its first frames do once.
constexpr int FRAMES_INTO_ROW = 40;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A record whose file failed keeps no texture: the rows that bind it would draw untextured.
bool EveryImageLoaded() {
    bool loaded = true;
#define CHECK_IMAGE(id, record, file)                                       \
    if (!record.textureName) {                                              \
        std::fprintf(stderr, "scene_frame_bench: %s did not load\n", file); \
        loaded = false;                                                     \
    }
    DEMO_IMAGES(CHECK_IMAGE)
#undef CHECK_IMAGE
    return loaded;
}

int LastFrameOfRow(int row) { return (row < SCENE_ROW_COUNT ? FirstFrameOfRow(row + 1) : ShowEndFrame()) - 1; }

// The most frames every row holds after its lead-in and warm-up.
int MostFramesPerRow() {
    int most = ShowEndFrame();
    for (int row = 1; row <= SCENE_ROW_COUNT; ++row)
        most = std::min(most, LastFrameOfRow(row) + 1 - FirstFrameOfRow(row) - FRAMES_INTO_ROW - WARM_FRAMES);
    return most;
}

bool IsTerrainRow(int row) {
    const auto draw = SCENE_TABLE[row - 1].draw;
    return draw == DrawTurningTerrainView || draw == DrawStillTerrainView;
}

struct Row {
    int row;
    double ms;
    double bytes, copied, draws;
    double floorMs;  // terrain rows: the floor's frames, timed between the row's own; else 0
};

// ---- the floor: the same calls into functions that only store each vertex --------------------

struct StoredVertex {
    float x, y, z, s, t, r, g, b, a;
};
std::vector<StoredVertex> g_stored;
float g_s, g_t, g_colour[4] = {1, 1, 1, 1};

// Out of line, as calls into a GL library are.
[[gnu::noinline]] void FloorBegin(GLenum) {}
[[gnu::noinline]] void FloorEnd() {}
[[gnu::noinline]] void FloorTexCoord(float s, float t) { g_s = s, g_t = t; }
[[gnu::noinline]] void FloorColour(float r, float g, float b, float a) {
    g_colour[0] = r, g_colour[1] = g, g_colour[2] = b, g_colour[3] = a;
}
[[gnu::noinline]] void FloorVertex(float x, float y, float z) {
    g_stored.push_back({x, y, z, g_s, g_t, g_colour[0], g_colour[1], g_colour[2], g_colour[3]});
}

constexpr int GRID_CELLS = 257, GRID_POINTS = GRID_CELLS + 1;
float g_heights[GRID_POINTS][GRID_POINTS];

// The ground's loop as terrain_draw.cpp walks it.
void FloorGround(int firstRow, int lastRow) {
    for (int x = 0; x < GRID_POINTS; ++x)
        for (int z = firstRow; z <= lastRow + 1; ++z)
            g_heights[z][x] = HeightOfEntry(g_heightMap[HeightMapIndex(x, z)]);
    for (int i = firstRow; i <= lastRow; ++i)
        for (int j = 0; j < GRID_CELLS; ++j) {
            const float x = float(j), nextX = float(j + 1), z = float(i), nextZ = float(i + 1);
            FloorBegin(GL_TRIANGLE_STRIP);
            FloorTexCoord(x / 512.0f, -z / 512.0f);
            FloorVertex(x, g_heights[i][j], z);
            FloorTexCoord(nextX / 512.0f, -z / 512.0f);
            FloorVertex(nextX, g_heights[i][j + 1], z);
            FloorTexCoord(x / 512.0f, -nextZ / 512.0f);
            FloorVertex(x, g_heights[i + 1][j], nextZ);
            FloorTexCoord(nextX / 512.0f, -nextZ / 512.0f);
            FloorVertex(nextX, g_heights[i + 1][j + 1], nextZ);
            FloorEnd();
        }
}

void FloorParticles() {
    for (int p = 0; p < PARTICLE_COUNT; ++p) {
        const Particle& q = g_particles[p];
        FloorColour(1, 0, 0, q.life);
        FloorBegin(GL_TRIANGLE_STRIP);
        FloorTexCoord(1, 1);
        FloorVertex(q.x + 0.5f, q.y + 0.5f, q.z);
        FloorTexCoord(0, 1);
        FloorVertex(q.x - 0.5f, q.y + 0.5f, q.z);
        FloorTexCoord(1, 0);
        FloorVertex(q.x + 0.5f, q.y - 0.5f, q.z);
        FloorTexCoord(0, 0);
        FloorVertex(q.x - 0.5f, q.y - 0.5f, q.z);
        FloorEnd();
    }
}

// One frame of the floor, timed. It steps a copy of the fountain (its own motion, which
// DrawParticles does too), so the show's next frame finds the fountain as it left it.
double TimeFloorFrame() {
    Particle fountain[PARTICLE_COUNT];
    std::copy(std::begin(g_particles), std::end(g_particles), fountain);
    const auto start = Clock::now();
    g_stored.clear();
    FloorGround(0, 75);
    StepParticles();
    FloorParticles();
    FloorGround(75, 256);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    std::copy(std::begin(fountain), std::end(fountain), g_particles);
    return ms;
}

// A frame as the demo's loop draws it, ended where its buffer swap would be.
void DrawShowFrame() {
    RenderFrame();
    glesFlush();
}

// The show brought to a little into `row` as the capture tool's --skip-ahead brings it, from
// frame 0 or from the last frame drawn, then timed frame by frame. In a terrain row each frame
// is followed by a frame of the floor: the machine's speed drifts (a virtual machine's most of
// all), and the two, timed in turn, share it.
Row TimeRow(int row, int frames) {
    const int start = FirstFrameOfRow(row) + FRAMES_INTO_ROW;
    if (g_frameCounter == 0)
        FastForwardShow(start);
    else
        StepShowOver(start - g_frameCounter);
    for (int f = 0; f < WARM_FRAMES; ++f) DrawShowFrame();
    const bool againstFloor = IsTerrainRow(row);
    if (againstFloor)
        for (int f = 0; f < WARM_FRAMES; ++f) TimeFloorFrame();
    std::vector<double> ms, floorMs;
    const long long bytes = glesBytesSentCount(), copied = StubDriverBytesCopied();
    const long draws = glesDrawCallCount();
    for (int f = 0; f < frames; ++f) {
        const auto begin = Clock::now();
        DrawShowFrame();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - begin).count());
        if (againstFloor) floorMs.push_back(TimeFloorFrame());
    }
    // The floor's uploads are none: the counts are the row's alone.
    return {row,
            Median(ms),
            double(glesBytesSentCount() - bytes) / frames,
            double(StubDriverBytesCopied() - copied) / frames,
            double(glesDrawCallCount() - draws) / frames,
            againstFloor ? Median(floorMs) : 0};
}

void PrintTable(const std::vector<Row>& rows, int frames) {
    std::printf("%-4s %-20s %10s %14s %14s %8s %10s\n", "row", "scene", "cpu ms", "bytes/frame", "copied/frame",
                "draws", "vs floor");
    for (const Row& r : rows) {
        std::printf("%-4d %-20s %10.3f %14.0f %14.0f %8.1f", r.row, SCENE_TABLE[r.row - 1].name, r.ms, r.bytes,
                    r.copied, r.draws);
        if (r.floorMs > 0)
            std::printf(" %10.2f\n", r.ms / r.floorMs);
        else
            std::printf(" %10s\n", "-");
    }
    for (const Row& r : rows)
        if (r.floorMs > 0)
            std::printf("%-4s %-20s %10.3f %14s %14s %8s %10s\n", "-", "floor, in turn", r.floorMs, "-", "-", "-",
                        "1.00");
    std::printf("median of %d frames each, %d frames into each row, after %d unmeasured\n", frames, FRAMES_INTO_ROW,
                WARM_FRAMES);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: scene_frame_bench DATA_DIR [FRAMES]\n");
        return 2;
    }
    const int frames = argc > 2 ? std::atoi(argv[2]) : 60;
    if (frames < 1 || frames > MostFramesPerRow()) {
        std::fprintf(stderr, "scene_frame_bench: FRAMES must be 1 to %d, the most every row holds\n",
                     MostFramesPerRow());
        return 2;
    }
    // The show opens its files by bare name, as the demo does inside its data folder.
    if (chdir(argv[1]) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    GlesContext* gl = glesCreateContext(StubDriverGetter());
    if (!gl) {
        std::fprintf(stderr, "scene_frame_bench: %s\n", glesLastFailure());
        return 1;
    }
    glesMakeCurrent(gl);
    SetShowGlState(CLIENT_WIDTH, CLIENT_HEIGHT);
    SetUpShow();
    // The height map's loader says nothing of a missing file: read again, it tells.
    if (!EveryImageLoaded() || LoadHeightMapFile("vulc.raw") == 0) {
        std::fprintf(stderr, "scene_frame_bench: the show's data is not all in %s\n", argv[1]);
        return 1;
    }

    std::vector<Row> rows;
    for (int row = 1; row <= SCENE_ROW_COUNT; ++row) {
        rows.push_back(TimeRow(row, frames));
        if (rows.back().draws == 0) {
            std::fprintf(stderr, "scene_frame_bench: row %d (%s) drew nothing\n", row, SCENE_TABLE[row - 1].name);
            return 1;
        }
    }
    PrintTable(rows, frames);
    glesMakeCurrent(nullptr);
    glesDestroyContext(gl);
    return 0;
}
