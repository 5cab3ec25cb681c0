// The chunk reader on files whose lengths, counts and names lie: the walk always ends, never
// reads past the file, a chunk or an array, and keeps the sound part of the model.
#include <gtest/gtest.h>

#include <string>

#include "tests/model3ds/model_test_util.h"

using namespace writer3ds;

namespace {

using MalformedFile = ModelFileTest;

const std::vector<Point> TRIANGLE = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};

Bytes RichDocument() {
    return Document(
        {MaterialEntry("wood", {10, 20, 30}, "wood.bmp"),
         Object("a",
                {TriangleMesh({VertexList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 1}}),
                               FaceList({{0, 1, 2, 0}, {1, 3, 2, 0}}, {FaceMaterial("wood", {0, 1}), SmoothingList(2)}),
                               MappingList({{0, 0}, {1, 0}, {0, 1}, {1, 1}})})}),
         Object("lamp", {Light()})});
}

// What must hold of any model the reader returns.
void ExpectSoundModel(const Model& model) {
    ASSERT_EQ(size_t(model.objectCount), model.objects.size());
    ASSERT_EQ(size_t(model.materialCount), model.materials.size());
    for (const MeshObject& object : model.objects) {
        EXPECT_LT(std::strlen(object.name), size_t(MODEL_NAME_SIZE));
        EXPECT_TRUE(object.materialIndex >= -1 && object.materialIndex < std::max(model.materialCount, 1));
        for (int32_t f = 0; f < object.faceCount; ++f) {
            for (int32_t index : object.faces[f].vertexIndex) {
                EXPECT_TRUE(index >= 0 && index < object.vertexCount);
            }
        }
        if (object.vertexCount > 0) {
            EXPECT_NE(object.normals, nullptr);
        }
    }
}

TEST_F(MalformedFile, EveryTruncationEndsTheWalkWithASoundModel) {
    const Bytes whole = RichDocument();
    for (size_t size = 0; size <= whole.size(); ++size) {
        SCOPED_TRACE(size);
        ReleaseModel(model);
        model = Model{};
        bool primaryFound = Import(Bytes(whole.begin(), whole.begin() + long(size)));
        EXPECT_EQ(primaryFound, size >= 2);  // the id alone says "primary"
        ExpectSoundModel(model);
    }
    EXPECT_EQ(model.objectCount, 2);
    EXPECT_EQ(model.objects[0].faceCount, 2);
}

TEST_F(MalformedFile, LengthUnderSixEndsItsLevelAndTheLevelsAboveStayInStep) {
    for (uint32_t length : {0u, 1u, 5u}) {
        SCOPED_TRACE(length);
        ReleaseModel(model);
        model = Model{};
        Bytes broken = ChunkWithLength(0x4110, length, {});
        ASSERT_TRUE(Import(Document({Object("broken", {TriangleMesh({broken, VertexList(TRIANGLE)})}),
                                     Object("next", {TriangleMesh({VertexList(TRIANGLE)})})})));
        ASSERT_EQ(model.objectCount, 2);
        EXPECT_EQ(model.objects[0].vertexCount, 0);  // the rest of the broken mesh is not read
        EXPECT_STREQ(model.objects[1].name, "next");
        EXPECT_EQ(model.objects[1].vertexCount, 3);
    }
}

TEST_F(MalformedFile, ChildRunningPastItsParentIsCutToTheParentsEnd) {
    struct Case {
        const char* what;
        Bytes inside;  // the last chunk of the first object, claiming far more than it has
    };
    Bytes vertexPayload = Cat({U16(3), F32(1), F32(2), F32(3)});
    const Case cases[] = {
        {"unknown chunk", ChunkWithLength(0x7777, 1000000, Bytes(10, 0))},
        {"vertex list", ChunkWithLength(0x4110, 0xFFFFFFFF, vertexPayload)},
        {"triangle mesh", ChunkWithLength(0x4100, 0x80000000, VertexList(TRIANGLE))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ReleaseModel(model);
        model = Model{};
        ASSERT_TRUE(
            Import(Document({Object("long", {c.inside}), Object("next", {TriangleMesh({VertexList(TRIANGLE)})})})));
        ExpectSoundModel(model);
        ASSERT_EQ(model.objectCount, 2);
        EXPECT_STREQ(model.objects[1].name, "next");
        EXPECT_EQ(model.objects[1].vertexCount, 3);
    }
    // The over-long vertex list kept its one vertex and left the other two at the origin.
    ReleaseModel(model);
    model = Model{};
    ASSERT_TRUE(Import(Document({Object("long", {ChunkWithLength(0x4110, 0xFFFFFFFF, vertexPayload)})})));
    ASSERT_EQ(OnlyObject().vertexCount, 3);
    EXPECT_EQ(OnlyObject().vertices[0].y, 3.0f);
    EXPECT_EQ(OnlyObject().vertices[2].x, 0.0f);
}

TEST_F(MalformedFile, NamesLongerThanTheirFieldsAreCut) {
    const std::string longName(300, 'n');
    const std::string cut(MODEL_NAME_SIZE - 1, 'n');
    ASSERT_TRUE(Import(Document(
        {Chunk(0xAFFF, {MaterialName(longName), Chunk(0xA200, Chunk(0xA300, Str(longName)))}),
         Object(longName,
                {TriangleMesh({VertexList(TRIANGLE), FaceList({{0, 1, 2, 0}}, {FaceMaterial(longName, {0})})})})})));
    ASSERT_EQ(model.materialCount, 1);
    EXPECT_EQ(model.materials[0].name, cut);
    EXPECT_EQ(model.materials[0].textureFile, cut);
    EXPECT_EQ(OnlyObject().name, cut);
    EXPECT_EQ(OnlyObject().vertexCount, 3);  // the rest of the name was consumed, not read as chunks
    EXPECT_EQ(OnlyObject().materialIndex, 0);
    EXPECT_TRUE(OnlyObject().hasTexture);
}

TEST_F(MalformedFile, NameWithoutTerminatorEndsAtItsChunk) {
    ASSERT_TRUE(Import(Document({Chunk(0xAFFF, {Chunk(0xA000, Bytes{'a', 'b'}), Chunk(0xA300, Bytes{'t'})})})));
    EXPECT_STREQ(model.materials[0].name, "ab");
    EXPECT_STREQ(model.materials[0].textureFile, "t");
}

TEST_F(MalformedFile, CountsLargerThanTheirPayloadLeaveZeros) {
    Bytes vertices = Chunk(0x4110, Cat({U16(3), F32(1), F32(2), F32(3)}));
    Bytes faces = Chunk(0x4120, Cat({U16(3), U16(2), U16(1), U16(0), U16(0), U16(1)}));  // 1.5 faces
    Bytes mapping = Chunk(0x4140, Cat({U16(3), F32(0.5f), F32(0.25f), F32(0.75f)}));
    ASSERT_TRUE(Import(Document({Object("o", {TriangleMesh({vertices, faces, mapping})})})));
    const MeshObject& object = OnlyObject();
    ASSERT_EQ(object.vertexCount, 3);
    EXPECT_EQ(object.vertices[0].z, -2.0f);
    EXPECT_EQ(object.vertices[1].x, 0.0f);
    EXPECT_EQ(object.vertices[2].z, 0.0f);
    ASSERT_EQ(object.faceCount, 3);
    EXPECT_EQ(object.faces[0].vertexIndex[0], 2);
    EXPECT_EQ(object.faces[1].vertexIndex[0], 1);
    EXPECT_EQ(object.faces[1].vertexIndex[1], 0);
    EXPECT_EQ(object.faces[2].vertexIndex[2], 0);
    ASSERT_EQ(object.texCoordCount, 3);
    EXPECT_EQ(object.texCoords[1].u, 0.75f);
    EXPECT_EQ(object.texCoords[1].v, 0.0f);
    EXPECT_EQ(object.texCoords[2].u, 0.0f);
}

TEST_F(MalformedFile, PayloadsLongerThanTheirRoomAreDiscarded) {
    Bytes vertices = Chunk(0x4110, Cat({U16(1), F32(1), F32(2), F32(3), F32(7), F32(7), F32(7)}));
    Bytes mapping = Chunk(0x4140, Cat({U16(1), F32(0.5f), F32(0.5f), Bytes(13, 0x40)}));
    Bytes colour = Chunk(0xA020, Chunk(0x0011, Bytes{1, 2, 3, 4, 5, 6}));
    ASSERT_TRUE(
        Import(Primary({Chunk(0x0002, Cat({U32(3), U32(99)})),
                        Editor({Chunk(0xAFFF, {MaterialName("m"), colour, MaterialName("m2")}),
                                Object("o", {TriangleMesh({vertices, mapping, FaceList({{0, 0, 0, 0}})})})})})));
    EXPECT_TRUE(fake::g_messageBoxes.empty());  // the version's surplus is not part of it
    EXPECT_STREQ(model.materials[0].name, "m2");
    EXPECT_EQ(model.materials[0].colour[2], 3);
    EXPECT_EQ(OnlyObject().vertexCount, 1);
    EXPECT_EQ(OnlyObject().texCoordCount, 1);
    EXPECT_EQ(OnlyObject().faceCount, 1);
}

TEST_F(MalformedFile, FacesNamingMissingVerticesAreDropped) {
    ASSERT_TRUE(Import(
        Document({Object("o", {TriangleMesh({VertexList(TRIANGLE),
                                             FaceList({{0, 1, 3, 0}, {0, 1, 2, 0}, {65535, 0, 1, 0}, {2, 1, 0, 0}})})}),
                  Object("faces only", {TriangleMesh({FaceList({{0, 0, 0, 0}})})})})));
    ASSERT_EQ(model.objectCount, 2);
    const MeshObject& object = model.objects[0];
    ASSERT_EQ(object.faceCount, 2);
    EXPECT_EQ(object.faces[0].vertexIndex[2], 2);
    EXPECT_EQ(object.faces[1].vertexIndex[0], 2);
    // Two faces of opposite turn cancel: no dropped face reached the sums.
    EXPECT_EQ(object.normals[0].x, 0.0f);
    EXPECT_EQ(object.normals[0].y, 0.0f);
    EXPECT_EQ(model.objects[1].faceCount, 0);
}

TEST_F(MalformedFile, SecondListInAnObjectReplacesTheFirst) {
    ASSERT_TRUE(Import(Document({Object(
        "o",
        {TriangleMesh({VertexList(TRIANGLE), FaceList({{0, 1, 2, 0}}), MappingList({{1, 1}}), VertexList({{5, 5, 5}}),
                       FaceList({{0, 0, 0, 0}, {0, 0, 0, 0}}), MappingList({{2, 2}, {3, 3}})})})})));
    EXPECT_EQ(OnlyObject().vertexCount, 1);
    EXPECT_EQ(OnlyObject().vertices[0].x, 5.0f);
    EXPECT_EQ(OnlyObject().faceCount, 2);
    EXPECT_EQ(OnlyObject().texCoordCount, 2);
    // The first arrays were freed: the leak checker of the sanitizer build would say otherwise.
}

TEST_F(MalformedFile, DeepNestingIsSkippedWithoutExhaustingTheStack) {
    // 20000 triangle meshes, one inside the other, around a vertex list.
    const Bytes inner = VertexList(TRIANGLE);
    std::vector<Bytes> headers;
    for (uint32_t length = uint32_t(inner.size()); headers.size() < 20000;)
        headers.push_back(Cat({U16(0x4100), U32(length += 6)}));
    std::vector<Bytes> parts(headers.rbegin(), headers.rend());
    parts.push_back(inner);
    Bytes nested = Cat(parts);
    ASSERT_TRUE(Import(Document(
        {Object("deep", {nested}), Object("shallow", {TriangleMesh({TriangleMesh({VertexList(TRIANGLE)})})})})));
    ASSERT_EQ(model.objectCount, 2);
    EXPECT_EQ(model.objects[0].vertexCount, 0);
    EXPECT_EQ(model.objects[1].vertexCount, 3);
}

TEST_F(MalformedFile, PrimaryLengthUnderSixReadsNothing) {
    EXPECT_TRUE(Import(Cat({ChunkWithLength(0x4D4D, 3, {}), Object("o", {})})));
    EXPECT_EQ(model.objectCount, 0);
}

}  // namespace
