// Chosen frames as PNG files, and the timings of every scene row (--bench).
#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "app/shell.h"
#include "scenes/timeline.h"
#include "tools/capture/capture.h"

namespace {

using Clock = std::chrono::steady_clock;

struct PictureCapture {
    const CaptureOptions* options;
    bool failed = false;
    Clock::duration readBackTime{};  // spent saving frames, left out of the timings
};

// Called by SwapBuffers with the frame still in the back buffer; DrawFrame has counted it.
void SaveFrame(HDC, void* user) {
    PictureCapture& capture = *static_cast<PictureCapture*>(user);
    int frame = g_frameCounter - 1;
    if (!capture.options->frames.count(frame)) return;
    Clock::time_point start = Clock::now();
    const int width = capture.options->width, height = capture.options->height;
    std::vector<uint8_t> pixels(std::size_t(width) * std::size_t(height) * 3);
    // Every 4:3 width with an even height is a multiple of 8, so RGB rows meet GL's default
    // pack alignment of 4; no pixel-store call is needed.
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    std::string path = FrameFileName(capture.options->directory, frame);
    if (!WritePng(path, width, height, pixels.data())) {
        std::fprintf(stderr, "vrex-capture: cannot write %s\n", path.c_str());
        capture.failed = true;
    }
    capture.readBackTime += Clock::now() - start;
}

void PrintRowTimes(const std::vector<double>& milliseconds, const std::vector<int>& frameCounts) {
    std::printf("%-4s %-20s %8s %12s\n", "row", "scene", "frames", "ms/frame");
    for (int row = 0; row <= SCENE_ROW_COUNT; ++row) {
        if (!frameCounts[std::size_t(row)]) continue;
        std::printf("%-4d %-20s %8d %12.3f\n", row, row ? SCENE_TABLE[row - 1].name : "cleared frame only",
                    frameCounts[std::size_t(row)], milliseconds[std::size_t(row)] / frameCounts[std::size_t(row)]);
    }
}

}  // namespace

int CapturePictures(const CaptureOptions& options) {
    if (!options.directory.empty()) {
        std::error_code error;
        std::filesystem::create_directories(options.directory, error);
        if (error) {
            std::fprintf(stderr, "vrex-capture: cannot create %s: %s\n", options.directory.c_str(),
                         error.message().c_str());
            return 1;
        }
    }
    HWND window = OpenShowWindow(options.width, options.height);
    if (!window) return 1;
    PictureCapture capture{&options};
    SetFrameObserver(SaveFrame, &capture);

    int lastFrame = options.frames.empty() ? 0 : *options.frames.rbegin();
    if (options.bench && lastFrame < SHOW_END_FRAME) lastFrame = SHOW_END_FRAME;

    std::vector<double> milliseconds(SCENE_ROW_COUNT + 1, 0.0);
    std::vector<int> frameCounts(SCENE_ROW_COUNT + 1, 0);
    int status = 0;
    for (int frame = 0; frame <= lastFrame; ++frame) {
        if (options.skipAhead && !options.frames.count(frame)) {
            frame = *options.frames.lower_bound(frame);
            FastForwardShow(frame);
        }
        if (!PumpMessages()) {
            std::fprintf(stderr, "vrex-capture: the demo quit before frame %d\n", frame);
            status = 1;
            break;
        }
        int row = SceneRowAt(g_demoClock);
        Clock::duration readBackBefore = capture.readBackTime;
        Clock::time_point start = Clock::now();
        DrawFrame();
        if (options.bench) glFinish();  // count the frame's rendering, not just its submission
        Clock::duration spent = Clock::now() - start - (capture.readBackTime - readBackBefore);
        milliseconds[std::size_t(row)] += std::chrono::duration<double, std::milli>(spent).count();
        frameCounts[std::size_t(row)] += 1;
    }
    SetFrameObserver(nullptr, nullptr);
    Shutdown();

    if (options.bench) PrintRowTimes(milliseconds, frameCounts);
    return capture.failed ? 1 : status;
}
