// The whole show captured to its end: after the credits only the clear colour is left.
#include <gtest/gtest.h>

#include "tests/capture/captured_frames.h"

namespace {

TEST(CapturedShowEnd, FrameAfterTheCreditsIsTheClearColour) {
    if (std::string missing = MissingData(); !missing.empty()) GTEST_SKIP() << missing;
    std::map<int, Picture> frames = CaptureFrames("18571,18572");
    ASSERT_EQ(frames.size(), 2u);
    const Picture& after = frames[18572];
    for (int y = 0; y < 600; y += 3)
        for (int x = 0; x < 800; x += 3) ASSERT_EQ(after.At(x, y), (Rgb{0, 0, 0})) << x << "," << y;
    // The last credits frame still shows its card.
    bool cardShows = false;
    for (int y = 0; y < 600 && !cardShows; y += 5)
        for (int x = 0; x < 800 && !cardShows; x += 5) cardShows = !(frames[18571].At(x, y) == Rgb{0, 0, 0});
    EXPECT_TRUE(cardShows);
}

}  // namespace
