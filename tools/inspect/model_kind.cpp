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

void WriteVector(JsonWriter& json, const Vector3& v) {
    json.BeginArray();
    json.Float(v.x);
    json.Float(v.y);
    json.Float(v.z);
    json.EndArray();
}

// An array of `count` vectors; null when the reader left no array where it owes one.
void WriteVectors(JsonWriter& json, const char* key, const Vector3* vectors, int32_t count) {
    json.Key(key);
    if (vectors == nullptr && count > 0) {
        json.Null();
        return;
    }
    json.BeginArray();
    for (int32_t i = 0; i < count; ++i) WriteVector(json, vectors[i]);
    json.EndArray();
}

void WriteFaces(JsonWriter& json, const MeshObject& object) {
    json.Key("faces");
    json.BeginArray();
    for (int32_t f = 0; object.faces && f < object.faceCount; ++f) {
        json.BeginArray();
        for (int32_t index : object.faces[f].vertexIndex) json.Integer(index);
        json.EndArray();
    }
    json.EndArray();
}

void WriteTexCoords(JsonWriter& json, const MeshObject& object) {
    json.Key("texCoords");
    if (object.texCoords == nullptr) {
        json.Null();
        return;
    }
    json.BeginArray();
    for (int32_t i = 0; i < object.texCoordCount; ++i) {
        json.BeginArray();
        json.Float(object.texCoords[i].u);
        json.Float(object.texCoords[i].v);
        json.EndArray();
    }
    json.EndArray();
}

void WriteMaterial(JsonWriter& json, const Material& material) {
    json.BeginObject();
    json.Key("name");
    json.String(FieldText(material.name));
    json.Key("textureFile");
    json.String(FieldText(material.textureFile));
    json.Key("colour");
    json.BeginArray();
    for (uint8_t channel : material.colour) json.Integer(channel);
    json.EndArray();
    json.EndObject();
}

void WriteObject(JsonWriter& json, const MeshObject& object) {
    json.BeginObject();
    json.Key("name");
    json.String(FieldText(object.name));
    json.Key("vertexCount");
    json.Integer(object.vertexCount);
    json.Key("faceCount");
    json.Integer(object.faceCount);
    json.Key("texCoordCount");
    json.Integer(object.texCoordCount);
    json.Key("materialIndex");
    json.Integer(object.materialIndex);
    json.Key("hasTexture");
    json.Bool(object.hasTexture);
    WriteVectors(json, "vertices", object.vertices, object.vertexCount);
    WriteFaces(json, object);
    WriteTexCoords(json, object);
    WriteVectors(json, "normals", object.normals, object.vertexCount);
    json.EndObject();
}

}  // namespace

Inspection InspectModel(const std::string& path, bool /*wantPixels: a model has none*/) {
    Model model;
    ModelLoader loader;
    Inspection result;
    result.ok = loader.Import(model, path.c_str());
    JsonWriter& json = result.members;
    json.Key("materials");
    json.BeginArray();
    for (const Material& material : model.materials) WriteMaterial(json, material);
    json.EndArray();
    json.Key("objects");
    json.BeginArray();
    for (const MeshObject& object : model.objects) WriteObject(json, object);
    json.EndArray();
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
    if (!loaded) row.problem = FirstMessageText("cannot be read");
    else if (model.objectCount == 0) row.problem = "holds no objects: the model scene would be empty";
    else if (!fake::g_messageBoxes.empty()) row.note = fake::g_messageBoxes.front().caption + ": " + FirstMessageText("");
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
