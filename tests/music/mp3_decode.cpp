// mp3_decode.cpp - whole MP3 files through libmpg123 (mp3_decode.h).
#include "tests/music/mp3_decode.h"

#include <mpg123.h>

#include <vector>

DecodedFile DecodeMp3(const std::string& path) {
    DecodedFile result;
    mpg123_handle* mh = mpg123_new(nullptr, nullptr);
    if (!mh) return result;
    // Float output at whatever rate and channel count the file has, so both can be checked.
    mpg123_format_none(mh);
    const long* rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i) mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);
    int encoding = 0;
    if (mpg123_open(mh, path.c_str()) == MPG123_OK &&
        mpg123_getformat(mh, &result.rate, &result.channels, &encoding) == MPG123_OK) {
        std::vector<float> block(8192);
        size_t done = 0;
        int status = MPG123_OK;
        while (status == MPG123_OK || status == MPG123_NEW_FORMAT) {
            status = mpg123_read(mh, block.data(), block.size() * sizeof(float), &done);
            size_t samples = done / sizeof(float);
            for (size_t i = 0; i + 1 < samples && result.channels == 2; i += 2) {
                result.audio.left.push_back(block[i]);
                result.audio.right.push_back(block[i + 1]);
            }
        }
        result.ok = status == MPG123_DONE;
        mpg123_close(mh);
    }
    mpg123_delete(mh);
    return result;
}
