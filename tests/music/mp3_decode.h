// mp3_decode.h - an MP3 file as a player sees it: decoded with libmpg123, an independent
// decoder that drops the encoder's delay and padding as the LAME tag says (as SDL_mixer does).
#pragma once

#include <string>

#include "tools/gen-music/music.h"

// A whole file decoded; the tests' other decoders (Opus) give the same record.
struct DecodedFile {
    bool ok = false;
    long rate = 0;
    int channels = 0;
    music::Audio audio;
};

DecodedFile DecodeMp3(const std::string& path);
