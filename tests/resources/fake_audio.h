// fake_audio.h - a stand-in for the G-Audio library behind g_audioLibrary. Each entry point
// appends a call to the platform fake's record (fake::g_calls), so the order of the library
// calls and of the console read shows in one list, and answers from g_fakeAudio.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/fake_platform.h"
#include "resources/textures.h"

struct FakeAudio {
    uint16_t version = 0x0110;
    bool hasInterface = true;
    int32_t initResult = 1;
    bool hasStream = true;
    int32_t initializeResult = 1;
};

inline FakeAudio g_fakeAudio;
inline GAUDIO1 g_fakeGaudio;
inline MP3STREAM1 g_fakeStream;
inline MP3STREAM1 g_streamAtInitialize;  // the record as Initialize found it

inline std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

// Installs the stand-in with `answers`; the stream record starts filled with 0xAB bytes so
// that any field the caller writes shows.
inline void InstallFakeAudio(const FakeAudio& answers = {}) {
    g_fakeAudio = answers;
    std::memset(&g_fakeStream, 0xAB, sizeof g_fakeStream);
    g_audioLibrary = {
        [] {
            fake::g_calls.push_back({"GA_GetDLLVersion", ""});
            return g_fakeAudio.version;
        },
        [](uint32_t id) {
            fake::g_calls.push_back({"GA_GetInterface", Hex(id)});
            return g_fakeAudio.hasInterface ? &g_fakeGaudio : nullptr;
        },
        [](GAUDIO1* audio, uint32_t flags) {
            fake::g_calls.push_back({"Init", Hex(flags) + (audio == &g_fakeGaudio ? "" : " on a stranger")});
            return g_fakeAudio.initResult;
        },
        [](GAUDIO1* audio, uint32_t id) {
            fake::g_calls.push_back({"GetStreamInterface", Hex(id) + (audio == &g_fakeGaudio ? "" : " on a stranger")});
            return g_fakeAudio.hasStream ? &g_fakeStream : nullptr;
        },
        [](MP3STREAM1* stream) {
            fake::g_calls.push_back({"Initialize", stream == &g_fakeStream ? "" : "on a stranger"});
            g_streamAtInitialize = *stream;
            return g_fakeAudio.initializeResult;
        },
        [](MP3STREAM1* stream, uint32_t value) {
            fake::g_calls.push_back(
                {"SetPrimaryDSBuffer", Hex(value) + (stream == &g_fakeStream ? "" : " on a stranger")});
            return int32_t(1);
        },
        [](MP3STREAM1* stream) {
            fake::g_calls.push_back({"Play", stream == &g_fakeStream ? "" : "on a stranger"});
            return int32_t(1);
        },
        [](const MP3STREAM1*) { return -1.0; },  // nothing sounds: no test here hears the music
    };
}

// The recorded calls as "Name(args)" texts.
inline std::vector<std::string> CallTexts() {
    std::vector<std::string> texts;
    for (const fake::Call& call : fake::g_calls) texts.push_back(call.name + "(" + call.args + ")");
    return texts;
}
