// The model scene with the real model drawing: its exact calls, where it puts the model and
// the tube, and the state it leaves for the credits.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "model3ds/model.h"
#include "resources/textures.h"
#include "scenes/timeline.h"
#include "tests/scenes/show_doubles.h"
#include "tests/support/gl_recorder.h"

using testing::ElementsAreArray;

namespace {

using glrec::Float;
using Lines = std::vector<std::string>;

constexpr int FIRST_MODEL_FRAME = 8572;
constexpr int WOBBLE_INDEX_BEFORE_IT = 236;

Lines operator+(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// One white triangle of a model without materials, standing on the model's floor.
Vector3 triangleVertices[3] = {{0, 0, 0}, {10, 0, 0}, {0, 20, 0}};
Vector3 triangleNormals[3] = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
Face triangleFace = {{0, 1, 2}};

const Lines TRIANGLE_CALLS = {"glColor3ub(255, 255, 255)", "glBegin(GL_TRIANGLES)", "glNormal3f(0, 0, 1)",
                              "glVertex3f(0, 0, 0)",       "glNormal3f(0, 0, 1)",   "glVertex3f(10, 0, 0)",
                              "glNormal3f(0, 0, 1)",       "glVertex3f(0, 20, 0)",  "glEnd()"};

class ModelScene : public testing::Test {
protected:
    void SetUp() override {
        StartFromInitialisedState();
        MeshObject triangle{};
        triangle.vertexCount = 3;
        triangle.faceCount = 1;
        triangle.vertices = triangleVertices;
        triangle.normals = triangleNormals;
        triangle.faces = &triangleFace;
        g_model = Model{};
        g_model.objects.push_back(triangle);
        g_model.objectCount = 1;
    }
    // The arrays are the test's own: the model is dropped, not released.
    void TearDown() override { g_model = Model{}; }

    static std::string Bind(unsigned name) { return "glBindTexture(GL_TEXTURE_2D, " + std::to_string(name) + ")"; }

    // The scene's calls when the wobble step lands on `index` in frame n.
    static Lines SceneCalls(int n, int index) {
        double w = g_sinTable[index] * 9.0f;  // g_wobble is a float
        return Lines{"glDisable(GL_LIGHTING)",
                     "glLoadIdentity()",
                     "glEnable(GL_DEPTH_TEST)",
                     "glTranslatef(" + Float(float(w * 5)) + ", " + Float(float(w * 4 - 50)) + ", -175)",
                     "glRotatef(" + Float(float(2.0 * n)) + ", 0, 1, 0)",
                     "glColor4f(1, 1, 1, 1)",
                     "glDisable(GL_BLEND)"} +
               TRIANGLE_CALLS +
               Lines{"glEnable(GL_BLEND)",
                     Bind(METAL),
                     "glTranslatef(0, 100, 0)",
                     "glRotatef(90, 1, 0, 0)",
                     "gluCylinder(ptr, 65, 65, 100, 32, 32)",
                     "glDisable(GL_DEPTH_TEST)",
                     Bind(PARTICLE)};
    }
};

TEST_F(ModelScene, FirstFrameOfRowSevenMakesExactlyTheSceneCalls) {
    GoToFrame(FIRST_MODEL_FRAME, WOBBLE_INDEX_BEFORE_IT);
    DrawFrame();
    EXPECT_THAT(glrec::Lines(),
                ElementsAreArray(Lines{"glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT)", "glLoadIdentity()"} +
                                 SceneCalls(FIRST_MODEL_FRAME, 237)));
    EXPECT_EQ(g_wobbleIndex, 237);
    // 17144 degrees: 224 past whole turns.
    EXPECT_EQ(glrec::CallsNamed("glRotatef").at(0).args, "17144, 0, 1, 0");
}

TEST_F(ModelScene, LeavesLightingAndDepthTestOffBlendingOnAndTheParticleBound) {
    // Whatever the frames before left, and even after the user switched lighting back on.
    for (bool before : {false, true}) {
        SCOPED_TRACE(before);
        StartFromInitialisedState();
        for (GLenum capability : {GL_LIGHTING, GL_DEPTH_TEST, GL_BLEND}) glrec::SetEnabled(capability, before);
        GoToFrame(FIRST_MODEL_FRAME, WOBBLE_INDEX_BEFORE_IT);
        DrawFrame();
        EXPECT_FALSE(glrec::IsEnabled(GL_LIGHTING));
        EXPECT_FALSE(glrec::IsEnabled(GL_DEPTH_TEST));
        EXPECT_TRUE(glrec::IsEnabled(GL_BLEND));
        EXPECT_EQ(glrec::BoundTexture(), PARTICLE);
        EXPECT_TRUE(glrec::IsEnabled(GL_TEXTURE_2D));
        EXPECT_EQ(glrec::StackDepth(GL_MODELVIEW), 1);
    }
}

// The model's origin in eye space, read from the matrix its triangles were drawn with.
glrec::Vec4 ModelOrigin() { return glrec::Transform(glrec::CallsNamed("glBegin").at(0).modelview, 0, 0, 0); }

TEST_F(ModelScene, ModelSwingsInsideItsBoxOverOneFullWobble) {
    GoToFrame(FIRST_MODEL_FRAME, WOBBLE_INDEX_BEFORE_IT);
    float low[2] = {1e9f, 1e9f}, high[2] = {-1e9f, -1e9f};
    for (int step = 0; step < WOBBLE_PERIOD; ++step) {
        glrec::Clear();
        DrawModelScene();
        glrec::Vec4 origin = ModelOrigin();
        EXPECT_NEAR(origin[2], -175, 1e-4);
        for (int k = 0; k < 2; ++k) {
            low[k] = std::min(low[k], origin[k]);
            high[k] = std::max(high[k], origin[k]);
        }
    }
    EXPECT_NEAR(low[0], -45, 1e-4);
    EXPECT_NEAR(high[0], 45, 1e-4);
    EXPECT_NEAR(low[1], -86, 1e-4);
    EXPECT_NEAR(high[1], -14, 1e-4);
}

TEST_F(ModelScene, WobbleNearZeroPutsTheModelAtItsRestingPlace) {
    // Index 128 is the table's almost-zero entry (the decimal pi): w is about -4e-9.
    GoToFrame(FIRST_MODEL_FRAME, 127);
    DrawModelScene();
    glrec::Vec4 origin = ModelOrigin();
    EXPECT_NEAR(origin[0], 0, 1e-6);
    EXPECT_NEAR(origin[1], -50, 1e-6);
    EXPECT_NEAR(origin[2], -175, 1e-6);
}

TEST_F(ModelScene, TubeStandsAroundTheModelFromItsHeightHundredDownToItsFloor) {
    GoToFrame(FIRST_MODEL_FRAME, WOBBLE_INDEX_BEFORE_IT);
    DrawModelScene();
    const glrec::Matrix model = glrec::CallsNamed("glBegin").at(0).modelview;
    const glrec::Matrix tube = glrec::CallsNamed("gluCylinder").at(0).modelview;
    // The quadric's cylinder runs from its z = 0 to z = 100; its radius lies in its x-y plane.
    const struct {
        const char* what;
        float tubePoint[3];
        float modelPoint[3];
    } cases[] = {
        {"top centre", {0, 0, 0}, {0, 100, 0}},
        {"floor centre", {0, 0, 100}, {0, 0, 0}},
        {"rim, +x", {65, 0, 50}, {65, 50, 0}},
        {"rim, +z of the model", {0, 65, 50}, {0, 50, 65}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        glrec::Vec4 fromTube = glrec::Transform(tube, c.tubePoint[0], c.tubePoint[1], c.tubePoint[2]);
        glrec::Vec4 fromModel = glrec::Transform(model, c.modelPoint[0], c.modelPoint[1], c.modelPoint[2]);
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(fromTube[k], fromModel[k], 1e-3) << k;
    }
}

}  // namespace
