// The TGA loader without a GL context: what DecodeTgaFile leaves in the record for each kind
// of file, agreement with ImageMagick's own reading of the TGA files it writes, and the exact
// GL calls LoadTgaTexture makes (recorded by the GL stand-in).
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>
#include <cstring>

#include "tests/support/gl_recorder.h"
#include "resources/textures.h"
#include "tga_files.h"

using namespace tga_files;

namespace {

uint8_t g_untouchedByte;
uint8_t* const UNTOUCHED_PIXELS = &g_untouchedByte;
// A record whose every field shows whether the loader wrote it.
constexpr TextureImage UNTOUCHED = {UNTOUCHED_PIXELS, 7, 5, 6, 0};

Bytes Pixels(std::initializer_list<uint8_t> bytes) { return Bytes(bytes); }

// What a decode must leave: the status, the three sizes, and the pixels (`untouched`, null,
// or the bytes expected after the red/blue swap).
struct DecodeCase {
    const char* name;
    Bytes file;
    TgaStatus status;
    uint32_t width, height, bitsPerPixel;
    enum { KEEPS_PIXELS, NULL_PIXELS, HAS_PIXELS } pixelState;
    Bytes pixels;
};

std::vector<DecodeCase> DecodeCases() {
    const Bytes twoByOne = Concat(Header(2, 1, 24), Pixels({1, 2, 3, 4, 5, 6}));
    // clang-format off
    return {
        {"2x1 24-bit", twoByOne, TgaStatus::Ok, 2, 1, 24, DecodeCase::HAS_PIXELS, {3, 2, 1, 6, 5, 4}},
        {"32-bit pixel keeps green and alpha", Concat(Header(1, 1, 32), Pixels({0x10, 0x20, 0x30, 0x40})),
         TgaStatus::Ok, 1, 1, 32, DecodeCase::HAS_PIXELS, {0x30, 0x20, 0x10, 0x40}},
        {"top-left origin keeps the file's row order",
         Concat(Header(1, 2, 24, 0x20), Pixels({1, 2, 3, 4, 5, 6})), TgaStatus::Ok, 1, 2, 24,
         DecodeCase::HAS_PIXELS, {3, 2, 1, 6, 5, 4}},
        {"bytes after the pixels are ignored", Concat(twoByOne, Pixels({9, 9, 9})), TgaStatus::Ok, 2, 1, 24,
         DecodeCase::HAS_PIXELS, {3, 2, 1, 6, 5, 4}},
        {"run-length encoded", With(twoByOne, 2, 10), TgaStatus::BadHeader, 5, 6, 7, DecodeCase::KEEPS_PIXELS, {}},
        {"colour-mapped", With(With(With(twoByOne, 1, 1), 2, 1), 7, 24), TgaStatus::BadHeader, 5, 6, 7,
         DecodeCase::KEEPS_PIXELS, {}},
        {"grey", With(twoByOne, 2, 3), TgaStatus::BadHeader, 5, 6, 7, DecodeCase::KEEPS_PIXELS, {}},
        {"image ID", With(twoByOne, 0, 3), TgaStatus::BadHeader, 5, 6, 7, DecodeCase::KEEPS_PIXELS, {}},
        {"x origin", With(twoByOne, 8, 1), TgaStatus::BadHeader, 5, 6, 7, DecodeCase::KEEPS_PIXELS, {}},
        {"y origin", With(twoByOne, 11, 1), TgaStatus::BadHeader, 5, 6, 7, DecodeCase::KEEPS_PIXELS, {}},
        {"prefix short", Truncated(twoByOne, 11), TgaStatus::BadHeader, 5, 6, 7, DecodeCase::KEEPS_PIXELS, {}},
        {"size fields short", Truncated(twoByOne, 17), TgaStatus::BadHeader, 5, 6, 7, DecodeCase::KEEPS_PIXELS, {}},
        {"16-bit sets width and height only", Concat(Header(3, 4, 16), Pixels({1, 2, 3, 4})),
         TgaStatus::BadFormat, 3, 4, 7, DecodeCase::KEEPS_PIXELS, {}},
        {"zero width", Header(0, 4, 24), TgaStatus::BadFormat, 0, 4, 7, DecodeCase::KEEPS_PIXELS, {}},
        {"zero height", Header(4, 0, 32), TgaStatus::BadFormat, 4, 0, 7, DecodeCase::KEEPS_PIXELS, {}},
        {"one byte short frees the buffer", Truncated(twoByOne, 23), TgaStatus::ShortPixels, 2, 1, 24,
         DecodeCase::NULL_PIXELS, {}},
        {"no pixels at all", Header(2, 2, 32), TgaStatus::ShortPixels, 2, 2, 32, DecodeCase::NULL_PIXELS, {}},
        // 32768 x 32768 x 4 is exactly 2^32 bytes, one more than 32 bits hold.
        {"byte count of 2^32", Header(32768, 32768, 32), TgaStatus::TooLarge, 32768, 32768, 32,
         DecodeCase::NULL_PIXELS, {}},
        {"largest sides", Header(65535, 65535, 24), TgaStatus::TooLarge, 65535, 65535, 24,
         DecodeCase::NULL_PIXELS, {}},
    };
    // clang-format on
}

TEST(DecodeTgaFile, LeavesTheRecordAsItsFailureTableSays) {
    ScratchDir dir;
    for (const DecodeCase& c : DecodeCases()) {
        SCOPED_TRACE(c.name);
        WriteFile(dir.File("image.tga"), c.file);
        TextureImage image = UNTOUCHED;
        EXPECT_EQ(DecodeTgaFile(&image, dir.File("image.tga").c_str()), c.status);
        EXPECT_EQ(image.width, c.width);
        EXPECT_EQ(image.height, c.height);
        EXPECT_EQ(image.bitsPerPixel, c.bitsPerPixel);
        EXPECT_EQ(image.textureName, 0u);
        switch (c.pixelState) {
        case DecodeCase::KEEPS_PIXELS: EXPECT_EQ(image.pixels, UNTOUCHED_PIXELS); break;
        case DecodeCase::NULL_PIXELS: EXPECT_EQ(image.pixels, nullptr); break;
        case DecodeCase::HAS_PIXELS:
            ASSERT_NE(image.pixels, nullptr);
            EXPECT_EQ(Bytes(image.pixels, image.pixels + c.pixels.size()), c.pixels);
            std::free(image.pixels);
        }
    }
}

TEST(DecodeTgaFile, MissingFileLeavesTheRecordUntouched) {
    ScratchDir dir;
    TextureImage image = UNTOUCHED;
    EXPECT_EQ(DecodeTgaFile(&image, dir.File("grasmap.TGA").c_str()), TgaStatus::CannotOpen);
    EXPECT_EQ(std::memcmp(&image, &UNTOUCHED, sizeof image), 0);
}

// The upload sets no unpack alignment, so GL may step rows at 8 bytes: a 3-pixel 24-bit row
// of 9 bytes is then read as 16, and the last row's read must still stay inside the buffer.
TEST(DecodeTgaFile, BufferCoversRowsSteppedAtAnyUnpackAlignment) {
    ScratchDir dir;
    WriteFile(dir.File("odd.tga"), Concat(Header(3, 5, 24), Bytes(45, 0x80)));
    TextureImage image = {};
    ASSERT_EQ(DecodeTgaFile(&image, dir.File("odd.tga").c_str()), TgaStatus::Ok);
    const size_t readAtAlignment8 = 4 * 16 + 9;
    EXPECT_GE(malloc_usable_size(image.pixels), readAtAlignment8);
    std::free(image.pixels);
}

// ---- files written by ImageMagick ---------------------------------------------------------

struct ImageMagickCase {
    const char* name;
    const char* source;  // what convert draws, with its options
    TgaStatus status;
    uint32_t bitsPerPixel;
};

const ImageMagickCase IMAGE_MAGICK_CASES[] = {
    {"24-bit odd width", "-size 7x3 gradient:red-blue -type TrueColor", TgaStatus::Ok, 24},
    {"24-bit plasma", "-seed 7 -size 16x8 plasma: -type TrueColor", TgaStatus::Ok, 24},
    {"32-bit translucent", "-size 5x4 'gradient:rgba(255,0,0,0.25)-rgba(0,64,255,1)' -type TrueColorAlpha",
     TgaStatus::Ok, 32},
    {"grey", "-size 5x3 gradient:", TgaStatus::BadHeader, 0},
    {"colour-mapped", "-size 5x3 gradient:red-blue -type Palette", TgaStatus::BadHeader, 0},
};

void Convert(const std::string& arguments) {
    const std::string command = std::string(IMAGEMAGICK_CONVERT) + " " + arguments;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

TEST(DecodeTgaFile, AgreesWithImageMagickPixelForPixel) {
    ScratchDir dir;
    for (const ImageMagickCase& c : IMAGE_MAGICK_CASES) {
        SCOPED_TRACE(c.name);
        const std::string tga = dir.File("made.tga"), raw = dir.File("made.raw");
        Convert(std::string(c.source) + " -depth 8 -compress none 'TGA:" + tga + "'");
        TextureImage image = {};
        ASSERT_EQ(DecodeTgaFile(&image, tga.c_str()), c.status);
        if (c.status != TgaStatus::Ok) continue;
        ASSERT_EQ(image.bitsPerPixel, c.bitsPerPixel);

        // ImageMagick 6 reads a TGA's rows in file order, whatever its origin bit says, as the
        // loader does: its raw output of the same file is the expected buffer, row for row.
        Convert("'" + tga + "' -depth 8 '" + (c.bitsPerPixel == 32 ? "rgba:" : "rgb:") + raw + "'");
        const Bytes expected = ReadFile(raw);
        const size_t rowBytes = size_t(image.width) * c.bitsPerPixel / 8;
        ASSERT_EQ(expected.size(), rowBytes * image.height);
        for (uint32_t row = 0; row < image.height; ++row)
            EXPECT_EQ(Bytes(image.pixels + row * rowBytes, image.pixels + (row + 1) * rowBytes),
                      Bytes(expected.begin() + long(row * rowBytes), expected.begin() + long((row + 1) * rowBytes)))
                << "row " << row;
        std::free(image.pixels);
    }
}

// ---- the GL calls of LoadTgaTexture -------------------------------------------------------

TEST(LoadTgaTexture, UploadsWithLinearFiltersAndNoPixelStore) {
    struct Case {
        Bytes file;
        int format;
    };
    const Case cases[] = {{Concat(Header(2, 1, 24), Pixels({1, 2, 3, 4, 5, 6})), GL_RGB},
                          {Concat(Header(1, 1, 32), Pixels({1, 2, 3, 4})), GL_RGBA}};
    ScratchDir dir;
    for (const Case& c : cases) {
        WriteFile(dir.File("image.tga"), c.file);
        glrec::Reset();
        TextureImage image = {};
        ASSERT_TRUE(LoadTgaTexture(&image, dir.File("image.tga").c_str()));
        const std::string name = std::to_string(image.textureName);
        const std::string format = glrec::EnumName(GLenum(c.format));
        const std::string size = c.format == GL_RGB ? "2, 1" : "1, 1";
        EXPECT_NE(image.textureName, 0u);
        EXPECT_EQ(glrec::Lines(), (std::vector<std::string>{
                                      "glGenTextures(1, ptr)",
                                      "glBindTexture(GL_TEXTURE_2D, " + name + ")",
                                      "glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR)",
                                      "glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR)",
                                      "glTexImage2D(GL_TEXTURE_2D, 0, " + format + ", " + size + ", 0, " + format +
                                          ", GL_UNSIGNED_BYTE, ptr)",
                                  }));
        EXPECT_EQ(glrec::LastTexImagePixels(), image.pixels);
        std::free(image.pixels);
    }
}

TEST(LoadTgaTexture, FailureMakesNoGlCallAndKeepsTextureNameZero) {
    ScratchDir dir;
    for (const DecodeCase& c : DecodeCases()) {
        if (c.status == TgaStatus::Ok) continue;
        SCOPED_TRACE(c.name);
        WriteFile(dir.File("image.tga"), c.file);
        glrec::Reset();
        TextureImage image = {};
        EXPECT_FALSE(LoadTgaTexture(&image, dir.File("image.tga").c_str()));
        EXPECT_EQ(image.textureName, 0u);
        EXPECT_TRUE(glrec::Calls().empty());
    }
    TextureImage image = {};
    glrec::Reset();
    EXPECT_FALSE(LoadTgaTexture(&image, dir.File("missing.tga").c_str()));
    EXPECT_TRUE(glrec::Calls().empty());
}

}  // namespace
