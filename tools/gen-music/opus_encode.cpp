// opus_encode.cpp - Ogg Opus through libopusenc, in memory.
#include <opus/opusenc.h>

#include "tools/gen-music/web_music.h"

namespace music {

namespace {

constexpr size_t CHUNK_FRAMES = 8192;
constexpr int SERIAL_NUMBER = 0x76726578;  // fixed, so that every build writes the same bytes
constexpr int COMPLEXITY = 10;             // the slowest and best; encoding runs once per build

int AppendPage(void* user, const unsigned char* bytes, opus_int32 length) {
    auto* out = static_cast<std::vector<uint8_t>*>(user);
    out->insert(out->end(), bytes, bytes + length);
    return 0;
}

int CloseNothing(void*) { return 0; }

}  // namespace

std::vector<uint8_t> EncodeOpus(const Audio& audio, int kbps) {
    std::vector<uint8_t> ogg;
    OpusEncCallbacks callbacks{AppendPage, CloseNothing};
    OggOpusComments* comments = ope_comments_create();
    if (!comments) return {};
    ope_comments_add(comments, "TITLE", "musika");
    int error = 0;
    OggOpusEnc* encoder = ope_encoder_create_callbacks(&callbacks, &ogg, comments, SAMPLE_RATE, 2, 0, &error);
    ope_comments_destroy(comments);
    if (!encoder) return {};
    bool ok = ope_encoder_ctl(encoder, OPE_SET_SERIALNO(SERIAL_NUMBER)) == OPE_OK &&
              ope_encoder_ctl(encoder, OPUS_SET_BITRATE(kbps * 1000)) == OPE_OK &&
              ope_encoder_ctl(encoder, OPUS_SET_COMPLEXITY(COMPLEXITY)) == OPE_OK &&
              ope_encoder_ctl(encoder, OPUS_SET_SIGNAL(OPUS_SIGNAL_MUSIC)) == OPE_OK;
    ok = ok && ForEachStereoSlice(audio, CHUNK_FRAMES, [&](const float* interleaved, size_t frames) {
             return ope_encoder_write_float(encoder, interleaved, static_cast<int>(frames)) == OPE_OK;
         });
    ok = ok && ope_encoder_drain(encoder) == OPE_OK;
    ope_encoder_destroy(encoder);
    return ok ? ogg : std::vector<uint8_t>{};
}

}  // namespace music
