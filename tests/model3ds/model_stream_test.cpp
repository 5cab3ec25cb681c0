// The model benchmark's bare loop against DrawModel: replayed from its arrays, every model
// must give the demo's calls one for one, or the comparison measures something else.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "bench/model3ds/model_stream.h"
#include "tests/model3ds/model_gl_test_util.h"

using namespace writer3ds;

namespace {

std::vector<std::string> DemoLines() {
    glrec::Clear();
    DrawModel();
    return glrec::Lines();
}

std::vector<std::string> BareLines() {
    const std::vector<ObjectStream> stream = PrecomputeModelStream();
    glrec::Clear();
    SendModelStream(stream);
    return glrec::Lines();
}

// A strip of `cells` quads, two faces each, with one vertex normal per vertex that names it.
Bytes Strip(const std::string& name, const std::vector<std::string>& groups, int cells, size_t mappings) {
    std::vector<Point> points;
    std::vector<Uv> uvs;
    for (int k = 0; k <= cells; ++k) {
        points.push_back({float(k), 0, float(k % 3)});
        points.push_back({float(k), 1, float(k % 2)});
        uvs.push_back({k * 0.125f, 0});
        uvs.push_back({k * 0.125f, 1});
    }
    std::vector<FaceRecord> faces;
    for (int k = 0; k < cells; ++k) {
        const uint16_t a = uint16_t(2 * k);
        faces.push_back({a, uint16_t(a + 2), uint16_t(a + 1), 0});
        faces.push_back({uint16_t(a + 1), uint16_t(a + 2), uint16_t(a + 3), 0});
    }
    std::vector<uint16_t> all(faces.size());
    for (size_t f = 0; f < all.size(); ++f) all[f] = uint16_t(f);
    std::vector<Bytes> nested;
    for (const std::string& group : groups) nested.push_back(FaceMaterial(group, all));
    std::vector<Bytes> mesh{VertexList(points), FaceList(faces, nested)};
    uvs.resize(std::min(uvs.size(), mappings));
    if (mappings) mesh.push_back(MappingList(uvs));
    return Object(name, {TriangleMesh(mesh)});
}

using ModelBareLoop = ModelGlTest;

TEST_F(ModelBareLoop, ReplaysDrawModelCallForCall) {
    const Bytes skin = MaterialEntry("skin", {200, 100, 50}, "skin.bmp");
    const Bytes paint = MaterialEntry("paint", {10, 20, 30});
    struct Case {
        const char* what;
        std::vector<Bytes> editor;
    };
    const Case cases[] = {
        {"textured with a full mapping list", {skin, Strip("a", {"skin"}, 5, 99)}},
        {"textured without a mapping list", {skin, Strip("a", {"skin"}, 5, 0)}},
        {"textured, mapping list shorter than the vertices", {skin, Strip("a", {"skin"}, 5, 7)}},
        {"untextured in its material's colour", {paint, Strip("a", {"paint"}, 5, 99)}},
        {"untextured in white, no materials", {Strip("a", {}, 5, 99)}},
        {"last group names no known material", {skin, Strip("a", {"skin", "none"}, 5, 99)}},
        {"every kind in one model, in file order",
         {skin, paint, Strip("a", {"paint"}, 3, 0), Strip("b", {"skin"}, 4, 99), Strip("c", {}, 2, 0),
          Strip("d", {"skin"}, 3, 3), Strip("e", {"skin"}, 2, 0)}},
    };
    WritePicture("skin.bmp", SolidBmp(2, 2, {255, 0, 0}));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ForgetModel();
        glrec::Reset();
        Load(Document(c.editor));
        ASSERT_GT(g_model.objectCount, 0);
        const std::vector<std::string> demo = DemoLines();
        EXPECT_EQ(BareLines(), demo);
    }
}

// The model the benchmark draws: the default data's dinosaurs, with their skins.
TEST_F(ModelBareLoop, ReplaysTheDefaultModelCallForCall) {
    const char* binary = std::getenv("VREX_BINARY_DIR");
    ASSERT_NE(binary, nullptr);
    const std::filesystem::path data = std::filesystem::path(binary) / "data";
    if (!std::filesystem::exists(data / "dinos.3ds")) GTEST_SKIP() << "no default data in " << data;
    std::filesystem::current_path(data);
    LoadModel("dinos.3ds");
    ASSERT_GT(g_model.objectCount, 0);
    const std::vector<std::string> demo = DemoLines();
    const std::vector<std::string> bare = BareLines();
    ASSERT_EQ(bare.size(), demo.size());
    for (size_t k = 0; k < demo.size(); ++k) ASSERT_EQ(bare[k], demo[k]) << "call " << k;
}

}  // namespace
