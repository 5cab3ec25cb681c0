// G-Audio in a web browser: the same interface over Web Audio.
//
// The MP3 file is read from the program's file system (the packaged data set) and decoded by
// the browser, which does so in the background; Play returns at once whatever it finds. The
// music sounds once two things are true: the file is decoded and the browser lets the page make
// sound (some wait for a click). It then starts where the show is: the frames the page has
// presented since Play, at the 60 frames per second the music was made for (wall time where no
// page counts frames), so a late start keeps the music with the show. The page may show a "click for sound" notice while
// the browser holds the sound back (Module.vrexPage.soundHeld).
#include <emscripten.h>

#include <cstdio>
#include <vector>

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
    const held = () => audio.request && audio.context.state !== 'running';
    audio.start = () => {
        if (page && page.soundHeld) page.soundHeld(held());
        if (!audio.request || !audio.buffer || audio.source || audio.context.state !== 'running') return;
        const request = audio.request;
        const duration = audio.buffer.duration;
        const since = page && page.frames !== undefined ? (page.frames - request.sinceFrame) * 1000 / 60
                                                        : performance.now() - request.since;
        let offset = (request.offsetMs + since) / 1000;
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
    // Where the music is, in seconds into the file; -1 while nothing sounds.
    audio.position = () => {
        if (!audio.source) return -1;
        const played = audio.context.currentTime - audio.startedAt;
        return audio.request.loop ? played % audio.buffer.duration : played;
    };
    if (!audio.listening) {
        audio.listening = true;
        audio.context.onstatechange = () => audio.start();
        // A click anywhere is what such browsers wait for.
        const resume = () => { if (audio.context.state !== 'running') audio.context.resume(); };
        window.addEventListener('pointerdown', resume, true);
        window.addEventListener('keydown', resume, true);
    }
    if (audio.context.state !== 'running') audio.context.resume();
    return 1;
});
EM_JS(void, WebAudioDecode, (const unsigned char* bytes, int length), {
    const audio = Module.vrexAudio;
    if (!audio || !audio.context) return;
    const generation = audio.generation;
    const copy = HEAPU8.slice(bytes, bytes + length).buffer;
    audio.context.decodeAudioData(copy).then(buffer => {
        if (audio.generation !== generation) return;
        audio.buffer = buffer;
        audio.start();
    }, error => console.error('musika: the browser cannot decode it: ' + error));
});
EM_JS(void, WebAudioPlay, (int offsetMilliseconds, int loop), {
    const audio = Module.vrexAudio;
    if (!audio || !audio.context) return;
    if (audio.source) { audio.source.stop(); audio.source.disconnect(); audio.source = null; }
    const page = Module.vrexPage;
    audio.request = {offsetMs: offsetMilliseconds, since: performance.now(),
                     sinceFrame: page ? page.frames : 0, loop: loop != 0};
    audio.start();
});
EM_JS(void, WebAudioStop, (), {
    const audio = Module.vrexAudio;
    if (!audio) return;
    if (audio.source) { audio.source.stop(); audio.source.disconnect(); audio.source = null; }
    audio.request = null;
    if (Module.vrexPage && Module.vrexPage.soundHeld) Module.vrexPage.soundHeld(false);
});
EM_JS(void, WebAudioClose, (), {
    const audio = Module.vrexAudio;
    if (!audio) return;
    audio.generation++;
    audio.buffer = null;
});
// clang-format on

namespace {

GAUDIO1 library;
MP3STREAM1 stream;
bool outputOpen = false;
std::vector<unsigned char> fileBytes;  // kept while the browser decodes from a copy of it

// An MP3 file begins with an ID3 tag or with a frame's sync word.
bool LooksLikeMp3(const std::vector<unsigned char>& bytes) {
    if (bytes.size() < 4) return false;
    if (bytes[0] == 'I' && bytes[1] == 'D' && bytes[2] == '3') return true;
    return bytes[0] == 0xFF && (bytes[1] & 0xE0) == 0xE0;
}

bool ReadWholeFile(const char* name, std::vector<unsigned char>* bytes) {
    FILE* file = std::fopen(name, "rb");
    if (!file) return false;
    bytes->clear();
    unsigned char block[65536];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) bytes->insert(bytes->end(), block, block + got);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

void ResetStream() {
    WebAudioStop();
    WebAudioClose();
    fileBytes.clear();
    stream = {};
    stream.interfaceId = GA_INTERFACE_MP3STREAM1;
}

}  // namespace

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
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(fileName, &bytes)) return 0;
    if (IsSiteMusicNote(bytes)) {  // the published site: the browser fetches its own copy
        fileBytes = std::move(bytes);
        FetchSiteMusic(fileBytes);
        music = fileBytes.data();
        return 1;
    }
    if (!LooksLikeMp3(bytes)) return 0;
    fileBytes = std::move(bytes);
    WebAudioDecode(fileBytes.data(), int(fileBytes.size()));
    music = fileBytes.data();
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

extern "C" {
uint16_t GA_GetDLLVersion() { return GA_VERSION; }
GAUDIO1* GA_GetInterface(uint32_t id) { return id == GA_INTERFACE_GAUDIO1 ? &library : nullptr; }
}
