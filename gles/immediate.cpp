// Immediate mode: each vertex is finished on the CPU as it is sent (clip-space position, lit
// colour, texture coordinate), and each primitive is indexed into the batch as triangles.
#include <cmath>

#include "gles/context.h"

using namespace gles;

namespace {

// GL 1.1's defaults for what the library never changes: light 0 and the material.
constexpr float GLOBAL_AMBIENT = 0.2f;
constexpr float MATERIAL_AMBIENT = 0.2f;  // when colour material does not track the colour
constexpr float MATERIAL_DIFFUSE = 0.8f;
constexpr float LIGHT0_DIFFUSE = 1.0f;  // light 0 is white from the viewer's direction
constexpr float LIGHT0_DIRECTION[3] = {0, 0, 1};
// A batch this long is sent even if nothing changes, so the buffers stay a sensible size.
constexpr std::size_t BATCH_VERTEX_LIMIT = 1 << 20;

float Clamp01(float v) { return v < 0 ? 0 : v > 1 ? 1 : v; }

bool IsIdentity(const Matrix& m) { return m == IdentityMatrix(); }

// The inverse transpose of the model-view's upper 3x3, which takes normals to eye space; the
// product that takes vertices straight to clip space; whether texture coordinates move.
void UpdateDerived(Context& c) {
    c.modelviewProjection = Multiply(c.projection.back(), c.modelview.back());
    c.textureMatrixIsIdentity = IsIdentity(c.textureMatrix.back());
    const Matrix& m = c.modelview.back();
    auto a = [&](int row, int col) { return double(m[col * 4 + row]); };
    double cof[9];  // cofactor (row, col) at row * 3 + col
    cof[0] = a(1, 1) * a(2, 2) - a(1, 2) * a(2, 1);
    cof[1] = a(1, 2) * a(2, 0) - a(1, 0) * a(2, 2);
    cof[2] = a(1, 0) * a(2, 1) - a(1, 1) * a(2, 0);
    cof[3] = a(0, 2) * a(2, 1) - a(0, 1) * a(2, 2);
    cof[4] = a(0, 0) * a(2, 2) - a(0, 2) * a(2, 0);
    cof[5] = a(0, 1) * a(2, 0) - a(0, 0) * a(2, 1);
    cof[6] = a(0, 1) * a(1, 2) - a(0, 2) * a(1, 1);
    cof[7] = a(0, 2) * a(1, 0) - a(0, 0) * a(1, 2);
    cof[8] = a(0, 0) * a(1, 1) - a(0, 1) * a(1, 0);
    const double det = a(0, 0) * cof[0] + a(0, 1) * cof[1] + a(0, 2) * cof[2];
    const double inv = det != 0 ? 1 / det : 0;  // a singular matrix flattens every normal
    // The inverse's transpose is the cofactor matrix over the determinant.
    for (int i = 0; i < 9; ++i) c.normalMatrix[i] = float(cof[i] * inv);
    c.derivedStale = false;
}

std::array<float, 3> EyeNormal(Context& c) {
    const auto& n = c.state.normal;
    const auto& m = c.normalMatrix;
    std::array<float, 3> e{m[0] * n[0] + m[1] * n[1] + m[2] * n[2], m[3] * n[0] + m[4] * n[1] + m[5] * n[2],
                           m[6] * n[0] + m[7] * n[1] + m[8] * n[2]};
    if (c.state.enabled & CAP_NORMALIZE) {
        float length = std::sqrt(e[0] * e[0] + e[1] * e[1] + e[2] * e[2]);
        if (length > 0)
            for (float& v : e) v /= length;
    }
    return e;
}

// GL 1.1's lighting equation for light 0 and the default material; no specular term, since
// the material's specular colour stays black.
Vec4 LitColour(Context& c, const std::array<float, 3>& normal) {
    const AttribState& s = c.state;
    const bool tracking = s.enabled & CAP_COLOR_MATERIAL;
    Vec4 ambient = tracking ? s.colour : Vec4{MATERIAL_AMBIENT, MATERIAL_AMBIENT, MATERIAL_AMBIENT, 1};
    Vec4 diffuse = tracking ? s.colour : Vec4{MATERIAL_DIFFUSE, MATERIAL_DIFFUSE, MATERIAL_DIFFUSE, 1};
    float facing = 0;
    if (s.enabled & CAP_LIGHT0) {
        facing = normal[0] * LIGHT0_DIRECTION[0] + normal[1] * LIGHT0_DIRECTION[1] + normal[2] * LIGHT0_DIRECTION[2];
        facing = facing > 0 ? facing * LIGHT0_DIFFUSE : 0;
    }
    Vec4 out;
    for (int i = 0; i < 3; ++i) out[i] = Clamp01(ambient[i] * GLOBAL_AMBIENT + diffuse[i] * facing);
    out[3] = Clamp01(diffuse[3]);
    return out;
}

// GL 1.1's sphere map: the eye-space reflection of the view direction off the normal.
void SphereMap(const float eye[4], const std::array<float, 3>& n, float* s, float* t) {
    float u[3] = {eye[0], eye[1], eye[2]};
    float length = std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]);
    if (length > 0)
        for (float& v : u) v /= length;
    const float d = n[0] * u[0] + n[1] * u[1] + n[2] * u[2];
    const float r[3] = {u[0] - 2 * n[0] * d, u[1] - 2 * n[1] * d, u[2] - 2 * n[2] * d};
    const float m = 2 * std::sqrt(r[0] * r[0] + r[1] * r[1] + (r[2] + 1) * (r[2] + 1));
    if (m == 0) return;  // looking straight back along the normal: the coordinate is undefined
    if (s) *s = r[0] / m + 0.5f;
    if (t) *t = r[1] / m + 0.5f;
}

void Emit(float x, float y, float z) {
    Context* c = g_current;
    if (!c || !c->primitive) return;  // outside glBegin/glEnd a vertex means nothing
    if (c->derivedStale) UpdateDerived(*c);
    const AttribState& s = c->state;
    const Matrix& mvp = c->modelviewProjection;
    Vertex v;
    for (int r = 0; r < 4; ++r) v.position[r] = mvp[r] * x + mvp[4 + r] * y + mvp[8 + r] * z + mvp[12 + r];

    const bool lit = s.enabled & CAP_LIGHTING;
    const bool genS = (s.enabled & CAP_TEXTURE_GEN_S) && s.genModeS == GL_SPHERE_MAP;
    const bool genT = (s.enabled & CAP_TEXTURE_GEN_T) && s.genModeT == GL_SPHERE_MAP;
    std::array<float, 3> normal{};
    if (lit || genS || genT) normal = EyeNormal(*c);
    float eye[4] = {0, 0, 0, 1};
    if (genS || genT) {
        const Matrix& mv = c->modelview.back();
        for (int r = 0; r < 4; ++r) eye[r] = mv[r] * x + mv[4 + r] * y + mv[8 + r] * z + mv[12 + r];
    }

    Vec4 colour = lit ? LitColour(*c, normal) : s.colour;
    for (int i = 0; i < 4; ++i) v.colour[i] = Clamp01(colour[i]);

    float tex[4] = {s.texCoord[0], s.texCoord[1], s.texCoord[2], s.texCoord[3]};
    if (genS || genT) SphereMap(eye, normal, genS ? &tex[0] : nullptr, genT ? &tex[1] : nullptr);
    if (!c->textureMatrixIsIdentity) {
        const Matrix& tm = c->textureMatrix.back();
        float out[4];
        for (int r = 0; r < 4; ++r)
            out[r] = tm[r] * tex[0] + tm[4 + r] * tex[1] + tm[8 + r] * tex[2] + tm[12 + r] * tex[3];
        for (int r = 0; r < 4; ++r) tex[r] = out[r];
    }
    const float q = tex[3] != 0 ? tex[3] : 1;
    v.texCoord[0] = tex[0] / q;
    v.texCoord[1] = tex[1] / q;
    c->vertices.push_back(v);
}

void Triangle(Context& c, std::size_t a, std::size_t b, std::size_t d) {
    c.indices.push_back(GLuint(a));
    c.indices.push_back(GLuint(b));
    c.indices.push_back(GLuint(d));
}

// The primitive's vertices (from `first`) as triangles; an incomplete last piece is dropped.
void IndexPrimitive(Context& c, GLenum mode, std::size_t first) {
    const std::size_t n = c.vertices.size() - first;
    switch (mode) {
    case GL_TRIANGLES:
        for (std::size_t i = 0; i + 3 <= n; i += 3) Triangle(c, first + i, first + i + 1, first + i + 2);
        break;
    case GL_TRIANGLE_STRIP:
        // Every other triangle swaps its first two vertices, so all keep the strip's facing.
        for (std::size_t i = 2; i < n; ++i)
            if (i % 2 == 0)
                Triangle(c, first + i - 2, first + i - 1, first + i);
            else
                Triangle(c, first + i - 1, first + i - 2, first + i);
        break;
    case GL_TRIANGLE_FAN:
    case GL_POLYGON:
        for (std::size_t i = 2; i < n; ++i) Triangle(c, first, first + i - 1, first + i);
        break;
    case GL_QUADS:
        for (std::size_t i = 0; i + 4 <= n; i += 4) {
            Triangle(c, first + i, first + i + 1, first + i + 2);
            Triangle(c, first + i, first + i + 2, first + i + 3);
        }
        break;
    case GL_QUAD_STRIP:
        // Quad k is vertices 2k, 2k+1, 2k+3, 2k+2 in its drawing order.
        for (std::size_t i = 0; i + 4 <= n; i += 2) {
            Triangle(c, first + i, first + i + 1, first + i + 3);
            Triangle(c, first + i, first + i + 3, first + i + 2);
        }
        break;
    default: break;
    }
}

}  // namespace

extern "C" {

void GLAPIENTRY glBegin(GLenum mode) {
    Context* c = Outside();
    if (!c) return;
    // Points and lines are not drawn by this library (see gles.h).
    if (mode < GL_TRIANGLES || mode > GL_POLYGON) return SetError(*c, GL_INVALID_ENUM);
    DrawState wanted = WantedDrawState(*c);
    if (!(wanted == c->batchState) || c->vertices.size() >= BATCH_VERTEX_LIMIT) FlushBatch(*c);
    c->batchState = wanted;
    c->primitive = mode;
    c->primitiveStart = c->vertices.size();
    ++c->primitives;
}

void GLAPIENTRY glEnd() {
    Context* c = g_current;
    if (!c) return;
    if (!c->primitive) return SetError(*c, GL_INVALID_OPERATION);
    IndexPrimitive(*c, c->primitive, c->primitiveStart);
    // Vertices no triangle uses are given back.
    if (c->indices.empty() || c->indices.back() < c->primitiveStart) c->vertices.resize(c->primitiveStart);
    c->primitive = 0;
}

void GLAPIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z) { Emit(x, y, z); }
void GLAPIENTRY glVertex2f(GLfloat x, GLfloat y) { Emit(x, y, 0); }
void GLAPIENTRY glVertex3fv(const GLfloat* v) { Emit(v[0], v[1], v[2]); }

void GLAPIENTRY glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    if (g_current) g_current->state.normal = {x, y, z};
}
void GLAPIENTRY glNormal3fv(const GLfloat* v) { glNormal3f(v[0], v[1], v[2]); }

void GLAPIENTRY glTexCoord2f(GLfloat s, GLfloat t) {
    if (g_current) g_current->state.texCoord = {s, t, 0, 1};
}

void GLAPIENTRY glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    if (g_current) g_current->state.colour = {r, g, b, a};
}
void GLAPIENTRY glColor3f(GLfloat r, GLfloat g, GLfloat b) { glColor4f(r, g, b, 1); }
void GLAPIENTRY glColor4ub(GLubyte r, GLubyte g, GLubyte b, GLubyte a) {
    glColor4f(r / 255.0f, g / 255.0f, b / 255.0f, a / 255.0f);
}
void GLAPIENTRY glColor3ub(GLubyte r, GLubyte g, GLubyte b) { glColor4ub(r, g, b, 255); }

}  // extern "C"
