// gaudio_web_fetch.cpp - fetching the site's copy of the music (gaudio_web_fetch.h).
#include "gaudio/gaudio_web_fetch.h"

#include <emscripten.h>

#include <algorithm>
#include <cstring>

// clang-format off
EM_JS(void, WebAudioFetchCopies, (const unsigned char* note, int length), {
    const audio = Module.vrexAudio;
    if (!audio || !audio.context) return;
    const generation = audio.generation;
    const lines = new TextDecoder().decode(HEAPU8.slice(note, note + length)).split('\n').slice(1);
    const copies = lines.map(line => line.trim()).filter(line => line).map(line => {
        const space = line.lastIndexOf(' ');
        return {type: line.slice(0, space), url: line.slice(space + 1)};
    });
    const probe = document.createElement('audio');
    const playable = copies.filter(copy => probe.canPlayType(copy.type) !== '');
    const tryCopy = index => {
        if (index >= playable.length) {
            console.error('musika: no copy of the music could be fetched and decoded');
            return;
        }
        const url = playable[index].url;
        fetch(url).then(response => {
            if (!response.ok) throw new Error(response.status + ' ' + response.statusText);
            return response.arrayBuffer();
        }).then(bytes => audio.context.decodeAudioData(bytes)).then(buffer => {
            if (audio.generation !== generation) return;
            audio.buffer = buffer;
            window.dispatchEvent(new CustomEvent('vrex-music', {detail: url}));
            audio.start();
        }, error => {
            console.warn('musika: ' + url + ': ' + error);
            if (audio.generation === generation) tryCopy(index + 1);
        });
    };
    tryCopy(0);
});
// clang-format on

bool IsSiteMusicNote(const std::vector<unsigned char>& bytes) {
    const size_t length = std::strlen(SITE_MUSIC_NOTE_MAGIC);
    return bytes.size() >= length && std::equal(SITE_MUSIC_NOTE_MAGIC, SITE_MUSIC_NOTE_MAGIC + length, bytes.begin());
}

void FetchSiteMusic(const std::vector<unsigned char>& note) { WebAudioFetchCopies(note.data(), int(note.size())); }
