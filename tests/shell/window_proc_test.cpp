// The demo window's procedure: every row of its table, its results, and what it passes on.
#include <GL/gl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/shell.h"
#include "tests/shell/stand_ins.h"

using stand_in::Args;
using stand_in::Call;
using stand_in::Trace;
using testing::ElementsAre;
using testing::ElementsAreArray;

namespace {

constexpr LRESULT DEFAULT_RESULT = 42;  // what the test's DefWindowProcA answers

struct Row {
    const char* what;
    bool fullScreen;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
    std::vector<std::string> calls;
};

std::vector<std::string> Resized(const char* viewport, const char* aspect) {
    return {Call("glViewport", viewport),   Call("glMatrixMode", "0x1701"),
            Call("glLoadIdentity"),         Call("gluPerspective", std::string("45, ") + aspect + ", 1, 4000"),
            Call("glMatrixMode", "0x1700"), Call("glLoadIdentity")};
}

std::string Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return Call("DefWindowProcA", Args("window", message, wParam, lParam));
}

TEST(WindowProcedure, EachMessageHasItsActionAndResultAndHandledOnesAreNotPassedOn) {
    const LPARAM at10_20 = MAKELPARAM(10, 20);
    const Row rows[] = {
        {"framed resize", false, WM_SIZE, 0, MAKELPARAM(1024, 768), 0, Resized("0, 0, 1024, 768", "1.33333")},
        {"framed resize to height 0", false, WM_SIZE, 0, MAKELPARAM(640, 0), 0, Resized("0, 0, 640, 1", "640")},
        {"full-screen resize", true, WM_SIZE, 0, MAKELPARAM(1024, 768), 0, {}},
        {"paint", false, WM_PAINT, 0, 0, 0, {Call("BeginPaint", "window"), Call("EndPaint", "window")}},
        {"close", false, WM_CLOSE, 0, 0, 0, {Call("PostQuitMessage", "0")}},
        {"Escape", true, WM_KEYDOWN, VK_ESCAPE, 1, 0, {Call("PostQuitMessage", "0")}},
        {"another key", true, WM_KEYDOWN, 'A', 1, 0, {}},
        {"Return", true, WM_KEYDOWN, 0x0D, 1, 0, {}},
        {"right click", true, WM_RBUTTONDOWN, 2, at10_20, 0, {Call("glDisable", "0xb50")}},
        {"Escape released", true, WM_KEYUP, VK_ESCAPE, 1, DEFAULT_RESULT, {Default(WM_KEYUP, VK_ESCAPE, 1)}},
        {"mouse move", true, WM_MOUSEMOVE, 0, at10_20, DEFAULT_RESULT, {Default(WM_MOUSEMOVE, 0, at10_20)}},
        {"left click", false, WM_LBUTTONDOWN, 1, at10_20, DEFAULT_RESULT, {Default(WM_LBUTTONDOWN, 1, at10_20)}},
        {"right release", false, WM_RBUTTONUP, 0, at10_20, DEFAULT_RESULT, {Default(WM_RBUTTONUP, 0, at10_20)}},
        {"quit", false, WM_QUIT, 0, 0, DEFAULT_RESULT, {Default(WM_QUIT, 0, 0)}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        stand_in::ResetAll();
        g_fullScreen = row.fullScreen;
        fake::g_answers.defWindowProc = DEFAULT_RESULT;

        LRESULT result = DemoWindowProc(fake::FakeWindow(), row.message, row.wParam, row.lParam);

        EXPECT_EQ(result, row.result);
        EXPECT_THAT(Trace(), ElementsAreArray(row.calls));
    }
}

TEST(WindowProcedure, EachRightClickSetsLightingToTheSwitchAndTwoGiveBackTheStart) {
    for (bool start : {true, false}) {
        SCOPED_TRACE(start);
        stand_in::ResetAll();
        g_lighting = start;

        DemoWindowProc(fake::FakeWindow(), WM_RBUTTONDOWN, 0, 0);
        EXPECT_EQ(g_lighting, !start);
        DemoWindowProc(fake::FakeWindow(), WM_RBUTTONDOWN, 0, 0);
        EXPECT_EQ(g_lighting, start);

        const char* first = start ? "glDisable" : "glEnable";
        const char* second = start ? "glEnable" : "glDisable";
        EXPECT_THAT(Trace(), ElementsAre(Call(first, "0xb50"), Call(second, "0xb50")));
    }
}

}  // namespace
