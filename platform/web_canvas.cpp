// The canvas's drawing buffer, kept at the canvas's size in device pixels (web_canvas.h).
#include "platform/web_canvas.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include "platform/web_page.h"

// clang-format off
// The size the buffer should have, as width * 65536 + height. The CSS box times the device
// pixel ratio, rounded as the browser rounds the box onto the screen; both sides shrunk by the
// same factor when the GPU cannot draw so large (the browser would clamp one side alone and
// bend the picture). Read from the live layout each time: zoom, full screen and rotation all
// change it without any one event that every engine sends.
EM_JS(int, CanvasWantedSize, (), {
    const canvas = Module.canvas;
    const box = canvas.getBoundingClientRect();
    const ratio = window.devicePixelRatio || 1;
    let width = Math.max(1, Math.round(box.width * ratio));
    let height = Math.max(1, Math.round(box.height * ratio));
    const gl = typeof GLctx !== 'undefined' && GLctx;
    if (gl && !Module.vrexCanvasLimit) {
        const viewport = gl.getParameter(gl.MAX_VIEWPORT_DIMS);
        Module.vrexCanvasLimit = Math.min(gl.getParameter(gl.MAX_RENDERBUFFER_SIZE), viewport[0], viewport[1]);
    }
    const limit = Math.min(Module.vrexCanvasLimit || 4096, 65535);
    if (width > limit || height > limit) {
        const scale = limit / Math.max(width, height);
        width = Math.max(1, Math.floor(width * scale));
        height = Math.max(1, Math.floor(height * scale));
    }
    return width * 65536 + height;
});
// clang-format on

namespace {

constexpr int INITIAL_WIDTH = 800;  // the canvas element's own size, until it is first followed
constexpr int INITIAL_HEIGHT = 600;

CanvasSize current = {INITIAL_WIDTH, INITIAL_HEIGHT};

}  // namespace

CanvasSize CurrentCanvasSize() { return current; }

bool FollowCanvasSize() {
    const int packed = CanvasWantedSize();
    const CanvasSize wanted = {packed / 65536, packed % 65536};
    if (wanted.width == current.width && wanted.height == current.height) return false;
    emscripten_set_canvas_element_size(CANVAS_SELECTOR, wanted.width, wanted.height);
    current = wanted;
    return true;
}
