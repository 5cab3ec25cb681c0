// music.cpp - starting "musika.mp3" through the G-Audio library, or ending the process.
#include <cstdio>
#include <cstdlib>

#include "resources/textures.h"

uint16_t g_audioVersion;
GAUDIO1* g_audio;
MP3STREAM1* g_musicStream;
bool g_musicWanted = true;
uint32_t g_musicStartMilliseconds = 0;

const AudioLibrary REAL_AUDIO_LIBRARY = {
    [] { return GA_GetDLLVersion(); },
    [](uint32_t id) { return GA_GetInterface(id); },
    [](GAUDIO1* audio, uint32_t flags) { return audio->Init(flags); },
    [](GAUDIO1* audio, uint32_t id) { return audio->GetStreamInterface(id); },
    [](MP3STREAM1* stream) { return stream->Initialize(); },
    [](MP3STREAM1* stream, uint32_t value) { return stream->SetPrimaryDSBuffer(value); },
    [](MP3STREAM1* stream) { return stream->Play(); },
    [](const MP3STREAM1* stream) { return stream->Position(); },
};
AudioLibrary g_audioLibrary = REAL_AUDIO_LIBRARY;

namespace {

// A constant string: the stream keeps the pointer for the whole run.
constexpr const char* MUSIC_FILE_NAME = "musika.mp3";
// Open the output, silently if no device opens.
constexpr uint32_t AUDIO_INIT_FLAGS = GA_INIT_OUTPUT | GA_INIT_SILENT_FALLBACK;
constexpr int MUSIC_FAILURE_STATUS = -1;

// The music is part of the show: without it the demo ends here, before any frame, leaving
// the window, the context and the display mode to the system.
[[noreturn]] void FailMusicStart(const char* message) {
    std::printf("%s", message);
    _getch();
    std::exit(MUSIC_FAILURE_STATUS);
}

}  // namespace

void StartMusic() {
    g_audioVersion = g_audioLibrary.getDllVersion();
    const long major = (g_audioVersion >> 8) & 0xF;
    const long minor = (g_audioVersion >> 4) & 0xF;
    const long patch = g_audioVersion & 0xF;
    if (major < 1) FailMusicStart("Gni!? Invalid DLL version\n");
    std::printf("G-Audio DLL loaded version: %ld.%ld.%ld\n\n", major, minor, patch);

    g_audio = g_audioLibrary.getInterface(GA_INTERFACE_GAUDIO1);
    if (g_audio == nullptr) FailMusicStart("Unable to obtain the requested G-Audio interface\n");
    if (g_audioLibrary.init(g_audio, AUDIO_INIT_FLAGS) != 1) FailMusicStart("GAUDIO_Init failure\n");
    g_musicStream = g_audioLibrary.getStreamInterface(g_audio, GA_INTERFACE_MP3STREAM1);
    if (g_musicStream == nullptr) FailMusicStart("Unable to obtain the requested MP3 Stream interface\n");

    g_musicStream->outputChannels = 2;
    g_musicStream->loop = 1;
    g_musicStream->fileName = MUSIC_FILE_NAME;
    g_musicStream->startMilliseconds = g_musicStartMilliseconds;
    if (g_audioLibrary.initialize(g_musicStream) == 0) FailMusicStart("Init Error!\n");
    g_audioLibrary.setPrimaryDSBuffer(g_musicStream, 1);
    g_audioLibrary.play(g_musicStream);
}

void RestartMusic() {
    if (g_musicStream == nullptr) return;
    // Play stops what is playing and starts again from the position given.
    g_musicStream->startMilliseconds = 0;
    g_audioLibrary.play(g_musicStream);
}

double MusicPositionSeconds() {
    if (g_musicStream == nullptr || g_audioLibrary.position == nullptr) return -1;
    return g_audioLibrary.position(g_musicStream);
}
