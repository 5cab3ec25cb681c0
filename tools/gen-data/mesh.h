// mesh.h - triangle meshes grown as generalized cylinders: a ring of vertices swept along a
// smooth path, its radius following a profile, closed at both ends by a pole.
//
// Coordinates are the demo's (y up). Every tube is closed and wound so that its corners run
// counter-clockwise seen from outside, which is the side (P1 - P0) x (P2 - P0) points to.
// Texture coordinates: u runs along the tube, v around it, with v = 0.5 along the top (the
// side the `up` reference points to) and v = 0 / 1 along the underside, so a skin texture can
// carry light on the back and shade under the belly.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

struct Vec3 {
    float x = 0, y = 0, z = 0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
float Dot(Vec3 a, Vec3 b);
Vec3 Cross(Vec3 a, Vec3 b);
Vec3 Normalize(Vec3 v);

struct TexturePoint {
    float u = 0, v = 0;
};

struct Mesh {
    std::vector<Vec3> vertices;
    std::vector<TexturePoint> texture;  // one per vertex
    std::vector<std::array<int, 3>> faces;
};

struct TubeSpec {
    std::vector<Vec3> path;    // control points of a Catmull-Rom curve, at least two
    std::vector<float> radii;  // radius profile, spread evenly from the first to the last point
    float flatten = 1.0f;      // half-height over half-width of the cross-section
    Vec3 up = {0, 1, 0};       // which way the cross-section's top faces at the start
    int rings = 24;
    int sides = 16;
    float uStart = 0.02f;   // texture u at the first ring (and its pole)
    float uEnd = 0.9f;      // texture u at the last ring
    float uEndPole = 0.9f;  // texture u at the closing pole
    float capStart = 0.6f;  // how far each pole stands out beyond its ring, in end radii
    float capEnd = 0.6f;
};

// Adds the closed tube to the mesh.
void AppendTube(Mesh& mesh, const TubeSpec& spec);

// Points on the tube's curve and its radius there, for s = 0..1 along it.
Vec3 TubeCentre(const TubeSpec& spec, float s);
float TubeRadius(const TubeSpec& spec, float s);

// Six times the volume enclosed by the faces from `firstFace` on: positive when they are
// wound counter-clockwise seen from outside.
double SignedVolume6(const Mesh& mesh, std::size_t firstFace);
