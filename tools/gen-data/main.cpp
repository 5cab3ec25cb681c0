// vrex-gen-data OUTDIR [FONT]: writes the demo's default data set (all but the music).
#include <cstdio>

#include "data_set.h"

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s OUTDIR [FONT]\n", argv[0]);
        return 2;
    }
    const std::string font = argc == 3 ? argv[2] : VREX_DATA_FONT;
    return WriteDataSet(argv[1], font) ? 0 : 1;
}
