// tga_writer.h - uncompressed true-colour Targa files, the only kind the demo's loader takes.
//
// The header starts with the twelve bytes 00 00 02 00 00 00 00 00 00 00 00 00 (no image ID,
// no colour map, type 2, origin 0, 0); rows are written bottom row first, pixels as B, G, R
// (and A), and the descriptor says "bottom-left origin" with 8 alpha bits for 32-bit files.
#pragma once

#include "writers/byte_writer.h"
#include "image.h"

enum class TgaDepth { Rgb24 = 24, Rgba32 = 32 };

Bytes EncodeTga(const Image& image, TgaDepth depth);
