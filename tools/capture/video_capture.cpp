// --video: the show drawn on this thread, its frames encoded on a writer thread (video.h).
#include <GL/gl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "app/shell.h"
#include "scenes/timeline.h"
#include "tools/capture/capture.h"
#include "tools/capture/frame_state.h"
#include "tools/capture/video.h"

namespace {

using Clock = std::chrono::steady_clock;

// Enough to let the encoder catch up after a slow frame; each holds one BGRA frame.
constexpr int QUEUED_FRAMES = 8;
constexpr auto PROGRESS_INTERVAL = std::chrono::milliseconds(250);
constexpr int INTERRUPTED_STATUS = 130;  // 128 + SIGINT, as shells report it

volatile std::sig_atomic_t g_interrupted = 0;

void Interrupt(int) { g_interrupted = 1; }

struct Recorder {
    FrameQueue* queue;
    const CaptureOptions* options;
    int firstFrame, lastFrame, width, height;
    bool stopped = false;               // the writer failed: drawing stops
    bool stillFailed = false;           // a still could not be written
    Clock::duration waitedForWriter{};  // the drawing thread's time blocked on a full queue
};

// Called by SwapBuffers with the frame still in the back buffer; DrawFrame has counted it.
void QueueFrame(HDC, void* user) {
    Recorder& recorder = *static_cast<Recorder*>(user);
    int frame = g_frameCounter - 1;
    if (recorder.options->stills.count(frame) &&
        !SaveFramePicture(recorder.options->directory, frame, recorder.width, recorder.height))
        recorder.stillFailed = true;
    if (frame < recorder.firstFrame || frame > recorder.lastFrame || recorder.stopped) return;
    std::vector<uint8_t> pixels;
    Clock::time_point start = Clock::now();
    bool acquired = recorder.queue->Acquire(&pixels);
    recorder.waitedForWriter += Clock::now() - start;
    if (!acquired) {
        recorder.stopped = true;
        return;
    }
    // BGRA is the drawing surface's own layout, so the read is a plain copy.
    glReadPixels(0, 0, recorder.width, recorder.height, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    recorder.queue->Push(std::move(pixels));
}

struct WriterResult {
    std::string error;
    Clock::duration encoding{};  // the writer's time not spent waiting for a frame
    int frames = 0;
};

void WriteFrames(FrameQueue* queue, VideoFile* file, WriterResult* result) {
    std::vector<uint8_t> pixels;
    Clock::time_point start = Clock::now();
    Clock::duration waited{};
    while (true) {
        Clock::time_point waiting = Clock::now();
        bool popped = queue->Pop(&pixels);
        waited += Clock::now() - waiting;
        result->encoding = Clock::now() - start - waited;
        if (!popped) return;
        bool added = file->AddFrame(pixels.data());
        queue->Release(std::move(pixels));
        if (!added) {
            result->error = file->Error();
            queue->Close(true);
            return;
        }
        ++result->frames;
    }
}

class ProgressDisplay {
public:
    explicit ProgressDisplay(int total) : total(total), shown(isatty(STDERR_FILENO)) {}
    void Update(int done) {
        Clock::time_point now = Clock::now();
        if (!shown || (now - lastShown < PROGRESS_INTERVAL && done < total)) return;
        lastShown = now;
        double elapsed = std::chrono::duration<double>(now - start).count();
        std::fprintf(stderr, "\r%s\033[K", ProgressLine(done, total, elapsed).c_str());
    }
    void End() {
        if (shown) std::fputs("\n", stderr);
    }

private:
    int total;
    bool shown;
    Clock::time_point start = Clock::now();
    Clock::time_point lastShown{};
};

double Seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

}  // namespace

int RecordVideo(const CaptureOptions& options) {
    Clock::time_point started = Clock::now();
    VideoSettings settings;
    settings.path = options.video;
    settings.width = options.videoWidth ? options.videoWidth : options.width;
    settings.height = options.videoHeight ? options.videoHeight : options.height;
    settings.sourceWidth = options.width;
    settings.sourceHeight = options.height;
    settings.firstFrame = options.frames.empty() ? 0 : *options.frames.begin();
    int lastFrame = options.frames.empty() ? SHOW_END_FRAME : *options.frames.rbegin();
    settings.frameCount = lastFrame - settings.firstFrame + 1;
    if (options.music) settings.musicFile = "musika.mp3";

    if (!options.stills.empty()) {
        std::error_code made;
        std::filesystem::create_directories(options.directory, made);
        if (made) {
            std::fprintf(stderr, "vrex-capture: cannot create %s: %s\n", options.directory.c_str(),
                         made.message().c_str());
            return 1;
        }
    }
    VideoFile file;
    std::string error;
    if (!file.Open(settings, &error)) {
        std::fprintf(stderr, "vrex-capture: %s\n", error.c_str());
        return 1;
    }
    std::signal(SIGINT, Interrupt);
    std::signal(SIGTERM, Interrupt);
    HWND window = OpenShowWindow(options.width, options.height);
    if (!window) return 1;

    FrameQueue queue(QUEUED_FRAMES, std::size_t(options.width) * std::size_t(options.height) * 4);
    Recorder recorder{&queue, &options, settings.firstFrame, lastFrame, options.width, options.height};
    WriterResult written;
    std::thread writer(WriteFrames, &queue, &file, &written);
    SetFrameObserver(QueueFrame, &recorder);

    ProgressDisplay progress(lastFrame + 1);
    Clock::time_point drawingStarted = Clock::now();
    bool quit = false;
    int frame = 0;
    for (; frame <= lastFrame && !recorder.stopped && !g_interrupted; ++frame) {
        if (!PumpMessages()) {
            quit = true;
            break;
        }
        if (options.stills.count(frame) && !WriteFrameState(FrameStateFileName(options.directory, frame))) {
            std::fprintf(stderr, "vrex-capture: cannot write %s\n",
                         FrameStateFileName(options.directory, frame).c_str());
            recorder.stillFailed = true;
        }
        DrawFrame();
        progress.Update(frame + 1);
    }
    Clock::duration drawing = Clock::now() - drawingStarted - recorder.waitedForWriter;
    progress.End();
    queue.Close(g_interrupted || quit);
    writer.join();
    SetFrameObserver(nullptr, nullptr);
    Shutdown();

    if (g_interrupted) {
        std::fprintf(stderr, "vrex-capture: interrupted at frame %d; %s not written\n", frame, options.video.c_str());
        return INTERRUPTED_STATUS;
    }
    if (quit) {
        std::fprintf(stderr, "vrex-capture: the demo quit before frame %d; %s not written\n", frame,
                     options.video.c_str());
        return 1;
    }
    if (!written.error.empty()) {
        std::fprintf(stderr, "vrex-capture: %s\n", written.error.c_str());
        return 1;
    }
    if (recorder.stillFailed) {
        std::fprintf(stderr, "vrex-capture: %s not written: a still was lost\n", options.video.c_str());
        return 1;
    }
    Clock::time_point finishing = Clock::now();
    bool finished = file.Finish(&error);
    written.encoding += Clock::now() - finishing;  // the encoder's last frames and the index
    if (!finished) {
        std::fprintf(stderr, "vrex-capture: %s\n", error.c_str());
        return 1;
    }
    if (options.bench)
        std::printf("%d frames drawn in %.1f s (%.1f fps), %d encoded in %.1f s (%.1f fps), %.1f s in all\n", frame,
                    Seconds(drawing), frame / Seconds(drawing), written.frames, Seconds(written.encoding),
                    written.frames / Seconds(written.encoding), Seconds(Clock::now() - started));
    return 0;
}
