// The message loop and the shutdown.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/shell.h"
#include "resources/textures.h"
#include "tests/shell/stand_ins.h"

using stand_in::Call;
using stand_in::Trace;
using testing::ElementsAre;

namespace {

const HINSTANCE INSTANCE = reinterpret_cast<HINSTANCE>(0x400000);

MSG Message(UINT message, WPARAM wParam = 0) { return MSG{fake::FakeWindow(), message, wParam, 0}; }

class Loop : public testing::Test {
protected:
    void SetUp() override {
        stand_in::ResetAll();
        // The fake dispatches to the registered procedure, as after start-up.
        CreateDemoWindow("vrex demo", 800, 600, 0, false, INSTANCE);
        g_fullScreen = false;
        g_hwnd = fake::FakeWindow();
        fake::g_calls.clear();
    }
};

TEST_F(Loop, NoFrameIsDrawnWhileMessagesKeepComing) {
    for (int i = 0; i < 3; ++i) fake::g_answers.messages.push_back(Message(WM_MOUSEMOVE));
    stand_in::g_afterFrame = [](int frame) {
        if (frame == 1)
            for (int i = 0; i < 2; ++i) fake::g_answers.messages.push_back(Message(WM_MOUSEMOVE));
        if (frame == 2) fake::g_answers.messages.push_back(Message(WM_KEYDOWN, VK_ESCAPE));
    };
    RunMessageLoop();

    std::vector<std::string> turns;  // one letter per step: Peek, Dispatch, Frame
    for (const std::string& name : fake::Names()) {
        if (name == "PeekMessageA") turns.push_back("P");
        if (name == "DispatchMessageA") turns.push_back("D");
        if (name == "DrawFrame") turns.push_back("F");
    }
    EXPECT_THAT(turns, ElementsAre("P", "D", "P", "D", "P", "D", "P", "F",  // three moves, then an empty queue
                                   "P", "D", "P", "D", "P", "F",            // two more, then empty again
                                   "P", "D", "P"));                         // Escape, then the quit
    EXPECT_EQ(stand_in::g_framesDrawn, 2);
}

TEST_F(Loop, EveryMessageIsTranslatedThenDispatchedAndTheQuitIsNot) {
    fake::g_answers.messages.push_back(Message(WM_CLOSE));
    RunMessageLoop();

    EXPECT_TRUE(stand_in::InOrder(Trace(), {Call("PeekMessageA", "null, 0, 0, 1"), Call("TranslateMessage", "16"),
                                            Call("DispatchMessageA", "16, 0, 0"), Call("PostQuitMessage", "0"),
                                            Call("PeekMessageA", "null, 0, 0, 1"), Call("ReleaseModel")}));
    EXPECT_EQ(fake::CallsNamed("TranslateMessage").size(), 1u);
    EXPECT_EQ(fake::CallsNamed("DispatchMessageA").size(), 1u);
}

TEST_F(Loop, TheQuitComesAfterPendingMessagesAndItsCodeIsTheResult) {
    fake::g_answers.messages.push_back(Message(WM_MOUSEMOVE));
    fake::g_answers.messages.push_back(Message(WM_PAINT));
    PostQuitMessage(3);

    EXPECT_EQ(RunMessageLoop(), 3);
    EXPECT_EQ(fake::CallsNamed("DispatchMessageA").size(), 2u);
    EXPECT_EQ(stand_in::g_framesDrawn, 0);
}

TEST_F(Loop, AfterTheQuitTheModelIsReleasedThenTheShellShutsDown) {
    g_hdc = fake::FakeDeviceContext();
    g_hglrc = fake::FakeGlContext();
    PostQuitMessage(0);
    RunMessageLoop();

    EXPECT_THAT(fake::Names(), ElementsAre("PostQuitMessage", "PeekMessageA", "ReleaseModel", "wglMakeCurrent",
                                           "wglDeleteContext", "ReleaseDC", "UnregisterClassA"));
}

TEST(Shutdown, GivesBackContextDeviceContextDisplayAndCursorInOrderSkippingWhatIsMissing) {
    struct Case {
        const char* what;
        bool context, deviceContext, fullScreen;
        std::vector<std::string> calls;
    };
    const std::string unregister = Call("UnregisterClassA", "\"vrex\", 0x400000");
    const Case cases[] = {
        {"everything, full screen",
         true,
         true,
         true,
         {Call("wglMakeCurrent", "null, null"), Call("wglDeleteContext", "glrc"), Call("ReleaseDC", "window, dc"),
          Call("ChangeDisplaySettingsA", "null, 0"), Call("ShowCursor", "1"), unregister}},
        {"everything, framed",
         true,
         true,
         false,
         {Call("wglMakeCurrent", "null, null"), Call("wglDeleteContext", "glrc"), Call("ReleaseDC", "window, dc"),
          unregister}},
        {"no context",
         false,
         true,
         true,
         {Call("ReleaseDC", "window, dc"), Call("ChangeDisplaySettingsA", "null, 0"), Call("ShowCursor", "1"),
          unregister}},
        {"neither", false, false, false, {unregister}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        stand_in::ResetAll();
        g_hwnd = fake::FakeWindow();
        g_hInstance = INSTANCE;
        g_hglrc = c.context ? fake::FakeGlContext() : nullptr;
        g_hdc = c.deviceContext ? fake::FakeDeviceContext() : nullptr;
        g_fullScreen = c.fullScreen;

        Shutdown();
        EXPECT_THAT(Trace(), testing::ElementsAreArray(c.calls));
    }
}

}  // namespace
