// height_map.h - "vulc.raw": the volcano the terrain scenes fly over.
//
// 512 x 512 unsigned bytes, row-major, no header; a byte divided by 10 is a height in world
// units. The terrain reaches rows and columns 0..256 (and column 511, which the first grid
// column borrows), with map row r at terrain x = r + 1 and column c at terrain z = c + 1.
// The particle fountain stands at terrain (128, 17, 80), that is map row 127, column 79: the
// crater is centred there, its floor about 16 units high, its rim higher, and fractal,
// gullied slopes fall away from it to rolling ground. The map repeats at its edges in both
// directions, so column 511 meets column 0 without a step.
#pragma once

#include <cstdint>
#include <vector>

inline constexpr int MAP_SIZE = 512;
inline constexpr int CRATER_ROW = 127;
inline constexpr int CRATER_COLUMN = 79;
inline constexpr float CRATER_FLOOR_RADIUS = 6.0f;  // cells of near-level floor around the vent
inline constexpr float CRATER_RIM_RADIUS = 14.0f;   // cells from the vent to the rim crest

// The heights in map units (bytes), row-major, before rounding.
std::vector<float> BuildHeightField();

// "vulc.raw": the field rounded to bytes.
std::vector<uint8_t> EncodeHeightMap(const std::vector<float>& field);
