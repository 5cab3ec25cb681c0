// The fountain: its private random sequence against the C library's rand() drawn in a
// fresh process, the spawn and update of every particle, and the calls it sends.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gl_lines.h"
#include "resources/textures.h"
#include "terrain/terrain.h"

namespace {

constexpr int REFERENCE_COUNT = 20000;
constexpr int CALLS_PER_PARTICLE = 11;  // colour, begin, four texture coordinates and vertices, end

// The first values of rand() in a process that has never seeded nor drawn from it.
const std::vector<int>& UnseededRand() {
    static const std::vector<int> values = [] {
        std::vector<int> read;
        std::string command = std::string(RAND_SEQUENCE_TOOL) + " " + std::to_string(REFERENCE_COUNT);
        std::FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return read;
        int value;
        while (std::fscanf(pipe, "%d", &value) == 1) read.push_back(value);
        pclose(pipe);
        return read;
    }();
    return values;
}

void ResetFountain() {
    std::memset(g_particles, 0, sizeof g_particles);
    RestartParticleRandom();
    glrec::Reset();
}

// What particle `index` looked like when drawn by the last call.
struct Sprite {
    double alpha;
    std::vector<GlVertex> corners;
};
Sprite DrawnSprite(int index) {
    const size_t first = 4 + size_t(index) * CALLS_PER_PARTICLE;  // after enable, bind, push, translate
    return {Floats(glrec::Calls().at(first)).at(3), RecordedVertices(first, first + CALLS_PER_PARTICLE)};
}

// The square a particle at (x, y, z) is drawn as, corner by corner.
std::vector<GlVertex> Square(float x, float y, float z) {
    return {{float(x + 0.5), float(y + 0.5), z, 1, 1},
            {float(x - 0.5), float(y + 0.5), z, 0, 1},
            {float(x + 0.5), float(y - 0.5), z, 1, 0},
            {float(x - 0.5), float(y - 0.5), z, 0, 0}};
}

// A particle spawned from five consecutive values of the sequence, drawn in this order.
struct Spawned {
    float speed, drift, z, fade;
    int kind;
};
Spawned SpawnFrom(const int* r) {
    Spawned p{float(double(r[0] % 400) / 1000 + double(0.04f)), float(double(r[1] % 14) / 10),
              float(double(r[2] % 25) / 10), float(double(r[4] % 100) / 1000 + 0.0015), r[3] % 3};
    if (p.kind == 2) p.drift = -p.drift;
    return p;
}

void ExpectSpawned(const Particle& p, const int* r) {
    Spawned s = SpawnFrom(r);
    EXPECT_EQ(p.progress, 0);
    EXPECT_EQ(p.fall, 0);
    EXPECT_EQ(p.life, 1);
    EXPECT_EQ(p.speed, s.speed);
    EXPECT_EQ(p.drift, s.drift);
    EXPECT_EQ(p.z, s.z);
    EXPECT_EQ(p.kind, s.kind);
    EXPECT_EQ(p.fade, s.fade);
}

// A fountain where nothing respawns: every particle lives forever and stands still.
void FreezeAllParticles() {
    ResetFountain();
    for (Particle& p : g_particles) p.life = 1;
}

TEST(ParticleRandom, IsTheUnseededRandSequenceWhateverElseDrawsFromRand) {
    const std::vector<int>& reference = UnseededRand();
    ASSERT_EQ(reference.size(), size_t(REFERENCE_COUNT));
    for (int k = 0; k < 13; ++k) std::rand();  // as the audio back-end does while it starts
    RestartParticleRandom();
    for (int k = 0; k < REFERENCE_COUNT; ++k) {
        if (k % 1000 == 0) std::rand();
        ASSERT_EQ(NextParticleRandom(), reference[k]) << "value " << k;
    }
}

TEST(ParticleRandom, SpawnRangesMatchTheirBounds) {
    int lowest[] = {0, 0, 0, 0}, highest[] = {399, 13, 24, 99};
    int smallestSeen[] = {1000, 1000, 1000, 1000}, largestSeen[] = {-1, -1, -1, -1};
    const std::vector<int>& r = UnseededRand();
    for (size_t k = 0; k + 4 < r.size(); k += 5) {
        const int draws[] = {r[k] % 400, r[k + 1] % 14, r[k + 2] % 25, r[k + 4] % 100};
        for (int d = 0; d < 4; ++d) {
            smallestSeen[d] = std::min(smallestSeen[d], draws[d]);
            largestSeen[d] = std::max(largestSeen[d], draws[d]);
        }
    }
    for (int d = 0; d < 4; ++d) {
        EXPECT_EQ(smallestSeen[d], lowest[d]);
        EXPECT_EQ(largestSeen[d], highest[d]);
    }
    const int smallest[] = {0, 0, 0, 0, 0}, largest[] = {399, 13, 24, 2, 99};
    EXPECT_EQ(SpawnFrom(smallest).speed, 0.04f);
    EXPECT_EQ(SpawnFrom(smallest).fade, 0.0015f);
    EXPECT_FLOAT_EQ(SpawnFrom(largest).speed, 0.439f);
    EXPECT_FLOAT_EQ(SpawnFrom(largest).drift, -1.3f);
    EXPECT_FLOAT_EQ(SpawnFrom(largest).fade, 0.1005f);
}

TEST(Particles, FirstCallDrawsAllAtTheEmitterWithAlphaZeroThenSpawnsThem) {
    const std::vector<int>& r = UnseededRand();
    ResetFountain();
    DrawParticles();

    ASSERT_EQ(glrec::Calls().size(), 5u + PARTICLE_COUNT * CALLS_PER_PARTICLE);
    for (int i = 0; i < PARTICLE_COUNT; ++i) {
        Sprite sprite = DrawnSprite(i);
        ASSERT_EQ(sprite.alpha, 0) << "particle " << i;
        ASSERT_EQ(sprite.corners, Square(0, 0, 0)) << "particle " << i;
    }
    for (int i = 0; i < PARTICLE_COUNT; ++i) {
        SCOPED_TRACE(i);
        ExpectSpawned(g_particles[i], &r[5 * i]);
        if (HasFailure()) break;
    }
}

TEST(Particles, SecondCallMovesEveryParticleOneStep) {
    const std::vector<int>& r = UnseededRand();
    ResetFountain();
    DrawParticles();
    glrec::Clear();
    DrawParticles();

    for (int i = 0; i < PARTICLE_COUNT; ++i) {
        Spawned s = SpawnFrom(&r[5 * i]);
        Sprite sprite = DrawnSprite(i);
        ASSERT_EQ(sprite.alpha, float(1 - double(s.fade))) << "particle " << i;
        ASSERT_EQ(sprite.corners, Square(float(-double(s.drift) * s.speed), float(2.0 * s.speed), s.z))
            << "particle " << i;
    }
}

TEST(Particles, DriftDirectionFollowsKind) {
    ResetFountain();
    DrawParticles();
    DrawParticles();
    int seen[3] = {0, 0, 0};  // toward -x, straight up, toward +x
    for (const Particle& p : g_particles) {
        if (p.drift == 0) {
            ASSERT_EQ(p.x, 0) << "kind " << p.kind;
            ++seen[1];
        } else if (p.kind == 2) {
            ASSERT_GT(p.x, 0);
            ++seen[2];
        } else {
            ASSERT_LT(p.x, 0);
            ++seen[0];
        }
    }
    for (int direction : seen) EXPECT_GT(direction, 0);
}

TEST(Particles, LifetimeIsOneOverFade) {
    struct Case {
        int fadeDraw;  // the value of rand() % 100 the fade came from
        int frames;    // the call on which the particle is drawn with alpha <= 0 and respawned
    };
    const Case cases[] = {{99, 10}, {0, 667}};
    const std::vector<int>& r = UnseededRand();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fadeDraw);
        FreezeAllParticles();
        Particle& p = g_particles[0];
        p.speed = 0.1f;
        p.fade = float(double(c.fadeDraw) / 1000 + 0.0015);
        glrec::SetRecording(false);  // only the last frame's calls are looked at
        for (int frame = 1; frame < c.frames; ++frame) {
            DrawParticles();
            ASSERT_GT(p.life, 0) << "frame " << frame;  // the alpha it was drawn with
            ASSERT_GT(p.progress, 0) << "respawned early, frame " << frame;
        }
        glrec::SetRecording(true);
        DrawParticles();
        EXPECT_LE(DrawnSprite(0).alpha, 0);
        ExpectSpawned(p, &r[0]);
        for (int i = 1; i < PARTICLE_COUNT; ++i) ASSERT_EQ(g_particles[i].life, 1);
    }
}

TEST(Particles, ZeroDriftRisesAndFallsStraightAboveTheEmitter) {
    for (int kind : {0, 1, 2}) {
        SCOPED_TRACE(kind);
        FreezeAllParticles();
        Particle& p = g_particles[7];
        p = Particle{0, 0, kind == 2 ? -0.0f : 0.0f, 0, 0, 1.5f, 0.2f, 0.001f, 1, kind};
        double highest = 0;
        int highestFrame = 0;
        for (int k = 1; k <= 268; ++k) {
            const bool looked = k == 1 || k == 134 || k == 268;  // recording every frame is slow
            glrec::Reset();
            glrec::SetRecording(looked);
            DrawParticles();
            ASSERT_EQ(p.x, 0) << "frame " << k;
            if (looked) {
                ASSERT_EQ(DrawnSprite(7).corners, Square(0, p.y, 1.5f)) << "frame " << k;
            }
            // Up to rounding, the parabola: y = speed * (2k - 0.0075 k (k - 1)).
            ASSERT_NEAR(p.y, 0.2 * (2 * k - 0.0075 * k * (k - 1)), 1e-3) << "frame " << k;
            if (p.y > highest) {
                highest = p.y;
                highestFrame = k;
            }
        }
        EXPECT_NEAR(highestFrame, 134, 1);
        EXPECT_NEAR(highest, 134 * 0.2, 0.2);
        EXPECT_NEAR(p.y, 0, 0.5);  // back at the emitter's height after about 268 frames
    }
}

// Each step is computed in double precision and only stored as float; in float arithmetic
// the path drifts away within a few hundred frames.
TEST(Particles, StepsAreComputedInDoubleAndStoredAsFloat) {
    FreezeAllParticles();
    const Particle start = {0, 0, 0.7f, 0, 0, 1.1f, 0.1234567f, 0.001f, 1, 0};
    g_particles[3] = start;
    Particle inDouble = start, inFloat = start;
    bool floatDiffers = false;
    glrec::SetRecording(false);
    for (int k = 1; k <= 400; ++k) {
        DrawParticles();
        Particle& d = inDouble;
        d.fall = float(double(d.fall) + double(d.progress) * 0.015);
        d.progress = float(double(d.progress) + double(d.speed));
        d.life = float(double(d.life) - double(d.fade));
        d.x = float(-double(d.drift) * double(d.progress));
        d.y = float(2.0 * double(d.progress) - double(d.fall));
        Particle& f = inFloat;
        f.fall = f.fall + f.progress * 0.015f;
        f.progress = f.progress + f.speed;
        f.life = f.life - f.fade;
        f.x = -f.drift * f.progress;
        f.y = 2.0f * f.progress - f.fall;
        floatDiffers = floatDiffers || f.fall != d.fall || f.y != d.y;

        const Particle& p = g_particles[3];
        ASSERT_EQ(p.fall, d.fall) << "frame " << k;
        ASSERT_EQ(p.progress, d.progress) << "frame " << k;
        ASSERT_EQ(p.life, d.life) << "frame " << k;
        ASSERT_EQ(p.x, d.x) << "frame " << k;
        ASSERT_EQ(p.y, d.y) << "frame " << k;
    }
    EXPECT_TRUE(floatDiffers);
}

// Nothing outside DrawParticles moves the fountain, not even other draws from rand(): the
// still view starts exactly where the turning view stopped.
TEST(Particles, StillViewContinuesTheTurningOne) {
    ResetFountain();
    glrec::SetRecording(false);
    for (int frame = 0; frame < 60; ++frame) DrawParticles();
    for (int k = 0; k < 13; ++k) std::rand();
    for (int frame = 0; frame < 60; ++frame) DrawParticles();
    std::vector<Particle> interrupted(g_particles, g_particles + PARTICLE_COUNT);

    ResetFountain();
    glrec::SetRecording(false);
    for (int frame = 0; frame < 120; ++frame) DrawParticles();
    EXPECT_EQ(std::memcmp(interrupted.data(), g_particles, sizeof g_particles), 0);
}

TEST(Particles, EnablesBlendingAroundTheEmitterAndLeavesTheLastColour) {
    ResetFountain();
    DrawParticles();
    glrec::Reset();
    glrec::SetEnabled(GL_DEPTH_TEST, true);
    glrec::SetBlendFunction(GL_SRC_ALPHA, GL_ONE);
    glrec::SetRecording(false);
    glTranslatef(-128, -28, -260);
    const glrec::Matrix terrainFrame = glrec::ModelView();
    glrec::SetRecording(true);
    DrawParticles();

    const std::vector<std::string> lines = glrec::Lines();
    const std::vector<std::string> opening = {
        "glEnable(GL_BLEND)",
        "glBindTexture(GL_TEXTURE_2D, " + std::to_string(g_texParticle.textureName) + ")",
        "glPushMatrix()",
        "glTranslatef(128, 17, 80)",
    };
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 4), opening);
    EXPECT_EQ(lines.back(), "glPopMatrix()");
    EXPECT_EQ(glrec::Count("glDisable"), 0u);
    EXPECT_EQ(glrec::Count("glColor4f"), size_t(PARTICLE_COUNT));
    for (const glrec::Call& colour : glrec::CallsNamed("glColor4f"))
        ASSERT_EQ(colour.args.substr(0, 7), "1, 0, 0") << colour.text;
    // Every sprite is placed relative to the emitter inside the terrain frame.
    glrec::Matrix atEmitter = terrainFrame;
    for (int c = 0; c < 3; ++c) atEmitter[12 + c] += std::array<float, 3>{128, 17, 80}[c];
    for (const glrec::Call& vertex : glrec::CallsNamed("glVertex3f")) ASSERT_EQ(vertex.modelview, atEmitter);

    EXPECT_TRUE(glrec::IsEnabled(GL_BLEND));
    EXPECT_TRUE(glrec::IsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glrec::BoundTexture(GL_TEXTURE_2D), g_texParticle.textureName);
    EXPECT_EQ(glrec::CurrentColor(), (glrec::Vec4{1, 0, 0, float(DrawnSprite(PARTICLE_COUNT - 1).alpha)}));
    EXPECT_EQ(glrec::BlendSource(), GLenum(GL_SRC_ALPHA));
    EXPECT_EQ(glrec::BlendDestination(), GLenum(GL_ONE));
    EXPECT_EQ(glrec::ModelView(), terrainFrame);
    EXPECT_EQ(glrec::StackDepth(GL_MODELVIEW), 1);
    EXPECT_EQ(glrec::LastError(), GLenum(GL_NO_ERROR));
}

}  // namespace
