// png_writer.h - 8-bit RGBA PNG files, the format desktops take icons in.
#pragma once

#include "writers/byte_writer.h"
#include "image.h"

// The whole PNG file of `image`, top row first, channels rounded without dither (icons are
// small and a dither pattern would show). Empty when libpng refuses the picture.
Bytes EncodePng(const Image& image);
