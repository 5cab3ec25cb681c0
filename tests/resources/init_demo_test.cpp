// InitDemo on a real offscreen GL context with a stand-in G-Audio library: the window and
// client rectangle, the sine table, lighting, the quadric, the thirteen images into their
// records in the table's order, then the music, then the console read whose value it returns.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "app/shell.h"
#include "fake_audio.h"
#include "gl_context.h"
#include "tga_files.h"

using namespace tga_files;

// Until the shell is linked in, InitGraphics is this stand-in: the device context and a real
// context through the platform. Weak, so the shell's own, when linked, takes its place.
__attribute__((weak)) void InitGraphics(int, int) {
    HDC deviceContext = GetDC(g_hwnd);
    wglMakeCurrent(deviceContext, wglCreateContext(deviceContext));
}

namespace {

const std::pair<TextureImage*, const char*> TEXTURE_TABLE[] = {
    {&g_texGrass, "grasmap.TGA"}, {&g_texAll, "all.TGA"},       {&g_texParticle, "part.TGA"},
    {&g_texMetal, "metal.TGA"},   {&g_texFish, "fish.TGA"},     {&g_texFishMetal, "fishmet.TGA"},
    {&g_texIntro1, "INTRO1.TGA"}, {&g_texIntro2, "INTRO2.TGA"}, {&g_texCoder, "coder.TGA"},
    {&g_texDesign, "design.TGA"}, {&g_texQx, "qx.TGA"},         {&g_texMusic, "music.TGA"},
    {&g_texVokra, "vokra.TGA"},
};

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
    }
    void TearDown() override {
        std::filesystem::current_path(previousDir_);
        g_audioLibrary = REAL_AUDIO_LIBRARY;
        fake::Reset();
    }

    // A 2 x 2 image whose every pixel is the colour (index, 2 * index, 255 - index), B, G, R.
    static void WriteImage(const char* name, uint8_t index) {
        Bytes pixels;
        for (int i = 0; i < 4; ++i) pixels.insert(pixels.end(), {uint8_t(255 - index), uint8_t(2 * index), index});
        WriteFile(name, Concat(Header(2, 2, 24), pixels));
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
        EXPECT_EQ(Bytes(image.pixels, image.pixels + 3), (Bytes{uint8_t(i + 1), uint8_t(2 * (i + 1)), uint8_t(254 - i)}));
        EXPECT_TRUE(glIsTexture(image.textureName));
        EXPECT_GT(image.textureName, previousName) << "loaded in the table's order";
        previousName = image.textureName;
    }

    // The client rectangle is read first, the music starts after the images, the console
    // read comes last.
    const std::vector<std::string> calls = CallTexts();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front().rfind("GetClientRect(", 0), 0u) << calls.front();
    const std::vector<std::string> tail(calls.end() - 8, calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"GA_GetDLLVersion()", "GA_GetInterface(0x10100)", "Init(0x3)",
                                              "GetStreamInterface(0x10001)", "Initialize()",
                                              "SetPrimaryDSBuffer(0x1)", "Play()", "_getch()"}));
}

}  // namespace
