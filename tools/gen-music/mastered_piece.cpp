// mastered_piece.cpp - the piece from its score to mastered audio.
#include "tools/gen-music/music.h"

#include <cstdio>

namespace music {

MasteredPiece RenderMasteredPiece(const Score& score, const std::string& soundfont) {
    if (score.unreadable != 0) {
        std::fprintf(stderr, "the score has %d unreadable parts\n", score.unreadable);
        return {};
    }
    const Section& coda = score.sections.back();
    MasteredPiece piece{RenderScore(score, soundfont, 0.0, coda.endSeconds), {}};
    if (!piece.audio.left.empty()) piece.report = MasterAudio(piece.audio, coda.startSeconds, coda.endSeconds);
    return piece;
}

}  // namespace music
