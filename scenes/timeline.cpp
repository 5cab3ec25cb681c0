// The frame sequencer; the frame clock and the scene table grow here. For now each frame is
// the cleared buffers, presented.
#include <GL/gl.h>

#include "app/shell.h"
#include "scenes/timeline.h"

int DrawFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    return SwapBuffers(g_hdc);
}
