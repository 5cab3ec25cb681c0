// "fish.TGA": a clownfish in deep water, painted from shapes in the fish's own coordinates.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "noise.h"
#include "pictures.h"

namespace {

constexpr int FISH_SIZE = 512;
constexpr float FISH_SCALE = 0.36f;  // half the body length, in picture widths
constexpr float PI = std::numbers::pi_v<float>;

const Rgba ORANGE = RgbHex(0xF26A10);
const Rgba WHITE = RgbHex(0xF4F0E8);
const Rgba INK = RgbHex(0x140806);

// The body runs from the nose at x = -1 to the tail's root at 0.55; t is 0..1 along it.
float BodyT(float x) { return (x + 1.0f) / 1.55f; }
float BodyCentre(float t) { return 0.03f * std::sin(PI * t); }
float BodyHalfHeight(float t) {
    if (t < 0 || t > 1) return -1.0f;
    return 0.075f + 0.40f * std::pow(std::sin(PI * std::pow(t, 0.72f)), 0.85f) * (1.0f - 0.2f * t);
}

Rgba Water(float u, float v) {
    Rgba c = Mix(RgbHex(0x124A74), RgbHex(0x020818), std::pow(v, 0.8f));
    // Shafts of light from the surface, repeating across the picture.
    const float shafts = std::pow(0.5f + 0.5f * std::sin(2 * PI * (5 * u + 0.6f * v)), 6.0f) +
                         0.6f * std::pow(0.5f + 0.5f * std::sin(2 * PI * (3 * u - 0.4f * v) + 1.3f), 8.0f);
    c = Add(c, Scale(RgbHex(0x3A8AB0), shafts * 0.15f * (1.0f - v)));
    const float n1 = 1.0f - std::fabs(FractalNoise(u, v, 6, 3, 71));
    const float n2 = 1.0f - std::fabs(FractalNoise(u, v, 9, 3, 72));
    const float caustic = std::pow(n1, 10.0f) + std::pow(n2, 10.0f);
    return Add(c, Scale(RgbHex(0x7FD4F0), caustic * 0.16f * Smoothstep(0.8f, 0.1f, v)));
}

// Bands of white edged with black, slightly curved like the real fish's.
float BandCoverage(float x, float y, float centre, float halfWidth) {
    return std::fabs(x - (centre + 0.35f * y * y)) < halfWidth ? 1.0f : 0.0f;
}

Rgba BodyColour(float x, float y, float t, float half) {
    const float centre = BodyCentre(t);
    const float across = (y - centre) / half;  // -1 belly .. 1 back
    Rgba c = ORANGE;
    const float bands[3][2] = {{-0.58f, 0.085f}, {0.02f, 0.10f}, {0.50f, 0.05f}};
    for (const auto& band : bands) {
        if (BandCoverage(x, y, band[0], band[1] + 0.025f)) c = INK;
        if (BandCoverage(x, y, band[0], band[1])) c = WHITE;
    }
    const float scales = 0.9f + 0.1f * CellNoise(x * 0.5f + 0.5f, y * 0.5f + 0.5f, 28, 73);
    const float light = 0.72f + 0.33f * across;
    const float rim = Smoothstep(0.0f, 0.06f, half - std::fabs(y - centre));
    c = Scale(c, light * scales * (0.55f + 0.45f * rim));
    // The eye and its glint.
    const float ex = x + 0.8f, ey = y - (centre + 0.13f);
    const float eye = std::sqrt(ex * ex + ey * ey);
    if (eye < 0.072f) c = WHITE;
    if (eye < 0.052f) c = INK;
    const float gx = ex + 0.015f, gy = ey - 0.018f;
    if (std::sqrt(gx * gx + gy * gy) < 0.014f) c = WHITE;
    // The mouth.
    if (x < -0.93f && std::fabs(y - centre + 0.06f) < 0.008f) c = INK;
    return c;
}

// Fins: orange membranes with rays and a black margin; `edge` is the distance inside the fin.
Rgba FinColour(float rayAngle, float edge) {
    const float rays = 0.8f + 0.2f * std::sin(rayAngle * 60.0f);
    Rgba c = Scale(ORANGE, 0.85f * rays);
    if (edge < 0.035f) c = INK;
    return c;
}

// The fin (if any) under (x, y): dorsal, ventral, pectoral or tail. Alpha 0 where none.
Rgba Fins(float x, float y) {
    const float t = BodyT(x);
    const float half = BodyHalfHeight(t);
    const float centre = BodyCentre(t);
    // Tail: a fan from the root whose back edge is hollow, so its lobes trail.
    if (x > 0.45f) {
        const float q = x - 0.45f;
        const float spread = 0.07f + 0.95f * q;
        const float end = 0.36f + 0.30f * std::fabs(y) / 0.5f;
        if (std::fabs(y) < spread && q < end && std::fabs(y) < 0.52f) {
            const float edge = std::min({spread - std::fabs(y), end - q, 0.52f - std::fabs(y)});
            Rgba c = FinColour(std::atan2(y, q), edge);
            if (q < 0.05f) c = INK;  // the black band at the tail's root
            return c;
        }
    }
    if (half > 0) {
        // Dorsal fin, swept back, over the middle of the back.
        const float d = (t - 0.30f) / 0.5f;
        if (d > 0 && d < 1) {
            const float height = 0.26f * std::pow(std::sin(PI * d), 0.6f) * (1.0f - 0.3f * d);
            const float above = y - (centre + half);
            if (above > -0.02f && above < height) {
                Rgba c = FinColour(std::atan2(above, x + 0.2f), std::min(height - above, 0.5f));
                return c;
            }
        }
        const float w = (t - 0.55f) / 0.3f;
        if (w > 0 && w < 1) {
            const float depth = 0.16f * std::pow(std::sin(PI * w), 0.7f);
            const float below = (centre - half) - y;
            if (below > -0.02f && below < depth) return FinColour(std::atan2(below, x), depth - below);
        }
    }
    return {0, 0, 0, 0};
}

Rgba FishPicture(float u, float v) {
    Rgba c = Water(u, v);
    // Bubbles drifting up from the fish's mouth.
    const float bubbles[5][3] = {{0.10f, 0.40f, 0.018f},
                                 {0.08f, 0.31f, 0.013f},
                                 {0.115f, 0.22f, 0.022f},
                                 {0.09f, 0.12f, 0.010f},
                                 {0.13f, 0.05f, 0.016f}};
    for (const auto& b : bubbles) {
        const float d = std::sqrt((u - b[0]) * (u - b[0]) + (v - b[1]) * (v - b[1]));
        if (d < b[2]) {
            const float ring = Smoothstep(b[2] * 0.6f, b[2], d);
            c = Add(c, Scale(RgbHex(0x9AD8F0), 0.15f + 0.55f * ring));
        }
    }
    const float x = (u - 0.5f) / FISH_SCALE + 0.05f;
    const float y = (0.5f - v) / FISH_SCALE;
    const Rgba fin = Fins(x, y);
    if (fin.a > 0) c = Mix(c, fin, 0.92f);
    const float t = BodyT(x);
    const float half = BodyHalfHeight(t);
    if (half > 0 && std::fabs(y - BodyCentre(t)) < half) c = BodyColour(x, y, t, half);
    // Pectoral fin, a pale translucent paddle on the flank.
    const float px = x + 0.48f, py = y + 0.08f;
    const float pa = std::atan2(py, px);
    const float pr = std::sqrt(px * px + py * py);
    if (px > 0 && pr < 0.2f + 0.04f * std::cos(pa * 3) && std::fabs(pa + 0.35f) < 0.55f)
        c = Mix(c, Scale(ORANGE, 1.1f), 0.55f);
    return c;
}

}  // namespace

Image PaintFish() { return PaintImage(FISH_SIZE, FISH_SIZE, 2, FishPicture); }
