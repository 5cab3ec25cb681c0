// A lost and restored WebGL context (web_context.h).
#include "platform/web_context.h"

#include <emscripten.h>

#include <cstdio>

#include "platform/web_page.h"

// clang-format off
EM_JS(void, PageContextLost, (), {
    document.body.dataset.graphics = 'lost';
    if (Module.vrexPage && Module.vrexPage.graphicsLost) Module.vrexPage.graphicsLost();
});
EM_JS(void, PageContextRestored, (int rebuilt, const char* failure), {
    document.body.dataset.graphics = rebuilt ? 'restored' : 'failed';
    if (Module.vrexPage && Module.vrexPage.graphicsRestored)
        Module.vrexPage.graphicsRestored(rebuilt != 0, UTF8ToString(failure));
});
// clang-format on

namespace {

EMSCRIPTEN_WEBGL_CONTEXT_HANDLE watchedHandle = 0;
GlesContext* watchedRenderer = nullptr;

EM_BOOL OnContextLost(int, const void*, void*) {
    if (watchedRenderer) glesContextLost(watchedRenderer);
    PageContextLost();
    return EM_TRUE;  // prevented: the browser may give the context back
}

EM_BOOL OnContextRestored(int, const void*, void*) {
    if (!watchedRenderer) return EM_FALSE;
    // The library's driver objects are rebuilt in the context they will live in; whatever
    // context was current before (there is only this one) is current again afterwards.
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE previous = emscripten_webgl_get_current_context();
    emscripten_webgl_make_context_current(watchedHandle);
    const bool rebuilt = glesContextRestored(watchedRenderer, emscripten_webgl_get_proc_address);
    if (previous != watchedHandle) emscripten_webgl_make_context_current(previous);
    if (!rebuilt) std::fprintf(stderr, "OpenGL over WebGL 2, after the lost context: %s\n", glesLastFailure());
    PageContextRestored(rebuilt, rebuilt ? "" : glesLastFailure());
    return EM_TRUE;
}

}  // namespace

void WatchContextLoss(EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle, GlesContext* renderer) {
    watchedHandle = renderer ? handle : 0;
    watchedRenderer = renderer;
    emscripten_set_webglcontextlost_callback(CANVAS_SELECTOR, nullptr, EM_FALSE, renderer ? OnContextLost : nullptr);
    emscripten_set_webglcontextrestored_callback(CANVAS_SELECTOR, nullptr, EM_FALSE,
                                                 renderer ? OnContextRestored : nullptr);
}
