// Starting the music through a stand-in G-Audio library: the version line and check, the
// calls in their order with their arguments, the four set-up fields, and the five failures,
// each of which prints its message, reads the console and ends the process with status 255.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "fake_audio.h"
#include "tga_files.h"

namespace {

const std::vector<std::string> ALL_LIBRARY_CALLS = {
    "GA_GetDLLVersion()", "GA_GetInterface(0x10100)", "Init(0x3)", "GetStreamInterface(0x10001)",
    "Initialize()",       "SetPrimaryDSBuffer(0x1)",  "Play()",
};

class MusicTest : public testing::Test {
protected:
    void SetUp() override { fake::Reset(); }
    void TearDown() override { g_audioLibrary = REAL_AUDIO_LIBRARY; }
};

TEST_F(MusicTest, VersionLineShowsMajorMinorPatchAndIgnoresTheTopNibble) {
    const std::pair<uint16_t, const char*> cases[] = {
        {0x0100, "1.0.0"}, {0xF123, "1.2.3"}, {0x0110, "1.1.0"}, {0x0FFF, "15.15.15"}};
    for (const auto& [version, text] : cases) {
        fake::Reset();
        InstallFakeAudio({.version = version});
        testing::internal::CaptureStdout();
        StartMusic();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string("G-Audio DLL loaded version: ") + text + "\n\n");
        EXPECT_EQ(g_audioVersion, version);
    }
}

TEST_F(MusicTest, CallsTheLibraryInOrderAndWritesOnlyTheFourSetUpFields) {
    InstallFakeAudio();
    testing::internal::CaptureStdout();
    StartMusic();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(CallTexts(), ALL_LIBRARY_CALLS) << "and no console read on success";
    EXPECT_EQ(g_audio, &g_fakeGaudio);
    EXPECT_EQ(g_musicStream, &g_fakeStream);

    const MP3STREAM1& seen = g_streamAtInitialize;
    EXPECT_EQ(seen.outputChannels, 2u);
    EXPECT_EQ(seen.loop, 1u);
    EXPECT_STREQ(seen.fileName, "musika.mp3");
    EXPECT_EQ(seen.startMilliseconds, 0u);
    // Every other byte of the record is as the library left it.
    MP3STREAM1 untouched;
    std::memset(&untouched, 0xAB, sizeof untouched);
    untouched.outputChannels = seen.outputChannels;
    untouched.loop = seen.loop;
    untouched.fileName = seen.fileName;
    untouched.startMilliseconds = seen.startMilliseconds;
    EXPECT_EQ(std::memcmp(&seen, &untouched, sizeof seen), 0);
}

// The child's standard output goes to a file; at exit it appends the recorded calls, so the
// parent sees the message, the calls made up to the failure and the console read after it.
void RunStartMusicRecordingTo(const std::string& path) {
    if (std::freopen(path.c_str(), "w", stdout) == nullptr) std::abort();
    std::atexit([] {
        std::printf("[calls:");
        for (const std::string& call : CallTexts()) std::printf(" %s", call.c_str());
        std::printf("]");
    });
    StartMusic();
}

struct FailureCase {
    const char* name;
    FakeAudio answers;
    const char* output;  // standard output, then the calls made
};

const char* const VERSION_LINE = "G-Audio DLL loaded version: 1.1.0\n\n";

const FailureCase FAILURE_CASES[] = {
    {"version 0.15.15", {.version = 0x00FF}, "Gni!? Invalid DLL version\n[calls: GA_GetDLLVersion() _getch()]"},
    {"no interface",
     {.hasInterface = false},
     "Unable to obtain the requested G-Audio interface\n"
     "[calls: GA_GetDLLVersion() GA_GetInterface(0x10100) _getch()]"},
    {"Init 0",
     {.initResult = 0},
     "GAUDIO_Init failure\n[calls: GA_GetDLLVersion() GA_GetInterface(0x10100) Init(0x3) _getch()]"},
    {"Init 2 is not exactly 1",
     {.initResult = 2},
     "GAUDIO_Init failure\n[calls: GA_GetDLLVersion() GA_GetInterface(0x10100) Init(0x3) _getch()]"},
    {"no stream",
     {.hasStream = false},
     "Unable to obtain the requested MP3 Stream interface\n"
     "[calls: GA_GetDLLVersion() GA_GetInterface(0x10100) Init(0x3) GetStreamInterface(0x10001) _getch()]"},
    {"Initialize 0",
     {.initializeResult = 0},
     "Init Error!\n[calls: GA_GetDLLVersion() GA_GetInterface(0x10100) Init(0x3) GetStreamInterface(0x10001) "
     "Initialize() _getch()]"},
};

TEST_F(MusicTest, EachFailurePrintsItsMessageReadsTheConsoleAndExitsWith255) {
    tga_files::ScratchDir dir;
    const std::string path = dir.File("stdout.txt");
    for (const FailureCase& c : FAILURE_CASES) {
        SCOPED_TRACE(c.name);
        fake::Reset();
        InstallFakeAudio(c.answers);
        EXPECT_EXIT(RunStartMusicRecordingTo(path), testing::ExitedWithCode(255), "");
        std::ifstream in(path);
        const std::string output{std::istreambuf_iterator<char>(in), {}};
        const bool printsVersion = c.answers.version >= 0x0100;
        EXPECT_EQ(output, (printsVersion ? std::string(VERSION_LINE) : "") + c.output);
    }
}

}  // namespace
