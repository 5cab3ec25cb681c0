#include "tga_writer.h"

Bytes EncodeTga(const Image& image, TgaDepth depth) {
    const bool alpha = depth == TgaDepth::Rgba32;
    // No image ID, no colour map, type 2 (uncompressed true colour), colour map fields and
    // origin all zero: the twelve bytes the loader compares as one block.
    Bytes out = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    out.reserve(18 + size_t(image.width) * image.height * (alpha ? 4 : 3));
    PutU16(out, uint16_t(image.width));
    PutU16(out, uint16_t(image.height));
    PutU8(out, uint8_t(depth));
    PutU8(out, alpha ? 8 : 0);  // alpha bits; bit 5 clear: bottom-left origin
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const auto bgra = QuantisedBgra(image, x, y);
            out.insert(out.end(), bgra.begin(), bgra.begin() + (alpha ? 4 : 3));
        }
    }
    return out;
}
