// bmp_layout.h - the BMP reader's private steps: what the headers say, and the two decoders.
//
// ReadBmpLayout() checks a file's headers, palette and masks against its length and the size
// cap and fills a BmpLayout; only then DecodeBmpImage allocates the pixel buffer and hands it
// to DecodeUncompressedRows() or DecodeRleRows(), which write every pixel as R, G, B with the
// bottom row first. The buffer arrives zeroed, so pixels nobody writes stay black.
#pragma once

#include <cstddef>
#include <cstdint>

#include "resources/bmp.h"

constexpr uint32_t BMP_COMPRESSION_NONE = 0;
constexpr uint32_t BMP_COMPRESSION_RLE8 = 1;
constexpr uint32_t BMP_COMPRESSION_RLE4 = 2;
constexpr uint32_t BMP_COMPRESSION_BITFIELDS = 3;
constexpr int BMP_MAX_PALETTE = 256;  // the most entries 8 bits can index

// One colour channel of a 16- or 32-bit pixel: where its bits sit and how many there are.
struct BmpChannel {
    uint32_t mask;
    uint32_t shift;  // lowest set bit of the mask
    uint32_t bits;   // number of set bits, 0 for an absent channel
};

struct BmpLayout {
    int32_t width;                        // > 0
    int32_t height;                       // > 0, rows in the file
    bool topDown;                         // the file stores its top row first
    uint32_t bitsPerPixel;                // 1, 4, 8, 16, 24 or 32
    uint32_t compression;                 // one of BMP_COMPRESSION_*
    uint8_t palette[BMP_MAX_PALETTE][3];  // R, G, B; black past the file's entries
    BmpChannel red, green, blue;          // 16 and 32 bits only
    const uint8_t* pixels;                // the pixel data ...
    size_t pixelBytes;                    // ... up to the end of the file
};

// Fills `layout` from the file's bytes; Ok only when the pixel buffer may be allocated and,
// for uncompressed data, every row is in the file.
BmpStatus ReadBmpLayout(const uint8_t* bytes, size_t size, BmpLayout* layout);

// Bytes of one uncompressed row in the file, padding included, and without the padding.
uint64_t BmpRowStride(const BmpLayout& layout);
uint64_t BmpRowBytesUsed(const BmpLayout& layout);

// Writes width x height pixels into `rgb`; the rows are known to be in the file.
void DecodeUncompressedRows(const BmpLayout& layout, uint8_t* rgb);

// Plays the run-length stream into `rgb` (zeroed). ConversionError when the stream ends
// before the picture does.
BmpStatus DecodeRleRows(const BmpLayout& layout, uint8_t* rgb);
