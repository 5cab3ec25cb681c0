// gaudio_web_fetch.cpp - fetching the site's copy of the music (gaudio_web_fetch.h).
#include "gaudio/gaudio_web_fetch.h"

#include <emscripten.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr size_t NOTE_LIMIT = 4096;  // a note is a few lines; an MP3 is never read whole here

}  // namespace

// clang-format off
EM_JS(void, WebAudioFetchCopies, (const char* note), {
    const audio = Module.vrexAudio;
    if (!audio || !audio.context) return;
    const generation = audio.generation;
    const current = () => audio.generation === generation && !audio.ended;
    const copies = UTF8ToString(note).split('\n').slice(1).map(line => line.trim()).filter(line => line)
        .map(line => ({type: line.slice(0, line.lastIndexOf(' ')), url: line.slice(line.lastIndexOf(' ') + 1)}));
    const probe = document.createElement('audio');
    const playable = copies.filter(copy => probe.canPlayType(copy.type));  // 'maybe' or 'probably'
    let undecodable = false;
    const tryCopy = index => {
        if (!current()) return;
        if (index >= playable.length) {
            console.error('musika: no copy of the music could be ' + (undecodable ? 'decoded' : 'fetched'));
            if (undecodable) Module._GaudioMusicUndecodable();
            return;
        }
        const url = playable[index].url;
        fetch(url).then(response => {
            if (!response.ok) throw new Error(response.status + ' ' + response.statusText);
            return response.arrayBuffer();
        }).then(bytes => audio.decode(bytes).catch(error => {
            undecodable = true;
            throw error;
        })).then(buffer => {
            if (!current()) return;
            window.dispatchEvent(new CustomEvent('vrex-music', {detail: url}));
            audio.useMusic(buffer);
        }, error => {
            console.warn('musika: ' + url + ': ' + error);
            tryCopy(index + 1);
        });
    };
    tryCopy(0);
});
// clang-format on

bool ReadSiteMusicNote(const char* fileName, std::string* note) {
    std::FILE* file = std::fopen(fileName, "rb");
    if (!file) return false;
    char text[NOTE_LIMIT + 1] = {};
    const size_t length = std::fread(text, 1, NOTE_LIMIT, file);
    std::fclose(file);
    const size_t magic = std::strlen(SITE_MUSIC_NOTE_MAGIC);
    if (length < magic || std::memcmp(text, SITE_MUSIC_NOTE_MAGIC, magic) != 0) return false;
    note->assign(text, length);
    return true;
}

void FetchSiteMusic(const std::string& note) { WebAudioFetchCopies(note.c_str()); }
