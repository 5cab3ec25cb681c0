// model.h - the 3DS model: the in-memory records, the chunk reader, the vertex normals, the
// material textures and the drawing.
//
// The demo has one model, g_model. At start-up LoadModel("dinos.3ds") has g_modelLoader walk
// the file's chunk tree front to back (chunk_reader.h); BuildVertexNormals() then gives every
// vertex the normalised sum of the normals of the faces that use it, so larger faces weigh
// more; and every material that names a BMP picture gets a mipmapped texture in
// g_modelTextures, at the material's index. Every frame of the model scene DrawModel() sends
// the whole model as plain triangles under the caller's matrices and state. When the message
// loop ends, ReleaseModel() frees each object's arrays.
//
// Axes: a vertex (x, y, z) in the file is stored as (x, z, -y): the file's z is our up axis.
// Names and texture file names live in 255-byte fields; longer ones are cut to 254 bytes.
//
// State: g_model and g_modelTextures (filled once by LoadModel, read by the drawing),
// g_modelLoader. Records are plain data: copying or destroying one never touches the arrays
// it points to. Textures are never deleted.
#pragma once

#include <cstdint>
#include <vector>

constexpr int MODEL_NAME_SIZE = 255;  // every name field, terminator included

struct Vector3 {
    float x, y, z;  // y is up, after the reader's axis change
};

struct TexCoord {
    float u, v;  // as stored in the file (v is not flipped)
};

struct Face {
    int32_t vertexIndex[3];  // corners in file order; indexes vertices, normals and texCoords
};

// One material, in file order; a new one is all zero: no name, no texture, black.
struct Material {
    char name[MODEL_NAME_SIZE];         // faces name their material by this (exact bytes)
    char textureFile[MODEL_NAME_SIZE];  // texture map file as stored; empty: no texture
    uint8_t colour[3];                  // diffuse red, green, blue
};

// One named mesh, in file order; a new one is all zero. Its four arrays are malloc'd blocks
// that only ReleaseModel frees.
struct MeshObject {
    int32_t vertexCount;    // entries in vertices and normals
    int32_t faceCount;      // entries in faces; every face's indices are below vertexCount
    int32_t texCoordCount;  // entries in texCoords; 0 without a mapping list
    int32_t materialIndex;  // material of the last face-material group; -1 unknown; 0 none
    bool hasTexture;        // a group once named a textured material; never reset
    char name[MODEL_NAME_SIZE];
    Vector3* vertices;
    Vector3* normals;     // unit normals, built after the read; null until then
    TexCoord* texCoords;  // null without a mapping list
    Face* faces;
};

struct Model {
    int32_t objectCount = 0;    // always the length of objects
    int32_t materialCount = 0;  // always the length of materials
    std::vector<Material> materials;
    std::vector<MeshObject> objects;
};

extern Model g_model;  // the demo's one model: written by the import, read by the drawing

// Frees every object's faces, normals, vertices and texCoords, in that order, and leaves the
// counts and the object list as they are. The pointers are set to null, so a second call
// frees nothing twice.
void ReleaseModel();
void ReleaseModel(Model& model);

// ---- vector operations and vertex normals (normals.cpp) ---------------------------------
Vector3 VecSub(Vector3 a, Vector3 b);
Vector3 VecAdd(Vector3 a, Vector3 b);
Vector3 VecDivide(Vector3 v, float s);
Vector3 VecCross(Vector3 a, Vector3 b);
// Divides by the length, whose square root is taken in double precision.
Vector3 VecNormalize(Vector3 v);

// Allocates and fills every object's normals. Each vertex's sum of face normals is formed in
// face order, so the result is bit for bit that of scanning every face for every vertex,
// in one pass over the faces instead of vertexCount passes.
// A vertex that no face uses, or whose faces cover no area, gets (0, 0, 0) rather than the
// NaN that dividing by a zero count or a zero length would give: it is never lit anyway.
// A face with an index not below vertexCount adds nothing (the reader drops such faces).
void BuildVertexNormals(Model& model);

// ---- import and material textures (model_import.cpp) -------------------------------------
constexpr int MODEL_TEXTURE_SLOTS = 100;  // material indices with a texture slot: 0..99

// Slot i holds the texture of material i of g_model, or 0 when that material names no
// picture. All 0 at program start; written by LoadModel only.
extern uint32_t g_modelTextures[MODEL_TEXTURE_SLOTS];

// Imports `path` into g_model (the reader's own message box when the file is missing or not a
// 3DS file; the model then stays empty), then calls CreateBmpTexture for every material whose
// textureFile is not empty, in material order. Needs the current GL context.
// Materials 100 and above have no slot: their pictures are not read and they get no texture,
// so DrawModel draws their objects untextured, in the material's colour.
void LoadModel(const char* path);

// Reads the BMP `fileName` (as stored in the model: relative to the working directory) and
// builds a mipmapped texture from it (gluBuild2DMipmaps, 3 components, GL_RGB bytes; minified
// GL_LINEAR_MIPMAP_NEAREST, magnified GL_LINEAR) whose name goes into table[slot]; the texture
// is left bound. Sets GL_UNPACK_ALIGNMENT to 1 for good: the picture's rows are packed, and
// every later upload of the run (the TGA images) is read with it too.
// No file name, or a slot outside 0..MODEL_TEXTURE_SLOTS-1 of the table: nothing happens.
// A picture that cannot be read ends the process with exit(0) after the reader's own message
// box: the show does not start without its model's textures. The model's arrays are freed
// first (ReleaseModel), as the end of the message loop would have freed them.
void CreateBmpTexture(uint32_t* table, const char* fileName, int32_t slot);

// ---- drawing (model_draw.cpp) -------------------------------------------------------------
// Sends g_model as one glBegin(GL_TRIANGLES)/glEnd pair per object, corners in file order,
// each with its normal. A textured object: white, g_modelTextures[materialIndex] bound (0 when
// its last group named a material without a picture), and at every corner the texture
// coordinate of the corner's vertex when the object has a mapping list.
// An untextured object: white, then its material's colour before every vertex when the model
// has materials and materialIndex names one; it shows whatever texture is bound.
// Changes only the current colour, normal, texture coordinate and the GL_TEXTURE_2D binding;
// enables nothing, touches no matrix. No GL call at all when the model has no objects.
// Where the data leaves a gap we chose:
//  - hasTexture with materialIndex -1 (its last group named no known material): drawn as an
//    untextured object, in white; there is no texture slot for -1.
//  - hasTexture with a materialIndex of 100 or more: no slot either, drawn untextured in the
//    material's colour.
//  - A vertex index at or beyond texCoordCount (a mapping list shorter than the vertex list)
//    sends no texture coordinate: the corner keeps the one current before it; nothing is
//    read past the end of texCoords.
void DrawModel();

#include "model3ds/chunk_reader.h"
