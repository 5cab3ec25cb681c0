// stub_driver.h - an OpenGL ES 3.0 driver that draws nothing, for timing our GL alone: every
// entry point the library loads answers as a driver would (shaders compile, sizes are read),
// and uploads copy their bytes, as a driver copies them out of the caller's memory.
#pragma once

#include "gles/gles.h"

// The getter to hand glesCreateContext.
GlesProcGetter StubDriverGetter();
// Bytes the stub has copied in uploads since the start.
long long StubDriverBytesCopied();
