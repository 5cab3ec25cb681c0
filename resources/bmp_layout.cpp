// The header, bit-mask and palette walk of the BMP reader: everything the pixel decoders need
// to know, checked against the file's length and the size cap before any memory is taken.
#include "resources/bmp_layout.h"

#include <algorithm>
#include <bit>

namespace {

constexpr size_t FILE_HEADER_SIZE = 14;
constexpr size_t PIXEL_OFFSET_AT = 10;  // inside the file header
constexpr uint32_t CORE_HEADER_SIZE = 12;
constexpr uint32_t INFO_HEADER_SIZE = 40;
constexpr size_t MASKS_SIZE = 12;           // red, green, blue masks after an info header
constexpr uint32_t CORE_PALETTE_ENTRY = 3;  // blue, green, red
constexpr uint32_t INFO_PALETTE_ENTRY = 4;  // blue, green, red, unused

// What the bitmap header says, widened to one shape for both kinds.
struct BitmapHeader {
    uint32_t size;
    int64_t width;
    int64_t height;
    uint32_t bitsPerPixel;
    uint32_t compression;
    uint32_t paletteUsed;  // 0: the depth's default
};

uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// True when `length` bytes from `offset` lie inside a file of `size` bytes.
bool Fits(size_t size, uint64_t offset, uint64_t length) { return offset <= size && length <= size - offset; }

BitmapHeader ReadBitmapHeader(const uint8_t* h) {
    BitmapHeader header{};
    header.size = Le32(h);
    if (header.size == CORE_HEADER_SIZE) {
        header.width = Le16(h + 4);
        header.height = Le16(h + 6);
        header.bitsPerPixel = Le16(h + 10);
    } else {
        header.width = int32_t(Le32(h + 4));
        header.height = int32_t(Le32(h + 8));
        header.bitsPerPixel = Le16(h + 14);
        header.compression = Le32(h + 16);
        header.paletteUsed = Le32(h + 32);
    }
    return header;
}

bool DepthAndCompressionAgree(uint32_t bitsPerPixel, uint32_t compression) {
    switch (compression) {
    case BMP_COMPRESSION_NONE:
        return bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 || bitsPerPixel == 16 ||
               bitsPerPixel == 24 || bitsPerPixel == 32;
    case BMP_COMPRESSION_RLE8: return bitsPerPixel == 8;
    case BMP_COMPRESSION_RLE4: return bitsPerPixel == 4;
    case BMP_COMPRESSION_BITFIELDS: return bitsPerPixel == 16 || bitsPerPixel == 32;
    default: return false;
    }
}

bool IsRle(uint32_t compression) { return compression == BMP_COMPRESSION_RLE8 || compression == BMP_COMPRESSION_RLE4; }

uint32_t DefaultPaletteCount(uint32_t bitsPerPixel) {
    switch (bitsPerPixel) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

// False for a mask whose set bits are not one run: such a channel has no width to scale by.
bool ChannelFromMask(uint32_t mask, BmpChannel* channel) {
    *channel = {mask, 0, 0};
    if (mask == 0) return true;
    uint32_t shift = uint32_t(std::countr_zero(mask));
    uint32_t bits = mask >> shift;
    if ((bits & (bits + 1)) != 0) return false;
    *channel = {mask, shift, uint32_t(std::popcount(bits))};
    return true;
}

bool ReadChannels(uint32_t red, uint32_t green, uint32_t blue, BmpLayout* layout) {
    return ChannelFromMask(red, &layout->red) && ChannelFromMask(green, &layout->green) &&
           ChannelFromMask(blue, &layout->blue);
}

// Sets the masks of a 16- or 32-bit picture: read after the header for bit fields, the
// published defaults otherwise. Returns the bytes the masks take, or -1 on a bad file.
int64_t ReadMasks(const uint8_t* bytes, size_t size, uint64_t at, BmpLayout* layout) {
    if (layout->compression == BMP_COMPRESSION_BITFIELDS) {
        if (!Fits(size, at, MASKS_SIZE)) return -1;
        const uint8_t* m = bytes + at;
        return ReadChannels(Le32(m), Le32(m + 4), Le32(m + 8), layout) ? int64_t(MASKS_SIZE) : -1;
    }
    if (layout->bitsPerPixel == 16) ReadChannels(0x7C00, 0x03E0, 0x001F, layout);
    if (layout->bitsPerPixel == 32) ReadChannels(0xFF0000, 0xFF00, 0xFF, layout);
    return 0;
}

// Reads the palette at `at`; false when the file is shorter than the entries claimed.
bool ReadPalette(const uint8_t* bytes, size_t size, uint64_t at, uint64_t count, uint32_t entrySize,
                 BmpLayout* layout) {
    if (!Fits(size, at, count * entrySize)) return false;
    uint64_t kept = std::min<uint64_t>(count, BMP_MAX_PALETTE);
    for (uint64_t i = 0; i < kept; ++i) {
        const uint8_t* entry = bytes + at + i * entrySize;
        layout->palette[i][0] = entry[2];
        layout->palette[i][1] = entry[1];
        layout->palette[i][2] = entry[0];
    }
    return true;
}

// Width, height and orientation; false for no picture or one above the size cap.
bool ReadSize(const BitmapHeader& header, BmpLayout* layout) {
    int64_t rows = header.height < 0 ? -header.height : header.height;
    if (header.width <= 0 || rows == 0) return false;
    if (uint64_t(header.width) * uint64_t(rows) * 3 > BMP_MAX_DATA_BYTES) return false;
    if (header.height < 0 && IsRle(header.compression)) return false;
    layout->width = int32_t(header.width);
    layout->height = int32_t(rows);
    layout->topDown = header.height < 0;
    return true;
}

bool UncompressedRowsFit(const BmpLayout& layout) {
    uint64_t needed = uint64_t(layout.height - 1) * BmpRowStride(layout) + BmpRowBytesUsed(layout);
    return needed <= layout.pixelBytes;
}

}  // namespace

uint64_t BmpRowStride(const BmpLayout& layout) { return (uint64_t(layout.width) * layout.bitsPerPixel + 31) / 32 * 4; }

uint64_t BmpRowBytesUsed(const BmpLayout& layout) { return (uint64_t(layout.width) * layout.bitsPerPixel + 7) / 8; }

BmpStatus ReadBmpLayout(const uint8_t* bytes, size_t size, BmpLayout* layout) {
    *layout = {};
    bool hasFileHeader = size >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
    size_t headerAt = hasFileHeader ? FILE_HEADER_SIZE : 0;
    if (!Fits(size, headerAt, 4)) return BmpStatus::ConversionError;
    uint32_t headerSize = Le32(bytes + headerAt);
    if (headerSize != CORE_HEADER_SIZE && headerSize != INFO_HEADER_SIZE) return BmpStatus::UnknownFormat;
    if (!Fits(size, headerAt, headerSize)) return BmpStatus::ConversionError;

    BitmapHeader header = ReadBitmapHeader(bytes + headerAt);
    if (!DepthAndCompressionAgree(header.bitsPerPixel, header.compression)) return BmpStatus::ConversionError;
    if (!ReadSize(header, layout)) return BmpStatus::ConversionError;
    layout->bitsPerPixel = header.bitsPerPixel;
    layout->compression = header.compression;

    uint64_t at = headerAt + headerSize;
    int64_t maskBytes = ReadMasks(bytes, size, at, layout);
    if (maskBytes < 0) return BmpStatus::ConversionError;
    at += uint64_t(maskBytes);

    uint64_t paletteCount = header.paletteUsed != 0 ? header.paletteUsed : DefaultPaletteCount(header.bitsPerPixel);
    uint32_t entrySize = headerSize == CORE_HEADER_SIZE ? CORE_PALETTE_ENTRY : INFO_PALETTE_ENTRY;
    if (!ReadPalette(bytes, size, at, paletteCount, entrySize, layout)) return BmpStatus::ConversionError;
    at += paletteCount * entrySize;

    uint64_t pixelsAt = hasFileHeader ? Le32(bytes + PIXEL_OFFSET_AT) : at;
    if (pixelsAt > size) return BmpStatus::ConversionError;
    layout->pixels = bytes + pixelsAt;
    layout->pixelBytes = size - size_t(pixelsAt);
    if (!IsRle(layout->compression) && !UncompressedRowsFit(*layout)) return BmpStatus::ConversionError;
    return BmpStatus::Ok;
}
