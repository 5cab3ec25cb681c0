// Vector operations and vertex normals, against the examples and against the plain
// face-by-face scan for every vertex, bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "model3ds/model.h"
#include "tests/model3ds/scan_normals.h"

namespace {

// A model of one object that owns copies of the given arrays.
Model OneObject(const std::vector<Vector3>& vertices, const std::vector<Face>& faces) {
    MeshObject object{};
    object.vertexCount = int32_t(vertices.size());
    object.faceCount = int32_t(faces.size());
    object.vertices = static_cast<Vector3*>(std::calloc(vertices.size() + 1, sizeof(Vector3)));
    object.faces = static_cast<Face*>(std::calloc(faces.size() + 1, sizeof(Face)));
    if (!vertices.empty()) std::memcpy(object.vertices, vertices.data(), vertices.size() * sizeof(Vector3));
    if (!faces.empty()) std::memcpy(object.faces, faces.data(), faces.size() * sizeof(Face));
    Model model;
    model.objects.push_back(object);
    model.objectCount = 1;
    return model;
}

void ExpectNear(Vector3 v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-6f);
    EXPECT_NEAR(v.y, y, 1e-6f);
    EXPECT_NEAR(v.z, z, 1e-6f);
}

bool SameBits(Vector3 a, Vector3 b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(VectorOperations, ComputeComponentwise) {
    Vector3 a{1, 2, 3}, b{4, -5, 6};
    ExpectNear(VecSub(a, b), -3, 7, -3);
    ExpectNear(VecAdd(a, b), 5, -3, 9);
    ExpectNear(VecDivide(b, -2), -2, 2.5f, -3);
    ExpectNear(VecCross(a, b), 2 * 6 - 3 * -5, 3 * 4 - 1 * 6, 1 * -5 - 2 * 4);
    ExpectNear(VecNormalize({3, 0, -4}), 0.6f, 0, -0.8f);
}

TEST(VertexNormals, SingleTriangleFacesItsCounterClockwiseSide) {
    Model model = OneObject({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{{0, 1, 2}}});
    BuildVertexNormals(model);
    for (int v = 0; v < 3; ++v) ExpectNear(model.objects[0].normals[v], 0, 0, 1);
    ReleaseModel(model);
}

TEST(VertexNormals, LargerFacesWeighMore) {
    // Vertex 0 is shared by a face of normal (0, 0, 4) and one of normal (0, 1, 0).
    Model model = OneObject({{0, 0, 0}, {2, 0, 0}, {0, 2, 0}, {0, 0, 1}, {1, 0, 0}}, {{{0, 1, 2}}, {{0, 3, 4}}});
    BuildVertexNormals(model);
    ExpectNear(model.objects[0].normals[0], 0, 0.2425356f, 0.9701425f);
    ExpectNear(model.objects[0].normals[1], 0, 0, 1);
    ExpectNear(model.objects[0].normals[3], 0, 1, 0);
    ReleaseModel(model);
}

TEST(VertexNormals, UnusedAndZeroAreaVerticesGetZero) {
    struct Case {
        const char* what;
        std::vector<Vector3> vertices;
        std::vector<Face> faces;
        std::vector<Vector3> expected;
    };
    const Case cases[] = {
        {"no faces", {{1, 2, 3}, {4, 5, 6}}, {}, {{0, 0, 0}, {0, 0, 0}}},
        {"unused vertex",
         {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {9, 9, 9}},
         {{{0, 1, 2}}},
         {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 0}}},
        {"zero area only",
         {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}},
         {{{0, 1, 2}}, {{1, 1, 1}}},
         {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}},
        {"zero area still counts",
         {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}},
         {{{0, 1, 2}}, {{0, 0, 0}}},
         {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}}},
        {"index out of range adds nothing",
         {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}},
         {{{0, 1, 2}}, {{0, 2, 3}}},
         {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Model model = OneObject(c.vertices, c.faces);
        BuildVertexNormals(model);
        for (size_t v = 0; v < c.expected.size(); ++v)
            ExpectNear(model.objects[0].normals[v], c.expected[v].x, c.expected[v].y, c.expected[v].z);
        ReleaseModel(model);
    }
}

TEST(VertexNormals, ObjectWithoutVerticesGetsAnEmptyArray) {
    Model model = OneObject({}, {});
    model.objects.push_back(MeshObject{});  // a light: no arrays at all
    model.objectCount = 2;
    BuildVertexNormals(model);
    EXPECT_EQ(model.objects[0].vertexCount, 0);
    ReleaseModel(model);
}

TEST(VertexNormals, OnePassMatchesTheScanBitForBit) {
    std::mt19937 random(1234);
    std::uniform_real_distribution<float> coordinate(-100, 100);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        int vertexCount = 1 + int(random() % 60);
        int faceCount = int(random() % 200);
        std::vector<Vector3> vertices(static_cast<size_t>(vertexCount));
        for (Vector3& v : vertices) v = {coordinate(random), coordinate(random), coordinate(random)};
        if (round % 4 == 0) vertices[0] = vertices[size_t(vertexCount - 1)];  // two corners at one place
        std::vector<Face> faces(static_cast<size_t>(faceCount));
        for (Face& face : faces) {
            for (int32_t& index : face.vertexIndex) index = int32_t(random() % uint32_t(vertexCount));
            if (random() % 5 == 0) face.vertexIndex[2] = face.vertexIndex[random() % 2];  // repeated corner
            if (random() % 17 == 0) face.vertexIndex[1] = face.vertexIndex[2] = face.vertexIndex[0];
        }
        Model model = OneObject(vertices, faces);
        std::vector<Vector3> expected = ScanEveryFaceForEveryVertex(model.objects[0]);
        BuildVertexNormals(model);
        int compared = 0;
        for (int v = 0; v < vertexCount; ++v) {
            Vector3 got = model.objects[0].normals[v];
            Vector3 want = expected[size_t(v)];
            if (std::isfinite(want.x) && std::isfinite(want.y) && std::isfinite(want.z)) {
                EXPECT_TRUE(SameBits(got, want)) << "vertex " << v;
                ++compared;
            } else {
                // The scan divides by a zero count or a zero length here; we store zero.
                EXPECT_TRUE(SameBits(got, Vector3{0, 0, 0})) << "vertex " << v;
            }
        }
        if (faceCount > 20 && vertexCount >= 3) {
            EXPECT_GT(compared, 0);
        }
        ReleaseModel(model);
    }
}

}  // namespace
