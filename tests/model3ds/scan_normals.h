// scan_normals.h - vertex normals the plain way: every face scanned for every vertex, the
// sums formed in face order. The reference that BuildVertexNormals must match bit for bit,
// and the quadratic cost it avoids.
#pragma once

#include <vector>

#include "model3ds/model.h"

inline std::vector<Vector3> ScanEveryFaceForEveryVertex(const MeshObject& object) {
    std::vector<Vector3> faceNormals(static_cast<size_t>(object.faceCount));
    for (int32_t f = 0; f < object.faceCount; ++f) {
        const int32_t* i = object.faces[f].vertexIndex;
        Vector3 a = VecSub(object.vertices[i[0]], object.vertices[i[2]]);
        Vector3 b = VecSub(object.vertices[i[2]], object.vertices[i[1]]);
        faceNormals[size_t(f)] = VecCross(a, b);
    }
    std::vector<Vector3> normals(static_cast<size_t>(object.vertexCount));
    for (int32_t v = 0; v < object.vertexCount; ++v) {
        Vector3 sum{0, 0, 0};
        int n = 0;
        for (int32_t f = 0; f < object.faceCount; ++f) {
            const int32_t* i = object.faces[f].vertexIndex;
            if (i[0] == v || i[1] == v || i[2] == v) {
                sum = VecAdd(sum, faceNormals[size_t(f)]);
                ++n;
            }
        }
        normals[size_t(v)] = VecNormalize(VecDivide(sum, float(-n)));
    }
    return normals;
}
