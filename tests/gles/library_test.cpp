// The library on a real OpenGL ES 3.0 context: GL 1.1's errors and refusals, the stacks'
// limits, the state that persists and what the queries answer, and the drawing it does where
// a whole show picture would hide a fault (lighting figures, batching, incomplete textures).
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "tests/gles/library_fixture.h"

namespace {

// ---- errors and refusals ---------------------------------------------------------------------

struct Refusal {
    const char* name;
    std::function<void()> call;
    GLenum error;
};

TEST_F(Library, RefusesWhatGl11RefusesAndChangesNothing) {
    const Refusal refusals[] = {
        {"unknown capability", [] { glEnable(GL_FOG); }, GL_INVALID_ENUM},
        {"points", [] { glBegin(GL_POINTS); }, GL_INVALID_ENUM},
        {"glEnd without glBegin", [] { glEnd(); }, GL_INVALID_OPERATION},
        {"enable inside glBegin",
         [] {
             glBegin(GL_TRIANGLES);
             glEnable(GL_BLEND);
             glEnd();
         },
         GL_INVALID_OPERATION},
        {"push inside glBegin",
         [] {
             glBegin(GL_TRIANGLE_STRIP);
             glPushMatrix();
             glEnd();
         },
         GL_INVALID_OPERATION},
        {"glBegin inside glBegin",
         [] {
             glBegin(GL_TRIANGLES);
             glBegin(GL_TRIANGLES);
             glEnd();
         },
         GL_INVALID_OPERATION},
        {"source colour as source factor", [] { glBlendFunc(GL_SRC_COLOR, GL_ONE); }, GL_INVALID_ENUM},
        {"negative viewport", [] { glViewport(0, 0, -1, 4); }, GL_INVALID_VALUE},
        {"negative scissor", [] { glScissor(0, 0, 4, -4); }, GL_INVALID_VALUE},
        {"unknown matrix mode", [] { glMatrixMode(GL_COLOR); }, GL_INVALID_ENUM},
        {"float pixels", [] { glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_FLOAT, nullptr); },
         GL_INVALID_ENUM},
        {"unknown internal format",
         [] { glTexImage2D(GL_TEXTURE_2D, 0, 7, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr); }, GL_INVALID_VALUE},
        {"texture border", [] { glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, nullptr); },
         GL_INVALID_VALUE},
        {"byte swapping", [] { glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_TRUE); }, GL_INVALID_VALUE},
        {"alignment of 3", [] { glPixelStorei(GL_UNPACK_ALIGNMENT, 3); }, GL_INVALID_VALUE},
        {"flat frustum", [] { glFrustum(-1, 1, -1, 1, 0, 10); }, GL_INVALID_VALUE},
        {"mipmap magnification", [] { glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR_MIPMAP_LINEAR); },
         GL_INVALID_ENUM},
        {"one-dimensional texture",
         [] { glTexImage1D(GL_TEXTURE_1D, 0, GL_RGB, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr); }, GL_INVALID_ENUM},
        {"error query inside glBegin",
         [] {
             glBegin(GL_TRIANGLES);
             EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
             glEnd();
         },
         GL_INVALID_OPERATION},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.name);
        GLdouble before[16], after[16];
        glGetDoublev(GL_MODELVIEW_MATRIX, before);
        r.call();
        EXPECT_EQ(glGetError(), r.error);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "the error is reported once";
        glGetDoublev(GL_MODELVIEW_MATRIX, after);
        EXPECT_EQ(std::vector<double>(before, before + 16), std::vector<double>(after, after + 16));
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        GLint viewport[4], alignment = 0, blendSource = 0;
        glGetIntegerv(GL_VIEWPORT, viewport);
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        glGetIntegerv(GL_BLEND_SRC, &blendSource);
        EXPECT_EQ(viewport[2], SIZE);
        EXPECT_EQ(alignment, 4);
        EXPECT_EQ(blendSource, GL_ONE);
    }
}

TEST_F(Library, KeepsTheFirstErrorUntilItIsRead) {
    glEnable(GL_FOG);          // GL_INVALID_ENUM
    glViewport(0, 0, -1, -1);  // GL_INVALID_VALUE, not recorded over the first
    EXPECT_EQ(glGetError(), GLenum(GL_INVALID_ENUM));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Library, AnswersGlusPixelStoreNamesAtGlsDefaults) {
    for (GLenum name : {GLenum(GL_UNPACK_SWAP_BYTES), GLenum(GL_UNPACK_LSB_FIRST), GLenum(GL_PACK_SWAP_BYTES),
                        GLenum(GL_PACK_LSB_FIRST), GLenum(0x806D) /* GL_UNPACK_SKIP_IMAGES */,
                        GLenum(0x806E) /* GL_UNPACK_IMAGE_HEIGHT */}) {
        GLint value = -1;
        glGetIntegerv(name, &value);
        EXPECT_EQ(value, 0) << std::hex << name;
        glPixelStorei(name, 0);  // GLU puts them back to what it read
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << std::hex << name;
    }
}

// ---- stacks ----------------------------------------------------------------------------------

TEST_F(Library, StacksOverflowAndUnderflowAtTheirLimits) {
    struct Stack {
        GLenum mode, depthName, maxName;
    };
    for (Stack s : {Stack{GL_MODELVIEW, GL_MODELVIEW_STACK_DEPTH, GL_MAX_MODELVIEW_STACK_DEPTH},
                    Stack{GL_PROJECTION, GL_PROJECTION_STACK_DEPTH, GL_MAX_PROJECTION_STACK_DEPTH},
                    Stack{GL_TEXTURE, GL_TEXTURE_STACK_DEPTH, GL_MAX_TEXTURE_STACK_DEPTH}}) {
        SCOPED_TRACE(s.mode);
        glMatrixMode(s.mode);
        GLint max = 0, depth = 0;
        glGetIntegerv(s.maxName, &max);
        ASSERT_GE(max, 2);
        for (int i = 1; i < max; ++i) glPushMatrix();
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        glTranslatef(1, 2, 3);
        glPushMatrix();
        EXPECT_EQ(glGetError(), GLenum(GL_STACK_OVERFLOW));
        GLfloat top[16];
        glGetFloatv(s.mode == GL_MODELVIEW    ? GL_MODELVIEW_MATRIX
                    : s.mode == GL_PROJECTION ? GL_PROJECTION_MATRIX
                                              : GL_TEXTURE_MATRIX,
                    top);
        EXPECT_EQ(top[12], 1) << "the refused push left the top as it was";
        glGetIntegerv(s.depthName, &depth);
        EXPECT_EQ(depth, max);
        for (int i = 1; i < max; ++i) glPopMatrix();
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        glPopMatrix();
        EXPECT_EQ(glGetError(), GLenum(GL_STACK_UNDERFLOW));
        glGetIntegerv(s.depthName, &depth);
        EXPECT_EQ(depth, 1);
    }
    GLint max = 0;
    glGetIntegerv(GL_MAX_ATTRIB_STACK_DEPTH, &max);
    for (int i = 0; i < max; ++i) glPushAttrib(GL_ALL_ATTRIB_BITS);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    EXPECT_EQ(glGetError(), GLenum(GL_STACK_OVERFLOW));
    for (int i = 0; i < max; ++i) glPopAttrib();
    glPopAttrib();
    EXPECT_EQ(glGetError(), GLenum(GL_STACK_UNDERFLOW));
}

TEST_F(Library, MatricesComposeAsGlDoes) {
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(1, 2, 3);
    glRotatef(90, 0, 0, 1);
    glScalef(2, 2, 2);
    GLdouble m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    // (1, 0, 0) scaled to (2, 0, 0), turned to (0, 2, 0), moved to (1, 4, 3).
    const double x = m[0] + m[12], y = m[1] + m[13], z = m[2] + m[14];
    EXPECT_NEAR(x, 1, 1e-6);
    EXPECT_NEAR(y, 4, 1e-6);
    EXPECT_NEAR(z, 3, 1e-6);
    const GLdouble loaded[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, 6, 7, 1};
    glLoadMatrixd(loaded);
    glMultMatrixd(loaded);
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    EXPECT_EQ(m[12], 10);
    EXPECT_EQ(m[14], 14);
}

// ---- state: attributes, persistence, queries -------------------------------------------------

TEST_F(Library, PopAttribPutsBackWhatWasPushedButTheViewport) {
    glColor4f(0.25f, 0.5f, 0.75f, 1);
    glBindTexture(GL_TEXTURE_2D, 7);
    glPushAttrib(GL_ALL_ATTRIB_BITS & ~GLbitfield(GL_VIEWPORT_BIT));
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_GEN_S);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glColor3ub(255, 0, 0);
    glBindTexture(GL_TEXTURE_2D, 9);
    glMatrixMode(GL_PROJECTION);
    glScissor(1, 2, 3, 4);
    glViewport(0, 0, 32, 32);
    glPopAttrib();
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    GLint value[4];
    glGetIntegerv(GL_BLEND_DST, value);
    EXPECT_EQ(value[0], GL_ZERO);
    glGetIntegerv(0x8069 /* GL_TEXTURE_BINDING_2D */, value);
    EXPECT_EQ(value[0], 7);
    glGetIntegerv(GL_MATRIX_MODE, value);
    EXPECT_EQ(value[0], GL_MODELVIEW);
    glGetIntegerv(GL_SCISSOR_BOX, value);
    EXPECT_EQ(value[2], SIZE);
    glGetIntegerv(GL_VIEWPORT, value);
    EXPECT_EQ(value[2], 32) << "the viewport was not pushed";
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[1], 0.5f);
}

TEST_F(Library, TheCurrentNormalOutlivesItsPrimitiveAndTheFrame) {
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glColor3f(1, 1, 1);
    glBegin(GL_TRIANGLES);
    glNormal3f(0, 0, 0.5f);  // left behind by the first primitive, as the star leaves its normal
    glEnd();
    glClear(GL_COLOR_BUFFER_BIT);
    glesFlush();
    FillViewport();  // no normal of its own
    glesFlush();
    // 0.2 ambient + 0.5 diffuse of white.
    ExpectNear(PixelAt(SIZE / 2, SIZE / 2), {179, 179, 179}, "lit by the normal left behind");
    GLfloat normal[3];
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    EXPECT_EQ(normal[2], 0.5f);
}

// ---- what is drawn ---------------------------------------------------------------------------

struct Lighting {
    const char* name;
    std::function<void()> setUp;
    Rgb expected;
};

// Colour 0.5 grey: lit = 0.2 * 0.5 ambient + max(n . (0, 0, 1), 0) * 0.5 diffuse, per channel.
TEST_F(Library, LightsEachVertexInEyeSpace) {
    const Lighting cases[] = {
        {"facing the light", [] { glNormal3f(0, 0, 1); }, {153, 153, 153}},
        {"facing away: ambient only", [] { glNormal3f(0, 0, -1); }, {26, 26, 26}},
        {"turned 60 degrees by the model-view matrix",
         [] {
             glRotatef(60, 1, 0, 0);
             glNormal3f(0, 0, 1);
         },
         {89, 89, 89}},
        {"scaled normal, not normalised",
         [] {
             glScalef(4, 4, 4);
             glNormal3f(0, 0, 1);  // through the inverse transpose: a quarter as long
         },
         {57, 57, 57}},
        {"scaled normal under GL_NORMALIZE",
         [] {
             glEnable(GL_NORMALIZE);
             glScalef(4, 4, 4);
             glNormal3f(0, 0, 1);
         },
         {153, 153, 153}},
        {"a normal 0.3 long, not normalised: lit by its length", [] { glNormal3f(0, 0.18f, 0.24f); }, {56, 56, 56}},
        {"a normal of the lower half, turned to face the light",
         [] {
             glRotatef(180, 0, 1, 0);
             glNormal3f(0.6f, 0, -0.8f);
         },
         {128, 128, 128}},
        {"colour material switched off: the material keeps the colour it took",
         [] {
             glDisable(GL_COLOR_MATERIAL);
             glColor3f(1, 1, 1);  // no longer tracked
             glNormal3f(0, 0, 1);
         },
         {153, 153, 153}},
        {"light 0 off: ambient only", [] { glDisable(GL_LIGHT0); }, {26, 26, 26}},
    };
    for (const Lighting& c : cases) {
        SCOPED_TRACE(c.name);
        glClear(GL_COLOR_BUFFER_BIT);
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glPushMatrix();
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glEnable(GL_COLOR_MATERIAL);
        glColor3f(0.5f, 0.5f, 0.5f);
        c.setUp();
        // The normal goes through the matrix in force at each vertex: the quad is drawn under
        // the same matrix, and still covers the middle of the viewport.
        glBegin(GL_TRIANGLE_STRIP);
        for (auto [x, y] : {std::pair{-1.f, -1.f}, {1.f, -1.f}, {-1.f, 1.f}, {1.f, 1.f}}) glVertex3f(x, y, 0);
        glEnd();
        glPopMatrix();
        glPopAttrib();
        glesFlush();
        ExpectNear(PixelAt(SIZE / 2, SIZE / 2), c.expected, c.name);
    }
}

TEST_F(Library, BatchesPrimitivesUntilTheDriverMustKnowSomething) {
    glClear(GL_COLOR_BUFFER_BIT);
    const long before = glesDrawCallCount();
    for (int i = 0; i < 100; ++i) {
        glPushMatrix();
        glTranslatef(float(i % 10) * 0.01f, 0, 0);  // matrix changes cost nothing
        glColor3ub(GLubyte(i), 0, 0);
        glBegin(GL_TRIANGLE_STRIP);
        glVertex3f(-0.5f, -0.5f, 0);
        glVertex3f(0.5f, -0.5f, 0);
        glVertex3f(-0.5f, 0.5f, 0);
        glEnd();
        glPopMatrix();
    }
    glesFlush();
    EXPECT_EQ(glesDrawCallCount() - before, 1);
    glBegin(GL_TRIANGLES);
    glVertex3f(0, 0, 0);
    glVertex3f(1, 0, 0);
    glVertex3f(0, 1, 0);
    glEnd();
    glEnable(GL_BLEND);
    glBegin(GL_TRIANGLES);
    glVertex3f(0, 0, 0);
    glVertex3f(1, 0, 0);
    glVertex3f(0, 1, 0);
    glEnd();
    glesFlush();
    EXPECT_EQ(glesDrawCallCount() - before, 3) << "blending ended the batch";
}

TEST_F(Library, QuadStripsAndFansCoverWhatGlCovers) {
    const std::pair<GLenum, std::vector<std::pair<float, float>>> shapes[] = {
        {GL_QUAD_STRIP, {{-1, -1}, {-1, 1}, {0, -1}, {0, 1}, {1, -1}, {1, 1}}},
        {GL_TRIANGLE_FAN, {{0, 0}, {-1, -1}, {1, -1}, {1, 1}, {-1, 1}, {-1, -1}}},
        {GL_POLYGON, {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}},
    };
    for (const auto& [mode, corners] : shapes) {
        SCOPED_TRACE(mode);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor3ub(0, 200, 0);
        glBegin(mode);
        for (auto [x, y] : corners) glVertex3f(x, y, 0);
        glEnd();
        glesFlush();
        for (auto [x, y] : {std::pair{1, 1}, {SIZE - 2, 1}, {1, SIZE - 2}, {SIZE - 2, SIZE - 2}, {SIZE / 2, SIZE / 3}})
            ExpectNear(PixelAt(x, y), {0, 200, 0}, "covered at " + std::to_string(x) + "," + std::to_string(y));
    }
}

TEST_F(Library, TexturesModulateAndIncompleteOnesAreNotSampled) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    // Two RGB texels in rows padded to the default unpack alignment of 4.
    const GLubyte pixels[] = {200, 100, 50, 200, 100, 50, 0, 0};
    glTexImage2D(GL_TEXTURE_2D, 0, 3, 2, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    glEnable(GL_TEXTURE_2D);
    glColor3f(0.5f, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    FillViewport();
    glesFlush();
    // The default minification asks for mipmaps that were never sent: GL draws untextured.
    ExpectNear(PixelAt(SIZE / 2, SIZE / 2), {128, 255, 255}, "incomplete texture");
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    FillViewport();
    glesFlush();
    ExpectNear(PixelAt(SIZE / 2, SIZE / 2), {100, 100, 50}, "modulated texture");
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 2);
    GLint max = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max);
    glTexImage2D(0x8064 /* GL_PROXY_TEXTURE_2D */, 1, 3, max, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glGetTexLevelParameteriv(0x8064, 1, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 0) << "level 1 cannot be as wide as the largest level 0";
    glTexImage2D(0x8064, 1, 3, max / 2, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glGetTexLevelParameteriv(0x8064, 1, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, max / 2);
    glDeleteTextures(1, &name);
    GLint bound = -1;
    glGetIntegerv(0x8069 /* GL_TEXTURE_BINDING_2D */, &bound);
    EXPECT_EQ(bound, 0);
}

struct Upload {
    const char* name;
    GLint internalFormat;
    GLenum format;
    std::vector<GLubyte> bytes;
    GLint rowLength, skipPixels, skipRows;
    Rgb expected;  // drawn under white with GL_MODULATE
};

TEST_F(Library, UnpacksEveryFormatGluAndTheLoadersSend) {
    const Upload uploads[] = {
        {"RGB", 3, GL_RGB, {10, 20, 30}, 0, 0, 0, {10, 20, 30}},
        {"BGR as the TGA loader's", GL_RGB, 0x80E0 /* GL_BGR */, {10, 20, 30}, 0, 0, 0, {30, 20, 10}},
        {"BGRA", GL_RGBA, 0x80E1 /* GL_BGRA */, {10, 20, 30, 255}, 0, 0, 0, {30, 20, 10}},
        {"RGBA kept as RGB", GL_RGB, GL_RGBA, {10, 20, 30, 0}, 0, 0, 0, {10, 20, 30}},
        {"luminance", 1, GL_LUMINANCE, {77}, 0, 0, 0, {77, 77, 77}},
        {"luminance and alpha", 2, GL_LUMINANCE_ALPHA, {77, 5}, 0, 0, 0, {77, 77, 77}},
        {"RGB kept as luminance: red", GL_LUMINANCE, GL_RGB, {100, 0, 200}, 0, 0, 0, {100, 100, 100}},
        {"alpha leaves the colour", GL_ALPHA, GL_ALPHA, {9}, 0, 0, 0, {255, 255, 255}},
        {"skipped pixels in a longer row", 3, GL_RGB, {1, 2, 3, 40, 50, 60}, 2, 1, 0, {40, 50, 60}},
        {"skipped row, aligned to 4", 3, GL_RGB, {1, 2, 3, 0, 70, 80, 90}, 0, 0, 1, {70, 80, 90}},
    };
    glEnable(GL_TEXTURE_2D);
    glColor3f(1, 1, 1);
    for (const Upload& u : uploads) {
        SCOPED_TRACE(u.name);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, u.rowLength);
        glPixelStorei(GL_UNPACK_SKIP_PIXELS, u.skipPixels);
        glPixelStorei(GL_UNPACK_SKIP_ROWS, u.skipRows);
        glTexImage2D(GL_TEXTURE_2D, 0, u.internalFormat, 1, 1, 0, u.format, GL_UNSIGNED_BYTE, u.bytes.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        FillViewport();
        glesFlush();
        ExpectNear(PixelAt(SIZE / 2, SIZE / 2), u.expected, u.name);
    }
}

TEST_F(Library, ReadsPixelsInGl11Layouts) {
    glClearColor(0.2f, 0.4f, 0.6f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    struct Layout {
        GLenum format;
        GLint alignment;
        std::vector<int> firstRow;  // 3 pixels, then padding left as it was (7)
    };
    const Layout layouts[] = {
        {GL_RGB, 4, {51, 102, 153, 51, 102, 153, 51, 102, 153, 7, 7, 7}},
        {GL_RGB, 1, {51, 102, 153, 51, 102, 153, 51, 102, 153, 51, 102, 153}},
        {0x80E0 /* GL_BGR */, 4, {153, 102, 51, 153, 102, 51, 153, 102, 51, 7, 7, 7}},
    };
    for (const Layout& l : layouts) {
        SCOPED_TRACE(l.format);
        glPixelStorei(GL_PACK_ALIGNMENT, l.alignment);
        std::vector<GLubyte> out(24, 7);
        glReadPixels(0, 0, 3, 2, l.format, GL_UNSIGNED_BYTE, out.data());
        // Row two starts at the aligned stride; the first twelve bytes show it.
        for (std::size_t i = 0; i < l.firstRow.size(); ++i) EXPECT_NEAR(out[i], l.firstRow[i], 1) << "byte " << i;
    }
}

TEST_F(Library, QueriesAnswerTheState) {
    EXPECT_STREQ(reinterpret_cast<const char*>(glGetString(GL_VERSION)), "1.1");
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    glEnable(GL_DEPTH_TEST);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLboolean on = GL_FALSE;
    glGetBooleanv(GL_DEPTH_TEST, &on);
    EXPECT_TRUE(on);
    glColor4f(1, 0, 0, 0.5f);
    GLint colour[4];
    glGetIntegerv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 2147483647);
    EXPECT_NEAR(colour[3], 1073741823, 128);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    glGetIntegerv(GL_FOG_COLOR, colour);
    EXPECT_EQ(glGetError(), GLenum(GL_INVALID_ENUM));
}

}  // namespace
