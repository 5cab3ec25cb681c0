// video_show DIR: exports the show as a video and the compared frames as PNG into DIR once,
// before the tests that read them (a ctest fixture). Without the generated data it exports
// nothing and the tests skip.
#include <cstdio>
#include <filesystem>

#include "tests/capture/video_show.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: video_show DIR\n");
        return 2;
    }
    std::filesystem::remove_all(argv[1]);
    if (std::string missing = MissingShowData(); !missing.empty()) {
        std::printf("video_show: %s; nothing exported\n", missing.c_str());
        return 0;
    }
    return ExportVideoShowInto(argv[1]) ? 0 : 1;
}
