// The reader's file walk: file header or none, both header kinds, palettes, uncompressed
// depths, orientation, and every refusal with its message.
#include <gtest/gtest.h>

#include <filesystem>

#include "bmp_bytes.h"
#include "platform/fake_platform.h"
#include "resources/bmp.h"

namespace {

class BmpReader : public ::testing::Test {
protected:
    void SetUp() override { fake::Reset(); }

    // Loads `bytes` through a real file, as the model import does.
    RgbImage* Load(const Bytes& bytes) { return LoadBmpImage(scratch.Write("picture.bmp", bytes).c_str()); }

    // Loads `bytes` and expects a picture of the given size with no message shown.
    Bytes LoadPixels(const Bytes& bytes, int32_t width, int32_t height) {
        RgbImage* image = Load(bytes);
        EXPECT_NE(image, nullptr);
        if (image) {
            EXPECT_EQ(image->width, width);
            EXPECT_EQ(image->height, height);
        }
        EXPECT_TRUE(fake::g_messageBoxes.empty());
        return TakePixels(image);
    }

    ScratchFolder scratch;
};

// The 3 x 2 24-bit picture: bottom row blue, white, black; top row red, green, grey.
const Bytes PIXELS_3X2_24 = {0xFF, 0, 0,    0xFF, 0xFF, 0xFF, 0,    0,    0,    0xEE, 0xEE, 0xEE,
                             0,    0, 0xFF, 0,    0xFF, 0,    0x80, 0x80, 0x80, 0xEE, 0xEE, 0xEE};
const Bytes RGB_3X2 = {0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0x80, 0x80, 0x80};

TEST_F(BmpReader, TwentyFourBitRowsLosePaddingAndComeBottomRowFirstAsRgb) {
    Bytes file = WithFileHeader(InfoHeader(3, 2, 24), {}, PIXELS_3X2_24);
    EXPECT_EQ(LoadPixels(file, 3, 2), RGB_3X2);
}

TEST_F(BmpReader, PackedBitmapWithoutFileHeaderFindsItsPixelsAfterTheHeader) {
    Bytes file = Join({InfoHeader(3, 2, 24), PIXELS_3X2_24});
    EXPECT_EQ(LoadPixels(file, 3, 2), RGB_3X2);
}

TEST_F(BmpReader, FileHeaderOffsetIsHonouredOverThePaletteEnd) {
    Bytes gap(6, 0x77);  // bytes between header and pixels, skipped by the offset
    Bytes file = Join({FileHeader(14 + 40 + 6), InfoHeader(3, 2, 24), gap, PIXELS_3X2_24});
    EXPECT_EQ(LoadPixels(file, 3, 2), RGB_3X2);
}

TEST_F(BmpReader, TopDownPictureComesBackBottomUpWithPositiveHeight) {
    Bytes topRowFirst(PIXELS_3X2_24.begin() + 12, PIXELS_3X2_24.end());
    topRowFirst.insert(topRowFirst.end(), PIXELS_3X2_24.begin(), PIXELS_3X2_24.begin() + 12);
    EXPECT_EQ(LoadPixels(WithFileHeader(InfoHeader(3, -2, 24), {}, topRowFirst), 3, 2), RGB_3X2);
}

TEST_F(BmpReader, CoreHeaderEightBitUsesAFull256EntryPaletteOfThreeByteEntries) {
    Bytes palette;
    for (int n = 0; n < 256; ++n) palette.insert(palette.end(), {uint8_t(n ^ 0x55), uint8_t(255 - n), uint8_t(n)});
    Bytes pixels = {0, 1, 127, 255};
    Bytes expected = {0, 255, 0x55, 1, 254, 0x54, 127, 128, 127 ^ 0x55, 255, 0, 255 ^ 0x55};
    EXPECT_EQ(LoadPixels(Join({CoreHeader(4, 1, 8), palette, pixels}), 4, 1), expected);
    fake::Reset();
    EXPECT_EQ(LoadPixels(WithFileHeader(CoreHeader(4, 1, 8), palette, pixels), 4, 1), expected);
}

TEST_F(BmpReader, ShortPaletteIsReadExactlyAndIndicesPastItAreBlack) {
    Bytes palette = InfoPalette({{10, 20, 30}, {40, 50, 60}, {70, 80, 90}, {100, 110, 120}, {130, 140, 150}});
    ASSERT_EQ(palette.size(), 20u);
    Bytes pixels = {0x01, 0x23, 0x4F, 0x00};  // indices 0 1 2 3 4 15 (15 has no entry)
    Bytes expected = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150, 0, 0, 0};
    EXPECT_EQ(LoadPixels(Join({InfoHeader(6, 1, 4, 0, 5), palette, pixels}), 6, 1), expected);
}

TEST_F(BmpReader, OneBitRowsReadTheirBitsHighestFirst) {
    Bytes palette = InfoPalette({{0, 0, 0}, {255, 255, 255}});
    // 10 pixels a row, 2 bytes used and 2 of padding; rows 1000000001 (bottom), 0110000000.
    Bytes pixels = {0x80, 0x40, 0, 0, 0x60, 0x00, 0, 0};
    Bytes file = Join({InfoHeader(10, 2, 1), palette, pixels});
    Bytes expected;
    for (int bit : {1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0})
        expected.insert(expected.end(), 3, uint8_t(bit * 255));
    EXPECT_EQ(LoadPixels(file, 10, 2), expected);
}

TEST_F(BmpReader, SixteenAndThirtyTwoBitPixelsFollowTheirMasks) {
    struct Case {
        const char* name;
        Bytes file;
        Bytes expected;
    };
    Bytes masks565, masksOdd;
    for (uint32_t m : {0xF800u, 0x07E0u, 0x001Fu}) PutU32(masks565, m);
    for (uint32_t m : {0x000003FFu, 0x000FFC00u, 0xC0000000u}) PutU32(masksOdd, m);  // 10, 10, 2 bits
    Bytes px555, px565, px32, pxOdd;
    for (uint16_t p : {0x7FFF, 0x0421, 0x7C00, 0x8000}) PutU16(px555, p);
    for (uint16_t p : {0xFFFF, 0x0821, 0x07E0, 0}) PutU16(px565, p);
    for (uint32_t p : {0x00FF8040u, 0xAB123456u}) PutU32(px32, p);
    for (uint32_t p : {0x000003FFu, 0x40000000u}) PutU32(pxOdd, p);
    Case cases[] = {
        // 5-bit channels repeat their bits: 31 -> 255, 1 -> 8; the top bit is unused.
        {"555", Join({InfoHeader(4, 1, 16), px555}), {255, 255, 255, 8, 8, 8, 255, 0, 0, 0, 0, 0}},
        {"565", Join({InfoHeader(4, 1, 16, 3), masks565, px565}), {255, 255, 255, 8, 4, 8, 0, 255, 0, 0, 0, 0}},
        {"32 default", Join({InfoHeader(2, 1, 32), px32}), {0xFF, 0x80, 0x40, 0x12, 0x34, 0x56}},
        // 10-bit channels keep their top 8 bits; a 2-bit channel of 1 gives 0x55.
        {"32 odd masks", Join({InfoHeader(2, 1, 32, 3), masksOdd, pxOdd}), {0xFF, 0, 0, 0, 0, 0x55}},
        {"16 in core header", Join({CoreHeader(4, 1, 16), px555}), {255, 255, 255, 8, 8, 8, 255, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake::Reset();
        EXPECT_EQ(LoadPixels(c.file, int32_t(c.expected.size() / 3), 1), c.expected);
    }
}

TEST_F(BmpReader, LastRowNeedNotCarryItsPadding) {
    Bytes file = Join({InfoHeader(3, 2, 24), PIXELS_3X2_24});
    file.resize(file.size() - 3);
    EXPECT_EQ(LoadPixels(file, 3, 2), RGB_3X2);
}

TEST_F(BmpReader, MissingOrEmptyFileIsReportedWithItsName) {
    std::string missing = scratch.Path("nothere.bmp").string();
    std::string empty = scratch.Write("empty.bmp", {});
    for (const std::string& name : {missing, empty, scratch.Path("").string()}) {
        SCOPED_TRACE(name);
        fake::Reset();
        EXPECT_EQ(LoadBmpImage(name.c_str()), nullptr);
        ASSERT_EQ(fake::g_messageBoxes.size(), 1u);
        EXPECT_EQ(fake::g_messageBoxes[0].text, "Failed to open DIB file " + name + ".\n");
        EXPECT_EQ(fake::g_messageBoxes[0].caption, "Error");
        EXPECT_EQ(fake::g_messageBoxes[0].type, MB_OK);
    }
}

TEST_F(BmpReader, MessageBoxIsOwnedByTheWindowWithTheFocus) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "vrex";
    RegisterClassA(&windowClass);
    CreateWindowExA(0, "vrex", "vrex demo", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(LoadBmpImage(scratch.Path("nothere.bmp").string().c_str()), nullptr);
    ASSERT_EQ(fake::g_messageBoxes.size(), 1u);
    EXPECT_EQ(fake::g_messageBoxes[0].owner, fake::FakeWindow());
}

TEST_F(BmpReader, HeaderSizesOtherThanCoreAndInfoAreUnknownFormats) {
    for (uint32_t size : {0u, 16u, 52u, 56u, 64u, 108u, 124u}) {
        SCOPED_TRACE(size);
        fake::Reset();
        Bytes header = InfoHeader(3, 2, 24);
        header.resize(std::max<size_t>(size, 40), 0);
        header[0] = uint8_t(size);
        EXPECT_EQ(Load(WithFileHeader(header, {}, PIXELS_3X2_24)), nullptr);
        ASSERT_EQ(fake::g_messageBoxes.size(), 1u);
        EXPECT_EQ(fake::g_messageBoxes[0].text, "Unknown DIB file format.");
        EXPECT_EQ(fake::g_messageBoxes[0].caption, "Error");
    }
}

TEST_F(BmpReader, DamagedOrUnsupportedFilesAreConversionErrors) {
    Bytes good = WithFileHeader(InfoHeader(3, 2, 24), {}, PIXELS_3X2_24);
    auto cut = [](Bytes b, size_t size) {
        b.resize(size);
        return b;
    };
    Bytes farOffset = good;
    farOffset[10] = 0xF0;  // pixel data offset 240, past the 78-byte file
    Bytes palette8 = Bytes(256 * 4, 0);
    Bytes masks;
    for (uint32_t m : {0xF800u, 0x07E0u, 0x001Fu}) PutU32(masks, m);
    Bytes gappyMasks;
    for (uint32_t m : {0xF00Fu, 0x00F0u, 0x0000u}) PutU32(gappyMasks, m);
    struct Case {
        const char* name;
        Bytes file;
    } cases[] = {
        {"one byte", {0x42}},
        {"file header only", cut(good, 14)},
        {"header cut short", cut(good, 14 + 30)},
        {"packed header cut short", cut(InfoHeader(3, 2, 24), 20)},
        {"palette cut short",
         cut(WithFileHeader(InfoHeader(2, 2, 8), palette8, {1, 2, 0, 0, 3, 4, 0, 0}), 14 + 40 + 40)},
        {"palette count absurd", Join({InfoHeader(1, 1, 8, 0, 0xFFFFFFFF), palette8, {0, 0, 0, 0}})},
        {"rows cut short", cut(good, good.size() - 4)},
        {"pixel offset past the end", farOffset},
        {"masks cut short", cut(Join({InfoHeader(1, 1, 16, 3), masks}), 40 + 8)},
        {"masks with gaps", Join({InfoHeader(1, 1, 16, 3), gappyMasks, {0, 0, 0, 0}})},
        {"width 0", Join({InfoHeader(0, 2, 24), PIXELS_3X2_24})},
        {"height 0", Join({InfoHeader(3, 0, 24), PIXELS_3X2_24})},
        {"negative width", Join({InfoHeader(-3, 2, 24), PIXELS_3X2_24})},
        {"core width 0", Join({CoreHeader(0, 2, 24), PIXELS_3X2_24})},
        {"smallest height", Join({InfoHeader(1, INT32_MIN, 24), PIXELS_3X2_24})},
        {"2 bits per pixel", Join({InfoHeader(3, 2, 2), PIXELS_3X2_24})},
        {"0 bits per pixel", Join({InfoHeader(3, 2, 0), PIXELS_3X2_24})},
        {"JPEG compression", Join({InfoHeader(3, 2, 24, 4), PIXELS_3X2_24})},
        {"8-bit run length at 4 bits", Join({InfoHeader(3, 2, 4, 1), palette8, {0, 1}})},
        {"4-bit run length at 8 bits", Join({InfoHeader(3, 2, 8, 2), palette8, {0, 1}})},
        {"bit fields at 24 bits", Join({InfoHeader(3, 2, 24, 3), masks, PIXELS_3X2_24})},
        {"top-down run length", Join({InfoHeader(1, -1, 8, 1), palette8, {1, 0, 0, 1}})},
        // A few bytes claiming more than the cap: refused before any allocation.
        {"run length past the size cap", Join({InfoHeader(8192, 2731, 8, 1), palette8, {0, 1}})},
        {"uncompressed past the size cap",
         Join({InfoHeader(65535, 65535, 1), InfoPalette({{0, 0, 0}, {1, 1, 1}}), Bytes(64, 0)})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake::Reset();
        EXPECT_EQ(Load(c.file), nullptr);
        ASSERT_EQ(fake::g_messageBoxes.size(), 1u);
        EXPECT_EQ(fake::g_messageBoxes[0].text, "Image file conversion error.");
        EXPECT_EQ(fake::g_messageBoxes[0].caption, "Error");
        EXPECT_EQ(fake::g_messageBoxes[0].type, MB_OK);
    }
}

TEST_F(BmpReader, MemoryDecoderAgreesWithTheFileReaderAndShowsNothing) {
    Bytes file = WithFileHeader(InfoHeader(3, 2, 24), {}, PIXELS_3X2_24);
    RgbImage* image = nullptr;
    EXPECT_EQ(DecodeBmpImage(file.data(), file.size(), &image), BmpStatus::Ok);
    EXPECT_EQ(TakePixels(image), RGB_3X2);
    file[14] = 108;
    EXPECT_EQ(DecodeBmpImage(file.data(), file.size(), &image), BmpStatus::UnknownFormat);
    EXPECT_EQ(image, nullptr);
    EXPECT_EQ(DecodeBmpImage(file.data(), 0, &image), BmpStatus::ConversionError);
    EXPECT_TRUE(fake::g_messageBoxes.empty());
    EXPECT_STREQ(BmpStatusMessage(BmpStatus::OutOfMemory), "Out of memory.");
}

}  // namespace

namespace {

// The fuzzer starts from these: one hand-made file per layout (named *.bmp; the rest of the
// folder is what campaigns kept), each of which the reader must accept.
TEST(BmpSeedCorpus, EveryLayoutSeedDecodes) {
    std::filesystem::path folder = BMP_SEED_FOLDER;
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".bmp") continue;
        SCOPED_TRACE(entry.path().string());
        Bytes file = ReadFileBytes(entry.path());
        RgbImage* image = nullptr;
        EXPECT_EQ(DecodeBmpImage(file.data(), file.size(), &image), BmpStatus::Ok);
        TakePixels(image);
        ++seeds;
    }
    EXPECT_GE(seeds, 5);
}

}  // namespace
