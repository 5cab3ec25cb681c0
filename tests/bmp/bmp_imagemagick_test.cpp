// Every depth and compression checked pixel for pixel against ImageMagick, an independent
// reader and writer: files it writes (BMP3 info headers, BMP2 core headers, 8-bit run
// length), and files built here that it reads (4-bit run length, short palettes, top-down
// rows, deltas). Its raw RGB output runs top row first; ours bottom row first.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bmp_bytes.h"
#include "platform/fake_platform.h"
#include "resources/bmp.h"

namespace {

bool HaveConvert() { return std::system("convert -version >/dev/null 2>&1") == 0; }

Bytes CommandOutput(const std::string& command) {
    Bytes output;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return output;
    uint8_t buffer[4096];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.insert(output.end(), buffer, buffer + got);
    EXPECT_EQ(pclose(pipe), 0) << command;
    return output;
}

// ImageMagick's reading of a BMP file, rows flipped to bottom first.
Bytes ImageMagickPixels(const std::string& path, int32_t width, int32_t height) {
    Bytes topFirst = CommandOutput("convert '" + path + "' -depth 8 rgb:-");
    size_t row = size_t(width) * 3;
    EXPECT_EQ(topFirst.size(), row * size_t(height)) << path;
    if (topFirst.size() != row * size_t(height)) return {};
    Bytes bottomFirst;
    for (int32_t y = height - 1; y >= 0; --y)
        bottomFirst.insert(bottomFirst.end(), topFirst.begin() + y * row, topFirst.begin() + (y + 1) * row);
    return bottomFirst;
}

uint32_t Le32At(const Bytes& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

// What a file's headers say, to make sure each case tests the layout it is named after.
struct Layout {
    uint32_t headerSize, bitsPerPixel, compression;
    bool operator==(const Layout&) const = default;
};

void PrintTo(const Layout& l, std::ostream* out) {
    *out << "header " << l.headerSize << ", " << l.bitsPerPixel << " bits, compression " << l.compression;
}

Layout LayoutOf(const Bytes& file) {
    uint32_t headerSize = Le32At(file, 14);
    if (headerSize == 12) return {12, uint32_t(file[24] | file[25] << 8), 0};
    return {headerSize, uint32_t(file[28] | file[29] << 8), Le32At(file, 30)};
}

// This ImageMagick labels 40-byte 5-5-5 files as bit fields without writing the masks; the
// pixels are plain 5-5-5, which compression 0 says.
void MarkUncompressed(Bytes& file) { file[30] = 0; }
// A version 4 or 5 header keeps its masks at offset 40, exactly where a 40-byte header with
// compression 3 has them; the file header's offset still finds the pixels.
void MarkInfoHeader(Bytes& file) { file[14] = 40; }

struct WrittenCase {
    const char* name;
    const char* picture;  // convert's arguments that make and shape the picture
    const char* format;   // BMP3 (info header), BMP2 (core header), BMP (newer headers)
    int32_t width, height;
    Layout layout;
    void (*patch)(Bytes&);
};

const char* const PLASMA_9x5 = "-seed 11 -size 9x5 plasma:";

void PrintTo(const WrittenCase& c, std::ostream* out) { *out << c.name; }

class WrittenByImageMagick : public ::testing::TestWithParam<WrittenCase> {};

TEST_P(WrittenByImageMagick, DecodesLikeImageMagick) {
    if (!HaveConvert()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    const WrittenCase& c = GetParam();
    ScratchFolder scratch;
    std::string path = scratch.Path("written.bmp").string();
    ASSERT_EQ(std::system((std::string("convert ") + c.picture + " " + c.format + ":'" + path + "'").c_str()), 0);
    Bytes file = ReadFileBytes(path);
    ASSERT_GT(file.size(), 30u);
    if (c.patch) {
        c.patch(file);
        scratch.Write("written.bmp", file);
    }
    ASSERT_EQ(LayoutOf(file), c.layout);

    fake::Reset();
    RgbImage* image = LoadBmpImage(path.c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, c.width);
    EXPECT_EQ(image->height, c.height);
    EXPECT_EQ(TakePixels(image), ImageMagickPixels(path, c.width, c.height));
    EXPECT_TRUE(fake::g_messageBoxes.empty());
}

std::string PictureWith(const char* options) { return std::string(PLASMA_9x5) + " " + options; }

const std::string TRUE_COLOR = PictureWith("-type TrueColor");
const std::string WITH_ALPHA = PictureWith("-type TrueColorAlpha -define bmp3:alpha=true");
const std::string EIGHT_BIT = "-seed 11 -size 13x7 plasma: -colors 200 -compress None";
const std::string FOUR_BIT = "-seed 11 -size 5x6 plasma: -colors 16";
const std::string ONE_BIT = "-seed 11 -size 11x3 plasma: -monochrome";
const std::string RGB555 = PictureWith("-type TrueColor -define bmp:subtype=RGB555");
const std::string RGB565 = PictureWith("-type TrueColor -define bmp:subtype=RGB565");
const std::string ARGB8888 = PictureWith("-type TrueColorAlpha -define bmp:subtype=ARGB8888");
const std::string RUN_LENGTH = "-seed 11 -size 13x7 plasma: -colors 60 -compress RLE";

INSTANTIATE_TEST_SUITE_P(
    Files, WrittenByImageMagick,
    ::testing::Values(WrittenCase{"Info24BitOddWidth", TRUE_COLOR.c_str(), "BMP3", 9, 5, {40, 24, 0}, nullptr},
                      WrittenCase{"Core24BitOddWidth", TRUE_COLOR.c_str(), "BMP2", 9, 5, {12, 24, 0}, nullptr},
                      WrittenCase{"Info32Bit", WITH_ALPHA.c_str(), "BMP3", 9, 5, {40, 32, 0}, nullptr},
                      WrittenCase{"Info8Bit", EIGHT_BIT.c_str(), "BMP3", 13, 7, {40, 8, 0}, nullptr},
                      WrittenCase{"Core8Bit", EIGHT_BIT.c_str(), "BMP2", 13, 7, {12, 8, 0}, nullptr},
                      WrittenCase{"Info4Bit", FOUR_BIT.c_str(), "BMP3", 5, 6, {40, 4, 0}, nullptr},
                      WrittenCase{"Core4Bit", FOUR_BIT.c_str(), "BMP2", 5, 6, {12, 4, 0}, nullptr},
                      WrittenCase{"Info1Bit", ONE_BIT.c_str(), "BMP3", 11, 3, {40, 1, 0}, nullptr},
                      WrittenCase{"Core1Bit", ONE_BIT.c_str(), "BMP2", 11, 3, {12, 1, 0}, nullptr},
                      WrittenCase{"Info16Bit555", RGB555.c_str(), "BMP3", 9, 5, {40, 16, 0}, MarkUncompressed},
                      WrittenCase{"Core16Bit555", RGB555.c_str(), "BMP2", 9, 5, {12, 16, 0}, nullptr},
                      WrittenCase{"BitFields16Bit565", RGB565.c_str(), "BMP", 9, 5, {40, 16, 3}, MarkInfoHeader},
                      WrittenCase{"BitFields32Bit", ARGB8888.c_str(), "BMP", 9, 5, {40, 32, 3}, MarkInfoHeader},
                      WrittenCase{"RunLength8BitOddWidth", RUN_LENGTH.c_str(), "BMP3", 13, 7, {40, 8, 1}, nullptr}),
    [](const ::testing::TestParamInfo<WrittenCase>& info) { return std::string(info.param.name); });

// Index-like bytes that look random but are the same on every run.
Bytes Scrambled(size_t count, uint32_t modulo) {
    Bytes bytes;
    uint32_t state = 12345;
    for (size_t i = 0; i < count; ++i) {
        state = state * 1103515245 + 12345;
        bytes.push_back(uint8_t((state >> 16) % modulo));
    }
    return bytes;
}

Bytes ScrambledPalette(size_t entries) {
    Bytes palette = Scrambled(entries * 4, 256);
    palette[0] = palette[1] = palette[2] = 0;  // entry 0 black: ImageMagick fills skipped pixels with it
    for (size_t i = 3; i < palette.size(); i += 4) palette[i] = 0;
    return palette;
}

// Uncompressed rows of palette indices below `colours`, packed at `bits` per pixel.
Bytes IndexRows(int32_t width, int32_t height, uint32_t bits, uint32_t colours) {
    size_t stride = (size_t(width) * bits + 31) / 32 * 4;
    Bytes rows(stride * size_t(height), 0);
    Bytes indices = Scrambled(size_t(width) * size_t(height), colours);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            uint32_t index = indices[size_t(y) * width + x];
            size_t bit = size_t(x) * bits;
            rows[y * stride + bit / 8] |= uint8_t(index << (8 - bits - bit % 8));
        }
    return rows;
}

struct BuiltCase {
    const char* name;
    int32_t width, height;
    Bytes file;
};

void PrintTo(const BuiltCase& c, std::ostream* out) { *out << c.name; }

class ReadByImageMagick : public ::testing::TestWithParam<BuiltCase> {};

TEST_P(ReadByImageMagick, DecodesLikeImageMagick) {
    if (!HaveConvert()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    const BuiltCase& c = GetParam();
    ScratchFolder scratch;
    std::string path = scratch.Write("built.bmp", c.file);
    fake::Reset();
    RgbImage* image = LoadBmpImage(path.c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, c.width);
    EXPECT_EQ(image->height, std::abs(c.height));
    EXPECT_EQ(TakePixels(image), ImageMagickPixels(path, c.width, std::abs(c.height)));
}

BuiltCase ShortPalette(const char* name, uint32_t bits, uint32_t entries) {
    return {name, 7, 3,
            WithFileHeader(InfoHeader(7, 3, uint16_t(bits), 0, entries), ScrambledPalette(entries),
                           IndexRows(7, 3, bits, entries))};
}

// 4-bit run length over a 7 x 4 picture: encoded runs, absolute runs odd and even, a delta.
Bytes RunLength4Stream() {
    return {7, 0x12,                       // row 0: 1212121
            0, 0,                          //
            0, 5,    0x34, 0x56, 0x70, 0,  // row 1: absolute 34567, padded
            2, 0x88,                       //        then 88
            0, 0,                          //
            0, 4,    0x9A, 0xBC,           // row 2: absolute 9ABC
            0, 2,    1,    1,              //        delta one right, one up: row 3 x 5
            2, 0xDE,                       // row 3: DE at x 5 and 6
            0, 1};
}

// 8-bit run length over a 6 x 3 picture with every escape.
Bytes RunLength8Stream() {
    return {3, 7,  0, 3, 9, 10, 11, 0, 0, 0,  // row 0: 777 then absolute 9 10 11, padded
            0, 2,  2, 1,                      // delta to row 1, x 2
            4, 12, 0, 0,                      // row 1: 12 12 12 12 from x 2
            0, 6,  1, 2, 3, 4,  5,  6,        // row 2: absolute, even
            0, 1};
}

Bytes TopDownEightBit() {
    Bytes rows = IndexRows(5, 4, 8, 30);
    return WithFileHeader(InfoHeader(5, -4, 8, 0, 30), ScrambledPalette(30), rows);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadByImageMagick,
    ::testing::Values(ShortPalette("ShortPalette8Bit", 8, 40), ShortPalette("ShortPalette4Bit", 4, 5),
                      ShortPalette("ShortPalette1Bit", 1, 1),
                      BuiltCase{"RunLength4Bit", 7, 4,
                                WithFileHeader(InfoHeader(7, 4, 4, 2, 16), ScrambledPalette(16), RunLength4Stream())},
                      BuiltCase{"RunLength8BitEveryEscape", 6, 3,
                                WithFileHeader(InfoHeader(6, 3, 8, 1, 13), ScrambledPalette(13), RunLength8Stream())},
                      BuiltCase{"TopDown8Bit", 5, -4, TopDownEightBit()}),
    [](const ::testing::TestParamInfo<BuiltCase>& info) { return std::string(info.param.name); });

}  // namespace
