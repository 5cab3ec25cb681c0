// The two skin pictures of the model. u (across) runs along each body part, v (up the picture
// from its bottom row) runs round it, with the back at v = 0.5: the light is baked in from
// above, because the model scene draws the model unlit.
#include <algorithm>
#include <cmath>

#include "dinosaurs.h"
#include "noise.h"

namespace {

constexpr int SKIN_SIZE = 256;
const Rgba CLAW = RgbHex(0xEDE4CC);

// 1 along the back, 0 under the belly.
float Topside(float v) { return 0.5f - 0.5f * std::cos(v * 2.0f * 3.14159265f); }

float BakedLight(float top) { return 0.45f + 0.6f * top; }

Rgba SauropodSkin(float u, float pictureV) {
    if (u >= CLAW_PATCH_U) return CLAW;
    const float v = 1.0f - pictureV;  // painters count rows from the top, texture v from the bottom
    const float top = Topside(v);
    const float mottle = FractalNoise(u, v, 6, 5, 91);
    const float scales = CellNoise(u, v, 48, 92);
    Rgba skin = Mix(RgbHex(0xD4C49A), RgbHex(0x7A8A5C), Smoothstep(0.15f, 0.45f, top));  // pale belly
    skin = Mix(skin, RgbHex(0x4A5A3A), Smoothstep(0.1f, 0.5f, mottle) * Smoothstep(0.4f, 0.8f, top));
    // Faint bands across the back.
    const float bands = Smoothstep(0.3f, 0.8f, std::sin(u * 40.0f + 3.0f * mottle)) * Smoothstep(0.65f, 0.95f, top);
    skin = Mix(skin, RgbHex(0x3C4630), bands * 0.6f);
    return Scale(skin, BakedLight(top) * (0.82f + 0.25f * scales));
}

// The theropod's pigment: 0 pale belly, 0.5 rust, 1 dark stripe.
float TheropodPigment(float u, float v) {
    const float top = Topside(v);
    const float wobble = FractalNoise(u, v, 4, 4, 95);
    float pigment = 0.5f * Smoothstep(0.1f, 0.4f, top + 0.1f * wobble);
    const float stripe = Smoothstep(0.55f, 0.8f, std::sin(u * 55.0f + 4.0f * wobble + 2.0f * top));
    return pigment + 0.5f * stripe * Smoothstep(0.35f, 0.7f, top);
}

Rgba TheropodPigmentColour(float pigment) {
    if (pigment < 0.5f) return Mix(RgbHex(0xE0C8A0), RgbHex(0xA85A2A), pigment * 2.0f);
    return Mix(RgbHex(0xA85A2A), RgbHex(0x2A1410), (pigment - 0.5f) * 2.0f);
}

constexpr int PIGMENTS = 14;  // palette rows: pigment levels ...
constexpr int LIGHTS = 16;    // ... each in this many brightness steps
constexpr int CLAW_FIRST = PIGMENTS * LIGHTS;

}  // namespace

Image PaintSauropodSkin() { return PaintImage(SKIN_SIZE, SKIN_SIZE, 2, SauropodSkin); }

IndexedImage PaintTheropodSkin() {
    // The palette is pigment x light, so the picture is built from indices directly: no
    // colour search, and long equal runs for the run-length encoding.
    IndexedImage image;
    image.width = image.height = SKIN_SIZE;
    image.indices.resize(size_t(SKIN_SIZE) * SKIN_SIZE);
    for (int p = 0; p < PIGMENTS; ++p)
        for (int l = 0; l < LIGHTS; ++l)
            image.palette[p * LIGHTS + l] =
                Scale(TheropodPigmentColour(float(p) / (PIGMENTS - 1)), BakedLight(float(l) / (LIGHTS - 1)));
    for (int l = 0; CLAW_FIRST + l < 256; ++l)
        image.palette[CLAW_FIRST + l] = Scale(CLAW, 0.7f + 0.3f * float(l) / 31.0f);
    for (int y = 0; y < SKIN_SIZE; ++y) {
        for (int x = 0; x < SKIN_SIZE; ++x) {
            const float u = (float(x) + 0.5f) / SKIN_SIZE;
            const float v = 1.0f - (float(y) + 0.5f) / SKIN_SIZE;
            uint8_t index;
            if (u >= CLAW_PATCH_U) {
                index = uint8_t(255);
            } else {
                const float pigment = TheropodPigment(u, v);
                const float light = Topside(v) * (0.9f + 0.1f * CellNoise(u, v, 40, 96));
                const int p = std::min(PIGMENTS - 1, int(pigment * (PIGMENTS - 1) + 0.5f));
                const int l = std::min(LIGHTS - 1, int(light * (LIGHTS - 1) + 0.5f));
                index = uint8_t(p * LIGHTS + l);
            }
            image.indices[size_t(y) * SKIN_SIZE + x] = index;
        }
    }
    return image;
}
