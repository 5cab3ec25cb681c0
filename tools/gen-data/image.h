// image.h - the in-memory picture every generator paints into, and small colour helpers.
//
// Pictures are float RGBA, row 0 at the top, as a painter thinks of them; the file writers
// turn them bottom-up and quantise them. Nothing here knows about file formats.
#pragma once

#include <cstddef>
#include <array>
#include <cstdint>
#include <vector>

struct Rgba {
    float r = 0, g = 0, b = 0, a = 1;
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<Rgba> pixels;  // row-major, row 0 at the top

    Image() = default;
    Image(int w, int h, Rgba fill = {0, 0, 0, 1}) : width(w), height(h), pixels(std::size_t(w) * h, fill) {}
    Rgba& At(int x, int y) { return pixels[std::size_t(y) * width + x]; }
    const Rgba& At(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

float Clamp01(float v);
float Smoothstep(float edge0, float edge1, float v);
float Mix(float a, float b, float t);
Rgba Mix(Rgba a, Rgba b, float t);
Rgba Scale(Rgba c, float s);  // colour times s, alpha kept
Rgba Add(Rgba a, Rgba b);     // colour sum, alpha of a
Rgba RgbHex(uint32_t rgb);    // 0xRRGGBB, opaque

// A picture painted by a function of the point: `paint(u, v)` with u, v in 0..1 across the
// image (v downwards), averaged over samples x samples points per pixel for smooth edges.
template <typename Paint>
Image PaintImage(int width, int height, int samples, Paint paint) {
    Image image(width, height);
    const float weight = 1.0f / float(samples * samples);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Rgba sum{0, 0, 0, 0};
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const float u = (float(x) + (float(sx) + 0.5f) / float(samples)) / float(width);
                    const float v = (float(y) + (float(sy) + 0.5f) / float(samples)) / float(height);
                    const Rgba c = paint(u, v);
                    sum.r += c.r;
                    sum.g += c.g;
                    sum.b += c.b;
                    sum.a += c.a;
                }
            }
            image.At(x, y) = {sum.r * weight, sum.g * weight, sum.b * weight, sum.a * weight};
        }
    }
    return image;
}

// One 8-bit channel value from a float: clamped, scaled and rounded, with a 4 x 4 ordered
// dither at pixel (x, y) so slow gradients do not band.
uint8_t QuantiseChannel(float value, int x, int y);
uint8_t RoundChannel(float value);  // the same without dither, for palettes

// Pixel (x, y) quantised in blue, green, red, alpha order: how BMP and TGA files both store it.
std::array<uint8_t, 4> QuantisedBgra(const Image& image, int x, int y);

// A single-channel coverage mask (text, shapes) and a box blur for glows.
struct Mask {
    int width = 0;
    int height = 0;
    std::vector<float> values;  // row 0 at the top
    float At(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0.0f;
        return values[std::size_t(y) * width + x];
    }
};

// Three passes of a box blur of the given radius approximate a Gaussian.
Mask BlurMask(const Mask& mask, int radius);
