// command_line.h - the one way every program of the project reads its command line.
//
// A program describes its options on a CLI::App (CLI11) and hands argc/argv to
// ParseCommandLine(), which keeps the same rules everywhere:
//   --help      the usage text on standard output; the program ends with status 0
//   --version   "NAME VERSION" on standard output; status 0
//   a mistake   one line saying what is wrong, then the usage, on standard error; status 2
//               (an unknown option, a missing value, a bad value or a stray argument)
//   otherwise   the options are filled in and the program goes on
//
//     CLI::App app{"Writes the demo's default data set.", "vrex-gen-data"};
//     std::string out;
//     app.add_option("OUTDIR", out, "folder to write")->required()->check(NOT_AN_OPTION);
//     if (int status = ParseCommandLine(app, argc, argv); status != GO_ON) return status;
//
// NOT_AN_OPTION refuses a value that begins with '-', so that a mistyped option is never
// taken for a file or folder to write.
#pragma once

#include <CLI/CLI.hpp>

constexpr int GO_ON = -1;      // ParseCommandLine's answer when the program should run
constexpr int EXIT_USAGE = 2;  // the status of every command-line mistake

// The project's version, as the build states it once (CMake's project version).
const char* VrexVersion();

// Parses argv into `app`; GO_ON, or the status the program should end with at once.
int ParseCommandLine(CLI::App& app, int argc, char** argv);

// The usage text ParseCommandLine prints for --help (also what the manual pages are made of).
std::string UsageText(const CLI::App& app);

// Refuses a value that begins with '-': files and folders are named, never guessed from options.
extern const CLI::Validator NOT_AN_OPTION;
