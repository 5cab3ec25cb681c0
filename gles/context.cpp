// The library's context: the ES entry points, the two shader programs, the buffers, and the batch's
// way to the driver.
#include <cstring>
#include <string>

#include "gles/context.h"

namespace gles {

Context* g_current = nullptr;

namespace {

std::string lastFailure;

// Every vertex arrives in clip space with its final colour: the shaders only interpolate and
// apply GL_MODULATE.
const char* const VERTEX_SHADER = R"(#version 300 es
in vec4 position;
in vec4 colour;
in vec2 texCoord;
out vec4 vColour;
out vec2 vTexCoord;
void main() {
    gl_Position = position;
    vColour = colour;
    vTexCoord = texCoord;
}
)";

// Two programs, untextured and textured, rather than a branch in one: a draw without a texture
// then costs the rasteriser no sampling at all.
const char* const FRAGMENT_SHADER = R"(
precision highp float;
uniform sampler2D picture;
in vec4 vColour;
in vec2 vTexCoord;
out vec4 fragColour;
void main() {
#if TEXTURED
    fragColour = vColour * texture(picture, vTexCoord);
#else
    fragColour = vColour;
#endif
}
)";
const char* const FRAGMENT_HEADERS[2] = {"#version 300 es\n#define TEXTURED 0\n",
                                         "#version 300 es\n#define TEXTURED 1\n"};

enum Attribute : GLuint { POSITION, COLOUR, TEX_COORD };

bool LoadEntryPoints(EsApi& es, GlesProcGetter getProc) {
#define GLES_LOAD(ret, name, args)                                            \
    es.name = reinterpret_cast<ret(GLAPIENTRY*) args>(getProc("gl" #name));   \
    if (!es.name) {                                                           \
        lastFailure = "the OpenGL ES 3.0 entry point gl" #name " is missing"; \
        return false;                                                         \
    }
    GLES_ES_FUNCTIONS(GLES_LOAD)
#undef GLES_LOAD
    return true;
}

GLuint CompileShader(EsApi& es, GLenum kind, const char* header, const char* source) {
    GLuint shader = es.CreateShader(kind);
    const char* parts[2] = {header, source};
    es.ShaderSource(shader, 2, parts, nullptr);
    es.CompileShader(shader);
    GLint compiled = GL_FALSE;
    es.GetShaderiv(shader, es::COMPILE_STATUS, &compiled);
    if (compiled) return shader;
    char log[512] = "";
    es.GetShaderInfoLog(shader, sizeof log, nullptr, log);
    lastFailure = std::string("a shader does not compile: ") + log;
    es.DeleteShader(shader);
    return 0;
}

GLuint LinkProgram(EsApi& es, GLuint vertex, GLuint fragment) {
    GLuint program = es.CreateProgram();
    es.AttachShader(program, vertex);
    es.AttachShader(program, fragment);
    es.BindAttribLocation(program, POSITION, "position");
    es.BindAttribLocation(program, COLOUR, "colour");
    es.BindAttribLocation(program, TEX_COORD, "texCoord");
    es.LinkProgram(program);
    GLint linked = GL_FALSE;
    es.GetProgramiv(program, es::LINK_STATUS, &linked);
    if (!linked) {
        char log[512] = "";
        es.GetProgramInfoLog(program, sizeof log, nullptr, log);
        lastFailure = std::string("the shaders do not link: ") + log;
        return 0;
    }
    es.UseProgram(program);
    es.Uniform1i(es.GetUniformLocation(program, "picture"), 0);
    return program;
}

bool BuildPrograms(Context& c) {
    EsApi& es = c.es;
    GLuint vertex = CompileShader(es, es::VERTEX_SHADER, "", VERTEX_SHADER);
    if (!vertex) return false;
    bool built = true;
    for (int textured = 0; textured < 2 && built; ++textured) {
        GLuint fragment = CompileShader(es, es::FRAGMENT_SHADER, FRAGMENT_HEADERS[textured], FRAGMENT_SHADER);
        c.programs[textured] = fragment ? LinkProgram(es, vertex, fragment) : 0;
        if (fragment) es.DeleteShader(fragment);
        built = c.programs[textured] != 0;
    }
    es.DeleteShader(vertex);
    return built;
}

void SetUpVertexArray(Context& c) {
    EsApi& es = c.es;
    es.GenVertexArrays(1, &c.vertexArray);
    es.BindVertexArray(c.vertexArray);
    es.GenBuffers(1, &c.vertexBuffer);
    es.GenBuffers(1, &c.indexBuffer);
    es.BindBuffer(es::ARRAY_BUFFER, c.vertexBuffer);
    es.BindBuffer(es::ELEMENT_ARRAY_BUFFER, c.indexBuffer);
    constexpr GLsizei stride = sizeof(Vertex);
    es.VertexAttribPointer(POSITION, 4, GL_FLOAT, GL_FALSE, stride,
                           reinterpret_cast<void*>(offsetof(Vertex, position)));
    es.VertexAttribPointer(COLOUR, 4, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(Vertex, colour)));
    es.VertexAttribPointer(TEX_COORD, 2, GL_FLOAT, GL_FALSE, stride,
                           reinterpret_cast<void*>(offsetof(Vertex, texCoord)));
    for (GLuint attribute : {POSITION, COLOUR, TEX_COORD}) es.EnableVertexAttribArray(attribute);
}

void SetCapability(EsApi& es, GLenum capability, bool on) {
    if (on)
        es.Enable(capability);
    else
        es.Disable(capability);
}

// Tells the driver only what differs from what it was last told.
void Apply(Context& c, const DrawState& s) {
    EsApi& es = c.es;
    const DrawState& a = c.applied;
    const bool all = !c.appliedKnown;
    if (all || s.textured != a.textured) es.UseProgram(c.programs[s.textured ? 1 : 0]);
    if (all || s.texture != a.texture) es.BindTexture(GL_TEXTURE_2D, s.texture);
    if (all || s.blend != a.blend) SetCapability(es, GL_BLEND, s.blend);
    if (all || s.blendSource != a.blendSource || s.blendDestination != a.blendDestination)
        es.BlendFunc(s.blendSource, s.blendDestination);
    if (all || s.depthTest != a.depthTest) SetCapability(es, GL_DEPTH_TEST, s.depthTest);
    if (all || s.depthFunc != a.depthFunc) es.DepthFunc(s.depthFunc);
    if (all || s.scissor != a.scissor) SetCapability(es, GL_SCISSOR_TEST, s.scissor);
    if (all || s.scissorBox != a.scissorBox)
        es.Scissor(s.scissorBox[0], s.scissorBox[1], s.scissorBox[2], s.scissorBox[3]);
    if (all || s.viewport != a.viewport) es.Viewport(s.viewport[0], s.viewport[1], s.viewport[2], s.viewport[3]);
    c.applied = s;
    c.appliedKnown = true;
}

}  // namespace

void FlushBatch(Context& c) {
    if (c.indices.empty()) {
        c.vertices.clear();
        return;
    }
    Apply(c, c.batchState);
    EsApi& es = c.es;
    // A fresh store each time: the driver need not wait for the previous draw to finish with it.
    es.BufferData(es::ARRAY_BUFFER, std::ptrdiff_t(c.vertices.size() * sizeof(Vertex)), c.vertices.data(),
                  es::STREAM_DRAW);
    es.BufferData(es::ELEMENT_ARRAY_BUFFER, std::ptrdiff_t(c.indices.size() * sizeof(GLuint)), c.indices.data(),
                  es::STREAM_DRAW);
    es.DrawElements(GL_TRIANGLES, GLsizei(c.indices.size()), GL_UNSIGNED_INT, nullptr);
    ++c.drawCalls;
    c.vertices.clear();
    c.indices.clear();
}

// Clears and reads go to the driver outside a batch, under the GL state as it is now.
void ApplyCurrentState(Context& c) { Apply(c, WantedDrawState(c)); }

}  // namespace gles

using namespace gles;

GlesContext* glesCreateContext(GlesProcGetter getProc) {
    lastFailure.clear();
    if (!getProc) {
        lastFailure = "no way to find the OpenGL ES entry points";
        return nullptr;
    }
    auto* c = new Context;
    if (!LoadEntryPoints(c->es, getProc) || !BuildPrograms(*c)) {
        delete c;
        return nullptr;
    }
    SetUpVertexArray(*c);
    c->es.ActiveTexture(es::TEXTURE0);
    c->es.PixelStorei(GL_UNPACK_ALIGNMENT, 1);  // the library hands the driver packed rows
    c->es.PixelStorei(GL_PACK_ALIGNMENT, 1);
    c->es.GetIntegerv(GL_MAX_TEXTURE_SIZE, &c->maxTextureSize);
    // A GL context starts with the viewport and scissor box of the window it first draws to.
    c->es.GetIntegerv(GL_VIEWPORT, c->state.viewport.data());
    c->state.scissor = c->state.viewport;
    c->textures[0] = Texture{};
    c->modelview[0] = c->projection[0] = c->textureMatrix[0] = IdentityMatrix();
    return reinterpret_cast<GlesContext*>(c);
}

const char* glesLastFailure() { return lastFailure.c_str(); }

void glesMakeCurrent(GlesContext* context) {
    if (g_current) FlushBatch(*g_current);
    g_current = reinterpret_cast<Context*>(context);
}

GlesContext* glesCurrentContext() { return reinterpret_cast<GlesContext*>(g_current); }

void glesDestroyContext(GlesContext* context) {
    auto* c = reinterpret_cast<Context*>(context);
    if (c == g_current) g_current = nullptr;
    delete c;
}

void glesFlush() {
    if (g_current) FlushBatch(*g_current);
}

long glesDrawCallCount() { return g_current ? g_current->drawCalls : 0; }
long glesPrimitiveCount() { return g_current ? g_current->primitives : 0; }
