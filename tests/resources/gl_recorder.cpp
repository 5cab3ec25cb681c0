// gl_recorder.cpp - records the texture and pixel-store calls instead of making them.
#include "gl_recorder.h"

#include <GL/gl.h>

#include <cstdio>

std::vector<GlCall> g_glCalls;
const void* g_lastTexImagePixels;

namespace {

GLuint g_nextName = 1;

template <typename... T>
std::string Args(T... values) {
    std::string text;
    for (long long v : {static_cast<long long>(values)...}) text += (text.empty() ? "" : ",") + std::to_string(v);
    return text;
}

std::string FloatText(GLfloat v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", double(v));
    return text;
}

}  // namespace

extern "C" {

void glGenTextures(GLsizei n, GLuint* names) {
    g_glCalls.push_back({"glGenTextures", Args(n)});
    for (GLsizei i = 0; i < n; ++i) names[i] = g_nextName++;
}

void glBindTexture(GLenum target, GLuint name) { g_glCalls.push_back({"glBindTexture", Args(target, name)}); }

void glTexParameterf(GLenum target, GLenum name, GLfloat value) {
    g_glCalls.push_back({"glTexParameterf", Args(target, name) + "," + FloatText(value)});
}

void glTexParameteri(GLenum target, GLenum name, GLint value) {
    g_glCalls.push_back({"glTexParameteri", Args(target, name, value)});
}

void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const void* pixels) {
    g_glCalls.push_back({"glTexImage2D", Args(target, level, internalFormat, width, height, border, format, type)});
    g_lastTexImagePixels = pixels;
}

void glPixelStorei(GLenum name, GLint value) { g_glCalls.push_back({"glPixelStorei", Args(name, value)}); }
void glPixelStoref(GLenum name, GLfloat value) {
    g_glCalls.push_back({"glPixelStoref", Args(name) + "," + FloatText(value)});
}

}  // extern "C"
