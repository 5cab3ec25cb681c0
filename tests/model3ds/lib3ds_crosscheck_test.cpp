// An independent reader, Debian's lib3ds, must see in our files what our reader sees:
// the same meshes, vertices (before our axis change), faces, texture coordinates and
// materials.
#include <gtest/gtest.h>
#include <lib3ds/file.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>

#include <cmath>
#include <random>
#include <string>

#include "tests/model3ds/model_test_util.h"

using namespace writer3ds;

namespace {

// A few objects of random shape, three materials (two textured), mapping lists, nested
// face-material groups and smoothing lists, a light among the objects.
Bytes GeneratedModel(unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> coordinate(-50, 50);
    std::uniform_real_distribution<float> unit(0, 1);
    const char* materials[] = {"stone", "leaf", "paint"};
    std::vector<Bytes> editor{MaterialEntry("stone", {90, 80, 70}, "stone.bmp"),
                              MaterialEntry("leaf", {10, 200, 30}, "leaf.bmp"), MaterialEntry("paint", {250, 250, 5})};
    for (int o = 0; o < 5; ++o) {
        std::string name = "obj" + std::to_string(o);
        if (o == 2) {
            editor.push_back(Object("sun", {Light()}));
            continue;
        }
        size_t vertexCount = 3 + random() % 300;
        std::vector<Point> points(vertexCount);
        for (Point& p : points) p = {coordinate(random), coordinate(random), coordinate(random)};
        std::vector<FaceRecord> faces(2 + random() % 400);
        for (FaceRecord& f : faces)
            f = {uint16_t(random() % vertexCount), uint16_t(random() % vertexCount), uint16_t(random() % vertexCount),
                 uint16_t(random() % 8)};
        std::vector<uint16_t> firstHalf, secondHalf;
        for (size_t f = 0; f < faces.size(); ++f) (f % 2 ? secondHalf : firstHalf).push_back(uint16_t(f));
        std::vector<Bytes> nested{FaceMaterial(materials[o % 3], firstHalf)};
        if (!secondHalf.empty()) nested.push_back(FaceMaterial(materials[(o + 1) % 3], secondHalf));
        nested.push_back(SmoothingList(faces.size()));
        std::vector<Bytes> mesh{VertexList(points), FaceList(faces, nested)};
        if (o != 3) {
            std::vector<Uv> uvs(vertexCount);
            for (Uv& uv : uvs) uv = {unit(random), unit(random)};
            mesh.push_back(MappingList(uvs));
        }
        editor.push_back(Object(name, {TriangleMesh(mesh)}));
    }
    return Document(editor);
}

// Well-formed files of the reader's own tests, as modelling programs lay them out.
std::vector<Bytes> TestFiles() {
    const std::vector<Point> triangle = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    return {
        Document({}),
        Document({Object("o", {TriangleMesh({VertexList({{1, 2, 3}, {-4, 0.5f, 0}})})})}),
        Document({Object("o", {TriangleMesh({VertexList(triangle), FaceList({{0, 1, 2, 7}, {2, 1, 0, 0xFFFF}})})})}),
        Document({MaterialEntry("wood", {10, 20, 30}, "wood.bmp"), MaterialEntry("paint", {200, 1, 2}),
                  Object("o", {TriangleMesh({VertexList(triangle),
                                             FaceList({{0, 1, 2, 0}},
                                                      {FaceMaterial("wood", {0}), FaceMaterial("paint", {0})})})})}),
        Document({MaterialEntry("m", {1, 2, 3}),
                  Object("first", {TriangleMesh({VertexList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}),
                                                 FaceList({{0, 1, 2, 7}, {1, 3, 2, 7}},
                                                          {FaceMaterial("m", {0, 1}), SmoothingList(2)}),
                                                 MappingList({{0, 0}, {1, 0}, {0, 1}, {1, 1}})})}),
                  Object("lamp", {Light()}), Object("second", {TriangleMesh({VertexList(triangle)})})}),
        Document({Chunk(0x7777, Bytes(70000, 0x41)),
                  Object("o", {TriangleMesh({Chunk(0x7777, Bytes{}), VertexList(triangle)})})}),
    };
}

std::vector<Bytes> AllFiles() {
    std::vector<Bytes> files = TestFiles();
    for (unsigned seed : {1u, 2u, 3u}) files.push_back(GeneratedModel(seed));
    return files;
}

bool HasGeometry(const MeshObject& object) {
    return object.vertexCount > 0 || object.faceCount > 0 || object.texCoordCount > 0;
}

void ExpectSameMesh(const MeshObject& ours, const Lib3dsMesh& theirs) {
    ASSERT_EQ(uint32_t(ours.vertexCount), theirs.points);
    for (int32_t i = 0; i < ours.vertexCount; ++i) {
        // Ours is (x, z, -y) of the file's (x, y, z).
        const float* p = theirs.pointL[i].pos;
        ASSERT_EQ(ours.vertices[i].x, p[0]) << "vertex " << i;
        ASSERT_EQ(-ours.vertices[i].z, p[1]) << "vertex " << i;
        ASSERT_EQ(ours.vertices[i].y, p[2]) << "vertex " << i;
    }
    ASSERT_EQ(uint32_t(ours.faceCount), theirs.faces);
    for (int32_t f = 0; f < ours.faceCount; ++f)
        for (int k = 0; k < 3; ++k) ASSERT_EQ(ours.faces[f].vertexIndex[k], theirs.faceL[f].points[k]) << "face " << f;
    ASSERT_EQ(uint32_t(ours.texCoordCount), theirs.texels);
    for (int32_t i = 0; i < ours.texCoordCount; ++i) {
        ASSERT_EQ(ours.texCoords[i].u, theirs.texelL[i][0]) << "texel " << i;
        ASSERT_EQ(ours.texCoords[i].v, theirs.texelL[i][1]) << "texel " << i;
    }
}

void ExpectSameMaterial(const Material& ours, const Lib3dsMaterial& theirs) {
    EXPECT_STREQ(ours.textureFile, theirs.texture1_map.name);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(ours.colour[c], std::lround(theirs.diffuse[c] * 255)) << "component " << c;
}

using Lib3dsCrossCheck = ModelFileTest;

TEST_F(Lib3dsCrossCheck, BothReadersSeeTheSameModel) {
    int index = 0;
    for (const Bytes& file : AllFiles()) {
        SCOPED_TRACE("file " + std::to_string(index++));
        ReleaseModel(model);
        model = Model{};
        ASSERT_TRUE(Import(file));
        Lib3dsFile* theirs = lib3ds_file_load(path.c_str());
        ASSERT_NE(theirs, nullptr);

        int meshes = 0;
        for (Lib3dsMesh* mesh = theirs->meshes; mesh; mesh = mesh->next) ++meshes;
        int withGeometry = 0;
        for (const MeshObject& object : model.objects) {
            if (!HasGeometry(object)) continue;
            ++withGeometry;
            SCOPED_TRACE(object.name);
            Lib3dsMesh* mesh = lib3ds_file_mesh_by_name(theirs, object.name);
            ASSERT_NE(mesh, nullptr);
            ExpectSameMesh(object, *mesh);
        }
        EXPECT_EQ(withGeometry, meshes);

        int materials = 0;
        for (Lib3dsMaterial* material = theirs->materials; material; material = material->next) ++materials;
        EXPECT_EQ(model.materialCount, materials);
        for (const Material& material : model.materials) {
            SCOPED_TRACE(material.name);
            Lib3dsMaterial* match = lib3ds_file_material_by_name(theirs, material.name);
            ASSERT_NE(match, nullptr);
            ExpectSameMaterial(material, *match);
        }
        lib3ds_file_free(theirs);
    }
}

TEST_F(Lib3dsCrossCheck, GeneratedModelIsReadInFull) {
    // Guards the cross-check itself: the generated file holds what it is meant to.
    ASSERT_TRUE(Import(GeneratedModel(1)));
    ASSERT_EQ(model.objectCount, 5);
    EXPECT_EQ(model.materialCount, 3);
    EXPECT_STREQ(model.objects[2].name, "sun");
    EXPECT_EQ(model.objects[2].vertexCount, 0);
    EXPECT_GT(model.objects[0].texCoordCount, 0);
    EXPECT_EQ(model.objects[3].texCoordCount, 0);
    // obj0's groups name stone, then leaf: the last decides; both are textured.
    EXPECT_EQ(model.objects[0].materialIndex, 1);
    EXPECT_TRUE(model.objects[0].hasTexture);
}

}  // namespace
