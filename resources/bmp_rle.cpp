// Run-length encoded BMP data, 8-bit and 4-bit: a stream of two-byte instructions that paint
// runs of palette colours from the bottom row up, with escapes to end a line, end the
// picture, jump ahead, or copy an absolute run of indices.
#include <algorithm>
#include <cstring>

#include "resources/bmp_layout.h"

namespace {

constexpr uint8_t END_OF_LINE = 0;
constexpr uint8_t END_OF_BITMAP = 1;
constexpr uint8_t DELTA = 2;  // higher escape values start an absolute run of that length

// The drawing position. x stops at the row's end: what lies beyond is cut, never wrapped.
struct RlePen {
    const BmpLayout& layout;
    uint8_t* rgb;
    uint32_t x = 0;
    uint32_t y = 0;  // file row, bottom first

    void Advance(uint32_t pixels) { x = uint32_t(std::min<uint64_t>(uint64_t(x) + pixels, uint32_t(layout.width))); }
    uint32_t Room() const { return uint32_t(layout.width) - x; }
    uint8_t* Here() const { return rgb + (size_t(y) * uint32_t(layout.width) + x) * 3; }
};

// `count` pixels alternating between two indices (the same one for 8-bit data).
void PaintRun(RlePen& pen, uint32_t count, uint8_t first, uint8_t second) {
    uint32_t painted = std::min(count, pen.Room());
    uint8_t* out = pen.Here();
    for (uint32_t i = 0; i < painted; ++i, out += 3) std::memcpy(out, pen.layout.palette[(i & 1) ? second : first], 3);
    pen.Advance(count);
}

// `count` indices stored one per byte, or two per byte high nibble first.
void PaintAbsolute(RlePen& pen, const uint8_t* indices, uint32_t count, bool fourBit) {
    uint32_t painted = std::min(count, pen.Room());
    uint8_t* out = pen.Here();
    for (uint32_t i = 0; i < painted; ++i, out += 3) {
        uint8_t index = fourBit ? ((i & 1) ? indices[i / 2] & 0x0F : indices[i / 2] >> 4) : indices[i];
        std::memcpy(out, pen.layout.palette[index], 3);
    }
    pen.Advance(count);
}

// The stream ran out before end of bitmap: whole only if the last row was finished.
BmpStatus StreamEnded(const RlePen& pen) {
    bool lastRowDone = pen.y == uint32_t(pen.layout.height) - 1 && pen.Room() == 0;
    return lastRowDone ? BmpStatus::Ok : BmpStatus::ConversionError;
}

}  // namespace

BmpStatus DecodeRleRows(const BmpLayout& layout, uint8_t* rgb) {
    const uint8_t* data = layout.pixels;
    size_t size = layout.pixelBytes;
    size_t at = 0;
    bool fourBit = layout.compression == BMP_COMPRESSION_RLE4;
    RlePen pen{layout, rgb};
    while (pen.y < uint32_t(layout.height)) {
        if (size - at < 2) return StreamEnded(pen);
        uint8_t count = data[at];
        uint8_t value = data[at + 1];
        at += 2;
        if (count > 0) {
            if (fourBit)
                PaintRun(pen, count, value >> 4, value & 0x0F);
            else
                PaintRun(pen, count, value, value);
            continue;
        }
        if (value == END_OF_LINE) {
            pen.x = 0;
            ++pen.y;
        } else if (value == END_OF_BITMAP) {
            return BmpStatus::Ok;
        } else if (value == DELTA) {
            if (size - at < 2) return StreamEnded(pen);
            pen.Advance(data[at]);
            pen.y += data[at + 1];  // may leave the picture: the rest stays black
            at += 2;
        } else {
            size_t bytes = fourBit ? (value + 1u) / 2 : value;
            if (size - at < bytes) return StreamEnded(pen);
            PaintAbsolute(pen, data + at, value, fourBit);
            at += std::min(bytes + (bytes & 1), size - at);  // runs end on a 16-bit boundary
        }
    }
    return BmpStatus::Ok;
}
