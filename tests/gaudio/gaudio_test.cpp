// The G-Audio library on real MP3 files: the interface ids and the version, the silent
// output without a device, Initialize's refusals, and what reaches SDL's "disk" output.
#include "gaudio/gaudio.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int TONE_SECONDS = 1;
// The disk driver sleeps this long per buffer (default: the buffer's own length), so the
// test hears seconds of output in a fraction of a second.
constexpr const char* DISK_DELAY_MS = "4";
// Silence before Play, the tone, and what follows its end: enough to see the loop or not.
constexpr int OUTPUT_SECONDS_NEEDED = 5;

// Waits until the disk driver has written `bytes` (or 60 s passed, and the checks fail).
void WaitForOutput(const fs::path& path, uintmax_t bytes) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    auto written = [&] {
        std::error_code error;
        const uintmax_t size = fs::file_size(path, error);
        return error ? 0 : size;
    };
    while (std::chrono::steady_clock::now() < deadline && written() < bytes)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

// A 16-bit PCM WAV of interleaved samples. The test writes the bytes itself so that every
// run feeds the decoders the same file: a generator that dithers would not.
void WriteWav(const fs::path& path, int channels, const std::vector<int16_t>& samples) {
    std::ofstream file(path, std::ios::binary);
    auto le = [&](uint32_t value, int size) {
        for (int i = 0; i < size; ++i) file.put(char(value >> (8 * i)));
    };
    const uint32_t data = uint32_t(samples.size() * 2), rate = GA_OUTPUT_RATE;
    file << "RIFF";
    le(36 + data, 4);
    file << "WAVEfmt ";
    le(16, 4);
    le(1, 2);  // PCM
    le(uint32_t(channels), 2);
    le(rate, 4);
    le(rate * uint32_t(channels) * 2, 4);
    le(uint32_t(channels) * 2, 2);
    le(16, 2);
    file << "data";
    le(data, 4);
    for (int16_t sample : samples) le(uint16_t(sample), 2);
}

// Interleaved stereo at the output's rate (so the output and a decoding of the file compare
// sample for sample), `seconds` long, each side a sine whose frequency goes linearly from
// `from` to `to` Hz over the whole length, at half of full scale (6 dB down).
std::vector<int16_t> StereoSweeps(double seconds, double leftFrom, double leftTo, double rightFrom, double rightTo) {
    const size_t frames = size_t(seconds * GA_OUTPUT_RATE);
    std::vector<int16_t> samples;
    auto sweep = [&](double t, double from, double to) {
        const double phase = 2 * M_PI * (from * t + (to - from) * t * t / (2 * seconds));
        return int16_t(std::lround(0.5 * 32767 * std::sin(phase)));
    };
    for (size_t i = 0; i < frames; ++i) {
        const double t = double(i) / GA_OUTPUT_RATE;
        samples.push_back(sweep(t, leftFrom, leftTo));
        samples.push_back(sweep(t, rightFrom, rightTo));
    }
    return samples;
}

fs::path MakeTempDir() {
    std::string pattern = (fs::temp_directory_path() / "gaudio_test.XXXXXX").string();
    return fs::path(mkdtemp(pattern.data()));
}

void RunCommand(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }

std::vector<char> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

// The 16-bit samples of a WAV file's "data" chunk.
std::vector<int16_t> ReadWavSamples(const fs::path& path) {
    std::vector<char> bytes = ReadFile(path);
    for (size_t at = 12; at + 8 <= bytes.size();) {
        uint32_t size;
        std::memcpy(&size, &bytes[at + 4], 4);
        if (std::string(&bytes[at], 4) == "data") {
            size = std::min<size_t>(size, bytes.size() - at - 8);
            std::vector<int16_t> samples(size / 2);
            std::memcpy(samples.data(), &bytes[at + 8], samples.size() * 2);
            return samples;
        }
        at += 8 + size + (size & 1);
    }
    return {};
}

std::vector<int16_t> ReadRawSamples(const fs::path& path) {
    std::vector<char> bytes = ReadFile(path);
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

size_t FirstAudibleSample(const std::vector<int16_t>& samples, size_t from = 0) {
    for (size_t i = from; i < samples.size(); ++i)
        if (std::abs(samples[i]) > 64) return i;
    return samples.size();
}

double Rms(const std::vector<int16_t>& samples, size_t from, size_t count) {
    double sum = 0;
    for (size_t i = from; i < from + count && i < samples.size(); ++i) sum += double(samples[i]) * samples[i];
    return std::sqrt(sum / double(count));
}

// Normalised correlation of two stretches of interleaved stereo samples.
double Correlation(const std::vector<int16_t>& a, size_t aFrom, const std::vector<int16_t>& b, size_t bFrom,
                   size_t count) {
    double ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < count; ++i) {
        const double x = a[aFrom + i], y = b[bFrom + i];
        ab += x * y;
        aa += x * x;
        bb += y * y;
    }
    return ab / std::sqrt(aa * bb + 1e-9);
}

class GaudioTest : public testing::Test {
protected:
    void SetUp() override {
        dir_ = MakeTempDir();
        if (const char* driver = getenv("SDL_AUDIODRIVER")) savedDriver_ = driver;
    }
    void TearDown() override {
        if (GAUDIO1* audio = GA_GetInterface(GA_INTERFACE_GAUDIO1)) audio->Shutdown();
        if (savedDriver_.empty())
            unsetenv("SDL_AUDIODRIVER");
        else
            setenv("SDL_AUDIODRIVER", savedDriver_.c_str(), 1);
        fs::remove_all(dir_);
    }

    // A one-second stereo tone: a rising sweep on the left, a steady 600 Hz on the right, so
    // both the alignment and the channel order of what is played can be checked.
    fs::path MakeToneMp3() {
        const fs::path wav = dir_ / "tone.wav", mp3 = dir_ / "tone.mp3";
        WriteWav(wav, 2, StereoSweeps(TONE_SECONDS, 300, 1500, 600, 600));
        RunCommand("lame --quiet -b 192 '" + wav.string() + "' '" + mp3.string() + "'");
        return mp3;
    }

    // The samples lame's own decoder makes of the file: the reference the output must follow.
    std::vector<int16_t> DecodeWithLame(const fs::path& mp3) {
        const fs::path decoded = dir_ / "decoded.wav";
        RunCommand("lame --quiet --decode '" + mp3.string() + "' '" + decoded.string() + "'");
        return ReadWavSamples(decoded);
    }

    void UseDiskOutput() {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", (dir_ / "output.raw").c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", DISK_DELAY_MS, 1);
    }

    MP3STREAM1* OpenStream(const std::string& fileName, uint32_t loop) {
        fileName_ = fileName;
        GAUDIO1* audio = GA_GetInterface(GA_INTERFACE_GAUDIO1);
        if (audio == nullptr || audio->Init(GA_INIT_OUTPUT | GA_INIT_SILENT_FALLBACK) != 1) return nullptr;
        MP3STREAM1* stream = audio->GetStreamInterface(GA_INTERFACE_MP3STREAM1);
        if (stream == nullptr) return nullptr;
        stream->outputChannels = 2;
        stream->loop = loop;
        stream->fileName = fileName_.c_str();
        stream->startMilliseconds = 0;
        return stream;
    }

    fs::path dir_;
    std::string fileName_;
    std::string savedDriver_;
};

TEST_F(GaudioTest, VersionHasAMajorOfAtLeastOne) { EXPECT_GE((GA_GetDLLVersion() >> 8) & 0xF, 1); }

TEST_F(GaudioTest, InterfacesAreHandedOutOnlyForTheirIds) {
    EXPECT_EQ(GA_GetInterface(0x10101), nullptr);
    EXPECT_EQ(GA_GetInterface(0), nullptr);
    GAUDIO1* audio = GA_GetInterface(0x10100);
    ASSERT_NE(audio, nullptr);
    EXPECT_EQ(audio->GetStreamInterface(0x10001), nullptr) << "no stream before Init";
    ASSERT_EQ(audio->Init(3), 1);
    EXPECT_EQ(audio->GetStreamInterface(0x10002), nullptr);
    EXPECT_EQ(audio->GetStreamInterface(0x10100), nullptr);
    EXPECT_NE(audio->GetStreamInterface(0x10001), nullptr);
}

TEST_F(GaudioTest, InitWithoutAnyDeviceFallsBackToSilenceWithOneLine) {
    setenv("SDL_AUDIODRIVER", "no-such-audio-device", 1);
    GAUDIO1* audio = GA_GetInterface(GA_INTERFACE_GAUDIO1);
    EXPECT_EQ(audio->Init(GA_INIT_OUTPUT), 0) << "without the fallback flag Init refuses";
    testing::internal::CaptureStderr();
    const int32_t result = audio->Init(GA_INIT_OUTPUT | GA_INIT_SILENT_FALLBACK);
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(result, 1);
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_NE(errors.find("silent"), std::string::npos) << errors;

    MP3STREAM1* stream = OpenStream(MakeToneMp3().string(), 1);
    ASSERT_NE(stream, nullptr);
    ASSERT_EQ(stream->Initialize(), 1);
    EXPECT_EQ(stream->Play(), 1);
}

TEST_F(GaudioTest, InitializeRefusesWhatItCannotPlay) {
    std::ofstream(dir_ / "text.mp3") << "this is not an MP3 file, only some words\n";
    WriteWav(dir_ / "tone.wav", 2, StereoSweeps(0.2, 440, 440, 440, 440));
    struct Case {
        const char* name;
        std::string fileName;
        uint32_t channels;
    };
    const std::string mp3 = MakeToneMp3().string();
    const Case cases[] = {
        {"missing file", (dir_ / "musika.mp3").string(), 2},
        {"text", (dir_ / "text.mp3").string(), 2},
        {"WAV", (dir_ / "tone.wav").string(), 2},
        {"no channels", mp3, 0},
        {"three channels", mp3, 3},
    };
    for (const Case& c : cases) {
        MP3STREAM1* stream = OpenStream(c.fileName, 1);
        ASSERT_NE(stream, nullptr) << c.name;
        stream->outputChannels = c.channels;
        EXPECT_EQ(stream->Initialize(), 0) << c.name;
        EXPECT_EQ(stream->Play(), 0) << c.name;
    }
    MP3STREAM1* stream = OpenStream(mp3, 1);
    EXPECT_EQ(stream->Initialize(), 1) << "the same stream accepts a good file afterwards";
}

TEST_F(GaudioTest, PlayReturnsAtOnce) {
    MP3STREAM1* stream = OpenStream(MakeToneMp3().string(), 1);
    ASSERT_NE(stream, nullptr);
    ASSERT_EQ(stream->Initialize(), 1);
    EXPECT_EQ(stream->SetPrimaryDSBuffer(1), 1);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(stream->Play(), 1);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::milliseconds(500));
    EXPECT_EQ(stream->playing, 1u);
}

// Plays the tone to the disk driver and checks the written samples against lame's decoding:
// the music starts, follows the file sample for sample (up to decoder rounding), keeps the
// channels in order, and after the end either starts again (loop) or falls silent.
TEST_F(GaudioTest, DiskOutputFollowsTheDecodedFileAndLoopsOnlyWhenAsked) {
    const fs::path mp3 = MakeToneMp3();
    const std::vector<int16_t> reference = DecodeWithLame(mp3);
    ASSERT_GT(reference.size(), 44100u);
    for (uint32_t loop : {0u, 1u}) {
        SCOPED_TRACE(loop ? "looping" : "once");
        UseDiskOutput();
        MP3STREAM1* stream = OpenStream(mp3.string(), loop);
        ASSERT_NE(stream, nullptr);
        ASSERT_EQ(stream->Initialize(), 1);
        stream->SetPrimaryDSBuffer(1);
        ASSERT_EQ(stream->Play(), 1);
        WaitForOutput(dir_ / "output.raw", OUTPUT_SECONDS_NEEDED * GA_OUTPUT_RATE * 4);
        GA_GetInterface(GA_INTERFACE_GAUDIO1)->Shutdown();  // closes and flushes the disk file

        const std::vector<int16_t> output = ReadRawSamples(dir_ / "output.raw");
        const size_t start = FirstAudibleSample(output) & ~size_t(1);
        ASSERT_LT(start + 3 * reference.size(), output.size()) << "the output ran for too short a time";
        EXPECT_GT(Rms(output, start, 44100), 1000.0) << "not silent";

        // Align a 0.1 s window from a quarter second into the file, then compare half a second.
        const size_t refFrom = FirstAudibleSample(reference) & ~size_t(1);
        const size_t window = 8820, probe = refFrom + 22050;
        double best = -1;
        size_t bestAt = 0;
        for (size_t at = start + 22050 - 4000; at <= start + 22050 + 4000; at += 2) {
            const double c = Correlation(reference, probe, output, at, window);
            if (c > best) best = c, bestAt = at;
        }
        EXPECT_GT(best, 0.99);
        EXPECT_GT(Correlation(reference, probe, output, bestAt, 44100), 0.99);
        EXPECT_LT(Correlation(reference, probe, output, bestAt + 1, 44100), 0.9)
            << "left and right channels are in the file's order";

        const size_t afterEnd = start + reference.size() + 8820;
        if (loop)
            EXPECT_GT(Rms(output, afterEnd, 44100), 1000.0) << "the music started again";
        else
            EXPECT_LT(Rms(output, afterEnd, 44100), 10.0) << "the music stopped at the end";
    }
}

}  // namespace
