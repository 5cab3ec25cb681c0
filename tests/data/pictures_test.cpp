// The thirteen TGA pictures: headers the demo's loader accepts, and the properties their
// scenes rely on (glow edges, seamless tiling, text kept inside the part that is shown).
#include <gtest/gtest.h>

#include <cmath>

#include "data_files.h"

namespace {

struct Tga {
    int width = 0, height = 0, bytesPerPixel = 0;
    Bytes file;
    // Channel c (0 R, 1 G, 2 B, 3 A) of pixel (x, y), y counted from the bottom row.
    int At(int x, int y, int c) const {
        const int stored = c < 3 ? 2 - c : 3;
        return file[18 + (size_t(y) * width + x) * bytesPerPixel + stored];
    }
    float Luma(int x, int y) const { return (0.3f * At(x, y, 0) + 0.59f * At(x, y, 1) + 0.11f * At(x, y, 2)) / 255.0f; }
};

Tga ReadTga(const std::string& name) {
    Tga t;
    t.file = MakeDataFile(name);
    if (t.file.size() < 18) return t;
    t.width = Le16(t.file, 12);
    t.height = Le16(t.file, 14);
    t.bytesPerPixel = t.file[16] / 8;
    return t;
}

TEST(Pictures, EveryPictureHasTheHeaderTheLoaderAcceptsAndAPowerOfTwoSize) {
    struct Case {
        const char* name;
        int side;
        int bits;
    };
    const Case cases[] = {{"grasmap.TGA", 512, 24}, {"all.TGA", 512, 24},    {"part.TGA", 256, 32},
                          {"metal.TGA", 256, 24},   {"fish.TGA", 512, 24},   {"fishmet.TGA", 256, 24},
                          {"INTRO1.TGA", 512, 24},  {"INTRO2.TGA", 512, 24}, {"coder.TGA", 512, 24},
                          {"design.TGA", 512, 24},  {"qx.TGA", 512, 24},     {"music.TGA", 512, 24},
                          {"vokra.TGA", 512, 24}};
    const Bytes prefix = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (const Case& c : cases) {
        const Tga t = ReadTga(c.name);
        ASSERT_GE(t.file.size(), 18u) << c.name;
        EXPECT_TRUE(std::equal(prefix.begin(), prefix.end(), t.file.begin())) << c.name;
        EXPECT_EQ(t.width, c.side) << c.name;
        EXPECT_EQ(t.height, c.side) << c.name;
        EXPECT_EQ(t.file[16], c.bits) << c.name;
        EXPECT_EQ(t.file[17] & 0x30, 0) << c.name << ": origin must be bottom-left";
        EXPECT_EQ(t.file.size(), 18u + size_t(c.side) * c.side * c.bits / 8) << c.name;
    }
}

TEST(Pictures, ParticleGlowIsBlackAndTransparentAtItsEdgeAndBrightInTheMiddle) {
    const Tga t = ReadTga("part.TGA");
    ASSERT_EQ(t.bytesPerPixel, 4);
    for (int i = 0; i < t.width; ++i) {
        for (auto [x, y] : {std::pair{i, 0}, std::pair{i, t.height - 1}, std::pair{0, i}, std::pair{t.width - 1, i}}) {
            ASSERT_EQ(t.At(x, y, 3), 0) << x << "," << y;
            ASSERT_EQ(t.At(x, y, 0), 0) << x << "," << y;
        }
    }
    EXPECT_GT(t.At(t.width / 2, t.height / 2, 3), 200);
    EXPECT_GT(t.At(t.width / 2, t.height / 2, 0), 200);
}

// Mean difference across the wrap-around seam against the mean between neighbouring columns
// (or rows) inside the picture: a tiling picture shows no jump there.
float SeamRatio(const Tga& t, bool across) {
    const int n = across ? t.width : t.height;
    auto diff = [&](int a, int b) {
        float sum = 0;
        for (int i = 0; i < (across ? t.height : t.width); ++i)
            sum += across ? std::fabs(t.Luma(a, i) - t.Luma(b, i)) : std::fabs(t.Luma(i, a) - t.Luma(i, b));
        return sum;
    };
    float inside = 0;
    for (int k = 0; k + 1 < n; ++k) inside += diff(k, k + 1);
    return diff(n - 1, 0) / (inside / float(n - 1));
}

TEST(Pictures, RepeatingPicturesHaveNoSeamWhereTheyWrap) {
    struct Case {
        const char* name;
        bool leftRight, topBottom;
    };
    const Case cases[] = {{"grasmap.TGA", true, true}, {"all.TGA", true, false}, {"metal.TGA", true, false}};
    for (const Case& c : cases) {
        const Tga t = ReadTga(c.name);
        if (c.leftRight) {
            EXPECT_LT(SeamRatio(t, true), 2.0f) << c.name << " left to right";
        }
        if (c.topBottom) {
            EXPECT_LT(SeamRatio(t, false), 2.0f) << c.name << " top to bottom";
        }
    }
}

TEST(Pictures, CardTextStaysInsideTheMiddleSeventyPercent) {
    for (const char* name :
         {"INTRO1.TGA", "INTRO2.TGA", "coder.TGA", "design.TGA", "qx.TGA", "music.TGA", "vokra.TGA"}) {
        const Tga t = ReadTga(name);
        const int lo = t.width * 15 / 100, hi = t.width * 85 / 100;
        float outside = 0, inside = 0;
        for (int y = 0; y < t.height; ++y) {
            for (int x = 0; x < t.width; ++x) {
                const bool middle = x >= lo && x < hi && y >= lo && y < hi;
                (middle ? inside : outside) = std::max(middle ? inside : outside, t.Luma(x, y));
            }
        }
        EXPECT_GT(inside, 0.9f) << name << ": the letters are white-hot";
        EXPECT_LT(outside, 0.45f) << name << ": nothing bright near the cut edges";
    }
}

TEST(Pictures, FishIsDarkEnoughToBeAddedTwice) {
    const Tga t = ReadTga("fish.TGA");
    double sum = 0;
    for (int y = 0; y < t.height; ++y)
        for (int x = 0; x < t.width; ++x) sum += t.Luma(x, y);
    const double mean = sum / (double(t.width) * t.height);
    EXPECT_GT(mean, 0.1);
    EXPECT_LT(mean, 0.4);
}

}  // namespace
