// What the library sends to the driver: where a batch ends, what waits in a batch when a
// texture changes, and what a frame equal to the one before costs (counted in bytes and draws).
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "tests/gles/library_fixture.h"

namespace {

void SmallTriangle(float x) {
    glBegin(GL_TRIANGLES);
    glVertex3f(x, 0, 0);
    glVertex3f(x + 0.1f, 0, 0);
    glVertex3f(x, 0.1f, 0);
    glEnd();
}

struct BatchEnd {
    const char* change;
    std::function<void()> call;
    long draws;  // for the two triangles drawn around it
};

TEST_F(Library, ABatchEndsOnlyWhereTheDriverMustKnowSomething) {
    GLuint names[2];
    glGenTextures(2, names);
    for (GLuint name : names) {
        const GLubyte texel[4] = {255, 255, 255, 255};
        glBindTexture(GL_TEXTURE_2D, name);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, texel);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    }
    glEnable(GL_TEXTURE_2D);
    const BatchEnd cases[] = {
        {"another texture", [&] { glBindTexture(GL_TEXTURE_2D, names[1]); }, 2},
        {"texturing off", [] { glDisable(GL_TEXTURE_2D); }, 2},
        {"depth test", [] { glEnable(GL_DEPTH_TEST); }, 2},
        {"depth function", [] { glDepthFunc(GL_LEQUAL); }, 2},
        {"scissor test", [] { glEnable(GL_SCISSOR_TEST); }, 2},
        {"scissor box", [] { glScissor(1, 1, 8, 8); }, 2},
        {"viewport", [] { glViewport(0, 0, SIZE / 2, SIZE / 2); }, 2},
        {"blending", [] { glEnable(GL_BLEND); }, 2},
        {"blend function", [] { glBlendFunc(GL_SRC_ALPHA, GL_ONE); }, 2},
        {"a clear", [] { glClear(GL_DEPTH_BUFFER_BIT); }, 2},
        // The vertex shader reads these from the batch's table: no draw of their own.
        {"a matrix", [] { glRotatef(30, 0, 0, 1); }, 1},
        {"lighting", [] { glEnable(GL_LIGHTING); }, 1},
        {"colour material", [] { glEnable(GL_COLOR_MATERIAL); }, 1},
        {"sphere map", [] { glEnable(GL_TEXTURE_GEN_S); }, 1},
        {"the colour", [] { glColor3f(0.5f, 0, 0); }, 1},
        {"the same texture bound again", [&] { glBindTexture(GL_TEXTURE_2D, names[0]); }, 1},
    };
    for (const BatchEnd& c : cases) {
        SCOPED_TRACE(c.change);
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glPushMatrix();
        glBindTexture(GL_TEXTURE_2D, names[0]);
        glesFlush();
        const long before = glesDrawCallCount();
        SmallTriangle(0);
        c.call();
        SmallTriangle(0.5f);
        glesFlush();
        EXPECT_EQ(glesDrawCallCount() - before, c.draws);
        glPopMatrix();
        glPopAttrib();
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
}

TEST_F(Library, AMatrixChangeInsideABatchMovesOnlyTheVerticesAfterIt) {
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3ub(0, 0, 255);
    glScalef(0.5f, 1, 1);
    FillViewport();  // the middle half, blue
    glLoadIdentity();
    glTranslatef(0, 0, 0.5f);  // nearer, but no depth test: drawn over in order
    glScalef(1, 0.25f, 1);
    glColor3ub(255, 0, 0);
    FillViewport();  // a red band across the middle
    glesFlush();
    ExpectNear(PixelAt(SIZE / 2, SIZE / 2), {255, 0, 0}, "the band over the middle");
    ExpectNear(PixelAt(SIZE / 2, SIZE - 4), {0, 0, 255}, "the first quad, above the band");
    ExpectNear(PixelAt(2, SIZE - 4), {0, 0, 0}, "outside both");
    ExpectNear(PixelAt(2, SIZE / 2), {255, 0, 0}, "the band, wider than the first quad");
}

void UploadColour(const GLubyte (&rgb)[3]) {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
}

// The left (-1) or right (1) half of the viewport.
void Half(float side) {
    glPushMatrix();
    glTranslatef(side * 0.5f, 0, 0);
    glScalef(0.5f, 1, 1);
    FillViewport();
    glPopMatrix();
}

TEST_F(Library, ATextureChangedWhileABatchWaitsIsChangedOnlyAfterIt) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    UploadColour({200, 0, 0});
    glEnable(GL_TEXTURE_2D);
    glClear(GL_COLOR_BUFFER_BIT);
    Half(-1);                   // waits in the batch, with the red texture
    UploadColour({0, 200, 0});  // the same texture re-sent green
    Half(1);
    glesFlush();
    ExpectNear(PixelAt(SIZE / 4, SIZE / 2), {200, 0, 0}, "drawn before the texture was re-sent");
    ExpectNear(PixelAt(3 * SIZE / 4, SIZE / 2), {0, 200, 0}, "drawn after");

    glClear(GL_COLOR_BUFFER_BIT);
    Half(-1);                    // waits with the green texture
    glDeleteTextures(1, &name);  // the default texture, never sent, is bound: untextured
    glColor3ub(0, 0, 90);
    Half(1);
    glesFlush();
    ExpectNear(PixelAt(SIZE / 4, SIZE / 2), {0, 200, 0}, "drawn before the texture was deleted");
    ExpectNear(PixelAt(3 * SIZE / 4, SIZE / 2), {0, 0, 90}, "drawn after, untextured");
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// A field of cells, each its own strip of four vertices, as the terrain draws its ground.
void CellStrips(int rows, int columns, float lift) {
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j) {
            const float x = -1 + 2.0f * float(j) / float(columns), z = -1 + 2.0f * float(i) / float(rows);
            const float dx = 2.0f / float(columns), dz = 2.0f / float(rows);
            glBegin(GL_TRIANGLE_STRIP);
            for (auto [u, v] : {std::pair{0.f, 0.f}, {1.f, 0.f}, {0.f, 1.f}, {1.f, 1.f}}) {
                glTexCoord2f(u, v);
                glVertex3f(x + u * dx, z + v * dz, lift * std::sin(float(i + j)));
            }
            glEnd();
        }
}

// A vertex; a state of the table; the runs of a batch drawn under one state (their number, the run).
constexpr long long VERTEX_BYTES = 28, STATE_BYTES = 19 * 16, ONE_RUN_BYTES = 2 * 4;

TEST_F(Library, AFrameEqualToTheOneBeforeIsDrawnFromWhatTheDriverHolds) {
    struct Frame {
        const char* name;
        std::function<void()> change;
        long long bytes;  // sent in this frame
        Rgb middle;       // the pixel at the middle of the viewport
    };
    constexpr int ROWS = 8, COLUMNS = 8;
    const long long vertexBytes = ROWS * COLUMNS * 4 * VERTEX_BYTES;  // strips of four: their indices are shared
    float angle = 0;
    GLubyte red = 200;
    const Frame frames[] = {
        {"the first frame sends everything", [] {}, vertexBytes + STATE_BYTES + ONE_RUN_BYTES, {200, 0, 0}},
        {"the same frame again sends nothing", [] {}, 0, {200, 0, 0}},
        {"a new colour sends the batch's vertices", [&] { red = 100; }, vertexBytes, {100, 0, 0}},
        {"and the frame after, equal again, nothing", [] {}, 0, {100, 0, 0}},
        {"a turned matrix sends only the table of states", [&] { angle = 180; }, STATE_BYTES, {100, 0, 0}},
    };
    for (const Frame& f : frames) {
        SCOPED_TRACE(f.name);
        f.change();
        const long long before = glesBytesSentCount();
        const long draws = glesDrawCallCount();
        glClear(GL_COLOR_BUFFER_BIT);
        glLoadIdentity();
        glRotatef(angle, 0, 1, 0);
        glColor3ub(red, 0, 0);
        CellStrips(ROWS, COLUMNS, 0);
        glesFlush();
        EXPECT_EQ(glesBytesSentCount() - before, f.bytes);
        EXPECT_EQ(glesDrawCallCount() - draws, 1);
        ExpectNear(PixelAt(SIZE / 2 + 1, SIZE / 2 + 1), f.middle, "the middle");
    }
    // One vertex moved: the batch goes again, and the picture shows it.
    const long long before = glesBytesSentCount();
    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    glColor3ub(red, 0, 0);
    glBegin(GL_TRIANGLES);
    glVertex3f(-1, -1, 0);
    glVertex3f(1, -1, 0);
    glVertex3f(-1, 1, 0);
    glEnd();
    glesFlush();
    glClear(GL_COLOR_BUFFER_BIT);
    glBegin(GL_TRIANGLES);
    glVertex3f(-1, -1, 0);
    glVertex3f(1, -1, 0);
    glVertex3f(1, 1, 0);  // the third corner moved
    glEnd();
    glesFlush();
    // The first triangle is new (vertices, indices, its identity matrix); the second sends
    // only the vertex that moved.
    EXPECT_EQ(glesBytesSentCount() - before, (3 * VERTEX_BYTES + 3 * 2 + STATE_BYTES) + VERTEX_BYTES);
    ExpectNear(PixelAt(SIZE - 8, SIZE / 2), {red, 0, 0}, "drawn with the moved corner");
    ExpectNear(PixelAt(4, SIZE - 8), {0, 0, 0}, "no longer under the old corner");
}

// The terrain's frame as the show draws it: the backdrop, the first band of ground, the
// fountain's 3000 particles (which move every frame) and the second band, under a turning view.
constexpr int BACKDROP_WALLS = 4, GRID_CELLS = 257, FIRST_BAND_ROWS = 76, SECOND_BAND_ROWS = 182;
constexpr int PARTICLES = 3000;

void TerrainFrame(int frame, const GLuint (&textures)[3]) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glRotatef(float(frame), 0, 1, 0);
    glScalef(0.004f, 0.004f, 0.004f);
    glDisable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, textures[0]);
    CellStrips(1, BACKDROP_WALLS, 0);
    glBindTexture(GL_TEXTURE_2D, textures[1]);
    CellStrips(FIRST_BAND_ROWS, GRID_CELLS, 3);
    glEnable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, textures[2]);
    for (int p = 0; p < PARTICLES; ++p) {
        const float x = std::sin(float(p + frame)), y = std::cos(float(p * 3 + frame));
        glColor4f(1, 0, 0, 0.5f);
        glBegin(GL_TRIANGLE_STRIP);
        glVertex3f(x + 1, y + 1, 0);
        glVertex3f(x, y + 1, 0);
        glVertex3f(x + 1, y, 0);
        glVertex3f(x, y, 0);
        glEnd();
    }
    glDisable(GL_BLEND);
    glColor4f(1, 1, 1, 1);
    glBindTexture(GL_TEXTURE_2D, textures[1]);
    CellStrips(SECOND_BAND_ROWS, GRID_CELLS, 3);
    glesFlush();
}

TEST_F(Library, ATerrainFrameSendsTheParticlesAndTheTablesOnly) {
    GLuint textures[3];
    glGenTextures(3, textures);
    for (GLuint name : textures) {
        glBindTexture(GL_TEXTURE_2D, name);
        UploadColour({255, 255, 255});
    }
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    TerrainFrame(0, textures);
    const long long bytes = glesBytesSentCount();
    const long draws = glesDrawCallCount();
    TerrainFrame(1, textures);
    // Batches of at most 60000 vertices: the backdrop; the first band (78128 vertices) in two;
    // the particles; the second band (187096) in four.
    constexpr long DRAWS = 1 + 2 + 1 + 4;
    EXPECT_EQ(glesDrawCallCount() - draws, DRAWS);
    EXPECT_EQ(glesBytesSentCount() - bytes, PARTICLES * 4 * VERTEX_BYTES + DRAWS * STATE_BYTES);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// A primitive past what 16-bit indices name, and more matrices than one batch's table holds:
// both are drawn whole, the first with 32-bit indices, the second as two batches.
TEST_F(Library, BatchesPastTheirLimitsAreDrawnWhole) {
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3ub(0, 150, 0);
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < 70000 / 3; ++i) {  // degenerate triangles first: nothing to see
        glVertex3f(-1, -1, 0);
        glVertex3f(-1, -1, 0);
        glVertex3f(-1, -1, 0);
    }
    glVertex3f(-1, -1, 0);  // the last triangle, past vertex 65536, covers the lower right
    glVertex3f(1, -1, 0);
    glVertex3f(1, 1, 0);
    glEnd();
    glesFlush();
    ExpectNear(PixelAt(SIZE - 4, 4), {0, 150, 0}, "the triangle past 65536 vertices");
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    constexpr int QUADS = 60;  // each under its own matrix, more than a table's 48 states
    glClear(GL_COLOR_BUFFER_BIT);
    const long draws = glesDrawCallCount();
    for (int q = 0; q < QUADS; ++q) {
        glLoadIdentity();
        glTranslatef(-1 + (2.0f * float(q) + 1) / QUADS, 0, 0);
        glScalef(1.0f / QUADS, 1, 1);
        glColor3ub(GLubyte(100 + q), 0, 0);
        FillViewport();
    }
    glesFlush();
    EXPECT_EQ(glesDrawCallCount() - draws, 2);
    for (int x : {0, SIZE / 2, SIZE - 1}) {
        const int q = x * QUADS / SIZE;
        ExpectNear(PixelAt(x, SIZE / 2), {100 + q, 0, 0}, "quad " + std::to_string(q) + ", under its own matrix");
    }
}

// Strips of four share the context's indices until another primitive joins their batch: then
// the batch gets its own, for them and for it, and is still one draw.
TEST_F(Library, StripsOfFourAndAnotherPrimitiveAreDrawnInOneBatch) {
    for (bool triangleFirst : {false, true}) {
        SCOPED_TRACE(triangleFirst ? "the triangle first" : "the strips first");
        glClear(GL_COLOR_BUFFER_BIT);
        const long draws = glesDrawCallCount();
        const long long bytes = glesBytesSentCount();
        auto triangle = [] {
            glColor3ub(0, 0, 200);
            glBegin(GL_TRIANGLES);
            for (auto [x, y] : {std::pair{0.f, 0.f}, {1.f, 0.f}, {1.f, 1.f}}) glVertex3f(x, y, 0);
            glEnd();
        };
        if (triangleFirst) triangle();
        glColor3ub(200, 0, 0);
        glPushMatrix();
        glScalef(0.5f, 0.5f, 1);
        glTranslatef(-1, -1, 0);  // the lower left quarter
        CellStrips(2, 2, 0);
        glPopMatrix();
        if (!triangleFirst) triangle();
        glesFlush();
        EXPECT_EQ(glesDrawCallCount() - draws, 1);
        // 4 strips and a triangle: their vertices, 3 indices a triangle, two states and their runs.
        EXPECT_EQ(glesBytesSentCount() - bytes, 19 * VERTEX_BYTES + 9 * 3 * 2 + 2 * STATE_BYTES + 3 * 4);
        ExpectNear(PixelAt(SIZE / 4, SIZE / 4), {200, 0, 0}, "the strips");
        ExpectNear(PixelAt(7 * SIZE / 8, SIZE / 2 + 4), {0, 0, 200}, "the triangle");
        ExpectNear(PixelAt(SIZE / 4, 3 * SIZE / 4), {0, 0, 0}, "nothing");
    }
}

// Primitives alternating between two matrices: two states, but a run each, more runs than a
// batch holds. Every primitive is still drawn under its own matrix, in two batches.
TEST_F(Library, PrimitivesAlternatingBetweenStatesAreEachDrawnUnderTheirOwn) {
    constexpr int PRIMITIVES = 600, STRIPES = 8;  // even stripes under the one matrix, odd under the other
    glClear(GL_COLOR_BUFFER_BIT);
    const long draws = glesDrawCallCount();
    for (int i = 0; i < PRIMITIVES; ++i) {
        const int stripe = i % STRIPES;
        glLoadIdentity();
        if (stripe % 2) glTranslatef(0, 1, 0);  // up into the top half
        glColor3ub(GLubyte(50 + i % 200), 0, 0);
        const float left = -1 + 2.0f * float(stripe) / STRIPES, right = left + 2.0f / STRIPES;
        glBegin(GL_TRIANGLE_STRIP);
        for (auto [x, y] : {std::pair{left, -1.f}, {right, -1.f}, {left, 0.f}, {right, 0.f}}) glVertex3f(x, y, 0);
        glEnd();
    }
    glesFlush();
    EXPECT_EQ(glesDrawCallCount() - draws, 2);
    for (int stripe = 0; stripe < STRIPES; ++stripe) {
        const int last = PRIMITIVES - STRIPES + stripe, x = (2 * stripe + 1) * SIZE / (2 * STRIPES);
        const Rgb drawn{50 + last % 200, 0, 0}, none{0, 0, 0};
        const bool up = stripe % 2;
        ExpectNear(PixelAt(x, SIZE / 4), up ? none : drawn, "stripe " + std::to_string(stripe) + ", bottom");
        ExpectNear(PixelAt(x, 3 * SIZE / 4), up ? drawn : none, "stripe " + std::to_string(stripe) + ", top");
    }
}

}  // namespace
