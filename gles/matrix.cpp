// The three matrix stacks. A matrix change costs no draw call: the next vertex takes a new
// entry of its batch's table of vertex states, which the vertex shader reads.
#include <cmath>

#include "gles/context.h"

namespace gles {

Matrix IdentityMatrix() { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; }

Matrix Multiply(const Matrix& a, const Matrix& b) {
    Matrix r{};
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[col * 4 + k];
            r[col * 4 + row] = sum;
        }
    return r;
}

Matrix& CurrentMatrix(Context& c) {
    switch (c.state.matrixMode) {
    case GL_PROJECTION: return c.projection.back();
    case GL_TEXTURE: return c.textureMatrix.back();
    default: return c.modelview.back();
    }
}

}  // namespace gles

using namespace gles;

namespace {

constexpr double PI = 3.14159265358979323846;  // M_PI is not in every C library's strict mode

std::vector<Matrix>& CurrentStack(Context& c) {
    switch (c.state.matrixMode) {
    case GL_PROJECTION: return c.projection;
    case GL_TEXTURE: return c.textureMatrix;
    default: return c.modelview;
    }
}

std::size_t StackLimit(GLenum mode) {
    switch (mode) {
    case GL_PROJECTION: return PROJECTION_STACK_DEPTH;
    case GL_TEXTURE: return TEXTURE_STACK_DEPTH;
    default: return MODELVIEW_STACK_DEPTH;
    }
}

void Load(const Matrix& m) {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    CurrentMatrix(*c) = m;
    VertexStateChanged(*c);
}

void MultiplyBy(const Matrix& m) {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    Matrix& current = CurrentMatrix(*c);
    current = Multiply(current, m);
    VertexStateChanged(*c);
}

template <typename T>
Matrix FromArray(const T* m) {
    Matrix r;
    for (int i = 0; i < 16; ++i) r[i] = float(m[i]);
    return r;
}

void Rotate(double angle, double x, double y, double z) {
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length == 0) return MultiplyBy(IdentityMatrix());  // GL leaves such a rotation undefined
    x /= length, y /= length, z /= length;
    const double radians = angle * PI / 180.0;
    const double s = std::sin(radians), co = std::cos(radians), t = 1 - co;
    MultiplyBy({float(x * x * t + co), float(y * x * t + z * s), float(x * z * t - y * s), 0, float(x * y * t - z * s),
                float(y * y * t + co), float(y * z * t + x * s), 0, float(x * z * t + y * s), float(y * z * t - x * s),
                float(z * z * t + co), 0, 0, 0, 0, 1});
}

bool ValidVolume(Context& c, double l, double r, double b, double t, double n, double f) {
    if (l != r && b != t && n != f) return true;
    SetError(c, GL_INVALID_VALUE);
    return false;
}

void MultiplyByPerspective(double l, double r, double b, double t, double n, double f) {
    Context* c = ContextOutsideBeginEnd();
    if (!c || !ValidVolume(*c, l, r, b, t, n, f)) return;
    if (n <= 0 || f <= 0) return SetError(*c, GL_INVALID_VALUE);
    Matrix m{};
    m[0] = float(2 * n / (r - l));
    m[5] = float(2 * n / (t - b));
    m[8] = float((r + l) / (r - l));
    m[9] = float((t + b) / (t - b));
    m[10] = float(-(f + n) / (f - n));
    m[11] = -1;
    m[14] = float(-2 * f * n / (f - n));
    MultiplyBy(m);
}

void MultiplyByOrthographic(double l, double r, double b, double t, double n, double f) {
    Context* c = ContextOutsideBeginEnd();
    if (!c || !ValidVolume(*c, l, r, b, t, n, f)) return;
    Matrix m{};
    m[0] = float(2 / (r - l));
    m[5] = float(2 / (t - b));
    m[10] = float(-2 / (f - n));
    m[12] = float(-(r + l) / (r - l));
    m[13] = float(-(t + b) / (t - b));
    m[14] = float(-(f + n) / (f - n));
    m[15] = 1;
    MultiplyBy(m);
}

}  // namespace

extern "C" {

void GLAPIENTRY glMatrixMode(GLenum mode) {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    if (mode != GL_MODELVIEW && mode != GL_PROJECTION && mode != GL_TEXTURE) return SetError(*c, GL_INVALID_ENUM);
    c->state.matrixMode = mode;
}

void GLAPIENTRY glLoadIdentity() { Load(IdentityMatrix()); }
void GLAPIENTRY glLoadMatrixf(const GLfloat* m) {
    if (m) Load(FromArray(m));
}
void GLAPIENTRY glLoadMatrixd(const GLdouble* m) {
    if (m) Load(FromArray(m));
}
void GLAPIENTRY glMultMatrixf(const GLfloat* m) {
    if (m) MultiplyBy(FromArray(m));
}
void GLAPIENTRY glMultMatrixd(const GLdouble* m) {
    if (m) MultiplyBy(FromArray(m));
}

void GLAPIENTRY glPushMatrix() {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    std::vector<Matrix>& stack = CurrentStack(*c);
    if (stack.size() >= StackLimit(c->state.matrixMode)) return SetError(*c, GL_STACK_OVERFLOW);
    stack.push_back(stack.back());
}

void GLAPIENTRY glPopMatrix() {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    std::vector<Matrix>& stack = CurrentStack(*c);
    if (stack.size() <= 1) return SetError(*c, GL_STACK_UNDERFLOW);
    stack.pop_back();
    VertexStateChanged(*c);
}

void GLAPIENTRY glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    MultiplyBy({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1});
}
void GLAPIENTRY glTranslated(GLdouble x, GLdouble y, GLdouble z) { glTranslatef(float(x), float(y), float(z)); }
void GLAPIENTRY glScalef(GLfloat x, GLfloat y, GLfloat z) {
    MultiplyBy({x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1});
}
void GLAPIENTRY glScaled(GLdouble x, GLdouble y, GLdouble z) { glScalef(float(x), float(y), float(z)); }
void GLAPIENTRY glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) { Rotate(angle, x, y, z); }
void GLAPIENTRY glRotated(GLdouble angle, GLdouble x, GLdouble y, GLdouble z) { Rotate(angle, x, y, z); }

void GLAPIENTRY glFrustum(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
    MultiplyByPerspective(l, r, b, t, n, f);
}
void GLAPIENTRY glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
    MultiplyByOrthographic(l, r, b, t, n, f);
}

}  // extern "C"
