// Immediate mode: each vertex is stored as sent, in object space with the current normal,
// texture coordinate and colour, in a run of vertices under the vertex state it is drawn under,
// and each primitive is indexed into the batch as triangles. The vertex shader does the rest.
#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstring>

#include "gles/context.h"

using namespace gles;

namespace {

// The most vertices 16-bit indices can name.
constexpr std::size_t SHORT_INDEX_VERTICES = 65536;

// The index of a vertex state in the batch's table, or the table's size when it is not there.
// The latest entry first: it is the one most often wanted again (a matrix pushed and popped
// around a primitive comes back to it).
std::size_t FindVertexState(const Context& c, const VertexState& wanted) {
    for (std::size_t i = c.states.size(); i-- > 0;)
        if (SameBytes(&c.states[i], &wanted, sizeof wanted)) return i;
    return c.states.size();
}

// Puts the vertex state in force into the batch's table, and starts a run of vertices under
// it unless the last run is under it already; a full table or list of runs sends the batch
// first.
void SelectVertexState(Context& c) {
    if (!c.vertexStateStale) return;
    const VertexState wanted = CurrentVertexState(c);
    std::size_t index = FindVertexState(c, wanted);
    auto underIt = [&] { return c.runs.size() > 1 && RunState(c.runs.back()) == index; };
    if ((index == c.states.size() && index >= MAX_VERTEX_STATES) || (!underIt() && c.runs[0] >= MAX_VERTEX_RUNS)) {
        FlushBatch(c);
        index = 0;
    }
    if (index == c.states.size()) c.states.push_back(wanted);
    if (!underIt()) {
        // A run that no vertex has joined (its primitive gave them back) is taken over.
        if (c.runs.size() > 1 && c.runs.back() >> 8 == c.vertexCount)
            c.runs.back() = RunWord(c.vertexCount, index);
        else {
            c.runs.push_back(RunWord(c.vertexCount, index));
            ++c.runs[0];
        }
    }
    c.vertexStateStale = false;
}

// Before a primitive: the batch ends if the driver must know something new or it is full, and
// the vertex state is chosen (nothing in it can change before glEnd; a full table sends the
// batch first).
[[gnu::noinline]] void PrepareBatch(Context& c) {
    if (c.drawStateStale) {
        const DrawState wanted = WantedDrawState(c);
        if (!(wanted == c.batchState)) {
            FlushBatch(c);
            c.batchState = wanted;
        }
        c.drawStateStale = false;
    }
    if (c.vertexCount >= BATCH_VERTEX_LIMIT) FlushBatch(c);
    SelectVertexState(c);
}

// A vertex as the words it is in memory (x86 and WebAssembly are little-endian): three 64-bit
// words and one of 32 bits, built in registers and compared with the slot's copy word by word;
// it is written out only once the batch differs from that copy.
struct VertexWords {
    std::uint64_t positionXY, positionZNormal, texCoord;
    std::uint32_t colour;
};
static_assert(std::endian::native == std::endian::little);
static_assert(offsetof(Vertex, normal) == 12 && offsetof(Vertex, texCoord) == 16 && offsetof(Vertex, colour) == 24 &&
              sizeof(Vertex) == 28);

std::uint32_t Bits(float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

std::uint64_t Pair(std::uint32_t low, std::uint32_t high) { return low | (std::uint64_t(high) << 32); }

template <typename T>
T Load(const Vertex* v, std::size_t offset) {
    T word;
    std::memcpy(&word, reinterpret_cast<const char*>(v) + offset, sizeof word);
    return word;
}

bool SameVertex(const Vertex* v, const VertexWords& w) {
    return ((Load<std::uint64_t>(v, 0) ^ w.positionXY) | (Load<std::uint64_t>(v, 8) ^ w.positionZNormal) |
            (Load<std::uint64_t>(v, 16) ^ w.texCoord) | (Load<std::uint32_t>(v, 24) ^ w.colour)) == 0;
}

Vertex ToVertex(const VertexWords& w) {
    Vertex v;
    char* bytes = reinterpret_cast<char*>(&v);
    std::memcpy(bytes, &w.positionXY, 8);
    std::memcpy(bytes + 8, &w.positionZNormal, 8);
    std::memcpy(bytes + 16, &w.texCoord, 8);
    std::memcpy(bytes + 24, &w.colour, 4);
    return v;
}

// Adds a vertex to a batch that differs from its slot's copy: at the first difference the
// equal part is copied out, and the batch is written from there on. Out of line, so the
// comparing in Append stays a few instructions.
[[gnu::noinline]] void AppendDiffering(Context& c, const VertexWords& words) {
    if (c.matching) {
        c.vertices.assign(c.held, c.held + (c.held ? c.vertexCount : 0));
        c.firstChanged = c.vertices.size();
        c.matching = false;
    }
    c.vertices.push_back(ToVertex(words));
    ++c.vertexCount;
}

// Adds a vertex to the batch. While the batch equals its slot's copy so far, the vertex is only
// compared.
inline void Append(Context& c, const VertexWords& words) {
    if (c.matching && c.vertexCount < c.heldCount && SameVertex(c.held + c.vertexCount, words)) {
        ++c.vertexCount;
        return;
    }
    AppendDiffering(c, words);
}

inline void Emit(float x, float y, float z) {
    Context* c = g_current;
    if (!c || !c->primitive) return;  // outside glBegin/glEnd a vertex means nothing
    std::uint32_t colour;
    std::memcpy(&colour, c->packedColour, sizeof colour);
    Append(*c, {Pair(Bits(x), Bits(y)), Pair(Bits(z), c->packedNormal),
                Pair(Bits(c->state.texCoord[0]), Bits(c->state.texCoord[1])), colour});
}

// How many triangles a primitive of n vertices makes; an incomplete last piece makes none.
std::size_t TriangleCount(GLenum mode, std::size_t n) {
    switch (mode) {
    case GL_TRIANGLES: return n / 3;
    case GL_TRIANGLE_STRIP:
    case GL_TRIANGLE_FAN:
    case GL_POLYGON: return n >= 3 ? n - 2 : 0;
    case GL_QUADS: return n / 4 * 2;
    case GL_QUAD_STRIP: return n >= 4 ? (n - 2) / 2 * 2 : 0;
    default: return 0;
    }
}

// The primitive's vertices (from `first`) as triangles, written into room made once (by
// doubling: the vector grows as push_back would, with nothing cleared first). Returns how many.
template <typename Index>
std::size_t WriteTriangles(IndexVector<Index>& indices, GLenum mode, std::size_t first, std::size_t n) {
    const std::size_t triangles = TriangleCount(mode, n), at = indices.size(), needed = at + 3 * triangles;
    if (needed > indices.capacity()) indices.reserve(std::max(needed, 2 * indices.capacity()));
    indices.resize(needed);
    Index* out = indices.data() + at;
    auto triangle = [&](std::size_t a, std::size_t b, std::size_t d) {
        out[0] = Index(first + a), out[1] = Index(first + b), out[2] = Index(first + d);
        out += 3;
    };
    switch (mode) {
    case GL_TRIANGLES:
        for (std::size_t i = 0; i + 3 <= n; i += 3) triangle(i, i + 1, i + 2);
        break;
    case GL_TRIANGLE_STRIP:
        // Every other triangle swaps its first two vertices, so all keep the strip's facing.
        for (std::size_t i = 2; i < n; ++i)
            if (i % 2 == 0)
                triangle(i - 2, i - 1, i);
            else
                triangle(i - 1, i - 2, i);
        break;
    case GL_TRIANGLE_FAN:
    case GL_POLYGON:
        for (std::size_t i = 2; i < n; ++i) triangle(0, i - 1, i);
        break;
    case GL_QUADS:
        for (std::size_t i = 0; i + 4 <= n; i += 4) {
            triangle(i, i + 1, i + 2);
            triangle(i, i + 2, i + 3);
        }
        break;
    case GL_QUAD_STRIP:
        // Quad k is vertices 2k, 2k+1, 2k+3, 2k+2 in its drawing order.
        for (std::size_t i = 0; i + 4 <= n; i += 2) {
            triangle(i, i + 1, i + 3);
            triangle(i, i + 3, i + 2);
        }
        break;
    default: break;
    }
    return triangles;
}

std::uint8_t ColourByte(float v) { return std::uint8_t(Clamp01(v) * 255.0f + 0.5f); }

}  // namespace

namespace gles {

void SetCurrentNormal(Context& c, const std::array<float, 3>& normal) {
    c.state.normal = normal;
    c.packedNormal = PackNormal(normal);
}

void SetCurrentColour(Context& c, const Vec4& colour) {
    c.state.colour = colour;
    for (int i = 0; i < 4; ++i) c.packedColour[i] = ColourByte(colour[i]);
}

}  // namespace gles

extern "C" {

void GLAPIENTRY glBegin(GLenum mode) {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    // Points and lines are not drawn by this library (see gles.h).
    if (mode < GL_TRIANGLES || mode > GL_POLYGON) return SetError(*c, GL_INVALID_ENUM);
    // The draw state and the vertex state are looked at only after something they are made of
    // changed: the terrain's sixty thousand strips a frame begin under the same ones.
    if (c->drawStateStale || c->vertexStateStale || c->vertexCount >= BATCH_VERTEX_LIMIT) PrepareBatch(*c);
    c->primitive = mode;
    c->primitiveStart = c->vertexCount;
    ++c->primitives;
}

void GLAPIENTRY glEnd() {
    Context* c = g_current;
    if (!c) return;
    if (!c->primitive) return SetError(*c, GL_INVALID_OPERATION);
    const std::size_t n = c->vertexCount - c->primitiveStart;
    if (c->stripsOfFour) {
        if (c->primitive == GL_TRIANGLE_STRIP && n == 4) {
            c->primitive = 0;
            return;
        }
        // The batch so far gets indices of its own, as every primitive after it.
        WriteStripsOfFour(c->indices16, c->primitiveStart / 4);
        c->stripsOfFour = false;
    }
    if (!c->wideIndices && c->vertexCount > SHORT_INDEX_VERTICES) {
        c->indices32.assign(c->indices16.begin(), c->indices16.end());
        c->indices16.clear();
        c->wideIndices = true;
    }
    const std::size_t triangles = c->wideIndices ? WriteTriangles(c->indices32, c->primitive, c->primitiveStart, n)
                                                 : WriteTriangles(c->indices16, c->primitive, c->primitiveStart, n);
    // Vertices no triangle uses are given back.
    if (triangles == 0) {
        c->vertexCount = c->primitiveStart;
        if (!c->matching) {
            c->vertices.resize(c->primitiveStart);
            if (c->firstChanged > c->primitiveStart) c->firstChanged = c->primitiveStart;
        }
    }
    c->primitive = 0;
}

void GLAPIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z) { Emit(x, y, z); }
void GLAPIENTRY glVertex2f(GLfloat x, GLfloat y) { Emit(x, y, 0); }
void GLAPIENTRY glVertex3fv(const GLfloat* v) { Emit(v[0], v[1], v[2]); }

void GLAPIENTRY glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    if (g_current) SetCurrentNormal(*g_current, {x, y, z});
}
void GLAPIENTRY glNormal3fv(const GLfloat* v) { glNormal3f(v[0], v[1], v[2]); }

void GLAPIENTRY glTexCoord2f(GLfloat s, GLfloat t) {
    // r and q stay 0 and 1: no call here sets them.
    if (Context* c = g_current) c->state.texCoord[0] = s, c->state.texCoord[1] = t;
}

void GLAPIENTRY glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    Context* c = g_current;
    if (!c) return;
    SetCurrentColour(*c, {r, g, b, a});
    // Colour material makes the colour the material's ambient and diffuse as it is set; they
    // stay when it is switched off.
    if (c->state.enabled & CAP_COLOR_MATERIAL) c->state.materialAmbient = c->state.materialDiffuse = c->state.colour;
}
void GLAPIENTRY glColor3f(GLfloat r, GLfloat g, GLfloat b) { glColor4f(r, g, b, 1); }
void GLAPIENTRY glColor4ub(GLubyte r, GLubyte g, GLubyte b, GLubyte a) {
    glColor4f(r / 255.0f, g / 255.0f, b / 255.0f, a / 255.0f);
}
void GLAPIENTRY glColor3ub(GLubyte r, GLubyte g, GLubyte b) { glColor4ub(r, g, b, 255); }

}  // extern "C"
