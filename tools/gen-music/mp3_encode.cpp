// mp3_encode.cpp - MPEG-1 layer III through libmp3lame, constant bit rate.
#include "tools/gen-music/music.h"

#include <lame/lame.h>

#include <algorithm>

namespace music {

namespace {

constexpr int CHUNK_FRAMES = 8192;
constexpr int ENCODER_QUALITY = 5;  // 0 best .. 9 fastest; 5 is LAME's "good quality, fast"

lame_global_flags* OpenEncoder(int kbps) {
    lame_global_flags* lame = lame_init();
    if (!lame) return nullptr;
    lame_set_in_samplerate(lame, SAMPLE_RATE);
    lame_set_out_samplerate(lame, SAMPLE_RATE);
    lame_set_num_channels(lame, 2);
    lame_set_mode(lame, JOINT_STEREO);
    lame_set_VBR(lame, vbr_off);
    lame_set_brate(lame, kbps);
    lame_set_quality(lame, ENCODER_QUALITY);
    // No ID3 tag; the LAME tag frame carries the encoder delay and padding for gapless decoding.
    lame_set_write_id3tag_automatic(lame, 0);
    lame_set_bWriteVbrTag(lame, 1);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        return nullptr;
    }
    return lame;
}

}  // namespace

std::vector<uint8_t> EncodeMp3(const Audio& audio, int kbps) {
    lame_global_flags* lame = OpenEncoder(kbps);
    if (!lame) return {};
    const size_t frames = std::min(audio.left.size(), audio.right.size());
    // The worst case the library documents: 1.25 x samples + 7200 bytes.
    std::vector<unsigned char> buffer(CHUNK_FRAMES * 5 / 4 + 7200);
    std::vector<uint8_t> mp3;
    for (size_t at = 0; at < frames; at += CHUNK_FRAMES) {
        int count = static_cast<int>(std::min<size_t>(CHUNK_FRAMES, frames - at));
        int bytes = lame_encode_buffer_ieee_float(lame, audio.left.data() + at, audio.right.data() + at, count,
                                                  buffer.data(), static_cast<int>(buffer.size()));
        if (bytes < 0) {
            lame_close(lame);
            return {};
        }
        mp3.insert(mp3.end(), buffer.begin(), buffer.begin() + bytes);
    }
    int bytes = lame_encode_flush(lame, buffer.data(), static_cast<int>(buffer.size()));
    if (bytes > 0) mp3.insert(mp3.end(), buffer.begin(), buffer.begin() + bytes);
    // The encoder wrote a placeholder frame first; the finished tag takes its place.
    size_t tagBytes = lame_get_lametag_frame(lame, buffer.data(), buffer.size());
    if (tagBytes > 0 && tagBytes <= mp3.size()) std::copy_n(buffer.begin(), tagBytes, mp3.begin());
    lame_close(lame);
    return mp3;
}

}  // namespace music
