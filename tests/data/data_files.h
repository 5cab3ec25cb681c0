// data_files.h - small readers the data tests share: little-endian fields, the generated
// files by name, and a run-length decoder for 8-bit bitmaps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

uint16_t Le16(const Bytes& b, size_t at);
uint32_t Le32(const Bytes& b, size_t at);
float LeF32(const Bytes& b, size_t at);

// The named file of the data set, made in memory.
Bytes MakeDataFile(const std::string& name);

// Decodes RLE8 pixel data into width x height indices, bottom row first; false on any
// malformed or truncated stream, or one that ends without the end-of-bitmap marker.
bool DecodeRle8(const Bytes& data, size_t at, int width, int height, std::vector<uint8_t>& indices);

// One pixel of a BMP the generator wrote (24-bit or 8-bit, plain or RLE8) as R, G, B, with
// (x, y) counted from the bottom-left; empty on a file it cannot read.
struct BmpPicture {
    int width = 0, height = 0, bits = 0, compression = 0;
    std::vector<uint8_t> rgb;  // bottom row first
};
BmpPicture ReadBmp(const Bytes& file);
