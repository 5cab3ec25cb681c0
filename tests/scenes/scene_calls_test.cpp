// The exact GL calls of chosen frames of each scene, written out from the scenes' own
// description, and the state each scene leaves for the next frame.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "resources/textures.h"
#include "scenes/timeline.h"
#include "tests/scenes/show_doubles.h"
#include "tests/support/gl_recorder.h"

using testing::ElementsAreArray;

namespace {

using glrec::Float;
using Lines = std::vector<std::string>;

const std::string CLEAR = "glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT)";
const std::string ROD = "gluCylinder(ptr, 0.20000000298023224, 0.20000000298023224, 2, 32, 32)";
const std::string CONE = "gluCylinder(ptr, 0.5, 0, 1, 32, 32)";
const std::string SPHERE = "gluSphere(ptr, 0.64999997615814209, 20, 20)";

Lines operator+(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string Bind(unsigned name) { return "glBindTexture(GL_TEXTURE_2D, " + std::to_string(name) + ")"; }

Lines ImageSquare() {
    // clang-format off
    return {"glColor4f(1, 1, 1, 1)", "glBegin(GL_TRIANGLE_STRIP)", "glTexCoord2f(1, 1)", "glVertex3f(5, 5, 0)",
            "glTexCoord2f(0, 1)",    "glVertex3f(-5, 5, 0)",      "glTexCoord2f(1, 0)", "glVertex3f(5, -5, 0)",
            "glTexCoord2f(0, 0)",    "glVertex3f(-5, -5, 0)",     "glEnd()"};
    // clang-format on
}

// One overlay layer for wobble w: corners and texture coordinates in double, sent as floats.
Lines OverlayLayer(double w) {
    auto f = [](double v) { return Float(float(v)); };
    return {"glBegin(GL_TRIANGLE_STRIP)",
            "glTexCoord2f(1, " + f(1 + 0.07 * w) + ")",
            "glVertex3f(5, " + f(5 + 0.3 * w) + ", 0)",
            "glTexCoord2f(" + f(0.03 * w) + ", 1)",
            "glVertex3f(" + f(-5 + 0.3 * w) + ", 5, 0)",
            "glTexCoord2f(1, " + f(0.03 * w) + ")",
            "glVertex3f(" + f(5 + 0.3 * w) + ", -5, 0)",
            "glTexCoord2f(" + f(0.07 * w) + ", 0)",
            "glVertex3f(-5, " + f(-5 + 0.3 * w) + ", 0)",
            "glEnd()"};
}

// The overlay of frame n whose wobble step lands on `index`.
Lines Overlay(int n, int index) {
    double w = g_sinTable[index] * 9.0f;
    return Lines{"glDisable(GL_DEPTH_TEST)",
                 "glEnable(GL_BLEND)",
                 Bind(FISH),
                 "glLoadIdentity()",
                 "glTranslatef(0, 0, -4)",
                 "glColor4f(1, 1, 1, 0.5)",
                 "glRotatef(" + Float(float(n * 0.016 + w * 0.0001)) + ", 0, 0, 1)"} +
           OverlayLayer(w) +
           Lines{"glColor4f(1, 1, 1, 1)", "glRotatef(" + Float(float(n * 0.0015 + w * 0.0001)) + ", 0, 0, 1)"} +
           OverlayLayer(w);
}

Lines AxisStar(int n) {
    Lines lines = {"glColor4f(1, 1, 1, 1)",
                   "glEnable(GL_DEPTH_TEST)",
                   "glEnable(GL_TEXTURE_GEN_S)",
                   "glEnable(GL_TEXTURE_GEN_T)",
                   Bind(FISH_METAL),
                   "glDisable(GL_BLEND)",
                   "glLoadIdentity()",
                   "glTranslatef(0, 0, -6)",
                   "glRotatef(" + Float(float(n)) + ", 1, 1, 1)",
                   "glRotatef(90, 0, 1, 0)",
                   ROD,
                   "glRotatef(180, 0, 1, 0)",
                   ROD,
                   "glRotatef(90, 1, 0, 0)",
                   ROD,
                   "glRotatef(180, 0, 0, 1)",
                   "glRotatef(180, 1, 1, 0)",
                   ROD,
                   "glTranslatef(0, -1.5, 0)",
                   "glRotatef(90, 1, 0, 0)"};
    for (int i = 0; i < 3; ++i) lines = lines + Lines{CONE, "glTranslatef(0, 1.5, -1.5)", "glRotatef(270, 1, 0, 0)"};
    return lines + Lines{CONE,   "glTranslatef(1.5, 0, -1.5)",  "glRotatef(90, 0, 1, 0)",
                         CONE,   "glTranslatef(0, 0, -3)",      "glRotatef(180, 0, 1, 0)",
                         CONE,   "glTranslatef(0, 0, -1.5)",    "glRotatef(90, 1, 0, 0)",
                         ROD,    "glRotatef(180, 1, 0, 0)",     ROD,
                         SPHERE, "glDisable(GL_TEXTURE_GEN_S)", "glDisable(GL_TEXTURE_GEN_T)"};
}

Lines FrameStart() { return {CLEAR, "glLoadIdentity()"}; }
Lines IntroStart() { return {"glLoadIdentity()", "glTranslatef(0, 0, -9)"}; }
Lines CreditsStart() { return {"glLoadIdentity()", "glTranslatef(0, 0, -8)", "glEnable(GL_BLEND)"}; }

struct FrameCase {
    const char* what;
    int frame;
    int wobbleIndex;  // before the frame
    Lines expected;
};

TEST(SceneCalls, ChosenFramesMakeExactlyTheDescribedCalls) {
    const FrameCase cases[] = {
        {"first intro frame, fish", 1, 0, FrameStart() + IntroStart() + Lines{Bind(FISH)} + ImageSquare()},
        {"last fish frame", 1428, 173, FrameStart() + IntroStart() + Lines{Bind(FISH)} + ImageSquare()},
        {"first INTRO1 frame", 1429, 174, FrameStart() + IntroStart() + Lines{Bind(INTRO1)} + ImageSquare()},
        {"first INTRO2 frame", 2143, 128, FrameStart() + IntroStart() + Lines{Bind(INTRO2)} + ImageSquare()},
        {"first overlay frame", 2858, 63, FrameStart() + Overlay(2858, 64)},
        {"last overlay frame without the intro", 3571, 22, FrameStart() + Overlay(3571, 23)},
        // The intro inside the overlay binds nothing: its clock lies outside the intro images.
        {"first overlay frame with the intro", 3572, 23,
         FrameStart() + IntroStart() + ImageSquare() + Overlay(3572, 25)},
        {"wobble wraps inside the frame", 4000, 253, FrameStart() + IntroStart() + ImageSquare() + Overlay(4000, 1)},
        {"first star frame", 4286, 100, FrameStart() + Overlay(4286, 101) + AxisStar(4286)},
        {"first star frame of row 6", 7858, 200, FrameStart() + Overlay(7858, 201) + AxisStar(7858)},
        {"first credits frame", 11429, 5, FrameStart() + CreditsStart() + Lines{Bind(CODER)} + ImageSquare()},
        {"first design frame", 12858, 5, FrameStart() + CreditsStart() + Lines{Bind(DESIGN)} + ImageSquare()},
        {"first qx frame", 14286, 5, FrameStart() + CreditsStart() + Lines{Bind(QX)} + ImageSquare()},
        {"first music frame", 15715, 5, FrameStart() + CreditsStart() + Lines{Bind(MUSIC)} + ImageSquare()},
        {"last credits frame", 18571, 5, FrameStart() + CreditsStart() + Lines{Bind(VOKRA)} + ImageSquare()},
        {"after the show", 18572, 5, FrameStart()},
    };
    for (const FrameCase& c : cases) {
        SCOPED_TRACE(c.what);
        StartFromInitialisedState();
        GoToFrame(c.frame, c.wobbleIndex);
        DrawFrame();
        EXPECT_THAT(glrec::Lines(), ElementsAreArray(c.expected));
    }
}

TEST(SceneCalls, OverlayLayersStartTurnedByTheAbsoluteFrameCount) {
    StartFromInitialisedState();
    GoToFrame(2858, 63);
    DrawFrame();
    std::vector<glrec::Call> turns = glrec::CallsNamed("glRotatef");
    ASSERT_EQ(turns.size(), 2u);
    EXPECT_NEAR(std::stof(turns[0].args), 45.7, 0.05);
    EXPECT_NEAR(std::stof(turns[0].args) + std::stof(turns[1].args), 50.0, 0.05);
}

// Where each part of the star ends up, in the star's frame: the walk of turns and steps
// must put every rod from the centre along its half-axis and every cone from 1.5 to 2.5.
TEST(SceneCalls, StarPartsLieOnTheSixHalfAxes) {
    StartFromInitialisedState();
    g_frameCounter = 0;  // no tumble: the star's frame is the eye frame moved to depth 6
    DrawAxisStar();
    struct Part {
        const char* name;
        float axis[3];
        float from;
        float to;
    };
    const Part expected[] = {
        {"rod +x", {1, 0, 0}, 0, 2},       {"rod -x", {-1, 0, 0}, 0, 2},      {"rod -y", {0, -1, 0}, 0, 2},
        {"rod +y", {0, 1, 0}, 0, 2},       {"cone +z", {0, 0, 1}, 1.5, 2.5},  {"cone +y", {0, 1, 0}, 1.5, 2.5},
        {"cone -z", {0, 0, -1}, 1.5, 2.5}, {"cone -y", {0, -1, 0}, 1.5, 2.5}, {"cone +x", {1, 0, 0}, 1.5, 2.5},
        {"cone -x", {-1, 0, 0}, 1.5, 2.5}, {"rod -z", {0, 0, -1}, 0, 2},      {"rod +z", {0, 0, 1}, 0, 2},
    };
    std::vector<glrec::Call> cylinders = glrec::CallsNamed("gluCylinder");
    ASSERT_EQ(cylinders.size(), std::size(expected));
    for (std::size_t i = 0; i < cylinders.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        float height = expected[i].to - expected[i].from;
        glrec::Vec4 base = glrec::Transform(cylinders[i].modelview, 0, 0, 0);
        glrec::Vec4 end = glrec::Transform(cylinders[i].modelview, 0, 0, height);
        for (int k = 0; k < 3; ++k) {
            float centre = k == 2 ? -6.0f : 0.0f;
            EXPECT_NEAR(base[k] - centre, expected[i].axis[k] * expected[i].from, 1e-5);
            EXPECT_NEAR(end[k] - centre, expected[i].axis[k] * expected[i].to, 1e-5);
        }
    }
    glrec::Vec4 sphere = glrec::Transform(glrec::CallsNamed("gluSphere").at(0).modelview, 0, 0, 0);
    EXPECT_NEAR(sphere[0], 0, 1e-5);
    EXPECT_NEAR(sphere[1], 0, 1e-5);
    EXPECT_NEAR(sphere[2], -6, 1e-5);
}

struct StateCase {
    const char* what;
    int frame;
    bool depthTest;
    bool blending;
    unsigned bound;
};

TEST(SceneState, EachSceneLeavesWhatTheNextFrameStartsFrom) {
    const StateCase cases[] = {
        {"intro", 1, true, false, FISH},         {"intro, last image", 2857, true, false, INTRO2},
        {"overlay", 2858, false, true, FISH},    {"overlay with the intro", 4000, false, true, FISH},
        {"star", 4286, true, false, FISH_METAL}, {"star of row 6", 8571, true, false, FISH_METAL},
        {"credits", 11429, false, true, CODER},  {"credits, last card", 18571, false, true, VOKRA},
    };
    for (const StateCase& c : cases) {
        SCOPED_TRACE(c.what);
        StartFromInitialisedState();
        if (c.frame > 11428) glrec::SetEnabled(GL_DEPTH_TEST, false);  // as the model scene leaves it
        GoToFrame(c.frame, 10);
        DrawFrame();
        EXPECT_EQ(glrec::IsEnabled(GL_DEPTH_TEST), c.depthTest);
        EXPECT_EQ(glrec::IsEnabled(GL_BLEND), c.blending);
        EXPECT_EQ(glrec::BoundTexture(), c.bound);
        EXPECT_FALSE(glrec::IsEnabled(GL_TEXTURE_GEN_S));
        EXPECT_FALSE(glrec::IsEnabled(GL_TEXTURE_GEN_T));
        EXPECT_TRUE(glrec::IsEnabled(GL_LIGHTING));  // no scene of these rows touches lighting
        EXPECT_TRUE(glrec::IsEnabled(GL_TEXTURE_2D));
        EXPECT_EQ(glrec::CurrentColor(), (glrec::Vec4{1, 1, 1, 1}));
        EXPECT_EQ(glrec::StackDepth(GL_MODELVIEW), 1);
        EXPECT_EQ(glrec::MatrixMode(), GLenum(GL_MODELVIEW));
        EXPECT_EQ(glrec::LastError(), GLenum(GL_NO_ERROR));
    }
}

}  // namespace
