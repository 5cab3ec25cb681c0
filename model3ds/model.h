// model.h - the 3DS model: the in-memory records, the chunk reader and the vertex normals.
//
// The demo has one model, g_model. At start-up g_modelLoader.Import(g_model, "dinos.3ds")
// walks the file's chunk tree front to back (chunk_reader.h), then BuildVertexNormals() gives
// every vertex the normalised sum of the normals of the faces that use it, so larger faces
// weigh more. Afterwards the model is only read, by the drawing; when the message loop ends,
// ReleaseModel() frees each object's arrays.
//
// Axes: a vertex (x, y, z) in the file is stored as (x, z, -y): the file's z is our up axis.
// Names and texture file names live in 255-byte fields; longer ones are cut to 254 bytes.
//
// State: g_model (filled once by the import, read by the drawing), g_modelLoader.
// Records are plain data: copying or destroying one never touches the arrays it points to.
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
    Vector3* normals;       // unit normals, built after the read; null until then
    TexCoord* texCoords;    // null without a mapping list
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

#include "model3ds/chunk_reader.h"
