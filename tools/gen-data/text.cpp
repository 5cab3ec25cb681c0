#include "text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <climits>

namespace {

struct Glyph {
    int left = 0;  // pen x of the bitmap's left edge
    int top = 0;   // rows above the baseline
    Mask bitmap;
};

Mask CopyBitmap(const FT_Bitmap& bitmap) {
    Mask m{int(bitmap.width), int(bitmap.rows), std::vector<float>(size_t(bitmap.width) * bitmap.rows)};
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x)
            m.values[size_t(y) * m.width + x] = float(bitmap.buffer[y * bitmap.pitch + x]) / 255.0f;
    return m;
}

std::vector<Glyph> LayOutGlyphs(FT_Face face, std::string_view text, const TextStyle& style) {
    std::vector<Glyph> glyphs;
    long pen = 0;  // 26.6 fixed point
    FT_UInt previous = 0;
    for (unsigned char c : text) {
        const FT_UInt index = FT_Get_Char_Index(face, c);
        if (previous && index && FT_HAS_KERNING(face)) {
            FT_Vector kern;
            FT_Get_Kerning(face, previous, index, FT_KERNING_DEFAULT, &kern);
            pen += kern.x;
        }
        if (FT_Load_Glyph(face, index, FT_LOAD_RENDER) != 0) continue;
        const FT_GlyphSlot slot = face->glyph;
        glyphs.push_back({int(pen >> 6) + slot->bitmap_left, slot->bitmap_top, CopyBitmap(slot->bitmap)});
        pen += slot->advance.x + long(style.tracking * float(style.pixelSize) * 64.0f);
        previous = index;
    }
    return glyphs;
}

Mask CompositeGlyphs(const std::vector<Glyph>& glyphs) {
    int minX = INT_MAX, maxX = INT_MIN, minY = INT_MAX, maxY = INT_MIN;
    for (const Glyph& g : glyphs) {
        if (g.bitmap.width == 0 || g.bitmap.height == 0) continue;
        minX = std::min(minX, g.left);
        maxX = std::max(maxX, g.left + g.bitmap.width);
        minY = std::min(minY, -g.top);
        maxY = std::max(maxY, -g.top + g.bitmap.height);
    }
    if (minX > maxX) return {};
    Mask out{maxX - minX, maxY - minY, std::vector<float>(size_t(maxX - minX) * (maxY - minY))};
    for (const Glyph& g : glyphs) {
        for (int y = 0; y < g.bitmap.height; ++y) {
            for (int x = 0; x < g.bitmap.width; ++x) {
                float& dst = out.values[size_t(y - g.top - minY) * out.width + (x + g.left - minX)];
                dst = std::max(dst, g.bitmap.At(x, y));
            }
        }
    }
    return out;
}

}  // namespace

Mask RenderTextLine(std::string_view text, const TextStyle& style) {
    FT_Library library;
    if (FT_Init_FreeType(&library) != 0) return {};
    Mask result;
    FT_Face face;
    if (FT_New_Face(library, style.fontPath.c_str(), 0, &face) == 0) {
        if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(style.pixelSize)) == 0)
            result = CompositeGlyphs(LayOutGlyphs(face, text, style));
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return result;
}
