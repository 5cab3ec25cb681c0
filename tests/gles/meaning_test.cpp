// GL 1.1's meaning where a whole picture would hide a small fault: the sphere map's coordinates
// against its formula, what each attribute bit alone puts back, colour material switched off,
// texture names only generated, the planar texture-coordinate modes, the driver's own errors.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "tests/gles/library_fixture.h"

namespace {

// A 256 x 256 texture whose texel (s, t) is red s, green t: a pixel drawn with it under white
// shows the texture coordinate it was given, to 1/256.
GLuint CoordinateTexture() {
    std::vector<GLubyte> texels;
    for (int t = 0; t < 256; ++t)
        for (int s = 0; s < 256; ++s) texels.insert(texels.end(), {GLubyte(s), GLubyte(t), 0});
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 256, 256, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glEnable(GL_TEXTURE_2D);
    glColor3f(1, 1, 1);
    return name;
}

struct Vec3 {
    double x, y, z;
};

Vec3 Normalised(Vec3 v) {
    const double l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / l, v.y / l, v.z / l};
}

struct SphereCase {
    Vec3 normal, towards;  // the eye-space normal and the direction from the eye to the vertex
};

TEST_F(Library, SphereMapCoordinatesFollowGl11sFormula) {
    CoordinateTexture();
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    const SphereCase cases[] = {
        {{0, 0, 1}, {0, 0, -1}},
        {{0.6, 0, 0.8}, {0, 0, -1}},
        {{0, -0.6, 0.8}, {0, 0, -1}},
        {{0.48, 0.6, 0.64}, {0, 0, -1}},
        {{0, 0, 1}, {0.3, -0.2, -1}},
        {{0.6, 0, 0.8}, {-0.5, 0.4, -0.77}},
        {{-0.36, 0.48, 0.8}, {0.2, 0.25, -1}},
    };
    for (const SphereCase& c : cases) {
        const Vec3 n = Normalised(c.normal), u = Normalised(c.towards);
        // r = u - 2 n (n . u); s, t = r.xy / (2 sqrt(rx^2 + ry^2 + (rz + 1)^2)) + 1/2.
        const double d = n.x * u.x + n.y * u.y + n.z * u.z;
        const Vec3 r{u.x - 2 * n.x * d, u.y - 2 * n.y * d, u.z - 2 * n.z * d};
        const double m = 2 * std::sqrt(r.x * r.x + r.y * r.y + (r.z + 1) * (r.z + 1));
        const double s = r.x / m + 0.5, t = r.y / m + 0.5;
        SCOPED_TRACE("normal " + std::to_string(n.x) + " " + std::to_string(n.y) + " " + std::to_string(n.z) +
                     ", towards " + std::to_string(u.x) + " " + std::to_string(u.y) + " " + std::to_string(u.z));
        // A quad far along the direction, so every pixel sees the vertex direction to 1/1000,
        // filling a viewport boxed around it.
        const double far = 1000;
        const Vec3 centre{u.x * far, u.y * far, u.z * far};
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(centre.x - 1, centre.x + 1, centre.y - 1, centre.y + 1, -centre.z - 10, -centre.z + 10);
        glMatrixMode(GL_MODELVIEW);
        glClear(GL_COLOR_BUFFER_BIT);
        glNormal3f(float(n.x), float(n.y), float(n.z));
        glBegin(GL_QUADS);
        for (auto [dx, dy] : {std::pair{-1.0, -1.0}, {1.0, -1.0}, {1.0, 1.0}, {-1.0, 1.0}})
            glVertex3f(float(centre.x + dx), float(centre.y + dy), float(centre.z));
        glEnd();
        glesFlush();
        const Rgb pixel = PixelAt(SIZE / 2, SIZE / 2);
        EXPECT_NEAR(pixel[0], s * 256, 1.5) << "s = " << s;
        EXPECT_NEAR(pixel[1], t * 256, 1.5) << "t = " << t;
    }
}

TEST_F(Library, PlanarGenerationUsesGlsDefaultPlanes) {
    CoordinateTexture();
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    // s is the eye x, t the object y: under a shift of the model-view by 0.25 along x and y,
    // a vertex at object (x, y) has s = x + 0.25, t = y.
    glTranslatef(0.25f, 0.25f, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glBegin(GL_QUADS);
    for (auto [x, y] : {std::pair{-1.f, -1.f}, {1.f, -1.f}, {1.f, 1.f}, {-1.f, 1.f}})
        glVertex3f(x * 0.2f + 0.2f, y * 0.2f + 0.2f, 0);
    glEnd();
    glesFlush();
    // The pixel at window (40, 40) is eye (0.25 + 0.0156, same); object y = that - 0.25.
    const double eye = (40 + 0.5) / SIZE * 2 - 1;
    const Rgb pixel = PixelAt(40, 40);
    EXPECT_NEAR(pixel[0], eye * 256, 1.5) << "s: the eye x";
    EXPECT_NEAR(pixel[1], (eye - 0.25) * 256, 1.5) << "t: the object y";
}

TEST_F(Library, ColourMaterialSwitchedOffKeepsTheLastColourItTook) {
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glNormal3f(0, 0, 1);
    struct Step {
        const char* name;
        std::function<void()> call;
        Rgb lit;  // 0.2 ambient * material + the full diffuse material
    };
    const Step steps[] = {
        {"never tracked: GL's default material, 0.2 and 0.8", [] { glColor3f(0.5f, 0.5f, 0.5f); }, {214, 214, 214}},
        {"tracking takes the current colour when switched on", [] { glEnable(GL_COLOR_MATERIAL); }, {153, 153, 153}},
        {"and every colour while on", [] { glColor3f(0.25f, 0.25f, 0.25f); }, {77, 77, 77}},
        {"switched off, the material keeps it",
         [] {
             glDisable(GL_COLOR_MATERIAL);
             glColor3f(1, 1, 1);
         },
         {77, 77, 77}},
        {"glPopAttrib of the lighting bit puts the material back",
         [] {
             glPushAttrib(GL_LIGHTING_BIT);
             glEnable(GL_COLOR_MATERIAL);
             glColor3f(1, 1, 1);
             glPopAttrib();
         },
         {77, 77, 77}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.call();
        glClear(GL_COLOR_BUFFER_BIT);
        FillViewport();
        glesFlush();
        ExpectNear(PixelAt(SIZE / 2, SIZE / 2), step.lit, step.name);
    }
}

TEST_F(Library, ANameOnlyGeneratedIsNoTextureUntilBound) {
    GLuint names[2];
    glGenTextures(2, names);
    EXPECT_NE(names[0], names[1]);
    EXPECT_FALSE(glIsTexture(names[0]));
    glBindTexture(GL_TEXTURE_2D, names[0]);
    EXPECT_TRUE(glIsTexture(names[0]));
    EXPECT_FALSE(glIsTexture(names[1]));
    GLuint next = 0;
    glGenTextures(1, &next);
    EXPECT_NE(next, names[1]) << "a generated name is taken, object or not";
    glDeleteTextures(2, names);
    EXPECT_FALSE(glIsTexture(names[0]));
    EXPECT_FALSE(glIsTexture(0));
}

TEST_F(Library, TheDriversOwnErrorsReachGlGetError) {
    // An error the driver raises itself, as an out-of-memory upload would.
    auto driverBindTexture = reinterpret_cast<void (*)(GLenum, GLuint)>(SDL_GL_GetProcAddress("glBindTexture"));
    ASSERT_NE(driverBindTexture, nullptr);
    driverBindTexture(GL_FOG, 1);
    EXPECT_EQ(glGetError(), GLenum(GL_INVALID_ENUM));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    glEnable(GL_FOG);  // the library's own error comes first
    driverBindTexture(GL_FOG, 1);
    EXPECT_EQ(glGetError(), GLenum(GL_INVALID_ENUM));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "both were read";
}

// ---- glPopAttrib, one bit at a time ----------------------------------------------------------

struct Fact {
    const char* name;
    GLbitfield restoredBy;          // the attribute bits whose pop puts it back
    std::function<void()> change;   // away from GL's initial state
    std::function<bool()> changed;  // whether it is still changed
};

bool Enabled(GLenum capability) { return glIsEnabled(capability); }
GLint Integer(GLenum name) {
    GLint v[4] = {};
    glGetIntegerv(name, v);
    return v[0];
}
GLint Third(GLenum name) {
    GLint v[4] = {};
    glGetIntegerv(name, v);
    return v[2];
}
float FloatOf(GLenum name, int index) {
    GLfloat v[4] = {};
    glGetFloatv(name, v);
    return v[index];
}

TEST_F(Library, EachAttributeBitAlonePutsBackItsOwnStateOnly) {
    const GLbitfield E = GL_ENABLE_BIT;
    const Fact facts[] = {
        {"blending", GL_COLOR_BUFFER_BIT | E, [] { glEnable(GL_BLEND); }, [] { return Enabled(GL_BLEND); }},
        {"blend function", GL_COLOR_BUFFER_BIT, [] { glBlendFunc(GL_SRC_ALPHA, GL_ONE); },
         [] { return Integer(GL_BLEND_SRC) == GL_SRC_ALPHA; }},
        {"clear colour", GL_COLOR_BUFFER_BIT, [] { glClearColor(0.5f, 0, 0, 0); },
         [] { return FloatOf(GL_COLOR_CLEAR_VALUE, 0) == 0.5f; }},
        {"depth test", GL_DEPTH_BUFFER_BIT | E, [] { glEnable(GL_DEPTH_TEST); }, [] { return Enabled(GL_DEPTH_TEST); }},
        {"depth function", GL_DEPTH_BUFFER_BIT, [] { glDepthFunc(GL_LEQUAL); },
         [] { return Integer(GL_DEPTH_FUNC) == GL_LEQUAL; }},
        {"clear depth", GL_DEPTH_BUFFER_BIT, [] { glClearDepth(0.5); },
         [] { return FloatOf(GL_DEPTH_CLEAR_VALUE, 0) == 0.5f; }},
        {"lighting", GL_LIGHTING_BIT | E, [] { glEnable(GL_LIGHTING); }, [] { return Enabled(GL_LIGHTING); }},
        {"light 0", GL_LIGHTING_BIT | E, [] { glEnable(GL_LIGHT0); }, [] { return Enabled(GL_LIGHT0); }},
        {"colour material", GL_LIGHTING_BIT | E, [] { glEnable(GL_COLOR_MATERIAL); },
         [] { return Enabled(GL_COLOR_MATERIAL); }},
        {"shade model", GL_LIGHTING_BIT, [] { glShadeModel(GL_FLAT); },
         [] { return Integer(GL_SHADE_MODEL) == GL_FLAT; }},
        {"current colour", GL_CURRENT_BIT, [] { glColor3f(0.5f, 0.5f, 0.5f); },
         [] { return FloatOf(GL_CURRENT_COLOR, 0) == 0.5f; }},
        {"current normal", GL_CURRENT_BIT, [] { glNormal3f(1, 0, 0); },
         [] { return FloatOf(GL_CURRENT_NORMAL, 0) == 1; }},
        {"current texture coordinate", GL_CURRENT_BIT, [] { glTexCoord2f(0.5f, 0); },
         [] { return FloatOf(GL_CURRENT_TEXTURE_COORDS, 0) == 0.5f; }},
        {"texturing", GL_TEXTURE_BIT | E, [] { glEnable(GL_TEXTURE_2D); }, [] { return Enabled(GL_TEXTURE_2D); }},
        {"texture generation", GL_TEXTURE_BIT | E, [] { glEnable(GL_TEXTURE_GEN_S); },
         [] { return Enabled(GL_TEXTURE_GEN_S); }},
        {"bound texture", GL_TEXTURE_BIT, [] { glBindTexture(GL_TEXTURE_2D, 5); },
         [] { return Integer(0x8069 /* GL_TEXTURE_BINDING_2D */) == 5; }},
        {"scissor test", GL_SCISSOR_BIT | E, [] { glEnable(GL_SCISSOR_TEST); },
         [] { return Enabled(GL_SCISSOR_TEST); }},
        {"scissor box", GL_SCISSOR_BIT, [] { glScissor(0, 0, 3, 3); }, [] { return Third(GL_SCISSOR_BOX) == 3; }},
        {"viewport", GL_VIEWPORT_BIT, [] { glViewport(0, 0, 5, 5); }, [] { return Third(GL_VIEWPORT) == 5; }},
        {"matrix mode", GL_TRANSFORM_BIT, [] { glMatrixMode(GL_TEXTURE); },
         [] { return Integer(GL_MATRIX_MODE) == GL_TEXTURE; }},
        {"normalising", GL_TRANSFORM_BIT | E, [] { glEnable(GL_NORMALIZE); }, [] { return Enabled(GL_NORMALIZE); }},
        {"perspective hint", GL_HINT_BIT, [] { glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST); },
         [] { return Integer(GL_PERSPECTIVE_CORRECTION_HINT) == GL_NICEST; }},
    };
    for (GLbitfield bit : {GL_CURRENT_BIT, GL_ENABLE_BIT, GL_COLOR_BUFFER_BIT, GL_DEPTH_BUFFER_BIT, GL_LIGHTING_BIT,
                           GL_TEXTURE_BIT, GL_SCISSOR_BIT, GL_VIEWPORT_BIT, GL_TRANSFORM_BIT, GL_HINT_BIT}) {
        SCOPED_TRACE("bit " + std::to_string(bit));
        glPushAttrib(GL_ALL_ATTRIB_BITS);  // GL's initial state, for the next bit
        glPushAttrib(bit);
        for (const Fact& f : facts) f.change();
        glPopAttrib();
        for (const Fact& f : facts) EXPECT_EQ(f.changed(), !(f.restoredBy & bit)) << f.name;
        glPopAttrib();
        for (const Fact& f : facts) EXPECT_FALSE(f.changed()) << f.name << ", after popping every bit";
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
}

TEST_F(Library, TheCurrentColourAndNormalPoppedAreTheOnesDrawn) {
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glColor3ub(200, 0, 0);
    glNormal3f(0, 0, 1);
    glPushAttrib(GL_CURRENT_BIT);
    glColor3ub(0, 200, 0);
    glNormal3f(0, 0, -1);  // facing away from light 0: ambient only
    glPopAttrib();
    glClear(GL_COLOR_BUFFER_BIT);
    FillViewport();
    glesFlush();
    // The red put back, lit from the front: 0.2 ambient and the full diffuse.
    ExpectNear(PixelAt(SIZE / 2, SIZE / 2), {240, 0, 0}, "the colour and the normal put back");
}

}  // namespace
