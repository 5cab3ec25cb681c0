// The demo's command line, read before WinMain with the project's one parser.
#include "app/options.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "cli/command_line.h"

namespace {

constexpr const char* DESCRIPTION =
    "vrex demo: a self-running real-time 3D show with music, 800 x 600, counted in frames.\n"
    "Run with no options it asks whether to go full screen and plays the show from its start\n"
    "at the display's pace.";
constexpr const char* KEYS =
    "Keys:\n"
    "  Escape, or the window's close box   quits\n"
    "  right mouse button                  switches lighting on and off";

// The answers to the full-screen question, of which at most one may be given.
void DescribeScreen(CLI::App& app, DemoOptions* options) {
    struct Answer {
        const char* flag;
        ScreenChoice choice;
        const char* help;
    };
    const Answer answers[] = {
        {"--windowed", ScreenChoice::Windowed, "a framed window with an 800 x 600 picture; no question"},
        {"--fullscreen", ScreenChoice::FullScreen, "switch the display to 800 x 600; no question"},
    };
    std::vector<CLI::Option*> flags;
    for (const Answer& answer : answers)
        flags.push_back(app.add_flag_callback(
            answer.flag, [options, choice = answer.choice] { options->screen = choice; }, answer.help));
    for (CLI::Option* flag : flags)
        for (CLI::Option* other : flags)
            if (flag != other) flag->excludes(other);
}

int EnterDataDirectory(const CLI::App& app, const std::string& directory) {
    if (directory.empty()) return GO_ON;
    std::error_code error;
    std::filesystem::current_path(directory, error);
    if (!error) return GO_ON;
    std::fprintf(stderr, "%s: cannot enter --data %s: %s\n", app.get_name().c_str(), directory.c_str(),
                 error.message().c_str());
    std::fputs(UsageText(app).c_str(), stderr);
    return EXIT_USAGE;
}

}  // namespace

int ParseDemoOptions(int argc, char** argv, DemoOptions* options) {
    CLI::App app{DESCRIPTION, "vrex"};
    app.footer(KEYS);
    DescribeScreen(app, options);
    app.add_flag("--mute", options->mute, "no music: the audio library is not started at all");
    app.add_option("--data", options->dataDirectory,
                   "the data directory, entered before any file is opened (default: the working directory)")
        ->type_name("DIR")
        ->check(CLI::Validator(CLI::ExistingDirectory).description(""));
    if (int status = ParseCommandLine(app, argc, argv); status != GO_ON) return status;
    return EnterDataDirectory(app, options->dataDirectory);
}
