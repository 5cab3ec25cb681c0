// tga.cpp - the TGA loader: one uncompressed 24- or 32-bit file into a record and a texture.
#include <GL/gl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "resources/textures.h"

namespace {

constexpr size_t TGA_PREFIX_SIZE = sizeof(TGA_UNCOMPRESSED_HEADER);
constexpr size_t TGA_IMAGE_SPEC_SIZE = 6;  // width, height (little-endian), depth, descriptor

// Zeroed bytes after the pixels. The loader sets no unpack alignment, so GL steps through the
// rows at the current one (up to 8) and, for rows whose length is not a multiple of it, reads
// up to 7 bytes per row past the pixels: the buffer is made that much longer so that such a
// read stays inside it.
uint64_t UnpackSlack(uint32_t height) { return uint64_t(height) * 7; }

uint32_t ReadLittleEndian16(const uint8_t* bytes) { return uint32_t(bytes[1]) * 256 + bytes[0]; }

// The file stores B, G, R (, A); OpenGL wants R, G, B (, A). Green and alpha stay put.
void SwapRedAndBlue(uint8_t* pixels, uint32_t size, uint32_t bytesPerPixel) {
    for (uint32_t i = 0; i < size; i += bytesPerPixel) {
        const uint8_t blue = pixels[i];
        pixels[i] = pixels[i + 2];
        pixels[i + 2] = blue;
    }
}

// Where the three block reads come from: an open file, or bytes in memory. Holds() says
// whether `count` more bytes are there, so a header that lies about its size costs no buffer.
struct FileSource {
    FILE* file;
    size_t Read(void* destination, size_t count) { return std::fread(destination, 1, count, file); }
    bool Holds(uint64_t count) const {
        struct stat status;
        const long at = std::ftell(file);
        // Only a regular file knows its size; anything else is read to see.
        if (at < 0 || fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode)) return true;
        return status.st_size >= at && uint64_t(status.st_size - at) >= count;
    }
};

struct MemorySource {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    size_t Read(void* destination, size_t count) {
        count = std::min(count, size - at);
        if (count > 0) std::memcpy(destination, data + at, count);
        at += count;
        return count;
    }
    bool Holds(uint64_t count) const { return count <= size - at; }
};

template <typename Source>
TgaStatus ReadTga(Source& source, TextureImage* image) {
    uint8_t prefix[TGA_PREFIX_SIZE];
    if (source.Read(prefix, TGA_PREFIX_SIZE) != TGA_PREFIX_SIZE ||
        std::memcmp(prefix, TGA_UNCOMPRESSED_HEADER, TGA_PREFIX_SIZE) != 0)
        return TgaStatus::BadHeader;

    uint8_t spec[TGA_IMAGE_SPEC_SIZE];
    if (source.Read(spec, TGA_IMAGE_SPEC_SIZE) != TGA_IMAGE_SPEC_SIZE) return TgaStatus::BadHeader;
    image->width = ReadLittleEndian16(&spec[0]);
    image->height = ReadLittleEndian16(&spec[2]);
    const uint32_t bits = spec[4];
    if (image->width == 0 || image->height == 0 || (bits != 24 && bits != 32)) return TgaStatus::BadFormat;

    image->bitsPerPixel = bits;
    const uint32_t bytesPerPixel = bits / 8;
    const uint64_t size = uint64_t(image->width) * image->height * bytesPerPixel;
    image->pixels = nullptr;
    if (size > UINT32_MAX) return TgaStatus::TooLarge;
    if (!source.Holds(size)) return TgaStatus::ShortPixels;
    image->pixels = static_cast<uint8_t*>(std::malloc(size + UnpackSlack(image->height)));
    if (image->pixels == nullptr) return TgaStatus::NoMemory;
    std::memset(image->pixels + size, 0, UnpackSlack(image->height));
    if (source.Read(image->pixels, size) != size) {
        std::free(image->pixels);
        image->pixels = nullptr;
        return TgaStatus::ShortPixels;
    }
    SwapRedAndBlue(image->pixels, uint32_t(size), bytesPerPixel);
    return TgaStatus::Ok;
}

}  // namespace

TgaStatus DecodeTgaFile(TextureImage* image, const char* fileName) {
    FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) return TgaStatus::CannotOpen;
    FileSource source{file};
    const TgaStatus status = ReadTga(source, image);
    std::fclose(file);
    return status;
}

TgaStatus DecodeTgaBytes(TextureImage* image, const uint8_t* data, size_t size) {
    MemorySource source{data, size};
    return ReadTga(source, image);
}

const char* TgaStatusText(TgaStatus status) {
    switch (status) {
    case TgaStatus::Ok: return "ok";
    case TgaStatus::CannotOpen: return "cannot open the file";
    case TgaStatus::BadHeader: return "not an uncompressed true-colour TGA with origin 0, 0 and no image ID";
    case TgaStatus::BadFormat: return "a side is 0 or the depth is not 24 or 32 bits";
    case TgaStatus::TooLarge: return "the image needs more than 4 GiB";
    case TgaStatus::NoMemory: return "out of memory";
    case TgaStatus::ShortPixels: return "the pixel data is short";
    }
    return "unknown";
}

void UploadTgaTexture(TextureImage* image) {
    glGenTextures(1, &image->textureName);
    glBindTexture(GL_TEXTURE_2D, image->textureName);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    const GLenum format = image->bitsPerPixel == 32 ? GL_RGBA : GL_RGB;
    glTexImage2D(GL_TEXTURE_2D, 0, GLint(format), GLsizei(image->width), GLsizei(image->height), 0, format,
                 GL_UNSIGNED_BYTE, image->pixels);
}

bool LoadTgaTexture(TextureImage* image, const char* fileName) {
    if (DecodeTgaFile(image, fileName) != TgaStatus::Ok) return false;
    UploadTgaTexture(image);
    return true;
}
