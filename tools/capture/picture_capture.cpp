// Chosen frames as PNG files, and the timings of every scene row (--bench).
#include <GL/gl.h>

#include <chrono>
#include <ctime>
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
    if (!capture.options->frames.count(frame) || capture.options->directory.empty()) return;
    Clock::time_point start = Clock::now();
    if (!SaveFramePicture(capture.options->directory, frame, capture.options->width, capture.options->height))
        capture.failed = true;
    capture.readBackTime += Clock::now() - start;
}

struct RowTotals {
    double milliseconds = 0;
    double cpuMilliseconds = 0;  // every thread of the process: the driver's rasterisers too
    int frames = 0;
    DrawCounts drawn;
};

void PrintRowTimes(const std::vector<RowTotals>& rows) {
    std::printf("%-4s %-20s %8s %12s %12s %12s %12s %12s\n", "row", "scene", "frames", "ms/frame", "cpu ms/frame",
                "draws/frame", "prims/frame", "bytes/frame");
    for (int row = 0; row <= SCENE_ROW_COUNT; ++row) {
        const RowTotals& r = rows[std::size_t(row)];
        if (!r.frames) continue;
        std::printf("%-4d %-20s %8d %12.3f %12.3f", row, row ? SCENE_TABLE[row - 1].name : "cleared frame only",
                    r.frames, r.milliseconds / r.frames, r.cpuMilliseconds / r.frames);
        // The system's GL counts nothing for us: its columns stay empty.
        if (r.drawn.drawCalls >= 0)
            std::printf(" %12.1f %12.1f %12.0f\n", double(r.drawn.drawCalls) / r.frames,
                        double(r.drawn.primitives) / r.frames, double(r.drawn.bytesSent) / r.frames);
        else
            std::printf(" %12s %12s %12s\n", "-", "-", "-");
    }
}

}  // namespace

bool SaveFramePicture(const std::string& directory, int frame, int width, int height) {
    std::vector<uint8_t> pixels(std::size_t(width) * std::size_t(height) * 3);
    // Every 4:3 width with an even height is a multiple of 8, so RGB rows meet GL's default
    // pack alignment of 4; no pixel-store call is needed.
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    std::string path = FrameFileName(directory, frame);
    if (WritePng(path, width, height, pixels.data())) return true;
    std::fprintf(stderr, "vrex-capture: cannot write %s\n", path.c_str());
    return false;
}

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
    if (options.bench && !options.skipAhead && lastFrame < SHOW_END_FRAME) lastFrame = SHOW_END_FRAME;

    std::vector<RowTotals> rows(SCENE_ROW_COUNT + 1);
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
        const DrawCounts before = CountDrawing();
        const std::clock_t cpuStart = std::clock();
        Clock::time_point start = Clock::now();
        DrawFrame();
        if (options.bench) glFinish();  // count the frame's rendering, not just its submission
        Clock::duration spent = Clock::now() - start - (capture.readBackTime - readBackBefore);
        const DrawCounts after = CountDrawing();
        RowTotals& totals = rows[std::size_t(row)];
        totals.milliseconds += std::chrono::duration<double, std::milli>(spent).count();
        totals.cpuMilliseconds += double(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC;
        totals.frames += 1;
        totals.drawn.drawCalls = after.drawCalls < 0 ? -1 : totals.drawn.drawCalls + after.drawCalls - before.drawCalls;
        totals.drawn.primitives += after.primitives - before.primitives;
        totals.drawn.bytesSent += after.bytesSent - before.bytesSent;
    }
    SetFrameObserver(nullptr, nullptr);
    Shutdown();

    if (options.bench) PrintRowTimes(rows);
    return capture.failed ? 1 : status;
}
