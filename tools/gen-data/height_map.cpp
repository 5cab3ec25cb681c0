#include "height_map.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "image.h"
#include "noise.h"

namespace {

constexpr float FLOOR_HEIGHT = 160.0f;  // 16 units: the fountain's foot stands just above it
constexpr float RIM_HEIGHT = 226.0f;
constexpr float SLOPE_FALLOFF = 44.0f;  // cells over which the flank drops to a third

// Offsets from the vent, the shorter way round the repeating map.
float WrappedOffset(int from, int to) {
    int d = to - from;
    if (d > MAP_SIZE / 2) d -= MAP_SIZE;
    if (d < -MAP_SIZE / 2) d += MAP_SIZE;
    return float(d);
}

float RollingGround(float u, float v) {
    return 34.0f + 26.0f * FractalNoise(u, v, 4, 7, 11) + 8.0f * FractalNoise(u, v, 16, 4, 12);
}

// The cone above the ground: crater bowl inside the rim, concave flanks outside it.
float Volcano(float distance, float angle, float ground) {
    const float turn = angle / (2.0f * std::numbers::pi_v<float>);
    // The rim is not a perfect circle and dips on one side, as real craters do.
    const float rimRadius = CRATER_RIM_RADIUS + 2.0f * GradientNoise(turn * 6.0f, 0.5f, 6, 1, 21);
    const float rimHeight = RIM_HEIGHT + 12.0f * GradientNoise(turn * 4.0f, 0.5f, 4, 1, 22) -
                            14.0f * Smoothstep(0.6f, 1.0f, std::cos(angle - 2.2f));
    if (distance < rimRadius) {
        const float wall = std::pow(Smoothstep(CRATER_FLOOR_RADIUS, rimRadius, distance), 1.4f);
        return Mix(FLOOR_HEIGHT, rimHeight, wall);
    }
    const float flank = std::exp(-(distance - rimRadius) / SLOPE_FALLOFF);
    // Gullies run down the flanks: noise stretched along the fall line.
    const float gullies = GradientNoise(turn * 40.0f, distance / 14.0f, 40, 64, 23) +
                          0.5f * GradientNoise(turn * 80.0f, distance / 7.0f, 80, 128, 24);
    const float cone = ground + (rimHeight - ground) * flank;
    return cone + 16.0f * gullies * flank * (1.0f - flank) * 2.0f;
}

}  // namespace

std::vector<float> BuildHeightField() {
    std::vector<float> field(size_t(MAP_SIZE) * MAP_SIZE);
    for (int row = 0; row < MAP_SIZE; ++row) {
        for (int col = 0; col < MAP_SIZE; ++col) {
            const float u = float(row) / MAP_SIZE;
            const float v = float(col) / MAP_SIZE;
            const float ground = RollingGround(u, v);
            const float dr = WrappedOffset(CRATER_ROW, row);
            const float dc = WrappedOffset(CRATER_COLUMN, col);
            const float distance = std::sqrt(dr * dr + dc * dc);
            const float height = Volcano(distance, std::atan2(dc, dr), ground);
            const float grain = 3.0f * FractalNoise(u, v, 64, 3, 13);
            field[size_t(row) * MAP_SIZE + col] = std::clamp(height + grain, 0.0f, 255.0f);
        }
    }
    return field;
}

std::vector<uint8_t> EncodeHeightMap(const std::vector<float>& field) {
    std::vector<uint8_t> bytes(field.size());
    for (size_t i = 0; i < field.size(); ++i) bytes[i] = uint8_t(std::lround(std::clamp(field[i], 0.0f, 255.0f)));
    return bytes;
}
