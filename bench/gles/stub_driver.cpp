// The stub driver: the library's own do-nothing entry points (those it gives a lost driver
// context), with the uploads and the answers a working driver gives put over them.
#include "bench/gles/stub_driver.h"

#include <cstring>
#include <string>
#include <vector>

#include "gles/context.h"

namespace {

std::vector<unsigned char> g_copies;  // where uploads are copied to, grown to the largest
long long g_bytesCopied = 0;

void Copy(const void* bytes, std::size_t size) {
    if (!bytes) return;
    if (g_copies.size() < size) g_copies.resize(size);
    std::memcpy(g_copies.data(), bytes, size);
    g_bytesCopied += (long long)size;
}

void BufferData(GLenum, std::ptrdiff_t size, const void* bytes, GLenum) { Copy(bytes, std::size_t(size)); }
void BufferSubData(GLenum, std::ptrdiff_t, std::ptrdiff_t size, const void* bytes) { Copy(bytes, std::size_t(size)); }
void TexImage2D(GLenum, GLint, GLint, GLsizei width, GLsizei height, GLint, GLenum format, GLenum, const void* pixels) {
    Copy(pixels, std::size_t(width) * std::size_t(height) * (format == GL_RGBA ? 4 : 3));
}
void GetStatus(GLuint, GLenum, GLint* value) { *value = GL_TRUE; }
void GetIntegerv(GLenum name, GLint* values) {
    if (name == GL_VIEWPORT) {
        const GLint window[4] = {0, 0, 800, 600};
        std::memcpy(values, window, sizeof window);
    } else {
        *values = 4096;  // GL_MAX_TEXTURE_SIZE
    }
}
// glCreateProgram and glCreateShader.
template <typename... A>
GLuint CreateObject(A...) {
    return 1;
}
void GenNames(GLsizei n, GLuint* names) {
    static GLuint next = 1;
    for (GLsizei i = 0; i < n; ++i) names[i] = next++;
}

// The rest answer zero: no error, and the uniform block found at index 0.
gles::EsApi StubApi() {
    gles::EsApi es = gles::DoNothingApi();
    es.BufferData = BufferData;
    es.BufferSubData = BufferSubData;
    es.TexImage2D = TexImage2D;
    es.GetShaderiv = GetStatus;
    es.GetProgramiv = GetStatus;
    es.GetIntegerv = GetIntegerv;
    es.CreateProgram = CreateObject<>;
    es.CreateShader = CreateObject<GLenum>;
    es.GenBuffers = GenNames;
    es.GenTextures = GenNames;
    es.GenVertexArrays = GenNames;
    return es;
}

const gles::EsApi g_stub = StubApi();

void* Lookup(const char* name) {
    const std::string wanted(name);
#define GLES_FIND(ret, fn, args) \
    if (wanted == "gl" #fn) return reinterpret_cast<void*>(g_stub.fn);
    GLES_ES_FUNCTIONS(GLES_FIND)
#undef GLES_FIND
    return nullptr;
}

}  // namespace

GlesProcGetter StubDriverGetter() { return Lookup; }
long long StubDriverBytesCopied() { return g_bytesCopied; }
