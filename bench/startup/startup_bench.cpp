// How long the demo takes from process start to its first frame on screen, with the default
// data. Run it in the data directory, as the demo runs:
//     cd build/data && ../bin/bench_startup
//
// Each iteration starts this program again as a child ("--child FD"), which goes the demo's
// own way: CreateDemoWindow as WinMain calls it after the full-screen question (answered No:
// a framed window), the real InitDemo (graphics, sine table, model, lighting, quadric,
// height map, thirteen images, the music through G-Audio, the console read), then
// RunMessageLoop until its first DrawFrame presents frame 0. The parent's manual time runs
// from starting the child to the child's report, after that swap and a glFinish: it holds
// the exec, the dynamic linking and SDL's start as well. The counters split the child's
// part (milliseconds from main, averaged over the iterations):
//     window    CreateDemoWindow
//     graphics  InitGraphics (context, fixed state, projection)
//     model     LoadModel("dinos.3ds") with its BMP textures
//     heights   LoadHeightMap("vulc.raw")
//     images    the thirteen TGA images (from the height map's end to the music's start)
//     music     StartMusic, the G-Audio library opening "musika.mp3" and starting to play
//     frame     from the end of InitDemo to frame 0 presented: the loop's first pass
//     in_main   main to frame 0 presented
// SDL runs offscreen and, unless the caller chose drivers, with the dummy audio output.
#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/shell.h"
#include "resources/textures.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// The child's moments, in the order start-up reaches them.
enum Moment {
    MAIN,
    WINDOW,
    GRAPHICS_IN,
    GRAPHICS_OUT,
    MODEL_IN,
    MODEL_OUT,
    HEIGHTS_IN,
    HEIGHTS_OUT,
    MUSIC_IN,
    MUSIC_OUT,
    INIT_DONE,
    FRAME_SHOWN,
    MOMENT_COUNT
};

struct Report {
    double milliseconds[MOMENT_COUNT];  // since MAIN
};

Clock::time_point g_moments[MOMENT_COUNT];
int g_reportFd = -1;

void Mark(Moment moment) { g_moments[moment] = Clock::now(); }

double Between(const Report& r, Moment from, Moment to) { return r.milliseconds[to] - r.milliseconds[from]; }

// The child: the demo's start-up as WinMain runs it, after the question.
int RunChild(int reportFd) {
    Mark(MAIN);
    g_reportFd = reportFd;
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    g_fullScreen = false;
    HWND window =
        CreateDemoWindow(WINDOW_TITLE, CLIENT_WIDTH, CLIENT_HEIGHT, 0, g_fullScreen, GetModuleHandleA(nullptr));
    Mark(WINDOW);
    if (!window) return 1;
    InitDemo(window);
    Mark(INIT_DONE);
    return RunMessageLoop();  // ends in the swap's wrapper
}

// Starts this program as a child and waits for its report; the child's time from start to
// report in *elapsed. False when it ended without one (no data, music failed).
bool TimeOneStart(const char* self, double* elapsed, Report* report) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return false;
    std::string fd = std::to_string(pipeFds[1]);
    char* argv[] = {const_cast<char*>(self), const_cast<char*>("--child"), fd.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", 0, 0);   // the console read finds no key
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", 1, 0);  // the version line
    pid_t child;
    Clock::time_point start = Clock::now();
    int spawned = posix_spawn(&child, self, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
        close(pipeFds[0]);
        return false;
    }
    ssize_t got = read(pipeFds[0], report, sizeof *report);
    *elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    close(pipeFds[0]);
    int status;
    waitpid(child, &status, 0);
    return got == ssize_t(sizeof *report);
}

void BM_ProcessStartToFirstFrame(benchmark::State& state) {
    const char* self = "/proc/self/exe";
    double sums[MOMENT_COUNT] = {};
    for (auto _ : state) {
        double elapsed = 0;
        Report report;
        if (!TimeOneStart(self, &elapsed, &report)) {
            state.SkipWithError("the demo ended before its first frame (run in the data directory)");
            return;
        }
        state.SetIterationTime(elapsed);
        for (int m = 0; m < MOMENT_COUNT; ++m) sums[m] += report.milliseconds[m];
    }
    Report mean;
    for (int m = 0; m < MOMENT_COUNT; ++m) mean.milliseconds[m] = sums[m] / double(state.iterations());
    auto counter = [&](Moment from, Moment to) { return benchmark::Counter(Between(mean, from, to)); };
    state.counters["window"] = counter(MAIN, WINDOW);
    state.counters["graphics"] = counter(GRAPHICS_IN, GRAPHICS_OUT);
    state.counters["model"] = counter(MODEL_IN, MODEL_OUT);
    state.counters["heights"] = counter(HEIGHTS_IN, HEIGHTS_OUT);
    state.counters["images"] = counter(HEIGHTS_OUT, MUSIC_IN);
    state.counters["music"] = counter(MUSIC_IN, MUSIC_OUT);
    state.counters["frame"] = counter(INIT_DONE, FRAME_SHOWN);
    state.counters["in_main"] = counter(MAIN, FRAME_SHOWN);
}
BENCHMARK(BM_ProcessStartToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

// The wrapped start-up steps: each marks its way in and out.
extern "C" {
void __real__Z12InitGraphicsii(int width, int height);
void __wrap__Z12InitGraphicsii(int width, int height) {
    Mark(GRAPHICS_IN);
    __real__Z12InitGraphicsii(width, height);
    Mark(GRAPHICS_OUT);
}
void __real__Z9LoadModelPKc(const char* fileName);
void __wrap__Z9LoadModelPKc(const char* fileName) {
    Mark(MODEL_IN);
    __real__Z9LoadModelPKc(fileName);
    Mark(MODEL_OUT);
}
void __real__Z13LoadHeightMapv();
void __wrap__Z13LoadHeightMapv() {
    Mark(HEIGHTS_IN);
    __real__Z13LoadHeightMapv();
    Mark(HEIGHTS_OUT);
}
void __real__Z10StartMusicv();
void __wrap__Z10StartMusicv() {
    Mark(MUSIC_IN);
    __real__Z10StartMusicv();
    Mark(MUSIC_OUT);
}

// Frame 0's presentation: finish it, report, and end the child there.
BOOL __real__Z11SwapBuffersP21PlatformDeviceContext(HDC deviceContext);
BOOL __wrap__Z11SwapBuffersP21PlatformDeviceContext(HDC deviceContext) {
    BOOL swapped = __real__Z11SwapBuffersP21PlatformDeviceContext(deviceContext);
    glFinish();
    Mark(FRAME_SHOWN);
    Report report;
    for (int m = 0; m < MOMENT_COUNT; ++m)
        report.milliseconds[m] = std::chrono::duration<double, std::milli>(g_moments[m] - g_moments[MAIN]).count();
    if (write(g_reportFd, &report, sizeof report) != ssize_t(sizeof report)) _exit(1);
    _exit(0);  // the music thread and SDL are left to the process's end, as the demo leaves them
    return swapped;
}
}

int main(int argc, char** argv) {
    if (argc == 3 && !std::strcmp(argv[1], "--child")) return RunChild(std::atoi(argv[2]));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
