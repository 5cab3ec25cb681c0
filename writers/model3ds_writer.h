// model3ds_writer.h - 3DS files from readable pieces, for the model tests, the benchmark and
// the fuzz seed writer, built on the one chunk writer (writers/chunk_writer.h).
//
//     Bytes file = Document({Object("box", {TriangleMesh({VertexList({{1, 2, 3}})})})});
//     WriteFile(path, file);
//
// Chunk() computes the length from its parts; ChunkWithLength() writes any length, to make
// files whose lengths lie.
#pragma once

#include <array>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "writers/chunk_writer.h"

namespace writer3ds {

using ::Bytes;
using ::Cat;
using ::Chunk;
using ::ChunkWithLength;
using ::F32;
using ::Str;
using ::U16;
using ::U32;
using Point = std::array<float, 3>;
using Uv = std::array<float, 2>;
struct FaceRecord {
    uint16_t a, b, c, flags;
};

inline void Put(Bytes& out, const Bytes& part) { PutBytes(out, part); }

// ---- the chunks the reader knows ---------------------------------------------------------
inline Bytes Primary(const std::vector<Bytes>& children) { return Chunk(0x4D4D, children); }
inline Bytes Version(uint32_t version) { return Chunk(0x0002, U32(version)); }
inline Bytes Editor(const std::vector<Bytes>& children) {
    std::vector<Bytes> parts{Chunk(0x3D3E, U32(3))};  // the mesh version comes first
    parts.insert(parts.end(), children.begin(), children.end());
    return Chunk(0x3D3D, parts);
}
// A whole file as modelling programs write it: version, then the editor data.
inline Bytes Document(const std::vector<Bytes>& editorChildren) {
    return Primary({Version(3), Editor(editorChildren)});
}

inline Bytes Object(const std::string& name, const std::vector<Bytes>& children) {
    return Chunk(0x4000, Cat({Str(name), Cat(children)}));
}
inline Bytes TriangleMesh(const std::vector<Bytes>& children) { return Chunk(0x4100, children); }
inline Bytes Light() { return Chunk(0x4600, Cat({F32(1), F32(2), F32(3)})); }

inline Bytes VertexList(const std::vector<Point>& points) {
    Bytes out = U16(uint16_t(points.size()));
    for (const Point& p : points)
        for (float f : p) Put(out, F32(f));
    return Chunk(0x4110, out);
}
inline Bytes FaceList(const std::vector<FaceRecord>& faces, const std::vector<Bytes>& nested = {}) {
    std::vector<Bytes> parts{U16(uint16_t(faces.size()))};
    for (const FaceRecord& f : faces) parts.push_back(Cat({U16(f.a), U16(f.b), U16(f.c), U16(f.flags)}));
    parts.insert(parts.end(), nested.begin(), nested.end());
    return Chunk(0x4120, parts);
}
inline Bytes FaceMaterial(const std::string& material, const std::vector<uint16_t>& faces) {
    std::vector<Bytes> parts{Str(material), U16(uint16_t(faces.size()))};
    for (uint16_t f : faces) parts.push_back(U16(f));
    return Chunk(0x4130, parts);
}
inline Bytes SmoothingList(size_t faceCount) {
    std::vector<Bytes> parts;
    for (size_t i = 0; i < faceCount; ++i) parts.push_back(U32(1));
    return Chunk(0x4150, parts);
}
inline Bytes MappingList(const std::vector<Uv>& uvs) {
    std::vector<Bytes> parts{U16(uint16_t(uvs.size()))};
    for (const Uv& uv : uvs) parts.push_back(Cat({F32(uv[0]), F32(uv[1])}));
    return Chunk(0x4140, parts);
}

inline Bytes MaterialName(const std::string& name) { return Chunk(0xA000, Str(name)); }
inline Bytes Colour24(uint8_t r, uint8_t g, uint8_t b) { return Chunk(0x0011, Bytes{r, g, b}); }
inline Bytes Diffuse(const std::vector<Bytes>& colours) { return Chunk(0xA020, colours); }
inline Bytes TextureMap(const std::string& file) {
    return Chunk(0xA200, Cat({Chunk(0x0030, U16(100)), Chunk(0xA300, Str(file))}));
}
// A material with a name, a 24-bit diffuse colour and, when `texture` is not empty, a map.
inline Bytes MaterialEntry(const std::string& name, std::array<uint8_t, 3> rgb, const std::string& texture = "") {
    std::vector<Bytes> parts{MaterialName(name), Diffuse({Colour24(rgb[0], rgb[1], rgb[2])})};
    if (!texture.empty()) parts.push_back(TextureMap(texture));
    return Chunk(0xAFFF, parts);
}

inline void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

}  // namespace writer3ds
