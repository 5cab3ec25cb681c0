// The entry point in a web browser: the page hands the query string over as the command line
// (?windowed&start=model becomes --windowed --start=model), read by the demo's own parser, so
// names, values and mistakes are the same as on the command line. The page passes on only the
// names that are its options (web/index.html); the rest it ignores, and says so.
//
// The page keeps the show with its music (app/keep_time.h): on a display of any rate, on a
// slow device and across a hidden tab, the frame drawn is the one the music is at. Two page
// options draw every frame instead, as the desktop demo does: `exact` at the display's pace,
// and the command line's `fps` at a timer's. And the page's own end: after the show's last
// frame the run ends, as Escape ends it, unless the show loops.
//
// One more name exists only here: `still` draws the frame the show has at --start, holds it on
// the canvas and plays no sound (a moment to share, and a frame a test can compare).
#include <emscripten.h>

#include "app/options.h"
#include "app/shell.h"
#include "cli/command_line.h"
#include "platform/web_page.h"
#include "scenes/timeline.h"

// clang-format off
EM_JS(void, PageShowFrame, (int frame), { Module.vrexPage.shown(frame); });
// clang-format on

namespace {

bool still = false;
bool exact = false;

void DescribePageOptions(CLI::App& app) {
    app.add_flag("--still", still, "the page only: draw the frame --start names, hold it, and play no sound");
    app.add_flag("--exact", exact,
                 "the page only: draw every frame at the display's pace, as the desktop demo does, "
                 "instead of keeping the show with its music");
}

// The frame now on the canvas, for the viewer's address bar tools and for tests.
void TellPageTheFrameDrawn(HDC, void*) { PageShowFrame(g_frameCounter - 1); }

}  // namespace

int main(int argc, char** argv) {
    if (int status = ParseDemoOptions(argc, argv, &g_options, DescribePageOptions); status != GO_ON) return status;
    if (still) {
        g_options.screen = ScreenChoice::Windowed;
        g_options.mute = true;
        HoldPictureAfterNextFrame(g_options.startFrame);
    } else {
        g_options.keepTime = !exact && g_options.framesPerSecond == 0;
        g_options.endWithShow = !g_options.loop;
    }
    SetFrameObserver(TellPageTheFrameDrawn, nullptr);
    // The loop's waits unwound the first main() long ago, so its return value would reach no one:
    // the run ends here, and the page hears of it (Module.onExit).
    emscripten_force_exit(WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWNORMAL));
}
