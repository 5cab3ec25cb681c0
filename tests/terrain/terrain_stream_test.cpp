// The benchmark's bare loop against the demo: a terrain frame replayed from its arrays must
// be the demo's frame call for call, or the comparison measures something else.
#include <gtest/gtest.h>

#include <cstring>

#include "bench/terrain/terrain_stream.h"
#include "gl_lines.h"

namespace {

// The recorded calls of one frame, drawn the demo's way or replayed from the stream.
std::vector<std::string> DemoFrameLines() {
    glrec::Reset();
    DrawBackdrop();
    DrawTerrainFirstBand();
    DrawParticles();
    DrawTerrainSecondBand();
    return glrec::Lines();
}

std::vector<std::string> BareFrameLines(const TerrainStream& stream) {
    glrec::Reset();
    SendTerrainStream(stream);
    return glrec::Lines();
}

void ExpectSameCalls(const std::vector<std::string>& demo, const std::vector<std::string>& bare) {
    ASSERT_EQ(bare.size(), demo.size());
    for (size_t k = 0; k < demo.size(); ++k) ASSERT_EQ(bare[k], demo[k]) << "call " << k;
}

// Heights that differ from entry to entry, and a fountain that has run long enough for
// particles to have died and respawned.
void VariedLandscape(int fountainFrames) {
    for (int k = 0; k < MAP_SIZE * MAP_SIZE; ++k) g_heightMap[k] = (k * 53 + k / MAP_SIZE * 7) % 256;
    std::memset(g_particles, 0, sizeof g_particles);
    RestartParticleRandom();
    glrec::Reset();
    glrec::SetRecording(false);
    for (int frame = 0; frame < fountainFrames; ++frame) DrawParticles();
}

TEST(TerrainBareLoop, ReplaysTheDemosFrameCallForCall) {
    VariedLandscape(150);
    SteadyFountain();
    const TerrainStream stream = PrecomputeTerrainStream();
    const std::vector<std::string> bare = BareFrameLines(stream);
    RestoreFountain();
    const std::vector<std::string> demo = DemoFrameLines();
    // Walls, first band, fountain, second band: each opens with its three calls of state.
    EXPECT_EQ(demo.size(), size_t(3 + 4 * 10 + 3 + 19532 * 10 + 4 + 3000 * 11 + 1 + 3 + 46774 * 10));
    ExpectSameCalls(demo, bare);
}

// The fountain is the one part that moves: the stream holds one step of it, and that step
// respawns nothing, so a frame started from the kept state draws the same sprites again.
TEST(TerrainBareLoop, KeptFountainDrawsTheSameSpritesEveryTime) {
    VariedLandscape(150);
    SteadyFountain();
    const TerrainStream stream = PrecomputeTerrainStream();
    for (const Particle& p : g_particles) ASSERT_GT(double(p.life) - double(p.fade), 0);
    const auto fountainLines = [] {
        glrec::Reset();
        DrawParticles();
        return glrec::Lines();
    };
    RestoreFountain();
    const std::vector<std::string> first = fountainLines();
    RestoreFountain();
    ExpectSameCalls(fountainLines(), first);
    // Without the restore the fountain moves on and the frames part.
    EXPECT_NE(fountainLines(), first);
}

}  // namespace
