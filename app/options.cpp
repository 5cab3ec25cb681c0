// The demo's command line, read before WinMain with the project's one parser.
#include "app/options.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "cli/command_line.h"
#include "scenes/timeline.h"

namespace {

constexpr const char* DESCRIPTION =
    "vrex demo: a self-running real-time 3D show with music, 800 x 600, counted in frames.\n"
    "Run with no options it asks whether to go full screen and plays the show from its start\n"
    "at the display's pace.";
constexpr const char* KEYS = "Keys:\n"
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
        {"--desktop", ScreenChoice::Desktop,
         "full screen at the desktop's own resolution, without switching the display; the 4:3 "
         "picture in the middle, black bars around it"},
    };
    std::vector<CLI::Option*> flags;
    for (const Answer& answer : answers)
        flags.push_back(app.add_flag_callback(
            answer.flag, [options, choice = answer.choice] { options->screen = choice; }, answer.help));
    for (CLI::Option* flag : flags)
        for (CLI::Option* other : flags)
            if (flag != other) flag->excludes(other);
}

std::string SceneKeys() {
    std::string keys;
    for (const SceneRow& row : SCENE_TABLE) keys += std::string(keys.empty() ? "" : ", ") + row.key;
    return keys;
}

void DescribeShow(CLI::App& app, DemoOptions* options) {
    CLI::Option* fps =
        app.add_option("--fps", options->framesPerSecond,
                       "pace the show with a timer to N frames per second (the music's pace is 60); frames are "
                       "never skipped or repeated. Default: the display's pace")
            ->type_name("N")
            ->check(CLI::Range(1, 1000).description(""));
    app.add_flag("--keep-time", options->keepTime,
                 "keep the show with its music: each frame drawn is the one due by the music's position "
                 "(the wall clock when muted), the frames passed over only stepped, so a display faster or "
                 "slower than 60 Hz keeps the show's five minutes")
        ->excludes(fps);
    const std::string startHelp = "begin at a frame number (0 to " + std::to_string(ShowEndFrame()) +
                                  ") or at a scene: " + SceneKeys() +
                                  "; the show and the music are where they would be by then";
    app.add_option_function<std::string>(
           "--start", [options](const std::string& where) { options->startFrame = StartFrameFor(where); }, startHelp)
        ->type_name("WHERE")
        ->check(CLI::Validator(
            [](std::string& where) -> std::string {
                if (StartFrameFor(where) >= 0) return {};
                return "'" + where + "' is neither a frame from 0 to " + std::to_string(ShowEndFrame()) +
                       " nor a scene (" + SceneKeys() + ")";
            },
            "", "WHERE"));
    app.add_flag("--loop", options->loop, "after the credits, start the show and the music again, for ever");
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

int StartFrameFor(const std::string& where) {
    if (int row = SceneRowByKey(where.c_str())) return FirstFrameOfRow(row);
    if (where.empty() || where.size() > 9 || where.find_first_not_of("0123456789") != std::string::npos) return -1;
    int frame = std::stoi(where);
    return frame <= ShowEndFrame() ? frame : -1;
}

int ParseDemoOptions(int argc, char** argv, DemoOptions* options, void (*describeMore)(CLI::App&)) {
    CLI::App app{DESCRIPTION, "vrex"};
    app.footer(KEYS);
    DescribeScreen(app, options);
    DescribeShow(app, options);
    if (describeMore) describeMore(app);
    app.add_flag("--mute", options->mute, "no music: the audio library is not started at all");
    app.add_option("--data", options->dataDirectory,
                   "the data directory, entered before any file is opened (default: the working directory)")
        ->type_name("DIR")
        ->check(CLI::Validator(CLI::ExistingDirectory).description(""));
    if (int status = ParseCommandLine(app, argc, argv); status != GO_ON) return status;
    return EnterDataDirectory(app, options->dataDirectory);
}
