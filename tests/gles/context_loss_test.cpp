// A driver context lost and given back empty, as a browser's WebGL context can be: the library
// builds its programs and buffers again and re-sends every texture, each level, and the next
// frame is the frame it drew before.
#include <gtest/gtest.h>

#include <vector>

#include "tests/gles/library_fixture.h"

namespace {

GLuint SolidTexture(std::initializer_list<std::array<GLubyte, 3>> levels, GLenum minFilter) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    GLsizei size = GLsizei(1) << (levels.size() - 1);
    GLint level = 0;
    for (const auto& rgb : levels) {
        std::vector<GLubyte> texels;
        for (GLsizei i = 0; i < size * size; ++i) texels.insert(texels.end(), rgb.begin(), rgb.end());
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, level++, GL_RGB, size, size, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
        size /= 2;
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GLint(minFilter));
    return name;
}

// Three textured quads and a lit one: the left quad samples the mipmap's level 1 (two texels to
// a pixel), so a level not re-sent leaves it incomplete and black.
void DrawFrame(const std::vector<GLuint>& textures) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    const float lefts[] = {-1, -0.5f, 0};
    for (std::size_t i = 0; i < textures.size(); ++i) {
        glBindTexture(GL_TEXTURE_2D, textures[i]);
        const float x = lefts[i];
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0);
        glVertex3f(x, -1, 0);
        glTexCoord2f(16, 0);
        glVertex3f(x + 0.5f, -1, 0);
        glTexCoord2f(16, 64);
        glVertex3f(x + 0.5f, 1, 0);
        glTexCoord2f(0, 64);
        glVertex3f(x, 1, 0);
        glEnd();
    }
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glNormal3f(0, 0, 0.5f);
    glBegin(GL_QUADS);
    glVertex3f(0.5f, -1, 0);
    glVertex3f(1, -1, 0);
    glVertex3f(1, 1, 0);
    glVertex3f(0.5f, 1, 0);
    glEnd();
    glDisable(GL_LIGHTING);
    glesFlush();
}

std::vector<GLubyte> Picture() {
    std::vector<GLubyte> pixels(SIZE * SIZE * 4);
    glReadPixels(0, 0, SIZE, SIZE, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

using StateSnapshot = std::vector<double>;

StateSnapshot Snapshot() {
    StateSnapshot s;
    for (GLenum name : {GLenum(GL_MODELVIEW_MATRIX), GLenum(GL_PROJECTION_MATRIX), GLenum(GL_CURRENT_COLOR),
                        GLenum(GL_CURRENT_NORMAL), GLenum(GL_VIEWPORT), GLenum(0x8069) /* texture binding */,
                        GLenum(GL_BLEND), GLenum(GL_DEPTH_TEST), GLenum(GL_LIGHTING), GLenum(GL_TEXTURE_2D)}) {
        GLdouble v[16] = {};
        glGetDoublev(name, v);
        s.insert(s.end(), v, v + 16);
    }
    return s;
}

TEST_F(Library, ALostDriverContextComesBackAsItWas) {
    std::vector<GLuint> textures = {SolidTexture({{200, 0, 0}, {0, 200, 0}}, GL_NEAREST_MIPMAP_NEAREST),
                                    SolidTexture({{0, 0, 200}}, GL_NEAREST)};
    glTranslatef(0, 0, -0.25f);
    glColor3f(1, 1, 1);
    DrawFrame(textures);
    DrawFrame(textures);  // the second from the buffers of the first
    const std::vector<GLubyte> before = Picture();
    const Rgb mipmapped = {before[(SIZE / 2 * SIZE + 4) * 4], before[(SIZE / 2 * SIZE + 4) * 4 + 1],
                           before[(SIZE / 2 * SIZE + 4) * 4 + 2]};
    ExpectNear(mipmapped, {0, 200, 0}, "the mipmap's level 1");
    const StateSnapshot state = Snapshot();
    const long draws = glesDrawCallCount();

    glesContextLost(gl);
    // While lost, GL 1.1 goes on: a texture made now is in the next frame.
    textures.push_back(SolidTexture({{90, 90, 0}}, GL_NEAREST));
    DrawFrame(textures);
    EXPECT_EQ(glesDrawCallCount(), draws) << "nothing reaches a lost driver";
    textures.pop_back();
    glBindTexture(GL_TEXTURE_2D, textures.back());  // as it was bound when the state was taken

    // The browser gives back a fresh, empty context: here a new driver context on the window.
    SDL_GLContext fresh = SDL_GL_CreateContext(window);
    ASSERT_NE(fresh, nullptr) << SDL_GetError();
    ASSERT_TRUE(glesContextRestored(gl, ProcGetter())) << glesLastFailure();
    EXPECT_EQ(Snapshot(), state);
    DrawFrame(textures);
    EXPECT_EQ(Picture(), before);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    // And the texture made while lost was sent too.
    textures.push_back(textures.back());
    glBindTexture(GL_TEXTURE_2D, 3);
    textures.back() = 3;
    DrawFrame(textures);
    ExpectNear(PixelAt(SIZE / 2 + 4, SIZE / 2), {90, 90, 0}, "the texture sent while lost");
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    glesMakeCurrent(nullptr);
    SDL_GL_MakeCurrent(window, driverContext);
    SDL_GL_DeleteContext(fresh);
    glesMakeCurrent(gl);
}

}  // namespace
