#include "mesh.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

Vec3 Normalize(Vec3 v) {
    const float len = std::sqrt(Dot(v, v));
    return len > 0 ? v * (1.0f / len) : v;
}

template <typename T>
static T CatmullRom(const std::vector<T>& points, float s) {
    const int last = int(points.size()) - 1;
    const float f = std::clamp(s, 0.0f, 1.0f) * float(last);
    const int i = std::min(int(f), last - 1);
    const float t = f - float(i);
    const T& p0 = points[std::max(i - 1, 0)];
    const T& p1 = points[i];
    const T& p2 = points[i + 1];
    const T& p3 = points[std::min(i + 2, last)];
    const float t2 = t * t, t3 = t2 * t;
    return (p1 * 2.0f + (p2 - p0) * t + (p0 * 2.0f - p1 * 5.0f + p2 * 4.0f - p3) * t2 +
            (p1 * 3.0f - p0 - p2 * 3.0f + p3) * t3) *
           0.5f;
}

Vec3 TubeCentre(const TubeSpec& spec, float s) { return CatmullRom(spec.path, s); }

float TubeRadius(const TubeSpec& spec, float s) {
    if (spec.radii.size() == 1) return spec.radii[0];
    return std::max(0.05f, CatmullRom(spec.radii, s));
}

double SignedVolume6(const Mesh& mesh, size_t firstFace) {
    double sum = 0;
    for (size_t f = firstFace; f < mesh.faces.size(); ++f) {
        const Vec3& a = mesh.vertices[mesh.faces[f][0]];
        const Vec3& b = mesh.vertices[mesh.faces[f][1]];
        const Vec3& c = mesh.vertices[mesh.faces[f][2]];
        sum += double(Dot(a, Cross(b, c)));
    }
    return sum;
}

void AppendTube(Mesh& mesh, const TubeSpec& spec) {
    const int base = int(mesh.vertices.size());
    const size_t firstFace = mesh.faces.size();
    const int ringSize = spec.sides + 1;  // the seam vertex repeats with v = 1
    const float step = 1.0f / float(spec.rings - 1);
    Vec3 up = spec.up;
    Vec3 firstTangent, lastTangent;
    for (int i = 0; i < spec.rings; ++i) {
        const float s = float(i) * step;
        const Vec3 tangent =
            Normalize(TubeCentre(spec, std::min(1.0f, s + 0.01f)) - TubeCentre(spec, std::max(0.0f, s - 0.01f)));
        // Parallel transport: keep `up` square to the path without letting the ring twist.
        up = Normalize(up - tangent * Dot(up, tangent));
        const Vec3 side = Cross(tangent, up);
        const Vec3 centre = TubeCentre(spec, s);
        const float radius = TubeRadius(spec, s);
        for (int j = 0; j <= spec.sides; ++j) {
            // The seam vertex takes the first vertex's position exactly, so the surface has no crack.
            const float angle = 2.0f * std::numbers::pi_v<float> * float(j % spec.sides) / float(spec.sides);
            const Vec3 offset = side * (std::sin(angle) * radius) - up * (std::cos(angle) * radius * spec.flatten);
            mesh.vertices.push_back(centre + offset);
            mesh.texture.push_back({spec.uStart + (spec.uEnd - spec.uStart) * s, float(j) / float(spec.sides)});
        }
        if (i == 0) firstTangent = tangent;
        lastTangent = tangent;
    }
    const int startPole = int(mesh.vertices.size());
    mesh.vertices.push_back(TubeCentre(spec, 0) - firstTangent * (spec.capStart * TubeRadius(spec, 0)));
    mesh.texture.push_back({spec.uStart, 0.5f});
    const int endPole = startPole + 1;
    mesh.vertices.push_back(TubeCentre(spec, 1) + lastTangent * (spec.capEnd * TubeRadius(spec, 1)));
    mesh.texture.push_back({spec.uEndPole, 0.5f});

    auto at = [&](int ring, int j) { return base + ring * ringSize + j; };
    for (int j = 0; j < spec.sides; ++j) mesh.faces.push_back({startPole, at(0, j + 1), at(0, j)});
    for (int i = 0; i + 1 < spec.rings; ++i) {
        for (int j = 0; j < spec.sides; ++j) {
            mesh.faces.push_back({at(i, j), at(i, j + 1), at(i + 1, j + 1)});
            mesh.faces.push_back({at(i, j), at(i + 1, j + 1), at(i + 1, j)});
        }
    }
    // The closing fan comes last and names its pole last, so the final corner drawn is the pole.
    for (int j = 0; j < spec.sides; ++j)
        mesh.faces.push_back({at(spec.rings - 1, j), at(spec.rings - 1, j + 1), endPole});
    // The side vector's handedness decides the winding; turn the tube inside out if it came out
    // clockwise. Swapping the first two corners keeps each pole the last corner of its fan.
    if (SignedVolume6(mesh, firstFace) < 0) {
        for (size_t f = firstFace; f < mesh.faces.size(); ++f) std::swap(mesh.faces[f][0], mesh.faces[f][1]);
    }
}
