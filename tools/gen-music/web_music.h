// web_music.h - the web page's own copies of the music, encoded from the same rendering as
// "musika.mp3" (RenderMasteredPiece) so that they start on the same sample and keep its
// loudness and peaks.
//
// vrex-gen-web-music OUTDIR [SOUNDFONT] writes OUTDIR/musika.opus (Ogg Opus, for the browsers
// that decode it) and OUTDIR/musika.mp3 (a lighter MP3 than the desktop's, for those that do
// not). Which one a page fetches is the page's affair (gaudio/gaudio_web_fetch.cpp). A first
// visit downloads everything but the music in about 3.5 MB, so the copies are sized to keep
// the whole visit under 8 MB.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/gen-music/music.h"

namespace music {

// Opus is near transparent for stereo music at 96 kbit/s; below that the synthesiser's
// cymbals and reverb tails smear first.
constexpr int WEB_OPUS_KBPS = 96;
// The MP3 copy only serves browsers without Opus; 112 kbit/s joint stereo keeps their visit
// within the same budget.
constexpr int WEB_MP3_KBPS = 112;

// Ogg Opus at 48 kHz (the encoder resamples), variable bit rate around `kbps`, with the
// pre-skip that lets decoders start on the first sample of the input. Empty on failure.
std::vector<uint8_t> EncodeOpus(const Audio& audio, int kbps = WEB_OPUS_KBPS);

}  // namespace music
