#include "icon.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "pictures.h"
#include "png_writer.h"

namespace {

// The part of the fish picture the icon shows, in its 0..1 coordinates: the fish from snout
// to tail with a little water around it. The picture is square, so is this.
constexpr float CROP_LEFT = 0.03f;
constexpr float CROP_TOP = 0.0f;
constexpr float CROP_SIDE = 0.92f;
// Corner radius as a share of the icon's side.
constexpr float CORNER = 0.18f;

Rgba Bilinear(const Image& image, float u, float v) {
    const float fx = std::clamp(u * float(image.width) - 0.5f, 0.0f, float(image.width - 1));
    const float fy = std::clamp(v * float(image.height) - 0.5f, 0.0f, float(image.height - 1));
    const int x0 = int(fx), y0 = int(fy);
    const int x1 = std::min(x0 + 1, image.width - 1), y1 = std::min(y0 + 1, image.height - 1);
    const float tx = fx - float(x0), ty = fy - float(y0);
    return Mix(Mix(image.At(x0, y0), image.At(x1, y0), tx), Mix(image.At(x0, y1), image.At(x1, y1), tx), ty);
}

// Is the point (s, t), 0..1 across the icon, inside the rounded square?
bool InsideRoundedSquare(float s, float t) {
    const float dx = std::max(std::max(CORNER - s, s - (1.0f - CORNER)), 0.0f);
    const float dy = std::max(std::max(CORNER - t, t - (1.0f - CORNER)), 0.0f);
    return dx * dx + dy * dy <= CORNER * CORNER;
}

bool WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return !bytes.empty() && bool(out);
}

}  // namespace

Image PaintIcon(const Image& fish, int size) {
    // Enough samples per icon pixel to cover every picture pixel under it, and at least 4 x 4
    // for smooth corners.
    const int samples = std::max(4, int(std::ceil(CROP_SIDE * float(fish.width) / float(size))));
    Image icon(size, size, {0, 0, 0, 0});
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            Rgba sum{0, 0, 0, 0};
            int inside = 0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const float s = (float(x) + (float(sx) + 0.5f) / float(samples)) / float(size);
                    const float t = (float(y) + (float(sy) + 0.5f) / float(samples)) / float(size);
                    if (!InsideRoundedSquare(s, t)) continue;
                    const Rgba c = Bilinear(fish, CROP_LEFT + s * CROP_SIDE, CROP_TOP + t * CROP_SIDE);
                    sum = Add(sum, c);
                    ++inside;
                }
            }
            if (inside == 0) continue;
            Rgba& pixel = icon.At(x, y);
            pixel = Scale(sum, 1.0f / float(inside));
            pixel.a = float(inside) / float(samples * samples);
        }
    }
    return icon;
}

bool WriteIcons(const std::filesystem::path& directory, std::span<const int> sizes) {
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    const Image fish = PaintFish();
    bool ok = true;
    for (int size : sizes) {
        const std::filesystem::path path = directory / (std::to_string(size) + ".png");
        if (!WriteBytes(path, EncodePng(PaintIcon(fish, size)))) {
            std::fprintf(stderr, "vrex-gen-data: cannot write %s\n", path.string().c_str());
            ok = false;
        }
    }
    return ok;
}
