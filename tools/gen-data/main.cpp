// vrex-gen-data OUTDIR [FONT]: writes the demo's default data set (all but the music).
// vrex-gen-data --icons OUTDIR SIZE...: writes the desktop icon as OUTDIR/SIZE.png per size.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "data_set.h"
#include "icon.h"

namespace {

constexpr int LARGEST_ICON = 1024;

int Usage(const char* program)
{
    std::fprintf(stderr, "usage: %s OUTDIR [FONT]\n       %s --icons OUTDIR SIZE...\n", program, program);
    return 2;
}

int WriteIconSizes(const char* program, const char* directory, int count, char** words)
{
    std::vector<int> sizes;
    for (int i = 0; i < count; ++i) {
        char* end = nullptr;
        const long size = std::strtol(words[i], &end, 10);
        if (*words[i] == '\0' || *end != '\0' || size < 1 || size > LARGEST_ICON) return Usage(program);
        sizes.push_back(int(size));
    }
    if (sizes.empty()) return Usage(program);
    return WriteIcons(directory, sizes) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && !std::strcmp(argv[1], "--icons")) return WriteIconSizes(argv[0], argv[2], argc - 3, argv + 3);
    if (argc < 2 || argc > 3) return Usage(argv[0]);
    const std::string font = argc == 3 ? argv[2] : VREX_DATA_FONT;
    return WriteDataSet(argv[1], font) ? 0 : 1;
}
