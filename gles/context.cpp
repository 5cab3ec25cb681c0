// The library's context: the ES entry points, making, switching and freeing it, and the driver
// context's loss and return.
#include <string>

#include "gles/context.h"

namespace gles {

Context* g_current = nullptr;

namespace {

std::string lastFailure;

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

// An entry point that does nothing and answers zero.
template <typename F>
struct Nothing;
template <typename R, typename... A>
struct Nothing<R(GLAPIENTRY*)(A...)> {
    static R GLAPIENTRY Call(A...) { return R(); }
};

// The driver's side of a fresh library context, or of one whose driver context came back.
bool SetUpDriver(Context& c) {
    if (!BuildPrograms(c)) return false;
    MakeStripIndexBuffer(c);
    EsApi& es = c.es;
    es.ActiveTexture(es::TEXTURE0);
    es.PixelStorei(GL_UNPACK_ALIGNMENT, 1);  // the library hands the driver packed rows
    es.PixelStorei(GL_PACK_ALIGNMENT, 1);
    es.GetIntegerv(GL_MAX_TEXTURE_SIZE, &c.maxTextureSize);
    return true;
}

}  // namespace

void SetLastFailure(const std::string& failure) { lastFailure = failure; }

EsApi DoNothingApi() {
    EsApi es;
#define GLES_NOTHING(ret, name, args) es.name = &Nothing<decltype(es.name)>::Call;
    GLES_ES_FUNCTIONS(GLES_NOTHING)
#undef GLES_NOTHING
    return es;
}

}  // namespace gles

using namespace gles;

GlesContext* glesCreateContext(GlesProcGetter getProc) {
    lastFailure.clear();
    if (!getProc) {
        lastFailure = "no way to find the OpenGL ES entry points";
        return nullptr;
    }
    auto* c = new Context;
    if (!LoadEntryPoints(c->es, getProc) || !SetUpDriver(*c)) {
        delete c;
        return nullptr;
    }
    // A GL context starts with the viewport and scissor box of the window it first draws to.
    c->es.GetIntegerv(GL_VIEWPORT, c->state.viewport.data());
    c->state.scissor = c->state.viewport;
    c->textures[0] = Texture{};
    c->modelview[0] = c->projection[0] = c->textureMatrix[0] = IdentityMatrix();
    return reinterpret_cast<GlesContext*>(c);
}

const char* glesLastFailure() { return lastFailure.c_str(); }

void glesMakeCurrent(GlesContext* context) {
    if (g_current) EndFrame(*g_current);
    g_current = reinterpret_cast<Context*>(context);
}

GlesContext* glesCurrentContext() { return reinterpret_cast<GlesContext*>(g_current); }

void glesDestroyContext(GlesContext* context) {
    auto* c = reinterpret_cast<Context*>(context);
    if (c == g_current) g_current = nullptr;
    delete c;
}

void glesFlush() {
    if (g_current) EndFrame(*g_current);
}

void glesContextLost(GlesContext* context) {
    auto* c = reinterpret_cast<Context*>(context);
    if (!c || c->lost) return;
    // The pending batch and every driver name die with the driver context.
    c->lost = true;
    c->es = DoNothingApi();
    DropBatchSlots(*c);
    c->stripIndexBuffer = 0;
    for (auto& [name, texture] : c->textures) texture.driverName = 0;
    c->programs[0] = c->programs[1] = 0;
    DrawStateChanged(*c);
}

bool glesContextRestored(GlesContext* context, GlesProcGetter getProc) {
    auto* c = reinterpret_cast<Context*>(context);
    lastFailure.clear();
    if (!c || !getProc) {
        lastFailure = "no context, or no way to find the OpenGL ES entry points";
        return false;
    }
    EsApi loaded;
    if (!LoadEntryPoints(loaded, getProc)) return false;
    c->es = loaded;
    // What was gathered while lost is not drawn, and the new driver is told every state afresh.
    DropBatchSlots(*c);
    if (!SetUpDriver(*c)) {
        c->es = DoNothingApi();  // still lost: nothing reaches a driver without programs
        return false;
    }
    c->lost = false;
    for (auto& [name, texture] : c->textures)
        if (!texture.levels.empty()) SendTextureToDriver(*c, texture);
    // The next batch binds the textures' new names.
    DrawStateChanged(*c);
    return true;
}

long glesDrawCallCount() { return g_current ? g_current->drawCalls : 0; }
long glesPrimitiveCount() { return g_current ? g_current->primitives : 0; }
long long glesBytesSentCount() { return g_current ? g_current->bytesSent : 0; }
