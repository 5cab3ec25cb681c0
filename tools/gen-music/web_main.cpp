// web_main.cpp - vrex-gen-web-music OUTDIR [SOUNDFONT]: writes the web page's copies of the
// music, OUTDIR/musika.opus and OUTDIR/musika.mp3 (see web_music.h).
#include <cstdio>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "tools/gen-music/web_music.h"

namespace {

bool WriteCopy(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (!bytes.empty() && music::WriteFileAtomically(path, bytes)) {
        std::printf("%s: %zu bytes\n", path.c_str(), bytes.size());
        return true;
    }
    std::fprintf(stderr, "cannot encode or write %s\n", path.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Renders the demo's music as musika.mp3 is rendered and writes the web page's copies, "
                 "OUTDIR/musika.opus and OUTDIR/musika.mp3.",
                 "vrex-gen-web-music"};
    std::string outdir;
    std::string soundfont = VREX_SOUNDFONT;
    app.add_option("OUTDIR", outdir, "folder to write musika.opus and musika.mp3 into")
        ->required()
        ->check(NOT_AN_OPTION);
    app.add_option("SOUNDFONT", soundfont, "General MIDI soundfont to render with")->capture_default_str();
    if (int status = ParseCommandLine(app, argc, argv); status != GO_ON) return status;

    music::MasterReport report{};
    music::Audio audio = music::RenderMasteredPiece(soundfont, &report);
    if (audio.left.empty()) return 1;
    const bool ok = WriteCopy(outdir + "/musika.opus", music::EncodeOpus(audio)) &&
                    WriteCopy(outdir + "/musika.mp3", music::EncodeMp3(audio, music::WEB_MP3_KBPS));
    return ok ? 0 : 1;
}
