// mp3_decode.h - an MP3 file as a player sees it: decoded with libmpg123, an independent
// decoder that drops the encoder's delay and padding as the LAME tag says (as SDL_mixer does).
#pragma once

#include <string>

#include "tools/gen-music/music.h"

struct DecodedMp3 {
    bool ok = false;
    long rate = 0;
    int channels = 0;
    music::Audio audio;
};

DecodedMp3 DecodeMp3(const std::string& path);
