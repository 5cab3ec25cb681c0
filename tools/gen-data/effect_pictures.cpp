// The particle glow, the brushed metal of the tube and the chrome sphere map of the star.
#include <algorithm>
#include <cmath>

#include "noise.h"
#include "pictures.h"

namespace {

constexpr int GLOW_SIZE = 256;
constexpr int METAL_SIZE = 256;
constexpr int CHROME_SIZE = 256;

Rgba GlowColour(float u, float v) {
    const float dx = (u - 0.5f) * 2.0f;
    const float dy = (v - 0.5f) * 2.0f;
    const float r = std::sqrt(dx * dx + dy * dy);
    // A hot core inside a wide halo, forced to zero before the square's edge so the sprites
    // never show their corners.
    const float core = std::exp(-r * r * 18.0f);
    const float halo = 1.0f / (1.0f + r * r * 14.0f) - 1.0f / 15.0f;
    const float glow = Clamp01((0.75f * core + 0.45f * std::max(0.0f, halo)) * Smoothstep(1.0f, 0.8f, r));
    const Rgba warm = Mix(RgbHex(0xFFB060), RgbHex(0xFFFFF0), core);
    return {warm.r * glow, warm.g * glow, warm.b * glow, glow};
}

Rgba MetalColour(float u, float v) {
    // Grain runs around the tube (along u), as on turned metal; u repeats so the seam vanishes.
    const float grain = StretchedNoise(u, v, 2, 192, 3, 61);
    const float fine = StretchedNoise(u, v, 4, 512, 2, 62);
    float level = 0.2f + 0.07f * grain + 0.04f * fine;
    level += 0.06f * FractalNoise(u, v, 4, 3, 63);  // slow clouding
    // Soft vertical glints that sweep by as the tube turns.
    for (float centre : {0.18f, 0.62f}) {
        float d = std::fabs(u - centre);
        d = std::min(d, 1.0f - d);
        level += 0.32f * std::exp(-d * d * 900.0f) + 0.12f * std::exp(-d * d * 60.0f);
    }
    // Panel seams with rivets every quarter of the height.
    const float band = std::fmod(v * 4.0f, 1.0f);
    const float seam = std::exp(-std::pow((band - 0.02f) * 90.0f, 2.0f));
    const float lip = std::exp(-std::pow((band - 0.05f) * 90.0f, 2.0f));
    level = level * (1.0f - 0.7f * seam) + 0.12f * lip;
    const float rx = std::fmod(u * 24.0f, 1.0f) - 0.5f;
    const float ry = (band - 0.12f) * 24.0f;
    const float rivet = std::sqrt(rx * rx + ry * ry);
    if (rivet < 0.22f) level = 0.12f + 0.35f * Clamp01(0.6f - (rx + ry) * 1.8f);
    const Rgba tint = RgbHex(0xB8C8E0);
    return Scale(tint, level * 1.15f);
}

// The world the chrome reflects: a teal sky, a bright horizon and dark warm ground.
Rgba ChromeWorld(float dx, float dy, float dz) {
    const float elevation = dy;
    Rgba c;
    if (elevation > 0) {
        c = Mix(RgbHex(0xCFEFFF), RgbHex(0x1E4C8A), std::pow(elevation, 0.6f));
        // Clouds painted on the sky dome, seen through a flat projection of the direction.
        const float clouds = FractalNoise(0.5f + 0.25f * dx / (0.3f + dy), 0.5f + 0.25f * dz / (0.3f + dy), 4, 4, 64);
        c = Mix(c, RgbHex(0xF4F8FF), Smoothstep(0.1f, 0.6f, clouds) * 0.6f);
    } else {
        c = Mix(RgbHex(0x6A5038), RgbHex(0x140E0A), std::pow(-elevation, 0.5f));
        const float rings = 0.5f + 0.5f * std::sin(-elevation * 40.0f);
        c = Scale(c, 0.85f + 0.15f * rings);
    }
    const float horizon = std::exp(-elevation * elevation * 400.0f);
    c = Add(c, Scale(RgbHex(0xFFF0D8), horizon * 0.9f));
    // A sun up and to the left makes the highlight.
    const float sx = -0.45f, sy = 0.65f, sz = 0.61f;
    const float sun = std::max(0.0f, dx * sx + dy * sy + dz * sz);
    return Add(c, Scale(RgbHex(0xFFFFFF), std::pow(sun, 60.0f) * 1.5f));
}

Rgba ChromeColour(float u, float v) {
    // Sphere mapping looks up the eye-space reflection r at s = rx / m + 1/2, t = ry / m + 1/2
    // with m = 2 sqrt(rx^2 + ry^2 + (rz + 1)^2): the picture is a mirror ball seen from afar.
    const float x = u * 2.0f - 1.0f;
    const float y = (1.0f - v) * 2.0f - 1.0f;
    float r2 = x * x + y * y;
    if (r2 > 1.0f) r2 = 1.0f;  // outside the ball: the rim's colour, so filtering never finds black
    const float scale = r2 > 0 ? std::sqrt(r2) / std::sqrt(x * x + y * y) : 1.0f;
    const float nx = x * scale, ny = y * scale, nz = std::sqrt(std::max(0.0f, 1.0f - r2));
    // Reflect the view direction (0, 0, -1) about the normal.
    const float rx = 2.0f * nz * nx, ry = 2.0f * nz * ny, rz = 2.0f * nz * nz - 1.0f;
    return ChromeWorld(rx, ry, rz);
}

}  // namespace

Image PaintParticleGlow() { return PaintImage(GLOW_SIZE, GLOW_SIZE, 2, GlowColour); }

Image PaintBrushedMetal() { return PaintImage(METAL_SIZE, METAL_SIZE, 2, MetalColour); }

Image PaintChromeMap() { return PaintImage(CHROME_SIZE, CHROME_SIZE, 3, ChromeColour); }
