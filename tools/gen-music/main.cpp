// main.cpp - vrex-gen-music OUTDIR [SOUNDFONT]: writes OUTDIR/musika.mid and OUTDIR/musika.mp3.
#include "cli/command_line.h"
#include "tools/gen-music/music.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    CLI::App app{"Composes the demo's music, renders it with FluidSynth and writes OUTDIR/musika.mid and "
                 "OUTDIR/musika.mp3.",
                 "vrex-gen-music"};
    std::string outdir;
    std::string soundfont = VREX_SOUNDFONT;
    app.add_option("OUTDIR", outdir, "folder to write musika.mid and musika.mp3 into")
        ->required()
        ->check(NOT_AN_OPTION);
    app.add_option("SOUNDFONT", soundfont, "General MIDI soundfont to render with")->capture_default_str();
    if (int status = ParseCommandLine(app, argc, argv); status != GO_ON) return status;

    if (!music::WriteFileAtomically(outdir + "/musika.mid", music::WriteMidiFile(music::ComposeScore()))) {
        std::fprintf(stderr, "cannot write %s/musika.mid\n", outdir.c_str());
        return 1;
    }
    music::MasterReport report{};
    music::Audio audio = music::RenderMasteredPiece(soundfont, &report);
    if (audio.left.empty()) return 1;
    std::vector<uint8_t> mp3 = music::EncodeMp3(audio);
    if (mp3.empty() || !music::WriteFileAtomically(outdir + "/musika.mp3", mp3)) {
        std::fprintf(stderr, "cannot encode or write %s/musika.mp3\n", outdir.c_str());
        return 1;
    }
    std::printf("musika.mp3: %.2f s, rendered %.2f LUFS, gain %+.2f dB, limited by up to %.2f dB, "
                "now %.2f LUFS, peak %.2f dBFS\n",
                double(audio.left.size()) / music::SAMPLE_RATE, report.renderedLufs, report.gainDb,
                report.deepestLimitDb, report.lufs, report.peakDbfs);
    return 0;
}
