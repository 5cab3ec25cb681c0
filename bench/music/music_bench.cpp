// How long the build spends making "musika.mp3": the generator's stages, on the whole piece.
// Budget: under 30 s in total on the build machine. Run: build/bin/bench_music
#include "tools/gen-music/music.h"

#include <benchmark/benchmark.h>

#include <ctime>

namespace {

// Processor time, not wall time: the build machine is shared, and the stage times should not
// depend on what else runs on it. The benchmark's own wall time shows the whole.
struct Clock {
    using time_point = std::clock_t;
    static time_point now() { return std::clock(); }
};

double SecondsSince(Clock::time_point start) { return static_cast<double>(Clock::now() - start) / CLOCKS_PER_SEC; }

// One run of everything vrex-gen-music does but the file writes, with each stage's
// processor time reported as a counter.
void BM_GenerateMusic(benchmark::State& state) {
    for (auto _ : state) {
        Clock::time_point t = Clock::now();
        music::Score score = music::ComposeScore();
        std::vector<uint8_t> midi = music::WriteMidiFile(score);
        state.counters["compose_s"] = SecondsSince(t);

        t = Clock::now();
        const music::Section& coda = score.sections.back();
        music::Audio audio = music::RenderScore(score, VREX_SOUNDFONT, 0.0, coda.endSeconds);
        state.counters["render_s"] = SecondsSince(t);

        t = Clock::now();
        music::MasterReport report = music::MasterAudio(audio, coda.startSeconds, coda.endSeconds);
        state.counters["master_s"] = SecondsSince(t);

        t = Clock::now();
        std::vector<uint8_t> mp3 = music::EncodeMp3(audio);
        state.counters["encode_s"] = SecondsSince(t);
        state.counters["lufs"] = report.lufs;
        benchmark::DoNotOptimize(midi.data());
        benchmark::DoNotOptimize(mp3.data());
    }
}
BENCHMARK(BM_GenerateMusic)->Unit(benchmark::kSecond)->Iterations(1)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
