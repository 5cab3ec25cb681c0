// chunk_reader.h - the 3DS chunk reader: ModelLoader walks a file into a Model.
//
// A chunk is a 2-byte id, a 4-byte length counting the whole chunk, and a payload of data,
// child chunks, or both (little-endian). Import reads the whole file into memory and hands
// it to ImportBytes, whose walk reads the bytes front to back and never moves back: a chunk
// it does not act on is read and discarded. Three walks share the work: ReadChunks
// (file level: version, editor data, materials, named objects), ReadObjectChunks (triangle
// mesh, vertices, faces, face-material groups, mapping list) and ReadMaterialChunks (name,
// diffuse colour, texture map and its file name). Each chunk record counts the bytes of its
// chunk consumed so far (bytesRead), and every byte of a parent is counted exactly once: a
// handler that stops early (the face list) leaves the rest of its chunk to the enclosing
// walk, which is how the face-material groups nested in the face list are found.
//
// Any file is safe to read; where the format's lengths and counts lie, we chose:
//  - A read that comes up short (the bytes ended) ends the whole walk; the model keeps what
//    was read.
//  - A chunk length under 6 ends its level: the rest of the parent is consumed unread, so
//    the levels above stay in step. A child running past its parent is cut to what the
//    parent has left, so no read ever passes the end of the primary chunk.
//  - Walks nest at most MAX_CHUNK_DEPTH levels; a deeper chunk is skipped whole, so a
//    crafted file cannot exhaust the stack.
//  - Names longer than their 255-byte fields are cut to 254 bytes; the rest is consumed.
//  - A count larger than its payload leaves the missing values zero (vertices at the
//    origin, faces (0, 0, 0), texture coordinates (0, 0), colour black); a payload longer
//    than its room is consumed and discarded.
//  - After the walk, faces with a corner not below vertexCount are dropped (faceCount is
//    lowered), so they reach neither the normals nor the drawing.
//  - A second vertex, face or mapping list in one object replaces the first, which is freed.
//
// Messages (MB_OK, no owner): "Unable to find the file: %s!" and "Unable to load PRIMARY
// chuck from file: %s!" (caption "Error", Import returns false, the model stays empty);
// "This 3DS file is over version 3 so it may load incorrectly" (caption "Warning"; reading
// goes on).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

struct Model;
struct MeshObject;
struct Material;

constexpr uint32_t CHUNK_HEADER_SIZE = 6;
constexpr int MAX_CHUNK_DEPTH = 64;  // real files nest fewer than ten levels

// The reader's record of one chunk being read.
struct ChunkInfo {
    uint16_t id;
    uint32_t length;     // the whole chunk, header included
    uint32_t bytesRead;  // consumed so far, header included; never above length
};

// The one object with operations of its own. Its members are public so tests can drive one
// level of the walk at a time.
class ModelLoader {
public:
    ModelLoader();

    // Reads the file at `path` into `model` (pass an empty one) and builds its normals.
    // True when the primary chunk was found and walked. May be called again afterwards.
    bool Import(Model& model, const char* path);
    // The same from `length` bytes at `data`, which stay the caller's; `name` is what the
    // messages call them. Import is this on the file's contents.
    bool ImportBytes(Model& model, const uint8_t* data, size_t length, const char* name);

    // The three walks: each reads the child chunks of `parent` until its length is used up.
    void ReadChunks(Model& model, ChunkInfo& parent);
    void ReadObjectChunks(Model& model, MeshObject& object, ChunkInfo& parent);
    void ReadMaterialChunks(Model& model, ChunkInfo& parent);

    // Handlers: each reads the chunk it is given and counts what it consumes into it.
    void ReadVertexList(MeshObject& object, ChunkInfo& chunk);
    void ReadFaceList(MeshObject& object, ChunkInfo& chunk);
    void ReadFaceMaterial(Model& model, MeshObject& object, ChunkInfo& chunk);
    void ReadMappingList(MeshObject& object, ChunkInfo& chunk);
    void ReadDiffuseColour(Material& material, ChunkInfo& chunk);

    // Reads a 6-byte header; bytesRead becomes the number of bytes delivered.
    void ReadChunkHeader(ChunkInfo& chunk);
    // Reads a zero-terminated string from the rest of `chunk` into a MODEL_NAME_SIZE buffer,
    // cut to fit; counts the bytes into the chunk and returns their number.
    uint32_t ReadString(ChunkInfo& chunk, char* buffer);
    // Forgets the bytes and releases both chunk records.
    void Finish();
    // Sets the bytes the walk reads, from their start; tests drive single levels with it.
    void StartReading(const uint8_t* data, size_t length);

    const uint8_t* bytes = nullptr;  // the file's contents while a walk runs
    size_t size = 0;
    size_t position = 0;                 // the next byte the walk reads; never moves back
    std::unique_ptr<ChunkInfo> current;  // the innermost level's record; at the top the primary
    std::unique_ptr<ChunkInfo> scratch;  // a sub-chunk read in one step (mesh version, colour)

private:
    uint32_t ReadBytes(ChunkInfo& chunk, void* destination, uint32_t wanted);
    void SkipRest(ChunkInfo& chunk);
    uint16_t ReadU16(ChunkInfo& chunk);
    bool ReadNestedHeader(ChunkInfo& outer, ChunkInfo& inner);
    template <typename Act>
    void WalkLevel(ChunkInfo& parent, Act act);

    bool fileEnded = false;  // a read came up short: every level stops
    int depth = 0;           // walks now nested
};

extern ModelLoader g_modelLoader;  // the demo's one reader; LoadModel calls its Import
