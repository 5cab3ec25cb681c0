// The audio library as the Windows release ships it: gaudio1x.dll over the SDL2 and
// SDL2_mixer DLLs built for Windows. Its refusals, and the samples it sends to SDL's "disk"
// output against the host's own decoding of the same MP3 (both files are made on the build
// machine, since sox and lame do not run here). The test runs with SDL_AUDIODRIVER=disk.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "gaudio/gaudio.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* TONE_MP3 = "tone.mp3";              // one second: a sweep left, 600 Hz right
constexpr const char* TONE_DECODED = "tone-decoded.raw";  // lame's decoding of it, 16-bit stereo
constexpr const char* DISK_OUTPUT = "gaudio-output.raw";  // SDL_DISKAUDIOFILE
constexpr int STEREO_SAMPLE_RATE = GA_OUTPUT_RATE * 2;

std::vector<int16_t> ReadSamples(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes(std::istreambuf_iterator<char>(in), {});
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

size_t FirstAudibleSample(const std::vector<int16_t>& samples) {
    for (size_t i = 0; i < samples.size(); ++i)
        if (std::abs(samples[i]) > 64) return i & ~size_t(1);
    return samples.size();
}

double Correlation(const std::vector<int16_t>& a, size_t aFrom, const std::vector<int16_t>& b,
                   size_t bFrom, size_t count) {
    double ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < count && aFrom + i < a.size() && bFrom + i < b.size(); ++i) {
        const double x = a[aFrom + i], y = b[bFrom + i];
        ab += x * y, aa += x * x, bb += y * y;
    }
    return ab / std::sqrt(aa * bb + 1e-9);
}

class GaudioDllTest : public testing::Test {
protected:
    void TearDown() override { GA_GetInterface(GA_INTERFACE_GAUDIO1)->Shutdown(); }

    MP3STREAM1* OpenStream(const char* fileName, uint32_t channels) {
        GAUDIO1* audio = GA_GetInterface(GA_INTERFACE_GAUDIO1);
        if (audio == nullptr || audio->Init(GA_INIT_OUTPUT | GA_INIT_SILENT_FALLBACK) != 1) return nullptr;
        MP3STREAM1* stream = audio->GetStreamInterface(GA_INTERFACE_MP3STREAM1);
        if (stream == nullptr) return nullptr;
        stream->outputChannels = channels;
        stream->loop = 0;
        stream->fileName = fileName;
        stream->startMilliseconds = 0;
        return stream;
    }
};

TEST_F(GaudioDllTest, HandsOutItsInterfacesOnlyForTheirIds) {
    EXPECT_GE((GA_GetDLLVersion() >> 8) & 0xF, 1);
    EXPECT_EQ(GA_GetInterface(0x10101), nullptr);
    GAUDIO1* audio = GA_GetInterface(GA_INTERFACE_GAUDIO1);
    ASSERT_NE(audio, nullptr);
    EXPECT_EQ(audio->GetStreamInterface(GA_INTERFACE_MP3STREAM1), nullptr) << "no stream before Init";
    ASSERT_EQ(audio->Init(GA_INIT_OUTPUT | GA_INIT_SILENT_FALLBACK), 1);
    EXPECT_EQ(audio->GetStreamInterface(0x10002), nullptr);
    EXPECT_NE(audio->GetStreamInterface(GA_INTERFACE_MP3STREAM1), nullptr);
}

TEST_F(GaudioDllTest, InitializeRefusesWhatItCannotPlay) {
    std::ofstream("not-an-mp3.mp3") << "only some words\n";
    struct Case {
        const char* name;
        const char* fileName;
        uint32_t channels;
    };
    const Case cases[] = {
        {"missing file", "musika-missing.mp3", 2},
        {"text", "not-an-mp3.mp3", 2},
        {"three channels", TONE_MP3, 3},
    };
    for (const Case& c : cases) {
        MP3STREAM1* stream = OpenStream(c.fileName, c.channels);
        ASSERT_NE(stream, nullptr) << c.name;
        EXPECT_EQ(stream->Initialize(), 0) << c.name;
        EXPECT_EQ(stream->Play(), 0) << c.name;
    }
    fs::remove("not-an-mp3.mp3");
}

// What SDL2_mixer's own MP3 decoder makes of the file, as played to the disk output, follows
// the host decoder's samples in both channels and in their order.
TEST_F(GaudioDllTest, DiskOutputFollowsTheDecodedFile) {
    const std::vector<int16_t> reference = ReadSamples(TONE_DECODED);
    ASSERT_GE(reference.size(), size_t(STEREO_SAMPLE_RATE));
    MP3STREAM1* stream = OpenStream(TONE_MP3, 2);
    ASSERT_NE(stream, nullptr);
    ASSERT_EQ(stream->Initialize(), 1);
    ASSERT_EQ(stream->Play(), 1);
    const uintmax_t wanted = 3 * GA_OUTPUT_RATE * 4;  // three seconds of 16-bit stereo
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    std::error_code error;
    while (std::chrono::steady_clock::now() < deadline && fs::file_size(DISK_OUTPUT, error) < wanted)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    GA_GetInterface(GA_INTERFACE_GAUDIO1)->Shutdown();  // closes and flushes the disk file

    const std::vector<int16_t> output = ReadSamples(DISK_OUTPUT);
    const size_t start = FirstAudibleSample(output);
    ASSERT_LT(start + reference.size(), output.size()) << "the output ran for too short a time";
    // Align a 0.1 s window a quarter second in, then compare half a second.
    const size_t probe = FirstAudibleSample(reference) + STEREO_SAMPLE_RATE / 4;
    double best = -1;
    size_t bestAt = 0;
    for (size_t at = start + STEREO_SAMPLE_RATE / 4 - 4000; at <= start + STEREO_SAMPLE_RATE / 4 + 4000; at += 2) {
        const double c = Correlation(reference, probe, output, at, STEREO_SAMPLE_RATE / 10);
        if (c > best) best = c, bestAt = at;
    }
    EXPECT_GT(Correlation(reference, probe, output, bestAt, STEREO_SAMPLE_RATE / 2), 0.99);
    EXPECT_LT(Correlation(reference, probe, output, bestAt + 1, STEREO_SAMPLE_RATE / 2), 0.9)
        << "left and right channels are in the file's order";
}

}  // namespace
