// The state a vertex is drawn under, as the vertex shader reads it from its batch's table, and
// the packing of the normal a vertex carries.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "gles/context.h"

namespace gles {

namespace {

// The inverse transpose of the model-view's upper 3x3, which takes normals to eye space, as
// three columns of four floats.
void NormalMatrix(const Matrix& m, float out[12]) {
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
    // The inverse's transpose is the cofactor matrix over the determinant; GLSL reads the
    // matrix by columns, so column c holds the cofactors (r, c) of every row r.
    for (int col = 0; col < 3; ++col) {
        for (int row = 0; row < 3; ++row) out[col * 4 + row] = float(cof[row * 3 + col] * inv);
        out[col * 4 + 3] = 0;
    }
}

float GenerationMode(std::uint32_t enabled, std::uint32_t bit, GLenum mode) {
    if (!(enabled & bit)) return 0;
    switch (mode) {
    case GL_SPHERE_MAP: return 1;
    case GL_EYE_LINEAR: return 2;
    default: return 3;  // GL_OBJECT_LINEAR
    }
}

}  // namespace

VertexState CurrentVertexState(const Context& c) {
    const AttribState& s = c.state;
    VertexState v{};
    const Matrix mvp = Multiply(c.projection.back(), c.modelview.back());
    std::memcpy(v.modelviewProjection, mvp.data(), sizeof v.modelviewProjection);
    std::memcpy(v.modelview, c.modelview.back().data(), sizeof v.modelview);
    NormalMatrix(c.modelview.back(), v.normalMatrix);
    std::memcpy(v.textureMatrix, c.textureMatrix.back().data(), sizeof v.textureMatrix);
    const bool tracking = s.enabled & CAP_COLOR_MATERIAL;
    // While colour material tracks, the shader takes each vertex's colour: the material in the
    // table is then left out, so a colour change never makes a new state.
    if (!tracking) {
        std::memcpy(v.materialAmbient, s.materialAmbient.data(), sizeof v.materialAmbient);
        std::memcpy(v.materialDiffuse, s.materialDiffuse.data(), sizeof v.materialDiffuse);
    }
    v.switches[0] = (s.enabled & CAP_LIGHTING) ? 1 : 0;
    v.switches[1] = (s.enabled & CAP_LIGHT0) ? 1 : 0;
    v.switches[2] = tracking ? 1 : 0;
    v.switches[3] = (s.enabled & CAP_NORMALIZE) ? 1 : 0;
    v.generate[0] = GenerationMode(s.enabled, CAP_TEXTURE_GEN_S, s.genModeS);
    v.generate[1] = GenerationMode(s.enabled, CAP_TEXTURE_GEN_T, s.genModeT);
    return v;
}

std::uint32_t PackNormal(const std::array<float, 3>& n) {
    const float sum = std::fabs(n[0]) + std::fabs(n[1]) + std::fabs(n[2]);
    if (!(sum > 0) || !std::isfinite(sum)) return 0;  // no normal: lighting sees none
    float u = n[0] / sum, v = n[1] / sum;
    if (n[2] < 0) {
        // The lower half folded over the square's corners.
        const float foldedU = (1 - std::fabs(v)) * (u < 0 ? -1.0f : 1.0f);
        v = (1 - std::fabs(u)) * (v < 0 ? -1.0f : 1.0f);
        u = foldedU;
    }
    // 0 to 4094 for -1 to 1, 2047 for 0: the axes are kept exactly.
    auto coordinate = [](float w) { return std::uint32_t(std::lround(std::clamp(w, -1.0f, 1.0f) * 2047.0f) + 2047); };
    const double length = std::sqrt(double(n[0]) * n[0] + double(n[1]) * n[1] + double(n[2]) * n[2]);
    const long scale = std::fabs(length - 1) <= 1.0 / 2048 ? 128 : std::lround(128 + 32 * std::log2(length));
    return coordinate(u) | coordinate(v) << 12 | std::uint32_t(std::clamp(scale, 1L, 255L)) << 24;
}

}  // namespace gles
