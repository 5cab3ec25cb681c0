// How fast vrex-capture writes the whole show as a video, and with how much memory. Run it in
// the data directory, as the tool runs:
//     cd build/data && ../bin/bench_video [--runs 3] [--size 1440x1080]
//
// Each run is the tool in a process of its own, `vrex-capture --video FILE --bench`, over all
// 18,573 frames with the music. Per run it prints the tool's own line (frames drawn and
// encoded, each side's frames per second: drawing without its waits for the encoder,
// encoding without its waits for frames), then the wall time and the peak resident memory
// of the process (getrusage of the child); at the end the median wall time and the largest
// peak. The show lasts 309.55 s at 60 frames per second; the target is half that.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/command_line.h"

namespace {

struct RunFigures {
    double seconds;
    long peakKilobytes;
    int status;
};

RunFigures RunOnce(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& word : args) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return {seconds, usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status)};
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Times vrex-capture writing the whole show as a video. Run it in a data directory.", "bench_video"};
    int runs = 1;
    std::string size = "800x600";
    std::string out = (std::filesystem::temp_directory_path() / "vrex_bench_show.mp4").string();
    app.add_option("--runs", runs, "how many times to write the video")->check(CLI::Range(1, 20));
    app.add_option("--size", size, "the video's size, as vrex-capture --size takes it")->type_name("WxH");
    app.add_option("--out", out, "the video file to write (removed at the end)")
        ->type_name("FILE")
        ->check(NOT_AN_OPTION);
    if (int status = ParseCommandLine(app, argc, argv); status != GO_ON) return status;

    std::vector<RunFigures> figures;
    for (int run = 1; run <= runs; ++run) {
        std::fflush(stdout);
        RunFigures f = RunOnce({VREX_CAPTURE_TOOL, "--video", out, "--size", size, "--bench"});
        std::printf("run %d: %.1f s wall, peak %.0f MiB, status %d\n", run, f.seconds, f.peakKilobytes / 1024.0,
                    f.status);
        if (f.status != 0) return 1;
        figures.push_back(f);
    }
    std::filesystem::remove(out);
    std::vector<double> seconds;
    long peak = 0;
    for (const RunFigures& f : figures) {
        seconds.push_back(f.seconds);
        peak = std::max(peak, f.peakKilobytes);
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("median of %d: %.1f s wall for 309.55 s of show (%.2fx real time), peak %.0f MiB\n", runs,
                seconds[seconds.size() / 2], 309.55 / seconds[seconds.size() / 2], peak / 1024.0);
    return 0;
}
