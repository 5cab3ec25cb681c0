// Run-length encoded pictures, 8-bit and 4-bit, built instruction by instruction: every
// escape, cut runs, pixels left unwritten, and streams that end too soon.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "bmp_bytes.h"
#include "platform/fake_platform.h"
#include "resources/bmp.h"

namespace {

// Palette entry 0 is a dark grey, not black, so unwritten pixels can be told from index 0.
const Bytes GREY = {9, 9, 9}, RED = {255, 0, 0}, GREEN = {0, 255, 0}, BLUE = {0, 0, 255};
const Bytes PALETTE = InfoPalette({GREY, RED, GREEN, BLUE});

// Rows bottom first as palette digits; '.' is a pixel nothing wrote.
Bytes Paint(const std::string& rows) {
    Bytes rgb;
    for (char c : rows) {
        const Bytes& colour = c == '0' ? GREY : c == '1' ? RED : c == '2' ? GREEN : c == '3' ? BLUE : Bytes{0, 0, 0};
        rgb.insert(rgb.end(), colour.begin(), colour.end());
    }
    return rgb;
}

constexpr uint32_t RLE8 = 1, RLE4 = 2;

struct RleCase {
    const char* name;
    uint32_t compression;
    int32_t width, height;
    Bytes stream;
    std::string expected;  // empty: the file is refused
};

Bytes RleFile(const RleCase& c) {
    uint16_t bits = c.compression == RLE8 ? 8 : 4;
    return WithFileHeader(InfoHeader(c.width, c.height, bits, c.compression, 4), PALETTE, c.stream);
}

void PrintTo(const RleCase& c, std::ostream* out) { *out << c.name; }

class BmpRunLength : public ::testing::TestWithParam<RleCase> {};

TEST_P(BmpRunLength, DecodesAsThePublishedRulesSay) {
    const RleCase& c = GetParam();
    fake::Reset();
    ScratchFolder scratch;
    RgbImage* image = LoadBmpImage(scratch.Write("rle.bmp", RleFile(c)).c_str());
    if (c.expected.empty()) {
        EXPECT_EQ(image, nullptr);
        ASSERT_EQ(fake::g_messageBoxes.size(), 1u);
        EXPECT_EQ(fake::g_messageBoxes[0].text, "Image file conversion error.");
        return;
    }
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, c.width);
    EXPECT_EQ(image->height, c.height);
    EXPECT_EQ(TakePixels(image), Paint(c.expected));
    EXPECT_TRUE(fake::g_messageBoxes.empty());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Streams, BmpRunLength,
    ::testing::Values(
        RleCase{"EncodedRunsAndEndsOfLine", RLE8, 5, 3,
                {3, 1, 2, 2, 0, 0, 5, 3, 0, 0, 1, 0, 4, 1, 0, 1}, "11122" "33333" "01111"},
        RleCase{"OddAbsoluteRunIsPaddedToAWord", RLE8, 5, 3,
                {0, 3, 1, 2, 3, 0, 2, 0, 0, 0, 0, 1}, "12300" "....." "....."},
        RleCase{"DeltaMovesRightAndUpLeavingBlack", RLE8, 5, 3,
                {1, 1, 0, 2, 2, 1, 2, 3, 0, 1}, "1...." "...33" "....."},
        RleCase{"EarlyEndOfBitmapLeavesTheRestBlack", RLE8, 5, 3, {2, 1, 0, 1}, "11..." "....." "....."},
        RleCase{"RunsPastTheRowEndAreCutNotWrapped", RLE8, 3, 2,
                {5, 1, 0, 0, 0, 4, 2, 2, 2, 2}, "111" "222"},
        RleCase{"LastEndOfLineWithoutEndOfBitmapIsWhole", RLE8, 3, 2,
                {3, 1, 0, 0, 3, 2, 0, 0}, "111" "222"},
        RleCase{"DeltaPastTheTopEndsThePicture", RLE8, 5, 3, {1, 1, 0, 2, 0, 5}, "1...." "....." "....."},
        RleCase{"FourBitRunsAlternateTheirNibbles", RLE4, 5, 2,
                {5, 0x12, 0, 0, 4, 0x30, 0, 1}, "12121" "3030."},
        RleCase{"FourBitAbsoluteRunsPackTwoPerByteAndPadToAWord", RLE4, 5, 2,
                {0, 5, 0x12, 0x31, 0x20, 0, 0, 0, 0, 3, 0x33, 0x10, 0, 1}, "12312" "331.."},
        RleCase{"StreamEndingMidPictureIsRefused", RLE8, 2, 2, {2, 1}, ""},
        RleCase{"AbsoluteRunCutShortIsRefused", RLE8, 5, 1, {0, 5, 1, 2}, ""},
        RleCase{"DeltaCutShortIsRefused", RLE4, 5, 2, {1, 0x11, 0, 2, 1}, ""},
        RleCase{"EmptyStreamIsRefused", RLE4, 1, 1, {}, ""}),
    [](const ::testing::TestParamInfo<RleCase>& info) { return std::string(info.param.name); });
// clang-format on

TEST(BmpRunLengthSize, LargeBlankPictureUnderTheCapIsAcceptedFromAFewBytes) {
    Bytes file = WithFileHeader(InfoHeader(2048, 2048, 8, RLE8, 4), PALETTE, {1, 3, 0, 1});
    RgbImage* image = nullptr;
    ASSERT_EQ(DecodeBmpImage(file.data(), file.size(), &image), BmpStatus::Ok);
    Bytes pixels = TakePixels(image);
    ASSERT_EQ(pixels.size(), size_t(2048) * 2048 * 3);
    EXPECT_EQ(Bytes(pixels.begin(), pixels.begin() + 3), BLUE);
    EXPECT_EQ(std::count(pixels.begin() + 3, pixels.end(), 0), std::ptrdiff_t(pixels.size() - 3));
}

TEST(BmpRunLengthSize, SizeCapLiesBetween8192By2730And8192By2731) {
    ASSERT_EQ(BMP_MAX_DATA_BYTES, uint64_t(64) << 20);
    for (int32_t rows : {2730, 2731}) {
        SCOPED_TRACE(rows);
        Bytes file = WithFileHeader(InfoHeader(8192, rows, 8, RLE8, 4), PALETTE, {0, 1});
        RgbImage* image = nullptr;
        EXPECT_EQ(DecodeBmpImage(file.data(), file.size(), &image),
                  rows == 2730 ? BmpStatus::Ok : BmpStatus::ConversionError);
        EXPECT_EQ(image != nullptr, rows == 2730);
        if (image) std::free(image->data);
        std::free(image);
    }
}

}  // namespace
