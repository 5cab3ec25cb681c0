#include "bmp_bytes.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

Bytes Join(std::initializer_list<Bytes> parts) { return Cat(parts); }

Bytes InfoHeader(int32_t width, int32_t height, uint16_t bitsPerPixel, uint32_t compression, uint32_t paletteUsed) {
    Bytes h;
    PutU32(h, 40);
    PutU32(h, uint32_t(width));
    PutU32(h, uint32_t(height));
    PutU16(h, 1);
    PutU16(h, bitsPerPixel);
    PutU32(h, compression);
    PutU32(h, 0);  // data size
    PutU32(h, 2835);
    PutU32(h, 2835);
    PutU32(h, paletteUsed);
    PutU32(h, 0);
    return h;
}

Bytes CoreHeader(uint16_t width, uint16_t height, uint16_t bitsPerPixel) {
    Bytes h;
    PutU32(h, 12);
    PutU16(h, width);
    PutU16(h, height);
    PutU16(h, 1);
    PutU16(h, bitsPerPixel);
    return h;
}

Bytes FileHeader(uint32_t pixelOffset) {
    Bytes h = {'B', 'M'};
    PutU32(h, 0);
    PutU32(h, 0);
    PutU32(h, pixelOffset);
    return h;
}

Bytes WithFileHeader(const Bytes& header, const Bytes& palette, const Bytes& pixels) {
    Bytes file = Join({FileHeader(uint32_t(14 + header.size() + palette.size())), header, palette, pixels});
    PatchU32(file, 2, uint32_t(file.size()));  // ImageMagick checks it
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
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path.string();
}

Bytes ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
