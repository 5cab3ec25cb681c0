// gaudio.h - G-Audio: plays one MP3 file in the background (libgaudio1x.so).
//
// A program checks the version, takes the library object, initialises the output, takes the
// stream record, fills four set-up fields and starts it:
//     if (((GA_GetDLLVersion() >> 8) & 0xF) < 1) ...             // major version, bits 8-11
//     GAUDIO1* audio = GA_GetInterface(GA_INTERFACE_GAUDIO1);     // null for any other id
//     audio->Init(GA_INIT_OUTPUT | GA_INIT_SILENT_FALLBACK);      // exactly 1 on success
//     MP3STREAM1* stream = audio->GetStreamInterface(GA_INTERFACE_MP3STREAM1);
//     stream->outputChannels = 2; stream->loop = 1;
//     stream->fileName = "music.mp3"; stream->startMilliseconds = 0;
//     if (stream->Initialize()) { stream->SetPrimaryDSBuffer(1); stream->Play(); }
// Play() returns at once; the music then plays on SDL_mixer's own audio thread, so the
// caller's thread stays free. With `loop` set the file starts again from its beginning when
// it ends, for as long as the process runs.
//
// No audio device (a headless machine, a muted VM): Init with GA_INIT_SILENT_FALLBACK still
// succeeds and plays to SDL's silent "dummy" output, with one line on standard error, because
// a demo should not die for want of speakers.
//
// State: one output and one music stream per process (SDL_mixer has one music channel).
// Single-threaded use: call everything from one thread.
#pragma once

#include <cstddef>
#include <cstdint>

// Version word: bits 8-11 major, 4-7 minor, 0-3 patch, 12-15 unused. This is 1.1.0.
constexpr uint16_t GA_VERSION = 0x0110;

constexpr uint32_t GA_INTERFACE_GAUDIO1 = 0x10100;
constexpr uint32_t GA_INTERFACE_MP3STREAM1 = 0x10001;

// Init flags. GA_INIT_OUTPUT opens the audio output (without it Init refuses: there would be
// nothing to play to); GA_INIT_SILENT_FALLBACK allows the silent output when no device opens.
constexpr uint32_t GA_INIT_OUTPUT = 0x1;
constexpr uint32_t GA_INIT_SILENT_FALLBACK = 0x2;

// The output format Init opens. Initialize reopens it with the stream's channel count when
// that differs.
constexpr int GA_OUTPUT_RATE = 44100;
constexpr int GA_OUTPUT_CHANNELS = 2;

// The stream set-up record. A plain record without virtual functions, so the four set-up
// fields sit at fixed byte offsets (4, 8, 16, 28) that callers may rely on. The caller writes
// the four set-up fields before Initialize; the other fields belong to the library.
struct MP3STREAM1 {
    uint32_t interfaceId;     //  0, library: GA_INTERFACE_MP3STREAM1 once handed out
    uint32_t outputChannels;  //  4, set-up: 1 (mono) or 2 (stereo) output channels
    uint32_t loop;            //  8, set-up: non-zero plays the file again from the start when it ends
    uint32_t primaryBuffer;   // 12, library: the value given to SetPrimaryDSBuffer
    const char* fileName;     // 16, set-up: the MP3 file, opened as given; must outlive the stream
#if INTPTR_MAX == INT32_MAX
    // With 32-bit pointers (WebAssembly) four bytes keep the later fields where they are.
    uint32_t fileNamePadding;
#endif
    uint32_t playing;            // 24, library: 1 once Play has started the music
    uint32_t startMilliseconds;  // 28, set-up: where in the file Play starts, 0 = the beginning
    void* music;                 // 32, library: the decoder (SDL_mixer's Mix_Music), null until Initialize

    // Opens and prepares fileName. 1 on success; 0 when the file is missing or not an MP3,
    // when the channel count is not 1 or 2, or when Init has not opened the output.
    int32_t Initialize();
    // Records the value in primaryBuffer; the output was already opened by Init. Returns 1.
    int32_t SetPrimaryDSBuffer(uint32_t value);
    // Starts playback in the background and returns at once. 1 on success, 0 when Initialize
    // has not succeeded.
    int32_t Play();
    // Stops playback; the decoder stays ready for another Play.
    void Stop();
    // Where the music is as it is heard, in seconds into the file (what the output still holds
    // is taken off), or -1 while none sounds: before Play, after Stop, after the end without
    // `loop`. With `loop` the position starts again from 0 each time round. The query adds
    // nothing to what is played: a program may ask it every frame.
    double Position() const;
};
static_assert(offsetof(MP3STREAM1, outputChannels) == 4);
static_assert(offsetof(MP3STREAM1, loop) == 8);
static_assert(offsetof(MP3STREAM1, fileName) == 16);
static_assert(offsetof(MP3STREAM1, startMilliseconds) == 28);

// The library object. Its methods are plain member functions called on the object that
// GA_GetInterface returned.
struct GAUDIO1 {
    // Opens the audio output as `flags` asks. Exactly 1 on success, 0 on failure.
    int32_t Init(uint32_t flags);
    // The stream record for GA_INTERFACE_MP3STREAM1, null for any other id or before Init.
    // There is one stream: each call stops it, frees its decoder and hands it out reset.
    MP3STREAM1* GetStreamInterface(uint32_t id);
    // Stops the music and closes the output; Init may be called again afterwards.
    void Shutdown();
};

extern "C" {
// The version word, GA_VERSION.
uint16_t GA_GetDLLVersion();
// The library object for GA_INTERFACE_GAUDIO1, null for any other id.
GAUDIO1* GA_GetInterface(uint32_t id);
}
