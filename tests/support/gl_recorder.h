// gl_recorder.h - an OpenGL 1.1 + GLU stand-in for tests: records every call as text and
// keeps a tiny model of the state a scene leaves.
//
// A test executable links vrex_gl_recorder in place of libGL and libGLU (together with
// vrex_modules and vrex_platform_fake). The library defines the GL and GLU entry points the
// demo uses, with the exact signatures of <GL/gl.h> and <GL/glu.h>. Each call appends one
// line such as
//     glVertex3f(5, 5, 0)            floats as "%.9g", doubles as "%.17g": they round-trip
//     glEnable(GL_BLEND)             enums by name where the demo uses them, else 0x hex
//     glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT)
//     gluCylinder(ptr, 0.5, 0, 1, 32, 32)      pointers as "ptr" (or "null")
// and updates the model: enabled capabilities, bound textures, current colour and normal,
// blend function, matrix mode, and the model-view and projection matrix stacks (computed like
// GL does, so a test can ask where a quadric was drawn). Typical use:
//
//     glrec::Reset();                       // fresh context: record empty, GL's initial state
//     DrawAxisStar();
//     EXPECT_THAT(glrec::Lines(), ElementsAreArray(expected));
//     EXPECT_FALSE(glrec::IsEnabled(GL_BLEND));
//
// Long runs can switch the record off (SetRecording(false)); the state model keeps going.
// The query entry points (glIsEnabled, glGetIntegerv, glGetFloatv, glGetError) answer from
// the model and are recorded like every other call; the glrec:: accessors record nothing.
#pragma once

#include <GL/gl.h>

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace glrec {

// Column-major, as GL stores it: element (row r, column c) is m[c * 4 + r].
using Matrix = std::array<float, 16>;
using Vec4 = std::array<float, 4>;

struct Call {
    std::string name;  // "glVertex3f"
    std::string args;  // "5, 5, 0"
    std::string text;  // "glVertex3f(5, 5, 0)"
    Matrix modelview;  // the model-view matrix at the moment of the call
};

// ---- the record ---------------------------------------------------------------------------
const std::vector<Call>& Calls();
std::vector<std::string> Lines();  // the text of every call, in order
std::vector<std::string> Names();  // the name of every call, in order
std::vector<Call> CallsNamed(const std::string& name);
std::size_t Count(const std::string& name);
// Index of the first contiguous occurrence of `sequence` at or after `from`, or -1.
std::ptrdiff_t Find(const std::vector<std::string>& sequence, std::size_t from = 0);
// True when `sequence` occurs in order, other calls allowed in between.
bool ContainsInOrder(const std::vector<std::string>& sequence);
// One line per entry, for failure messages.
std::string Join(const std::vector<std::string>& lines);

void Clear();                // forgets the record, keeps the state
void Reset();                // record empty, state of a fresh context, recording on
void SetRecording(bool on);  // off: calls change the state but leave no line

// ---- the state model ----------------------------------------------------------------------
bool IsEnabled(GLenum capability);
void SetEnabled(GLenum capability, bool on);  // set a starting state, unrecorded
GLuint BoundTexture(GLenum target = GL_TEXTURE_2D);
const void* LastTexImagePixels();  // the data of the last glTexImage2D
Vec4 CurrentColor();
std::array<float, 3> CurrentNormal();
GLenum BlendSource();
GLenum BlendDestination();
void SetBlendFunction(GLenum source, GLenum destination);  // unrecorded
GLenum MatrixMode();
Matrix ModelView();
Matrix Projection();
int StackDepth(GLenum mode);  // 1 when nothing is pushed
bool InsideBeginEnd();
GLenum LastError();  // what glGetError would answer

// ---- helpers ------------------------------------------------------------------------------
Matrix Identity();
Vec4 Transform(const Matrix& m, float x, float y, float z, float w = 1);
std::string EnumName(GLenum value);  // "GL_BLEND", or "0x1234"
std::string Float(float value);      // as the record prints a float
std::string Double(double value);    // as the record prints a double

}  // namespace glrec
