// capture_show DIR: captures the show's test frames into DIR once, before the pixel tests
// that read them (a ctest fixture). Without the generated data it captures nothing and the
// tests skip.
#include <cstdio>
#include <filesystem>

#include "tests/capture/captured_frames.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: capture_show DIR\n");
        return 2;
    }
    std::filesystem::remove_all(argv[1]);
    if (std::string missing = MissingData(); !missing.empty()) {
        std::printf("capture_show: %s; nothing captured\n", missing.c_str());
        return 0;
    }
    return CaptureShowInto(argv[1]) ? 0 : 1;
}
