// Uncompressed BMP rows: palette indices of 1, 4 or 8 bits, 16- and 32-bit pixels cut into
// channels by their masks, and 24-bit blue-green-red triples, each turned into R, G, B.
#include <cstring>

#include "resources/bmp_layout.h"

namespace {

// A channel's value scaled to 8 bits. Narrow channels repeat their bits downwards, so the
// largest value gives 255 and 0 stays 0; wide ones keep their top 8 bits.
uint8_t ExpandChannel(uint32_t pixel, const BmpChannel& channel) {
    if (channel.bits == 0) return 0;
    uint32_t value = (pixel & channel.mask) >> channel.shift;
    if (channel.bits >= 8) return uint8_t(value >> (channel.bits - 8));
    uint32_t repeated = 0;
    uint32_t filled = 0;
    for (; filled < 8; filled += channel.bits) repeated = repeated << channel.bits | value;
    return uint8_t(repeated >> (filled - 8));
}

uint32_t PaletteIndex(const uint8_t* row, int32_t x, uint32_t bitsPerPixel) {
    switch (bitsPerPixel) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    default: return row[x];
    }
}

void DecodeIndexedRow(const BmpLayout& layout, const uint8_t* row, uint8_t* out) {
    for (int32_t x = 0; x < layout.width; ++x, out += 3)
        std::memcpy(out, layout.palette[PaletteIndex(row, x, layout.bitsPerPixel)], 3);
}

void DecodeBgrRow(const BmpLayout& layout, const uint8_t* row, uint8_t* out) {
    for (int32_t x = 0; x < layout.width; ++x, row += 3, out += 3) {
        out[0] = row[2];
        out[1] = row[1];
        out[2] = row[0];
    }
}

void DecodeMaskedRow(const BmpLayout& layout, const uint8_t* row, uint8_t* out) {
    bool wide = layout.bitsPerPixel == 32;
    for (int32_t x = 0; x < layout.width; ++x, out += 3) {
        uint32_t pixel =
            wide ? uint32_t(row[0]) | uint32_t(row[1]) << 8 | uint32_t(row[2]) << 16 | uint32_t(row[3]) << 24
                 : uint32_t(row[0]) | uint32_t(row[1]) << 8;
        row += wide ? 4 : 2;
        out[0] = ExpandChannel(pixel, layout.red);
        out[1] = ExpandChannel(pixel, layout.green);
        out[2] = ExpandChannel(pixel, layout.blue);
    }
}

}  // namespace

void DecodeUncompressedRows(const BmpLayout& layout, uint8_t* rgb) {
    size_t stride = size_t(BmpRowStride(layout));
    size_t outStride = size_t(layout.width) * 3;
    for (int32_t row = 0; row < layout.height; ++row) {
        const uint8_t* in = layout.pixels + size_t(row) * stride;
        int32_t bottomUpRow = layout.topDown ? layout.height - 1 - row : row;
        uint8_t* out = rgb + size_t(bottomUpRow) * outStride;
        switch (layout.bitsPerPixel) {
        case 16:
        case 32: DecodeMaskedRow(layout, in, out); break;
        case 24: DecodeBgrRow(layout, in, out); break;
        default: DecodeIndexedRow(layout, in, out); break;
        }
    }
}
