// The ground bands and the backdrop, checked call by call against the recording GL.
#include <gtest/gtest.h>

#include <cstring>

#include "gl_lines.h"
#include "resources/textures.h"
#include "terrain/terrain.h"

namespace {

const std::string DISABLE_BLEND = "glDisable(GL_BLEND)";
const std::string WHITE = "glColor4f(1, 1, 1, 1)";
const std::string BEGIN_STRIP = "glBegin(GL_TRIANGLE_STRIP)";
const std::string END = "glEnd()";

std::string Bind(const TextureImage& texture) {
    return "glBindTexture(GL_TEXTURE_2D, " + std::to_string(texture.textureName) + ")";
}

// A map whose heights differ from entry to entry, so a vertex shows where its height came from.
void FillVariedMap() {
    for (int k = 0; k < MAP_SIZE * MAP_SIZE; ++k) g_heightMap[k] = (k * 37 + k / MAP_SIZE) % 256;
}

// The calls of one cell: a strip of its four corners, each after its texture coordinate.
std::vector<std::string> CellLines(int j, int i) {
    const int corners[4][2] = {{j, i}, {j + 1, i}, {j, i + 1}, {j + 1, i + 1}};
    std::vector<std::string> lines = {BEGIN_STRIP};
    for (const auto& [x, z] : corners) {
        lines.push_back(Line("glTexCoord2f", {float(x) / 512, -float(z) / 512}));
        lines.push_back(Line("glVertex3f", {float(x), TerrainHeight(x, z), float(z)}));
    }
    lines.push_back(END);
    return lines;
}

TEST(TerrainTexCoord, SendsXAndMinusZOver512) {
    struct Case {
        float x, z;
        const char* line;
    };
    const Case cases[] = {
        {0, 0, "glTexCoord2f(0, -0)"},
        {257, 257, "glTexCoord2f(0.501953125, -0.501953125)"},
        {1, 2, "glTexCoord2f(0.001953125, -0.00390625)"},
        {128, 80, "glTexCoord2f(0.25, -0.15625)"},
        {512, 0, "glTexCoord2f(1, -0)"},
    };
    for (const Case& c : cases) {
        glrec::Reset();
        TerrainTexCoord(c.x, c.z);
        EXPECT_EQ(glrec::Lines(), std::vector<std::string>{c.line}) << c.x << ", " << c.z;
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
        glrec::Reset();
        band.draw();

        std::vector<std::string> expected = {DISABLE_BLEND, Bind(g_texGrass), WHITE};
        for (int i = band.firstRow; i <= band.lastRow; ++i)
            for (int j = 0; j < 257; ++j)
                for (std::string& line : CellLines(j, i)) expected.push_back(std::move(line));
        const std::vector<std::string> lines = glrec::Lines();
        ASSERT_EQ(lines.size(), expected.size());
        for (size_t k = 0; k < lines.size(); ++k) ASSERT_EQ(lines[k], expected[k]) << "call " << k;
        EXPECT_EQ(glrec::LastError(), GLenum(GL_NO_ERROR));
    }
}

TEST(TerrainBands, BandSizesAre76And182RowsOf257Cells) {
    const size_t cells[] = {76 * 257, 182 * 257};
    EXPECT_EQ(cells[0], 19532u);
    EXPECT_EQ(cells[1], 46774u);
    for (int b = 0; b < 2; ++b) {
        glrec::Reset();
        BANDS[b].draw();
        EXPECT_EQ(glrec::Count("glBegin"), cells[b]) << BANDS[b].name;
        EXPECT_EQ(glrec::Count("glEnd"), cells[b]) << BANDS[b].name;
        EXPECT_EQ(glrec::Count("glVertex3f"), 4 * cells[b]) << BANDS[b].name;
        EXPECT_EQ(glrec::Count("glTexCoord2f"), 4 * cells[b]) << BANDS[b].name;
        EXPECT_EQ(glrec::Count("glNormal3f"), 0u) << BANDS[b].name;
    }
}

TEST(TerrainBands, SampleVerticesCarryTheirHeightAndTexCoord) {
    FillVariedMap();
    g_heightMap[256 * MAP_SIZE + 256] = 255;  // row 256, column 256: grid point (257, 257)
    g_heightMap[3 * MAP_SIZE + 511] = 200;    // row 3, column 511: grid point (5, 0)
    g_heightMap[0] = 90;                      // row 0, column 0: grid point (1, 1)

    glrec::Reset();
    DrawTerrainFirstBand();
    std::vector<GlVertex> first = RecordedVertices();
    glrec::Reset();
    DrawTerrainSecondBand();
    std::vector<GlVertex> second = RecordedVertices();

    // Cell (0, 0): grid points (0, 0), (1, 0), (0, 1), (1, 1); the first three have no map
    // entry and take row 0, column 0 like (1, 1).
    EXPECT_EQ(first[0], (GlVertex{0, 9, 0, 0, 0}));
    EXPECT_EQ(first[1], (GlVertex{1, 9, 0, 1.0f / 512, 0}));
    EXPECT_EQ(first[2], (GlVertex{0, 9, 1, 0, -1.0f / 512}));
    EXPECT_EQ(first[3], (GlVertex{1, 9, 1, 1.0f / 512, -1.0f / 512}));
    // Cell (4, 0), vertex 2: grid point (5, 0) wraps onto row 3, column 511.
    EXPECT_EQ(first[4 * 4 + 1], (GlVertex{5, 20, 0, 5.0f / 512, 0}));
    // The last vertex of the second band: grid point (257, 257).
    EXPECT_EQ(second.back(), (GlVertex{257, 25.5f, 257, 0.501953125f, -0.501953125f}));
}

TEST(TerrainBands, FlatMapGivesAPlaneAtHeightZero) {
    std::memset(g_heightMap, 0, sizeof g_heightMap);
    for (const Band& band : BANDS) {
        glrec::Reset();
        band.draw();
        for (const GlVertex& v : RecordedVertices()) ASSERT_EQ(v.y, 0) << band.name;
    }
}

TEST(TerrainBands, Row75IsDrawnByBothBandsWithIdenticalCalls) {
    FillVariedMap();
    glrec::Reset();
    DrawTerrainFirstBand();
    std::vector<std::string> first = glrec::Lines();
    first.erase(first.begin(), first.end() - 257 * 10);  // row 75: 257 cells of 10 calls
    glrec::Reset();
    DrawTerrainSecondBand();
    std::vector<std::string> second = glrec::Lines();
    second.erase(second.begin(), second.begin() + 3);
    second.resize(first.size());

    EXPECT_EQ(first, second);
    EXPECT_EQ(first[2], Line("glVertex3f", {0, TerrainHeight(0, 75), 75}));
    EXPECT_EQ(first[first.size() - 2], Line("glVertex3f", {257, TerrainHeight(257, 76), 76}));
}

TEST(Backdrop, DrawsFourWallsWithTheWholeTextureEach) {
    glrec::Reset();
    DrawBackdrop();

    std::vector<std::string> expected = {DISABLE_BLEND, Bind(g_texAll), WHITE};
    const float walls[4][4][3] = {
        {{428, 350, -512}, {-172, 350, -512}, {428, -350, -512}, {-172, -350, -512}},
        {{428, 350, -512}, {428, 350, 512}, {428, -350, -512}, {428, -350, 512}},
        {{428, 350, 512}, {-172, 350, 512}, {428, -350, 512}, {-172, -350, 512}},
        {{-172, 350, -512}, {-172, 350, 512}, {-172, -350, -512}, {-172, -350, 512}},
    };
    const float texCoords[4][2] = {{1, 1}, {0, 1}, {1, 0}, {0, 0}};
    for (const auto& wall : walls) {
        expected.push_back(BEGIN_STRIP);
        for (int k = 0; k < 4; ++k) {
            expected.push_back(Line("glTexCoord2f", {texCoords[k][0], texCoords[k][1]}));
            expected.push_back(Line("glVertex3f", {wall[k][0], wall[k][1], wall[k][2]}));
        }
        expected.push_back(END);
    }
    EXPECT_EQ(glrec::Lines(), expected);
}

// Each drawing routine sets blending off, its texture and white, and leaves them so; depth
// test, lighting, the blend function and the matrices stay as the caller left them.
TEST(TerrainState, GroundAndWallsLeaveBlendingOffTheirTextureBoundAndWhite) {
    struct Case {
        const char* name;
        void (*draw)();
        const TextureImage& texture;
    };
    const Case cases[] = {
        {"backdrop", DrawBackdrop, g_texAll},
        {"first band", DrawTerrainFirstBand, g_texGrass},
        {"second band", DrawTerrainSecondBand, g_texGrass},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        glrec::Reset();
        glrec::SetRecording(false);
        for (GLenum cap : {GL_BLEND, GL_DEPTH_TEST, GL_LIGHTING, GL_TEXTURE_2D, GL_COLOR_MATERIAL})
            glrec::SetEnabled(cap, true);
        glrec::SetBlendFunction(GL_SRC_ALPHA, GL_ONE);
        glColor4f(1, 0, 0, 0.25f);
        glBindTexture(GL_TEXTURE_2D, 99);
        glTranslatef(-128, -28, -150);
        const glrec::Matrix placed = glrec::ModelView();

        c.draw();

        EXPECT_FALSE(glrec::IsEnabled(GL_BLEND));
        EXPECT_EQ(glrec::BoundTexture(GL_TEXTURE_2D), c.texture.textureName);
        EXPECT_EQ(glrec::CurrentColor(), (glrec::Vec4{1, 1, 1, 1}));
        for (GLenum cap : {GL_DEPTH_TEST, GL_LIGHTING, GL_TEXTURE_2D, GL_COLOR_MATERIAL})
            EXPECT_TRUE(glrec::IsEnabled(cap));
        EXPECT_EQ(glrec::BlendSource(), GLenum(GL_SRC_ALPHA));
        EXPECT_EQ(glrec::BlendDestination(), GLenum(GL_ONE));
        EXPECT_EQ(glrec::ModelView(), placed);
        EXPECT_EQ(glrec::StackDepth(GL_MODELVIEW), 1);
        EXPECT_EQ(glrec::LastError(), GLenum(GL_NO_ERROR));
    }
}

}  // namespace
