#include "model_file.h"

#include "writers/chunk_writer.h"

namespace {

constexpr uint16_t PRIMARY = 0x4D4D, VERSION = 0x0002, EDITOR = 0x3D3D, MESH_VERSION = 0x3D3E;
constexpr uint16_t MATERIAL = 0xAFFF, MATERIAL_NAME = 0xA000, DIFFUSE = 0xA020, COLOUR_24 = 0x0011;
constexpr uint16_t TEXTURE_MAP = 0xA200, TEXTURE_FILE = 0xA300;
constexpr uint16_t OBJECT = 0x4000, TRIANGLE_MESH = 0x4100, VERTEX_LIST = 0x4110;
constexpr uint16_t FACE_LIST = 0x4120, FACE_MATERIAL = 0x4130, MAPPING_LIST = 0x4140;
constexpr uint16_t FACE_FLAGS = 0x0007;  // all three edges visible
constexpr uint32_t FILE_VERSION = 3;

void WriteMaterial(ChunkWriter& w, const ModelMaterial& m) {
    w.Begin(MATERIAL);
    w.Begin(MATERIAL_NAME);
    w.String(m.name);
    w.End();
    w.Begin(DIFFUSE);
    w.Begin(COLOUR_24);
    w.U8(m.red);
    w.U8(m.green);
    w.U8(m.blue);
    w.End();
    w.End();
    if (!m.textureFile.empty()) {
        w.Begin(TEXTURE_MAP);
        w.Begin(TEXTURE_FILE);
        w.String(m.textureFile);
        w.End();
        w.End();
    }
    w.End();
}

void WriteObject(ChunkWriter& w, const ModelObject& o, bool textured) {
    const Mesh& mesh = o.mesh;
    w.Begin(OBJECT);
    w.String(o.name);
    w.Begin(TRIANGLE_MESH);
    w.Begin(VERTEX_LIST);
    w.U16(uint16_t(mesh.vertices.size()));
    for (const Vec3& v : mesh.vertices) {
        w.F32(v.x);
        w.F32(-v.z);
        w.F32(v.y);
    }
    w.End();
    if (textured) {
        w.Begin(MAPPING_LIST);
        w.U16(uint16_t(mesh.texture.size()));
        for (const TexturePoint& t : mesh.texture) {
            w.F32(t.u);
            w.F32(t.v);
        }
        w.End();
    }
    w.Begin(FACE_LIST);
    w.U16(uint16_t(mesh.faces.size()));
    for (const auto& f : mesh.faces) {
        w.U16(uint16_t(f[0]));
        w.U16(uint16_t(f[1]));
        w.U16(uint16_t(f[2]));
        w.U16(FACE_FLAGS);
    }
    w.Begin(FACE_MATERIAL);
    w.String(o.material);
    w.U16(uint16_t(mesh.faces.size()));
    for (size_t f = 0; f < mesh.faces.size(); ++f) w.U16(uint16_t(f));
    w.End();
    w.End();
    w.End();
    w.End();
}

}  // namespace

Bytes EncodeModel3ds(const ModelDescription& model) {
    ChunkWriter w;
    w.Begin(PRIMARY);
    w.Begin(VERSION);
    w.U32(FILE_VERSION);
    w.End();
    w.Begin(EDITOR);
    w.Begin(MESH_VERSION);
    w.U32(FILE_VERSION);
    w.End();
    for (const ModelMaterial& m : model.materials) WriteMaterial(w, m);
    for (const ModelObject& o : model.objects) {
        bool textured = false;
        for (const ModelMaterial& m : model.materials)
            if (m.name == o.material) textured = !m.textureFile.empty();
        WriteObject(w, o, textured);
    }
    w.End();
    w.End();
    return w.Result();
}
