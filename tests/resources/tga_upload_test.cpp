// The TGA upload on a real (offscreen) GL context: what GL holds afterwards, read back.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "gl_context.h"
#include "resources/textures.h"
#include "tga_files.h"

using namespace tga_files;

namespace {

class TgaUploadTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(MakeOffscreenGlContext()); }
    void TearDown() override { fake::Reset(); }

    // The texture's level 0 as GL holds it, in the record's own format.
    static Bytes ReadBack(const TextureImage& image) {
        const GLenum format = image.bitsPerPixel == 32 ? GL_RGBA : GL_RGB;
        Bytes pixels(size_t(image.width) * image.height * image.bitsPerPixel / 8);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glBindTexture(GL_TEXTURE_2D, image.textureName);
        glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    ScratchDir dir_;
};

Bytes Ramp(size_t count, uint8_t start) {
    Bytes bytes(count);
    for (size_t i = 0; i < count; ++i) bytes[i] = uint8_t(start + i * 7);
    return bytes;
}

TEST_F(TgaUploadTest, TextureHoldsTheSwappedPixelsInFileRowOrder) {
    struct Case {
        const char* name;
        Bytes file;
        Bytes texture;  // level 0 read back, rows as GL holds them
    };
    const Case cases[] = {
        {"2x1 24-bit", Concat(Header(2, 1, 24), {1, 2, 3, 4, 5, 6}), {3, 2, 1, 6, 5, 4}},
        {"32-bit pixel", Concat(Header(1, 1, 32), {0x10, 0x20, 0x30, 0x40}), {0x30, 0x20, 0x10, 0x40}},
        // The origin bit is not consulted: file row 0 is texture row 0 either way.
        {"top-left origin", Concat(Header(4, 2, 24, 0x20), Ramp(24, 1)), {}},
        {"not a power of two", Concat(Header(12, 3, 32), Ramp(144, 9)), {}},
    };
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(dir_.File("image.tga"), c.file);
        TextureImage image = {};
        ASSERT_TRUE(LoadTgaTexture(&image, dir_.File("image.tga").c_str()));
        const Bytes expected =
            c.texture.empty() ? Bytes(image.pixels, image.pixels + ReadBack(image).size()) : c.texture;
        EXPECT_EQ(ReadBack(image), expected);
        if (c.texture.empty()) {
            // The swap, checked on the first pixel against the file.
            EXPECT_EQ(image.pixels[0], c.file[18 + 2]);
            EXPECT_EQ(image.pixels[2], c.file[18]);
        }
        std::free(image.pixels);
    }
}

TEST_F(TgaUploadTest, TextureIsLinearWithoutMipmapsAndStaysBound) {
    WriteFile(dir_.File("image.tga"), Concat(Header(4, 4, 24), Ramp(48, 3)));
    TextureImage image = {};
    ASSERT_TRUE(LoadTgaTexture(&image, dir_.File("image.tga").c_str()));
    GLint bound = 0, minFilter = 0, magFilter = 0, level1Width = -1, format = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &level1Width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    EXPECT_EQ(GLuint(bound), image.textureName);
    EXPECT_EQ(minFilter, GL_LINEAR);
    EXPECT_EQ(magFilter, GL_LINEAR);
    EXPECT_EQ(level1Width, 0) << "no mipmap levels";
    EXPECT_EQ(format, GL_RGB);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    std::free(image.pixels);
}

// The rows are read with the unpack alignment in force: the loader neither sets nor restores it.
TEST_F(TgaUploadTest, UnpackAlignmentInForceIsUsedAndKept) {
    WriteFile(dir_.File("odd.tga"), Concat(Header(3, 2, 24), Ramp(18, 1)));
    for (GLint alignment : {1, 4, 8}) {
        SCOPED_TRACE(alignment);
        glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
        TextureImage image = {};
        ASSERT_TRUE(LoadTgaTexture(&image, dir_.File("odd.tga").c_str()));
        GLint after = 0;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &after);
        EXPECT_EQ(after, alignment);
        const Bytes texture = ReadBack(image);
        EXPECT_EQ(Bytes(texture.begin(), texture.begin() + 9), Bytes(image.pixels, image.pixels + 9));
        // Row 1 starts 9 bytes in at alignment 1, at the next multiple of the alignment otherwise.
        const size_t stride = (9 + alignment - 1) / alignment * alignment;
        EXPECT_EQ(Bytes(texture.begin() + 9, texture.begin() + 12),
                  Bytes(image.pixels + stride, image.pixels + stride + 3));
        std::free(image.pixels);
    }
}

}  // namespace
