// The whole show drawn frame by frame from frame 0, as the demo draws it: which scene each
// frame draws, which image it shows, and how the wobble moves along.
#include <gtest/gtest.h>

#include <algorithm>
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
    static const char* const names[] = {"nothing", "intro", "overlay", "star", "turning terrain", "still terrain",
                                        "model", "credits", "unknown"};
    return names[int(scene)];
}

struct Frame {
    Scene scene;
    bool introSquareDrawn;     // a square at depth 9
    unsigned imageBound;       // the bound texture after the frame
    int wobbleIndexBefore;
    int wobbleIndexAfter;
    float wobbleAfter;
    int swaps;                 // buffer swaps presented by the frame
};

bool Has(const std::string& line) { return glrec::Find({line}) >= 0; }

// Tells the scene of a frame from its GL calls and the stand-ins it called.
Scene SceneOfLastFrame() {
    std::vector<std::string> routines;
    for (const RoutineCall& call : g_routineCalls) routines.push_back(call.name);
    const std::vector<std::string> volcano = {"DrawBackdrop", "DrawTerrainFirstBand", "DrawParticles",
                                              "DrawTerrainSecondBand"};
    if (routines == std::vector<std::string>{"DrawModelScene"} && glrec::Calls().size() == 2) return Scene::MODEL;
    if (routines == volcano) return glrec::Count("glRotatef") == 1 ? Scene::TURNING_TERRAIN : Scene::STILL_TERRAIN;
    if (!routines.empty()) return Scene::UNKNOWN;
    if (glrec::Calls().size() == 2) return Scene::NOTHING;
    if (Has("gluSphere(ptr, 0.64999997615814209, 20, 20)")) return Scene::STAR;
    if (Has("glTranslatef(0, 0, -4)")) return Scene::OVERLAY;
    if (Has("glTranslatef(0, 0, -9)")) return Scene::INTRO;
    if (Has("glTranslatef(0, 0, -8)")) return Scene::CREDITS;
    return Scene::UNKNOWN;
}

const std::vector<Frame>& Show() {
    static const std::vector<Frame> frames = [] {
        StartFromInitialisedState();
        std::vector<Frame> drawn;
        for (int frame = 0; frame <= LAST_FRAME; ++frame) {
            glrec::Clear();
            g_routineCalls.clear();
            int wobbleBefore = g_wobbleIndex;
            std::size_t platformCallsBefore = fake::g_calls.size();
            DrawFrame();
            int swaps = 0;
            for (std::size_t i = platformCallsBefore; i < fake::g_calls.size(); ++i)
                swaps += fake::g_calls[i].name == "SwapBuffers";
            drawn.push_back({SceneOfLastFrame(), Has("glTranslatef(0, 0, -9)"), glrec::BoundTexture(), wobbleBefore,
                             g_wobbleIndex, g_wobble,
                             swaps});
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
        {1, 1428, FISH},           {1429, 2142, INTRO1}, {2143, 2857, INTRO2},
        {11429, 12857, CODER},     {12858, 14285, DESIGN}, {14286, 15714, QX},
        {15715, 17142, MUSIC},     {17143, 18571, VOKRA},
    };
    const std::vector<Frame>& show = Show();
    for (const auto& span : plan)
        for (int frame = span.first; frame <= span.last; ++frame)
            ASSERT_EQ(show[frame].imageBound, span.image) << "frame " << frame;
}

TEST(Show, OverlayDrawsTheIntroSquareUnderItInItsSecondHalfOnly) {
    const std::vector<Frame>& show = Show();
    for (int frame = 2858; frame <= 4285; ++frame) {
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
