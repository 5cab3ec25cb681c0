// The demo's own initialisation, with a silent stand-in for the audio library: the tool
// renders without sound and must not need "musika.mp3" or an audio device. Everything the
// frames depend on is made by InitDemo itself, so the tool cannot drift from the demo.
#include "resources/textures.h"
#include "tools/capture/capture.h"

namespace {

GAUDIO1 silentAudio;
MP3STREAM1 silentStream;

// Every check StartMusic makes passes, and nothing plays.
const AudioLibrary SILENT_AUDIO_LIBRARY = {
    [] { return uint16_t(GA_VERSION); },
    [](uint32_t) { return &silentAudio; },
    [](GAUDIO1*, uint32_t) { return int32_t(1); },
    [](GAUDIO1*, uint32_t) { return &silentStream; },
    [](MP3STREAM1*) { return int32_t(1); },
    [](MP3STREAM1*, uint32_t) { return int32_t(0); },
    [](MP3STREAM1*) { return int32_t(0); },
};

}  // namespace

void PrepareShowWithoutMusic(HWND window) {
    g_audioLibrary = SILENT_AUDIO_LIBRARY;
    InitDemo(window);
}
