// mastered_piece.cpp - the piece from score to mastered audio, and the atomic file write.
#include "tools/gen-music/music.h"

#include <cstdio>

namespace music {

Audio RenderMasteredPiece(const std::string& soundfont, MasterReport* report) {
    Score score = ComposeScore();
    if (score.unreadable != 0) {
        std::fprintf(stderr, "the score has %d unreadable parts\n", score.unreadable);
        return {};
    }
    const Section& coda = score.sections.back();
    Audio audio = RenderScore(score, soundfont, 0.0, coda.endSeconds);
    if (audio.left.empty()) return audio;
    *report = MasterAudio(audio, coda.startSeconds, coda.endSeconds);
    return audio;
}

bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::string temporary = path + ".part";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    written = std::fclose(file) == 0 && written;
    if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace music
