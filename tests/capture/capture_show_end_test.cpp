// The whole show captured to its end: after the credits only the clear colour is left.
#include <gtest/gtest.h>

#include "tests/capture/captured_frames.h"

namespace {

TEST(CapturedShowEnd, FrameAfterTheCreditsIsTheClearColour) {
    if (std::string missing = MissingData(); !missing.empty()) GTEST_SKIP() << missing;
    const Picture& last = ShowFrame(18571);
    const Picture& after = ShowFrame(18572);
    ASSERT_EQ(last.width, 800);
    ASSERT_EQ(after.width, 800);
    for (int y = 0; y < 600; y += 3)
        for (int x = 0; x < 800; x += 3) ASSERT_EQ(after.At(x, y), (Rgb{0, 0, 0})) << x << "," << y;
    // The last credits frame still shows its card.
    bool cardShows = false;
    for (int y = 0; y < 600 && !cardShows; y += 5)
        for (int x = 0; x < 800 && !cardShows; x += 5) cardShows = !(last.At(x, y) == Rgb{0, 0, 0});
    EXPECT_TRUE(cardShows);
}

}  // namespace
