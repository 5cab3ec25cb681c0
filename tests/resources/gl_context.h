// gl_context.h - a real, hidden GL context for tests, made through the recording platform fake.
#pragma once

#include "platform/fake_platform.h"

// Resets the fake and makes its offscreen context current; false when none could be made.
inline bool MakeOffscreenGlContext() {
    fake::Reset();
    fake::g_answers.realGlContext = true;
    HDC deviceContext = GetDC(fake::FakeWindow());
    HGLRC context = wglCreateContext(deviceContext);
    return context != nullptr && wglMakeCurrent(deviceContext, context);
}
