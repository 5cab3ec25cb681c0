// The chunk reader on well-formed files: what each chunk becomes, and how the walk counts.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/model3ds/model_test_util.h"

using namespace writer3ds;

namespace {

using ChunkReader = ModelFileTest;

void ExpectVector(const Vector3& v, float x, float y, float z) {
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}

const std::vector<Point> TRIANGLE = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};

TEST_F(ChunkReader, SixteenByteFileReadsSilentlyUpToVersionThreeAndWarnsAbove) {
    struct Case {
        uint8_t version;
        bool warns;
    };
    for (Case c : {Case{3, false}, Case{4, true}, Case{0, false}, Case{255, true}}) {
        SCOPED_TRACE(int(c.version));
        fake::Reset();
        Model fresh;
        model = fresh;
        EXPECT_TRUE(Import(
            {0x4D, 0x4D, 0x10, 0x00, 0x00, 0x00, 0x02, 0x00, 0x0A, 0x00, 0x00, 0x00, c.version, 0x00, 0x00, 0x00}));
        EXPECT_EQ(model.objectCount, 0);
        EXPECT_EQ(model.materialCount, 0);
        EXPECT_TRUE(model.objects.empty());
        if (!c.warns) {
            EXPECT_TRUE(fake::g_messageBoxes.empty());
            continue;
        }
        ASSERT_EQ(fake::g_messageBoxes.size(), 1u);
        const fake::MessageBoxShown& box = fake::g_messageBoxes[0];
        EXPECT_EQ(box.owner, nullptr);
        EXPECT_EQ(box.text, "This 3DS file is over version 3 so it may load incorrectly");
        EXPECT_EQ(box.caption, "Warning");
        EXPECT_EQ(box.type, MB_OK);
    }
}

TEST_F(ChunkReader, WarningComesBeforeTheRestOfTheFileIsRead) {
    // The model after the warning is read in full: reading goes on.
    EXPECT_TRUE(Import(Primary({Version(4), Editor({Object("after", {TriangleMesh({VertexList(TRIANGLE)})})})})));
    EXPECT_EQ(fake::g_messageBoxes.size(), 1u);
    EXPECT_EQ(OnlyObject().vertexCount, 3);
}

TEST_F(ChunkReader, FailuresShowTheirErrorAndLeaveTheModelEmpty) {
    struct Case {
        const char* what;
        bool writeFile;
        Bytes bytes;
        std::string text;
    };
    const Case cases[] = {
        {"missing file", false, {}, "Unable to find the file: " + path + "!"},
        {"not a primary chunk", true, Chunk(0x3D3D, Bytes{}), "Unable to load PRIMARY chuck from file: " + path + "!"},
        {"empty file", true, {}, "Unable to load PRIMARY chuck from file: " + path + "!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake::Reset();
        std::remove(path.c_str());
        if (c.writeFile) WriteFile(path, c.bytes);
        EXPECT_FALSE(loader.Import(model, path.c_str()));
        ASSERT_EQ(fake::g_messageBoxes.size(), 1u);
        EXPECT_EQ(fake::g_messageBoxes[0].owner, nullptr);
        EXPECT_EQ(fake::g_messageBoxes[0].text, c.text);
        EXPECT_EQ(fake::g_messageBoxes[0].caption, "Error");
        EXPECT_EQ(fake::g_messageBoxes[0].type, MB_OK);
        EXPECT_EQ(model.objectCount, 0);
        EXPECT_TRUE(model.objects.empty());
        EXPECT_TRUE(model.materials.empty());
    }
}

TEST_F(ChunkReader, LongPathIsCutToTheMessageBuffer) {
    std::string longPath = path + std::string(400, 'x');
    EXPECT_FALSE(loader.Import(model, longPath.c_str()));
    ASSERT_EQ(fake::g_messageBoxes.size(), 1u);
    EXPECT_EQ(fake::g_messageBoxes[0].text, ("Unable to find the file: " + longPath).substr(0, 254));
}

TEST_F(ChunkReader, EmptyPrimaryChunkGivesAnEmptyModel) {
    EXPECT_TRUE(Import(Primary({})));
    EXPECT_EQ(model.objectCount, 0);
    EXPECT_EQ(model.materialCount, 0);
    EXPECT_TRUE(fake::g_messageBoxes.empty());
}

TEST_F(ChunkReader, FileZBecomesUpAndFileYBecomesMinusZ) {
    ASSERT_TRUE(Import(Document({Object("o", {TriangleMesh({VertexList({{1, 2, 3}, {-4, 0.5f, 0}})})})})));
    const MeshObject& object = OnlyObject();
    ASSERT_EQ(object.vertexCount, 2);
    ExpectVector(object.vertices[0], 1, 3, -2);
    ExpectVector(object.vertices[1], -4, 0, -0.5f);
}

TEST_F(ChunkReader, FaceFlagWordNeverReachesTheModel) {
    ASSERT_TRUE(Import(
        Document({Object("o", {TriangleMesh({VertexList(TRIANGLE), FaceList({{0, 1, 2, 7}, {2, 1, 0, 0xFFFF}})})})})));
    const MeshObject& object = OnlyObject();
    ASSERT_EQ(object.faceCount, 2);
    EXPECT_EQ(std::vector<int32_t>(object.faces[0].vertexIndex, object.faces[0].vertexIndex + 3),
              (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ(std::vector<int32_t>(object.faces[1].vertexIndex, object.faces[1].vertexIndex + 3),
              (std::vector<int32_t>{2, 1, 0}));
}

TEST_F(ChunkReader, FaceMaterialGroupsPickTheObjectsMaterial) {
    const Bytes textured = MaterialEntry("wood", {10, 20, 30}, "wood.bmp");
    const Bytes plain = MaterialEntry("paint", {200, 0, 0});
    struct Case {
        const char* what;
        std::vector<Bytes> before;  // editor chunks before the object
        std::vector<Bytes> groups;  // face-material groups nested in the face list
        std::vector<Bytes> after;   // editor chunks after the object
        int32_t materialIndex;
        bool hasTexture;
    };
    const Case cases[] = {
        {"no group keeps zero", {textured, plain}, {}, {}, 0, false},
        {"textured group", {plain, textured}, {FaceMaterial("wood", {0})}, {}, 1, true},
        {"last group decides, texture stays",
         {textured, plain},
         {FaceMaterial("wood", {0}), FaceMaterial("paint", {0})},
         {},
         1,
         true},
        {"untextured then textured",
         {textured, plain},
         {FaceMaterial("paint", {0}), FaceMaterial("wood", {0})},
         {},
         0,
         true},
        {"later material is unknown", {plain}, {FaceMaterial("wood", {0})}, {textured}, -1, false},
        {"unknown after known", {textured}, {FaceMaterial("wood", {0}), FaceMaterial("none", {0})}, {}, -1, true},
        {"names compare case-sensitively", {plain}, {FaceMaterial("PAINT", {0})}, {}, -1, false},
        {"no materials leave zero", {}, {FaceMaterial("paint", {0})}, {}, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ReleaseModel(model);
        model = Model{};
        std::vector<Bytes> editor = c.before;
        editor.push_back(Object("o", {TriangleMesh({VertexList(TRIANGLE), FaceList({{0, 1, 2, 0}}, c.groups)})}));
        editor.insert(editor.end(), c.after.begin(), c.after.end());
        ASSERT_TRUE(Import(Document(editor)));
        EXPECT_EQ(OnlyObject().materialIndex, c.materialIndex);
        EXPECT_EQ(OnlyObject().hasTexture, c.hasTexture);
    }
}

TEST_F(ChunkReader, FirstColourSubChunkWins) {
    ASSERT_TRUE(
        Import(Document({Chunk(0xAFFF, {MaterialName("m"), Diffuse({Colour24(1, 2, 3), Chunk(0x0012, Bytes{9, 9, 9})}),
                                        Chunk(0xA300, Str("direct.bmp"))})})));
    ASSERT_EQ(model.materialCount, 1);
    EXPECT_EQ(std::vector<uint8_t>(model.materials[0].colour, model.materials[0].colour + 3),
              (std::vector<uint8_t>{1, 2, 3}));
    // A file name straight under the material is honoured too; the walk stayed in step.
    EXPECT_STREQ(model.materials[0].textureFile, "direct.bmp");
}

TEST_F(ChunkReader, UnknownChunksOfAnyLengthArePassedOverExactly) {
    for (uint32_t payload : {0u, 1u, 5u, 6u, 4095u, 4096u, 70000u}) {
        SCOPED_TRACE(payload);
        ReleaseModel(model);
        model = Model{};
        // An unknown chunk whose payload looks like chunks, at each of the three levels.
        Bytes decoy(payload, 0x41);
        Bytes unknown = Chunk(0x7777, decoy);
        ASSERT_TRUE(Import(
            Primary({unknown, Editor({unknown, Chunk(0xAFFF, {unknown, MaterialName("m")}),
                                      Object("o", {unknown, TriangleMesh({unknown, VertexList(TRIANGLE)})})})})));
        ASSERT_EQ(model.materialCount, 1);
        EXPECT_STREQ(model.materials[0].name, "m");
        EXPECT_EQ(OnlyObject().vertexCount, 3);
    }
}

TEST_F(ChunkReader, ObjectWithoutTriangleMeshHasNoGeometry) {
    ASSERT_TRUE(Import(Document({Object("lamp", {Light()}), Object("box", {TriangleMesh({VertexList(TRIANGLE)})})})));
    ASSERT_EQ(model.objectCount, 2);
    const MeshObject& lamp = model.objects[0];
    EXPECT_STREQ(lamp.name, "lamp");
    EXPECT_EQ(lamp.vertexCount, 0);
    EXPECT_EQ(lamp.faceCount, 0);
    EXPECT_EQ(lamp.texCoordCount, 0);
    EXPECT_EQ(lamp.vertices, nullptr);
    EXPECT_EQ(lamp.texCoords, nullptr);
    EXPECT_EQ(lamp.faces, nullptr);
    EXPECT_STREQ(model.objects[1].name, "box");
    EXPECT_EQ(model.objects[1].vertexCount, 3);
}

TEST_F(ChunkReader, IdsAreHonouredOneLevelUp) {
    // An object straight under the primary chunk, a vertex list straight under the object.
    ASSERT_TRUE(Import(Primary({Object("o", {VertexList(TRIANGLE), FaceList({{0, 1, 2, 0}})})})));
    EXPECT_EQ(OnlyObject().vertexCount, 3);
    EXPECT_EQ(OnlyObject().faceCount, 1);
}

// The groups and the smoothing list nested in the face list are read by the object walk.
Bytes MeshWithNestedGroups() {
    return TriangleMesh({VertexList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}),
                         FaceList({{0, 1, 2, 7}, {1, 3, 2, 7}}, {FaceMaterial("m", {0, 1}), SmoothingList(2)}),
                         MappingList({{0, 0}, {1, 0}, {0, 1}, {1, 1}})});
}

TEST_F(ChunkReader, TriangleMeshIsCountedToItsLengthThroughTheNestedFaceList) {
    Bytes mesh = MeshWithNestedGroups();
    model.materials.push_back(Material{});
    std::strcpy(model.materials[0].name, "m");
    model.materialCount = 1;
    MeshObject object{};
    loader.StartReading(mesh.data(), mesh.size());
    ChunkInfo chunk{};
    loader.ReadChunkHeader(chunk);
    loader.ReadObjectChunks(model, object, chunk);
    EXPECT_EQ(chunk.bytesRead, chunk.length);
    EXPECT_EQ(chunk.length, mesh.size());
    EXPECT_EQ(loader.position, mesh.size());
    EXPECT_EQ(object.faceCount, 2);
    EXPECT_EQ(object.texCoordCount, 4);
    EXPECT_EQ(object.materialIndex, 0);
    loader.Finish();
    Model owner;
    owner.objects.push_back(object);
    owner.objectCount = 1;
    ReleaseModel(owner);
}

TEST_F(ChunkReader, ChunkAfterANestedFaceListIsReadFromTheRightPlace) {
    ASSERT_TRUE(Import(Document({MaterialEntry("m", {1, 2, 3}), Object("first", {MeshWithNestedGroups()}),
                                 Object("second", {TriangleMesh({VertexList(TRIANGLE)})})})));
    ASSERT_EQ(model.objectCount, 2);
    EXPECT_EQ(model.objects[0].materialIndex, 0);
    EXPECT_EQ(model.objects[0].texCoordCount, 4);
    ASSERT_EQ(model.objects[0].texCoords[3].u, 1);
    EXPECT_STREQ(model.objects[1].name, "second");
    EXPECT_EQ(model.objects[1].vertexCount, 3);
}

TEST_F(ChunkReader, BytesAfterThePrimaryChunkAreNeverRead) {
    Bytes primary = Document({Object("inside", {})});
    Bytes file = Cat({primary, Object("outside", {}), Bytes(100, 0xFF)});
    loader.StartReading(file.data(), file.size());
    loader.ReadChunkHeader(*loader.current);
    loader.ReadChunks(model, *loader.current);
    EXPECT_EQ(loader.position, primary.size());
    EXPECT_EQ(loader.current->bytesRead, primary.size());
    loader.Finish();
    ASSERT_EQ(model.objectCount, 1);
    EXPECT_STREQ(model.objects[0].name, "inside");
}

TEST_F(ChunkReader, SameLoaderImportsAgainAfterFinish) {
    Bytes file = Document({Object("o", {TriangleMesh({VertexList(TRIANGLE), FaceList({{0, 1, 2, 0}})})})});
    ASSERT_TRUE(Import(file));
    EXPECT_EQ(loader.current, nullptr);  // Finish released the records
    Model second;
    ASSERT_TRUE(loader.Import(second, path.c_str()));
    ASSERT_EQ(second.objectCount, 1);
    EXPECT_EQ(second.objects[0].faceCount, 1);
    ExpectVector(second.objects[0].normals[0], 0, 1, 0);
    ReleaseModel(second);
}

TEST_F(ChunkReader, ReleaseModelFreesEveryArrayAndKeepsTheCounts) {
    ASSERT_TRUE(Import(Document({Object("textured", {MeshWithNestedGroups()}),
                                 Object("bare", {TriangleMesh({VertexList(TRIANGLE)})}), Object("lamp", {Light()})})));
    ASSERT_NE(model.objects[0].texCoords, nullptr);
    ASSERT_EQ(model.objects[1].texCoords, nullptr);
    ReleaseModel(model);
    for (const MeshObject& object : model.objects) {
        EXPECT_EQ(object.faces, nullptr);
        EXPECT_EQ(object.normals, nullptr);
        EXPECT_EQ(object.vertices, nullptr);
        EXPECT_EQ(object.texCoords, nullptr);
    }
    EXPECT_EQ(model.objectCount, 3);
    EXPECT_EQ(model.objects[0].vertexCount, 4);
    ReleaseModel(model);  // nothing is freed twice
}

TEST_F(ChunkReader, GlobalModelAfterAFailedImportReleasesNothing) {
    std::remove(path.c_str());
    EXPECT_FALSE(g_modelLoader.Import(g_model, path.c_str()));
    EXPECT_EQ(g_model.objectCount, 0);
    ReleaseModel();
    EXPECT_TRUE(g_model.objects.empty());
}

}  // namespace
