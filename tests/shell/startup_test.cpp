// Start-up: the full-screen question, the window class and window, the display mode.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/shell.h"
#include "resources/textures.h"
#include "tests/shell/stand_ins.h"

using stand_in::Args;
using testing::Contains;
using testing::ElementsAre;
using testing::Not;

namespace {

const HINSTANCE INSTANCE = reinterpret_cast<HINSTANCE>(0x400000);
constexpr DWORD FULL_SCREEN_STYLE = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD WINDOWED_STYLE = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

class StartUp : public testing::Test {
protected:
    void SetUp() override { stand_in::ResetAll(); }
};

std::vector<std::string> NamesAfter(const std::string& name) {
    std::vector<std::string> names = fake::Names(), after;
    bool seen = false;
    for (const std::string& n : names) {
        if (seen) after.push_back(n);
        seen = seen || n == name;
    }
    return after;
}

TEST_F(StartUp, OnlyTheNoAnswerGivesAFramedWindow) {
    struct Case {
        int answer;
        bool fullScreen;
        DWORD style;
    };
    const Case cases[] = {
        {IDYES, true, FULL_SCREEN_STYLE},
        {IDNO, false, WINDOWED_STYLE},
        {0, true, FULL_SCREEN_STYLE},  // Win32's failure value: only No gives a window
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        stand_in::ResetAll();
        fake::g_answers.messageBox = c.answer;
        fake::g_answers.createWindowFails = true;
        WinMain(INSTANCE, nullptr, nullptr, SW_SHOWNORMAL);

        ASSERT_FALSE(fake::g_messageBoxes.empty());
        const fake::MessageBoxShown& question = fake::g_messageBoxes.front();
        EXPECT_EQ(question.owner, nullptr);
        EXPECT_EQ(question.text, "Click Yes to go to full screen (Recommended)");
        EXPECT_EQ(question.caption, "Options");
        EXPECT_EQ(question.type, 0x24u);
        EXPECT_EQ(g_fullScreen, c.fullScreen);
        ASSERT_EQ(fake::CallsNamed("CreateWindowExA").size(), 1u);
        EXPECT_THAT(fake::CallsNamed("CreateWindowExA")[0].args,
                    testing::StartsWith(Args(0, "\"vrex\"", "\"vrex demo\"", c.style)));
        EXPECT_EQ(fake::CallsNamed("ChangeDisplaySettingsA").size(), c.fullScreen ? 1u : 0u);
    }
}

TEST_F(StartUp, TheFullScreenWindowIsAPopupOfExactlyTheClientSizeAtTheOrigin) {
    HWND window = CreateDemoWindow("vrex demo", 800, 600, 0, true, INSTANCE);

    EXPECT_EQ(window, fake::FakeWindow());
    EXPECT_EQ(g_hInstance, INSTANCE);
    EXPECT_THAT(fake::Names(), ElementsAre("LoadIconA", "LoadCursorA", "RegisterClassA", "EnumDisplaySettingsA",
                                           "ChangeDisplaySettingsA", "ShowCursor", "AdjustWindowRect",
                                           "CreateWindowExA", "ShowWindow", "UpdateWindow", "SetFocus"));
    EXPECT_EQ(fake::CallsNamed("ShowCursor")[0].args, "0");
    EXPECT_EQ(fake::CallsNamed("AdjustWindowRect")[0].args, Args(0, 0, 800, 600, FULL_SCREEN_STYLE, 0));
    EXPECT_EQ(fake::CallsNamed("CreateWindowExA")[0].args, Args(0, "\"vrex\"", "\"vrex demo\"", FULL_SCREEN_STYLE, 0, 0,
                                                                800, 600, "null", "null", INSTANCE, "null"));
    EXPECT_EQ(fake::CallsNamed("ShowWindow")[0].args, "window, 1");
    EXPECT_EQ(fake::CallsNamed("UpdateWindow")[0].args, "window");
    EXPECT_EQ(fake::CallsNamed("SetFocus")[0].args, "window");
}

TEST_F(StartUp, TheFramedWindowIsGrownByItsFrameSoTheClientAreaIs800By600) {
    CreateDemoWindow("vrex demo", 800, 600, 0, false, INSTANCE);

    EXPECT_THAT(fake::Names(), Not(Contains("ChangeDisplaySettingsA")));
    EXPECT_THAT(fake::Names(), Not(Contains("ShowCursor")));
    EXPECT_EQ(fake::CallsNamed("AdjustWindowRect")[0].args, Args(0, 0, 800, 600, WINDOWED_STYLE, 0));
    // The fake's frame: 8 pixels each side, 31 above (caption and border), 8 below.
    EXPECT_EQ(fake::CallsNamed("CreateWindowExA")[0].args,
              Args(0, "\"vrex\"", "\"vrex demo\"", WINDOWED_STYLE, 0, 0, 816, 639, "null", "null", INSTANCE, "null"));
}

TEST_F(StartUp, AGivenStyleIsUsedUnchangedWithoutADisplayChange) {
    CreateDemoWindow("vrex demo", 800, 600, WS_POPUP, true, INSTANCE);

    EXPECT_THAT(fake::Names(), Not(Contains("EnumDisplaySettingsA")));
    EXPECT_THAT(fake::Names(), Not(Contains("ShowCursor")));
    EXPECT_THAT(fake::CallsNamed("CreateWindowExA")[0].args,
                testing::StartsWith(Args(0, "\"vrex\"", "\"vrex demo\"", WS_POPUP)));
}

TEST_F(StartUp, TheClassIsRegisteredWithTheSystemIconArrowAndWindowBrush) {
    CreateDemoWindow("vrex demo", 800, 600, 0, false, INSTANCE);

    EXPECT_EQ(fake::CallsNamed("LoadIconA")[0].args, Args("null", IDI_APPLICATION));
    EXPECT_EQ(fake::CallsNamed("LoadCursorA")[0].args, Args("null", IDC_ARROW));
    // style, class name, instance, icon, cursor, brush, menu, class and window extra bytes
    EXPECT_EQ(fake::CallsNamed("RegisterClassA")[0].args, Args(3, "\"vrex\"", INSTANCE, reinterpret_cast<void*>(0x1001),
                                                               reinterpret_cast<void*>(0x1002), 6, "null", 0, 0));
}

TEST_F(StartUp, OnlyTheResolutionOfTheCurrentModeChanges) {
    fake::g_answers.currentMode = {DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT, 16, 1280, 1024, 75};
    EnterFullScreenMode();

    EXPECT_EQ(fake::CallsNamed("EnumDisplaySettingsA")[0].args, Args("null", ENUM_CURRENT_SETTINGS));
    // width, height, depth, refresh, field mask, flags
    EXPECT_EQ(fake::CallsNamed("ChangeDisplaySettingsA")[0].args,
              Args(800, 600, 16, 75, DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT, CDS_FULLSCREEN));
    EXPECT_TRUE(fake::g_messageBoxes.empty());
    EXPECT_FALSE(fake::g_quitPosted);
}

TEST_F(StartUp, AnUnreadableDisplayIsReportedAndLeavesTheModeAlone) {
    fake::g_answers.enumDisplayFails = true;
    HWND window = CreateDemoWindow("vrex demo", 800, 600, 0, true, INSTANCE);

    ASSERT_EQ(fake::g_messageBoxes.size(), 1u);
    EXPECT_EQ(fake::g_messageBoxes[0].owner, nullptr);
    EXPECT_EQ(fake::g_messageBoxes[0].text, "Could Not Enum Display Settings");
    EXPECT_EQ(fake::g_messageBoxes[0].caption, "Error");
    EXPECT_EQ(fake::g_messageBoxes[0].type, MB_OK);
    EXPECT_THAT(fake::Names(), Not(Contains("ChangeDisplaySettingsA")));
    EXPECT_FALSE(fake::g_quitPosted);
    // Still the border-less popup, and the cursor still hidden.
    EXPECT_NE(window, nullptr);
    EXPECT_EQ(fake::g_cursorCounter, -1);
    EXPECT_THAT(fake::CallsNamed("CreateWindowExA")[0].args,
                testing::StartsWith(Args(0, "\"vrex\"", "\"vrex demo\"", FULL_SCREEN_STYLE)));
}

TEST_F(StartUp, ARefusedModeIsReportedAndTheDemoQuitsAfterACompleteStartUp) {
    fake::g_answers.messageBox = IDYES;
    fake::g_answers.changeDisplayResult = DISP_CHANGE_BADMODE;
    int status = WinMain(INSTANCE, nullptr, nullptr, SW_SHOWNORMAL);

    EXPECT_EQ(status, 0);
    ASSERT_EQ(fake::g_messageBoxes.size(), 2u);
    EXPECT_EQ(fake::g_messageBoxes[1].owner, nullptr);
    EXPECT_EQ(fake::g_messageBoxes[1].text, "Display Mode Not Compatible");
    EXPECT_EQ(fake::g_messageBoxes[1].caption, "Error");
    EXPECT_EQ(fake::g_messageBoxes[1].type, MB_OK);
    EXPECT_EQ(fake::CallsNamed("PostQuitMessage")[0].args, "0");
    EXPECT_TRUE(stand_in::InOrder(NamesAfter("PostQuitMessage"),
                                  {"CreateWindowExA", "ShowWindow", "InitDemo", "PeekMessageA", "ReleaseModel",
                                   "ChangeDisplaySettingsA", "ShowCursor", "UnregisterClassA"}));
    EXPECT_THAT(fake::Names(), Not(Contains("DrawFrame")));
    EXPECT_TRUE(fake::g_answers.messages.empty());
}

TEST_F(StartUp, AWindowThatCannotBeCreatedEndsWithStatusOneAndNothingShown) {
    for (int answer : {IDYES, IDNO}) {
        SCOPED_TRACE(answer);
        stand_in::ResetAll();
        fake::g_answers.messageBox = answer;
        fake::g_answers.createWindowFails = true;

        EXPECT_EQ(WinMain(INSTANCE, nullptr, nullptr, SW_SHOWNORMAL), 1);
        EXPECT_EQ(fake::Names().back(), "CreateWindowExA");  // nothing shown, nothing undone
        EXPECT_EQ(fake::g_messageBoxes.size(), 1u);          // only the question
    }
}

TEST_F(StartUp, AWindowedRunGoesFromTheQuestionToEscapeAndEndsWithStatusZero) {
    fake::g_answers.messageBox = IDNO;
    fake::g_answers.messages.push_back({fake::FakeWindow(), WM_KEYDOWN, VK_ESCAPE, 0});
    int status = WinMain(INSTANCE, nullptr, nullptr, SW_SHOWNORMAL);

    EXPECT_EQ(status, 0);
    EXPECT_TRUE(stand_in::InOrder(
        fake::Names(),
        {"MessageBoxA", "RegisterClassA", "CreateWindowExA", "ShowWindow", "UpdateWindow", "SetFocus", "InitDemo",
         "GetClientRect", "GetDC", "wglCreateContext", "PeekMessageA", "DispatchMessageA", "PostQuitMessage",
         "PeekMessageA", "ReleaseModel", "wglDeleteContext", "ReleaseDC", "UnregisterClassA"}));
    EXPECT_EQ(g_hwnd, fake::FakeWindow());
    EXPECT_THAT(fake::Names(), Not(Contains("ChangeDisplaySettingsA")));
}

}  // namespace
