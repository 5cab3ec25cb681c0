// Frames of the model scene captured from the real show, with the test data's red cube as
// the model and its plain blue metal for the tube (see captured_frames.h). Where the cube
// stands, its red shows with the tube's front wall added over it; beside it, inside the tube,
// only the tube's metal; outside the tube, the clear colour.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/capture/captured_frames.h"

namespace {

constexpr int FIRST_MODEL_FRAME = 8572;
constexpr int WOBBLE_INDEX_BEFORE_IT = 236;

class ModelSceneFrames : public testing::Test {
protected:
    void SetUp() override {
        if (std::string missing = MissingData(); !missing.empty()) GTEST_SKIP() << missing;
    }
};

// The wobble the scene reads in frame n: one step per frame of the scene from its first.
double WobbleAt(int frame) {
    int index = WOBBLE_INDEX_BEFORE_IT;
    float wobble = 0;
    for (int n = FIRST_MODEL_FRAME; n <= frame; ++n) {
        index += 1;
        wobble = float(std::sin(index * 3.141592654 / 128)) * 9;
        if (index >= 254) index = 0;
    }
    return wobble;
}

TEST_F(ModelSceneFrames, ModelShowsInsideTheTubeWhichAddsItsMetalOverTheFrame) {
    const int frames[] = {FIRST_MODEL_FRAME, FIRST_MODEL_FRAME + 81};  // wobble about -4, then 9
    for (int frame : frames) {
        SCOPED_TRACE(frame);
        const Picture& picture = ShowFrame(frame);
        ASSERT_EQ(picture.width, 800);
        ASSERT_EQ(picture.height, 600);
        const double w = WobbleAt(frame);
        // The tube's axis in eye space, at the cube's middle height; look away from the
        // side the model has swung to, so the far side of the tube stays clear of the frame.
        const double axisX = w * 5, depth = -175;
        const double middleY = (w * 4 - 50) + 50;  // the model stands at w * 4 - 50; the cube's middle 50 higher
        const double side = axisX <= 0 ? 1 : -1;

        for (double height : {-20.0, 0.0, 20.0}) {
            // The cube: red, lit by nothing, with the tube's front wall added once.
            Pixel p = ProjectEyePoint(axisX, middleY + height, depth);
            Rgb cube = picture.At(p.x, p.y);
            EXPECT_EQ(cube.r, 255) << p.x << "," << p.y;
            EXPECT_LE(cube.g, 2) << p.x << "," << p.y;
            EXPECT_NEAR(cube.b, METAL_BLUE, 2) << p.x << "," << p.y;
        }
        // Beside the cube, inside the tube: only metal, once or twice (the far wall shows
        // where the near wall was drawn after it).
        Pixel beside = ProjectEyePoint(axisX + side * 58, middleY, depth);
        Rgb metal = picture.At(beside.x, beside.y);
        EXPECT_EQ(metal.r, 0) << beside.x << "," << beside.y;
        EXPECT_EQ(metal.g, 0) << beside.x << "," << beside.y;
        EXPECT_GE(metal.b, METAL_BLUE - 2) << beside.x << "," << beside.y;
        EXPECT_LE(metal.b, 2 * METAL_BLUE + 2) << beside.x << "," << beside.y;
        // Outside the tube: the clear colour.
        Pixel outside = ProjectEyePoint(axisX + side * 100, middleY, depth);
        EXPECT_EQ(picture.At(outside.x, outside.y), (Rgb{0, 0, 0})) << outside.x << "," << outside.y;
    }
}

}  // namespace
