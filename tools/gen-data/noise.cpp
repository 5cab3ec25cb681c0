#include "noise.h"

#include <cmath>

static uint32_t HashCell(int x, int y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 0x8DA6B343u ^ uint32_t(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

static int Wrap(int i, int period) { return ((i % period) + period) % period; }

static float Fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

static float CornerDot(int cx, int cy, float dx, float dy, int periodX, int periodY, uint32_t seed) {
    // Sixteen fixed directions instead of trigonometry keep the result exact and cheap.
    static constexpr float DIRS[16][2] = {
        {1.0f, 0.0f},  {0.9239f, 0.3827f},   {0.7071f, 0.7071f},   {0.3827f, 0.9239f},
        {0.0f, 1.0f},  {-0.3827f, 0.9239f},  {-0.7071f, 0.7071f},  {-0.9239f, 0.3827f},
        {-1.0f, 0.0f}, {-0.9239f, -0.3827f}, {-0.7071f, -0.7071f}, {-0.3827f, -0.9239f},
        {0.0f, -1.0f}, {0.3827f, -0.9239f},  {0.7071f, -0.7071f},  {0.9239f, -0.3827f}};
    const float* g = DIRS[HashCell(Wrap(cx, periodX), Wrap(cy, periodY), seed) & 15];
    return g[0] * dx + g[1] * dy;
}

float GradientNoise(float x, float y, int periodX, int periodY, uint32_t seed) {
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const int ix = int(fx);
    const int iy = int(fy);
    const float dx = x - fx;
    const float dy = y - fy;
    const float n00 = CornerDot(ix, iy, dx, dy, periodX, periodY, seed);
    const float n10 = CornerDot(ix + 1, iy, dx - 1, dy, periodX, periodY, seed);
    const float n01 = CornerDot(ix, iy + 1, dx, dy - 1, periodX, periodY, seed);
    const float n11 = CornerDot(ix + 1, iy + 1, dx - 1, dy - 1, periodX, periodY, seed);
    const float u = Fade(dx);
    const float v = Fade(dy);
    const float a = n00 + (n10 - n00) * u;
    const float b = n01 + (n11 - n01) * u;
    return a + (b - a) * v;
}

float StretchedNoise(float u, float v, int periodU, int periodV, int octaves, uint32_t seed) {
    float sum = 0;
    float weight = 1.0f;
    float total = 0;
    for (int o = 0; o < octaves; ++o) {
        sum +=
            weight * GradientNoise(u * float(periodU), v * float(periodV), periodU, periodV, seed + uint32_t(o) * 101u);
        total += weight;
        weight *= 0.5f;
        periodU *= 2;
        periodV *= 2;
    }
    return sum / total * 1.6f;
}

float FractalNoise(float u, float v, int basePeriod, int octaves, uint32_t seed) {
    return StretchedNoise(u, v, basePeriod, basePeriod, octaves, seed);
}

float CellNoise(float u, float v, int cells, uint32_t seed) {
    const float x = u * float(cells);
    const float y = v * float(cells);
    const int ix = int(std::floor(x));
    const int iy = int(std::floor(y));
    float best = 4.0f;
    for (int oy = -1; oy <= 1; ++oy) {
        for (int ox = -1; ox <= 1; ++ox) {
            const int cx = ix + ox;
            const int cy = iy + oy;
            const uint32_t h = HashCell(Wrap(cx, cells), Wrap(cy, cells), seed);
            const float px = float(cx) + float(h & 0xFFFF) / 65536.0f;
            const float py = float(cy) + float(h >> 16) / 65536.0f;
            const float d = std::sqrt((px - x) * (px - x) + (py - y) * (py - y));
            if (d < best) best = d;
        }
    }
    return best;
}
