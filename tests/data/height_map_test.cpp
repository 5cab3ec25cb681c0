// "vulc.raw": size, the crater under the particle fountain, and the slopes around it.
#include <gtest/gtest.h>

#include <cmath>

#include "data_files.h"

namespace {

constexpr int SIZE = 512;
constexpr int VENT_ROW = 127, VENT_COLUMN = 79;  // terrain point (128, 80), where the fountain stands

class HeightMap : public ::testing::Test {
protected:
    static void SetUpTestSuite() { map_ = MakeDataFile("vulc.raw"); }
    static int At(int row, int col) { return map_.at(size_t((row + SIZE) % SIZE) * SIZE + (col + SIZE) % SIZE); }
    // Highest and mean byte on the ring of cells whose distance from the vent rounds to r.
    static std::pair<int, double> Ring(int r) {
        int highest = 0, count = 0;
        double sum = 0;
        for (int dr = -r - 1; dr <= r + 1; ++dr)
            for (int dc = -r - 1; dc <= r + 1; ++dc)
                if (std::lround(std::sqrt(double(dr * dr + dc * dc))) == r) {
                    const int h = At(VENT_ROW + dr, VENT_COLUMN + dc);
                    highest = std::max(highest, h);
                    sum += h;
                    ++count;
                }
        return {highest, sum / count};
    }
    static Bytes map_;
};
Bytes HeightMap::map_;

TEST_F(HeightMap, HoldsExactlyOneByteForEveryCell) { EXPECT_EQ(map_.size(), size_t(SIZE) * SIZE); }

TEST_F(HeightMap, CraterFloorUnderTheFountainLiesAtFifteenToSeventeenUnits) {
    for (int dr = -3; dr <= 3; ++dr)
        for (int dc = -3; dc <= 3; ++dc) {
            const int h = At(VENT_ROW + dr, VENT_COLUMN + dc);
            EXPECT_GE(h, 150) << dr << "," << dc;
            EXPECT_LE(h, 170) << dr << "," << dc;
        }
}

TEST_F(HeightMap, RimStandsWellAboveTheFloorAllAround) {
    const int floor = At(VENT_ROW, VENT_COLUMN);
    int lowestCrest = 255;
    for (int step = 0; step < 32; ++step) {
        // The highest point along each of 32 rays from the vent out to 24 cells.
        const double a = step * 2 * 3.14159265 / 32;
        int crest = 0;
        for (int d = 1; d <= 24; ++d)
            crest = std::max(crest, At(VENT_ROW + int(std::lround(d * std::cos(a))),
                                       VENT_COLUMN + int(std::lround(d * std::sin(a)))));
        lowestCrest = std::min(lowestCrest, crest);
    }
    EXPECT_GT(lowestCrest, floor + 20);
    EXPECT_GT(Ring(14).first, 200);
}

TEST_F(HeightMap, FlanksFallAwayFromTheRim) {
    double previous = Ring(16).second;
    for (int r = 24; r <= 96; r += 8) {
        const double mean = Ring(r).second;
        EXPECT_LT(mean, previous) << "ring " << r;
        previous = mean;
    }
}

TEST_F(HeightMap, SlopesAreRoughNotSmoothCones) {
    // Along a ring on the flank the height must wander up and down (gullies and ridges).
    int turns = 0, last = 0;
    const int r = 40;
    for (int step = 0; step < 256; ++step) {
        const double a = step * 2 * 3.14159265 / 256;
        const int h = At(VENT_ROW + int(std::lround(r * std::cos(a))), VENT_COLUMN + int(std::lround(r * std::sin(a))));
        const int next = At(VENT_ROW + int(std::lround(r * std::cos(a + 0.0245))),
                            VENT_COLUMN + int(std::lround(r * std::sin(a + 0.0245))));
        const int sign = (next > h) - (next < h);
        if (sign != 0 && last != 0 && sign != last) ++turns;
        if (sign != 0) last = sign;
    }
    EXPECT_GT(turns, 10);
}

TEST_F(HeightMap, LastColumnJoinsTheFirstWithoutAStep) {
    // Grid points with z = 0 borrow column 511 of the previous row.
    for (int row = 0; row <= 256; ++row) EXPECT_LE(std::abs(At(row, SIZE - 1) - At(row, 0)), 12) << row;
}

}  // namespace
