// The audio library as the Windows release ships it: gaudio1x.dll over the SDL2 and
// SDL2_mixer DLLs built for Windows: its interfaces, its refusals, and an MP3 made on the
// build machine (sox and lame do not run here) opened and played to the silent output.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "gaudio/gaudio.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* TONE_MP3 = "tone.mp3";  // one second: a sweep left, 600 Hz right

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

TEST_F(GaudioDllTest, PlaysAnMp3ThroughSdlMixersOwnDecoder) {
    MP3STREAM1* stream = OpenStream(TONE_MP3, 2);
    ASSERT_NE(stream, nullptr);
    ASSERT_EQ(stream->Initialize(), 1);
    EXPECT_EQ(stream->Play(), 1);
    EXPECT_EQ(stream->playing, 1u);
}

}  // namespace
