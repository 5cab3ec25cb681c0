// music_program.h - what vrex-gen-music and vrex-gen-web-music share: their command line,
// OUTDIR [SOUNDFONT], and how they write the files they make.
//
//     CLI::App app{"Writes ...", "vrex-gen-music"};
//     MusicCommandLine line;
//     if (int status = ParseMusicCommandLine(app, "folder to write ... into", argc, argv, line);
//         status != GO_ON)
//         return status;
//     ... WriteEncoding(line.outdir + "/musika.mp3", EncodeMp3(audio)) ...
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/command_line.h"

struct MusicCommandLine {
    std::string outdir;
    std::string soundfont = VREX_SOUNDFONT;  // the build's General MIDI soundfont
};

// Adds OUTDIR (described by `outdirHelp`) and SOUNDFONT to `app` and parses argv by
// ParseCommandLine's rules: GO_ON, or the status the program should end with at once.
int ParseMusicCommandLine(CLI::App& app, const char* outdirHelp, int argc, char** argv, MusicCommandLine& line);

// Written beside the target and renamed over it, so an interrupted build never leaves a
// half-written file that looks up to date.
bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes);

// An encoder's output written atomically; false, after "cannot encode or write PATH", when it
// is empty (the encoder failed) or cannot be written.
bool WriteEncoding(const std::string& path, const std::vector<uint8_t>& bytes);
