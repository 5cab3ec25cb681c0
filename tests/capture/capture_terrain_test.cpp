// Pixels of the two terrain views captured from the real show with the generated data: the
// ground in the grass texture's colours below, the backdrop's sky above, the view turning in
// the first and standing still in the second, and the red fountain rising from its emitter.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "tests/capture/captured_frames.h"

namespace {

constexpr int WIDTH = 800;
constexpr int HEIGHT = 600;
constexpr int TURNING_VIEW_FRAMES[] = {6429, 6700};  // the view has turned 81 degrees between them
constexpr int STILL_VIEW_FRAMES[] = {7143, 7500};
constexpr int TERRAIN_FRAMES[] = {6429, 6700, 7143, 7500};

// The emitter in the terrain frame, and that frame's place in the still view's eye space
// (the view's glTranslatef(-40, 0, 0), then the terrain's (-128, -28, -260)).
constexpr double EMITTER_X = 128, EMITTER_Y = 17, EMITTER_Z = 80;
constexpr double STILL_TERRAIN_X = -40 - 128, STILL_TERRAIN_Y = -28, STILL_TERRAIN_Z = -260;

struct Window {
    int left, top, right, bottom;  // right and bottom excluded
};

// The share of every second pixel (both ways) of `window` for which `matches` holds.
double Share(const Picture& picture, Window window, const std::function<bool(Rgb)>& matches) {
    int hits = 0, seen = 0;
    for (int y = window.top; y < window.bottom; y += 2)
        for (int x = window.left; x < window.right; x += 2, ++seen) hits += matches(picture.At(x, y));
    return double(hits) / seen;
}

// The grass picture is green throughout; lit or unlit, green stays its strongest channel.
bool GrassColour(Rgb p) { return p.g > p.r && p.g > p.b; }
// The walls' sky is violet: blue above green, red not below it.
bool SkyColour(Rgb p) { return p.b > p.g && p.r >= p.g; }
bool ClearColour(Rgb p) { return p == Rgb{0, 0, 0}; }

int MedianOfNeighbours(const Picture& picture, int x, int y, int Rgb::*channel) {
    constexpr int REACH = 4;  // past the few pixels a sprite covers at this distance
    int values[8], n = 0;
    for (int dy : {-REACH, 0, REACH})
        for (int dx : {-REACH, 0, REACH})
            if (dx || dy) values[n++] = picture.At(x + dx, y + dy).*channel;
    std::nth_element(values, values + 4, values + 8);
    return values[4];
}

// Pixels where red stands out of their surroundings and green does not: the fountain's
// sprites, which add red only, over textures that change slowly.
int RedSpecks(const Picture& picture, Window window) {
    int specks = 0;
    for (int y = window.top; y < window.bottom; ++y)
        for (int x = window.left; x < window.right; ++x) {
            Rgb p = picture.At(x, y);
            specks += p.r - MedianOfNeighbours(picture, x, y, &Rgb::r) > 8 &&
                      p.g - MedianOfNeighbours(picture, x, y, &Rgb::g) <= 2;
        }
    return specks;
}

// Where the particles rise in the still view: above the emitter, and as far to either side.
Window FountainWindow() {
    Pixel emitter =
        ProjectEyePoint(EMITTER_X + STILL_TERRAIN_X, EMITTER_Y + STILL_TERRAIN_Y, EMITTER_Z + STILL_TERRAIN_Z);
    return {emitter.x - 60, emitter.y - 120, emitter.x + 60, emitter.y + 10};
}

// The same rows on the other side of the picture, over the same walls and ground.
Window MirroredWindow(Window w) { return {WIDTH - w.right, w.top, WIDTH - w.left, w.bottom}; }

class TerrainFrames : public testing::Test {
protected:
    void SetUp() override {
        if (std::string missing = MissingData(); !missing.empty()) GTEST_SKIP() << missing;
        for (int frame : TERRAIN_FRAMES) {
            ASSERT_EQ(ShowFrame(frame).width, WIDTH) << frame;
            ASSERT_EQ(ShowFrame(frame).height, HEIGHT) << frame;
        }
    }
};

TEST_F(TerrainFrames, GroundFillsTheLowerPartAndTheWallsShowAboveIt) {
    const Window bottom{0, 520, WIDTH, HEIGHT}, top{0, 0, WIDTH, 60}, whole{0, 0, WIDTH, HEIGHT};
    for (int frame : TERRAIN_FRAMES) {
        SCOPED_TRACE(frame);
        const Picture& picture = ShowFrame(frame);
        EXPECT_GE(Share(picture, bottom, GrassColour), 0.95);
        EXPECT_GE(Share(picture, top, SkyColour), 0.95);
        // The walls close the view all round and above the ground: no clear colour anywhere.
        EXPECT_EQ(Share(picture, whole, ClearColour), 0.0);
    }
}

TEST_F(TerrainFrames, TurningViewTurnsAndStillViewStandsStill) {
    auto identical = [](const Picture& a, const Picture& b) {
        int same = 0;
        for (std::size_t i = 0; i < a.rgb.size(); i += 3)
            same += a.rgb[i] == b.rgb[i] && a.rgb[i + 1] == b.rgb[i + 1] && a.rgb[i + 2] == b.rgb[i + 2];
        return double(same) / double(a.rgb.size() / 3);
    };
    EXPECT_LT(identical(ShowFrame(TURNING_VIEW_FRAMES[0]), ShowFrame(TURNING_VIEW_FRAMES[1])), 0.05);
    // Only the fountain moves in the still view.
    EXPECT_GT(identical(ShowFrame(STILL_VIEW_FRAMES[0]), ShowFrame(STILL_VIEW_FRAMES[1])), 0.95);
}

TEST_F(TerrainFrames, RedParticlesRiseAboveTheEmitterInTheStillView) {
    const Window fountain = FountainWindow();
    for (int frame : STILL_VIEW_FRAMES) {
        SCOPED_TRACE(frame);
        const Picture& picture = ShowFrame(frame);
        EXPECT_GE(RedSpecks(picture, fountain), 100);
        EXPECT_LE(RedSpecks(picture, MirroredWindow(fountain)), 10);
        // The walls and the far band are drawn before the particles, so what a sprite's clear
        // corners let through is never the clear colour.
        for (int y = fountain.top; y < fountain.bottom; ++y)
            for (int x = fountain.left; x < fountain.right; ++x) {
                Rgb p = picture.At(x, y);
                ASSERT_FALSE(p.g == 0 && p.b == 0) << x << "," << y << " shows " << p.r << " red on the clear colour";
            }
    }
}

}  // namespace
