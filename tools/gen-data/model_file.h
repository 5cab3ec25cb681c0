// model_file.h - a model as the 3DS writer sees it, and the writer.
//
// Chunk layout written (ids in hex, children indented):
//   4D4D primary
//     0002 version: 3
//     3D3D editor
//       3D3E mesh version: 3 (first child: the reader consumes it whole)
//       AFFF material, one per material:  A000 name;  A020 diffuse > 0011 24-bit colour;
//                                          A200 texture map > A300 file name (textured only)
//       4000 object: name, then
//         4100 triangle mesh
//           4110 vertex list: count, x y z floats
//           4140 mapping list: count, u v floats (textured objects)
//           4120 face list: count, a b c flags; nested 4130 face-material group:
//                material name, count, face numbers
// The file's z axis is up; the demo reads (x, y, z) as (x, z, -y), so this writer stores a
// demo-axes point (X, Y, Z) as (X, -Z, Y): a rotation, which keeps every face's winding.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "writers/byte_writer.h"
#include "mesh.h"

struct ModelMaterial {
    std::string name;
    uint8_t red = 255, green = 255, blue = 255;
    std::string textureFile;  // empty: drawn by its diffuse colour
};

struct ModelObject {
    std::string name;
    std::string material;
    Mesh mesh;
};

struct ModelDescription {
    std::vector<ModelMaterial> materials;
    std::vector<ModelObject> objects;
};

Bytes EncodeModel3ds(const ModelDescription& model);
