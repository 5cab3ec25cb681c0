// model_kind.cpp - 3DS files through the demo's chunk reader: materials, objects, normals.
#include <cstring>
#include <set>

#include "model3ds/model.h"
#include "platform/fake_platform.h"
#include "tools/inspect/inspect.h"

namespace {

// A name field as text: the bytes before its terminator (the field always has one).
std::string_view FieldText(const char (&field)[MODEL_NAME_SIZE]) {
    return std::string_view(field, strnlen(field, MODEL_NAME_SIZE));
}

JsonValue Vectors(const Vector3* vectors, int32_t count) {
    // Null when the reader left no array where it owes one.
    if (vectors == nullptr && count > 0) return nullptr;
    JsonValue list = JsonValue::array();
    for (int32_t i = 0; i < count; ++i) list.push_back({vectors[i].x, vectors[i].y, vectors[i].z});
    return list;
}

JsonValue Faces(const MeshObject& object) {
    JsonValue faces = JsonValue::array();
    for (int32_t f = 0; object.faces && f < object.faceCount; ++f) {
        const int32_t* corner = object.faces[f].vertexIndex;
        faces.push_back({corner[0], corner[1], corner[2]});
    }
    return faces;
}

JsonValue TexCoords(const MeshObject& object) {
    if (object.texCoords == nullptr) return nullptr;
    JsonValue list = JsonValue::array();
    for (int32_t i = 0; i < object.texCoordCount; ++i) list.push_back({object.texCoords[i].u, object.texCoords[i].v});
    return list;
}

JsonValue MaterialJson(const Material& material) {
    return {{"name", FieldText(material.name)},
            {"textureFile", FieldText(material.textureFile)},
            {"colour", {material.colour[0], material.colour[1], material.colour[2]}}};
}

JsonValue ObjectJson(const MeshObject& object) {
    return {{"name", FieldText(object.name)},
            {"vertexCount", object.vertexCount},
            {"faceCount", object.faceCount},
            {"texCoordCount", object.texCoordCount},
            {"materialIndex", object.materialIndex},
            {"hasTexture", object.hasTexture},
            {"vertices", Vectors(object.vertices, object.vertexCount)},
            {"faces", Faces(object)},
            {"texCoords", TexCoords(object)},
            {"normals", Vectors(object.normals, object.vertexCount)}};
}

}  // namespace

Inspection InspectModel(const std::string& path, bool /*wantPixels: a model has none*/) {
    Model model;
    ModelLoader loader;
    Inspection result;
    result.ok = loader.Import(model, path.c_str());
    JsonValue& materials = result.members["materials"] = JsonValue::array();
    for (const Material& material : model.materials) materials.push_back(MaterialJson(material));
    JsonValue& objects = result.members["objects"] = JsonValue::array();
    for (const MeshObject& object : model.objects) objects.push_back(ObjectJson(object));
    ReleaseModel(model);
    return result;
}

std::vector<CheckRow> CheckModel(const std::filesystem::path& directory, const std::string& name) {
    fake::Reset();
    const std::filesystem::path path = directory / name;
    if (!std::filesystem::exists(path)) return {{name, "missing", ""}};
    Model model;
    ModelLoader loader;
    const bool loaded = loader.Import(model, path.string().c_str());
    CheckRow row{name, "", ""};
    if (!loaded)
        row.problem = FirstMessageText("cannot be read");
    else if (model.objectCount == 0)
        row.problem = "holds no objects: the model scene would be empty";
    else if (!fake::g_messageBoxes.empty())
        row.note = fake::g_messageBoxes.front().caption + ": " + FirstMessageText("");
    std::vector<CheckRow> rows{row};

    // The demo reads each material's texture in turn and stops at the first it cannot read;
    // the check reads every distinct one so the table names them all.
    std::set<std::string> seen;
    for (const Material& material : model.materials) {
        const std::string texture(FieldText(material.textureFile));
        if (texture.empty() || !seen.insert(texture).second) continue;
        fake::Reset();
        const std::filesystem::path texturePath = directory / texture;
        std::string problem = std::filesystem::exists(texturePath) ? CheckBmp(texturePath) : "missing";
        rows.push_back({texture, problem, ""});
    }
    ReleaseModel(model);
    return rows;
}
