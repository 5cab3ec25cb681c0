// vrex-capture: the show drawn offscreen, chosen frames saved as PNG, optional timings.
#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "app/shell.h"
#include "resources/textures.h"
#include "scenes/timeline.h"
#include "tools/capture/capture.h"

namespace {

constexpr int SHOW_END_FRAME = 18572;  // the first frame after the credits: only the clear colour
constexpr int WIDTH = 800;
constexpr int HEIGHT = 600;

using Clock = std::chrono::steady_clock;

struct Capture {
    std::set<int> frames;
    std::string directory;
    bool failed = false;
    Clock::duration readBackTime{};  // spent saving frames, left out of the timings
} capture;

void SaveFrame(int frame) {
    Clock::time_point start = Clock::now();
    std::vector<uint8_t> pixels(std::size_t(WIDTH) * HEIGHT * 3);
    // Rows of 2400 bytes meet GL's default pack alignment of 4; no pixel-store call needed.
    glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    std::string path = FrameFileName(capture.directory, frame);
    if (!WritePng(path, WIDTH, HEIGHT, pixels.data())) {
        std::fprintf(stderr, "vrex-capture: cannot write %s\n", path.c_str());
        capture.failed = true;
    }
    capture.readBackTime += Clock::now() - start;
}

// The demo's loop hands every waiting message to the window procedure before it draws.
bool PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) return false;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return true;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: vrex-capture --frames LIST --out DIR [--bench]\n"
                 "  LIST   frame numbers and ranges from frame 0, e.g. 1,2858,4286-4290\n"
                 "  DIR    where frame_NNNNN.png files are written\n"
                 "  --bench  draw the whole show and print milliseconds per frame of each scene row\n"
                 "Run it in a data directory, as the demo runs.\n");
    return 2;
}

}  // namespace

// DrawFrame presents with SwapBuffers(g_hdc) as its last step; the link redirects that call
// here (the Itanium name of SwapBuffers(HDC)), so the back buffer is read as the demo left it.
extern "C" BOOL __real__Z11SwapBuffersP21PlatformDeviceContext(HDC deviceContext);
extern "C" BOOL __wrap__Z11SwapBuffersP21PlatformDeviceContext(HDC deviceContext) {
    int frame = g_frameCounter - 1;  // DrawFrame has counted the frame before presenting it
    if (capture.frames.count(frame)) SaveFrame(frame);
    return __real__Z11SwapBuffersP21PlatformDeviceContext(deviceContext);
}

int main(int argc, char** argv) {
    bool bench = false;
    for (int i = 1; i < argc; ++i) {
        std::string error;
        if (!std::strcmp(argv[i], "--frames") && i + 1 < argc) {
            if (!ParseFrameList(argv[++i], &capture.frames, &error)) {
                std::fprintf(stderr, "vrex-capture: %s\n", error.c_str());
                return 2;
            }
        } else if (!std::strcmp(argv[i], "--out") && i + 1 < argc) {
            capture.directory = argv[++i];
        } else if (!std::strcmp(argv[i], "--bench")) {
            bench = true;
        } else {
            return Usage();
        }
    }
    if (capture.frames.empty() && !bench) return Usage();
    if (!capture.frames.empty() && capture.directory.empty()) return Usage();
    if (!capture.directory.empty()) {
        std::error_code error;
        std::filesystem::create_directories(capture.directory, error);
        if (error) {
            std::fprintf(stderr, "vrex-capture: cannot create %s: %s\n", capture.directory.c_str(),
                         error.message().c_str());
            return 1;
        }
    }

    UseHeadlessDrivers();

    g_fullScreen = false;
    HWND window = CreateDemoWindow("vrex demo", WIDTH, HEIGHT, 0, false, GetModuleHandleA(nullptr));
    if (!window) {
        std::fprintf(stderr, "vrex-capture: no window\n");
        return 1;
    }
    PrepareShowWithoutMusic(window);

    int lastFrame = capture.frames.empty() ? 0 : *capture.frames.rbegin();
    if (bench && lastFrame < SHOW_END_FRAME) lastFrame = SHOW_END_FRAME;

    std::vector<double> milliseconds(SCENE_ROW_COUNT + 1, 0.0);
    std::vector<int> frameCounts(SCENE_ROW_COUNT + 1, 0);
    int status = 0;
    for (int frame = 0; frame <= lastFrame; ++frame) {
        if (!PumpMessages()) {
            std::fprintf(stderr, "vrex-capture: the demo quit before frame %d\n", frame);
            status = 1;
            break;
        }
        int row = SceneRowAt(g_demoClock);
        Clock::duration readBackBefore = capture.readBackTime;
        Clock::time_point start = Clock::now();
        DrawFrame();
        if (bench) glFinish();  // count the frame's rendering, not just its submission
        Clock::duration spent = Clock::now() - start - (capture.readBackTime - readBackBefore);
        milliseconds[std::size_t(row)] += std::chrono::duration<double, std::milli>(spent).count();
        frameCounts[std::size_t(row)] += 1;
    }
    Shutdown();

    if (bench) {
        std::printf("%-4s %-20s %8s %12s\n", "row", "scene", "frames", "ms/frame");
        for (int row = 0; row <= SCENE_ROW_COUNT; ++row) {
            if (!frameCounts[std::size_t(row)]) continue;
            std::printf("%-4d %-20s %8d %12.3f\n", row, row ? SCENE_TABLE[row - 1].name : "cleared frame only",
                        frameCounts[std::size_t(row)], milliseconds[std::size_t(row)] / frameCounts[std::size_t(row)]);
        }
    }
    return capture.failed ? 1 : status;
}
