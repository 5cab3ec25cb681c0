// Vector operations and per-vertex normals.
//
// A vertex normal is the normalised sum of the unnormalised normals of the faces that use
// it, so larger faces weigh more. The sums are accumulated in one pass over the faces; since
// each vertex still receives its faces' normals in face order, through the same additions,
// the result is bit for bit that of scanning every face for every vertex.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "model3ds/model.h"

Vector3 VecSub(Vector3 a, Vector3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

Vector3 VecAdd(Vector3 a, Vector3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }

Vector3 VecDivide(Vector3 v, float s) { return {v.x / s, v.y / s, v.z / s}; }

Vector3 VecCross(Vector3 a, Vector3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

Vector3 VecNormalize(Vector3 v) {
    // The squares are summed in float as the components are; only the root and the
    // divisions are taken in double.
    double m = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {float(v.x / m), float(v.y / m), float(v.z / m)};
}

namespace {

bool IsZero(Vector3 v) { return v.x * v.x + v.y * v.y + v.z * v.z == 0.0f; }

// (P0 - P2) x (P2 - P1): twice the face's area, pointing away from the side where P0, P1,
// P2 run counter-clockwise; dividing the sum by minus the count turns it back.
Vector3 FaceNormal(const Vector3* vertices, const Face& face) {
    Vector3 p0 = vertices[face.vertexIndex[0]];
    Vector3 p1 = vertices[face.vertexIndex[1]];
    Vector3 p2 = vertices[face.vertexIndex[2]];
    return VecCross(VecSub(p0, p2), VecSub(p2, p1));
}

bool FaceIsValid(const MeshObject& object, const Face& face) {
    for (int32_t index : face.vertexIndex)
        if (index < 0 || index >= object.vertexCount) return false;
    return true;
}

void BuildObjectNormals(MeshObject& object) {
    std::free(object.normals);
    // The sums are gathered in the normals array itself, which starts at zero.
    object.normals = static_cast<Vector3*>(std::calloc(size_t(object.vertexCount), sizeof(Vector3)));
    if (!object.normals) return;
    // calloc rather than a vector: pages of vertices no face uses are never touched.
    auto* facesUsing = static_cast<int32_t*>(std::calloc(size_t(object.vertexCount), sizeof(int32_t)));
    if (!facesUsing) return;
    // Only vertices up to the highest one a face names can have a normal; a count far above
    // what the faces use costs no pass over the untouched rest.
    int32_t usedVertices = 0;
    for (int32_t f = 0; f < object.faceCount; ++f) {
        const Face& face = object.faces[f];
        if (!FaceIsValid(object, face)) continue;
        Vector3 normal = FaceNormal(object.vertices, face);
        const int32_t* corner = face.vertexIndex;
        for (int k = 0; k < 3; ++k) {
            // A face that names a vertex at several corners counts once for it.
            if ((k > 0 && corner[k] == corner[0]) || (k > 1 && corner[k] == corner[1])) continue;
            object.normals[corner[k]] = VecAdd(object.normals[corner[k]], normal);
            ++facesUsing[corner[k]];
            usedVertices = std::max(usedVertices, corner[k] + 1);
        }
    }
    for (int32_t v = 0; v < usedVertices; ++v) {
        int32_t n = facesUsing[v];
        if (n == 0) continue;  // unused: stays (0, 0, 0)
        Vector3 mean = VecDivide(object.normals[v], float(-n));
        object.normals[v] = IsZero(mean) ? Vector3{0, 0, 0} : VecNormalize(mean);
    }
    std::free(facesUsing);
}

}  // namespace

void BuildVertexNormals(Model& model) {
    if (model.objectCount <= 0) return;
    for (int32_t i = 0; i < model.objectCount && size_t(i) < model.objects.size(); ++i)
        BuildObjectNormals(model.objects[size_t(i)]);
}
