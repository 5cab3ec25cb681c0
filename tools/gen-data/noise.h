// noise.h - deterministic, tileable noise.
//
// Every irregular pattern the generators draw comes from here, seeded by constants and hashed
// from lattice coordinates, so every run makes the same bytes. Noise is periodic: a pattern made with period P (in lattice cells per unit)
// repeats exactly across u = 0..1, which is what makes textures tile without seams.
#pragma once

#include <cstdint>

// Gradient (Perlin-style) noise at (x, y) in lattice units, repeating every `periodX` cells
// along x and `periodY` along y; about -0.7..0.7.
float GradientNoise(float x, float y, int periodX, int periodY, uint32_t seed);

// Fractal sum of `octaves` layers of gradient noise over the unit square: the first layer has
// `basePeriod` cells across it, each further layer twice as many and half the weight.
// Repeats across u, v = 0..1; roughly -1..1.
float FractalNoise(float u, float v, int basePeriod, int octaves, uint32_t seed);

// The same with different base periods along u and v: streaks, grain, ridge lines.
float StretchedNoise(float u, float v, int periodU, int periodV, int octaves, uint32_t seed);

// Cellular (Worley) noise over the unit square with `cells` cells across: the distance to the
// nearest feature point in cell units (0 at a point, about 1 at most); repeats across 0..1.
float CellNoise(float u, float v, int cells, uint32_t seed);
