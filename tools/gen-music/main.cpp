// main.cpp - vrex-gen-music OUTDIR [SOUNDFONT]: writes OUTDIR/musika.mid and OUTDIR/musika.mp3.
#include "tools/gen-music/music.h"
#include "tools/gen-music/music_program.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    CLI::App app{"Composes the demo's music, renders it with FluidSynth and writes OUTDIR/musika.mid and "
                 "OUTDIR/musika.mp3.",
                 "vrex-gen-music"};
    MusicCommandLine line;
    const char* outdirHelp = "folder to write musika.mid and musika.mp3 into";
    if (int status = ParseMusicCommandLine(app, outdirHelp, argc, argv, line); status != GO_ON) return status;

    const music::Score score = music::ComposeScore();
    if (!WriteFileAtomically(line.outdir + "/musika.mid", music::WriteMidiFile(score))) {
        std::fprintf(stderr, "cannot write %s/musika.mid\n", line.outdir.c_str());
        return 1;
    }
    const music::MasteredPiece piece = music::RenderMasteredPiece(score, line.soundfont);
    if (piece.audio.left.empty()) return 1;
    if (!WriteEncoding(line.outdir + "/musika.mp3", music::EncodeMp3(piece.audio))) return 1;
    const music::MasterReport& report = piece.report;
    std::printf("musika.mp3: %.2f s, rendered %.2f LUFS, gain %+.2f dB, limited by up to %.2f dB, "
                "now %.2f LUFS, peak %.2f dBFS\n",
                double(piece.audio.left.size()) / music::SAMPLE_RATE, report.renderedLufs, report.gainDb,
                report.deepestLimitDb, report.lufs, report.peakDbfs);
    return 0;
}
