// main.cpp - vrex-gen-music OUTDIR [SOUNDFONT]: writes OUTDIR/musika.mid and OUTDIR/musika.mp3.
#include "cli/command_line.h"
#include "tools/gen-music/music.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Written beside the target and renamed over it, so an interrupted build never leaves a
// half-written file that looks up to date.
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

}  // namespace

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

    music::Score score = music::ComposeScore();
    if (score.unreadable != 0) {
        std::fprintf(stderr, "the score has %d unreadable parts\n", score.unreadable);
        return 1;
    }
    if (!WriteFileAtomically(outdir + "/musika.mid", music::WriteMidiFile(score))) {
        std::fprintf(stderr, "cannot write %s/musika.mid\n", outdir.c_str());
        return 1;
    }
    const music::Section& coda = score.sections.back();
    music::Audio audio = music::RenderScore(score, soundfont, 0.0, coda.endSeconds);
    if (audio.left.empty()) return 1;
    music::MasterReport report = music::MasterAudio(audio, coda.startSeconds, coda.endSeconds);
    std::vector<uint8_t> mp3 = music::EncodeMp3(audio);
    if (mp3.empty() || !WriteFileAtomically(outdir + "/musika.mp3", mp3)) {
        std::fprintf(stderr, "cannot encode or write %s/musika.mp3\n", outdir.c_str());
        return 1;
    }
    std::printf("musika.mp3: %.2f s, rendered %.2f LUFS, gain %+.2f dB, limited by up to %.2f dB, "
                "now %.2f LUFS, peak %.2f dBFS\n",
                coda.endSeconds, report.renderedLufs, report.gainDb, report.deepestLimitDb, report.lufs,
                report.peakDbfs);
    return 0;
}
