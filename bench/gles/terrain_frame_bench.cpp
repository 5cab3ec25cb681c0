// terrain_frame_bench DATA_DIR [FRAMES]
//
// The show's heaviest frame, the volcano (backdrop, two bands of ground, 3000 particles),
// turning and still, drawn by our GL over a stub driver that draws nothing but copies every
// upload: the library's CPU milliseconds per frame (median of FRAMES, default 60), bytes handed
// to the driver per frame (as the library counts them: the same on every machine) and draws
// per frame. Then the floor: the same glBegin / glTexCoord2f / glVertex3f / glEnd calls made
// into functions that only store each vertex, which no GL can beat. The same source builds
// natively (CMake) and in WebAssembly for node (wasm_bench.sh).
#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/gles/stub_driver.h"
#include "resources/textures.h"
#include "terrain/terrain.h"

// The terrain binds these; here they only carry the names of the bench's own textures.
TextureImage g_texGrass, g_texAll, g_texParticle;

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

GLuint MakeTexture() {
    std::vector<GLubyte> texels(64 * 64 * 3, 200);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 64, 64, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    return name;
}

// The state the demo's start-up leaves (its projection, depth test, texturing, light 0 with
// colour material, the particles' additive blending).
void SetUpLikeTheDemo() {
    glViewport(0, 0, 800, 600);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double top = 1.0 * 0.41421356, right = top * 800 / 600;  // 45 degrees, near 1
    glFrustum(-right, right, -top, top, 1, 4000);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    g_texGrass.textureName = MakeTexture();
    g_texAll.textureName = MakeTexture();
    g_texParticle.textureName = MakeTexture();
}

// One frame of the terrain row as the sequencer draws it.
void DrawVolcanoFrame(int frame, bool turning) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(-40, 0, 0);
    if (turning) glRotatef(float(frame * 0.3), 0, 1, 0);
    glTranslatef(-128, -28, turning ? -150 : -260);
    DrawBackdrop();
    DrawTerrainFirstBand();
    DrawParticles();
    DrawTerrainSecondBand();
    glesFlush();
}

struct Row {
    const char* name;
    double ms;
    double bytes, copied, draws;
};

Row TimeRow(const char* name, bool turning, int frames) {
    for (int f = 0; f < 3; ++f) DrawVolcanoFrame(f, turning);  // buffers made, slots filled
    std::vector<double> ms;
    const long long bytes = glesBytesSentCount(), copied = StubDriverBytesCopied();
    const long draws = glesDrawCallCount();
    for (int f = 0; f < frames; ++f) {
        const auto start = Clock::now();
        DrawVolcanoFrame(3 + f, turning);
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return {name, Median(ms), double(glesBytesSentCount() - bytes) / frames,
            double(StubDriverBytesCopied() - copied) / frames, double(glesDrawCallCount() - draws) / frames};
}

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

double TimeFloor(int frames) {
    std::vector<double> ms;
    for (int f = 0; f < frames + 3; ++f) {
        const auto start = Clock::now();
        g_stored.clear();
        FloorGround(0, 75);
        StepParticles();  // the fountain's own motion, which DrawParticles does too
        FloorParticles();
        FloorGround(75, 256);
        if (f >= 3) ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return Median(ms);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: terrain_frame_bench DATA_DIR [FRAMES]\n");
        return 2;
    }
    const int frames = argc > 2 ? std::max(1, std::atoi(argv[2])) : 60;
    if (LoadHeightMapFile((std::string(argv[1]) + "/vulc.raw").c_str()) == 0) {
        std::fprintf(stderr, "terrain_frame_bench: no vulc.raw in %s\n", argv[1]);
        return 1;
    }
    GlesContext* gl = glesCreateContext(StubDriverGetter());
    if (!gl) {
        std::fprintf(stderr, "terrain_frame_bench: %s\n", glesLastFailure());
        return 1;
    }
    glesMakeCurrent(gl);
    SetUpLikeTheDemo();
    const Row rows[] = {TimeRow("turning terrain", true, frames), TimeRow("still terrain", false, frames)};
    const double floor = TimeFloor(frames);
    std::printf("%-16s %10s %14s %14s %8s %10s\n", "scene", "cpu ms", "bytes/frame", "copied/frame", "draws",
                "vs floor");
    for (const Row& r : rows)
        std::printf("%-16s %10.3f %14.0f %14.0f %8.1f %10.2f\n", r.name, r.ms, r.bytes, r.copied, r.draws,
                    r.ms / floor);
    std::printf("%-16s %10.3f %14s %14s %8s %10s\n", "floor", floor, "-", "-", "-", "1.00");
    std::printf("median of %d frames each, after 3 unmeasured\n", frames);
    glesMakeCurrent(nullptr);
    glesDestroyContext(gl);
    return 0;
}
