// GL 1.1's state calls: errors, enables, the functions the driver is told at the next batch,
// clears, the attribute stack and the queries.
#include <type_traits>

#include "gles/context.h"

namespace gles {

std::uint32_t CapabilityBit(GLenum capability) {
    switch (capability) {
    case GL_TEXTURE_2D: return CAP_TEXTURE_2D;
    case GL_DEPTH_TEST: return CAP_DEPTH_TEST;
    case GL_BLEND: return CAP_BLEND;
    case GL_LIGHTING: return CAP_LIGHTING;
    case GL_LIGHT0: return CAP_LIGHT0;
    case GL_COLOR_MATERIAL: return CAP_COLOR_MATERIAL;
    case GL_TEXTURE_GEN_S: return CAP_TEXTURE_GEN_S;
    case GL_TEXTURE_GEN_T: return CAP_TEXTURE_GEN_T;
    case GL_SCISSOR_TEST: return CAP_SCISSOR_TEST;
    case GL_NORMALIZE: return CAP_NORMALIZE;
    default: return 0;
    }
}

void SetError(Context& c, GLenum error) {
    if (c.error == GL_NO_ERROR) c.error = error;
}

bool RefusedInsideBeginEnd(Context& c) {
    if (!c.primitive) return false;
    SetError(c, GL_INVALID_OPERATION);
    return true;
}

DrawState WantedDrawState(const Context& c) {
    const AttribState& s = c.state;
    DrawState d;
    if (s.enabled & CAP_TEXTURE_2D) {
        auto found = c.textures.find(s.boundTexture);
        d.textured = found != c.textures.end() && found->second.complete;
        d.texture = d.textured ? found->second.driverName : 0;
    }
    d.blend = s.enabled & CAP_BLEND;
    d.blendSource = s.blendSource;
    d.blendDestination = s.blendDestination;
    d.depthTest = s.enabled & CAP_DEPTH_TEST;
    d.depthFunc = s.depthFunc;
    d.scissor = s.enabled & CAP_SCISSOR_TEST;
    d.scissorBox = s.scissor;
    d.viewport = s.viewport;
    return d;
}

}  // namespace gles

using namespace gles;

namespace {

// The enables the vertex shader reads from the batch's table.
constexpr std::uint32_t VERTEX_STATE_CAPABILITIES =
    CAP_LIGHTING | CAP_LIGHT0 | CAP_COLOR_MATERIAL | CAP_NORMALIZE | CAP_TEXTURE_GEN_S | CAP_TEXTURE_GEN_T;

bool IsBlendFactor(GLenum f, bool source) {
    switch (f) {
    case GL_ZERO:
    case GL_ONE:
    case GL_SRC_ALPHA:
    case GL_ONE_MINUS_SRC_ALPHA:
    case GL_DST_ALPHA:
    case GL_ONE_MINUS_DST_ALPHA: return true;
    case GL_SRC_COLOR:
    case GL_ONE_MINUS_SRC_COLOR: return !source;
    case GL_DST_COLOR:
    case GL_ONE_MINUS_DST_COLOR:
    case GL_SRC_ALPHA_SATURATE: return source;
    default: return false;
    }
}

void SetEnabled(GLenum capability, bool on) {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    std::uint32_t bit = CapabilityBit(capability);
    if (!bit) return SetError(*c, GL_INVALID_ENUM);
    // Colour material takes the current colour at once, not only at the next glColor.
    if (on && bit == CAP_COLOR_MATERIAL) c->state.materialAmbient = c->state.materialDiffuse = c->state.colour;
    if (on)
        c->state.enabled |= bit;
    else
        c->state.enabled &= ~bit;
    if (bit & VERTEX_STATE_CAPABILITIES) VertexStateChanged(*c);
    DrawStateChanged(*c);
}

// Values a query answers, as doubles; the typed queries convert them as GL does.
int Answer(Context& c, GLenum name, double* out) {
    const AttribState& s = c.state;
    auto copy = [&](const auto& values) {
        int n = 0;
        for (auto v : values) out[n++] = double(v);
        return n;
    };
    auto one = [&](double v) {
        out[0] = v;
        return 1;
    };
    switch (name) {
    case GL_MODELVIEW_MATRIX: return copy(c.modelview.back());
    case GL_PROJECTION_MATRIX: return copy(c.projection.back());
    case GL_TEXTURE_MATRIX: return copy(c.textureMatrix.back());
    case GL_MODELVIEW_STACK_DEPTH: return one(double(c.modelview.size()));
    case GL_PROJECTION_STACK_DEPTH: return one(double(c.projection.size()));
    case GL_TEXTURE_STACK_DEPTH: return one(double(c.textureMatrix.size()));
    case GL_ATTRIB_STACK_DEPTH: return one(double(c.attribStack.size()));
    case GL_MAX_MODELVIEW_STACK_DEPTH: return one(MODELVIEW_STACK_DEPTH);
    case GL_MAX_PROJECTION_STACK_DEPTH: return one(PROJECTION_STACK_DEPTH);
    case GL_MAX_TEXTURE_STACK_DEPTH: return one(TEXTURE_STACK_DEPTH);
    case GL_MAX_ATTRIB_STACK_DEPTH: return one(ATTRIB_STACK_DEPTH);
    case GL_MATRIX_MODE: return one(s.matrixMode);
    case GL_VIEWPORT: return copy(s.viewport);
    case GL_SCISSOR_BOX: return copy(s.scissor);
    case GL_CURRENT_COLOR: return copy(s.colour);
    case GL_CURRENT_NORMAL: return copy(s.normal);
    case GL_CURRENT_TEXTURE_COORDS: return copy(s.texCoord);
    case GL_COLOR_CLEAR_VALUE: return copy(s.clearColour);
    case GL_DEPTH_CLEAR_VALUE: return one(s.clearDepth);
    case GL_BLEND_SRC: return one(s.blendSource);
    case GL_BLEND_DST: return one(s.blendDestination);
    case GL_DEPTH_FUNC: return one(s.depthFunc);
    case GL_SHADE_MODEL: return one(s.shadeModel);
    case GL_PERSPECTIVE_CORRECTION_HINT: return one(s.perspectiveHint);
    case gl::TEXTURE_BINDING_2D: return one(s.boundTexture);
    case GL_MAX_TEXTURE_SIZE: return one(c.maxTextureSize);
    case gl::MAX_3D_TEXTURE_SIZE: return one(0);
    case GL_UNPACK_ALIGNMENT: return one(c.unpackAlignment);
    case GL_UNPACK_ROW_LENGTH: return one(c.unpackRowLength);
    case GL_UNPACK_SKIP_ROWS: return one(c.unpackSkipRows);
    case GL_UNPACK_SKIP_PIXELS: return one(c.unpackSkipPixels);
    case GL_PACK_ALIGNMENT: return one(c.packAlignment);
    case GL_PACK_ROW_LENGTH: return one(c.packRowLength);
    case GL_PACK_SKIP_ROWS: return one(c.packSkipRows);
    case GL_PACK_SKIP_PIXELS: return one(c.packSkipPixels);
    default: break;
    }
    // Names ES lacks, at the only value the library accepts for them.
    if (PixelStoreNameEsLacks(name)) return one(0);
    if (std::uint32_t bit = CapabilityBit(name)) return one((s.enabled & bit) ? 1 : 0);
    return 0;
}

template <typename T>
void Query(GLenum name, T* params) {
    Context* c = ContextOutsideBeginEnd();
    if (!c || !params) return;
    double values[16];
    int n = Answer(*c, name, values);
    if (n == 0) return SetError(*c, GL_INVALID_ENUM);
    // Colours as integers span the whole range, as GL 1.1 converts them.
    const bool colour = name == GL_CURRENT_COLOR || name == GL_COLOR_CLEAR_VALUE || name == GL_DEPTH_CLEAR_VALUE;
    for (int i = 0; i < n; ++i) {
        if constexpr (std::is_same_v<T, GLint>)
            params[i] =
                colour ? GLint(values[i] * 2147483647.0) : GLint(values[i] < 0 ? values[i] - 0.5 : values[i] + 0.5);
        else if constexpr (std::is_same_v<T, GLboolean>)
            params[i] = values[i] != 0 ? GL_TRUE : GL_FALSE;
        else
            params[i] = T(values[i]);
    }
}

void RestoreAttributes(Context& c, const AttribEntry& entry) {
    AttribState& s = c.state;
    const AttribState& saved = entry.saved;
    const GLbitfield m = entry.mask;
    auto restoreEnables = [&](std::uint32_t bits) { s.enabled = (s.enabled & ~bits) | (saved.enabled & bits); };
    if (m & GL_ENABLE_BIT) s.enabled = saved.enabled;
    if (m & GL_CURRENT_BIT) {
        SetCurrentColour(c, saved.colour);
        SetCurrentNormal(c, saved.normal);
        s.texCoord = saved.texCoord;
    }
    if (m & GL_COLOR_BUFFER_BIT) {
        s.blendSource = saved.blendSource;
        s.blendDestination = saved.blendDestination;
        s.clearColour = saved.clearColour;
        restoreEnables(CAP_BLEND);
    }
    if (m & GL_DEPTH_BUFFER_BIT) {
        s.depthFunc = saved.depthFunc;
        s.clearDepth = saved.clearDepth;
        restoreEnables(CAP_DEPTH_TEST);
    }
    if (m & GL_LIGHTING_BIT) {
        s.shadeModel = saved.shadeModel;
        s.materialAmbient = saved.materialAmbient;
        s.materialDiffuse = saved.materialDiffuse;
        restoreEnables(CAP_LIGHTING | CAP_LIGHT0 | CAP_COLOR_MATERIAL);
    }
    if (m & GL_TEXTURE_BIT) {
        s.boundTexture = c.textures.count(saved.boundTexture) ? saved.boundTexture : 0;
        s.genModeS = saved.genModeS;
        s.genModeT = saved.genModeT;
        restoreEnables(CAP_TEXTURE_2D | CAP_TEXTURE_GEN_S | CAP_TEXTURE_GEN_T);
    }
    if (m & GL_SCISSOR_BIT) {
        s.scissor = saved.scissor;
        restoreEnables(CAP_SCISSOR_TEST);
    }
    if (m & GL_VIEWPORT_BIT) s.viewport = saved.viewport;
    if (m & GL_TRANSFORM_BIT) {
        s.matrixMode = saved.matrixMode;
        restoreEnables(CAP_NORMALIZE);
    }
    if (m & GL_HINT_BIT) s.perspectiveHint = saved.perspectiveHint;
    VertexStateChanged(c);
    DrawStateChanged(c);
}

}  // namespace

extern "C" {

GLenum GLAPIENTRY glGetError() {
    Context* c = g_current;
    if (!c) return GL_NO_ERROR;
    if (c->primitive) {  // refused there, and answers nothing
        SetError(*c, GL_INVALID_OPERATION);
        return GL_NO_ERROR;
    }
    GLenum error = c->error;
    c->error = GL_NO_ERROR;
    // The driver's own errors (an upload it had no memory for) come after the library's; each
    // is read once, and the first is reported.
    for (GLenum driver = c->es.GetError(); driver != GL_NO_ERROR; driver = c->es.GetError())
        if (error == GL_NO_ERROR) error = driver;
    return error;
}

void GLAPIENTRY glEnable(GLenum capability) { SetEnabled(capability, true); }
void GLAPIENTRY glDisable(GLenum capability) { SetEnabled(capability, false); }

GLboolean GLAPIENTRY glIsEnabled(GLenum capability) {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return GL_FALSE;
    std::uint32_t bit = CapabilityBit(capability);
    if (!bit) {
        SetError(*c, GL_INVALID_ENUM);
        return GL_FALSE;
    }
    return (c->state.enabled & bit) ? GL_TRUE : GL_FALSE;
}

void GLAPIENTRY glBlendFunc(GLenum source, GLenum destination) {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    if (!IsBlendFactor(source, true) || !IsBlendFactor(destination, false)) return SetError(*c, GL_INVALID_ENUM);
    c->state.blendSource = source;
    c->state.blendDestination = destination;
    DrawStateChanged(*c);
}

void GLAPIENTRY glDepthFunc(GLenum func) {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    if (func < GL_NEVER || func > GL_ALWAYS) return SetError(*c, GL_INVALID_ENUM);
    c->state.depthFunc = func;
    DrawStateChanged(*c);
}

void GLAPIENTRY glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    if (width < 0 || height < 0) return SetError(*c, GL_INVALID_VALUE);
    c->state.viewport = {x, y, width, height};
    DrawStateChanged(*c);
}

void GLAPIENTRY glScissor(GLint x, GLint y, GLsizei width, GLsizei height) {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    if (width < 0 || height < 0) return SetError(*c, GL_INVALID_VALUE);
    c->state.scissor = {x, y, width, height};
    DrawStateChanged(*c);
}

void GLAPIENTRY glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    c->state.clearColour = {Clamp01(r), Clamp01(g), Clamp01(b), Clamp01(a)};
}

void GLAPIENTRY glClearDepth(GLclampd depth) {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    c->state.clearDepth = depth < 0 ? 0 : depth > 1 ? 1 : depth;
}

void GLAPIENTRY glClear(GLbitfield mask) {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    if (mask & ~GLbitfield(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT | GL_ACCUM_BUFFER_BIT))
        return SetError(*c, GL_INVALID_VALUE);
    FlushBatch(*c);
    ApplyCurrentState(*c);
    const AttribState& s = c->state;
    c->es.ClearColor(s.clearColour[0], s.clearColour[1], s.clearColour[2], s.clearColour[3]);
    c->es.ClearDepthf(float(s.clearDepth));
    // No accumulation buffer here: that part of the mask clears nothing.
    c->es.Clear(mask & GLbitfield(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT));
}

void GLAPIENTRY glShadeModel(GLenum mode) {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    if (mode != GL_SMOOTH && mode != GL_FLAT) return SetError(*c, GL_INVALID_ENUM);
    c->state.shadeModel = mode;
}

void GLAPIENTRY glHint(GLenum target, GLenum mode) {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    if (mode != GL_FASTEST && mode != GL_NICEST && mode != GL_DONT_CARE) return SetError(*c, GL_INVALID_ENUM);
    switch (target) {
    case GL_PERSPECTIVE_CORRECTION_HINT: c->state.perspectiveHint = mode; break;
    // Accepted and without effect: the driver interpolates in perspective and smooths nothing.
    case GL_POINT_SMOOTH_HINT:
    case GL_LINE_SMOOTH_HINT:
    case GL_POLYGON_SMOOTH_HINT:
    case GL_FOG_HINT: break;
    default: SetError(*c, GL_INVALID_ENUM);
    }
}

void GLAPIENTRY glTexGeni(GLenum coord, GLenum pname, GLint param) {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    if ((coord != GL_S && coord != GL_T) || pname != GL_TEXTURE_GEN_MODE) return SetError(*c, GL_INVALID_ENUM);
    // The planar modes generate from GL's default planes, which the library never changes.
    if (param != GL_SPHERE_MAP && param != GL_EYE_LINEAR && param != GL_OBJECT_LINEAR)
        return SetError(*c, GL_INVALID_ENUM);
    (coord == GL_S ? c->state.genModeS : c->state.genModeT) = GLenum(param);
    VertexStateChanged(*c);
}

void GLAPIENTRY glTexEnvi(GLenum target, GLenum pname, GLint param) {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    // GL_MODULATE is the default and the only environment drawn.
    if (target != GL_TEXTURE_ENV || pname != GL_TEXTURE_ENV_MODE || param != GL_MODULATE) SetError(*c, GL_INVALID_ENUM);
}

void GLAPIENTRY glGetIntegerv(GLenum name, GLint* params) { Query(name, params); }
void GLAPIENTRY glGetFloatv(GLenum name, GLfloat* params) { Query(name, params); }
void GLAPIENTRY glGetDoublev(GLenum name, GLdouble* params) { Query(name, params); }
void GLAPIENTRY glGetBooleanv(GLenum name, GLboolean* params) { Query(name, params); }

const GLubyte* GLAPIENTRY glGetString(GLenum name) {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return nullptr;
    switch (name) {
    case GL_VENDOR: return reinterpret_cast<const GLubyte*>("vrex");
    case GL_RENDERER: return reinterpret_cast<const GLubyte*>("OpenGL 1.1 over OpenGL ES 3.0");
    // 1.1 exactly: GLU then uses no 1.2 formats nor 3D textures.
    case GL_VERSION: return reinterpret_cast<const GLubyte*>("1.1");
    case GL_EXTENSIONS: return reinterpret_cast<const GLubyte*>("");
    default: SetError(*c, GL_INVALID_ENUM); return nullptr;
    }
}

void GLAPIENTRY glPushAttrib(GLbitfield mask) {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    if (int(c->attribStack.size()) >= ATTRIB_STACK_DEPTH) return SetError(*c, GL_STACK_OVERFLOW);
    c->attribStack.push_back({mask, c->state});
}

void GLAPIENTRY glPopAttrib() {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    if (c->attribStack.empty()) return SetError(*c, GL_STACK_UNDERFLOW);
    RestoreAttributes(*c, c->attribStack.back());
    c->attribStack.pop_back();
}

void GLAPIENTRY glFlush() {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    FlushBatch(*c);
    c->es.Flush();
}

void GLAPIENTRY glFinish() {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    FlushBatch(*c);
    c->es.Finish();
}

}  // extern "C"
