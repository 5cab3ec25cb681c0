// "dinos.3ds" and its skins, read with a minimal chunk walker of the tests' own: the layout
// the demo's reader expects, the model's place inside the tube, its counts and its winding.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <tuple>

#include "data_files.h"

namespace {

struct Point {
    double x, y, z;
};
Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Point Cross(Point a, Point b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Dot(Point a, Point b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

struct Object {
    std::string name, material;
    std::vector<Point> vertices;  // in the demo's axes: file (x, y, z) becomes (x, z, -y)
    std::vector<std::pair<float, float>> mapping;
    std::vector<std::array<int, 3>> faces;
    size_t vertexCount = 0, mappingCount = 0;
};
struct Material {
    std::string name, texture;
    int colourChunk = 0;
};
struct Model {
    uint32_t version = 0, meshVersion = 0;
    uint16_t editorFirstChild = 0;
    std::vector<Material> materials;
    std::vector<Object> objects;
    bool wellFormed = true;
};

std::string StringAt(const Bytes& b, size_t at, size_t end) {
    std::string s;
    while (at < end && b[at] != 0) s.push_back(char(b[at++]));
    return s;
}

void Walk(const Bytes& b, size_t at, size_t end, Model& m) {
    while (at < end) {
        if (at + 6 > end) {
            m.wellFormed = false;
            return;
        }
        const uint16_t id = Le16(b, at);
        const uint32_t length = Le32(b, at + 2);
        const size_t data = at + 6, next = at + length;
        if (length < 6 || next > end) {
            m.wellFormed = false;
            return;
        }
        switch (id) {
        case 0x0002: m.version = Le32(b, data); break;
        case 0x3D3D:
            m.editorFirstChild = Le16(b, data);
            m.meshVersion = Le32(b, data + 6);
            Walk(b, data, next, m);
            break;
        case 0x4100:
        case 0xA200: Walk(b, data, next, m); break;
        case 0xAFFF:
            m.materials.emplace_back();
            Walk(b, data, next, m);
            break;
        case 0xA000: m.materials.back().name = StringAt(b, data, next); break;
        case 0xA300: m.materials.back().texture = StringAt(b, data, next); break;
        case 0xA020: m.materials.back().colourChunk = Le16(b, data); break;
        case 0x4000:
            m.objects.emplace_back();
            m.objects.back().name = StringAt(b, data, next);
            Walk(b, data + m.objects.back().name.size() + 1, next, m);
            break;
        case 0x4110: {
            Object& o = m.objects.back();
            o.vertexCount = Le16(b, data);
            for (size_t i = 0; i < o.vertexCount; ++i) {
                const size_t p = data + 2 + 12 * i;
                o.vertices.push_back({LeF32(b, p), LeF32(b, p + 8), -double(LeF32(b, p + 4))});
            }
            break;
        }
        case 0x4140: {
            Object& o = m.objects.back();
            o.mappingCount = Le16(b, data);
            for (size_t i = 0; i < o.mappingCount; ++i)
                o.mapping.push_back({LeF32(b, data + 2 + 8 * i), LeF32(b, data + 6 + 8 * i)});
            break;
        }
        case 0x4120: {
            Object& o = m.objects.back();
            const size_t count = Le16(b, data);
            for (size_t i = 0; i < count; ++i)
                o.faces.push_back({Le16(b, data + 2 + 8 * i), Le16(b, data + 4 + 8 * i), Le16(b, data + 6 + 8 * i)});
            Walk(b, data + 2 + 8 * count, next, m);  // the face-material group nests here
            break;
        }
        case 0x4130: m.objects.back().material = StringAt(b, data, next); break;
        default: break;
        }
        at = next;
    }
}

class DinosaurModel : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const Bytes file = MakeDataFile("dinos.3ds");
        ASSERT_GE(file.size(), 6u);
        ASSERT_EQ(Le16(file, 0), 0x4D4D);
        ASSERT_EQ(Le32(file, 2), file.size());
        Walk(file, 6, file.size(), model_);
    }
    static const Material* MaterialOf(const Object& o) {
        for (const Material& m : model_.materials)
            if (m.name == o.material) return &m;
        return nullptr;
    }
    static Model model_;
};
Model DinosaurModel::model_;

TEST_F(DinosaurModel, ChunksFollowTheLayoutTheReaderWalks) {
    EXPECT_TRUE(model_.wellFormed);
    EXPECT_EQ(model_.version, 3u);
    EXPECT_EQ(model_.editorFirstChild, 0x3D3E);
    EXPECT_EQ(model_.meshVersion, 3u);
    EXPECT_GE(model_.objects.size(), 5u);
    for (const Material& m : model_.materials) EXPECT_EQ(m.colourChunk, 0x0011) << m.name;
}

TEST_F(DinosaurModel, MaterialsIncludeTwentyFourBitEightBitAndPlainColourOnes) {
    std::set<int> depths;
    int plain = 0;
    for (const Material& m : model_.materials) {
        if (m.texture.empty()) {
            ++plain;
            continue;
        }
        const BmpPicture bmp = ReadBmp(MakeDataFile(m.texture));
        ASSERT_GT(bmp.width, 0) << m.texture << " is not a generated, readable BMP";
        EXPECT_EQ(bmp.width & (bmp.width - 1), 0) << m.texture;
        EXPECT_EQ(bmp.height & (bmp.height - 1), 0) << m.texture;
        depths.insert(bmp.bits);
    }
    EXPECT_EQ(depths, (std::set<int>{8, 24}));
    EXPECT_GE(plain, 1);
}

TEST_F(DinosaurModel, EveryObjectIsConsistentAndNamesAKnownMaterial) {
    for (const Object& o : model_.objects) {
        SCOPED_TRACE(o.name);
        EXPECT_LE(o.vertexCount, 65535u);
        EXPECT_EQ(o.vertices.size(), o.vertexCount);
        ASSERT_NE(MaterialOf(o), nullptr);
        if (!MaterialOf(o)->texture.empty()) {
            EXPECT_EQ(o.mappingCount, o.vertexCount);
        }
        for (const auto& f : o.faces)
            for (int i : f) ASSERT_LT(size_t(i), o.vertexCount);
    }
}

TEST_F(DinosaurModel, StandsInsideTheTubeOnTheGround) {
    double lowest = 1e9, highest = -1e9, widest = 0;
    for (const Object& o : model_.objects)
        for (const Point& p : o.vertices) {
            lowest = std::min(lowest, p.y);
            highest = std::max(highest, p.y);
            widest = std::max(widest, std::hypot(p.x, p.z));
        }
    EXPECT_NEAR(lowest, 0.0, 0.01);
    EXPECT_LE(highest, 100.0);
    EXPECT_GT(highest, 80.0) << "fills the tube's height";
    EXPECT_LE(widest, 60.0);
}

TEST_F(DinosaurModel, EveryObjectIsClosedAndWoundTheSameWayRound) {
    // Welded by position, every directed edge must meet its reverse exactly once: the surface
    // is closed and no face is flipped against its neighbours.
    for (const Object& o : model_.objects) {
        SCOPED_TRACE(o.name);
        std::map<std::tuple<double, double, double>, int> ids;
        auto id = [&](int v) {
            const Point& p = o.vertices[v];
            return ids.emplace(std::tuple{p.x, p.y, p.z}, int(ids.size())).first->second;
        };
        std::map<std::pair<int, int>, int> edges;
        for (const auto& f : o.faces)
            for (int k = 0; k < 3; ++k) ++edges[{id(f[k]), id(f[(k + 1) % 3])}];
        int unmatched = 0;
        for (const auto& [edge, count] : edges)
            if (count != 1 || edges.count({edge.second, edge.first}) == 0 || edges.at({edge.second, edge.first}) != 1)
                ++unmatched;
        EXPECT_EQ(unmatched, 0);
    }
}

TEST_F(DinosaurModel, FaceNormalsPointOutward) {
    // (P1 - P0) x (P2 - P0) is the side the demo lights; summed over a closed object it must
    // enclose a positive volume and lean away from the object's centre.
    for (const Object& o : model_.objects) {
        SCOPED_TRACE(o.name);
        Point centre{0, 0, 0};
        for (const Point& p : o.vertices) centre = {centre.x + p.x, centre.y + p.y, centre.z + p.z};
        centre = {centre.x / o.vertices.size(), centre.y / o.vertices.size(), centre.z / o.vertices.size()};
        double volume = 0, outward = 0;
        for (const auto& f : o.faces) {
            const Point a = o.vertices[f[0]], b = o.vertices[f[1]], c = o.vertices[f[2]];
            const Point n = Cross(b - a, c - a);
            volume += Dot(a, Cross(b, c));
            const Point mid{(a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3, (a.z + b.z + c.z) / 3};
            outward += Dot(n, mid - centre);
        }
        EXPECT_GT(volume, 0.0);
        EXPECT_GT(outward, 0.0);
    }
}

TEST_F(DinosaurModel, PlainObjectsFollowATexturedOneEndingOnAPaleTexel) {
    // Untextured objects are drawn with the texture left bound and the last coordinate sent;
    // that texel must be pale so the diffuse colour shows as it is.
    ASSERT_FALSE(model_.objects.empty());
    ASSERT_NE(MaterialOf(model_.objects.front()), nullptr);
    EXPECT_FALSE(MaterialOf(model_.objects.front())->texture.empty()) << "the first object binds a texture";
    const Object* lastTextured = nullptr;
    for (const Object& o : model_.objects) {
        const Material* m = MaterialOf(o);
        if (!m->texture.empty()) {
            lastTextured = &o;
            continue;
        }
        ASSERT_NE(lastTextured, nullptr);
        const BmpPicture bmp = ReadBmp(MakeDataFile(MaterialOf(*lastTextured)->texture));
        ASSERT_GT(bmp.width, 0);
        const auto [u, v] = lastTextured->mapping[lastTextured->faces.back()[2]];
        const int x = int(u * bmp.width), y = int(v * bmp.height);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                for (int c = 0; c < 3; ++c)
                    EXPECT_GE(bmp.rgb[(size_t(y + dy) * bmp.width + (x + dx)) * 3 + c], 170)
                        << o.name << " after " << lastTextured->name;
    }
}

}  // namespace
