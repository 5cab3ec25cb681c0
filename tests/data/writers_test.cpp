// The shared file writers: exact bytes for small inputs, and round trips.
#include <gtest/gtest.h>

#include "bmp_writer.h"
#include "writers/chunk_writer.h"
#include "data_files.h"
#include "tga_writer.h"

namespace {

TEST(TgaWriter, WritesTheLoadersHeaderAndBottomRowFirstAsBgr) {
    Image image(2, 2);
    image.At(0, 0) = {1, 0, 0, 1};  // top-left red
    image.At(1, 0) = {0, 1, 0, 1};  // top-right green
    image.At(0, 1) = {0, 0, 1, 1};  // bottom-left blue
    image.At(1, 1) = {1, 1, 1, 1};  // bottom-right white
    const Bytes expected = {0, 0, 2,   0, 0,   0, 0,   0, 0, 0,   0,   0,
                            2, 0, 2,   0, 24,  0, 255, 0, 0, 255, 255, 255,  // bottom row: blue, white
                            0, 0, 255, 0, 255, 0};                           // top row: red, green
    EXPECT_EQ(EncodeTga(image, TgaDepth::Rgb24), expected);
}

TEST(TgaWriter, ThirtyTwoBitFilesCarryAlphaAndSayEightAlphaBits) {
    Image image(1, 1, {0, 0, 0, 0});
    const Bytes tga = EncodeTga(image, TgaDepth::Rgba32);
    ASSERT_EQ(tga.size(), 18u + 4u);
    EXPECT_EQ(tga[16], 32);
    EXPECT_EQ(tga[17], 8);  // bit 5 clear: bottom-left origin
    EXPECT_EQ(tga[21], 0);
}

TEST(Rle8, RowsEncodeToTheExpectedRunsAndBlocks) {
    struct Case {
        const char* what;
        std::vector<uint8_t> row;
        Bytes encoded;
    };
    const Case cases[] = {
        {"one run", {7, 7, 7, 7}, {4, 7}},
        {"a lone index", {9}, {1, 9}},
        {"two different indices travel as pairs", {1, 2}, {1, 1, 1, 2}},
        {"an odd absolute block is padded", {1, 2, 3}, {0, 3, 1, 2, 3, 0}},
        {"an even absolute block is not", {1, 2, 3, 4}, {0, 4, 1, 2, 3, 4}},
        {"a block then a run", {1, 2, 3, 5, 5, 5}, {0, 3, 1, 2, 3, 0, 3, 5}},
        {"a run then a short tail", {5, 5, 5, 1, 2}, {3, 5, 1, 1, 1, 2}},
    };
    for (const Case& c : cases) EXPECT_EQ(EncodeRle8Row(c.row.data(), int(c.row.size())), c.encoded) << c.what;
}

TEST(Rle8, LongRunsSplitAt255) {
    const std::vector<uint8_t> row(300, 4);
    EXPECT_EQ(EncodeRle8Row(row.data(), 300), (Bytes{255, 4, 45, 4}));
}

TEST(Rle8, PicturesDecodeBackToTheirIndices) {
    IndexedImage image;
    image.width = 37;
    image.height = 5;
    for (int i = 0; i < image.width * image.height; ++i)
        image.indices.push_back(uint8_t((i / 7) % 3 == 0 ? 200 : (i * 31) % 251));
    for (int i = 0; i < 256; ++i) image.palette[i] = {float(i) / 255, 0, 1.0f - float(i) / 255, 1};

    for (BmpPacking packing : {BmpPacking::Plain, BmpPacking::Rle8}) {
        const BmpPicture bmp = ReadBmp(EncodeBmp8(image, packing));
        ASSERT_EQ(bmp.width, 37);
        ASSERT_EQ(bmp.height, 5);
        EXPECT_EQ(bmp.compression, packing == BmpPacking::Rle8 ? 1 : 0);
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 37; ++x) {
                const uint8_t index = image.indices[size_t(4 - y) * 37 + x];  // file rows are bottom-up
                ASSERT_EQ(bmp.rgb[(size_t(y) * 37 + x) * 3], index) << x << "," << y;
                ASSERT_EQ(bmp.rgb[(size_t(y) * 37 + x) * 3 + 2], 255 - index);
            }
        }
    }
}

TEST(BmpWriter, TwentyFourBitRowsArePaddedAndBottomUp) {
    Image image(3, 2, {0, 0, 0, 1});
    image.At(0, 1) = {1, 0, 0, 1};  // bottom-left red
    const Bytes bmp = EncodeBmp24(image);
    EXPECT_EQ(Le32(bmp, 10), 54u);
    EXPECT_EQ(Le32(bmp, 2), bmp.size());
    EXPECT_EQ(bmp.size(), 54u + 2 * 12);  // 9 bytes of pixels padded to 12 per row
    EXPECT_EQ(bmp[54 + 2], 255);          // first pixel of the file: red, stored B, G, R
    EXPECT_EQ(bmp[54 + 12 + 2], 0);
}

TEST(ChunkWriter, LengthsCountHeadersDataAndChildren) {
    ChunkWriter w;
    w.Begin(0x4D4D);
    w.Begin(0x0002);
    w.U32(3);
    w.End();
    w.End();
    EXPECT_EQ(w.OpenChunks(), 0u);
    // The 16-byte file of a primary chunk holding one version chunk with version 3.
    const Bytes expected = {0x4D, 0x4D, 0x10, 0, 0, 0, 0x02, 0, 0x0A, 0, 0, 0, 3, 0, 0, 0};
    EXPECT_EQ(w.Result(), expected);
}

}  // namespace
