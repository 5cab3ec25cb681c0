// The intro title cards and the credits cards: glowing text over a dark, tinted haze.
#include <algorithm>
#include <cmath>

#include "noise.h"
#include "pictures.h"
#include "text.h"

namespace {

constexpr int CARD_SIZE = 512;
// The image square is cut at the view's edges: keep every inked pixel inside the middle 70 %.
constexpr int SAFE_MIN = int(CARD_SIZE * 0.15f) + 8;
constexpr int SAFE_MAX = int(CARD_SIZE * 0.85f) - 8;
constexpr int SAFE_WIDTH = SAFE_MAX - SAFE_MIN;

// A line of text no wider than the safe area: rendered at `pixelSize`, smaller if it must.
Mask FittedLine(const std::string& text, const std::string& fontPath, int pixelSize, float tracking) {
    TextStyle style{fontPath, pixelSize, tracking};
    Mask mask = RenderTextLine(text, style);
    if (mask.width > SAFE_WIDTH) {
        style.pixelSize = pixelSize * SAFE_WIDTH / mask.width - 1;
        mask = RenderTextLine(text, style);
    }
    return mask;
}

void Stamp(Mask& canvas, const Mask& line, int top) {
    const int left = (canvas.width - line.width) / 2;
    for (int y = 0; y < line.height; ++y)
        for (int x = 0; x < line.width; ++x) {
            float& dst = canvas.values[size_t(top + y) * canvas.width + left + x];
            dst = std::max(dst, line.At(x, y));
        }
}

Rgba Haze(float u, float v, Rgba tint) {
    const float dx = u - 0.5f, dy = v - 0.5f;
    const float vignette = Smoothstep(0.75f, 0.15f, std::sqrt(dx * dx + dy * dy));
    const float cloud = 0.5f + 0.5f * FractalNoise(u, v, 3, 6, 81);
    const float wisps = std::pow(1.0f - std::fabs(FractalNoise(u, v, 4, 5, 82)), 6.0f);
    Rgba c = Mix(RgbHex(0x020206), Scale(tint, 0.16f), cloud * vignette);
    c = Add(c, Scale(tint, wisps * 0.12f * vignette));
    // A horizontal streak of light behind the headline.
    const float streak = std::exp(-dy * dy * 900.0f) * Smoothstep(0.5f, 0.0f, std::fabs(dx));
    return Add(c, Scale(tint, streak * 0.25f));
}

}  // namespace

Image PaintTitleCard(const CardText& text, const std::string& fontPath) {
    const Mask kicker = text.kicker.empty() ? Mask{} : FittedLine(text.kicker, fontPath, 34, 0.12f);
    const Mask headline = FittedLine(text.headline, fontPath, 112, 0.02f);
    const Mask byline = text.byline.empty() ? Mask{} : FittedLine(text.byline, fontPath, 40, 0.10f);
    constexpr int GAP = 22;
    const int ruleSpace = byline.height > 0 ? 2 * GAP : 0;
    const int total = kicker.height + (kicker.height ? GAP : 0) + headline.height + ruleSpace + byline.height;
    int top = std::max(SAFE_MIN, (CARD_SIZE - total) / 2);

    Mask ink{CARD_SIZE, CARD_SIZE, std::vector<float>(size_t(CARD_SIZE) * CARD_SIZE)};
    if (kicker.height) {
        Stamp(ink, kicker, top);
        top += kicker.height + GAP;
    }
    const int headlineTop = top;
    Stamp(ink, headline, top);
    top += headline.height;
    const int ruleY = top + GAP;
    if (byline.height) Stamp(ink, byline, top + ruleSpace);

    const Mask glow = BlurMask(ink, 7);
    const Mask wideGlow = BlurMask(ink, 20);
    Image card = PaintImage(CARD_SIZE, CARD_SIZE, 1, [&](float u, float v) { return Haze(u, v, text.tint); });
    for (int y = 0; y < CARD_SIZE; ++y) {
        for (int x = 0; x < CARD_SIZE; ++x) {
            Rgba c = card.At(x, y);
            c = Add(c, Scale(text.tint, 0.9f * glow.At(x, y) + 1.0f * wideGlow.At(x, y)));
            if (byline.height && std::abs(y - ruleY) <= 1) {
                const float along = std::fabs(float(x) - CARD_SIZE / 2.0f) / (SAFE_WIDTH * 0.4f);
                const float line = Smoothstep(1.0f, 0.2f, along) * (y == ruleY ? 1.0f : 0.35f);
                c = Add(c, Scale(Mix(text.tint, RgbHex(0xFFFFFF), 0.4f), line));
            }
            // The letters: white at the top of the headline, warming into the tint below.
            const float fall = Clamp01(float(y - headlineTop) / float(std::max(1, headline.height)));
            const Rgba fill = Mix(RgbHex(0xFFFFFF), Mix(text.tint, RgbHex(0xFFFFFF), 0.7f), fall);
            card.At(x, y) = Mix(c, fill, ink.At(x, y));
        }
    }
    return card;
}
