// G-Audio in a web browser: the same interface over Web Audio.
//
// The MP3 file is read from the program's file system (the packaged data set) by the page's
// script, so its bytes never enter the program's heap, and decoded by the browser in the
// background; Play returns at once whatever it finds. The music sounds once two things are
// true: the file is decoded and the browser lets the page make sound (some wait for a click or
// a tap). It then comes in where the show is: the frame last drawn since Play, at the 60
// frames per second the music was made for (Play's own position before any frame), so a late
// start keeps the music with the show. The page may show a notice while the browser holds the
// sound back (Module.vrexPage.soundHeld).
//
// The page's life: hidden (another tab, a locked phone), the output is suspended and the
// music holds its place; shown again, both go on. Position() then reports the held place, so
// a show that keeps time stands still with it. A file the browser cannot decode is known only
// after Initialize returned: the run then ends as the demo ends when Initialize fails, with
// "Init Error!" and status -1. Module.vrexAudio.shutdown() (the page calls it whenever the
// run ends) stops the music for good.
//
// In the published site the packed file is a note that names the site's own copies of the
// music instead, which the browser fetches by their addresses (gaudio_web_fetch.h).
#include <emscripten.h>

#include <cstdio>
#include <string>

#include "gaudio/gaudio.h"
#include "gaudio/gaudio_web_fetch.h"

// clang-format off
EM_JS(int, WebAudioOpen, (), {
    const AudioContextClass = window.AudioContext || window.webkitAudioContext;
    if (!AudioContextClass) return 0;
    const audio = Module.vrexAudio = Module.vrexAudio || {};
    if (!audio.context) audio.context = new AudioContextClass();
    audio.buffer = null;
    audio.request = null;
    audio.source = null;
    audio.generation = (audio.generation || 0) + 1;
    const page = Module.vrexPage;
    const running = () => audio.context.state === 'running';
    const held = () => audio.request && !running() && !audio.hiddenSuspend;
    audio.stopSource = () => {
        if (audio.source) { audio.source.onended = null; audio.source.stop(); audio.source.disconnect(); }
        audio.source = null;
    };
    audio.start = () => {
        if (page && page.soundHeld) page.soundHeld(held());
        if (audio.ended || !audio.request || !audio.buffer || audio.source || !running()) return;
        const request = audio.request;
        const duration = audio.buffer.duration;
        const drawnSince = page && page.frames > request.framesAtPlay && page.showFrame >= 0;
        let offset = drawnSince ? page.showFrame / 60 : request.offsetMs / 1000;
        if (request.loop) offset %= duration;
        else if (offset >= duration) return;
        const source = audio.context.createBufferSource();
        source.buffer = audio.buffer;
        source.loop = request.loop;
        source.connect(audio.context.destination);
        source.start(0, offset);
        audio.source = source;
        audio.startedAt = audio.context.currentTime - offset;
    };
    // Where the music is as it is heard, in seconds into the file; -1 while nothing sounds. The
    // output's latency is taken off where the browser reports it. A suspended output stops the
    // context's clock, so the position holds.
    audio.position = () => {
        if (!audio.source || audio.ended) return -1;
        const latency = audio.context.outputLatency || audio.context.baseLatency || 0;
        const heard = Math.max(0, audio.context.currentTime - audio.startedAt - latency);
        const duration = audio.buffer.duration;
        if (audio.request.loop) return heard % duration;
        return heard < duration ? heard : -1;
    };
    audio.stop = () => {
        audio.stopSource();
        audio.request = null;
        if (page && page.soundHeld) page.soundHeld(false);
    };
    audio.shutdown = () => {
        audio.ended = true;
        audio.stop();
        if (audio.context.state !== 'closed') audio.context.close().catch(() => {});
    };
    // The music's bytes decoded, whichever way they came (the packed file, the site's copy).
    // Safari's older webkitAudioContext answers only through callbacks, and returns no promise.
    audio.decode = bytes => new Promise((resolve, reject) => {
        const decoding = audio.context.decodeAudioData(bytes, resolve, reject);
        if (decoding && decoding.then) decoding.then(resolve, reject);
    });
    audio.useMusic = buffer => {
        audio.buffer = buffer;
        audio.start();
    };
    if (!audio.listening) {
        audio.listening = true;
        audio.context.onstatechange = () => audio.start();
        // A click, a tap or a key is what such browsers wait for; once the run has ended,
        // nothing may bring the sound back.
        const resume = () => {
            if (!audio.ended && !audio.hiddenSuspend && !running()) audio.context.resume();
        };
        for (const type of ['pointerdown', 'touchend', 'keydown'])
            window.addEventListener(type, resume, true);
        document.addEventListener('visibilitychange', () => {
            if (audio.ended) return;
            if (document.hidden) {
                audio.hiddenSuspend = true;
                audio.context.suspend();
            } else if (audio.hiddenSuspend) {
                audio.hiddenSuspend = false;
                audio.context.resume();
            }
        });
    }
    if (!running() && !document.hidden) audio.context.resume();
    return 1;
});
EM_JS(void, WebAudioDecode, (const char* fileName), {
    const audio = Module.vrexAudio;
    if (!audio || !audio.context) return;
    const generation = audio.generation;
    const bytes = FS.readFile(UTF8ToString(fileName));  // a copy of its own, outside the heap
    audio.decode(bytes.buffer).then(buffer => {
        if (audio.generation === generation) audio.useMusic(buffer);
    }, error => {
        if (audio.generation !== generation || audio.ended) return;
        console.error('musika: the browser cannot decode it: ' + error);
        Module._GaudioMusicUndecodable();
    });
});
EM_JS(void, WebAudioPlay, (int offsetMilliseconds, int loop), {
    const audio = Module.vrexAudio;
    if (!audio || !audio.context) return;
    audio.stopSource();
    const page = Module.vrexPage;
    audio.request = {offsetMs: offsetMilliseconds, framesAtPlay: page ? page.frames : 0, loop: loop != 0};
    audio.start();
});
EM_JS(void, WebAudioStop, (), {
    if (Module.vrexAudio && Module.vrexAudio.stop) Module.vrexAudio.stop();
});
EM_JS(void, WebAudioClose, (), {
    const audio = Module.vrexAudio;
    if (!audio) return;
    audio.generation++;
    audio.buffer = null;
});
EM_JS(double, WebAudioPosition, (), {
    return Module.vrexAudio && Module.vrexAudio.position ? Module.vrexAudio.position() : -1;
});
// clang-format on

namespace {

constexpr int MUSIC_FAILURE_STATUS = -1;

GAUDIO1 library;
MP3STREAM1 stream;
bool outputOpen = false;

// An MP3 file begins with an ID3 tag or with a frame's sync word; only those bytes are read here.
bool LooksLikeMp3(const char* name) {
    FILE* file = std::fopen(name, "rb");
    if (!file) return false;
    unsigned char head[4] = {};
    const bool read = std::fread(head, 1, sizeof head, file) == sizeof head;
    std::fclose(file);
    if (!read) return false;
    if (head[0] == 'I' && head[1] == 'D' && head[2] == '3') return true;
    return head[0] == 0xFF && (head[1] & 0xE0) == 0xE0;
}

void ResetStream() {
    WebAudioStop();
    WebAudioClose();
    stream = {};
    stream.interfaceId = GA_INTERFACE_MP3STREAM1;
}

}  // namespace

// The browser found the file undecodable after Initialize had accepted it: the same end as a
// refused file, where the demo prints "Init Error!" and ends with status -1.
extern "C" EMSCRIPTEN_KEEPALIVE void GaudioMusicUndecodable() {
    std::printf("Init Error!\n");
    std::fflush(stdout);
    emscripten_force_exit(MUSIC_FAILURE_STATUS);
}

int32_t GAUDIO1::Init(uint32_t flags) {
    if (!(flags & GA_INIT_OUTPUT)) return 0;
    if (!WebAudioOpen()) {
        if (!(flags & GA_INIT_SILENT_FALLBACK)) return 0;
        std::fprintf(stderr, "G-Audio: this browser has no Web Audio; the music stays silent\n");
    }
    outputOpen = true;
    return 1;
}

MP3STREAM1* GAUDIO1::GetStreamInterface(uint32_t id) {
    if (id != GA_INTERFACE_MP3STREAM1 || !outputOpen) return nullptr;
    ResetStream();
    return &stream;
}

void GAUDIO1::Shutdown() {
    ResetStream();
    outputOpen = false;
}

int32_t MP3STREAM1::Initialize() {
    if (this != &stream || !outputOpen || !fileName) return 0;
    if (outputChannels != 1 && outputChannels != 2) return 0;
    if (std::string note; ReadSiteMusicNote(fileName, &note)) {
        FetchSiteMusic(note);  // the published site: the browser fetches its own copy
        music = &stream;
        return 1;
    }
    if (!LooksLikeMp3(fileName)) return 0;
    WebAudioDecode(fileName);
    music = &stream;  // the decoder lives in the browser; this only says it was asked for
    return 1;
}

int32_t MP3STREAM1::SetPrimaryDSBuffer(uint32_t value) {
    primaryBuffer = value;
    return 1;
}

int32_t MP3STREAM1::Play() {
    if (!music) return 0;
    WebAudioPlay(int(startMilliseconds), loop != 0);
    playing = 1;
    return 1;
}

void MP3STREAM1::Stop() {
    if (!music) return;
    WebAudioStop();
    playing = 0;
}

double MP3STREAM1::Position() const { return music && playing ? WebAudioPosition() : -1; }

extern "C" {
uint16_t GA_GetDLLVersion() { return GA_VERSION; }
GAUDIO1* GA_GetInterface(uint32_t id) { return id == GA_INTERFACE_GAUDIO1 ? &library : nullptr; }
}
