// The height map: what LoadHeightMap makes of exact, short, long, empty and missing files,
// and which map entry each grid point's height comes from.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

#include "terrain/terrain.h"

namespace {

constexpr int ENTRIES = MAP_SIZE * MAP_SIZE;

// Each test reads "vulc.raw" from a fresh directory of its own, so cases running side by
// side never see each other's file.
class HeightMapFile : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vrex-heightmap-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory_ = pattern;
        ASSERT_NE(getcwd(previous_, sizeof previous_), nullptr);
        ASSERT_EQ(chdir(directory_.c_str()), 0);
    }
    void TearDown() override {
        std::remove("vulc.raw");
        EXPECT_EQ(chdir(previous_), 0);
        rmdir(directory_.c_str());
    }
    static void WriteMap(const std::vector<uint8_t>& bytes) {
        std::FILE* file = std::fopen("vulc.raw", "wb");
        ASSERT_NE(file, nullptr);
        if (!bytes.empty()) {
            ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
        }
        std::fclose(file);
    }

private:
    std::string directory_;
    char previous_[4096];
};

// A byte for every offset, varied enough that a misplaced entry shows.
uint8_t PatternByte(size_t k) { return uint8_t(k * 7 + k / 512 + 3); }

std::vector<uint8_t> PatternBytes(size_t count) {
    std::vector<uint8_t> bytes(count);
    for (size_t k = 0; k < count; ++k) bytes[k] = PatternByte(k);
    return bytes;
}

struct LoadCase {
    const char* name;
    std::optional<std::vector<uint8_t>> file;  // nullopt: no file at all
    std::function<int32_t(int)> expected;      // entry k after loading
};

TEST_F(HeightMapFile, LoadFillsEveryEntryAsTheFileAllows) {
    std::vector<uint8_t> shortFile = PatternBytes(1000);
    shortFile.back() = 7;
    std::vector<uint8_t> longFile = PatternBytes(ENTRIES + 300);
    for (size_t k = ENTRIES; k < longFile.size(); ++k) longFile[k] = 0xEE;

    const std::vector<LoadCase> cases = {
        {"exact file", PatternBytes(ENTRIES), [](int k) { return PatternByte(k); }},
        {"1,000 bytes ending in 7", shortFile, [](int k) { return k < 999 ? PatternByte(k) : 7; }},
        {"missing file", std::nullopt, [](int) { return 0; }},
        {"empty file", std::vector<uint8_t>{}, [](int) { return 0; }},
        {"longer file", longFile, [](int k) { return PatternByte(k); }},
        {"one byte of 255", std::vector<uint8_t>{255}, [](int) { return 255; }},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::remove("vulc.raw");
        if (c.file) WriteMap(*c.file);
        for (int k = 0; k < ENTRIES; ++k) g_heightMap[k] = -1;  // every entry must be written

        LoadHeightMap();

        int wrong = 0;
        for (int k = 0; k < ENTRIES; ++k)
            if (g_heightMap[k] != c.expected(k) && wrong++ < 5)
                ADD_FAILURE() << "entry " << k << " is " << g_heightMap[k] << ", expected " << c.expected(k);
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(HeightMapFile, ByteAtOffset513LandsInRow1Column1) {
    std::vector<uint8_t> bytes(ENTRIES, 0);
    bytes[513] = 0xC3;
    WriteMap(bytes);
    LoadHeightMap();
    EXPECT_EQ(g_heightMap[1 * MAP_SIZE + 1], 0xC3);
    EXPECT_EQ(g_heightMap[512], 0);
    EXPECT_EQ(g_heightMap[514], 0);
}

TEST_F(HeightMapFile, BytesAreUnsignedAndScaledByTen) {
    std::vector<uint8_t> bytes(ENTRIES, 0);
    bytes[0] = 255;
    bytes[1] = 128;
    WriteMap(bytes);
    LoadHeightMap();
    EXPECT_EQ(TerrainHeight(1, 1), 25.5f);
    EXPECT_EQ(TerrainHeight(1, 2), 12.8f);
    EXPECT_EQ(TerrainHeight(1, 3), 0.0f);
}

// Every entry holds its own flat index, so a height names the entry it came from.
void NumberEveryEntry() {
    for (int k = 0; k < ENTRIES; ++k) g_heightMap[k] = k;
}
float HeightOfEntry(int row, int column) { return float(row * MAP_SIZE + column) / HEIGHT_SCALE; }

TEST(TerrainHeight, GridPointsTakeTheEntryOneRowAndColumnBefore) {
    NumberEveryEntry();
    struct Point {
        int x, z, row, column;
    };
    const Point points[] = {
        {1, 1, 0, 0},
        {257, 257, 256, 256},
        {5, 0, 3, 511},
        {2, 0, 0, 511},
        {2, 1, 1, 0},
        {1, 257, 0, 256},
        {257, 0, 255, 511},
        {100, 37, 99, 36},
        // no map entry: the neighbour at x = 1, or row 0, column 0
        {0, 0, 0, 0},
        {1, 0, 0, 0},
        {0, 1, 0, 0},
        {0, 5, 0, 4},
        {0, 257, 0, 256},
    };
    for (const Point& p : points)
        EXPECT_EQ(TerrainHeight(p.x, p.z), HeightOfEntry(p.row, p.column))
            << "grid point (" << p.x << ", " << p.z << ")";
}

TEST(TerrainHeight, EveryGridPointTheRendererUsesIsFinite) {
    for (int k = 0; k < ENTRIES; ++k) g_heightMap[k] = 255;
    for (int x = 0; x <= 257; ++x)
        for (int z = 0; z <= 257; ++z) ASSERT_EQ(TerrainHeight(x, z), 25.5f) << x << ", " << z;
}

}  // namespace
