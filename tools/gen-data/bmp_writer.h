// bmp_writer.h - Windows bitmaps for the model's material textures.
//
// Both kinds have the 14-byte file header ("BM", file size, pixel offset) and the 40-byte
// info header, positive height (rows bottom-up), one plane:
//   EncodeBmp24: 24 bits per pixel, B, G, R, each row padded to a multiple of 4 bytes.
//   EncodeBmp8:  8-bit indices into a 256-entry palette (B, G, R, 0 per entry), either
//                uncompressed rows padded to 4 bytes or run-length encoded (compression 1):
//                runs of one index as (count, index), other stretches as absolute blocks
//                (0, count, indices, padded to an even length), each row closed by 0 0 and
//                the picture by 0 1.
#pragma once

#include <array>

#include "writers/byte_writer.h"
#include "image.h"

struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> indices;  // row-major, row 0 at the top
    std::array<Rgba, 256> palette{};
};

enum class BmpPacking { Plain, Rle8 };

Bytes EncodeBmp24(const Image& image);
Bytes EncodeBmp8(const IndexedImage& image, BmpPacking packing);

// The run-length encoding of one row of indices (without the end-of-line marker).
Bytes EncodeRle8Row(const uint8_t* row, int width);
