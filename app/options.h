// options.h - the demo's command line: the show played the way a viewer asks for it.
//
// main() hands argc/argv to ParseDemoOptions() before WinMain; the result fills g_options,
// which WinMain and the loop read. With no arguments every field keeps its default and the
// demo runs exactly as it always did: the question, the display's pace, the music from its
// start, the show from frame 0.
//
//     vrex [--windowed | --fullscreen | --desktop] [--fps N | --keep-time] [--start WHERE]
//          [--loop] [--mute] [--data DIR]
//
// WHERE is a frame number (0 up to the first frame after the credits) or a row of the
// scene table by its key (scenes/timeline.h): intro, overlay, star, terrain, still, star2,
// model, credits.
//
// Mistakes (an unknown option, a bad value, a missing data directory) are found here, before
// any window opens: one line, the usage, exit status 2 (cli/command_line.h).
#pragma once

#include <string>

// How the screen is chosen: by the question at start-up, or in advance on the command line.
enum class ScreenChoice {
    Ask,         // the full-screen question, as always
    Windowed,    // the framed 800 x 600 window, no question
    FullScreen,  // the display switched to 800 x 600, no question
    Desktop,     // full screen at the desktop's own mode: no switch, the 4:3 picture centred
};

struct DemoOptions {
    ScreenChoice screen = ScreenChoice::Ask;
    int framesPerSecond = 0;    // a timer paces the frames; 0: the display's pace, as always
    int startFrame = 0;         // the show starts here, in exactly the state it has there
    bool loop = false;          // after the credits the show and the music start again
    bool mute = false;          // the audio library is not started at all
    bool keepTime = false;      // frames follow the music's clock, those passed over stepped (app/keep_time.h)
    std::string dataDirectory;  // entered before anything is opened; empty: stay where we are
    bool endWithShow = false;   // the run ends after the show's last frame (the page; no option)
};

extern DemoOptions g_options;  // filled by main from the command line; read by WinMain and the loop

// The frame WHERE names, or -1 when it names none.
int StartFrameFor(const std::string& where);

// Parses the command line into *options and enters the data directory. GO_ON, or the exit
// status the program should end with at once (0 after --help or --version, 2 on a mistake).
// A build with options of its own (the page's) describes them with `describeMore`, so they
// are read, listed and refused by the same rules.
namespace CLI {
class App;
}
int ParseDemoOptions(int argc, char** argv, DemoOptions* options, void (*describeMore)(CLI::App&) = nullptr);
