// The capture tool's frame list and PNG output.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "tools/capture/capture.h"

namespace {

TEST(FrameList, ParsesNumbersAndInclusiveRanges) {
    const struct {
        const char* text;
        std::set<int> frames;
    } cases[] = {
        {"1", {1}},   {"0,18572", {0, 18572}}, {"1,2858,4286-4290", {1, 2858, 4286, 4287, 4288, 4289, 4290}},
        {"5-5", {5}}, {"3,1-2,2", {1, 2, 3}},
    };
    for (const auto& c : cases) {
        std::set<int> frames;
        std::string error;
        EXPECT_TRUE(ParseFrameList(c.text, &frames, &error)) << c.text << ": " << error;
        EXPECT_EQ(frames, c.frames) << c.text;
    }
}

TEST(FrameList, RefusesAnythingElseAndKeepsTheOldList) {
    for (const char* text : {"", ",", "1,", ",1", "-1", "4-2", "1-", "a", "1;2", "1 2", "99999999999", "1--2"}) {
        std::set<int> frames = {7};
        std::string error;
        EXPECT_FALSE(ParseFrameList(text, &frames, &error)) << text;
        EXPECT_FALSE(error.empty()) << text;
        EXPECT_EQ(frames, std::set<int>{7}) << text;
    }
}

TEST(FrameList, FileNamesSortInFrameOrder) {
    EXPECT_EQ(FrameFileName("out", 1), "out/frame_00001.png");
    EXPECT_EQ(FrameFileName("out", 18572), "out/frame_18572.png");
}

TEST(PngWriter, WritesRgbTopRowFirst) {
    // Three by two pixels as glReadPixels returns them: the bottom row first.
    const std::vector<uint8_t> bottomUp = {
        1,  2,  3,  4,  5,  6,  7,   8,   9,    // bottom row
        10, 11, 12, 13, 14, 15, 200, 201, 202,  // top row
    };
    std::filesystem::path path = std::filesystem::temp_directory_path() / "vrex_capture_test.png";
    ASSERT_TRUE(WritePng(path.string(), 3, 2, bottomUp.data()));

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, path.string().c_str()));
    EXPECT_EQ(image.width, 3u);
    EXPECT_EQ(image.height, 2u);
    EXPECT_EQ(image.format, PNG_FORMAT_RGB);
    std::vector<uint8_t> read(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, read.data(), 0, nullptr));
    EXPECT_EQ(read, (std::vector<uint8_t>{10, 11, 12, 13, 14, 15, 200, 201, 202, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    std::filesystem::remove(path);
}

TEST(PngWriter, ReportsAFileThatCannotBeWritten) {
    const uint8_t pixel[3] = {0, 0, 0};
    EXPECT_FALSE(WritePng("/nonexistent-directory/frame.png", 1, 1, pixel));
}

}  // namespace
