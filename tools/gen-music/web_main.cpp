// web_main.cpp - vrex-gen-web-music OUTDIR [SOUNDFONT]: writes the web page's copies of the
// music, OUTDIR/musika.opus and OUTDIR/musika.mp3 (see web_music.h).
#include <cstdio>
#include <string>
#include <vector>

#include "tools/gen-music/music_program.h"
#include "tools/gen-music/web_music.h"

namespace {

bool WriteCopy(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (!WriteEncoding(path, bytes)) return false;
    std::printf("%s: %zu bytes\n", path.c_str(), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Renders the demo's music as musika.mp3 is rendered and writes the web page's copies, "
                 "OUTDIR/musika.opus and OUTDIR/musika.mp3.",
                 "vrex-gen-web-music"};
    MusicCommandLine line;
    const char* outdirHelp = "folder to write musika.opus and musika.mp3 into";
    if (int status = ParseMusicCommandLine(app, outdirHelp, argc, argv, line); status != GO_ON) return status;

    const music::MasteredPiece piece = music::RenderMasteredPiece(music::ComposeScore(), line.soundfont);
    if (piece.audio.left.empty()) return 1;
    const bool ok = WriteCopy(line.outdir + "/musika.opus", music::EncodeOpus(piece.audio)) &&
                    WriteCopy(line.outdir + "/musika.mp3", music::EncodeMp3(piece.audio, music::WEB_MP3_KBPS));
    return ok ? 0 : 1;
}
