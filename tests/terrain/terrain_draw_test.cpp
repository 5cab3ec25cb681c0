// The ground bands and the backdrop, checked call by call against a recording GL.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstring>

#include "gl_calls.h"
#include "resources/textures.h"
#include "terrain/terrain.h"

namespace {

const GlCall DISABLE_BLEND = {"glDisable", {GL_BLEND}};
const GlCall WHITE = {"glColor4f", {1, 1, 1, 1}};
const GlCall BEGIN_STRIP = {"glBegin", {GL_TRIANGLE_STRIP}};
const GlCall END = {"glEnd", {}};

GlCall Bind(const TextureImage& texture) { return {"glBindTexture", {GL_TEXTURE_2D, double(texture.textureName)}}; }

// A map whose heights differ from entry to entry, so a vertex shows where its height came from.
void FillVariedMap() {
    for (int k = 0; k < MAP_SIZE * MAP_SIZE; ++k) g_heightMap[k] = (k * 37 + k / MAP_SIZE) % 256;
}

TEST(TerrainTexCoord, SendsXAndMinusZOver512) {
    struct Case {
        float x, z;
        double s, t;
    };
    const Case cases[] = {
        {0, 0, 0, 0}, {257, 257, 0.501953125, -0.501953125}, {1, 2, 1.0 / 512, -2.0 / 512},
        {128, 80, 0.25, -0.15625}, {512, 0, 1, 0},
    };
    for (const Case& c : cases) {
        g_glCalls.clear();
        TerrainTexCoord(c.x, c.z);
        EXPECT_EQ(g_glCalls, (std::vector<GlCall>{{"glTexCoord2f", {c.s, c.t}}})) << c.x << ", " << c.z;
    }
}

struct Band {
    const char* name;
    void (*draw)();
    int firstRow, lastRow;
};
const Band BANDS[] = {
    {"first band", DrawTerrainFirstBand, 0, 75},
    {"second band", DrawTerrainSecondBand, 75, 256},
};

// Each band: its state first, then one strip of four textured vertices per cell, rows in
// increasing order and cells along x within a row, with no other call.
TEST(TerrainBands, DrawOneStripPerCellOfTheirRows) {
    FillVariedMap();
    for (const Band& band : BANDS) {
        SCOPED_TRACE(band.name);
        g_glCalls.clear();
        band.draw();

        const int rows = band.lastRow - band.firstRow + 1;
        ASSERT_EQ(g_glCalls.size(), 3u + size_t(rows) * 257 * 10);
        EXPECT_EQ(g_glCalls[0], DISABLE_BLEND);
        EXPECT_EQ(g_glCalls[1], Bind(g_texGrass));
        EXPECT_EQ(g_glCalls[2], WHITE);
        size_t call = 3;
        int wrong = 0;
        for (int i = band.firstRow; i <= band.lastRow; ++i) {
            for (int j = 0; j < 257; ++j) {
                const int corners[4][2] = {{j, i}, {j + 1, i}, {j, i + 1}, {j + 1, i + 1}};
                std::vector<GlCall> expected = {BEGIN_STRIP};
                for (const auto& [x, z] : corners) {
                    expected.push_back({"glTexCoord2f", {float(x) / 512.0f, -float(z) / 512.0f}});
                    expected.push_back({"glVertex3f", {double(x), TerrainHeight(x, z), double(z)}});
                }
                expected.push_back(END);
                std::vector<GlCall> actual(g_glCalls.begin() + call, g_glCalls.begin() + call + 10);
                if (actual != expected && wrong++ < 3) ADD_FAILURE() << "cell (" << j << ", " << i << ") differs";
                call += 10;
            }
        }
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(RecordedCalls("glBegin").size(), size_t(rows) * 257);
    }
}

TEST(TerrainBands, BandSizesAre76And182RowsOf257Cells) {
    g_glCalls.clear();
    DrawTerrainFirstBand();
    EXPECT_EQ(RecordedCalls("glBegin").size(), 19532u);
    EXPECT_EQ(RecordedVertices().size(), 4u * 19532);
    g_glCalls.clear();
    DrawTerrainSecondBand();
    EXPECT_EQ(RecordedCalls("glEnd").size(), 46774u);
    EXPECT_EQ(RecordedVertices().size(), 4u * 46774);
}

TEST(TerrainBands, SampleVerticesCarryTheirHeightAndTexCoord) {
    FillVariedMap();
    g_heightMap[256 * MAP_SIZE + 256] = 255;  // row 256, column 256: grid point (257, 257)
    g_heightMap[3 * MAP_SIZE + 511] = 200;    // row 3, column 511: grid point (5, 0)
    g_heightMap[0] = 90;                      // row 0, column 0: grid point (1, 1)

    g_glCalls.clear();
    DrawTerrainFirstBand();
    std::vector<GlVertex> first = RecordedVertices();
    g_glCalls.clear();
    DrawTerrainSecondBand();
    std::vector<GlVertex> second = RecordedVertices();

    // Cell (0, 0): grid points (0, 0), (1, 0), (0, 1), (1, 1), the last three with no entry
    // but the first two, which take row 0, column 0 like (1, 1).
    EXPECT_EQ(first[0], (GlVertex{0, 9, 0, 0, 0}));
    EXPECT_EQ(first[1], (GlVertex{1, 9, 0, 1.0 / 512, 0}));
    EXPECT_EQ(first[3], (GlVertex{1, 9, 1, 1.0 / 512, -1.0 / 512}));
    // Cell (4, 0), vertex 2: grid point (5, 0) wraps onto row 3, column 511.
    EXPECT_EQ(first[4 * 4 + 1], (GlVertex{5, 20, 0, 5.0 / 512, 0}));
    // The last vertex of the second band: grid point (257, 257).
    EXPECT_EQ(second.back(), (GlVertex{257, 25.5, 257, 0.501953125, -0.501953125}));
}

TEST(TerrainBands, FlatMapGivesAPlaneAtHeightZero) {
    std::memset(g_heightMap, 0, sizeof g_heightMap);
    for (const Band& band : BANDS) {
        g_glCalls.clear();
        band.draw();
        for (const GlVertex& v : RecordedVertices()) ASSERT_EQ(v.y, 0) << band.name;
    }
}

TEST(TerrainBands, Row75IsDrawnByBothBandsWithIdenticalCalls) {
    FillVariedMap();
    g_glCalls.clear();
    DrawTerrainFirstBand();
    std::vector<GlCall> first(g_glCalls.end() - 257 * 10, g_glCalls.end());
    g_glCalls.clear();
    DrawTerrainSecondBand();
    std::vector<GlCall> second(g_glCalls.begin() + 3, g_glCalls.begin() + 3 + 257 * 10);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first[1 + 1], (GlCall{"glVertex3f", {0, TerrainHeight(0, 75), 75}}));
}

TEST(Backdrop, DrawsFourWallsWithTheWholeTextureEach) {
    g_glCalls.clear();
    DrawBackdrop();

    std::vector<GlCall> expected = {DISABLE_BLEND, Bind(g_texAll), WHITE};
    const double walls[4][4][3] = {
        {{428, 350, -512}, {-172, 350, -512}, {428, -350, -512}, {-172, -350, -512}},
        {{428, 350, -512}, {428, 350, 512}, {428, -350, -512}, {428, -350, 512}},
        {{428, 350, 512}, {-172, 350, 512}, {428, -350, 512}, {-172, -350, 512}},
        {{-172, 350, -512}, {-172, 350, 512}, {-172, -350, -512}, {-172, -350, 512}},
    };
    const double texCoords[4][2] = {{1, 1}, {0, 1}, {1, 0}, {0, 0}};
    for (const auto& wall : walls) {
        expected.push_back(BEGIN_STRIP);
        for (int k = 0; k < 4; ++k) {
            expected.push_back({"glTexCoord2f", {texCoords[k][0], texCoords[k][1]}});
            expected.push_back({"glVertex3f", {wall[k][0], wall[k][1], wall[k][2]}});
        }
        expected.push_back(END);
    }
    EXPECT_EQ(g_glCalls, expected);
}

}  // namespace
