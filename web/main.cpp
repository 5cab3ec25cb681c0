// The entry point in a web browser: the page hands the query string over as the command line
// (?windowed&start=model becomes --windowed --start model), read by the demo's own parser, so
// names, values and mistakes are the same as on the command line.
//
// One name exists only here: `still` draws the frame the show has at --start, holds it on the
// canvas and plays no sound (a moment to share, and a frame a test can compare).
#include <emscripten.h>

#include <cstring>
#include <vector>

#include "app/options.h"
#include "app/shell.h"
#include "cli/command_line.h"
#include "platform/web_page.h"

namespace {

constexpr const char* STILL = "--still";

// Removes every --still from the arguments; true when there was one.
bool TakeStill(std::vector<char*>* arguments) {
    bool still = false;
    for (auto it = arguments->begin(); it != arguments->end();) {
        if (std::strcmp(*it, STILL) == 0) {
            still = true;
            it = arguments->erase(it);
        } else {
            ++it;
        }
    }
    return still;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> arguments(argv, argv + argc);
    const bool still = TakeStill(&arguments);
    if (int status = ParseDemoOptions(int(arguments.size()), arguments.data(), &g_options); status != GO_ON)
        return status;
    // A page has no display mode to switch: its full screen is the desktop's own, and its
    // window, the canvas, takes the page's shape, so the picture is placed at 4:3 as --desktop
    // places it, in the page as in full screen.
    g_desktopFullScreen = true;
    if (still) {
        g_options.screen = ScreenChoice::Windowed;
        g_options.mute = true;
        HoldPictureAfterNextFrame(g_options.startFrame);
    }
    // The loop's waits unwound the first main() long ago, so its return value would reach no one:
    // the run ends here, and the page hears of it (Module.onExit).
    emscripten_force_exit(WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWNORMAL));
}
