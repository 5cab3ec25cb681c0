// The GL context of the system's OpenGL: whatever SDL makes by default, with the GL calls
// going straight to the driver, so there is nothing to attach, switch or flush.
#include "platform/sdl_internal.h"

namespace sdl_platform {

void RequestGlContextKind() {}
bool AttachGlRenderer(PlatformGlContext*) { return true; }
void MakeGlRendererCurrent(PlatformGlContext*) {}
void DetachGlRenderer(PlatformGlContext*) {}
void FinishGlFrame() {}

}  // namespace sdl_platform
