// Skipping ahead and starting again, on a real offscreen GL context with the generated data:
// the state a skipped-to frame starts from must be the state drawing every frame before it
// leaves, and a show started again must draw its first frames as it did the first time. The
// show drawn frame by frame is the whole-show tests' one drawing (tests/capture/video_show.h):
// its stills, and the state before each, at the STATE_FRAMES.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "model3ds/model.h"
#include "platform/fake_platform.h"
#include "resources/textures.h"
#include "scenes/timeline.h"
#include "tests/capture/video_show.h"
#include "tools/capture/frame_state.h"

namespace fs = std::filesystem;

namespace {

fs::path DataDirectory() {
    const char* binary = std::getenv("VREX_BINARY_DIR");
    return fs::path(binary ? binary : ".") / "data";
}

void ExpectSameState(const FrameState& drawn, const FrameState& reached) {
    ASSERT_FALSE(drawn.empty());
    for (const auto& [name, values] : drawn) {
        auto found = reached.find(name);
        ASSERT_NE(found, reached.end()) << name;
        // Bit for bit: the clock is a sum and must be the same sum; the text keeps every bit.
        EXPECT_EQ(values, found->second) << name;
    }
    EXPECT_EQ(drawn.size(), reached.size());
}

// The size the whole-show drawing is made at, so that its stills compare pixel for pixel.
constexpr int PICTURE_WIDTH = SHOW_DRAWN_WIDTH;
constexpr int PICTURE_HEIGHT = SHOW_DRAWN_HEIGHT;

// The picture of the frame about to be drawn, drawn into the back buffer and read back as
// RGB, top row first, as the stills hold it.
std::vector<uint8_t> RenderAndRead() {
    RenderFrame();
    auto pixels = std::vector<uint8_t>(size_t(PICTURE_WIDTH) * PICTURE_HEIGHT * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, PICTURE_WIDTH, PICTURE_HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    std::vector<uint8_t> topDown;
    const std::size_t row = std::size_t(PICTURE_WIDTH) * 3;
    for (int y = PICTURE_HEIGHT - 1; y >= 0; --y)
        topDown.insert(topDown.end(), pixels.begin() + std::ptrdiff_t(y * row),
                       pixels.begin() + std::ptrdiff_t((y + 1) * row));
    return topDown;
}

// The same state drawn by another process's context: the sphere-mapped star rounds a few
// dozen channel values the other way there, by one level. Anything the skipping gets wrong
// moves whole shapes, by far more.
void ExpectAlmostSamePicture(const std::vector<uint8_t>& drawn, const std::vector<uint8_t>& reached) {
    std::size_t differing = 0;
    int largest = 0;
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        int difference = std::abs(int(drawn[i]) - int(reached[i]));
        differing += difference != 0;
        largest = std::max(largest, difference);
    }
    EXPECT_LE(largest, 1);
    EXPECT_LE(differing, drawn.size() / 10000) << "channel values differ";
}

std::vector<uint8_t> ReadStill(const fs::path& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::vector<uint8_t> rgb;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return rgb;
    image.format = PNG_FORMAT_RGB;
    rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) rgb.clear();
    return rgb;
}

class ShowStateTest : public testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(DataDirectory() / "vulc.raw")) GTEST_SKIP() << "no generated data in " << DataDirectory();
        previous_ = fs::current_path();
        fs::current_path(DataDirectory());
        fake::Reset();
        fake::g_answers.realGlContext = true;
        fake::g_answers.clientRect = {0, 0, PICTURE_WIDTH, PICTURE_HEIGHT};
        g_musicWanted = false;
        InitDemo(fake::FakeWindow());
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        KeepShowStartState();
    }
    void TearDown() override {
        // The show's variables outlive the test; the next one in this process starts at frame 0.
        if (!previous_.empty()) RestartShow();
        if (!previous_.empty()) fs::current_path(previous_);
        // The model's arrays are the loop's to free at the end; the next SetUp imports afresh.
        ReleaseModel();
        g_model = Model{};
    }
    fs::path previous_;
};

TEST_F(ShowStateTest, ASkippedToFrameStartsFromTheStateDrawingEveryFrameLeaves) {
    const fs::path stills = fs::absolute(VideoShowDirectory()) / "png";
    for (int frame : STATE_FRAMES) {
        RestartShow();
        FastForwardShow(frame);
        FrameState reached = ReadFrameState();
        std::vector<uint8_t> picture = RenderAndRead();

        SCOPED_TRACE(testing::Message() << "frame " << frame << ", row " << SceneRowAt(reached["clock"][0]));
        FrameState drawn;
        ASSERT_TRUE(LoadFrameState(FrameStateFileName(stills.string(), frame), &drawn));
        ExpectSameState(drawn, reached);
        char name[32];
        std::snprintf(name, sizeof name, "frame_%05d.png", frame);
        std::vector<uint8_t> still = ReadStill(stills / name);
        ASSERT_EQ(still.size(), picture.size());
        ExpectAlmostSamePicture(still, picture);
    }
}

TEST_F(ShowStateTest, AShowStartedAgainAfterTheCreditsDrawsItsFirstFramesAsBefore) {
    std::vector<FrameState> first;
    std::vector<std::vector<uint8_t>> firstPictures;
    for (int frame = 0; frame < 3; ++frame) {
        first.push_back(ReadFrameState());
        firstPictures.push_back(RenderAndRead());
    }
    FastForwardShow(ShowEndFrame());
    ASSERT_TRUE(ShowHasEnded());
    RestartShow();
    for (int frame = 0; frame < 3; ++frame) {
        SCOPED_TRACE(frame);
        ExpectSameState(first[size_t(frame)], ReadFrameState());
        EXPECT_TRUE(RenderAndRead() == firstPictures[size_t(frame)]);
    }
    EXPECT_NE(firstPictures[0], firstPictures[1]);  // frame 1 shows the fish, frame 0 nothing
}

}  // namespace
