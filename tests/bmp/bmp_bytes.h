// bmp_bytes.h - BMP files built byte by byte in the tests, a scratch folder to put them in,
// and the reader's result as plain bytes for comparison.
#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "resources/bmp.h"
#include "writers/byte_writer.h"

Bytes Join(std::initializer_list<Bytes> parts);

Bytes InfoHeader(int32_t width, int32_t height, uint16_t bitsPerPixel, uint32_t compression = 0,
                 uint32_t paletteUsed = 0);
Bytes CoreHeader(uint16_t width, uint16_t height, uint16_t bitsPerPixel);
// "BM", a file size, reserved 0, and the pixel data's offset.
Bytes FileHeader(uint32_t pixelOffset);
// A whole file: file header pointing right after header and palette, then the pixels.
Bytes WithFileHeader(const Bytes& header, const Bytes& palette, const Bytes& pixels);

// Palette entries of the info header (blue, green, red, 0) for colours given as R, G, B.
Bytes InfoPalette(std::initializer_list<Bytes> rgbColours);

// The decoded picture's pixels, or empty when there is none; frees the image.
Bytes TakePixels(RgbImage* image);

// A fresh folder under the system's temporary folder, removed with the object.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    std::filesystem::path Path(const std::string& name) const { return folder_ / name; }
    std::string Write(const std::string& name, const Bytes& bytes) const;

private:
    std::filesystem::path folder_;
};

Bytes ReadFileBytes(const std::filesystem::path& path);
