// The default data set read back through the demo's own readers: what the generator meant is
// what the demo gets. The files are written once into a scratch folder by the generator itself.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "data_set.h"
#include "dinosaurs.h"
#include "model3ds/model.h"
#include "platform/fake_platform.h"
#include "resources/bmp.h"
#include "resources/demo_images.h"
#include "resources/textures.h"
#include "terrain/terrain.h"

namespace {

namespace fs = std::filesystem;

class DataSetRoundTrip : public testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = fs::temp_directory_path() / ("vrex-round-trip-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        ASSERT_TRUE(WriteDataSet(folder, VREX_DATA_FONT));
    }
    static void TearDownTestSuite() { fs::remove_all(folder); }
    void SetUp() override { fake::Reset(); }

    static std::string File(const char* name) { return (folder / name).string(); }
    static fs::path folder;
};

fs::path DataSetRoundTrip::folder;

bool IsPowerOfTwo(uint32_t n) { return n != 0 && (n & (n - 1)) == 0; }

TEST_F(DataSetRoundTrip, EveryPictureDecodesWithSidesThatArePowersOfTwo) {
    for (const char* name : DEMO_IMAGE_FILES) {
        SCOPED_TRACE(name);
        TextureImage image = {};
        ASSERT_EQ(DecodeTgaFile(&image, File(name).c_str()), TgaStatus::Ok);
        EXPECT_TRUE(IsPowerOfTwo(image.width) && IsPowerOfTwo(image.height));
        EXPECT_TRUE(image.bitsPerPixel == 24 || image.bitsPerPixel == 32);
        std::free(image.pixels);
    }
}

TEST_F(DataSetRoundTrip, PalettisedSkinReadsBackAsItsPaletteColours) {
    const IndexedImage skin = PaintTheropodSkin();
    RgbImage* image = LoadBmpImage(File("theropod.bmp").c_str());
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->width, skin.width);
    ASSERT_EQ(image->height, skin.height);
    int wrong = 0;
    for (int row = 0; row < skin.height; ++row) {  // the reader's rows run bottom-up
        for (int x = 0; x < skin.width; ++x) {
            const Rgba& c = skin.palette[skin.indices[size_t(skin.height - 1 - row) * skin.width + x]];
            const uint8_t* got = image->data + (size_t(row) * skin.width + x) * 3;
            wrong += got[0] != RoundChannel(c.r) || got[1] != RoundChannel(c.g) || got[2] != RoundChannel(c.b);
        }
    }
    EXPECT_EQ(wrong, 0);
    std::free(image->data);
    std::free(image);
    EXPECT_TRUE(fake::g_messageBoxes.empty());
}

TEST_F(DataSetRoundTrip, TrueColourSkinReadsBackWhole) {
    RgbImage* image = LoadBmpImage(File("sauropod.bmp").c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_GT(image->width, 0);
    EXPECT_GT(image->height, 0);
    std::free(image->data);
    std::free(image);
    EXPECT_TRUE(fake::g_messageBoxes.empty());
}

TEST_F(DataSetRoundTrip, ModelReadsBackAsBuiltInTheDemosAxes) {
    const ModelDescription built = BuildDinosaurs();
    Model model = {};
    ModelLoader loader;
    ASSERT_TRUE(loader.Import(model, File("dinos.3ds").c_str()));
    EXPECT_TRUE(fake::g_messageBoxes.empty());

    ASSERT_EQ(model.materialCount, int(built.materials.size()));
    for (size_t m = 0; m < built.materials.size(); ++m) {
        SCOPED_TRACE(built.materials[m].name);
        EXPECT_EQ(std::string(model.materials[m].name), built.materials[m].name);
        EXPECT_EQ(std::string(model.materials[m].textureFile), built.materials[m].textureFile);
        EXPECT_EQ(model.materials[m].colour[0], built.materials[m].red);
        EXPECT_EQ(model.materials[m].colour[1], built.materials[m].green);
        EXPECT_EQ(model.materials[m].colour[2], built.materials[m].blue);
    }

    ASSERT_EQ(model.objectCount, int(built.objects.size()));
    for (size_t o = 0; o < built.objects.size(); ++o) {
        const ModelObject& want = built.objects[o];
        const MeshObject& got = model.objects[o];
        SCOPED_TRACE(want.name);
        EXPECT_EQ(std::string(got.name), want.name);
        ASSERT_EQ(got.vertexCount, int(want.mesh.vertices.size()));
        ASSERT_EQ(got.faceCount, int(want.mesh.faces.size()));
        for (int v = 0; v < got.vertexCount; ++v) {
            EXPECT_EQ(got.vertices[v].x, want.mesh.vertices[v].x);
            EXPECT_EQ(got.vertices[v].y, want.mesh.vertices[v].y);
            EXPECT_EQ(got.vertices[v].z, want.mesh.vertices[v].z);
        }
        for (int f = 0; f < got.faceCount; ++f)
            for (int k = 0; k < 3; ++k) EXPECT_EQ(got.faces[f].vertexIndex[k], want.mesh.faces[f][k]);
        ASSERT_GE(got.materialIndex, 0);
        const Material& material = model.materials[size_t(got.materialIndex)];
        EXPECT_EQ(material.name, want.material);
        EXPECT_EQ(got.hasTexture, material.textureFile[0] != '\0');
        if (got.hasTexture) {
            ASSERT_NE(got.texCoords, nullptr);
            ASSERT_EQ(got.texCoordCount, int(want.mesh.texture.size()));
            for (int t = 0; t < got.texCoordCount; ++t) {
                EXPECT_EQ(got.texCoords[t].u, want.mesh.texture[t].u);
                EXPECT_EQ(got.texCoords[t].v, want.mesh.texture[t].v);
            }
        }
    }
    ReleaseModel(model);
}

TEST_F(DataSetRoundTrip, HeightMapReadsBackEntryForEntry) {
    const DataFileMaker* maker = FindDataFileMaker("vulc.raw");
    ASSERT_NE(maker, nullptr);
    const Bytes bytes = maker->make(VREX_DATA_FONT);
    ASSERT_EQ(bytes.size(), size_t(MAP_SIZE) * MAP_SIZE);
    EXPECT_EQ(LoadHeightMapFile(File("vulc.raw").c_str()), MAP_SIZE * MAP_SIZE);
    const int32_t* entries = g_heightMap;
    int wrong = 0;
    for (size_t i = 0; i < bytes.size(); ++i) wrong += entries[i] != bytes[i];
    EXPECT_EQ(wrong, 0);
}

}  // namespace
