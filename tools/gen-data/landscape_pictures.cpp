// The volcano's ground texture and the sky-and-mountains backdrop.
#include <algorithm>
#include <cmath>

#include "height_map.h"
#include "noise.h"
#include "pictures.h"

namespace {

constexpr int GROUND_SIZE = 512;
constexpr int BACKDROP_SIZE = 512;

float HeightAt(const std::vector<float>& field, int row, int col) {
    row = (row % MAP_SIZE + MAP_SIZE) % MAP_SIZE;
    col = (col % MAP_SIZE + MAP_SIZE) % MAP_SIZE;
    return field[size_t(row) * MAP_SIZE + col];
}

float WrappedDistance(int row, int col) {
    auto offset = [](int from, int to) {
        int d = to - from;
        if (d > MAP_SIZE / 2) d -= MAP_SIZE;
        if (d < -MAP_SIZE / 2) d += MAP_SIZE;
        return float(d);
    };
    const float dr = offset(CRATER_ROW, row);
    const float dc = offset(CRATER_COLUMN, col);
    return std::sqrt(dr * dr + dc * dc);
}

// Light falls from the left, high, and toward the still view's viewer (terrain +z), so the
// slopes the camera sees are lit and the far sides of ridges fall into shade.
float HillShade(float slopeX, float slopeZ) {
    const float lx = -0.45f, ly = 0.75f, lz = 0.48f;
    const float len = std::sqrt(slopeX * slopeX + 1.0f + slopeZ * slopeZ);
    const float lit = std::max(0.0f, (-slopeX * lx + ly - slopeZ * lz) / len);
    return 0.2f + 0.85f * lit / ly;
}

Rgba GroundColour(const std::vector<float>& field, int x, int y) {
    // Texture column x is terrain x, texture row y is terrain z (t = -z / 512 wraps that way);
    // terrain point (x, z) takes map row x - 1, column z - 1.
    const int row = x - 1;
    const int col = y - 1;
    const float u = float(x) / GROUND_SIZE;
    const float v = float(y) / GROUND_SIZE;
    const float h = HeightAt(field, row, col);
    const float slopeX = (HeightAt(field, row + 1, col) - HeightAt(field, row - 1, col)) / 20.0f;
    const float slopeZ = (HeightAt(field, row, col + 1) - HeightAt(field, row, col - 1)) / 20.0f;
    const float slope = std::sqrt(slopeX * slopeX + slopeZ * slopeZ);
    const float distance = WrappedDistance(row, col);

    const float patches = FractalNoise(u, v, 8, 5, 31);
    const float detail = FractalNoise(u, v, 64, 3, 32);
    Rgba grass = Mix(RgbHex(0x34441A), RgbHex(0x6A7A2C), Clamp01(0.5f + 0.8f * patches));
    grass = Mix(grass, RgbHex(0x7A6A3E), Smoothstep(55.0f, 85.0f, h + 20.0f * patches));          // dry uplands
    Rgba colour = Mix(grass, RgbHex(0x5C554C), Smoothstep(0.18f, 0.45f, slope + 0.1f * detail));  // rock
    // Ash lies thick near the crater and runs down the flanks in streaks.
    const float turn = std::atan2(float(col - CRATER_COLUMN), float(row - CRATER_ROW)) / 6.2831853f;
    const float streaks = GradientNoise(turn * 24.0f, distance / 40.0f, 24, 64, 35);
    const float ash = Smoothstep(70.0f, 18.0f, distance + 18.0f * FractalNoise(u, v, 16, 4, 33) - 40.0f * streaks);
    colour = Mix(colour, Mix(RgbHex(0x2A2624), RgbHex(0x3C3632), Clamp01(0.5f + detail)), ash);
    // The crater floor: black crust split by glowing cracks.
    const float floor = Smoothstep(CRATER_FLOOR_RADIUS + 3.0f, CRATER_FLOOR_RADIUS - 1.0f, distance);
    const float crack = Smoothstep(0.82f, 0.97f, 1.0f - std::fabs(FractalNoise(u, v, 64, 2, 34)));
    colour = Mix(colour, RgbHex(0x140E0C), floor);
    colour = Scale(colour, (0.85f + 0.3f * detail) * HillShade(slopeX, slopeZ));
    return Add(colour, Scale(RgbHex(0xFF5A10), floor * crack * 0.9f));
}

// Sky colour at height s above the horizon (0 at the horizon, 1 at the top of the picture).
Rgba SkyColour(float s) {
    const Rgba horizon = RgbHex(0xF08A3C), low = RgbHex(0xA83A34), high = RgbHex(0x3A1E4E), zenith = RgbHex(0x0C0A22);
    if (s < 0.12f) return Mix(horizon, low, s / 0.12f);
    if (s < 0.45f) return Mix(low, high, (s - 0.12f) / 0.33f);
    return Mix(high, zenith, Clamp01((s - 0.45f) / 0.55f));
}

// Three ranges of mountains, the farther paler in the haze.
struct Range {
    float base, amplitude;
    int period;
    uint32_t seed;
    uint32_t tone;
    float haze;
};
constexpr Range RANGES[] = {{0.10f, 0.50f, 3, 51, 0x6A3A52, 0.55f},
                            {0.05f, 0.32f, 4, 52, 0x3A2034, 0.30f},
                            {0.00f, 0.17f, 7, 53, 0x1A1016, 0.08f}};
constexpr int RANGE_COUNT = 3;
constexpr int RIDGE_SAMPLES = 2048;  // ridge heights across the picture, looked up, not recomputed

// Height of a mountain ridge above the horizon at u (fraction of the sky's height).
float Ridge(float u, const Range& r) {
    const float n = FractalNoise(u, 0.37f, r.period, 6, r.seed);
    return r.base + r.amplitude * (0.5f + 0.5f * n) * (0.6f + 0.4f * std::fabs(n));
}

struct RidgeTable {
    std::vector<float> tops[RANGE_COUNT];
    RidgeTable() {
        for (int r = 0; r < RANGE_COUNT; ++r) {
            tops[r].resize(RIDGE_SAMPLES);
            for (int i = 0; i < RIDGE_SAMPLES; ++i) tops[r][i] = Ridge(float(i) / RIDGE_SAMPLES, RANGES[r]);
        }
    }
    float At(int r, float u) const {
        const float f = u * RIDGE_SAMPLES;
        const int i = int(f);
        const float t = f - float(i);
        return Mix(tops[r][i % RIDGE_SAMPLES], tops[r][(i + 1) % RIDGE_SAMPLES], t);
    }
};

Rgba BackdropColour(const RidgeTable& ridges, float u, float v) {
    // The walls show t = 0..1 from y = -350 to 350; from the still view the terrain's far edge
    // hides the wall below about t = 0.42 to 0.47, so the horizon sits just below that (v measured downwards).
    constexpr float HORIZON = 0.58f;
    const float above = (HORIZON - v) / HORIZON;  // 0 at the horizon, 1 at the top
    Rgba colour;
    if (above >= 0) {
        colour = SkyColour(above);
        const float band = Smoothstep(0.05f, 0.25f, above) * Smoothstep(0.9f, 0.45f, above);
        if (band > 0) {
            const float cloud = Smoothstep(0.05f, 0.6f, StretchedNoise(u, v, 3, 24, 5, 41)) * band;
            colour =
                Mix(colour, Mix(RgbHex(0xFFB070), RgbHex(0x5A2A48), Smoothstep(0.15f, 0.7f, above)), cloud * 0.55f);
        }
        // A few faint stars high up.
        const float night = Smoothstep(0.55f, 0.9f, above);
        if (night > 0) {
            const float star = 1.0f - CellNoise(u, v, 96, 42) * 9.0f;
            colour = Add(colour, Scale(RgbHex(0xFFF4E0), Clamp01(star) * night * 0.8f));
        }
    } else {
        colour = Mix(RgbHex(0x3A2420), RgbHex(0x120C0C), Smoothstep(0.0f, 0.35f, -above));
    }
    for (int i = 0; i < RANGE_COUNT; ++i) {
        const Range& r = RANGES[i];
        const float top = ridges.At(i, u);
        const float inside = Smoothstep(top + 0.003f, top - 0.003f, above);
        if (inside <= 0) continue;
        const float depth = Clamp01((top - above) / std::max(0.02f, top + 0.05f));
        Rgba rock = Mix(RgbHex(r.tone), SkyColour(0.02f), r.haze * (1.0f - 0.5f * depth));
        rock = Scale(rock, 0.85f + 0.3f * FractalNoise(u, v, 24, 4, r.seed + 10));
        colour = Mix(colour, rock, inside);
    }
    return colour;
}

}  // namespace

Image PaintGroundTexture(const std::vector<float>& heightField) {
    Image image(GROUND_SIZE, GROUND_SIZE);
    for (int y = 0; y < GROUND_SIZE; ++y)
        for (int x = 0; x < GROUND_SIZE; ++x) image.At(x, y) = GroundColour(heightField, x, y);
    return image;
}

Image PaintBackdrop() {
    const RidgeTable ridges;
    return PaintImage(BACKDROP_SIZE, BACKDROP_SIZE, 2, [&](float u, float v) { return BackdropColour(ridges, u, v); });
}
