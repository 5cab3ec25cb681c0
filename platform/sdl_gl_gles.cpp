// The GL context for our own OpenGL 1.1 over shaders (gles/gles.h): SDL makes an OpenGL ES 3.0
// context, and the library, given SDL's way to find the driver's functions, receives the GL
// calls and draws them into it.
#include "gles/gles.h"
#include "platform/sdl_internal.h"

namespace sdl_platform {

void RequestGlContextKind() {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
}

bool AttachGlRenderer(PlatformGlContext* context) {
    context->renderer = glesCreateContext([](const char* name) { return SDL_GL_GetProcAddress(name); });
    if (!context->renderer) SDL_SetError("%s", glesLastFailure());
    return context->renderer != nullptr;
}

void MakeGlRendererCurrent(PlatformGlContext* context) {
    glesMakeCurrent(context ? static_cast<GlesContext*>(context->renderer) : nullptr);
}

void DetachGlRenderer(PlatformGlContext* context) {
    glesDestroyContext(static_cast<GlesContext*>(context->renderer));
    context->renderer = nullptr;
}

void FinishGlFrame() { glesFlush(); }

}  // namespace sdl_platform
