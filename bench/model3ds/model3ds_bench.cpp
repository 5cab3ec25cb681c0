// Import and vertex normals of a large model, and the plain scan of every face for every
// vertex that the one-pass normals replace.
//
// A 3DS list holds at most 65535 entries, so the file of the import benchmark carries the
// 60,000 vertices and about 120,000 faces as two grid objects of half that size each; the
// normals benchmarks build the same total as one object in memory. The scan costs
// vertexCount x faceCount per object: it is timed on smaller grids, and on the full one only
// when asked for (--benchmark_filter=Scan/300), since it takes a while there.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "model3ds/model.h"
#include "writers/model3ds_writer.h"
#include "tests/model3ds/scan_normals.h"

using namespace writer3ds;

namespace {

// A gently rolling grid of columns x rows vertices, two triangles per cell.
void Grid(int columns, int rows, std::vector<Point>& points, std::vector<FaceRecord>& faces) {
    points.clear();
    faces.clear();
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            points.push_back({float(c), float(r), std::sin(c * 0.1f) * std::cos(r * 0.13f)});
    for (int r = 0; r + 1 < rows; ++r)
        for (int c = 0; c + 1 < columns; ++c) {
            auto at = [&](int cc, int rr) { return uint16_t(rr * columns + cc); };
            faces.push_back({at(c, r), at(c + 1, r), at(c + 1, r + 1), 7});
            faces.push_back({at(c, r), at(c + 1, r + 1), at(c, r + 1), 7});
        }
}

Model GridModel(int columns, int rows) {
    std::vector<Point> points;
    std::vector<FaceRecord> records;
    Grid(columns, rows, points, records);
    MeshObject object{};
    object.vertexCount = int32_t(points.size());
    object.faceCount = int32_t(records.size());
    object.vertices = static_cast<Vector3*>(std::calloc(points.size(), sizeof(Vector3)));
    object.faces = static_cast<Face*>(std::calloc(records.size(), sizeof(Face)));
    for (size_t i = 0; i < points.size(); ++i) object.vertices[i] = {points[i][0], points[i][2], -points[i][1]};
    for (size_t f = 0; f < records.size(); ++f) object.faces[f] = {{records[f].a, records[f].b, records[f].c}};
    Model model;
    model.objects.push_back(object);
    model.objectCount = 1;
    return model;
}

std::string WriteTwoGridFile() {
    std::vector<Point> points;
    std::vector<FaceRecord> faces;
    Grid(200, 150, points, faces);  // 30,000 vertices, 59,402 faces
    Bytes half = TriangleMesh({VertexList(points), FaceList(faces, {SmoothingList(faces.size())})});
    std::string path =
        (std::filesystem::temp_directory_path() / ("bench-model3ds-" + std::to_string(getpid()) + ".3ds")).string();
    WriteFile(path, Document({Object("west", {half}), Object("east", {half})}));
    return path;
}

void ImportWithNormals(benchmark::State& state) {
    std::string path = WriteTwoGridFile();
    int64_t vertices = 0, faces = 0;
    for (auto _ : state) {
        Model model;
        g_modelLoader.Import(model, path.c_str());
        benchmark::DoNotOptimize(model.objects.data());
        vertices = model.objects[0].vertexCount + model.objects[1].vertexCount;
        faces = model.objects[0].faceCount + model.objects[1].faceCount;
        ReleaseModel(model);
    }
    std::remove(path.c_str());
    state.counters["vertices"] = double(vertices);
    state.counters["faces"] = double(faces);
}
BENCHMARK(ImportWithNormals)->Unit(benchmark::kMillisecond);

void OnePassNormals(benchmark::State& state) {
    Model model = GridModel(int(state.range(0)), int(state.range(0) * 2 / 3));
    for (auto _ : state) {
        BuildVertexNormals(model);
        benchmark::DoNotOptimize(model.objects[0].normals);
    }
    state.counters["vertices"] = model.objects[0].vertexCount;
    state.counters["faces"] = model.objects[0].faceCount;
    ReleaseModel(model);
}
BENCHMARK(OnePassNormals)->Arg(75)->Arg(150)->Arg(300)->Unit(benchmark::kMillisecond);

void Scan(benchmark::State& state) {
    Model model = GridModel(int(state.range(0)), int(state.range(0) * 2 / 3));
    for (auto _ : state) benchmark::DoNotOptimize(ScanEveryFaceForEveryVertex(model.objects[0]).data());
    const MeshObject& object = model.objects[0];
    state.counters["vertices"] = object.vertexCount;
    state.counters["faces"] = object.faceCount;
    // Seconds per vertex-face pair: the full size costs about this times its V x F.
    state.counters["per_pair"] =
        benchmark::Counter(double(object.vertexCount) * object.faceCount * double(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    ReleaseModel(model);
}
BENCHMARK(Scan)->Arg(75)->Arg(150)->Unit(benchmark::kMillisecond)->Iterations(1);

// A hostile file: many objects whose lists claim the full 65535 entries and carry none. The
// reader keeps the claimed counts, so its cost is in the memory it maps and reads back.
void LyingCounts(benchmark::State& state) {
    const uint16_t FULL = 65535;
    Bytes empty = TriangleMesh({Chunk(0x4110, U16(FULL)), Chunk(0x4120, U16(FULL)), Chunk(0x4140, U16(FULL))});
    std::vector<Bytes> objects;
    for (int64_t i = 0; i < state.range(0); ++i) objects.push_back(Object("o" + std::to_string(i), {empty}));
    std::string path =
        (std::filesystem::temp_directory_path() / ("bench-lying-" + std::to_string(getpid()) + ".3ds")).string();
    WriteFile(path, Document(objects));
    for (auto _ : state) {
        Model model;
        g_modelLoader.Import(model, path.c_str());
        benchmark::DoNotOptimize(model.objects.data());
        ReleaseModel(model);
    }
    std::remove(path.c_str());
}
BENCHMARK(LyingCounts)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // The full-size scan only when named (Initialize takes the filter out of argv).
    bool fullScanAsked = false;
    for (int i = 1; i < argc; ++i) fullScanAsked |= std::strstr(argv[i], "Scan/300") != nullptr;
    benchmark::Initialize(&argc, argv);
    if (fullScanAsked)
        benchmark::RegisterBenchmark("Scan", Scan)->Arg(300)->Unit(benchmark::kMillisecond)->Iterations(1);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
