// web_context.h - a WebGL context the browser takes away, and perhaps gives back.
//
// A driver reset, a phone reclaiming memory or a tab in the background may lose the canvas's
// context. The page keeps it restorable (webglcontextlost is prevented), our GL stops sending
// anything to the dead context (glesContextLost) while the show goes on counting its frames at
// the music's time, and when webglcontextrestored comes our GL builds its programs and buffers
// again and re-sends every texture (glesContextRestored). If the context does not come back
// within a few seconds the page says so and offers to try again (Module.vrexPage).
//
// The page's <body> carries data-graphics="lost" or "restored" once either has happened.
#pragma once

#include <emscripten/html5.h>

#include "gles/gles.h"

// Watches the canvas's one context; null stops watching (the context is being deleted).
void WatchContextLoss(EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle, GlesContext* renderer);
