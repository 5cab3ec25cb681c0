// vrex-capture: the show drawn offscreen, chosen frames saved as PNG or the show as a video.
#include "cli/command_line.h"
#include "tools/capture/capture.h"

int main(int argc, char** argv) {
    CaptureOptions options;
    if (int status = ReadCaptureOptions(argc, argv, &options); status != GO_ON) return status;
    return options.video.empty() ? CapturePictures(options) : RecordVideo(options);
}
