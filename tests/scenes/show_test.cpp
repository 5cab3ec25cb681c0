// The whole show drawn frame by frame from frame 0, as the demo draws it: which scene each
// frame draws, which image it shows, and how the wobble moves along.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "platform/fake_platform.h"
#include "scenes/timeline.h"
#include "tests/scenes/show_doubles.h"
#include "tests/support/gl_recorder.h"

namespace {

constexpr int LAST_FRAME = 18600;

enum class Scene { NOTHING, INTRO, OVERLAY, STAR, TURNING_TERRAIN, STILL_TERRAIN, MODEL, CREDITS, UNKNOWN };

const char* SceneName(Scene scene) {
    static const char* const names[] = {"nothing",       "intro", "overlay", "star",   "turning terrain",
                                        "still terrain", "model", "credits", "unknown"};
    return names[int(scene)];
}

struct Frame {
    Scene scene;
    bool introSquareDrawn;  // a square at depth 9
    unsigned imageBound;    // the bound texture after the frame
    int wobbleIndexBefore;
    int wobbleIndexAfter;
    float wobbleAfter;
    int swaps;  // buffer swaps presented by the frame
};

bool Has(const std::string& line) { return glrec::Find({line}) >= 0; }

// Tells the scene of a frame from the stand-ins it called and the model-view matrix it
// left: each scene ends in a frame of its own depth. Recording every call of 18,600 frames
// would be slow under the sanitizers, so this needs none.
Scene SceneOfLastFrame() {
    std::vector<std::string> routines;
    for (const RoutineCall& call : g_routineCalls) routines.push_back(call.name);
    const std::vector<std::string> volcano = {"DrawBackdrop", "DrawTerrainFirstBand", "DrawParticles",
                                              "DrawTerrainSecondBand"};
    const glrec::Matrix m = glrec::ModelView();
    if (routines == std::vector<std::string>{"DrawModelScene"})
        return m == glrec::Identity() ? Scene::MODEL : Scene::UNKNOWN;
    if (routines == volcano) return m[0] == 1 && m[8] == 0 ? Scene::STILL_TERRAIN : Scene::TURNING_TERRAIN;
    if (!routines.empty()) return Scene::UNKNOWN;
    if (m == glrec::Identity()) return Scene::NOTHING;
    auto atDepth = [&](float depth) {
        return std::abs(m[12]) < 1e-4f && std::abs(m[13]) < 1e-4f && std::abs(m[14] - depth) < 1e-4f;
    };
    if (atDepth(-9)) return Scene::INTRO;
    if (atDepth(-4)) return Scene::OVERLAY;
    if (atDepth(-6)) return Scene::STAR;
    if (atDepth(-8)) return Scene::CREDITS;
    return Scene::UNKNOWN;
}

const std::vector<Frame>& Show() {
    static const std::vector<Frame> frames = [] {
        StartFromInitialisedState();
        std::vector<Frame> drawn;
        for (int frame = 0; frame <= LAST_FRAME; ++frame) {
            // The calls themselves are kept only where a test reads them: row 2.
            glrec::SetRecording(frame >= 2858 && frame <= 4285);
            glrec::Clear();
            g_routineCalls.clear();
            int wobbleBefore = g_wobbleIndex;
            std::size_t platformCallsBefore = fake::g_calls.size();
            DrawFrame();
            int swaps = 0;
            for (std::size_t i = platformCallsBefore; i < fake::g_calls.size(); ++i)
                swaps += fake::g_calls[i].name == "SwapBuffers";
            drawn.push_back({SceneOfLastFrame(), Has("glTranslatef(0, 0, -9)"), glrec::BoundTexture(), wobbleBefore,
                             g_wobbleIndex, g_wobble, swaps});
        }
        return drawn;
    }();
    return frames;
}

struct Span {
    int first;
    int last;
    Scene scene;
};

TEST(Show, RowsFireOnTheirFrames) {
    const Span plan[] = {
        {0, 0, Scene::NOTHING},
        {1, 2857, Scene::INTRO},
        {2858, 4285, Scene::OVERLAY},
        {4286, 6428, Scene::STAR},
        {6429, 7142, Scene::TURNING_TERRAIN},
        {7143, 7857, Scene::STILL_TERRAIN},
        {7858, 8571, Scene::STAR},
        {8572, 11428, Scene::MODEL},
        {11429, 18571, Scene::CREDITS},
        {18572, LAST_FRAME, Scene::NOTHING},
    };
    const std::vector<Frame>& show = Show();
    for (const Span& span : plan)
        for (int frame = span.first; frame <= span.last; ++frame)
            ASSERT_EQ(SceneName(show[frame].scene), std::string(SceneName(span.scene))) << "frame " << frame;
    for (const Frame& frame : show) ASSERT_EQ(frame.swaps, 1);
}

TEST(Show, ImagesShowOnTheirFrames) {
    const struct {
        int first;
        int last;
        unsigned image;
    } plan[] = {
        {1, 1428, FISH},        {1429, 2142, INTRO1}, {2143, 2857, INTRO2},  {11429, 12857, CODER},
        {12858, 14285, DESIGN}, {14286, 15714, QX},   {15715, 17142, MUSIC}, {17143, 18571, VOKRA},
    };
    const std::vector<Frame>& show = Show();
    for (const auto& span : plan)
        for (int frame = span.first; frame <= span.last; ++frame)
            ASSERT_EQ(show[frame].imageBound, span.image) << "frame " << frame;
}

TEST(Show, OverlayDrawsTheIntroSquareUnderItInItsSecondHalfOnly) {
    const std::vector<Frame>& show = Show();
    for (int frame = 2858; frame <= 4285; ++frame) {  // the frames whose calls are recorded
        ASSERT_EQ(show[frame].introSquareDrawn, frame >= 3572) << "frame " << frame;
        int steps = (show[frame].wobbleIndexAfter - show[frame].wobbleIndexBefore + WOBBLE_PERIOD) % WOBBLE_PERIOD;
        ASSERT_EQ(steps, frame >= 3572 ? 2 : 1) << "frame " << frame;
    }
}

TEST(Show, WobbleStandsWhereTheScenesExpectIt) {
    const std::vector<Frame>& show = Show();
    EXPECT_EQ(show[1].wobbleIndexAfter, 1);
    EXPECT_NEAR(show[1].wobbleAfter, 0.2208, 1e-4);
    EXPECT_EQ(show[2858].wobbleIndexBefore, 63);
    EXPECT_EQ(show[8572].wobbleIndexBefore, 236);
}

TEST(Show, FramesWithoutAWobbleUserLeaveItAlone) {
    const std::vector<Frame>& show = Show();
    // The stand-in model scene does not step the wobble, so rows 4, 5, 7, 8 and the end all
    // must leave it exactly as they found it.
    for (int frame : {0, 6429, 7000, 7857, 8572, 11428, 11429, 15000, 18571, 18572, LAST_FRAME}) {
        EXPECT_EQ(show[frame].wobbleIndexAfter, show[frame].wobbleIndexBefore) << "frame " << frame;
        EXPECT_EQ(show[frame].wobbleAfter, show[frame - (frame > 0)].wobbleAfter) << "frame " << frame;
    }
}

}  // namespace
