// The GL state InitGraphics leaves and the projection, read back from a real context made by
// the SDL2 layer on SDL's offscreen driver (Mesa's software renderer, no display needed).
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/shell.h"
#include "resources/textures.h"

namespace {

// One window and one context per process, made by the shell as the demo makes them.
void InitGraphicsOnce() {
    static bool done = false;
    if (done) return;
    done = true;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DemoWindowProc;
    windowClass.lpszClassName = WINDOW_CLASS_NAME;
    RegisterClassA(&windowClass);
    g_hwnd = CreateWindowExA(0, WINDOW_CLASS_NAME, WINDOW_TITLE, WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr, nullptr,
                             nullptr, nullptr);
    ASSERT_NE(g_hwnd, nullptr);
    InitGraphics(800, 600);
}

class GlState : public testing::Test {
protected:
    void SetUp() override {
        InitGraphicsOnce();
        ASSERT_NE(g_hglrc, nullptr);
        g_fullScreen = false;
    }
};

std::vector<double> Floats(GLenum name, int count) {
    std::vector<GLfloat> values(count);
    glGetFloatv(name, values.data());
    return {values.begin(), values.end()};
}

std::vector<double> Integers(GLenum name, int count) {
    std::vector<GLint> values(count);
    glGetIntegerv(name, values.data());
    return {values.begin(), values.end()};
}

std::vector<double> Enabled(GLenum capability) { return {double(glIsEnabled(capability))}; }

std::vector<double> TexGenMode(GLenum coordinate) {
    GLint mode = 0;
    glGetTexGeniv(coordinate, GL_TEXTURE_GEN_MODE, &mode);
    return {double(mode)};
}

TEST_F(GlState, EveryRowOfTheStartingStateReadsBack) {
    struct Row {
        const char* what;
        std::vector<double> actual;
        std::vector<double> expected;
    };
    const Row rows[] = {
        {"texturing", Enabled(GL_TEXTURE_2D), {1}},
        {"clear colour", Floats(GL_COLOR_CLEAR_VALUE, 4), {0, 0, 0, 0.5}},
        {"clear depth", Floats(GL_DEPTH_CLEAR_VALUE, 1), {1}},
        {"perspective hint", Integers(GL_PERSPECTIVE_CORRECTION_HINT, 1), {GL_NICEST}},
        {"shading", Integers(GL_SHADE_MODEL, 1), {GL_SMOOTH}},
        {"generation mode S", TexGenMode(GL_S), {GL_SPHERE_MAP}},
        {"generation mode T", TexGenMode(GL_T), {GL_SPHERE_MAP}},
        {"generation S off", Enabled(GL_TEXTURE_GEN_S), {0}},
        {"generation T off", Enabled(GL_TEXTURE_GEN_T), {0}},
        {"depth test", Enabled(GL_DEPTH_TEST), {1}},
        {"depth comparison", Integers(GL_DEPTH_FUNC, 1), {GL_LESS}},
        {"blend source", Integers(GL_BLEND_SRC, 1), {GL_SRC_ALPHA}},
        {"blend destination", Integers(GL_BLEND_DST, 1), {GL_ONE}},
        {"blending off", Enabled(GL_BLEND), {0}},
        {"colour material", Enabled(GL_COLOR_MATERIAL), {1}},
        {"current matrix", Integers(GL_MATRIX_MODE, 1), {GL_MODELVIEW}},
        {"model-view", Floats(GL_MODELVIEW_MATRIX, 16), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
        {"viewport", Integers(GL_VIEWPORT, 4), {0, 0, 800, 600}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_EQ(row.actual.size(), row.expected.size());
        for (size_t i = 0; i < row.expected.size(); ++i) EXPECT_NEAR(row.actual[i], row.expected[i], 1e-6) << i;
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// Double buffering cannot be read here: the offscreen driver draws into a single pbuffer.
TEST_F(GlState, TheContextHasAtLeastTheRequestedDepthAndColourBits) {
    EXPECT_GE(Integers(GL_DEPTH_BITS, 1)[0], 16);
    double colour = Integers(GL_RED_BITS, 1)[0] + Integers(GL_GREEN_BITS, 1)[0] + Integers(GL_BLUE_BITS, 1)[0];
    EXPECT_GE(colour, 15);  // 5-5-5 or better
}

// gluPerspective's matrix, column by column.
std::vector<double> Perspective(double fovy, double aspect, double zNear, double zFar) {
    const double f = 1.0 / std::tan(fovy * M_PI / 360.0);
    // clang-format off
    return {f / aspect, 0, 0, 0, 0, f, 0, 0, 0, 0, (zFar + zNear) / (zNear - zFar), -1,
            0, 0, 2 * zFar * zNear / (zNear - zFar), 0};
    // clang-format on
}

void ExpectProjection(double aspect, int width, int height) {
    std::vector<double> expected = Perspective(45.0, aspect, 1.0, 4000.0);
    std::vector<double> actual = Floats(GL_PROJECTION_MATRIX, 16);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual[i], expected[i], 1e-5 * std::max(1.0, std::fabs(expected[i]))) << i;
    EXPECT_EQ(Integers(GL_VIEWPORT, 4), (std::vector<double>{0, 0, double(width), double(height)}));
    EXPECT_EQ(Floats(GL_MODELVIEW_MATRIX, 16), (std::vector<double>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
    EXPECT_EQ(Integers(GL_MATRIX_MODE, 1)[0], GL_MODELVIEW);
}

TEST_F(GlState, TheProjectionIsAFortyFiveDegreePerspectiveOfTheClientSize) {
    ExpectProjection(800.0 / 600.0, 800, 600);  // as InitGraphics left it

    struct Case {
        int width, height;
        double aspect;
        int viewportHeight;
    };
    const Case cases[] = {{1024, 768, 1024.0 / 768.0, 768}, {640, 0, 640.0, 1}, {800, 600, 800.0 / 600.0, 600}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        glMatrixMode(GL_MODELVIEW);
        glTranslatef(1, 2, 3);  // a frame's leftovers, reset by the resize
        DemoWindowProc(g_hwnd, WM_SIZE, 0, MAKELPARAM(c.width, c.height));
        ExpectProjection(c.aspect, c.width, c.viewportHeight);
    }
}

TEST_F(GlState, AFullScreenWindowKeepsItsProjection) {
    g_fullScreen = true;
    DemoWindowProc(g_hwnd, WM_SIZE, 0, MAKELPARAM(1024, 768));
    ExpectProjection(800.0 / 600.0, 800, 600);
}

}  // namespace
