// Frames of the model scene captured from the real show, in a data directory the test writes:
// a red textured cube as "dinos.3ds" and a plain blue "metal.TGA" for the tube. Where the
// cube stands, its red shows with the tube's front wall added over it; beside it, inside
// the tube, only the tube's metal; outside the tube, the clear colour.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>

#include "tests/bmp/bmp_bytes.h"
#include "tests/capture/captured_frames.h"
#include "tests/model3ds/chunk_writer.h"

namespace fs = std::filesystem;

namespace {

constexpr int FIRST_MODEL_FRAME = 8572;
constexpr int WOBBLE_INDEX_BEFORE_IT = 236;
constexpr int METAL_BLUE = 96;

// A cube 60 wide standing in the tube from the model's height 20 to 80 (the file's z is up),
// every face of the one textured material.
writer3ds::Bytes CubeModel() {
    using namespace writer3ds;
    std::vector<Point> corners;
    for (float z : {20.0f, 80.0f})
        for (Point p : {Point{-30, -30, z}, Point{30, -30, z}, Point{30, 30, z}, Point{-30, 30, z}}) corners.push_back(p);
    const std::vector<FaceRecord> faces = {{0, 2, 1, 0}, {0, 3, 2, 0}, {4, 5, 6, 0}, {4, 6, 7, 0},
                                           {0, 1, 5, 0}, {0, 5, 4, 0}, {1, 2, 6, 0}, {1, 6, 5, 0},
                                           {2, 3, 7, 0}, {2, 7, 6, 0}, {3, 0, 4, 0}, {3, 4, 7, 0}};
    std::vector<uint16_t> all;
    for (uint16_t f = 0; f < faces.size(); ++f) all.push_back(f);
    return Document({MaterialEntry("skin", {255, 255, 255}, "skin.bmp"),
                     Object("cube", {TriangleMesh({VertexList(corners), FaceList(faces, {FaceMaterial("skin", all)}),
                                                   MappingList(std::vector<Uv>(8, Uv{0.5f, 0.5f}))})})});
}

// 2 x 2 red pixels, rows of 6 bytes padded to 8.
Bytes RedBmp() {
    Bytes pixels;
    for (int row = 0; row < 2; ++row) pixels.insert(pixels.end(), {0, 0, 255, 0, 0, 255, 0, 0});
    return WithFileHeader(InfoHeader(2, 2, 24), {}, pixels);
}

class ModelSceneFrames : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(directory_);
        writer3ds::WriteFile((directory_ / "dinos.3ds").string(), CubeModel());
        const Bytes bmp = RedBmp();
        writer3ds::WriteFile((directory_ / "skin.bmp").string(), bmp);
        WriteTga(directory_ / "metal.TGA", 4, 4, std::vector<Rgb>(16, Rgb{0, 0, METAL_BLUE}));
    }
    void TearDown() override { fs::remove_all(directory_); }

    fs::path directory_ = fs::temp_directory_path() / ("vrex_model_scene_" + std::to_string(getpid()));
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

struct Pixel {
    int x, y;  // y from the top
};

// Where an eye-space point lands: 45 degrees of vertical view over 600 rows, square pixels.
Pixel Project(double x, double y, double z) {
    const double scale = 300 / std::tan(22.5 * 3.14159265358979 / 180);
    return {int(std::lround(400 + scale * x / -z)), int(std::lround(300 - scale * y / -z))};
}

TEST_F(ModelSceneFrames, ModelShowsInsideTheTubeWhichAddsItsMetalOverTheFrame) {
    const int frames[] = {FIRST_MODEL_FRAME, FIRST_MODEL_FRAME + 81};  // wobble about -4, then 9
    std::map<int, Picture> pictures = CaptureFramesIn(directory_, std::to_string(frames[0]) + "," + std::to_string(frames[1]));
    ASSERT_EQ(pictures.size(), 2u);
    for (int frame : frames) {
        SCOPED_TRACE(frame);
        const Picture& picture = pictures[frame];
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
            Pixel p = Project(axisX, middleY + height, depth);
            Rgb cube = picture.At(p.x, p.y);
            EXPECT_EQ(cube.r, 255) << p.x << "," << p.y;
            EXPECT_LE(cube.g, 2) << p.x << "," << p.y;
            EXPECT_NEAR(cube.b, METAL_BLUE, 2) << p.x << "," << p.y;
        }
        // Beside the cube, inside the tube: only metal, once or twice (the far wall shows
        // where the near wall was drawn after it).
        Pixel beside = Project(axisX + side * 58, middleY, depth);
        Rgb metal = picture.At(beside.x, beside.y);
        EXPECT_EQ(metal.r, 0) << beside.x << "," << beside.y;
        EXPECT_EQ(metal.g, 0) << beside.x << "," << beside.y;
        EXPECT_GE(metal.b, METAL_BLUE - 2) << beside.x << "," << beside.y;
        EXPECT_LE(metal.b, 2 * METAL_BLUE + 2) << beside.x << "," << beside.y;
        // Outside the tube: the clear colour.
        Pixel outside = Project(axisX + side * 100, middleY, depth);
        EXPECT_EQ(picture.At(outside.x, outside.y), (Rgb{0, 0, 0})) << outside.x << "," << outside.y;
    }
}

}  // namespace
