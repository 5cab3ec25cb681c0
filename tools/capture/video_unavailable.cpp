// The Windows build has no FFmpeg libraries to encode with: --video says so and fails, while
// the PNG frames and the timings work as everywhere.
#include <cstdio>

#include "tools/capture/capture.h"

int RecordVideo(const CaptureOptions& options) {
    std::fprintf(stderr,
                 "vrex-capture: cannot write %s: this build has no video encoder; "
                 "write the frames with --out instead\n",
                 options.video.c_str());
    return 1;
}
