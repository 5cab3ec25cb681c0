// text.h - lines of text rendered with FreeType into coverage masks.
//
// The font file is chosen by the build (a DejaVu face) and handed in by path, so the same
// font always gives the same pixels. A failed font load gives an empty mask, which the
// callers treat as "no text" rather than a crash.
#pragma once

#include <string>
#include <string_view>

#include "image.h"

struct TextStyle {
    std::string fontPath;
    int pixelSize = 64;     // em height in pixels
    float tracking = 0.0f;  // extra space between letters, in ems
};

// One line of text, tightly cropped to its inked pixels, 0..1 coverage per pixel.
Mask RenderTextLine(std::string_view text, const TextStyle& style);
