// The height map: "vulc.raw" read byte by byte into g_heightMap, and the lookup with the
// grid's shift by one entry.
#include <cstdio>

#include "terrain/terrain.h"

int32_t g_heightMap[MAP_SIZE * MAP_SIZE];

void LoadHeightMap() { LoadHeightMapFile("vulc.raw"); }

int LoadHeightMapFile(const char* fileName) {
    std::FILE* file = std::fopen(fileName, "rb");
    // Set once: a read that fails leaves it alone, so a short file repeats its last byte and
    // a missing one gives zeros.
    int32_t entry = 0;
    int entriesRead = 0;
    for (int row = 0; row < MAP_SIZE; ++row) {
        for (int column = 0; column < MAP_SIZE; ++column) {
            // A missing file reads as an empty one: no read on a null stream.
            int byte = file ? std::fgetc(file) : EOF;
            if (byte != EOF) {
                entry = byte;  // the low byte; the upper three stay 0
                ++entriesRead;
            }
            g_heightMap[row * MAP_SIZE + column] = entry;
        }
    }
    if (file) std::fclose(file);
    return entriesRead;
}

float TerrainHeight(int x, int z) { return HeightOfEntry(g_heightMap[HeightMapIndex(x, z)]); }
