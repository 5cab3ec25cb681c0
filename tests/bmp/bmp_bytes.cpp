#include "bmp_bytes.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

void Put16(Bytes& bytes, uint16_t value) {
    bytes.push_back(uint8_t(value));
    bytes.push_back(uint8_t(value >> 8));
}

void Put32(Bytes& bytes, uint32_t value) {
    Put16(bytes, uint16_t(value));
    Put16(bytes, uint16_t(value >> 16));
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes joined;
    for (const Bytes& part : parts) joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

Bytes InfoHeader(int32_t width, int32_t height, uint16_t bitsPerPixel, uint32_t compression,
                 uint32_t paletteUsed) {
    Bytes h;
    Put32(h, 40);
    Put32(h, uint32_t(width));
    Put32(h, uint32_t(height));
    Put16(h, 1);
    Put16(h, bitsPerPixel);
    Put32(h, compression);
    Put32(h, 0);  // data size
    Put32(h, 2835);
    Put32(h, 2835);
    Put32(h, paletteUsed);
    Put32(h, 0);
    return h;
}

Bytes CoreHeader(uint16_t width, uint16_t height, uint16_t bitsPerPixel) {
    Bytes h;
    Put32(h, 12);
    Put16(h, width);
    Put16(h, height);
    Put16(h, 1);
    Put16(h, bitsPerPixel);
    return h;
}

Bytes FileHeader(uint32_t pixelOffset) {
    Bytes h = {'B', 'M'};
    Put32(h, 0);
    Put32(h, 0);
    Put32(h, pixelOffset);
    return h;
}

Bytes WithFileHeader(const Bytes& header, const Bytes& palette, const Bytes& pixels) {
    Bytes file = Join({FileHeader(uint32_t(14 + header.size() + palette.size())), header, palette, pixels});
    uint32_t size = uint32_t(file.size());
    for (int i = 0; i < 4; ++i) file[2 + i] = uint8_t(size >> (8 * i));  // ImageMagick checks it
    return file;
}

Bytes InfoPalette(std::initializer_list<Bytes> rgbColours) {
    Bytes palette;
    for (const Bytes& c : rgbColours) palette.insert(palette.end(), {c[2], c[1], c[0], 0});
    return palette;
}

Bytes TakePixels(RgbImage* image) {
    if (!image) return {};
    Bytes pixels(image->data, image->data + size_t(image->width) * size_t(image->height) * 3);
    std::free(image->data);
    std::free(image);
    return pixels;
}

ScratchFolder::ScratchFolder() {
    // A folder of its own: create_directory is false when the name is taken already.
    std::random_device random;
    do folder_ = std::filesystem::temp_directory_path() / ("vrex-bmp-" + std::to_string(random()));
    while (!std::filesystem::create_directory(folder_));
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::string ScratchFolder::Write(const std::string& name, const Bytes& bytes) const {
    std::filesystem::path path = Path(name);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                std::streamsize(bytes.size()));
    return path.string();
}

Bytes ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
