#include "bmp_writer.h"

static constexpr uint32_t FILE_HEADER_SIZE = 14;
static constexpr uint32_t INFO_HEADER_SIZE = 40;

static void PutHeaders(Bytes& out, int width, int height, uint16_t bits, uint32_t compression, uint32_t paletteEntries,
                       uint32_t pixelBytes) {
    const uint32_t pixelOffset = FILE_HEADER_SIZE + INFO_HEADER_SIZE + paletteEntries * 4;
    out.push_back('B');
    out.push_back('M');
    PutU32(out, pixelOffset + pixelBytes);
    PutU32(out, 0);
    PutU32(out, pixelOffset);
    PutU32(out, INFO_HEADER_SIZE);
    PutU32(out, uint32_t(width));
    PutU32(out, uint32_t(height));
    PutU16(out, 1);
    PutU16(out, bits);
    PutU32(out, compression);
    PutU32(out, pixelBytes);
    PutU32(out, 2835);  // 72 dots per inch
    PutU32(out, 2835);
    PutU32(out, paletteEntries);
    PutU32(out, 0);
}

static uint32_t PaddedRow(uint32_t bytes) { return (bytes + 3) & ~3u; }

Bytes EncodeBmp24(const Image& image) {
    const uint32_t row = PaddedRow(uint32_t(image.width) * 3);
    Bytes out;
    PutHeaders(out, image.width, image.height, 24, 0, 0, row * uint32_t(image.height));
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const auto bgra = QuantisedBgra(image, x, y);
            out.insert(out.end(), bgra.begin(), bgra.begin() + 3);
        }
        for (uint32_t pad = uint32_t(image.width) * 3; pad < row; ++pad) PutU8(out, 0);
    }
    return out;
}

Bytes EncodeRle8Row(const uint8_t* row, int width) {
    // A run of at least three equal indices is worth an encoded pair; shorter ones travel in
    // absolute blocks, which must hold at least three indices (0 1 and 0 2 are escapes).
    Bytes out;
    int x = 0;
    auto runAt = [&](int at) {
        int n = 1;
        while (at + n < width && n < 255 && row[at + n] == row[at]) ++n;
        return n;
    };
    while (x < width) {
        const int run = runAt(x);
        if (run >= 3 || width - x < 3) {
            const int n = run >= 3 ? run : 1;
            PutU8(out, uint8_t(n));
            PutU8(out, row[x]);
            x += n;
            continue;
        }
        int end = x;
        while (end < width && end - x < 255 && runAt(end) < 3) ++end;
        int count = end - x;
        if (count < 3) {  // too short for an absolute block: send pairs
            for (int i = 0; i < count; ++i) {
                PutU8(out, 1);
                PutU8(out, row[x + i]);
            }
            x = end;
            continue;
        }
        PutU8(out, 0);
        PutU8(out, uint8_t(count));
        for (int i = 0; i < count; ++i) PutU8(out, row[x + i]);
        if (count & 1) PutU8(out, 0);
        x = end;
    }
    return out;
}

Bytes EncodeBmp8(const IndexedImage& image, BmpPacking packing) {
    Bytes pixels;
    for (int y = image.height - 1; y >= 0; --y) {
        const uint8_t* row = &image.indices[size_t(y) * image.width];
        if (packing == BmpPacking::Rle8) {
            const Bytes encoded = EncodeRle8Row(row, image.width);
            pixels.insert(pixels.end(), encoded.begin(), encoded.end());
            PutU8(pixels, 0);
            PutU8(pixels, y == 0 ? 1 : 0);  // end of line, or end of bitmap after the top row
        } else {
            pixels.insert(pixels.end(), row, row + image.width);
            for (uint32_t pad = uint32_t(image.width); pad < PaddedRow(uint32_t(image.width)); ++pad) PutU8(pixels, 0);
        }
    }
    Bytes out;
    PutHeaders(out, image.width, image.height, 8, packing == BmpPacking::Rle8 ? 1 : 0, 256, uint32_t(pixels.size()));
    for (const Rgba& c : image.palette) {
        PutU8(out, RoundChannel(c.b));
        PutU8(out, RoundChannel(c.g));
        PutU8(out, RoundChannel(c.r));
        PutU8(out, 0);
    }
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}
