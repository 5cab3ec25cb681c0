// The progress line of a long capture.
#include <cmath>
#include <cstdio>

#include "tools/capture/video.h"

std::string ProgressLine(int done, int total, double elapsedSeconds) {
    char line[96];
    double rate = elapsedSeconds > 0 && done > 0 ? done / elapsedSeconds : 0;
    if (rate <= 0) {
        std::snprintf(line, sizeof line, "frame %d/%d  --- fps  --:-- left", done, total);
        return line;
    }
    long left = std::lround((total - done) / rate);
    std::snprintf(line, sizeof line, "frame %d/%d  %.0f fps  %ld:%02ld left", done, total, rate, left / 60, left % 60);
    return line;
}
