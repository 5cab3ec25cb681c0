#include "image.h"

#include <algorithm>
#include <cmath>

float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

float Smoothstep(float edge0, float edge1, float v) {
    const float t = Clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

float Mix(float a, float b, float t) { return a + (b - a) * t; }

Rgba Mix(Rgba a, Rgba b, float t) { return {Mix(a.r, b.r, t), Mix(a.g, b.g, t), Mix(a.b, b.b, t), Mix(a.a, b.a, t)}; }

Rgba Scale(Rgba c, float s) { return {c.r * s, c.g * s, c.b * s, c.a}; }

Rgba Add(Rgba a, Rgba b) { return {a.r + b.r, a.g + b.g, a.b + b.b, a.a}; }

Rgba RgbHex(uint32_t rgb) {
    return {float((rgb >> 16) & 0xFF) / 255.0f, float((rgb >> 8) & 0xFF) / 255.0f, float(rgb & 0xFF) / 255.0f, 1.0f};
}

uint8_t QuantiseChannel(float value, int x, int y) {
    static constexpr int BAYER[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    const float dither = (float(BAYER[y & 3][x & 3]) + 0.5f) / 16.0f - 0.5f;
    const float scaled = std::floor(Clamp01(value) * 255.0f + 0.5f + dither);
    return uint8_t(std::clamp(scaled, 0.0f, 255.0f));
}

uint8_t RoundChannel(float value) { return uint8_t(std::floor(Clamp01(value) * 255.0f + 0.5f)); }

std::array<uint8_t, 4> QuantisedBgra(const Image& image, int x, int y) {
    const Rgba& p = image.At(x, y);
    return {QuantiseChannel(p.b, x, y), QuantiseChannel(p.g, x, y), QuantiseChannel(p.r, x, y),
            QuantiseChannel(p.a, x, y)};
}

static Mask BoxBlurRows(const Mask& in, int radius) {
    Mask out = in;
    const float norm = 1.0f / float(2 * radius + 1);
    for (int y = 0; y < in.height; ++y) {
        float sum = 0;
        for (int x = -radius; x <= radius; ++x) sum += in.At(x, y);
        for (int x = 0; x < in.width; ++x) {
            out.values[size_t(y) * in.width + x] = sum * norm;
            sum += in.At(x + radius + 1, y) - in.At(x - radius, y);
        }
    }
    return out;
}

static Mask Transpose(const Mask& in) {
    Mask out{in.height, in.width, std::vector<float>(in.values.size())};
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < in.width; ++x) out.values[size_t(x) * in.height + y] = in.At(x, y);
    return out;
}

Mask BlurMask(const Mask& mask, int radius) {
    Mask m = mask;
    for (int pass = 0; pass < 3; ++pass) {
        m = Transpose(BoxBlurRows(Transpose(BoxBlurRows(m, radius)), radius));
    }
    return m;
}
