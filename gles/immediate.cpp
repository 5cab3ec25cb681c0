// Immediate mode: each vertex is stored as sent, in object space with the current normal,
// texture coordinate and colour and the index of the vertex state it is drawn under, and each
// primitive is indexed into the batch as triangles. The vertex shader does the rest.
#include <cstring>

#include "gles/context.h"

using namespace gles;

namespace {

// A batch is sent once it holds this many vertices: 1.9 MB of them, a store a phone's browser
// takes at once, and 16-bit indices for any primitive of up to 5536 vertices begun below it.
constexpr std::size_t BATCH_VERTEX_LIMIT = 60000;
// The most vertices 16-bit indices can name.
constexpr std::size_t SHORT_INDEX_VERTICES = 65536;

float Clamp01(float v) { return v < 0 ? 0 : v > 1 ? 1 : v; }

// Puts the vertex state in force into the batch's table (an entry already there when one is
// the same: a matrix pushed and popped around a primitive comes back to it), sending the batch
// first when its table is full.
void SelectVertexState(Context& c) {
    if (!c.vertexStateStale) return;
    const VertexState wanted = CurrentVertexState(c);
    // The latest entry first: it is the one most often wanted again.
    for (std::size_t i = c.states.size(); i-- > 0;)
        if (std::memcmp(&c.states[i], &wanted, sizeof wanted) == 0) {
            c.currentState = std::uint16_t(i);
            c.vertexStateStale = false;
            return;
        }
    if (c.states.size() >= MAX_VERTEX_STATES) FlushBatch(c);
    c.states.push_back(wanted);
    c.currentState = std::uint16_t(c.states.size() - 1);
    c.vertexStateStale = false;
}

// Adds a vertex to the batch. While the batch equals its slot's copy so far, the vertex is only
// compared; at the first difference the equal part is copied out and the batch is written.
inline void Append(Context& c, const Vertex& v) {
    if (c.matching) {
        const std::vector<Vertex>* held = c.slot < c.slots.size() ? &c.slots[c.slot].vertices : nullptr;
        if (held && c.vertexCount < held->size() && std::memcmp(&(*held)[c.vertexCount], &v, sizeof(Vertex)) == 0) {
            ++c.vertexCount;
            return;
        }
        if (held)
            c.vertices.assign(held->begin(), held->begin() + std::ptrdiff_t(c.vertexCount));
        else
            c.vertices.clear();
        c.matching = false;
    }
    c.vertices.push_back(v);
    ++c.vertexCount;
}

void Emit(float x, float y, float z) {
    Context* c = g_current;
    if (!c || !c->primitive) return;  // outside glBegin/glEnd a vertex means nothing
    Vertex v;
    v.position[0] = x;
    v.position[1] = y;
    v.position[2] = z;
    std::memcpy(v.normal, c->packedNormal, sizeof v.normal);
    v.state = c->currentState;
    v.texCoord[0] = c->state.texCoord[0];
    v.texCoord[1] = c->state.texCoord[1];
    std::memcpy(v.colour, c->packedColour, sizeof v.colour);
    Append(*c, v);
}

// The indices go into 16-bit or, for a batch past 65536 vertices, 32-bit storage.
struct Indexer {
    Context& c;
    void operator()(std::size_t a, std::size_t b, std::size_t d) const {
        if (c.wideIndices) {
            c.indices32.insert(c.indices32.end(), {GLuint(a), GLuint(b), GLuint(d)});
        } else {
            c.indices16.insert(c.indices16.end(), {std::uint16_t(a), std::uint16_t(b), std::uint16_t(d)});
        }
    }
};

std::size_t IndexCount(const Context& c) { return c.wideIndices ? c.indices32.size() : c.indices16.size(); }

// The primitive's vertices (from `first`) as triangles; an incomplete last piece is dropped.
void IndexPrimitive(Context& c, GLenum mode, std::size_t first) {
    const Indexer triangle{c};
    const std::size_t n = c.vertexCount - first;
    switch (mode) {
    case GL_TRIANGLES:
        for (std::size_t i = 0; i + 3 <= n; i += 3) triangle(first + i, first + i + 1, first + i + 2);
        break;
    case GL_TRIANGLE_STRIP:
        // Every other triangle swaps its first two vertices, so all keep the strip's facing.
        for (std::size_t i = 2; i < n; ++i)
            if (i % 2 == 0)
                triangle(first + i - 2, first + i - 1, first + i);
            else
                triangle(first + i - 1, first + i - 2, first + i);
        break;
    case GL_TRIANGLE_FAN:
    case GL_POLYGON:
        for (std::size_t i = 2; i < n; ++i) triangle(first, first + i - 1, first + i);
        break;
    case GL_QUADS:
        for (std::size_t i = 0; i + 4 <= n; i += 4) {
            triangle(first + i, first + i + 1, first + i + 2);
            triangle(first + i, first + i + 2, first + i + 3);
        }
        break;
    case GL_QUAD_STRIP:
        // Quad k is vertices 2k, 2k+1, 2k+3, 2k+2 in its drawing order.
        for (std::size_t i = 0; i + 4 <= n; i += 2) {
            triangle(first + i, first + i + 1, first + i + 3);
            triangle(first + i, first + i + 3, first + i + 2);
        }
        break;
    default: break;
    }
}

std::uint8_t ColourByte(float v) { return std::uint8_t(Clamp01(v) * 255.0f + 0.5f); }

}  // namespace

extern "C" {

void GLAPIENTRY glBegin(GLenum mode) {
    Context* c = ContextOutsideBeginEnd();
    if (!c) return;
    // Points and lines are not drawn by this library (see gles.h).
    if (mode < GL_TRIANGLES || mode > GL_POLYGON) return SetError(*c, GL_INVALID_ENUM);
    DrawState wanted = WantedDrawState(*c);
    if (!(wanted == c->batchState) || c->vertexCount >= BATCH_VERTEX_LIMIT) FlushBatch(*c);
    // Nothing in the vertex state can change before glEnd: it is chosen once here, and a full
    // table sends the batch under the draw state it was filled with.
    SelectVertexState(*c);
    c->batchState = wanted;
    c->primitive = mode;
    c->primitiveStart = c->vertexCount;
    ++c->primitives;
}

void GLAPIENTRY glEnd() {
    Context* c = g_current;
    if (!c) return;
    if (!c->primitive) return SetError(*c, GL_INVALID_OPERATION);
    if (!c->wideIndices && c->vertexCount > SHORT_INDEX_VERTICES) {
        c->indices32.assign(c->indices16.begin(), c->indices16.end());
        c->indices16.clear();
        c->wideIndices = true;
    }
    const std::size_t before = IndexCount(*c);
    IndexPrimitive(*c, c->primitive, c->primitiveStart);
    // Vertices no triangle uses are given back.
    if (IndexCount(*c) == before) {
        c->vertexCount = c->primitiveStart;
        if (!c->matching) c->vertices.resize(c->primitiveStart);
    }
    c->primitive = 0;
}

void GLAPIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z) { Emit(x, y, z); }
void GLAPIENTRY glVertex2f(GLfloat x, GLfloat y) { Emit(x, y, 0); }
void GLAPIENTRY glVertex3fv(const GLfloat* v) { Emit(v[0], v[1], v[2]); }

void GLAPIENTRY glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    Context* c = g_current;
    if (!c) return;
    c->state.normal = {x, y, z};
    c->packedNormal[0] = HalfFloat(x);
    c->packedNormal[1] = HalfFloat(y);
    c->packedNormal[2] = HalfFloat(z);
}
void GLAPIENTRY glNormal3fv(const GLfloat* v) { glNormal3f(v[0], v[1], v[2]); }

void GLAPIENTRY glTexCoord2f(GLfloat s, GLfloat t) {
    if (g_current) g_current->state.texCoord = {s, t, 0, 1};
}

void GLAPIENTRY glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    Context* c = g_current;
    if (!c) return;
    c->state.colour = {r, g, b, a};
    c->packedColour[0] = ColourByte(r);
    c->packedColour[1] = ColourByte(g);
    c->packedColour[2] = ColourByte(b);
    c->packedColour[3] = ColourByte(a);
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
