// stereo_slices.cpp - the piece handed to the libraries that take interleaved stereo.
#include "tools/gen-music/music.h"

#include <algorithm>

namespace music {

bool ForEachStereoSlice(const Audio& audio, size_t sliceFrames,
                        const std::function<bool(const float* interleaved, size_t frames)>& take) {
    const size_t frames = std::min(audio.left.size(), audio.right.size());
    std::vector<float> interleaved;
    for (size_t first = 0; first < frames; first += sliceFrames) {
        const size_t count = std::min(sliceFrames, frames - first);
        interleaved.resize(count * 2);
        for (size_t i = 0; i < count; ++i) {
            interleaved[2 * i] = audio.left[first + i];
            interleaved[2 * i + 1] = audio.right[first + i];
        }
        if (!take(interleaved.data(), count)) return false;
    }
    return true;
}

}  // namespace music
