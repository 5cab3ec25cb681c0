// The sequencer's frame presented on the demo window. Apart from timeline.cpp so that the
// sequencer itself needs no window: a program without one (the benchmark of our GL over a
// stub driver) draws the show's frames with RenderFrame.
#include "app/shell.h"
#include "scenes/timeline.h"

BOOL DrawFrame() {
    RenderFrame();
    return SwapBuffers(g_hdc);
}
