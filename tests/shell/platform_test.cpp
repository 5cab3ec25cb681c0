// The SDL2 platform layer on SDL's offscreen video driver: the window, the message queue, the
// display mode, the pixel format and context, the console read.
#include <GL/gl.h>
#include <fcntl.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <vector>

#include "platform/sdl_internal.h"

namespace {

struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Received> received;
constexpr LRESULT PROCEDURE_RESULT = 7;

LRESULT RecordingProcedure(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    received.push_back({message, wParam, lParam});
    return PROCEDURE_RESULT;
}

// The layer has one window per process; the tests share it.
HWND TheTestWindow() {
    static HWND window = [] {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = RecordingProcedure;
        windowClass.lpszClassName = "vrex";
        RegisterClassA(&windowClass);
        return CreateWindowExA(0, "vrex", "vrex demo", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr, nullptr, nullptr,
                               nullptr);
    }();
    return window;
}

void DrainQueue() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {}
    received.clear();
}

class SdlPlatform : public testing::Test {
protected:
    void SetUp() override {
        window = TheTestWindow();
        ASSERT_NE(window, nullptr) << SDL_GetError();
        DrainQueue();
    }
    HWND window = nullptr;
};

TEST_F(SdlPlatform, AWindowNeedsARegisteredClassAndThereIsOnlyOne) {
    EXPECT_EQ(CreateWindowExA(0, "unknown", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(CreateWindowExA(0, "vrex", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
    RECT client;
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 600);
}

TEST_F(SdlPlatform, ShowingSendsTheFirstSizeAtOnceAndUpdatingPaints) {
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].message, WM_SIZE);
    EXPECT_EQ(LOWORD(received[0].lParam), 800);
    EXPECT_EQ(HIWORD(received[0].lParam), 600);
    EXPECT_EQ(received[1].message, WM_PAINT);
}

SDL_Event WindowEvent(HWND window, Uint8 kind, int data1 = 0, int data2 = 0) {
    SDL_Event event = {};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = SDL_GetWindowID(window->sdl);
    event.window.event = kind;
    event.window.data1 = data1;
    event.window.data2 = data2;
    return event;
}

SDL_Event KeyEvent(Uint32 type, SDL_Keycode key) {
    SDL_Event event = {};
    event.type = type;
    event.key.keysym.sym = key;
    return event;
}

SDL_Event ButtonEvent(Uint32 type, Uint8 button, int x, int y) {
    SDL_Event event = {};
    event.type = type;
    event.button.button = button;
    event.button.x = x;
    event.button.y = y;
    return event;
}

TEST_F(SdlPlatform, EventsBecomeTheWindowMessagesOfTheProceduresTable) {
    struct Case {
        const char* what;
        SDL_Event event;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    SDL_Event motion = {};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = 3;
    motion.motion.y = 4;
    motion.motion.state = SDL_BUTTON_RMASK;
    SDL_Event quit = {};
    quit.type = SDL_QUIT;
    const Case cases[] = {
        {"resize", WindowEvent(window, SDL_WINDOWEVENT_SIZE_CHANGED, 1024, 768), WM_SIZE, 0, MAKELPARAM(1024, 768)},
        {"expose", WindowEvent(window, SDL_WINDOWEVENT_EXPOSED), WM_PAINT, 0, 0},
        {"close box", WindowEvent(window, SDL_WINDOWEVENT_CLOSE), WM_CLOSE, 0, 0},
        {"interrupt signal", quit, WM_CLOSE, 0, 0},
        {"Escape", KeyEvent(SDL_KEYDOWN, SDLK_ESCAPE), WM_KEYDOWN, VK_ESCAPE, 1},
        {"a letter", KeyEvent(SDL_KEYDOWN, SDLK_q), WM_KEYDOWN, 'Q', 1},
        {"Return", KeyEvent(SDL_KEYDOWN, SDLK_RETURN), WM_KEYDOWN, 0x0D, 1},
        {"Escape released", KeyEvent(SDL_KEYUP, SDLK_ESCAPE), WM_KEYUP, VK_ESCAPE, 1},
        {"right click", ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 10, 20), WM_RBUTTONDOWN, 0,
         MAKELPARAM(10, 20)},
        {"left release", ButtonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 1, 2), WM_LBUTTONUP, 0, MAKELPARAM(1, 2)},
        {"mouse move", motion, WM_MOUSEMOVE, 0x0002, MAKELPARAM(3, 4)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SDL_Event event = c.event;
        ASSERT_EQ(SDL_PushEvent(&event), 1);

        MSG message;
        ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(message.hwnd, window);
        EXPECT_EQ(message.message, c.message);
        EXPECT_EQ(message.wParam, c.wParam);
        EXPECT_EQ(message.lParam, c.lParam);
        EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    }
}

// The window system reports the size a window was shown with once more when it maps it; the
// procedure must not set up the viewport and projection a second time for it.
TEST_F(SdlPlatform, OnlyASizeThatChangedReachesTheProcedure) {
    struct Step {
        int width, height;
        bool passedOn;
    };
    std::vector<Step> steps;
    if (!window->shownOnce) {
        ShowWindow(window, SW_SHOWNORMAL);  // sends the 800 x 600 it was made with at once
        steps.push_back({800, 600, false});
    }
    steps.insert(steps.end(),
                 {{1000, 750, true}, {1000, 750, false}, {1000, 700, true}, {800, 600, true}, {800, 600, false}});
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << step.width << " x " << step.height);
        SDL_Event event = WindowEvent(window, SDL_WINDOWEVENT_SIZE_CHANGED, step.width, step.height);
        ASSERT_EQ(SDL_PushEvent(&event), 1);
        MSG message;
        int sizes = 0;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            if (message.message == WM_SIZE) {
                ++sizes;
                EXPECT_EQ(message.lParam, MAKELPARAM(WORD(step.width), WORD(step.height)));
            }
        EXPECT_EQ(sizes, step.passedOn ? 1 : 0);
    }
}

TEST_F(SdlPlatform, EventsWithoutACounterpartAreDropped) {
    SDL_Event focus = WindowEvent(window, SDL_WINDOWEVENT_FOCUS_GAINED);
    SDL_Event middle = ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 0, 0);
    SDL_PushEvent(&focus);
    SDL_PushEvent(&middle);
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(SdlPlatform, APostedQuitComesAfterThePendingMessagesWithItsExitCode) {
    SDL_Event escape = KeyEvent(SDL_KEYDOWN, SDLK_ESCAPE);
    SDL_Event expose = WindowEvent(window, SDL_WINDOWEVENT_EXPOSED);
    SDL_PushEvent(&escape);
    SDL_PushEvent(&expose);
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));  // the queue now holds both
    EXPECT_EQ(message.message, WM_KEYDOWN);
    PostQuitMessage(4);

    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_PAINT);
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.wParam, 4u);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(SdlPlatform, DispatchingCallsTheWindowsProcedureAndReturnsItsResult) {
    MSG message = {window, WM_RBUTTONDOWN, 2, MAKELPARAM(5, 6)};
    EXPECT_EQ(DispatchMessageA(&message), PROCEDURE_RESULT);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].message, WM_RBUTTONDOWN);
    EXPECT_EQ(received[0].lParam, MAKELPARAM(5, 6));
    EXPECT_EQ(DefWindowProcA(window, WM_MOUSEMOVE, 0, 0), 0);
}

TEST_F(SdlPlatform, TheCurrentModeIsReadAndOnlyAnOfferedResolutionIsAccepted) {
    DEVMODEA current = {};
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &current));
    EXPECT_EQ(current.dmFields, DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY);
    EXPECT_GT(current.dmPelsWidth, 0u);
    EXPECT_GT(current.dmPelsHeight, 0u);

    DEVMODEA absent = current;
    absent.dmPelsWidth = current.dmPelsWidth + 1;
    EXPECT_EQ(ChangeDisplaySettingsA(&absent, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
    EXPECT_EQ(SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_FULLSCREEN, 0u);

    // The window exists already, so an offered mode takes it to full screen now.
    DEVMODEA offered = current;
    EXPECT_EQ(ChangeDisplaySettingsA(&offered, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    EXPECT_NE(SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_FULLSCREEN, 0u);
    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_FULLSCREEN, 0u);
}

TEST_F(SdlPlatform, TheCursorCounterDecidesVisibility) {
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

PIXELFORMATDESCRIPTOR ShellRequest() {
    PIXELFORMATDESCRIPTOR request = {};
    request.nSize = sizeof request;
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.cColorBits = 16;
    request.cDepthBits = 16;
    return request;
}

TEST_F(SdlPlatform, TheWindowsVisualMeetsTheShellsRequestAndNothingBeyondIt) {
    HDC dc = GetDC(window);
    ASSERT_NE(dc, nullptr);
    PIXELFORMATDESCRIPTOR request = ShellRequest();
    EXPECT_EQ(ChoosePixelFormat(dc, &request), 1);
    EXPECT_TRUE(SetPixelFormat(dc, 1, &request));
    EXPECT_FALSE(SetPixelFormat(dc, 2, &request));

    PIXELFORMATDESCRIPTOR stencil = ShellRequest();
    stencil.cStencilBits = 8;
    PIXELFORMATDESCRIPTOR noGl = ShellRequest();
    noGl.dwFlags = PFD_DRAW_TO_WINDOW;
    PIXELFORMATDESCRIPTOR deep = ShellRequest();
    deep.cDepthBits = 32;
    for (const PIXELFORMATDESCRIPTOR* unmet : {&stencil, &noGl, &deep}) EXPECT_EQ(ChoosePixelFormat(dc, unmet), 0);
    EXPECT_EQ(ChoosePixelFormat(nullptr, &request), 0);
    EXPECT_EQ(ReleaseDC(window, dc), 1);
}

TEST_F(SdlPlatform, AContextIsCurrentOnlyOnceMadeCurrentAndPresentsOnlyThen) {
    HDC dc = GetDC(window);
    SDL_GLContext before = SDL_GL_GetCurrentContext();
    HGLRC context = wglCreateContext(dc);
    ASSERT_NE(context, nullptr) << SDL_GetError();
    EXPECT_EQ(SDL_GL_GetCurrentContext(), before);

    EXPECT_TRUE(wglMakeCurrent(dc, context));
    EXPECT_EQ(SDL_GL_GetCurrentContext(), context->context);
    EXPECT_TRUE(SwapBuffers(dc));

    EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));
    EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr);
    EXPECT_FALSE(SwapBuffers(dc));
    EXPECT_TRUE(wglDeleteContext(context));
}

struct Observation {
    HDC deviceContext;
    uint8_t rgba[4];  // the back buffer's bottom-left pixel as the observer read it
};

void ReadCorner(HDC deviceContext, void* user) {
    Observation observation{deviceContext, {}};
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, observation.rgba);
    static_cast<std::vector<Observation>*>(user)->push_back(observation);
}

TEST_F(SdlPlatform, AFrameObserverReadsEachFrameFromTheBackBufferBeforeItIsPresented) {
    HDC dc = GetDC(window);
    HGLRC context = wglCreateContext(dc);
    ASSERT_NE(context, nullptr) << SDL_GetError();
    ASSERT_TRUE(wglMakeCurrent(dc, context));
    std::vector<Observation> seen;
    SetFrameObserver(ReadCorner, &seen);
    for (float red : {1.0f, 0.0f}) {  // two frames of different colours
        glClearColor(red, 0.0f, 1.0f - red, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        EXPECT_TRUE(SwapBuffers(dc));
    }
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].deviceContext, dc);
    EXPECT_EQ(seen[0].rgba[0], 255);
    EXPECT_EQ(seen[0].rgba[2], 0);
    EXPECT_EQ(seen[1].rgba[0], 0);
    EXPECT_EQ(seen[1].rgba[2], 255);

    EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));  // a refused present is not observed
    EXPECT_FALSE(SwapBuffers(dc));
    EXPECT_TRUE(wglMakeCurrent(dc, context));
    SetFrameObserver(nullptr, nullptr);
    EXPECT_TRUE(SwapBuffers(dc));
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));
    EXPECT_TRUE(wglDeleteContext(context));
}

// Runs `body` with standard input replaced by `fd`.
template <typename Body>
void WithStdin(int fd, Body body) {
    int saved = dup(STDIN_FILENO);
    dup2(fd, STDIN_FILENO);
    body();
    dup2(saved, STDIN_FILENO);
    close(saved);
}

// No X or Wayland display: SDL cannot create the box, and the question is answered without it.
TEST(SdlMessageBox, WithNoDisplayAndNoTerminalTheQuestionIsAnsweredNo) {
    std::vector<std::pair<const char*, std::string>> saved;
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        if (const char* value = getenv(name)) saved.emplace_back(name, value);
        unsetenv(name);
    }
    int null = open("/dev/null", O_RDONLY);
    WithStdin(null, [] {
        testing::internal::CaptureStderr();
        EXPECT_EQ(MessageBoxA(nullptr, "Go?", "Options", MB_YESNO | MB_ICONQUESTION), IDNO);
        EXPECT_EQ(MessageBoxA(nullptr, "Display Mode Not Compatible", "Error", MB_OK), 0);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_THAT(said, testing::HasSubstr("Options: Go?\n"));
        EXPECT_THAT(said, testing::HasSubstr("answered No"));
        EXPECT_THAT(said, testing::HasSubstr("Error: Display Mode Not Compatible\n"));
    });
    close(null);
    for (const auto& [name, value] : saved) setenv(name, value.c_str(), 1);
}

TEST(ConsoleKey, AWaitingKeyIsReadAndNoKeyGivesMinusOneAtOnce) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    WithStdin(pipeEnds[0], [&] {
        EXPECT_EQ(_getch(), -1);  // nothing typed and the writer still open: a wait would hang here
        ASSERT_EQ(write(pipeEnds[1], "xy", 2), 2);
        EXPECT_EQ(_getch(), 'x');
        EXPECT_EQ(_getch(), 'y');
        EXPECT_EQ(_getch(), -1);
        close(pipeEnds[1]);
        EXPECT_EQ(_getch(), -1);  // end of input
    });
    close(pipeEnds[0]);

    int null = open("/dev/null", O_RDONLY);
    WithStdin(null, [] { EXPECT_EQ(_getch(), -1); });
    close(null);
}

}  // namespace
