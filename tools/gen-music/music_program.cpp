// music_program.cpp - the music programs' command line and file writing (music_program.h).
#include "tools/gen-music/music_program.h"

#include <cstdio>

int ParseMusicCommandLine(CLI::App& app, const char* outdirHelp, int argc, char** argv, MusicCommandLine& line) {
    app.add_option("OUTDIR", line.outdir, outdirHelp)->required()->check(NOT_AN_OPTION);
    app.add_option("SOUNDFONT", line.soundfont, "General MIDI soundfont to render with")->capture_default_str();
    return ParseCommandLine(app, argc, argv);
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

bool WriteEncoding(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (!bytes.empty() && WriteFileAtomically(path, bytes)) return true;
    std::fprintf(stderr, "cannot encode or write %s\n", path.c_str());
    return false;
}
