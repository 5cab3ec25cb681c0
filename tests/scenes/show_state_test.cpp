// Skipping ahead and starting again, on a real offscreen GL context with the generated data:
// the state a skipped-to frame starts from must be the state drawing every frame before it
// leaves, and a show started again must draw its first frames as it did the first time.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/fake_platform.h"
#include "resources/textures.h"
#include "scenes/timeline.h"
#include "terrain/terrain.h"

namespace fs = std::filesystem;

namespace {

// One frame inside every row (past its first frame, so skipping within the row is covered),
// the overlay's second half, and the empty frame after the credits.
constexpr int CHECKED_FRAMES[] = {700, 2900, 3900, 5000, 6700, 7500, 8000, 10000, 15000, 18572};

fs::path DataDirectory() {
    const char* binary = std::getenv("VREX_BINARY_DIR");
    return fs::path(binary ? binary : ".") / "data";
}

// Everything a frame starts from: the show's own variables exactly, and the GL state the
// scenes set or leave, read back from the context.
struct ShowState {
    double clock;
    int32_t counter, wobbleIndex;
    float wobble;
    std::vector<Particle> particles;
    int64_t randomsDrawn;
    std::map<std::string, std::vector<double>> gl;
};

std::vector<double> Floats(GLenum name, int count) {
    auto values = std::vector<GLfloat>(size_t(count));
    glGetFloatv(name, values.data());
    return {values.begin(), values.end()};
}

std::vector<double> Integers(GLenum name, int count = 1) {
    auto values = std::vector<GLint>(size_t(count));
    glGetIntegerv(name, values.data());
    return {values.begin(), values.end()};
}

ShowState ReadShowState() {
    ShowState state{g_demoClock,
                    g_frameCounter,
                    g_wobbleIndex,
                    g_wobble,
                    std::vector<Particle>(std::begin(g_particles), std::end(g_particles)),
                    ParticleRandomsDrawn(),
                    {}};
    const std::pair<const char*, GLenum> enables[] = {
        {"texturing", GL_TEXTURE_2D}, {"depth test", GL_DEPTH_TEST}, {"blending", GL_BLEND},
        {"lighting", GL_LIGHTING},    {"light 0", GL_LIGHT0},        {"colour material", GL_COLOR_MATERIAL},
        {"gen S", GL_TEXTURE_GEN_S},  {"gen T", GL_TEXTURE_GEN_T},   {"culling", GL_CULL_FACE},
        {"scissor", GL_SCISSOR_TEST}};
    for (auto [name, capability] : enables) state.gl[name] = {double(glIsEnabled(capability))};
    state.gl["blend function"] = {Integers(GL_BLEND_SRC)[0], Integers(GL_BLEND_DST)[0]};
    state.gl["depth function"] = Integers(GL_DEPTH_FUNC);
    state.gl["texture bound"] = Integers(GL_TEXTURE_BINDING_2D);
    state.gl["colour"] = Floats(GL_CURRENT_COLOR, 4);
    state.gl["normal"] = Floats(GL_CURRENT_NORMAL, 3);
    state.gl["texture coordinate"] = Floats(GL_CURRENT_TEXTURE_COORDS, 4);
    state.gl["matrix mode"] = Integers(GL_MATRIX_MODE);
    state.gl["model-view"] = Floats(GL_MODELVIEW_MATRIX, 16);
    state.gl["projection"] = Floats(GL_PROJECTION_MATRIX, 16);
    state.gl["viewport"] = Integers(GL_VIEWPORT, 4);
    state.gl["scissor box"] = Integers(GL_SCISSOR_BOX, 4);
    state.gl["shading"] = Integers(GL_SHADE_MODEL);
    state.gl["error"] = {double(glGetError())};
    return state;
}

void ExpectSameState(const ShowState& drawn, const ShowState& reached) {
    // Bit for bit: the clock is a sum and must be the same sum.
    EXPECT_EQ(std::memcmp(&drawn.clock, &reached.clock, sizeof drawn.clock), 0) << drawn.clock << " " << reached.clock;
    EXPECT_EQ(drawn.counter, reached.counter);
    EXPECT_EQ(drawn.wobbleIndex, reached.wobbleIndex);
    EXPECT_EQ(drawn.wobble, reached.wobble);
    EXPECT_EQ(std::memcmp(drawn.particles.data(), reached.particles.data(), sizeof g_particles), 0);
    EXPECT_EQ(drawn.randomsDrawn, reached.randomsDrawn);
    for (const auto& [name, values] : drawn.gl) EXPECT_EQ(values, reached.gl.at(name)) << name;
}

// A small picture: the whole show is drawn, and what is compared does not depend on its size.
constexpr int PICTURE_WIDTH = 160;
constexpr int PICTURE_HEIGHT = 120;

// The picture of the frame about to be drawn, drawn into the back buffer and read back.
std::vector<uint8_t> RenderAndRead() {
    RenderFrame();
    auto pixels = std::vector<uint8_t>(size_t(PICTURE_WIDTH) * PICTURE_HEIGHT * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, PICTURE_WIDTH, PICTURE_HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

class ShowStateTest : public testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(DataDirectory() / "vulc.raw")) GTEST_SKIP() << "no generated data in " << DataDirectory();
        previous_ = fs::current_path();
        fs::current_path(DataDirectory());
        fake::Reset();
        fake::g_answers.realGlContext = true;
        fake::g_answers.clientRect = {0, 0, PICTURE_WIDTH, PICTURE_HEIGHT};
        g_musicWanted = false;
        InitDemo(fake::FakeWindow());
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        KeepShowStartState();
    }
    void TearDown() override {
        if (!previous_.empty()) fs::current_path(previous_);
    }
    fs::path previous_;
};

TEST_F(ShowStateTest, ASkippedToFrameStartsFromTheStateDrawingEveryFrameLeaves) {
    struct Reached {
        ShowState state;
        std::vector<uint8_t> picture;
    };
    std::map<int, Reached> reached;
    for (int frame : CHECKED_FRAMES) {
        RestartShow();
        FastForwardShow(frame);
        ShowState state = ReadShowState();
        reached[frame] = {state, RenderAndRead()};
    }

    RestartShow();
    for (int frame : CHECKED_FRAMES) {
        while (g_frameCounter < frame) RenderFrame();
        SCOPED_TRACE(testing::Message() << "frame " << frame << ", row " << SceneRowAt(g_demoClock));
        ExpectSameState(ReadShowState(), reached[frame].state);
        EXPECT_TRUE(RenderAndRead() == reached[frame].picture);
    }
}

TEST_F(ShowStateTest, AShowStartedAgainAfterTheCreditsDrawsItsFirstFramesAsBefore) {
    std::vector<ShowState> first;
    std::vector<std::vector<uint8_t>> firstPictures;
    for (int frame = 0; frame < 3; ++frame) {
        first.push_back(ReadShowState());
        firstPictures.push_back(RenderAndRead());
    }
    FastForwardShow(ShowEndFrame());
    ASSERT_TRUE(ShowHasEnded());
    RestartShow();
    for (int frame = 0; frame < 3; ++frame) {
        SCOPED_TRACE(frame);
        ExpectSameState(first[size_t(frame)], ReadShowState());
        EXPECT_TRUE(RenderAndRead() == firstPictures[size_t(frame)]);
    }
    EXPECT_NE(firstPictures[0], firstPictures[1]);  // frame 1 shows the fish, frame 0 nothing
}

}  // namespace
