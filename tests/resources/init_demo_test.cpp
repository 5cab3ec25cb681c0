// InitDemo on a real offscreen GL context with a stand-in G-Audio library: the window and
// client rectangle, the sine table, the model and its material textures, lighting, the
// quadric, the thirteen images into their records in the table's order, then the music, then
// the console read whose value it returns.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/shell.h"
#include "fake_audio.h"
#include "gl_context.h"
#include "model3ds/model.h"
#include "resources/demo_images.h"
#include "terrain/terrain.h"
#include "writers/model3ds_writer.h"
#include "tga_files.h"

using namespace tga_files;

// Until the shell is linked in, InitGraphics is this stand-in: the device context and a real
// context through the platform. Weak, so the shell's own, when linked, takes its place.
__attribute__((weak)) void InitGraphics(int, int) {
    HDC deviceContext = GetDC(g_hwnd);
    wglMakeCurrent(deviceContext, wglCreateContext(deviceContext));
}

namespace {

#define TEXTURE_ENTRY(id, record, file) std::pair<TextureImage*, const char*>{&record, file},
const std::pair<TextureImage*, const char*> TEXTURE_TABLE[] = {DEMO_IMAGES(TEXTURE_ENTRY)};
#undef TEXTURE_ENTRY

// The names are the data set's, and the order is the show's: everything else reads the list,
// so this is the one place that would notice it changing.
TEST(DemoImages, KeepTheirNamesAndLoadingOrder) {
    std::string names;
    for (const char* name : DEMO_IMAGE_FILES) names += std::string(name) + " ";
    EXPECT_EQ(names, "grasmap.TGA all.TGA part.TGA metal.TGA fish.TGA fishmet.TGA INTRO1.TGA INTRO2.TGA "
                     "coder.TGA design.TGA qx.TGA music.TGA vokra.TGA ");
    EXPECT_EQ(TEXTURE_TABLE[0].first, &g_texGrass);
    EXPECT_EQ(TEXTURE_TABLE[12].first, &g_texVokra);
}

TEST(FillSinTable, OneTurnInTwoHundredFiftySixStepsWithTheDecimalPi) {
    FillSinTable();
    EXPECT_EQ(g_sinTable[0], 0.0f);
    EXPECT_EQ(g_sinTable[64], 1.0f);
    EXPECT_EQ(g_sinTable[192], -1.0f);
    // sin(3.141592654) = -(3.141592654 - pi): not 0, because the constant overshoots pi.
    EXPECT_NE(g_sinTable[128], 0.0f);
    EXPECT_NEAR(g_sinTable[128], -4.1020686e-10, 1e-16);
    EXPECT_NEAR(g_sinTable[32], 0.70710678, 1e-7);
}

class InitDemoTest : public testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        fake::g_answers.realGlContext = true;
        fake::g_answers.clientRect = {0, 0, 640, 480};
        fake::g_answers.getch = 42;
        InstallFakeAudio();
        previousDir_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_.path());
        for (auto& [image, name] : TEXTURE_TABLE) *image = {};
        ReleaseModel();
        g_model = Model{};
        std::memset(g_modelTextures, 0, sizeof g_modelTextures);
    }
    void TearDown() override {
        std::filesystem::current_path(previousDir_);
        g_audioLibrary = REAL_AUDIO_LIBRARY;
        fake::Reset();
        ReleaseModel();
    }

    // A 2 x 2 image whose every pixel is the colour (index, 2 * index, 255 - index), B, G, R.
    static void WriteImage(const char* name, uint8_t index) {
        Bytes pixels;
        for (int i = 0; i < 4; ++i) pixels.insert(pixels.end(), {uint8_t(255 - index), uint8_t(2 * index), index});
        WriteFile(name, Concat(Header(2, 2, 24), pixels));
    }

    // "dinos.3ds" with one material whose picture is `picture`, and one triangle of it.
    static void WriteModel(const char* picture) {
        using namespace writer3ds;
        tga_files::WriteFile(
            "dinos.3ds", Document({MaterialEntry("skin", {1, 2, 3}, picture),
                                   Object("tri", {TriangleMesh({VertexList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}),
                                                                FaceList({{0, 1, 2, 0}}, {FaceMaterial("skin", {0})}),
                                                                MappingList({{0, 0}, {1, 0}, {0, 1}})})})}));
    }

    // A 2 x 2 24-bit BMP of one colour: file header, info header, rows of 6 pixel bytes
    // padded to 8.
    static void WriteBmp(const char* name, uint8_t r, uint8_t g, uint8_t b) {
        using writer3ds::U16;
        using writer3ds::U32;
        Bytes file = Concat(Concat(Bytes{'B', 'M'}, U32(70)), Concat(U32(0), U32(54)));
        for (const Bytes& field :
             {U32(40), U32(2), U32(2), U16(1), U16(24), U32(0), U32(16), U32(0), U32(0), U32(0), U32(0)})
            file = Concat(file, field);
        for (int row = 0; row < 2; ++row) file = Concat(file, Bytes{b, g, r, b, g, r, 0, 0});
        WriteFile(name, file);
    }

    ScratchDir dir_;
    std::filesystem::path previousDir_;
};

TEST_F(InitDemoTest, PreparesEverythingInOrderAndReturnsTheConsoleKey) {
    // Every other image exists; the missing ones keep texture name 0 and the show goes on.
    for (size_t i = 0; i < std::size(TEXTURE_TABLE); i += 2) WriteImage(TEXTURE_TABLE[i].second, uint8_t(i + 1));
    testing::internal::CaptureStdout();
    const int key = InitDemo(fake::FakeWindow());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "G-Audio DLL loaded version: 1.1.0\n\n");
    EXPECT_EQ(key, 42);

    EXPECT_EQ(g_hwnd, fake::FakeWindow());
    EXPECT_EQ(g_clientRect.right, 640);
    EXPECT_EQ(g_clientRect.bottom, 480);
    EXPECT_EQ(g_sinTable[64], 1.0f);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_NE(g_quadric, nullptr);

    // There is no "dinos.3ds" here: the import says so in its own box and the show goes on
    // with an empty model.
    ASSERT_EQ(fake::g_messageBoxes.size(), 1u);
    EXPECT_EQ(fake::g_messageBoxes[0].text, "Unable to find the file: dinos.3ds!");
    EXPECT_EQ(fake::g_messageBoxes[0].caption, "Error");
    EXPECT_EQ(g_model.objectCount, 0);

    GLuint previousName = 0;
    for (size_t i = 0; i < std::size(TEXTURE_TABLE); ++i) {
        const TextureImage& image = *TEXTURE_TABLE[i].first;
        SCOPED_TRACE(TEXTURE_TABLE[i].second);
        if (i % 2 != 0) {
            EXPECT_EQ(image.textureName, 0u);
            EXPECT_EQ(image.pixels, nullptr);
            continue;
        }
        ASSERT_NE(image.pixels, nullptr);
        EXPECT_EQ(Bytes(image.pixels, image.pixels + 3),
                  (Bytes{uint8_t(i + 1), uint8_t(2 * (i + 1)), uint8_t(254 - i)}));
        EXPECT_TRUE(glIsTexture(image.textureName));
        EXPECT_GT(image.textureName, previousName) << "loaded in the table's order";
        previousName = image.textureName;
    }

    // The client rectangle is read first, the music starts after the images, the console
    // read comes last.
    const std::vector<std::string> calls = CallTexts();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front().rfind("GetClientRect(", 0), 0u) << calls.front();
    auto firstCall = [&calls](const char* name) {
        return std::find_if(calls.begin(), calls.end(),
                            [name](const std::string& c) { return c.rfind(name, 0) == 0; }) -
               calls.begin();
    };
    EXPECT_LT(firstCall("wglMakeCurrent("), firstCall("MessageBoxA("))
        << "the model is imported once the context exists";
    const std::vector<std::string> tail(calls.end() - 8, calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"GA_GetDLLVersion()", "GA_GetInterface(0x10100)", "Init(0x3)",
                                              "GetStreamInterface(0x10001)", "Initialize()", "SetPrimaryDSBuffer(0x1)",
                                              "Play()", "_getch()"}));
}

TEST_F(InitDemoTest, ModelAndItsMaterialTexturesComeBeforeTheImages) {
    WriteModel("skin.bmp");
    WriteBmp("skin.bmp", 10, 200, 30);
    WriteImage("grasmap.TGA", 1);
    testing::internal::CaptureStdout();
    InitDemo(fake::FakeWindow());
    testing::internal::GetCapturedStdout();

    EXPECT_TRUE(fake::g_messageBoxes.empty());
    ASSERT_EQ(g_model.objectCount, 1);
    EXPECT_TRUE(g_model.objects[0].hasTexture);
    const GLuint texture = g_modelTextures[0];
    ASSERT_TRUE(glIsTexture(texture));
    EXPECT_LT(texture, g_texGrass.textureName) << "the model's textures are made first";
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 1) << "left in force for the images loaded after the model";

    // The picture reached the texture, with its mipmaps and their filter.
    glBindTexture(GL_TEXTURE_2D, texture);
    uint8_t pixels[2 * 2 * 3] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);  // rows of 6 bytes, read back without padding
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Bytes(pixels + 3 * i, pixels + 3 * i + 3), (Bytes{10, 200, 30})) << i;
    GLint smallestWidth = 0, minFilter = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &smallestWidth);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(smallestWidth, 1);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_NEAREST);
}

// What start-up had done when the process ended, written at its exit for the death test.
void ReportStartUpAtExit() {
    for (const fake::MessageBoxShown& box : fake::g_messageBoxes)
        std::fprintf(stderr, "[box %s: %s]", box.caption.c_str(), box.text.c_str());
    int images = 0;
    for (auto& [image, name] : TEXTURE_TABLE) images += image->textureName != 0;
    int musicCalls = 0;
    for (const fake::Call& call : fake::g_calls) musicCalls += call.name == "GA_GetDLLVersion";
    std::fprintf(stderr, "[height %d][images %d][music %d]", int(g_heightMap[0]), images, musicCalls);
}

TEST_F(InitDemoTest, UnreadableMaterialPictureEndsStartUpWithStatusZeroBeforeAnythingLater) {
    // The context's driver runs threads: the child starts afresh instead of forking them.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    WriteModel("gone.bmp");
    for (auto& [image, name] : TEXTURE_TABLE) WriteImage(name, 5);
    WriteFile("vulc.raw", Bytes(512 * 512, 7));
    EXPECT_EXIT(
        {
            std::atexit(ReportStartUpAtExit);
            InitDemo(fake::FakeWindow());
            std::exit(1);
        },
        testing::ExitedWithCode(0),
        "\\[box Error: Failed to open DIB file gone\\.bmp\\.\n\\]\\[height 0\\]\\[images 0\\]\\[music 0\\]$");
}

}  // namespace
