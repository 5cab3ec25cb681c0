// The recording GL stand-in: the entry points keep GL's own signatures from <GL/gl.h>.
#include "gl_calls.h"

#include <GL/gl.h>

std::vector<GlCall> g_glCalls;

namespace {
template <typename... Args>
void Record(const char* name, Args... args) {
    g_glCalls.push_back({name, {double(args)...}});
}
}  // namespace

extern "C" {
void glEnable(GLenum cap) { Record("glEnable", cap); }
void glDisable(GLenum cap) { Record("glDisable", cap); }
void glBindTexture(GLenum target, GLuint texture) { Record("glBindTexture", target, texture); }
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { Record("glColor4f", r, g, b, a); }
void glBegin(GLenum mode) { Record("glBegin", mode); }
void glEnd() { Record("glEnd"); }
void glTexCoord2f(GLfloat s, GLfloat t) { Record("glTexCoord2f", s, t); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { Record("glVertex3f", x, y, z); }
void glPushMatrix() { Record("glPushMatrix"); }
void glPopMatrix() { Record("glPopMatrix"); }
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { Record("glTranslatef", x, y, z); }
}

std::vector<GlVertex> RecordedVertices() {
    std::vector<GlVertex> vertices;
    double s = 0, t = 0;
    for (const GlCall& call : g_glCalls) {
        if (call.name == "glTexCoord2f") {
            s = call.args[0];
            t = call.args[1];
        } else if (call.name == "glVertex3f") {
            vertices.push_back({call.args[0], call.args[1], call.args[2], s, t});
        }
    }
    return vertices;
}

std::vector<GlCall> RecordedCalls(const std::string& name) {
    std::vector<GlCall> calls;
    for (const GlCall& call : g_glCalls)
        if (call.name == name) calls.push_back(call);
    return calls;
}
