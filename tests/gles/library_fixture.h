// library_fixture.h - the library's tests on one real OpenGL ES 3.0 context: a hidden SDL
// window and its ES context made once for the process, and a fresh library context (GL 1.1's
// initial state) for every test. Helpers read pixels and fill the viewport.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "gles/gles.h"

constexpr int SIZE = 64;

class Library : public testing::Test {
protected:
    static inline SDL_Window* window = nullptr;
    static inline SDL_GLContext driverContext = nullptr;
    GlesContext* gl = nullptr;

    static GlesProcGetter ProcGetter() {
        return [](const char* name) { return SDL_GL_GetProcAddress(name); };
    }

    static void SetUpTestSuite() {
        if (driverContext) return;
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
        for (SDL_GLattr channel : {SDL_GL_RED_SIZE, SDL_GL_GREEN_SIZE, SDL_GL_BLUE_SIZE})
            SDL_GL_SetAttribute(channel, 8);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
        window = SDL_CreateWindow("gles", 0, 0, SIZE, SIZE, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        ASSERT_NE(window, nullptr) << SDL_GetError();
        driverContext = SDL_GL_CreateContext(window);
        ASSERT_NE(driverContext, nullptr) << SDL_GetError();
    }
    // The driver context lives as long as the process, as the demo's does: the driver's own
    // allocations stay reachable from it, and the leak checker sees the library's alone.

    void SetUp() override {
        ASSERT_NE(driverContext, nullptr);
        gl = glesCreateContext(ProcGetter());
        ASSERT_NE(gl, nullptr) << glesLastFailure();
        glesMakeCurrent(gl);
    }
    void TearDown() override {
        glesMakeCurrent(nullptr);
        glesDestroyContext(gl);
    }
};

using Rgb = std::array<int, 3>;

inline Rgb PixelAt(int x, int y) {
    unsigned char p[4] = {};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
}

// The whole viewport, with identity matrices, as a quad.
inline void FillViewport(float z = 0) {
    glBegin(GL_QUADS);
    glVertex3f(-1, -1, z);
    glVertex3f(1, -1, z);
    glVertex3f(1, 1, z);
    glVertex3f(-1, 1, z);
    glEnd();
}

inline void ExpectNear(const Rgb& actual, const Rgb& expected, const std::string& what) {
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(actual[i], expected[i], 1) << what << ", channel " << i;
}
