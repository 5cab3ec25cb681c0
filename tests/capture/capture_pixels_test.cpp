// Pixels of frames captured from the real show: the clear colour, the fish image's centre
// and orientation, and the opaque star over the additive overlay.
#include <gtest/gtest.h>

#include "tests/capture/captured_frames.h"

namespace {

constexpr int CENTRE_X = 400;
constexpr int CENTRE_Y = 300;

class CapturedFrames : public testing::Test {
protected:
    void SetUp() override {
        if (std::string missing = MissingData(); !missing.empty()) GTEST_SKIP() << missing;
    }
};

TEST_F(CapturedFrames, ShowOpensOnTheClearColourThenTheFishThenTheStar) {
    for (int frame : {0, 1, 4286}) {
        ASSERT_EQ(ShowFrame(frame).width, 800) << frame;
        ASSERT_EQ(ShowFrame(frame).height, 600) << frame;
    }

    // Frame 0 draws no scene: only the clear colour, black.
    const Picture& first = ShowFrame(0);
    for (int y = 0; y < 600; y += 7)
        for (int x = 0; x < 800; x += 7) ASSERT_EQ(first.At(x, y), (Rgb{0, 0, 0})) << x << "," << y;

    // Frame 1: the fish square fills the view, lit white: its blue centre in the middle, its
    // quadrants the right way up (t = 0 at the bottom, s = 0 at the left).
    const Picture& fish = ShowFrame(1);
    EXPECT_EQ(fish.At(CENTRE_X, CENTRE_Y), (Rgb{0, 0, 255}));
    EXPECT_EQ(fish.At(150, 100), (Rgb{255, 255, 0}));  // top left
    EXPECT_EQ(fish.At(650, 100), (Rgb{255, 0, 255}));  // top right
    EXPECT_EQ(fish.At(150, 500), (Rgb{255, 0, 0}));    // bottom left
    EXPECT_EQ(fish.At(650, 500), (Rgb{0, 255, 0}));    // bottom right

    // Frame 4286: the plain green star is opaque and depth-tested over an overlay that wrote
    // no depth: where it stands (its sphere is always in the middle) no red of the fish
    // shows through, while the overlay's colours show elsewhere.
    const Picture& star = ShowFrame(4286);
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx) {
            Rgb p = star.At(CENTRE_X + dx, CENTRE_Y + dy);
            EXPECT_EQ(p.r, 0) << dx << "," << dy;
            EXPECT_EQ(p.b, 0) << dx << "," << dy;
            EXPECT_GT(p.g, 100) << dx << "," << dy;
        }
    bool overlayShows = false;
    for (int y = 0; y < 600 && !overlayShows; y += 5)
        for (int x = 0; x < 800 && !overlayShows; x += 5) overlayShows = star.At(x, y).r > 0;
    EXPECT_TRUE(overlayShows);
}

}  // namespace
