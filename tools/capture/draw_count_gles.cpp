// Our own GL over shaders counts what it sends to the driver.
#include "gles/gles.h"
#include "tools/capture/capture.h"

DrawCounts CountDrawing() { return {glesDrawCallCount(), glesPrimitiveCount(), glesBytesSentCount()}; }
