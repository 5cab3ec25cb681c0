#include "dinosaurs.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float TOE_U = 0.98f;  // the feet's closing poles: inside the claw patch

TubeSpec Tube(std::vector<Vec3> path, std::vector<float> radii, int rings, int sides, float flatten = 1.0f) {
    TubeSpec spec;
    spec.path = std::move(path);
    spec.radii = std::move(radii);
    spec.rings = rings;
    spec.sides = sides;
    spec.flatten = flatten;
    return spec;
}

// A leg hangs down, so its cross-section's "top" faces forward (the light side of the skin).
TubeSpec Leg(std::vector<Vec3> path, std::vector<float> radii, Vec3 forward) {
    TubeSpec spec = Tube(std::move(path), std::move(radii), 18, 14);
    spec.up = forward;
    spec.uEndPole = TOE_U;
    spec.capEnd = 0.5f;
    return spec;
}

// The crest of a tube at s, a little sunk into it, where a back spike stands.
Vec3 Crest(const TubeSpec& spec, float s) {
    return TubeCentre(spec, s) + Vec3{0, TubeRadius(spec, s) * spec.flatten * 0.9f, 0};
}

void AddSpikes(Mesh& spikes, const TubeSpec& along, float from, float to, int count, float height) {
    for (int i = 0; i < count; ++i) {
        const float s = from + (to - from) * float(i) / float(count - 1);
        const float size = height * (0.6f + 0.4f * std::sin(3.14159f * float(i) / float(count - 1)));
        const Vec3 root = Crest(along, s);
        TubeSpec spike = Tube({root, root + Vec3{-size * 0.3f, size, 0}}, {size * 0.45f, size * 0.05f}, 4, 8);
        spike.capStart = 0.0f;
        spike.capEnd = 0.3f;
        AppendTube(spikes, spike);
    }
}

void AddEye(Mesh& eyes, Vec3 centre, float radius) {
    TubeSpec eye = Tube({centre - Vec3{radius * 0.5f, 0, 0}, centre + Vec3{radius * 0.5f, 0, 0}},
                        {radius * 0.8f, radius, radius * 0.8f}, 6, 10);
    eye.capStart = eye.capEnd = 0.6f;
    AppendTube(eyes, eye);
}

Mesh Build(std::initializer_list<TubeSpec> tubes) {
    Mesh mesh;
    for (const TubeSpec& t : tubes) AppendTube(mesh, t);
    return mesh;
}

// Puts the feet on the ground and keeps the whole model inside the tube it is shown in.
void FitIntoTube(ModelDescription& model) {
    float lowest = 1e9f, highest = -1e9f, widest = 0;
    for (const ModelObject& o : model.objects)
        for (const Vec3& v : o.mesh.vertices) {
            lowest = std::min(lowest, v.y);
            highest = std::max(highest, v.y);
            widest = std::max(widest, std::sqrt(v.x * v.x + v.z * v.z));
        }
    const float scale = std::min({1.0f, MODEL_HEIGHT / (highest - lowest), MODEL_RADIUS / widest});
    for (ModelObject& o : model.objects)
        for (Vec3& v : o.mesh.vertices) v = {v.x * scale, (v.y - lowest) * scale, v.z * scale};
}

}  // namespace

ModelDescription BuildDinosaurs() {
    ModelDescription model;
    model.materials = {{"SAUROPOD_SKIN", 255, 255, 255, SAUROPOD_SKIN_FILE},
                       {"THEROPOD_SKIN", 255, 255, 255, THEROPOD_SKIN_FILE},
                       {"HORN", 226, 206, 160, ""},
                       {"EYE", 24, 16, 10, ""}};

    // The sauropod faces +x: a deep body, a neck that climbs to a small head near the top of
    // the tube, a tail that sweeps round behind, and four pillar legs.
    const TubeSpec sauroBody =
        Tube({{-32, 44, 0}, {-14, 49, 0}, {6, 49, 0}, {20, 47, 0}}, {9, 16, 16, 11}, 30, 24, 1.1f);
    const TubeSpec sauroNeck = Tube({{12, 50, 0}, {24, 62, 0}, {31, 78, 0}, {35, 90, 0}}, {10, 7, 5, 4}, 28, 16);
    TubeSpec sauroHead = Tube({{33, 93, 0}, {40, 93.5f, 0}, {47, 91.5f, 0}}, {4.5f, 3.8f, 2.2f}, 14, 14, 0.85f);
    sauroHead.capEnd = 0.9f;
    const TubeSpec sauroTail = Tube({{-28, 46, 0}, {-42, 41, 3}, {-48, 31, 11}, {-47, 20, 24}, {-38, 12, 35}},
                                    {11, 7, 4.5f, 2.6f, 1.0f}, 36, 16);
    const Vec3 forward{1, 0, 0};
    Mesh sauroLegs;
    for (float side : {-1.0f, 1.0f}) {
        AppendTube(sauroLegs,
                   Leg({{12, 44, 9 * side}, {13, 22, 10 * side}, {11, 3.5f, 10 * side}}, {7, 5, 5.5f}, forward));
        AppendTube(sauroLegs,
                   Leg({{-20, 46, 10 * side}, {-23, 24, 11 * side}, {-19, 3.5f, 11 * side}}, {10, 6, 6}, forward));
    }

    // The theropod stands in front of the sauropod's flank, also facing +x.
    const float z = 30;
    const TubeSpec rexBody = Tube({{-8, 30, z}, {4, 32, z}, {14, 37, z}}, {7.5f, 9, 6.5f}, 20, 18, 1.15f);
    const TubeSpec rexNeck = Tube({{12, 36, z}, {18, 42, z}, {22, 44.5f, z}}, {6.5f, 5, 4.5f}, 12, 16);
    TubeSpec rexHead = Tube({{19, 45.5f, z}, {27, 45, z}, {33, 43, z}}, {5.5f, 4.6f, 3}, 16, 16, 1.1f);
    rexHead.capEnd = 0.8f;
    TubeSpec rexJaw = Tube({{20, 41.5f, z}, {26, 40, z}, {31, 38.5f, z}}, {3.4f, 2.6f, 1.8f}, 10, 12, 0.6f);
    const TubeSpec rexTail =
        Tube({{-6, 31, z}, {-18, 31, z}, {-28, 29, z - 3}, {-36, 26.5f, z - 8}}, {8, 5, 3, 1}, 24, 16);
    Mesh rexArms, rexLegs;
    for (float side : {-1.0f, 1.0f}) {
        AppendTube(rexArms, Tube({{10, 33, z + 6 * side}, {14, 29, z + 7.5f * side}, {17.5f, 30, z + 7 * side}},
                                 {2, 1.3f, 0.8f}, 8, 8));
        // Striding: one leg reaches forward while the other pushes back.
        const float stride = 5.0f * side;
        AppendTube(rexLegs, Leg({{-2, 30, z + 5 * side},
                                 {4 + stride, 19, z + 6 * side},
                                 {-1 + stride, 7, z + 6 * side},
                                 {5 + stride, 1.6f, z + 6 * side}},
                                {6, 3.8f, 2.5f, 2.0f}, forward));
    }

    Mesh spikes, eyes;
    AddSpikes(spikes, sauroBody, 0.05f, 0.85f, 7, 5.0f);
    AddSpikes(spikes, sauroTail, 0.05f, 0.55f, 5, 3.5f);
    AddSpikes(spikes, rexBody, 0.1f, 0.9f, 5, 2.5f);
    for (float side : {-1.0f, 1.0f}) {
        AddEye(eyes, {40, 95, 3.1f * side}, 0.9f);
        AddEye(eyes, {27, 47.4f, z + 4.1f * side}, 1.1f);
    }

    model.objects = {{"SauroBody", "SAUROPOD_SKIN", Build({sauroBody})},
                     {"SauroNeck", "SAUROPOD_SKIN", Build({sauroNeck})},
                     {"SauroHead", "SAUROPOD_SKIN", Build({sauroHead})},
                     {"SauroTail", "SAUROPOD_SKIN", Build({sauroTail})},
                     {"SauroLegs", "SAUROPOD_SKIN", std::move(sauroLegs)},
                     {"RexBody", "THEROPOD_SKIN", Build({rexBody, rexNeck})},
                     {"RexHead", "THEROPOD_SKIN", Build({rexHead, rexJaw})},
                     {"RexTail", "THEROPOD_SKIN", Build({rexTail})},
                     {"RexArms", "THEROPOD_SKIN", std::move(rexArms)},
                     {"RexLegs", "THEROPOD_SKIN", std::move(rexLegs)},
                     {"Spikes", "HORN", std::move(spikes)},
                     {"Eyes", "EYE", std::move(eyes)}};
    FitIntoTube(model);
    return model;
}
