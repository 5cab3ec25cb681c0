// The GL and GLU entry points of the recorder. Each one checks what GL would refuse (calls
// between glBegin and glEnd, stack over- and underflow, unknown queries), updates the state
// model and, while recording, appends its line. Including the system headers makes the
// compiler hold every definition to the exact signature the demo is compiled against.
#include "tests/support/gl_recorder.h"

#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <set>

namespace glrec {
namespace {

constexpr int MAX_STACK_DEPTH = 32;  // GL guarantees at least 32 model-view entries

struct State {
    bool recording = true;
    std::vector<Call> calls;
    std::set<GLenum> enabled;
    std::map<GLenum, GLuint> boundTextures;
    Vec4 color;
    std::array<float, 3> normal;
    Vec4 clearColor;
    GLenum blendSource;
    GLenum blendDestination;
    GLenum matrixMode;
    std::map<GLenum, std::vector<Matrix>> stacks;
    std::array<GLint, 4> viewport;
    GLenum shadeModel;
    GLint unpackAlignment;
    const void* lastTexImagePixels;
    GLuint nextTextureName;
    bool insideBeginEnd;
    GLenum error;
};

State g;

// A fresh context as GL defines it: everything off but dithering, white colour, normal +z,
// blending (one, zero), every matrix the identity, the model-view matrix current.
void ResetState() {
    g.enabled = {GL_DITHER};
    g.boundTextures.clear();
    g.color = {1, 1, 1, 1};
    g.normal = {0, 0, 1};
    g.clearColor = {0, 0, 0, 0};
    g.blendSource = GL_ONE;
    g.blendDestination = GL_ZERO;
    g.matrixMode = GL_MODELVIEW;
    g.stacks = {{GL_MODELVIEW, {Identity()}}, {GL_PROJECTION, {Identity()}}, {GL_TEXTURE, {Identity()}}};
    g.viewport = {0, 0, 0, 0};
    g.shadeModel = GL_SMOOTH;
    g.unpackAlignment = 4;
    g.lastTexImagePixels = nullptr;
    g.nextTextureName = 1;
    g.insideBeginEnd = false;
    g.error = GL_NO_ERROR;
}

struct StateInitialiser {
    StateInitialiser() { ResetState(); }
} initialiser;

void SetError(GLenum error) {
    if (g.error == GL_NO_ERROR) g.error = error;  // GL keeps the first error until it is read
}

// Most commands are refused between glBegin and glEnd; returns true when this one is.
bool RefusedInsideBeginEnd() {
    if (!g.insideBeginEnd) return false;
    SetError(GL_INVALID_OPERATION);
    return true;
}

Matrix& Current() { return g.stacks[g.matrixMode].back(); }

Matrix Multiply(const Matrix& a, const Matrix& b) {
    Matrix r{};
    for (int c = 0; c < 4; ++c)
        for (int row = 0; row < 4; ++row) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) sum += double(a[k * 4 + row]) * b[c * 4 + k];
            r[c * 4 + row] = float(sum);
        }
    return r;
}

void MultiplyCurrent(const Matrix& m) { Current() = Multiply(Current(), m); }

Matrix RotationMatrix(double degrees, double x, double y, double z) {
    double length = std::sqrt(x * x + y * y + z * z);
    if (length == 0) return Identity();
    x /= length, y /= length, z /= length;
    double radians = degrees * M_PI / 180.0;
    double c = std::cos(radians), s = std::sin(radians), t = 1 - c;
    Matrix m = Identity();
    m[0] = float(x * x * t + c), m[4] = float(x * y * t - z * s), m[8] = float(x * z * t + y * s);
    m[1] = float(y * x * t + z * s), m[5] = float(y * y * t + c), m[9] = float(y * z * t - x * s);
    m[2] = float(x * z * t - y * s), m[6] = float(y * z * t + x * s), m[10] = float(z * z * t + c);
    return m;
}

// ---- how arguments are printed ----------------------------------------------------------------
const std::map<GLenum, const char*>& EnumNames() {
    static const std::map<GLenum, const char*> names = {
// clang-format off
#define NAME(e) {e, #e}
        NAME(GL_SRC_COLOR), NAME(GL_ONE_MINUS_SRC_COLOR), NAME(GL_SRC_ALPHA), NAME(GL_ONE_MINUS_SRC_ALPHA),
        NAME(GL_DST_ALPHA), NAME(GL_ONE_MINUS_DST_ALPHA), NAME(GL_DST_COLOR), NAME(GL_ONE_MINUS_DST_COLOR),
        NAME(GL_SRC_ALPHA_SATURATE), NAME(GL_FRONT), NAME(GL_BACK), NAME(GL_FRONT_AND_BACK),
        NAME(GL_INVALID_ENUM), NAME(GL_INVALID_VALUE), NAME(GL_INVALID_OPERATION), NAME(GL_STACK_OVERFLOW),
        NAME(GL_STACK_UNDERFLOW), NAME(GL_OUT_OF_MEMORY), NAME(GL_CURRENT_COLOR), NAME(GL_CURRENT_NORMAL),
        NAME(GL_POINT_SMOOTH), NAME(GL_LINE_SMOOTH), NAME(GL_POLYGON_SMOOTH), NAME(GL_CULL_FACE),
        NAME(GL_LIGHTING), NAME(GL_COLOR_MATERIAL), NAME(GL_FOG), NAME(GL_DEPTH_TEST), NAME(GL_STENCIL_TEST),
        NAME(GL_NORMALIZE), NAME(GL_ALPHA_TEST), NAME(GL_DITHER), NAME(GL_BLEND), NAME(GL_SCISSOR_TEST),
        NAME(GL_MATRIX_MODE), NAME(GL_VIEWPORT), NAME(GL_MODELVIEW_STACK_DEPTH),
        NAME(GL_PROJECTION_STACK_DEPTH), NAME(GL_MODELVIEW_MATRIX), NAME(GL_PROJECTION_MATRIX),
        NAME(GL_BLEND_DST), NAME(GL_BLEND_SRC), NAME(GL_SHADE_MODEL), NAME(GL_COLOR_CLEAR_VALUE),
        NAME(GL_DEPTH_FUNC), NAME(GL_PERSPECTIVE_CORRECTION_HINT), NAME(GL_TEXTURE_GEN_S),
        NAME(GL_TEXTURE_GEN_T), NAME(GL_TEXTURE_GEN_R), NAME(GL_TEXTURE_GEN_Q), NAME(GL_UNPACK_ALIGNMENT),
        NAME(GL_PACK_ALIGNMENT), NAME(GL_TEXTURE_1D), NAME(GL_TEXTURE_2D), NAME(GL_DONT_CARE),
        NAME(GL_FASTEST), NAME(GL_NICEST), NAME(GL_LIGHT0), NAME(GL_LIGHT1), NAME(GL_AMBIENT),
        NAME(GL_DIFFUSE), NAME(GL_SPECULAR), NAME(GL_POSITION), NAME(GL_BYTE), NAME(GL_UNSIGNED_BYTE),
        NAME(GL_INT), NAME(GL_UNSIGNED_INT), NAME(GL_FLOAT), NAME(GL_MODELVIEW), NAME(GL_PROJECTION),
        NAME(GL_TEXTURE), NAME(GL_ALPHA), NAME(GL_RGB), NAME(GL_RGBA), NAME(GL_LUMINANCE),
        NAME(GL_LUMINANCE_ALPHA), NAME(GL_FLAT), NAME(GL_SMOOTH), NAME(GL_VENDOR), NAME(GL_RENDERER),
        NAME(GL_VERSION), NAME(GL_EXTENSIONS), NAME(GL_MODULATE), NAME(GL_DECAL), NAME(GL_REPLACE),
        NAME(GL_TEXTURE_ENV_MODE), NAME(GL_TEXTURE_ENV), NAME(GL_EYE_LINEAR), NAME(GL_OBJECT_LINEAR),
        NAME(GL_SPHERE_MAP), NAME(GL_TEXTURE_GEN_MODE), NAME(GL_NEAREST), NAME(GL_LINEAR),
        NAME(GL_NEAREST_MIPMAP_NEAREST), NAME(GL_LINEAR_MIPMAP_NEAREST), NAME(GL_NEAREST_MIPMAP_LINEAR),
        NAME(GL_LINEAR_MIPMAP_LINEAR), NAME(GL_TEXTURE_MAG_FILTER), NAME(GL_TEXTURE_MIN_FILTER),
        NAME(GL_TEXTURE_WRAP_S), NAME(GL_TEXTURE_WRAP_T), NAME(GL_CLAMP), NAME(GL_REPEAT), NAME(GL_S),
        NAME(GL_T), NAME(GL_R), NAME(GL_Q), NAME(GL_NEVER), NAME(GL_LESS), NAME(GL_EQUAL), NAME(GL_LEQUAL),
        NAME(GL_GREATER), NAME(GL_NOTEQUAL), NAME(GL_GEQUAL), NAME(GL_ALWAYS),
        NAME(GL_TEXTURE_BINDING_2D), NAME(GLU_SMOOTH), NAME(GLU_FLAT), NAME(GLU_NONE),
#undef NAME
        // clang-format on
    };
    return names;
}

std::string Int(long long value) { return std::to_string(value); }
std::string Enum(GLenum value) { return EnumName(value); }
std::string Pointer(const void* p) { return p ? "ptr" : "null"; }
std::string Boolean(GLboolean value) {
    return value == GL_TRUE ? "GL_TRUE" : value == GL_FALSE ? "GL_FALSE" : Int(value);
}

std::string Primitive(GLenum mode) {
    static const char* const names[] = {"GL_POINTS",     "GL_LINES",          "GL_LINE_LOOP",    "GL_LINE_STRIP",
                                        "GL_TRIANGLES",  "GL_TRIANGLE_STRIP", "GL_TRIANGLE_FAN", "GL_QUADS",
                                        "GL_QUAD_STRIP", "GL_POLYGON"};
    return mode < 10 ? names[mode] : EnumName(mode);
}

std::string BlendFactor(GLenum factor) {
    if (factor == GL_ZERO) return "GL_ZERO";
    if (factor == GL_ONE) return "GL_ONE";
    return EnumName(factor);
}

std::string ClearMask(GLbitfield mask) {
    static const std::pair<GLbitfield, const char*> bits[] = {{GL_COLOR_BUFFER_BIT, "GL_COLOR_BUFFER_BIT"},
                                                              {GL_DEPTH_BUFFER_BIT, "GL_DEPTH_BUFFER_BIT"},
                                                              {GL_STENCIL_BUFFER_BIT, "GL_STENCIL_BUFFER_BIT"},
                                                              {GL_ACCUM_BUFFER_BIT, "GL_ACCUM_BUFFER_BIT"}};
    std::string text;
    for (auto [bit, name] : bits)
        if (mask & bit) {
            text += (text.empty() ? "" : " | ") + std::string(name);
            mask &= ~bit;
        }
    if (mask || text.empty()) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%x", unsigned(mask));
        text += (text.empty() ? "" : " | ") + std::string(hex);
    }
    return text;
}

// Texture formats 1 to 4 are component counts, anything else a format enum.
std::string InternalFormat(GLint format) { return format >= 1 && format <= 4 ? Int(format) : EnumName(GLenum(format)); }

bool TakesEnumParameter(GLenum pname) {
    return pname == GL_TEXTURE_MIN_FILTER || pname == GL_TEXTURE_MAG_FILTER || pname == GL_TEXTURE_WRAP_S ||
           pname == GL_TEXTURE_WRAP_T || pname == GL_TEXTURE_GEN_MODE || pname == GL_TEXTURE_ENV_MODE;
}

void Record(const char* name, std::initializer_list<std::string> args) {
    if (!g.recording) return;
    std::string joined;
    for (const std::string& arg : args) joined += (joined.empty() ? "" : ", ") + arg;
    g.calls.push_back({name, joined, std::string(name) + "(" + joined + ")", g.stacks[GL_MODELVIEW].back()});
}

#define REC(name, ...)                                \
    do {                                              \
        if (g.recording) Record(name, {__VA_ARGS__}); \
    } while (0)

char quadricObject;  // gluNewQuadric hands out its address

}  // namespace

// ---- the record -------------------------------------------------------------------------------
const std::vector<Call>& Calls() { return g.calls; }

std::vector<std::string> Lines() {
    std::vector<std::string> lines;
    for (const Call& call : g.calls) lines.push_back(call.text);
    return lines;
}

std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const Call& call : g.calls) names.push_back(call.name);
    return names;
}

std::vector<Call> CallsNamed(const std::string& name) {
    std::vector<Call> found;
    for (const Call& call : g.calls)
        if (call.name == name) found.push_back(call);
    return found;
}

std::size_t Count(const std::string& name) {
    return std::size_t(std::count_if(g.calls.begin(), g.calls.end(), [&](const Call& c) { return c.name == name; }));
}

std::ptrdiff_t Find(const std::vector<std::string>& sequence, std::size_t from) {
    if (sequence.empty()) return from <= g.calls.size() ? std::ptrdiff_t(from) : -1;
    for (std::size_t start = from; start + sequence.size() <= g.calls.size(); ++start) {
        std::size_t k = 0;
        while (k < sequence.size() && g.calls[start + k].text == sequence[k]) ++k;
        if (k == sequence.size()) return std::ptrdiff_t(start);
    }
    return -1;
}

bool ContainsInOrder(const std::vector<std::string>& sequence) {
    std::size_t k = 0;
    for (const Call& call : g.calls)
        if (k < sequence.size() && call.text == sequence[k]) ++k;
    return k == sequence.size();
}

std::string Join(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

void Clear() { g.calls.clear(); }

void Reset() {
    g.calls.clear();
    g.recording = true;
    ResetState();
}

void SetRecording(bool on) { g.recording = on; }

// ---- the state model --------------------------------------------------------------------------
bool IsEnabled(GLenum capability) { return g.enabled.count(capability) != 0; }

void SetEnabled(GLenum capability, bool on) {
    if (on)
        g.enabled.insert(capability);
    else
        g.enabled.erase(capability);
}

const void* LastTexImagePixels() { return g.lastTexImagePixels; }

GLuint BoundTexture(GLenum target) {
    auto found = g.boundTextures.find(target);
    return found == g.boundTextures.end() ? 0 : found->second;
}

Vec4 CurrentColor() { return g.color; }
std::array<float, 3> CurrentNormal() { return g.normal; }
GLenum BlendSource() { return g.blendSource; }
GLenum BlendDestination() { return g.blendDestination; }
void SetBlendFunction(GLenum source, GLenum destination) {
    g.blendSource = source;
    g.blendDestination = destination;
}
GLenum MatrixMode() { return g.matrixMode; }
Matrix ModelView() { return g.stacks[GL_MODELVIEW].back(); }
Matrix Projection() { return g.stacks[GL_PROJECTION].back(); }
int StackDepth(GLenum mode) { return int(g.stacks[mode].size()); }
bool InsideBeginEnd() { return g.insideBeginEnd; }
GLenum LastError() { return g.error; }

// ---- helpers ----------------------------------------------------------------------------------
Matrix Identity() { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; }

Vec4 Transform(const Matrix& m, float x, float y, float z, float w) {
    Vec4 r{};
    for (int row = 0; row < 4; ++row)
        r[row] = float(double(m[row]) * x + double(m[4 + row]) * y + double(m[8 + row]) * z + double(m[12 + row]) * w);
    return r;
}

std::string EnumName(GLenum value) {
    auto found = EnumNames().find(value);
    if (found != EnumNames().end()) return found->second;
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%x", unsigned(value));
    return hex;
}

std::string Float(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", double(value));
    return text;
}

std::string Double(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

}  // namespace glrec

using namespace glrec;

// ---- OpenGL 1.1 -------------------------------------------------------------------------------
extern "C" {

void glBegin(GLenum mode) {
    REC("glBegin", Primitive(mode));
    if (RefusedInsideBeginEnd()) return;
    g.insideBeginEnd = true;
}

void glEnd() {
    REC("glEnd");
    if (!g.insideBeginEnd) return SetError(GL_INVALID_OPERATION);
    g.insideBeginEnd = false;
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { REC("glVertex3f", Float(x), Float(y), Float(z)); }
void glVertex2f(GLfloat x, GLfloat y) { REC("glVertex2f", Float(x), Float(y)); }
void glTexCoord2f(GLfloat s, GLfloat t) { REC("glTexCoord2f", Float(s), Float(t)); }

void glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    REC("glNormal3f", Float(x), Float(y), Float(z));
    g.normal = {x, y, z};
}

void glColor4f(GLfloat r, GLfloat gr, GLfloat b, GLfloat a) {
    REC("glColor4f", Float(r), Float(gr), Float(b), Float(a));
    g.color = {r, gr, b, a};
}

void glColor3f(GLfloat r, GLfloat gr, GLfloat b) {
    REC("glColor3f", Float(r), Float(gr), Float(b));
    g.color = {r, gr, b, 1};
}

void glColor3ub(GLubyte r, GLubyte gr, GLubyte b) {
    REC("glColor3ub", Int(r), Int(gr), Int(b));
    g.color = {r / 255.0f, gr / 255.0f, b / 255.0f, 1};
}

void glEnable(GLenum cap) {
    REC("glEnable", Enum(cap));
    if (!RefusedInsideBeginEnd()) g.enabled.insert(cap);
}

void glDisable(GLenum cap) {
    REC("glDisable", Enum(cap));
    if (!RefusedInsideBeginEnd()) g.enabled.erase(cap);
}

GLboolean glIsEnabled(GLenum cap) {
    REC("glIsEnabled", Enum(cap));
    if (RefusedInsideBeginEnd()) return GL_FALSE;
    return IsEnabled(cap) ? GL_TRUE : GL_FALSE;
}

void glBindTexture(GLenum target, GLuint texture) {
    REC("glBindTexture", Enum(target), Int(texture));
    if (!RefusedInsideBeginEnd()) g.boundTextures[target] = texture;
}

void glBlendFunc(GLenum sfactor, GLenum dfactor) {
    REC("glBlendFunc", BlendFactor(sfactor), BlendFactor(dfactor));
    if (!RefusedInsideBeginEnd()) SetBlendFunction(sfactor, dfactor);
}

void glDepthFunc(GLenum func) {
    REC("glDepthFunc", Enum(func));
    RefusedInsideBeginEnd();
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    REC("glTranslatef", Float(x), Float(y), Float(z));
    if (RefusedInsideBeginEnd()) return;
    Matrix m = Identity();
    m[12] = x, m[13] = y, m[14] = z;
    MultiplyCurrent(m);
}

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    REC("glRotatef", Float(angle), Float(x), Float(y), Float(z));
    if (!RefusedInsideBeginEnd()) MultiplyCurrent(RotationMatrix(angle, x, y, z));
}

void glScalef(GLfloat x, GLfloat y, GLfloat z) {
    REC("glScalef", Float(x), Float(y), Float(z));
    if (RefusedInsideBeginEnd()) return;
    Matrix m = Identity();
    m[0] = x, m[5] = y, m[10] = z;
    MultiplyCurrent(m);
}

void glLoadMatrixf(const GLfloat* m) {
    REC("glLoadMatrixf", Pointer(m));
    if (!RefusedInsideBeginEnd()) std::copy(m, m + 16, Current().begin());
}

void glMultMatrixf(const GLfloat* m) {
    REC("glMultMatrixf", Pointer(m));
    if (RefusedInsideBeginEnd()) return;
    Matrix factor;
    std::copy(m, m + 16, factor.begin());
    MultiplyCurrent(factor);
}

void glPushMatrix() {
    REC("glPushMatrix");
    if (RefusedInsideBeginEnd()) return;
    std::vector<Matrix>& stack = g.stacks[g.matrixMode];
    if (int(stack.size()) >= MAX_STACK_DEPTH) return SetError(GL_STACK_OVERFLOW);
    stack.push_back(stack.back());
}

void glPopMatrix() {
    REC("glPopMatrix");
    if (RefusedInsideBeginEnd()) return;
    std::vector<Matrix>& stack = g.stacks[g.matrixMode];
    if (stack.size() <= 1) return SetError(GL_STACK_UNDERFLOW);
    stack.pop_back();
}

void glLoadIdentity() {
    REC("glLoadIdentity");
    if (!RefusedInsideBeginEnd()) Current() = Identity();
}

void glMatrixMode(GLenum mode) {
    REC("glMatrixMode", Enum(mode));
    if (RefusedInsideBeginEnd()) return;
    if (mode != GL_MODELVIEW && mode != GL_PROJECTION && mode != GL_TEXTURE) return SetError(GL_INVALID_ENUM);
    g.matrixMode = mode;
}

void glClear(GLbitfield mask) {
    REC("glClear", ClearMask(mask));
    RefusedInsideBeginEnd();
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    REC("glViewport", Int(x), Int(y), Int(width), Int(height));
    if (RefusedInsideBeginEnd()) return;
    if (width < 0 || height < 0) return SetError(GL_INVALID_VALUE);
    g.viewport = {x, y, width, height};
}

void glClearColor(GLclampf r, GLclampf gr, GLclampf b, GLclampf a) {
    REC("glClearColor", Float(r), Float(gr), Float(b), Float(a));
    if (!RefusedInsideBeginEnd()) g.clearColor = {r, gr, b, a};
}

void glClearDepth(GLclampd depth) {
    REC("glClearDepth", Double(depth));
    RefusedInsideBeginEnd();
}

void glHint(GLenum target, GLenum mode) {
    REC("glHint", Enum(target), Enum(mode));
    RefusedInsideBeginEnd();
}

void glShadeModel(GLenum mode) {
    REC("glShadeModel", Enum(mode));
    if (!RefusedInsideBeginEnd()) g.shadeModel = mode;
}

void glTexGeni(GLenum coord, GLenum pname, GLint param) {
    REC("glTexGeni", Enum(coord), Enum(pname), TakesEnumParameter(pname) ? Enum(GLenum(param)) : Int(param));
    RefusedInsideBeginEnd();
}

void glTexEnvi(GLenum target, GLenum pname, GLint param) {
    REC("glTexEnvi", Enum(target), Enum(pname), TakesEnumParameter(pname) ? Enum(GLenum(param)) : Int(param));
    RefusedInsideBeginEnd();
}

void glGenTextures(GLsizei n, GLuint* textures) {
    REC("glGenTextures", Int(n), Pointer(textures));
    if (RefusedInsideBeginEnd()) return;
    if (n < 0) return SetError(GL_INVALID_VALUE);
    for (GLsizei i = 0; i < n; ++i) textures[i] = g.nextTextureName++;
}

void glDeleteTextures(GLsizei n, const GLuint* textures) {
    REC("glDeleteTextures", Int(n), Pointer(textures));
    if (RefusedInsideBeginEnd()) return;
    for (GLsizei i = 0; i < n; ++i)
        for (auto& [target, bound] : g.boundTextures)
            if (bound == textures[i]) bound = 0;
}

void glTexParameterf(GLenum target, GLenum pname, GLfloat param) {
    bool asEnum = TakesEnumParameter(pname) && param == std::floor(param) && param >= 0;
    REC("glTexParameterf", Enum(target), Enum(pname), asEnum ? Enum(GLenum(param)) : Float(param));
    RefusedInsideBeginEnd();
}

void glTexParameteri(GLenum target, GLenum pname, GLint param) {
    REC("glTexParameteri", Enum(target), Enum(pname), TakesEnumParameter(pname) ? Enum(GLenum(param)) : Int(param));
    RefusedInsideBeginEnd();
}

void glTexImage2D(GLenum target, GLint level, GLint internalformat, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const GLvoid* pixels) {
    REC("glTexImage2D", Enum(target), Int(level), InternalFormat(internalformat), Int(width), Int(height), Int(border),
        Enum(format), Enum(type), Pointer(pixels));
    if (!RefusedInsideBeginEnd()) g.lastTexImagePixels = pixels;
}

void glPixelStorei(GLenum pname, GLint param) {
    REC("glPixelStorei", Enum(pname), Int(param));
    if (RefusedInsideBeginEnd()) return;
    if (pname == GL_UNPACK_ALIGNMENT) g.unpackAlignment = param;
}

void glFinish() { REC("glFinish"); }
void glFlush() { REC("glFlush"); }

GLenum glGetError() {
    REC("glGetError");
    if (RefusedInsideBeginEnd()) return GL_INVALID_OPERATION;
    GLenum error = g.error;
    g.error = GL_NO_ERROR;
    return error;
}

const GLubyte* glGetString(GLenum name) {
    REC("glGetString", Enum(name));
    static const GLubyte text[] = "vrex gl recorder";
    return text;
}

void glGetIntegerv(GLenum pname, GLint* params) {
    REC("glGetIntegerv", Enum(pname), Pointer(params));
    if (RefusedInsideBeginEnd()) return;
    switch (pname) {
    case GL_TEXTURE_BINDING_2D: *params = GLint(BoundTexture(GL_TEXTURE_2D)); break;
    case GL_MATRIX_MODE: *params = GLint(g.matrixMode); break;
    case GL_MODELVIEW_STACK_DEPTH: *params = StackDepth(GL_MODELVIEW); break;
    case GL_PROJECTION_STACK_DEPTH: *params = StackDepth(GL_PROJECTION); break;
    case GL_BLEND_SRC: *params = GLint(g.blendSource); break;
    case GL_BLEND_DST: *params = GLint(g.blendDestination); break;
    case GL_SHADE_MODEL: *params = GLint(g.shadeModel); break;
    case GL_UNPACK_ALIGNMENT: *params = g.unpackAlignment; break;
    case GL_VIEWPORT: std::copy(g.viewport.begin(), g.viewport.end(), params); break;
    default:
        if (g.enabled.count(pname) || pname == GL_BLEND || pname == GL_DEPTH_TEST || pname == GL_LIGHTING ||
            pname == GL_TEXTURE_GEN_S || pname == GL_TEXTURE_GEN_T || pname == GL_TEXTURE_2D)
            *params = IsEnabled(pname) ? 1 : 0;  // enables can be queried as integers too
        else
            SetError(GL_INVALID_ENUM);
    }
}

void glGetFloatv(GLenum pname, GLfloat* params) {
    REC("glGetFloatv", Enum(pname), Pointer(params));
    if (RefusedInsideBeginEnd()) return;
    switch (pname) {
    case GL_CURRENT_COLOR: std::copy(g.color.begin(), g.color.end(), params); break;
    case GL_CURRENT_NORMAL: std::copy(g.normal.begin(), g.normal.end(), params); break;
    case GL_COLOR_CLEAR_VALUE: std::copy(g.clearColor.begin(), g.clearColor.end(), params); break;
    case GL_MODELVIEW_MATRIX: {
        Matrix m = ModelView();
        std::copy(m.begin(), m.end(), params);
        break;
    }
    case GL_PROJECTION_MATRIX: {
        Matrix m = Projection();
        std::copy(m.begin(), m.end(), params);
        break;
    }
    default: SetError(GL_INVALID_ENUM);
    }
}

// ---- GLU --------------------------------------------------------------------------------------

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    REC("gluPerspective", Double(fovy), Double(aspect), Double(zNear), Double(zFar));
    double f = 1.0 / std::tan(fovy * M_PI / 360.0);
    Matrix m{};
    m[0] = float(f / aspect);
    m[5] = float(f);
    m[10] = float((zFar + zNear) / (zNear - zFar));
    m[11] = -1;
    m[14] = float(2 * zFar * zNear / (zNear - zFar));
    MultiplyCurrent(m);
}

GLUquadric* gluNewQuadric() {
    REC("gluNewQuadric");
    return reinterpret_cast<GLUquadric*>(&quadricObject);
}

void gluDeleteQuadric(GLUquadric* quad) { REC("gluDeleteQuadric", Pointer(quad)); }

void gluQuadricNormals(GLUquadric* quad, GLenum normal) { REC("gluQuadricNormals", Pointer(quad), Enum(normal)); }

void gluQuadricTexture(GLUquadric* quad, GLboolean texture) {
    REC("gluQuadricTexture", Pointer(quad), Boolean(texture));
}

void gluCylinder(GLUquadric* quad, GLdouble base, GLdouble top, GLdouble height, GLint slices, GLint stacks) {
    REC("gluCylinder", Pointer(quad), Double(base), Double(top), Double(height), Int(slices), Int(stacks));
}

void gluSphere(GLUquadric* quad, GLdouble radius, GLint slices, GLint stacks) {
    REC("gluSphere", Pointer(quad), Double(radius), Int(slices), Int(stacks));
}

GLint gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format, GLenum type,
                        const void* data) {
    REC("gluBuild2DMipmaps", Enum(target), InternalFormat(internalFormat), Int(width), Int(height), Enum(format),
        Enum(type), Pointer(data));
    return 0;
}

}  // extern "C"
