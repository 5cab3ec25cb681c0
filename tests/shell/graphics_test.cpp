// The pixel format, the context and the fixed GL state, as calls in order.
#include <GL/gl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/shell.h"
#include "resources/textures.h"
#include "tests/shell/stand_ins.h"

using stand_in::Args;
using stand_in::Call;
using stand_in::Trace;
using testing::ElementsAre;
using testing::ElementsAreArray;

namespace {

class Graphics : public testing::Test {
protected:
    void SetUp() override {
        stand_in::ResetAll();
        g_hwnd = fake::FakeWindow();
    }
};

TEST_F(Graphics, TheRequestIsADoubleBufferedRgbaWindowFormatWith16BitColourAndDepth) {
    fake::g_answers.choosePixelFormat = 5;
    EXPECT_TRUE(SetupPixelFormat(fake::FakeDeviceContext()));

    // dc, size, version, flags, type, colour, depth, accumulation, stencil, layer mask
    EXPECT_THAT(Trace(), ElementsAre(Call("ChoosePixelFormat", "dc, 40, 1, 37, 0, 16, 16, 0, 0, 0"),
                                     Call("SetPixelFormat", "dc, 5")));
    EXPECT_TRUE(fake::g_messageBoxes.empty());
}

TEST_F(Graphics, EachFormatFailureIsReportedWithoutOwner) {
    struct Case {
        int choose;
        BOOL set;
        const char* text;
        size_t calls;
    };
    const Case cases[] = {
        {0, TRUE, "ChoosePixelFormat failed", 2},  // choose, box: no SetPixelFormat
        {1, FALSE, "SetPixelFormat failed", 3},    // choose, set, box
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        stand_in::ResetAll();
        fake::g_answers.choosePixelFormat = c.choose;
        fake::g_answers.setPixelFormat = c.set;

        EXPECT_FALSE(SetupPixelFormat(fake::FakeDeviceContext()));
        EXPECT_EQ(fake::g_calls.size(), c.calls);
        ASSERT_EQ(fake::g_messageBoxes.size(), 1u);
        EXPECT_EQ(fake::g_messageBoxes[0].owner, nullptr);
        EXPECT_EQ(fake::g_messageBoxes[0].text, c.text);
        EXPECT_EQ(fake::g_messageBoxes[0].caption, "Error");
        EXPECT_EQ(fake::g_messageBoxes[0].type, MB_OK);
    }
}

// The state every scene starts from, set exactly in this order and nothing else.
std::vector<std::string> StateCalls(const char* viewport, const char* aspect) {
    return {Call("glViewport", viewport),
            Call("glEnable", "0xde1"),
            Call("glClearColor", "0, 0, 0, 0.5"),
            Call("glClearDepth", "1"),
            Call("glHint", "0xc50, 0x1102"),
            Call("glShadeModel", "0x1d01"),
            Call("glTexGeni", "0x2000, 0x2500, 0x2402"),
            Call("glTexGeni", "0x2001, 0x2500, 0x2402"),
            Call("glEnable", "0xb71"),
            Call("glMatrixMode", "0x1701"),
            Call("glLoadIdentity"),
            Call("glBlendFunc", "0x302, 0x1"),
            Call("glMatrixMode", "0x1700"),
            Call("glEnable", "0xb57"),
            Call("glViewport", viewport),
            Call("glMatrixMode", "0x1701"),
            Call("glLoadIdentity"),
            Call("gluPerspective", std::string("45, ") + aspect + ", 1, 4000"),
            Call("glMatrixMode", "0x1700"),
            Call("glLoadIdentity")};
}

TEST_F(Graphics, InitGraphicsMakesTheContextThenSetsTheStateInOrder) {
    InitGraphics(800, 600);

    std::vector<std::string> expected = {
        Call("GetDC", "window"), Call("ChoosePixelFormat", "dc, 40, 1, 37, 0, 16, 16, 0, 0, 0"),
        Call("SetPixelFormat", "dc, 1"), Call("wglCreateContext", "dc"), Call("wglMakeCurrent", "dc, glrc")};
    for (const std::string& call : StateCalls("0, 0, 800, 600", "1.33333")) expected.push_back(call);
    EXPECT_THAT(Trace(), ElementsAreArray(expected));
    EXPECT_EQ(g_hdc, fake::FakeDeviceContext());
    EXPECT_EQ(g_hglrc, fake::FakeGlContext());
}

TEST_F(Graphics, AFormatFailurePostsAQuitAndStartUpGoesOn) {
    fake::g_answers.choosePixelFormat = 0;
    InitGraphics(800, 600);

    std::vector<std::string> expected = {Call("GetDC", "window"),
                                         Call("ChoosePixelFormat", "dc, 40, 1, 37, 0, 16, 16, 0, 0, 0"),
                                         Call("MessageBoxA", "null, \"ChoosePixelFormat failed\", \"Error\", 0"),
                                         Call("PostQuitMessage", "0"),
                                         Call("wglCreateContext", "dc"),
                                         Call("wglMakeCurrent", "dc, glrc")};
    for (const std::string& call : StateCalls("0, 0, 800, 600", "1.33333")) expected.push_back(call);
    EXPECT_THAT(Trace(), ElementsAreArray(expected));
    EXPECT_EQ(fake::g_quitCode, 0);
}

TEST_F(Graphics, TheProjectionFollowsTheClientSizeAndAZeroHeightCountsAsOne) {
    struct Case {
        int width, height;
        std::string viewport;
        double aspect;
    };
    const Case cases[] = {
        {800, 600, "0, 0, 800, 600", 800.0 / 600.0},
        {1024, 768, "0, 0, 1024, 768", 1024.0 / 768.0},
        {640, 0, "0, 0, 640, 1", 640.0},
        {300, 700, "0, 0, 300, 700", 300.0 / 700.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.viewport);
        stand_in::ResetAll();
        ResizeViewport(c.width, c.height);

        EXPECT_THAT(fake::Names(), ElementsAre("glViewport", "glMatrixMode", "glLoadIdentity", "gluPerspective",
                                               "glMatrixMode", "glLoadIdentity"));
        EXPECT_EQ(fake::g_calls[0].args, c.viewport);
        EXPECT_EQ(fake::g_calls[1].args, "0x1701");
        EXPECT_EQ(fake::g_calls[4].args, "0x1700");  // the model-view matrix is reset by every resize
        EXPECT_EQ(stand_in::g_perspective[0], 45.0);
        EXPECT_EQ(stand_in::g_perspective[1], c.aspect);  // computed in double precision
        EXPECT_EQ(stand_in::g_perspective[2], 1.0);
        EXPECT_EQ(stand_in::g_perspective[3], 4000.0);
    }
}

}  // namespace
