// The batch's way to the driver. Each batch of a frame has a slot by its place in the frame
// (first, second...): the slot's buffers hold what that batch sent last, so a batch equal to
// it (vertices and indices compared by content as they are made) is drawn from them as they
// are. Only the table of vertex states, a few hundred bytes, changes with the matrices.
#include <cstddef>

#include "gles/context.h"

namespace gles {

namespace {

void SetUpVertexArray(Context& c, BatchSlot& slot) {
    EsApi& es = c.es;
    es.GenVertexArrays(1, &slot.vertexArray);
    es.BindVertexArray(slot.vertexArray);
    es.GenBuffers(1, &slot.vertexBuffer.name);
    es.GenBuffers(1, &slot.indexBuffer.name);
    es.GenBuffers(1, &slot.stateBuffer.name);
    es.BindBuffer(es::ARRAY_BUFFER, slot.vertexBuffer.name);
    es.BindBuffer(es::ELEMENT_ARRAY_BUFFER, slot.indexBuffer.name);
    constexpr GLsizei stride = sizeof(Vertex);
    auto at = [](std::size_t offset) { return reinterpret_cast<void*>(offset); };
    es.VertexAttribPointer(POSITION, 3, GL_FLOAT, GL_FALSE, stride, at(offsetof(Vertex, position)));
    es.VertexAttribIPointer(NORMAL, 1, GL_UNSIGNED_INT, stride, at(offsetof(Vertex, normal)));
    es.VertexAttribPointer(TEX_COORD, 2, GL_FLOAT, GL_FALSE, stride, at(offsetof(Vertex, texCoord)));
    es.VertexAttribPointer(COLOUR, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride, at(offsetof(Vertex, colour)));
    for (GLuint attribute : {POSITION, NORMAL, TEX_COORD, COLOUR}) es.EnableVertexAttribArray(attribute);
}

// Makes sure the store of a buffer bound to `target` holds `size` bytes, growing it by doubling:
// a store is made seldom, and written in place after.
void Reserve(Context& c, GLenum target, DriverBuffer& buffer, std::size_t size) {
    if (size <= buffer.capacity) return;
    std::size_t capacity = buffer.capacity ? buffer.capacity : 4096;
    while (capacity < size) capacity *= 2;
    c.es.BufferData(target, std::ptrdiff_t(capacity), nullptr, es::DYNAMIC_DRAW);
    buffer.capacity = capacity;
}

// Writes `size` bytes into a buffer bound to `target`, from byte `from` on: the bytes before it
// are in the store already, unless the store must grow (a new store keeps nothing).
void Upload(Context& c, GLenum target, DriverBuffer& buffer, const void* bytes, std::size_t size,
            std::size_t from = 0) {
    if (size > buffer.capacity) from = 0;
    Reserve(c, target, buffer, size);
    c.es.BufferSubData(target, std::ptrdiff_t(from), std::ptrdiff_t(size - from),
                       static_cast<const char*>(bytes) + from);
    CountSent(c, size - from);
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

template <typename V>
bool SameVector(const V& a, const V& b) {
    return a.size() == b.size() && SameBytes(a.data(), b.data(), a.size() * sizeof(a[0]));
}

template <typename T>
void SendIndices(Context& c, BatchSlot& slot, IndexVector<T>& fresh, IndexVector<T>& held) {
    if (!SameVector(fresh, held) || slot.wideIndices != c.wideIndices) {
        Upload(c, es::ELEMENT_ARRAY_BUFFER, slot.indexBuffer, fresh.data(), fresh.size() * sizeof(T));
        fresh.swap(held);
        slot.wideIndices = c.wideIndices;
    }
    fresh.clear();
}

// A batch of strips of four ends with its last strip begun below the vertex limit.
constexpr std::size_t MOST_STRIPS_OF_FOUR = BATCH_VERTEX_LIMIT / 4 + 1;

// A part of the batch's uniform block (bound), sent when it differs from what the slot's block holds.
template <typename V>
void SendTable(Context& c, std::size_t offset, V& fresh, V& held) {
    if (SameVector(fresh, held)) return;
    c.es.BufferSubData(es::UNIFORM_BUFFER, std::ptrdiff_t(offset), std::ptrdiff_t(fresh.size() * sizeof(fresh[0])),
                       fresh.data());
    CountSent(c, fresh.size() * sizeof(fresh[0]));
    fresh.swap(held);
}

// Which indices the slot's vertex array reads: its own, or the shared strips of four.
void BindIndices(Context& c, BatchSlot& slot, bool stripsOfFour) {
    if (slot.stripsOfFour == stripsOfFour) return;
    c.es.BindBuffer(es::ELEMENT_ARRAY_BUFFER, stripsOfFour ? c.stripIndexBuffer : slot.indexBuffer.name);
    slot.stripsOfFour = stripsOfFour;
}

// No vertices, indices or states gathered; the next vertex's state goes into the table afresh.
void EmptyBatch(Context& c) {
    c.vertices.clear();
    c.indices16.clear();
    c.indices32.clear();
    c.wideIndices = false;
    c.stripsOfFour = true;
    c.states.clear();
    c.runs.assign(1, 0);
    c.vertexCount = 0;
    c.matching = true;
    c.vertexStateStale = true;  // its index is in the table just sent, or in none
}

// Points the batch at its slot's copy, which it is compared with (after the slot changes).
void SelectHeld(Context& c) {
    const bool exists = c.slot < c.slots.size();
    c.held = exists ? c.slots[c.slot].vertices.data() : nullptr;
    c.heldCount = exists ? c.slots[c.slot].vertices.size() : 0;
}

// Everything the batch used starts afresh for the next one, in the next slot.
void StartNextBatch(Context& c) {
    EmptyBatch(c);
    if (c.slot + 1 < MAX_BATCH_SLOTS) ++c.slot;
    SelectHeld(c);
}

}  // namespace

void FlushBatch(Context& c) {
    // Nothing reaches a lost driver, and no slot keeps what no driver buffer holds.
    if (c.lost) return EmptyBatch(c);
    const std::size_t count = c.stripsOfFour  ? c.vertexCount / 4 * 6
                              : c.wideIndices ? c.indices32.size()
                                              : c.indices16.size();
    if (count == 0) {
        // Nothing to draw: the vertices and their runs are given back, the table of states is
        // kept, and the slot stays for the next batch.
        c.vertices.clear();
        c.runs.assign(1, 0);
        c.vertexCount = 0;
        c.matching = true;
        c.stripsOfFour = true;
        c.vertexStateStale = true;  // its run starts again at the first vertex
        return;
    }
    if (c.slots.size() <= c.slot) c.slots.resize(c.slot + 1);
    BatchSlot& slot = c.slots[c.slot];
    if (!slot.vertexArray) SetUpVertexArray(c, slot);
    Apply(c, c.batchState);
    EsApi& es = c.es;
    es.BindVertexArray(slot.vertexArray);
    if (c.matching) {
        // The slot's buffer already holds these vertices, at its start.
        slot.vertices.resize(c.vertexCount);
    } else {
        // Vertices equal to the slot's up to the first change are in its store already.
        es.BindBuffer(es::ARRAY_BUFFER, slot.vertexBuffer.name);
        Upload(c, es::ARRAY_BUFFER, slot.vertexBuffer, c.vertices.data(), c.vertices.size() * sizeof(Vertex),
               c.firstChanged * sizeof(Vertex));
        c.vertices.swap(slot.vertices);
    }
    BindIndices(c, slot, c.stripsOfFour);
    // Strips of four are drawn with the shared indices; any other batch sends its own.
    if (!c.stripsOfFour) {
        if (c.wideIndices)
            SendIndices(c, slot, c.indices32, slot.indices32);
        else
            SendIndices(c, slot, c.indices16, slot.indices16);
    }
    es.BindBuffer(es::UNIFORM_BUFFER, slot.stateBuffer.name);
    // WebGL draws nothing from a uniform buffer smaller than the whole block the shader declares.
    Reserve(c, es::UNIFORM_BUFFER, slot.stateBuffer, BATCH_BLOCK_SIZE);
    SendTable(c, 0, c.states, slot.states);
    SendTable(c, RUNS_OFFSET, c.runs, slot.runs);
    es.BindBufferBase(es::UNIFORM_BUFFER, 0, slot.stateBuffer.name);
    const bool wide = !c.stripsOfFour && c.wideIndices;
    es.DrawElements(GL_TRIANGLES, GLsizei(count), wide ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT, nullptr);
    ++c.drawCalls;
    StartNextBatch(c);
}

void WriteStripsOfFour(IndexVector<std::uint16_t>& indices, std::size_t strips) {
    indices.resize(strips * 6);
    std::uint16_t* out = indices.data();
    for (std::size_t k = 0; k < strips; ++k, out += 6) {
        // As any strip: the second triangle swaps its first two vertices to keep the facing.
        auto vertex = [k](std::size_t i) { return std::uint16_t(4 * k + i); };
        out[0] = vertex(0), out[1] = vertex(1), out[2] = vertex(2);
        out[3] = vertex(2), out[4] = vertex(1), out[5] = vertex(3);
    }
}

void MakeStripIndexBuffer(Context& c) {
    IndexVector<std::uint16_t> indices;
    WriteStripsOfFour(indices, MOST_STRIPS_OF_FOUR);
    EsApi& es = c.es;
    es.BindVertexArray(0);
    es.GenBuffers(1, &c.stripIndexBuffer);
    es.BindBuffer(es::ELEMENT_ARRAY_BUFFER, c.stripIndexBuffer);
    es.BufferData(es::ELEMENT_ARRAY_BUFFER, std::ptrdiff_t(indices.size() * 2), indices.data(), es::STATIC_DRAW);
    CountSent(c, indices.size() * 2);
}

void EndFrame(Context& c) {
    FlushBatch(c);
    c.slot = 0;
    SelectHeld(c);
}

void DropBatchSlots(Context& c) {
    for (BatchSlot& slot : c.slots) {
        GLuint buffers[3] = {slot.vertexBuffer.name, slot.indexBuffer.name, slot.stateBuffer.name};
        c.es.DeleteBuffers(3, buffers);
        c.es.DeleteVertexArrays(1, &slot.vertexArray);
    }
    c.slots.clear();
    c.slot = 0;
    EmptyBatch(c);
    c.appliedKnown = false;
    SelectHeld(c);
}

// Clears and reads go to the driver outside a batch, under the GL state as it is now.
void ApplyCurrentState(Context& c) { Apply(c, WantedDrawState(c)); }

}  // namespace gles
