// The desktop icon: PNG files a desktop can read back exactly, and icons that are the fish
// picture inside a rounded square at every size.
#include <gtest/gtest.h>

#include <png.h>

#include <cmath>

#include "icon.h"
#include "pictures.h"
#include "png_writer.h"

namespace {

struct Decoded {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;  // top row first
};

Decoded DecodePng(const Bytes& file) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Decoded out;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return out;
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return out;
    out.width = int(image.width);
    out.height = int(image.height);
    out.rgba = std::move(pixels);
    return out;
}

// The fish is painted once: it is the slowest picture of the set.
const Image& Fish() {
    static const Image fish = PaintFish();
    return fish;
}

float Luma(const Rgba& c) { return 0.3f * c.r + 0.59f * c.g + 0.11f * c.b; }

TEST(Png, EveryPixelReadsBackAsWrittenWhateverTheShape) {
    struct Case {
        int width, height;
    };
    for (const Case c : {Case{1, 1}, Case{3, 2}, Case{2, 5}, Case{17, 9}}) {
        Image image(c.width, c.height);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                image.At(x, y) = {float(x) / float(c.width), float(y) / float(c.height), 0.5f, float(x + y) / 30.0f};
        const Decoded back = DecodePng(EncodePng(image));
        ASSERT_EQ(back.width, c.width);
        ASSERT_EQ(back.height, c.height);
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                const Rgba& p = image.At(x, y);
                const uint8_t* got = &back.rgba[(size_t(y) * c.width + x) * 4];
                EXPECT_EQ(got[0], RoundChannel(p.r)) << c.width << "x" << c.height << " at " << x << "," << y;
                EXPECT_EQ(got[1], RoundChannel(p.g)) << c.width << "x" << c.height << " at " << x << "," << y;
                EXPECT_EQ(got[2], RoundChannel(p.b)) << c.width << "x" << c.height << " at " << x << "," << y;
                EXPECT_EQ(got[3], RoundChannel(p.a)) << c.width << "x" << c.height << " at " << x << "," << y;
            }
        }
    }
}

TEST(Icon, EverySizeIsTheFishInARoundedSquare) {
    for (int size : {16, 22, 32, 48, 256}) {
        const Image icon = PaintIcon(Fish(), size);
        ASSERT_EQ(icon.width, size);
        ASSERT_EQ(icon.height, size);
        const int last = size - 1, middle = size / 2;
        for (auto [x, y] : {std::pair{0, 0}, {last, 0}, {0, last}, {last, last}})
            EXPECT_LT(icon.At(x, y).a, 0.1f) << size << ": corner " << x << "," << y << " is not cut away";
        for (auto [x, y] : {std::pair{middle, 0}, {0, middle}, {last, middle}, {middle, last}, {middle, middle}})
            EXPECT_EQ(icon.At(x, y).a, 1.0f) << size << ": edge or middle " << x << "," << y << " is not opaque";
        // The four corners are cut alike.
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                ASSERT_EQ(icon.At(x, y).a, icon.At(last - x, last - y).a) << size << " at " << x << "," << y;
    }
}

TEST(Icon, SmallAndLargeIconsShowTheSamePicture) {
    // Each small pixel averages the large icon's pixels under it: a sampling or cropping slip
    // at one size moves its colours away from the other.
    const Image large = PaintIcon(Fish(), 256);
    for (int size : {16, 32, 64}) {  // sides that divide 256, so each pixel covers whole pixels
        const Image small = PaintIcon(Fish(), size);
        const int scale = 256 / size;
        double worst = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                if (small.At(x, y).a < 1.0f) continue;  // the corners cut differently at each size
                Rgba sum{0, 0, 0, 0};
                for (int sy = 0; sy < scale; ++sy)
                    for (int sx = 0; sx < scale; ++sx) sum = Add(sum, large.At(x * scale + sx, y * scale + sy));
                const float expected = Luma(sum) / float(scale * scale);
                worst = std::max(worst, double(std::fabs(Luma(small.At(x, y)) - expected)));
            }
        }
        EXPECT_LT(worst, 0.08) << size;
    }
}

}  // namespace
