// The demo's own initialisation, with a silent stand-in for the audio library: the tool
// renders without sound and must not need "musika.mp3" or an audio device. Everything the
// frames depend on is made by InitDemo itself, so the tool cannot drift from the demo.
#include <cstdio>
#include <cstdlib>

#include "app/shell.h"
#include "resources/textures.h"
#include "tools/capture/capture.h"

namespace {

GAUDIO1 silentAudio;
MP3STREAM1 silentStream;

// Every check StartMusic makes passes, and nothing plays.
const AudioLibrary SILENT_AUDIO_LIBRARY = {
    [] { return uint16_t(GA_VERSION); },           [](uint32_t) { return &silentAudio; },
    [](GAUDIO1*, uint32_t) { return int32_t(1); }, [](GAUDIO1*, uint32_t) { return &silentStream; },
    [](MP3STREAM1*) { return int32_t(1); },        [](MP3STREAM1*, uint32_t) { return int32_t(0); },
    [](MP3STREAM1*) { return int32_t(0); },        [](const MP3STREAM1*) { return -1.0; },
};

}  // namespace

void PrepareShowWithoutMusic(HWND window) {
    g_audioLibrary = SILENT_AUDIO_LIBRARY;
    InitDemo(window);
}

// The demo's framed window, at any client size: InitDemo sizes the viewport and the
// projection to it, so a larger window draws the same picture at more pixels.
HWND OpenShowWindow(int width, int height) {
    // Offscreen and silent unless the caller asks for something else.
    UseHeadlessDrivers();
    g_fullScreen = false;
    HWND window = CreateDemoWindow(WINDOW_TITLE, width, height, 0, false, GetModuleHandleA(nullptr));
    if (!window) {
        std::fprintf(stderr, "vrex-capture: no window\n");
        return nullptr;
    }
    PrepareShowWithoutMusic(window);
    return window;
}

// The demo's loop hands every waiting message to the window procedure before it draws.
bool PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) return false;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return true;
}
