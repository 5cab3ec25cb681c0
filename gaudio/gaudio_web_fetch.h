// gaudio_web_fetch.h - the published site's music: fetched by the browser, not packed.
//
// The site (scripts/web-dist.py) packs a short note under the name "musika.mp3" instead of the
// MP3 itself, so the data set stays light and a missing file still fails as the demo expects
// ("Init Error!"). The note names the site's own copies of the music, one a line after its
// first line, best first:
//     vrex-music-copies
//     audio/ogg; codecs=opus musika.0123456789ab.opus
//     audio/mpeg musika.cdef01234567.mp3
// Each is a media type the page's canPlayType is asked about and an address relative to the
// page. FetchSiteMusic takes the first the browser says it can play, and the next whenever a
// fetch or a decode fails; the decoded music then starts as a packed file's would (gaudio_web).
// When copies came but none decoded, the run ends as for an undecodable packed file ("Init
// Error!", status -1); when none could be fetched (no network, nothing kept) the show plays on
// without music. The page hears which copy it took from a "vrex-music" event on window (its
// detail: the address), so the site's service worker can keep that copy for a visit without
// the network.
#pragma once

#include <string>

constexpr char SITE_MUSIC_NOTE_MAGIC[] = "vrex-music-copies\n";

// True when `fileName` is such a note; `note` then holds it.
bool ReadSiteMusicNote(const char* fileName, std::string* note);
// Returns at once; the browser fetches and decodes in the background.
void FetchSiteMusic(const std::string& note);
