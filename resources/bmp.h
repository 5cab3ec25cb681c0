// bmp.h - the BMP image reader: one device-independent bitmap file in, packed RGB rows out.
//
// The model import calls LoadBmpImage(name) for each material picture. It takes the whole
// file into memory, walks the optional 14-byte file header, the 12-byte core or 40-byte info
// header and the palette, decodes the pixels and returns a new RgbImage: width x height x 3
// bytes of red, green, blue, bottom row first, no row padding. The caller frees `data` and
// then the record, both with free(). On failure it shows one OK box captioned "Error", owned
// by the window with the keyboard focus, and returns null; nothing it allocated is left over.
//     "Failed to open DIB file %s.\n"  missing, unreadable or empty file
//     "Unknown DIB file format."       bitmap header size neither 12 nor 40
//     "Image file conversion error."   anything the decoder refuses (see below)
//     "Out of memory."                 the pixel buffer or the record could not be allocated
// DecodeBmpImage() is the same reader over bytes already in memory, without message boxes,
// for tools and fuzzers. Neither keeps state between calls.
//
// Decoded: 1, 4 and 8 bits through the palette; 16 bits as 5-5-5; 24 bits; 32 bits as
// blue, green, red, unused; run-length encoded 8-bit and 4-bit indices (info header only)
// with every escape: end of line, end of bitmap, delta, absolute runs padded to 16 bits.
//
// Choices where the format leaves room, each made so that no file can harm the program:
// - Every read is checked against the file's length: a file shorter than its headers, bit
//   masks, palette or pixel rows, or a pixel-data offset beyond its end, is a conversion error.
// - The last uncompressed row need not carry its padding; all bytes it uses must be present.
// - Width or height 0, or a negative width, is a conversion error: there is no picture.
// - A negative height (rows stored top-down) is decoded and handed over with a positive
//   height and bottom-up rows, as the caller expects; compressed top-down files are refused,
//   as the published rules allow only bottom-up run-length data.
// - Compression 3 (bit fields) is decoded for 16 and 32 bits: three 32-bit masks, red, green,
//   blue, follow the 40-byte header; each must be one run of set bits (or 0, a channel of 0).
//   Channels narrower than 8 bits are widened by repeating their bits (5-bit 31 -> 255),
//   wider ones keep their top 8 bits.
// - A picture whose pixel buffer would exceed BMP_MAX_DATA_BYTES is refused before anything
//   is allocated: run-length data may legitimately describe a picture far larger than itself
//   (deltas, early end of bitmap), so only a fixed cap stops a few bytes claiming gigabytes.
// - Pixels a run-length stream never writes (skipped by deltas, ends of line or an early end
//   of bitmap) are black, as a freshly made 24-bit bitmap leaves them.
// - Runs that go past the end of a row are cut at the row's end, never wrapped to the next.
// - A run-length stream that ends without end of bitmap before its last row is complete is
//   a conversion error; one that ends with the last row complete is whole.
// - Palette indices beyond the palette's entries give black.
// - A palette with more entries than the depth can index is accepted (extra entries unused)
//   but must be in the file, like every other palette the header claims.
// - Planes, resolutions, important colours and the data size field are ignored.
#pragma once

#include <cstddef>
#include <cstdint>

// The decoded picture. Record and data are separate malloc blocks owned by the caller.
struct RgbImage {
    int32_t width;   // pixels per row, always > 0
    int32_t height;  // rows, always > 0 (a top-down file's negative height is made positive)
    uint8_t* data;   // width * height * 3 bytes, R G B, bottom row first, no padding
};

// Largest pixel buffer the reader will allocate: 64 MiB, room for 4096 x 4096 and more,
// beyond any texture the demo draws; kept this low because a refused claim costs nothing
// while an accepted blank one costs its whole allocation.
constexpr uint64_t BMP_MAX_DATA_BYTES = uint64_t(64) << 20;

enum class BmpStatus {
    Ok,
    UnknownFormat,    // "Unknown DIB file format."
    ConversionError,  // "Image file conversion error."
    OutOfMemory,      // "Out of memory."
};

// Reads `fileName` (as given, relative to the working directory). Null and a message box on
// failure.
RgbImage* LoadBmpImage(const char* fileName);

// Decodes the `size` bytes of a BMP file at `bytes`. On Ok *image is a new record the caller
// frees as above; otherwise *image is null and nothing is left allocated. Shows nothing.
BmpStatus DecodeBmpImage(const uint8_t* bytes, size_t size, RgbImage** image);

// The message box text of a failed status (null for Ok).
const char* BmpStatusMessage(BmpStatus status);
