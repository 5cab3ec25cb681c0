// Writes a handful of tiny BMP files, one per layout the reader knows, as the fuzzer's
// starting points: bmp_seed_writer FOLDER
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "writers/byte_writer.h"

namespace {

Bytes Info(int32_t width, int32_t height, uint16_t bits, uint32_t compression, uint32_t used) {
    Bytes h;
    for (uint32_t v : {40u, uint32_t(width), uint32_t(height)}) PutU32(h, v);
    PutU16(h, 1);
    PutU16(h, bits);
    for (uint32_t v : {compression, 0u, 0u, 0u, used, 0u}) PutU32(h, v);
    return h;
}

Bytes Core(uint16_t width, uint16_t height, uint16_t bits) {
    Bytes h;
    PutU32(h, 12);
    for (uint16_t v : {width, height, uint16_t(1), bits}) PutU16(h, v);
    return h;
}

Bytes Palette(int entries, int entrySize) {
    Bytes p;
    for (int i = 0; i < entries; ++i)
        for (int c = 0; c < entrySize; ++c) p.push_back(uint8_t(i * 37 + c * 91));
    return p;
}

// With a file header when `fileHeader`; a packed bitmap otherwise.
Bytes File(bool fileHeader, const Bytes& header, const Bytes& extra, const Bytes& pixels) {
    Bytes f;
    if (fileHeader) {
        f = {'B', 'M'};
        PutU32(f, uint32_t(14 + header.size() + extra.size() + pixels.size()));
        PutU32(f, 0);
        PutU32(f, uint32_t(14 + header.size() + extra.size()));
    }
    for (const Bytes* part : {&header, &extra, &pixels}) f.insert(f.end(), part->begin(), part->end());
    return f;
}

bool Write(const std::string& path, const Bytes& bytes) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bmp_seed_writer FOLDER\n");
        return 2;
    }
    Bytes masks565;
    for (uint32_t m : {0xF800u, 0x07E0u, 0x001Fu}) PutU32(masks565, m);
    struct Seed {
        const char* name;
        Bytes bytes;
    } seeds[] = {
        {"info24.bmp", File(true, Info(3, 2, 24, 0, 0), {}, Bytes(24, 0x5A))},
        {"info24_topdown.bmp", File(true, Info(3, -2, 24, 0, 0), {}, Bytes(24, 0xA5))},
        {"packed4_short_palette.bmp",
         File(false, Info(5, 2, 4, 0, 5), Palette(5, 4), {0x01, 0x23, 0x40, 0, 0x43, 0x21, 0x00, 0})},
        {"core8.bmp", File(true, Core(2, 2, 8), Palette(256, 3), {0, 255, 0, 0, 7, 9, 0, 0})},
        {"core1.bmp", File(false, Core(9, 1, 1), Palette(2, 3), {0xA5, 0x80, 0, 0})},
        {"info16_bitfields.bmp",
         File(true, Info(2, 2, 16, 3, 0), masks565, {0xFF, 0xFF, 0x1F, 0, 0xE0, 0x07, 0, 0xF8})},
        {"info32.bmp", File(true, Info(2, 1, 32, 0, 0), {}, {1, 2, 3, 4, 5, 6, 7, 8})},
        {"rle8.bmp", File(true, Info(6, 3, 8, 1, 4), Palette(4, 4),
                          {3, 1, 0, 3, 2, 3, 1, 0, 0, 0, 6, 2, 0, 0, 0, 2, 2, 0, 4, 3, 0, 1})},
        {"rle4.bmp",
         File(true, Info(7, 2, 4, 2, 16), Palette(16, 4), {7, 0x12, 0, 0, 0, 5, 0x34, 0x56, 0x70, 0, 2, 0x88, 0, 1})},
    };
    for (const Seed& seed : seeds) {
        if (!Write(std::string(argv[1]) + "/" + seed.name, seed.bytes)) {
            std::fprintf(stderr, "cannot write %s\n", seed.name);
            return 1;
        }
    }
    return 0;
}
