// offscreen_context.h - a real GL context of width x height for benchmarks, through the
// recording platform layer's offscreen window (SDL_VIDEODRIVER=offscreen), made current.
#pragma once

#include "platform/fake_platform.h"

inline bool MakeOffscreenContext(int width, int height) {
    fake::Reset();
    fake::g_answers.realGlContext = true;
    fake::g_answers.clientRect = {0, 0, width, height};
    HGLRC context = wglCreateContext(fake::FakeDeviceContext());
    return context && wglMakeCurrent(fake::FakeDeviceContext(), context);
}
