// The 3DS chunk reader: a recursive walk over the chunk tree in memory, front to back.
// Every read goes through ReadBytes, which never reads past the end of the chunk it counts
// into; that one rule keeps the walk inside the primary chunk and every array in bounds.
#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "model3ds/model.h"
#include "platform/platform.h"

// Vertex and mapping lists are read straight into the records.
static_assert(std::endian::native == std::endian::little, "3DS numbers are little-endian");

ModelLoader g_modelLoader;

namespace {

constexpr uint16_t CHUNK_PRIMARY = 0x4D4D;
constexpr uint16_t CHUNK_VERSION = 0x0002;
constexpr uint16_t CHUNK_EDITOR = 0x3D3D;
constexpr uint16_t CHUNK_MATERIAL = 0xAFFF;
constexpr uint16_t CHUNK_OBJECT = 0x4000;
constexpr uint16_t CHUNK_TRIANGLE_MESH = 0x4100;
constexpr uint16_t CHUNK_VERTEX_LIST = 0x4110;
constexpr uint16_t CHUNK_FACE_LIST = 0x4120;
constexpr uint16_t CHUNK_FACE_MATERIAL = 0x4130;
constexpr uint16_t CHUNK_MAPPING_LIST = 0x4140;
constexpr uint16_t CHUNK_MATERIAL_NAME = 0xA000;
constexpr uint16_t CHUNK_DIFFUSE_COLOUR = 0xA020;
constexpr uint16_t CHUNK_TEXTURE_MAP = 0xA200;
constexpr uint16_t CHUNK_TEXTURE_FILE = 0xA300;

constexpr uint32_t NEWEST_KNOWN_VERSION = 3;
constexpr size_t MESSAGE_SIZE = 255;
constexpr uint32_t FACE_RECORD_SIZE = 8;  // three corners and the dropped flag word

uint16_t U16At(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t U32At(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// A second list of the same kind in one object replaces the first; the old block is freed.
template <typename T>
T* ReplaceArray(T* old, uint16_t count) {
    std::free(old);
    return static_cast<T*>(std::calloc(count, sizeof(T)));
}

// The whole file, read in blocks so that a file whose size cannot be asked for reads too.
std::vector<uint8_t> ReadWholeFile(std::FILE* file) {
    std::vector<uint8_t> contents;
    uint8_t block[65536];
    while (size_t got = std::fread(block, 1, sizeof block, file)) contents.insert(contents.end(), block, block + got);
    return contents;
}

// Faces naming a vertex the object does not have would index past its arrays.
void DropInvalidFaces(Model& model) {
    for (MeshObject& object : model.objects) {
        int32_t kept = 0;
        for (int32_t f = 0; f < object.faceCount; ++f) {
            const int32_t* corner = object.faces[f].vertexIndex;
            if (corner[0] < object.vertexCount && corner[1] < object.vertexCount && corner[2] < object.vertexCount)
                object.faces[kept++] = object.faces[f];
        }
        object.faceCount = kept;
    }
}

}  // namespace

ModelLoader::ModelLoader() : current(std::make_unique<ChunkInfo>()), scratch(std::make_unique<ChunkInfo>()) {}

bool ModelLoader::Import(Model& model, const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        char text[MESSAGE_SIZE];
        std::snprintf(text, sizeof text, "Unable to find the file: %s!", path);
        MessageBoxA(nullptr, text, "Error", MB_OK);
        return false;
    }
    std::vector<uint8_t> contents = ReadWholeFile(file);
    std::fclose(file);
    return ImportBytes(model, contents.data(), contents.size(), path);
}

bool ModelLoader::ImportBytes(Model& model, const uint8_t* data, size_t length, const char* name) {
    // Finish released the records of an earlier import.
    if (!current) current = std::make_unique<ChunkInfo>();
    if (!scratch) scratch = std::make_unique<ChunkInfo>();
    depth = 0;
    StartReading(data, length);
    ReadChunkHeader(*current);
    if (current->id != CHUNK_PRIMARY) {
        char text[MESSAGE_SIZE];
        std::snprintf(text, sizeof text, "Unable to load PRIMARY chuck from file: %s!", name);
        MessageBoxA(nullptr, text, "Error", MB_OK);
        StartReading(nullptr, 0);
        return false;
    }
    ReadChunks(model, *current);
    DropInvalidFaces(model);
    BuildVertexNormals(model);
    Finish();
    return true;
}

void ModelLoader::StartReading(const uint8_t* data, size_t length) {
    bytes = data;
    size = length;
    position = 0;
    fileEnded = false;
}

void ModelLoader::Finish() {
    StartReading(nullptr, 0);
    current.reset();
    scratch.reset();
}

// ---- primitives -------------------------------------------------------------------------

uint32_t ModelLoader::ReadBytes(ChunkInfo& chunk, void* destination, uint32_t wanted) {
    if (fileEnded || chunk.bytesRead >= chunk.length) return 0;
    uint32_t asked = std::min(wanted, chunk.length - chunk.bytesRead);
    if (asked == 0) return 0;
    auto delivered = uint32_t(std::min<size_t>(asked, size - position));
    if (delivered > 0) std::memcpy(destination, bytes + position, delivered);
    position += delivered;
    chunk.bytesRead += delivered;
    if (delivered < asked) fileEnded = true;
    return delivered;
}

void ModelLoader::SkipRest(ChunkInfo& chunk) {
    if (fileEnded || chunk.bytesRead >= chunk.length) return;
    uint32_t asked = chunk.length - chunk.bytesRead;
    auto skipped = uint32_t(std::min<size_t>(asked, size - position));
    position += skipped;
    chunk.bytesRead += skipped;
    if (skipped < asked) fileEnded = true;
}

uint16_t ModelLoader::ReadU16(ChunkInfo& chunk) {
    uint8_t pair[2] = {};
    ReadBytes(chunk, pair, sizeof pair);
    return U16At(pair);
}

void ModelLoader::ReadChunkHeader(ChunkInfo& chunk) {
    uint8_t header[CHUNK_HEADER_SIZE] = {};
    size_t delivered = std::min<size_t>(CHUNK_HEADER_SIZE, size - position);
    if (delivered > 0) std::memcpy(header, bytes + position, delivered);
    position += delivered;
    if (delivered < CHUNK_HEADER_SIZE) fileEnded = true;
    chunk.id = U16At(header);
    chunk.length = U32At(header + 2);
    chunk.bytesRead = uint32_t(delivered);
}

uint32_t ModelLoader::ReadString(ChunkInfo& chunk, char* buffer) {
    uint32_t consumed = 0;
    int stored = 0;
    char c = 0;
    while (ReadBytes(chunk, &c, 1) == 1) {
        ++consumed;
        if (c == 0) break;
        if (stored < MODEL_NAME_SIZE - 1) buffer[stored++] = c;  // the rest of a long name is consumed
    }
    buffer[stored] = 0;
    return consumed;
}

// Reads the header of the next chunk inside `outer` into `inner` and cuts its length to what
// `outer` has left. False when no sound chunk starts there; everything read is then counted
// into `outer`, and after a length under 6 the rest of `outer` is consumed too.
bool ModelLoader::ReadNestedHeader(ChunkInfo& outer, ChunkInfo& inner) {
    uint32_t left = outer.bytesRead < outer.length ? outer.length - outer.bytesRead : 0;
    if (left < CHUNK_HEADER_SIZE) {
        SkipRest(outer);
        return false;
    }
    ReadChunkHeader(inner);
    if (fileEnded || inner.length < CHUNK_HEADER_SIZE) {
        outer.bytesRead += inner.bytesRead;
        SkipRest(outer);
        return false;
    }
    inner.length = std::min(inner.length, left);
    return true;
}

// One level of the walk: a fresh record for the children becomes `current` until the
// parent's length is used up, then the parent's record is current again.
template <typename Act>
void ModelLoader::WalkLevel(ChunkInfo& parent, Act act) {
    if (depth >= MAX_CHUNK_DEPTH) {
        SkipRest(parent);
        return;
    }
    ++depth;
    std::unique_ptr<ChunkInfo> outer = std::exchange(current, std::make_unique<ChunkInfo>());
    ChunkInfo& child = *current;
    while (!fileEnded && parent.bytesRead < parent.length) {
        if (!ReadNestedHeader(parent, child)) break;
        act(child);
        parent.bytesRead += child.bytesRead;
    }
    current = std::move(outer);
    --depth;
}

// ---- the three walks --------------------------------------------------------------------

void ModelLoader::ReadChunks(Model& model, ChunkInfo& parent) {
    uint8_t version[4] = {};  // starts at 0 on each entry; a short payload fills its low bytes
    WalkLevel(parent, [&](ChunkInfo& child) {
        switch (child.id) {
        case CHUNK_VERSION:
            ReadBytes(child, version, sizeof version);
            SkipRest(child);
            if (U32At(version) > NEWEST_KNOWN_VERSION)
                MessageBoxA(nullptr, "This 3DS file is over version 3 so it may load incorrectly", "Warning", MB_OK);
            break;
        case CHUNK_EDITOR:
            // The first child (normally the mesh version) is read whole and not used.
            if (ReadNestedHeader(child, *scratch)) {
                SkipRest(*scratch);
                child.bytesRead += scratch->bytesRead;
            }
            ReadChunks(model, child);
            break;
        case CHUNK_MATERIAL:
            ++model.materialCount;
            model.materials.push_back(Material{});
            ReadMaterialChunks(model, child);
            break;
        case CHUNK_OBJECT: {
            ++model.objectCount;
            MeshObject& object = model.objects.emplace_back(MeshObject{});
            ReadString(child, object.name);
            ReadObjectChunks(model, object, child);
            break;
        }
        default: SkipRest(child);
        }
    });
}

void ModelLoader::ReadObjectChunks(Model& model, MeshObject& object, ChunkInfo& parent) {
    WalkLevel(parent, [&](ChunkInfo& child) {
        switch (child.id) {
        case CHUNK_TRIANGLE_MESH: ReadObjectChunks(model, object, child); break;
        case CHUNK_VERTEX_LIST: ReadVertexList(object, child); break;
        case CHUNK_FACE_LIST: ReadFaceList(object, child); break;
        case CHUNK_FACE_MATERIAL: ReadFaceMaterial(model, object, child); break;
        case CHUNK_MAPPING_LIST: ReadMappingList(object, child); break;
        default: SkipRest(child);
        }
    });
}

void ModelLoader::ReadMaterialChunks(Model& model, ChunkInfo& parent) {
    if (model.materials.empty()) {  // only reached through a material chunk, which appends one
        SkipRest(parent);
        return;
    }
    WalkLevel(parent, [&](ChunkInfo& child) {
        Material& material = model.materials.back();
        switch (child.id) {
        case CHUNK_MATERIAL_NAME:
            ReadString(child, material.name);
            SkipRest(child);
            break;
        case CHUNK_DIFFUSE_COLOUR: ReadDiffuseColour(material, child); break;
        case CHUNK_TEXTURE_MAP: ReadMaterialChunks(model, child); break;
        case CHUNK_TEXTURE_FILE:
            ReadString(child, material.textureFile);
            SkipRest(child);
            break;
        default: SkipRest(child);
        }
    });
}

// ---- handlers ---------------------------------------------------------------------------

void ModelLoader::ReadVertexList(MeshObject& object, ChunkInfo& chunk) {
    uint16_t count = ReadU16(chunk);
    object.vertices = ReplaceArray(object.vertices, count);
    object.vertexCount = object.vertices ? count : 0;
    uint32_t delivered = ReadBytes(chunk, object.vertices, uint32_t(object.vertexCount) * sizeof(Vector3));
    SkipRest(chunk);
    // The file's z axis is our up axis. Vertices the payload lacks stay at the origin; only
    // the ones read are turned, so a lying count costs no pass over untouched memory.
    uint32_t read = (delivered + sizeof(Vector3) - 1) / sizeof(Vector3);
    for (uint32_t i = 0; i < read; ++i) {
        Vector3& v = object.vertices[i];
        v = {v.x, v.z, -v.y};
    }
}

void ModelLoader::ReadFaceList(MeshObject& object, ChunkInfo& chunk) {
    uint16_t count = ReadU16(chunk);
    object.faces = ReplaceArray(object.faces, count);
    object.faceCount = object.faces ? count : 0;
    // Read in blocks; faces the payload lacks stay (0, 0, 0) as calloc left them.
    constexpr int32_t BLOCK_FACES = 512;
    uint8_t block[BLOCK_FACES * FACE_RECORD_SIZE];
    for (int32_t first = 0; first < object.faceCount; first += BLOCK_FACES) {
        int32_t faces = std::min(BLOCK_FACES, object.faceCount - first);
        std::memset(block, 0, sizeof block);
        uint32_t delivered = ReadBytes(chunk, block, uint32_t(faces) * FACE_RECORD_SIZE);
        int32_t touched = int32_t((delivered + FACE_RECORD_SIZE - 1) / FACE_RECORD_SIZE);
        for (int32_t f = 0; f < touched; ++f) {
            const uint8_t* record = block + size_t(f) * FACE_RECORD_SIZE;
            for (int k = 0; k < 3; ++k) object.faces[first + f].vertexIndex[k] = U16At(record + 2 * k);
        }
        if (touched < faces) break;
    }
    // Stop here: the face-material groups and smoothing list that follow inside this chunk
    // are read by the enclosing walk as its own next chunks.
}

void ModelLoader::ReadFaceMaterial(Model& model, MeshObject& object, ChunkInfo& chunk) {
    char name[MODEL_NAME_SIZE];
    ReadString(chunk, name);
    // Only the materials read so far are searched: a later one gives -1.
    auto known = std::min<size_t>(size_t(std::max(model.materialCount, 0)), model.materials.size());
    for (size_t i = 0; i < known; ++i) {
        const Material& material = model.materials[i];
        if (std::strcmp(name, material.name) == 0) {
            object.materialIndex = int32_t(i);
            if (material.textureFile[0] != 0) object.hasTexture = true;
            break;
        }
        object.materialIndex = -1;
    }
    SkipRest(chunk);  // the group's face numbers are not used
}

void ModelLoader::ReadMappingList(MeshObject& object, ChunkInfo& chunk) {
    uint16_t count = ReadU16(chunk);
    object.texCoords = ReplaceArray(object.texCoords, count);
    object.texCoordCount = object.texCoords ? count : 0;
    ReadBytes(chunk, object.texCoords, uint32_t(object.texCoordCount) * sizeof(TexCoord));
    SkipRest(chunk);
}

void ModelLoader::ReadDiffuseColour(Material& material, ChunkInfo& chunk) {
    // Only the first colour sub-chunk is read here; the walk skips any that follow.
    if (!ReadNestedHeader(chunk, *scratch)) return;
    ReadBytes(*scratch, material.colour, sizeof material.colour);
    SkipRest(*scratch);
    chunk.bytesRead += scratch->bytesRead;
}
