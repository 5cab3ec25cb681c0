// context.h - the library's own state for one driver context, shared by its files only.
//
// Context holds GL 1.1's state as the calls left it (what glGet answers and glPopAttrib puts
// back), the batch being filled, the batch slots that keep what the driver already holds, and
// the table of ES 3.0 entry points. Applied keeps what the driver was last told, so a flush only
// sends what changed.
#pragma once

#include <GL/gl.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <memory>
#include <string>
#include <vector>

#include "gles/gles.h"

namespace gles {

// The ES 3.0 entry points the library uses, loaded by name ("gl" + the name here).
#define GLES_ES_FUNCTIONS(X)                                                                          \
    X(void, ActiveTexture, (GLenum))                                                                  \
    X(void, AttachShader, (GLuint, GLuint))                                                           \
    X(void, BindAttribLocation, (GLuint, GLuint, const char*))                                        \
    X(void, BindBuffer, (GLenum, GLuint))                                                             \
    X(void, BindBufferBase, (GLenum, GLuint, GLuint))                                                 \
    X(void, BindTexture, (GLenum, GLuint))                                                            \
    X(void, BindVertexArray, (GLuint))                                                                \
    X(void, BlendFunc, (GLenum, GLenum))                                                              \
    X(void, BufferData, (GLenum, std::ptrdiff_t, const void*, GLenum))                                \
    X(void, BufferSubData, (GLenum, std::ptrdiff_t, std::ptrdiff_t, const void*))                     \
    X(void, Clear, (GLbitfield))                                                                      \
    X(void, ClearColor, (GLfloat, GLfloat, GLfloat, GLfloat))                                         \
    X(void, ClearDepthf, (GLfloat))                                                                   \
    X(void, CompileShader, (GLuint))                                                                  \
    X(GLuint, CreateProgram, ())                                                                      \
    X(GLuint, CreateShader, (GLenum))                                                                 \
    X(void, DeleteBuffers, (GLsizei, const GLuint*))                                                  \
    X(void, DeleteProgram, (GLuint))                                                                  \
    X(void, DeleteShader, (GLuint))                                                                   \
    X(void, DeleteTextures, (GLsizei, const GLuint*))                                                 \
    X(void, DeleteVertexArrays, (GLsizei, const GLuint*))                                             \
    X(void, DepthFunc, (GLenum))                                                                      \
    X(void, Disable, (GLenum))                                                                        \
    X(void, DrawElements, (GLenum, GLsizei, GLenum, const void*))                                     \
    X(void, Enable, (GLenum))                                                                         \
    X(void, EnableVertexAttribArray, (GLuint))                                                        \
    X(void, Finish, ())                                                                               \
    X(void, Flush, ())                                                                                \
    X(void, GenBuffers, (GLsizei, GLuint*))                                                           \
    X(void, GenTextures, (GLsizei, GLuint*))                                                          \
    X(void, GenVertexArrays, (GLsizei, GLuint*))                                                      \
    X(GLenum, GetError, ())                                                                           \
    X(void, GetIntegerv, (GLenum, GLint*))                                                            \
    X(void, GetProgramInfoLog, (GLuint, GLsizei, GLsizei*, char*))                                    \
    X(void, GetProgramiv, (GLuint, GLenum, GLint*))                                                   \
    X(void, GetShaderInfoLog, (GLuint, GLsizei, GLsizei*, char*))                                     \
    X(void, GetShaderiv, (GLuint, GLenum, GLint*))                                                    \
    X(GLuint, GetUniformBlockIndex, (GLuint, const char*))                                            \
    X(GLint, GetUniformLocation, (GLuint, const char*))                                               \
    X(void, LinkProgram, (GLuint))                                                                    \
    X(void, PixelStorei, (GLenum, GLint))                                                             \
    X(void, ReadPixels, (GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, void*))                      \
    X(void, Scissor, (GLint, GLint, GLsizei, GLsizei))                                                \
    X(void, ShaderSource, (GLuint, GLsizei, const char* const*, const GLint*))                        \
    X(void, TexImage2D, (GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const void*)) \
    X(void, TexParameteri, (GLenum, GLenum, GLint))                                                   \
    X(void, Uniform1i, (GLint, GLint))                                                                \
    X(void, UniformBlockBinding, (GLuint, GLuint, GLuint))                                            \
    X(void, UseProgram, (GLuint))                                                                     \
    X(void, VertexAttribIPointer, (GLuint, GLint, GLenum, GLsizei, const void*))                      \
    X(void, VertexAttribPointer, (GLuint, GLint, GLenum, GLboolean, GLsizei, const void*))            \
    X(void, Viewport, (GLint, GLint, GLsizei, GLsizei))

struct EsApi {
#define GLES_DECLARE(ret, name, args) ret(GLAPIENTRY* name) args = nullptr;
    GLES_ES_FUNCTIONS(GLES_DECLARE)
#undef GLES_DECLARE
};

// ES 3.0 names that GL 1.1's header need not carry.
namespace es {
constexpr GLenum ARRAY_BUFFER = 0x8892, ELEMENT_ARRAY_BUFFER = 0x8893, UNIFORM_BUFFER = 0x8A11;
constexpr GLenum STREAM_DRAW = 0x88E0, STATIC_DRAW = 0x88E4, DYNAMIC_DRAW = 0x88E8;
constexpr GLenum VERTEX_SHADER = 0x8B31, FRAGMENT_SHADER = 0x8B30;
constexpr GLenum COMPILE_STATUS = 0x8B81, LINK_STATUS = 0x8B82;
constexpr GLenum TEXTURE0 = 0x84C0, TEXTURE_MAX_LEVEL = 0x813D, CLAMP_TO_EDGE = 0x812F;
constexpr GLenum RGB8 = 0x8051, RGBA8 = 0x8058, HALF_FLOAT = 0x140B;
constexpr GLuint INVALID_INDEX = 0xFFFFFFFFu;
}  // namespace es

// GL 1.1 and extension names GLU and the tools use that an old <GL/gl.h> may lack.
namespace gl {
constexpr GLenum BGR = 0x80E0, BGRA = 0x80E1, PROXY_TEXTURE_2D = 0x8064, TEXTURE_BINDING_2D = 0x8069;
constexpr GLenum PACK_SKIP_IMAGES = 0x806B, PACK_IMAGE_HEIGHT = 0x806C;
constexpr GLenum UNPACK_SKIP_IMAGES = 0x806D, UNPACK_IMAGE_HEIGHT = 0x806E;
constexpr GLenum TEXTURE_3D = 0x806F, PROXY_TEXTURE_3D = 0x8070, MAX_3D_TEXTURE_SIZE = 0x8073;
}  // namespace gl

using Matrix = std::array<float, 16>;  // column-major, as GL keeps it
using Vec4 = std::array<float, 4>;

constexpr int MODELVIEW_STACK_DEPTH = 32;
constexpr int PROJECTION_STACK_DEPTH = 4;
constexpr int TEXTURE_STACK_DEPTH = 4;
constexpr int ATTRIB_STACK_DEPTH = 16;

// The enables the library knows, as bits of one word (glPushAttrib saves them at once).
enum Capability : std::uint32_t {
    CAP_TEXTURE_2D = 1u << 0,
    CAP_DEPTH_TEST = 1u << 1,
    CAP_BLEND = 1u << 2,
    CAP_LIGHTING = 1u << 3,
    CAP_LIGHT0 = 1u << 4,
    CAP_COLOR_MATERIAL = 1u << 5,
    CAP_TEXTURE_GEN_S = 1u << 6,
    CAP_TEXTURE_GEN_T = 1u << 7,
    CAP_SCISSOR_TEST = 1u << 8,
    CAP_NORMALIZE = 1u << 9,
};
std::uint32_t CapabilityBit(GLenum capability);  // 0 for a name the library does not know

// GL 1.1's default material; colour material overwrites ambient and diffuse while it tracks.
constexpr Vec4 DEFAULT_MATERIAL_AMBIENT{0.2f, 0.2f, 0.2f, 1};
constexpr Vec4 DEFAULT_MATERIAL_DIFFUSE{0.8f, 0.8f, 0.8f, 1};

// What glPushAttrib saves: every piece of state the library keeps outside the stacks.
struct AttribState {
    std::uint32_t enabled = 0;  // GL starts with everything off
    Vec4 colour{1, 1, 1, 1};
    std::array<float, 3> normal{0, 0, 1};
    std::array<float, 4> texCoord{0, 0, 0, 1};
    Vec4 materialAmbient = DEFAULT_MATERIAL_AMBIENT, materialDiffuse = DEFAULT_MATERIAL_DIFFUSE;
    GLenum blendSource = GL_ONE, blendDestination = GL_ZERO;
    GLenum depthFunc = GL_LESS;
    Vec4 clearColour{0, 0, 0, 0};
    double clearDepth = 1;
    std::array<GLint, 4> viewport{0, 0, 0, 0};
    std::array<GLint, 4> scissor{0, 0, 0, 0};
    GLenum shadeModel = GL_SMOOTH;
    GLenum perspectiveHint = GL_DONT_CARE;
    GLenum genModeS = GL_EYE_LINEAR, genModeT = GL_EYE_LINEAR;
    GLenum matrixMode = GL_MODELVIEW;
    GLuint boundTexture = 0;
};

struct AttribEntry {
    GLbitfield mask;
    AttribState saved;
};

// One mipmap level as it was sent: its size, the GL 1.1 base format it keeps, and the packed
// RGB or RGBA bytes handed to the driver, kept so a lost driver context can be given them again.
struct TextureLevel {
    GLint width = 0, height = 0;  // 0 x 0: never sent
    GLenum baseFormat = 0;
    bool defined = false;  // sent with pixels (else the driver's contents are undefined)
    std::vector<GLubyte> pixels;
};

struct Texture {
    GLuint driverName = 0;
    GLenum minFilter = GL_NEAREST_MIPMAP_LINEAR, magFilter = GL_LINEAR;
    GLenum wrapS = GL_REPEAT, wrapT = GL_REPEAT;
    std::vector<TextureLevel> levels;  // completeness is decided from them as GL 1.1 does
    bool complete = false;             // kept by every upload and parameter change
};

// One vertex as the driver keeps it, in object space: the vertex shader applies the matrices,
// the lighting and the texture-coordinate generation of the state its run names. 28 bytes.
struct Vertex {
    float position[3];
    std::uint32_t normal;  // as PackNormal packs it
    float texCoord[2];
    std::uint8_t colour[4];  // the current colour, clamped, in bytes as the framebuffer has them
};
static_assert(sizeof(Vertex) == 28);
// The vertex shader's inputs, by location: one for each field of Vertex.
enum Attribute : GLuint { POSITION, NORMAL, TEX_COORD, COLOUR };

// What the vertex shader needs of GL's state at one vertex, as std140 columns (see shaders.cpp):
// the matrices, the material when colour material does not track, and the switches.
struct VertexState {
    float modelviewProjection[16];
    float modelview[16];
    float normalMatrix[12];  // three columns, each padded to four floats
    float textureMatrix[16];
    float materialAmbient[4];
    float materialDiffuse[4];
    float switches[4];  // lighting, light 0, colour material, normalise (1 or 0)
    float generate[4];  // s and t: 0 none, 1 sphere map, 2 eye linear, 3 object linear
};
static_assert(sizeof(VertexState) == 19 * 16);
// A batch is sent once it holds this many vertices: 1.7 MB of them, a store a phone's browser
// takes at once, and 16-bit indices for any primitive of up to 5536 vertices begun below it.
constexpr std::size_t BATCH_VERTEX_LIMIT = 60000;

// A batch's table holds this many states; it fits the 16 KiB of a uniform block that every
// ES 3.0 driver allows, with the batch's runs after it. A batch that needs more is sent and the
// next one starts.
constexpr std::size_t MAX_VERTEX_STATES = 48;

// A batch's vertices are drawn in runs, each under one state of its table. A run is a word:
// its first vertex above its state's index (runs start at a glBegin, below the batch's vertex
// limit, so 24 bits hold the vertex). A vertex belongs to the last run that starts at or before
// it: the vertex shader finds it by the vertex's index, so no vertex carries its state. In the
// uniform block, after the states, come the number of runs and the runs, four words a vector.
constexpr std::uint32_t RunWord(std::size_t first, std::size_t state) { return std::uint32_t(first << 8 | state); }
constexpr std::size_t RunState(std::uint32_t run) { return run & 0xFF; }
constexpr std::size_t RUNS_OFFSET = MAX_VERTEX_STATES * sizeof(VertexState);
constexpr std::size_t RUN_VECTORS = 112;
constexpr std::size_t MAX_VERTEX_RUNS = RUN_VECTORS * 4 - 1;
constexpr std::size_t BATCH_BLOCK_SIZE = RUNS_OFFSET + RUN_VECTORS * 16;
static_assert(BATCH_BLOCK_SIZE <= 16384 && MAX_VERTEX_STATES <= 256);

// A normal as a vertex carries it in 32 bits: its direction on the octahedron |x|+|y|+|z| = 1
// folded into a square, 12 bits a coordinate (about as fine as half floats), and its length,
// which lighting without GL_NORMALIZE scales by, as 8 bits: exactly 1 for a unit normal, 0 for
// none, else on a scale of 1/32 of an octave from 1/16 to 16 (within 1.1 %). The vertex shader
// unpacks it (UnpackNormal in shaders.cpp).
std::uint32_t PackNormal(const std::array<float, 3>& normal);

// What the driver must know to draw a batch; a change of any of it ends the batch.
struct DrawState {
    bool textured = false;
    GLuint texture = 0;  // the driver's name
    bool blend = false;
    GLenum blendSource = GL_ONE, blendDestination = GL_ZERO;
    bool depthTest = false;
    GLenum depthFunc = GL_LESS;
    bool scissor = false;
    std::array<GLint, 4> scissorBox{0, 0, 0, 0};
    std::array<GLint, 4> viewport{0, 0, 0, 0};
    bool operator==(const DrawState&) const = default;
};

// An allocator that leaves the elements it makes uninitialised: indices are written right
// after the vector grows, and clearing them first cost as much as writing them.
template <typename T>
struct UninitialisedAllocator : std::allocator<T> {
    UninitialisedAllocator() = default;
    template <typename U>
    UninitialisedAllocator(const UninitialisedAllocator<U>&) {}
    // Only the construction without a value is ours; any other is the usual one.
    template <typename U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
};
template <typename T>
using IndexVector = std::vector<T, UninitialisedAllocator<T>>;

// A driver buffer the library writes with glBufferSubData, grown by doubling.
struct DriverBuffer {
    GLuint name = 0;
    std::size_t capacity = 0;
};

// The driver's copy of one batch of the frame, by its place in the frame: what its buffers
// hold, so the same batch in the next frame is drawn without sending it again.
struct BatchSlot {
    GLuint vertexArray = 0;
    DriverBuffer vertexBuffer, indexBuffer, stateBuffer;
    std::vector<Vertex> vertices;  // what vertexBuffer holds (its first vertices.size())
    IndexVector<std::uint16_t> indices16;
    IndexVector<GLuint> indices32;
    bool wideIndices = false;   // indices32 is the one in indexBuffer
    bool stripsOfFour = false;  // its vertex array reads the shared indices of strips of four
    std::vector<VertexState> states;
    std::vector<std::uint32_t> runs;
};
// Batches of a frame beyond this many share the last slot: a caller that never ends its frame
// with glesFlush cannot make the library keep buffers without bound.
constexpr std::size_t MAX_BATCH_SLOTS = 64;

struct Context {
    EsApi es;  // the driver's entry points, or do-nothing ones while the context is lost
    bool lost = false;
    GLuint programs[2] = {0, 0};  // untextured, textured
    GLint maxTextureSize = 0;

    GLenum error = GL_NO_ERROR;
    AttribState state;
    std::vector<AttribEntry> attribStack;
    std::vector<Matrix> modelview{1}, projection{1}, textureMatrix{1};
    std::map<GLuint, Texture> textures;  // 0 is the default texture, always there
    std::set<GLuint> generatedNames;     // from glGenTextures, not yet bound: no object yet
    GLuint nextTextureName = 1;
    std::array<GLint, 2> proxySize{0, 0};  // what the last proxy glTexImage2D would have made

    // Pixel storage: ES keeps only the alignments; the rest is applied here.
    GLint unpackAlignment = 4, unpackRowLength = 0, unpackSkipRows = 0, unpackSkipPixels = 0;
    GLint packAlignment = 4, packRowLength = 0, packSkipRows = 0, packSkipPixels = 0;

    // The current normal and colour as a vertex stores them, packed by SetCurrentNormal and
    // SetCurrentColour with state.normal and state.colour.
    std::uint32_t packedNormal = PackNormal({0, 0, 1});
    std::uint8_t packedColour[4] = {255, 255, 255, 255};

    // The vertex state in force: rebuilt at the first vertex after anything in it changes.
    bool vertexStateStale = true;

    // Immediate mode.
    GLenum primitive = 0;  // 0 outside glBegin/glEnd
    std::size_t primitiveStart = 0;

    // The batch being filled. While it equals its slot's copy vertex by vertex, nothing is
    // written (`matching`); at the first difference the equal part is copied into `vertices`,
    // and only the rest is sent.
    std::size_t slot = 0;  // its place in the frame
    std::size_t vertexCount = 0;
    bool matching = true;
    std::size_t firstChanged = 0;  // vertices before it are in the slot's buffer as they are here
    const Vertex* held = nullptr;  // the slot's copy, of heldCount vertices (none: no such slot yet)
    std::size_t heldCount = 0;
    std::vector<Vertex> vertices;
    IndexVector<std::uint16_t> indices16;
    IndexVector<GLuint> indices32;
    bool wideIndices = false;
    // While every primitive of the batch is a strip of four vertices (the terrain's cells, the
    // particles, the pictures), it writes no indices: it is drawn with the shared ones.
    bool stripsOfFour = true;
    GLuint stripIndexBuffer = 0;  // the shared indices, for a batch's most vertices
    std::vector<VertexState> states;
    std::vector<std::uint32_t> runs{0};  // the number of runs, then each run as RunWord makes it
    DrawState batchState;
    bool drawStateStale = true;  // something batchState is made from has changed since glBegin
    std::vector<BatchSlot> slots;

    DrawState applied;
    bool appliedKnown = false;
    long drawCalls = 0;
    long primitives = 0;
    long long bytesSent = 0;
};

extern Context* g_current;  // the context the GL 1.1 calls act on; null: they do nothing

// Records GL's error (the first one sticks until glGetError reads it).
void SetError(Context& c, GLenum error);
// True (after setting GL_INVALID_OPERATION) when inside glBegin/glEnd, where most calls are refused.
bool RefusedInsideBeginEnd(Context& c);
// Where an entry point that GL 1.1 refuses between glBegin and glEnd starts: the current
// context, or null (do nothing) without one or inside glBegin/glEnd.
inline Context* ContextOutsideBeginEnd() {
    Context* c = g_current;
    if (!c || RefusedInsideBeginEnd(*c)) return nullptr;
    return c;
}
// Ends the batch: one draw call of everything pending, after telling the driver its state and
// sending what its slot does not hold yet.
void FlushBatch(Context& c);
// The indices of strips of four vertices as triangles, for `strips` strips from vertex 0.
void WriteStripsOfFour(IndexVector<std::uint16_t>& indices, std::size_t strips);
// Makes the driver's buffer of the indices every batch of strips of four is drawn with.
void MakeStripIndexBuffer(Context& c);
// Ends the frame: the next batch is the first of a new frame and is compared with the first slot.
void EndFrame(Context& c);
// Tells the driver the current GL state, for a clear or a read outside any batch.
void ApplyCurrentState(Context& c);
// The draw state the current GL state asks for.
DrawState WantedDrawState(const Context& c);
// Whether a texture can be sampled as GL 1.1 decides (mipmaps complete if filtered so).
bool TextureComplete(const Texture& t);
// Marks the draw state for comparing again at the next glBegin (an enable, a function, the
// viewport or scissor box, the texture bound or its completeness).
inline void DrawStateChanged(Context& c) { c.drawStateStale = true; }
// Marks the vertex state for rebuilding at the next vertex (a matrix, an enable, the material).
inline void VertexStateChanged(Context& c) { c.vertexStateStale = true; }
// The vertex state GL's state asks for now.
VertexState CurrentVertexState(const Context& c);
// The programs and their uniform block; false (reason in glesLastFailure) when they fail.
bool BuildPrograms(Context& c);
// Forgets every driver object of the batches, and the batch being filled: when the driver
// context is lost, and when it comes back.
void DropBatchSlots(Context& c);
// Entry points that do nothing and answer zero, for a lost driver context.
EsApi DoNothingApi();
// The current normal and colour, as GL's state keeps them and as the next vertex carries them.
void SetCurrentNormal(Context& c, const std::array<float, 3>& normal);
void SetCurrentColour(Context& c, const Vec4& colour);
// Counts an upload handed to the driver.
inline void CountSent(Context& c, std::size_t bytes) {
    if (!c.lost) c.bytesSent += (long long)bytes;
}
// Whether two runs of bytes are equal, compared eight at a time: WebAssembly's C library
// compares byte by byte, which cost the terrain more than all its drawing.
inline bool SameBytes(const void* a, const void* b, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(a);
    const auto* q = static_cast<const unsigned char*>(b);
    std::uint64_t difference = 0;
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t x, y;
        std::memcpy(&x, p + i, 8);
        std::memcpy(&y, q + i, 8);
        difference |= x ^ y;
    }
    for (; i < size; ++i) difference |= std::uint64_t(p[i] ^ q[i]);
    return difference == 0;
}
inline float Clamp01(float v) { return v < 0 ? 0 : v > 1 ? 1 : v; }
void SetLastFailure(const std::string& failure);
// The pixel-store names GLU sets and ES lacks (byte swapping, LSB first, 3D images): they hold
// GL's default, 0, and nothing else.
inline bool PixelStoreNameEsLacks(GLenum name) {
    switch (name) {
    case GL_UNPACK_SWAP_BYTES:
    case GL_UNPACK_LSB_FIRST:
    case GL_PACK_SWAP_BYTES:
    case GL_PACK_LSB_FIRST:
    case gl::UNPACK_SKIP_IMAGES:
    case gl::UNPACK_IMAGE_HEIGHT:
    case gl::PACK_SKIP_IMAGES:
    case gl::PACK_IMAGE_HEIGHT: return true;
    default: return false;
    }
}
Matrix& CurrentMatrix(Context& c);
Matrix Multiply(const Matrix& a, const Matrix& b);
Matrix IdentityMatrix();
// Sends every level and the parameters of a texture to the driver (after an upload, a restore).
void SendTextureToDriver(Context& c, Texture& t);

}  // namespace gles
