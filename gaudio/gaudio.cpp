// gaudio.cpp - G-Audio over SDL_mixer: one output, one MP3 music stream.
#include "gaudio/gaudio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>

namespace {

constexpr int OUTPUT_CHUNK_FRAMES = 2048;  // SDL_mixer's buffer: ~46 ms at 44.1 kHz
constexpr const char* SILENT_DRIVER = "dummy";

GAUDIO1 g_library;
MP3STREAM1 g_stream;
bool g_outputOpen = false;
bool g_silentFallback = false;  // the dummy driver was forced in place of the real output

bool OpenOutput(int channels) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    if (Mix_OpenAudio(GA_OUTPUT_RATE, AUDIO_S16SYS, channels, OUTPUT_CHUNK_FRAMES) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    return true;
}

void CloseOutput() {
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

// The dummy driver consumes samples at the real rate and plays them nowhere. The hint is set
// with override priority so it wins over an SDL_AUDIODRIVER variable that names a missing
// device.
bool OpenSilentOutput(int channels) {
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, SILENT_DRIVER, SDL_HINT_OVERRIDE);
    g_silentFallback = true;
    return OpenOutput(channels);
}

int OpenChannelCount() {
    int rate = 0, channels = 0;
    Uint16 format = 0;
    return Mix_QuerySpec(&rate, &format, &channels) ? channels : 0;
}

void FreeMusic(MP3STREAM1* stream) {
    if (stream->music == nullptr) return;
    Mix_HaltMusic();
    Mix_FreeMusic(static_cast<Mix_Music*>(stream->music));
    stream->music = nullptr;
    stream->playing = 0;
}

}  // namespace

extern "C" uint16_t GA_GetDLLVersion() { return GA_VERSION; }

extern "C" GAUDIO1* GA_GetInterface(uint32_t id) { return id == GA_INTERFACE_GAUDIO1 ? &g_library : nullptr; }

int32_t GAUDIO1::Init(uint32_t flags) {
    if ((flags & GA_INIT_OUTPUT) == 0) return 0;
    if (g_outputOpen) return 1;
    if (!OpenOutput(GA_OUTPUT_CHANNELS)) {
        if ((flags & GA_INIT_SILENT_FALLBACK) == 0) return 0;
        std::fprintf(stderr, "G-Audio: no audio output (%s); the music plays silently\n", SDL_GetError());
        if (!OpenSilentOutput(GA_OUTPUT_CHANNELS)) return 0;
    }
    // The MP3 decoder is loaded now so that a missing one shows here, not at the first file.
    if ((Mix_Init(MIX_INIT_MP3) & MIX_INIT_MP3) == 0) {
        CloseOutput();
        return 0;
    }
    g_outputOpen = true;
    return 1;
}

MP3STREAM1* GAUDIO1::GetStreamInterface(uint32_t id) {
    if (id != GA_INTERFACE_MP3STREAM1 || !g_outputOpen) return nullptr;
    FreeMusic(&g_stream);
    g_stream = MP3STREAM1{};
    g_stream.interfaceId = GA_INTERFACE_MP3STREAM1;
    return &g_stream;
}

void GAUDIO1::Shutdown() {
    if (!g_outputOpen) return;
    FreeMusic(&g_stream);
    Mix_Quit();
    CloseOutput();
    g_outputOpen = false;
    if (g_silentFallback) {
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
        g_silentFallback = false;
    }
}

int32_t MP3STREAM1::Initialize() {
    if (!g_outputOpen || fileName == nullptr) return 0;
    if (outputChannels != 1 && outputChannels != 2) return 0;
    FreeMusic(this);
    if (OpenChannelCount() != int(outputChannels)) {
        // Reopened on the driver that Init chose; the hint, if any, is still in force.
        CloseOutput();
        g_outputOpen = OpenOutput(int(outputChannels));
        if (!g_outputOpen) return 0;
    }
    SDL_RWops* file = SDL_RWFromFile(fileName, "rb");
    if (file == nullptr) return 0;
    // The type is forced so that a file of another format (WAV, Ogg) is refused, not played.
    music = Mix_LoadMUSType_RW(file, MUS_MP3, SDL_TRUE);
    return music != nullptr ? 1 : 0;
}

int32_t MP3STREAM1::SetPrimaryDSBuffer(uint32_t value) {
    primaryBuffer = value;
    return 1;
}

int32_t MP3STREAM1::Play() {
    if (music == nullptr) return 0;
    const int loops = loop != 0 ? -1 : 0;
    const double startSeconds = startMilliseconds / 1000.0;
    if (Mix_FadeInMusicPos(static_cast<Mix_Music*>(music), loops, 0, startSeconds) != 0) return 0;
    playing = 1;
    return 1;
}

void MP3STREAM1::Stop() {
    if (music == nullptr) return;
    Mix_HaltMusic();
    playing = 0;
}

double MP3STREAM1::Position() const {
    if (music == nullptr || !playing || !Mix_PlayingMusic()) return -1;
    const double decoded = Mix_GetMusicPosition(static_cast<Mix_Music*>(music));
    if (decoded < 0) return -1;  // a decoder that cannot tell
    // The decoder runs one output buffer ahead of the speakers.
    const double buffered = double(OUTPUT_CHUNK_FRAMES) / GA_OUTPUT_RATE;
    return decoded > buffered ? decoded - buffered : 0;
}
