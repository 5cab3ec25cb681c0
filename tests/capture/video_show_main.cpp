// video_show DIR [SCREENSHOTS_SCRIPT]: draws the show once into DIR (video_show.h), before
// the tests that read it (a ctest fixture); the stills include the frames of the README's
// pictures that SCREENSHOTS_SCRIPT --list names. Without the generated data it exports
// nothing and the tests skip.
#include <cstdio>
#include <filesystem>

#include "tests/capture/video_show.h"

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: video_show DIR [SCREENSHOTS_SCRIPT]\n");
        return 2;
    }
    std::filesystem::remove_all(argv[1]);
    if (std::string missing = MissingShowData(); !missing.empty()) {
        std::printf("video_show: %s; nothing exported\n", missing.c_str());
        return 0;
    }
    std::set<int> screenshots;
    if (argc == 3) {
        screenshots = ScreenshotFrames(argv[2]);
        if (screenshots.empty()) {
            std::fprintf(stderr, "video_show: %s --list named no frames\n", argv[2]);
            return 1;
        }
    }
    return ExportVideoShowInto(argv[1], screenshots) ? 0 : 1;
}
