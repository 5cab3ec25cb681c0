// vrex-inspect PATH...: one JSON line per file, from the demo's own readers.
#include <gtest/gtest.h>

#include <cmath>

#include "inspect_support.h"
#include "writers/model3ds_writer.h"

namespace {

const std::vector<std::string> COMMON_KEYS = {"file", "kind", "ok", "messages"};

std::vector<std::string> KeysWith(std::vector<std::string> own) {
    std::vector<std::string> keys = COMMON_KEYS;
    keys.insert(keys.end(), own.begin(), own.end());
    return keys;
}

// A member that is a number or null, as text, to compare whole rows of a table at once.
std::string NumberOrNull(const Json& value) {
    if (value.IsNull()) return "null";
    return std::to_string(int64_t(value.number));
}

std::vector<float> Floats(const Json& array) {
    std::vector<float> values;
    for (const Json& item : array.items) values.push_back(float(item.number));
    return values;
}

TEST(InspectTga, ReportsTheRecordAsTheDecoderLeftItAndTheExitStatus) {
    Scratch scratch;
    struct Case {
        const char* name;
        Bytes bytes;
        bool ok;
        const char* width;
        const char* height;
        const char* bitsPerPixel;
    } cases[] = {
        // clang-format off
        {"good24.tga", TgaFile(2, 1, 24, {1, 2, 3, 4, 5, 6}), true, "2", "1", "24"},
        {"good32.TGA", TgaFile(1, 1, 32, {0x10, 0x20, 0x30, 0x40}), true, "1", "1", "32"},
        {"missing.tga", {}, false, "null", "null", "null"},
        {"short-header.tga", Bytes{0, 0, 2, 0, 0}, false, "null", "null", "null"},
        {"run-length.tga", [] { Bytes b = TgaFile(2, 1, 24, Bytes(6)); b[2] = 10; return b; }(), false, "null", "null", "null"},
        {"sixteen-bits.tga", TgaFile(3, 5, 16, Bytes(30)), false, "3", "5", "null"},
        {"zero-width.tga", TgaFile(0, 5, 24, {}), false, "0", "5", "null"},
        {"short-pixels.tga", TgaFile(2, 1, 24, {1, 2, 3, 4, 5}), false, "2", "1", "24"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = c.bytes.empty() ? scratch.Path(c.name) : scratch.Write(c.name, c.bytes);
        ToolRun run = RunInspect({path});
        EXPECT_EQ(run.exitStatus, c.ok ? 0 : 1);
        ASSERT_EQ(run.lines.size(), 1u);
        Json line = LineJson(run, 0);
        EXPECT_EQ(line.Keys(), KeysWith({"width", "height", "bitsPerPixel"}));
        EXPECT_EQ(line["file"].text, path);
        EXPECT_EQ(line["kind"].text, "tga");
        EXPECT_EQ(line["ok"].boolean, c.ok);
        EXPECT_EQ(line["messages"].type, Json::ARRAY);
        EXPECT_TRUE(line["messages"].items.empty());  // TGA failures are silent
        EXPECT_EQ(NumberOrNull(line["width"]), c.width);
        EXPECT_EQ(NumberOrNull(line["height"]), c.height);
        EXPECT_EQ(NumberOrNull(line["bitsPerPixel"]), c.bitsPerPixel);
    }
}

TEST(InspectTga, PixelsOutHoldsTheBufferAfterTheRedBlueSwap) {
    Scratch scratch;
    const std::string out = scratch.Path("pixels.bin");
    EXPECT_EQ(
        RunInspect({"--pixels-out", out, scratch.Write("a.tga", TgaFile(2, 1, 24, {1, 2, 3, 4, 5, 6}))}).exitStatus, 0);
    EXPECT_EQ(ReadBytes(out), (Bytes{3, 2, 1, 6, 5, 4}));
    EXPECT_EQ(RunInspect({"--pixels-out", out, scratch.Write("b.tga", TgaFile(1, 1, 32, {0x10, 0x20, 0x30, 0x40}))})
                  .exitStatus,
              0);
    EXPECT_EQ(ReadBytes(out), (Bytes{0x30, 0x20, 0x10, 0x40}));
}

TEST(InspectTga, PixelsOutIsNotWrittenForAFileThatFailed) {
    Scratch scratch;
    const std::string out = scratch.Path("pixels.bin");
    EXPECT_EQ(RunInspect({"--pixels-out", out, scratch.Write("a.tga", TgaFile(2, 1, 24, {1, 2, 3}))}).exitStatus, 1);
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(InspectBmp, ReportsSizeAndTheReadersMessageBoxes) {
    Scratch scratch;
    Bytes unknownHeader = TinyBmp();
    unknownHeader[14] = 108;  // a V4 header, which the reader refuses
    struct Case {
        const char* name;
        Bytes bytes;
        bool ok;
        const char* width;
        const char* height;
        std::string message;  // empty: no message box
    } cases[] = {
        // clang-format off
        {"good.bmp", Bmp24(3, 2, {Bytes(9, 1), Bytes(9, 2)}), true, "3", "2", ""},
        {"upper.BMP", TinyBmp(), true, "2", "2", ""},
        {"v4.bmp", unknownHeader, false, "null", "null", "Unknown DIB file format."},
        {"cut.bmp", [] { Bytes b = TinyBmp(); b.resize(b.size() - 8); return b; }(), false, "null", "null",
         "Image file conversion error."},
        {"missing.bmp", {}, false, "null", "null", "Failed to open DIB file " + scratch.Path("missing.bmp") + ".\n"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = c.bytes.empty() ? scratch.Path(c.name) : scratch.Write(c.name, c.bytes);
        ToolRun run = RunInspect({path});
        EXPECT_EQ(run.exitStatus, c.ok ? 0 : 1);
        Json line = LineJson(run, 0);
        EXPECT_EQ(line.Keys(), KeysWith({"width", "height"}));
        EXPECT_EQ(line["kind"].text, "bmp");
        EXPECT_EQ(line["ok"].boolean, c.ok);
        EXPECT_EQ(NumberOrNull(line["width"]), c.width);
        EXPECT_EQ(NumberOrNull(line["height"]), c.height);
        if (c.message.empty()) {
            EXPECT_TRUE(line["messages"].items.empty());
        } else {
            ASSERT_EQ(line["messages"].items.size(), 1u);
            EXPECT_EQ(line["messages"][0].Keys(), (std::vector<std::string>{"caption", "text"}));
            EXPECT_EQ(line["messages"][0]["caption"].text, "Error");
            EXPECT_EQ(line["messages"][0]["text"].text, c.message);
        }
    }
}

TEST(InspectBmp, PixelsOutHoldsRgbRowsInFileOrder) {
    Scratch scratch;
    const std::string out = scratch.Path("pixels.bin");
    // Bottom row blue, green, red pixels stored B, G, R; top row one grey and one white pixel.
    const std::string path =
        scratch.Write("a.bmp", Bmp24(2, 2, {Bytes{1, 2, 3, 4, 5, 6}, Bytes{7, 7, 7, 255, 255, 255}}));
    EXPECT_EQ(RunInspect({"--pixels-out", out, path}).exitStatus, 0);
    EXPECT_EQ(ReadBytes(out), (Bytes{3, 2, 1, 6, 5, 4, 7, 7, 7, 255, 255, 255}));
}

TEST(InspectRaw, IsOkWhenTheDemoLoadsItAndRemarksOnAnyOtherLength) {
    Scratch scratch;
    struct Case {
        const char* name;
        long size;  // -1: no file
        bool ok;
        const char* remark;  // the start of the inspector's remark; null: none
    } cases[] = {
        {"exact.raw", 262144, true, nullptr},
        {"longer.RAW", 262145, true, "holds 262,145 bytes, not 262,144: the bytes past"},
        {"short.raw", 1000, true, "holds 1,000 bytes, not 262,144: every entry from 1,000 on"},
        {"empty.raw", 0, true, "holds 0 bytes, not 262,144: every entry is 0"},
        {"missing.raw", -1, false, "cannot be opened"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = c.size >= 0 ? scratch.Write(c.name, HeightMap(size_t(c.size))) : scratch.Path(c.name);
        ToolRun run = RunInspect({path});
        EXPECT_EQ(run.exitStatus, c.ok ? 0 : 1);
        Json line = LineJson(run, 0);
        EXPECT_EQ(line.Keys(), KeysWith({"entries", "remark"}));
        EXPECT_EQ(line["kind"].text, "raw");
        EXPECT_EQ(line["ok"].boolean, c.ok);
        EXPECT_TRUE(line["messages"].items.empty());  // the demo itself says nothing about a height map
        EXPECT_EQ(line["entries"].number, 262144);
        if (c.remark)
            EXPECT_EQ(line["remark"].text.rfind(c.remark, 0), 0u) << line["remark"].text;
        else
            EXPECT_TRUE(line["remark"].IsNull());
    }
}

TEST(InspectRaw, PixelsOutHoldsTheEntriesAsTheDemoHoldsThem) {
    Scratch scratch;
    const Bytes shortMap = HeightMap(1000);
    Bytes shortEntries = shortMap;
    shortEntries.resize(262144, shortMap.back());  // past the end, the last byte read again
    struct Case {
        const char* name;
        Bytes file;
        Bytes entries;
    } cases[] = {
        {"longer.raw", HeightMap(262144 + 10), HeightMap(262144)},
        {"short.raw", shortMap, shortEntries},
        {"empty.raw", {}, Bytes(262144, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string out = scratch.Path(std::string(c.name) + ".bin");
        EXPECT_EQ(RunInspect({"--pixels-out", out, scratch.Write(c.name, c.file)}).exitStatus, 0);
        EXPECT_EQ(ReadBytes(out), c.entries);
    }
}

TEST(Inspect3ds, ReportsMaterialsAndObjectsInTheDemosAxes) {
    using namespace writer3ds;
    Scratch scratch;
    const std::string path = scratch.Write(
        "model.3ds", Document({
                         MaterialEntry("skin \"green\"", {10, 20, 30}, "dino.bmp"),
                         MaterialEntry("eye", {200, 0, 0}),
                         Object("dino", {TriangleMesh({
                                            VertexList({{0, 0, 0}, {1, 0, 0}, {0.1f, 2, 3}}),
                                            FaceList({{0, 1, 2, 7}}, {FaceMaterial("skin \"green\"", {0})}),
                                            MappingList({{0, 0}, {1, 0}, {0.25f, 0.5f}}),
                                        })}),
                         Object("lamp", {Light()}),
                     }));
    ToolRun run = RunInspect({path});
    EXPECT_EQ(run.exitStatus, 0);
    ASSERT_EQ(run.lines.size(), 1u);
    EXPECT_NE(run.lines[0].find("0.100000001"), std::string::npos) << "nine significant digits";
    Json line = LineJson(run, 0);
    EXPECT_EQ(line.Keys(), KeysWith({"materials", "objects"}));
    EXPECT_EQ(line["kind"].text, "3ds");
    EXPECT_TRUE(line["ok"].boolean);
    EXPECT_TRUE(line["messages"].items.empty());

    const Json& materials = line["materials"];
    ASSERT_EQ(materials.items.size(), 2u);
    EXPECT_EQ(materials[0].Keys(), (std::vector<std::string>{"name", "textureFile", "colour"}));
    EXPECT_EQ(materials[0]["name"].text, "skin \"green\"");
    EXPECT_EQ(materials[0]["textureFile"].text, "dino.bmp");
    EXPECT_EQ(Floats(materials[0]["colour"]), (std::vector<float>{10, 20, 30}));
    EXPECT_EQ(materials[1]["textureFile"].text, "");

    const Json& objects = line["objects"];
    ASSERT_EQ(objects.items.size(), 2u);
    const Json& dino = objects[0];
    EXPECT_EQ(dino.Keys(),
              (std::vector<std::string>{"name", "vertexCount", "faceCount", "texCoordCount", "materialIndex",
                                        "hasTexture", "vertices", "faces", "texCoords", "normals"}));
    EXPECT_EQ(dino["name"].text, "dino");
    EXPECT_EQ(dino["vertexCount"].number, 3);
    EXPECT_EQ(dino["faceCount"].number, 1);
    EXPECT_EQ(dino["texCoordCount"].number, 3);
    EXPECT_EQ(dino["materialIndex"].number, 0);
    EXPECT_TRUE(dino["hasTexture"].boolean);
    // The file's (x, y, z) is stored as (x, z, -y).
    EXPECT_EQ(Floats(dino["vertices"][1]), (std::vector<float>{1, 0, -0.0f}));
    EXPECT_EQ(Floats(dino["vertices"][2]), (std::vector<float>{0.1f, 3, -2}));
    ASSERT_EQ(dino["faces"].items.size(), 1u);
    EXPECT_EQ(Floats(dino["faces"][0]), (std::vector<float>{0, 1, 2}));  // the flag word dropped
    EXPECT_EQ(Floats(dino["texCoords"][2]), (std::vector<float>{0.25f, 0.5f}));
    ASSERT_EQ(dino["normals"].items.size(), 3u);
    for (const Json& normal : dino["normals"].items) {
        std::vector<float> n = Floats(normal);
        ASSERT_EQ(n.size(), 3u);
        EXPECT_NEAR(std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]), 1.0, 1e-6);
    }

    const Json& lamp = objects[1];
    EXPECT_EQ(lamp["name"].text, "lamp");
    EXPECT_EQ(lamp["vertexCount"].number, 0);
    EXPECT_TRUE(lamp["vertices"].items.empty());
    EXPECT_TRUE(lamp["texCoords"].IsNull());  // no mapping list
    EXPECT_EQ(lamp["normals"].type, Json::ARRAY);
}

TEST(Inspect3ds, ReportsTheReadersMessagesInOrder) {
    using namespace writer3ds;
    Scratch scratch;
    struct Case {
        const char* name;
        Bytes bytes;
        bool ok;
        const char* caption;
        std::string text;
    } cases[] = {
        {"version4.3ds", Primary({Version(4)}), true, "Warning",
         "This 3DS file is over version 3 so it may load incorrectly"},
        {"not-primary.3ds", Chunk(0x3D3D, Bytes{}), false, "Error",
         "Unable to load PRIMARY chuck from file: " + scratch.Path("not-primary.3ds") + "!"},
        {"missing.3DS", {}, false, "Error", "Unable to find the file: " + scratch.Path("missing.3DS") + "!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = c.bytes.empty() ? scratch.Path(c.name) : scratch.Write(c.name, c.bytes);
        ToolRun run = RunInspect({path});
        EXPECT_EQ(run.exitStatus, c.ok ? 0 : 1);
        Json line = LineJson(run, 0);
        EXPECT_EQ(line["ok"].boolean, c.ok);
        ASSERT_EQ(line["messages"].items.size(), 1u);
        EXPECT_EQ(line["messages"][0]["caption"].text, c.caption);
        EXPECT_EQ(line["messages"][0]["text"].text, c.text);
        EXPECT_TRUE(line["objects"].items.empty());
    }
}

TEST(Inspect3ds, PixelsOutWritesNothingForAModel) {
    Scratch scratch;
    const std::string out = scratch.Path("pixels.bin");
    EXPECT_EQ(RunInspect({"--pixels-out", out, scratch.Write("m.3ds", TinyModel("skin.bmp"))}).exitStatus, 0);
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(Inspect3ds, NamesThatAreNotUtf8StayValidJson) {
    using namespace writer3ds;
    Scratch scratch;
    const std::string path = scratch.Write("latin.3ds", Document({Object("caf\xE9\x01", {})}));
    ToolRun run = RunInspect({path});
    EXPECT_EQ(LineJson(run, 0)["objects"][0]["name"].text, "caf\xC3\xA9\x01");
}

TEST(InspectCommandLine, PrintsOneLinePerFileInOrderAndFailsWhenAnyFailed) {
    Scratch scratch;
    const std::string good = scratch.Write("a.tga", TinyTga());
    const std::string bad = scratch.Write("b.bmp", Bytes{'B', 'M'});
    const std::string other = scratch.Write("notes.txt", Bytes{'h', 'i'});

    ToolRun allGood = RunInspect({good, scratch.Write("c.bmp", TinyBmp())});
    EXPECT_EQ(allGood.exitStatus, 0);
    EXPECT_EQ(allGood.lines.size(), 2u);

    ToolRun mixed = RunInspect({good, bad, other, good});
    EXPECT_EQ(mixed.exitStatus, 1);
    ASSERT_EQ(mixed.lines.size(), 4u);
    EXPECT_EQ(LineJson(mixed, 0)["file"].text, good);
    EXPECT_TRUE(LineJson(mixed, 0)["ok"].boolean);
    EXPECT_EQ(LineJson(mixed, 1)["kind"].text, "bmp");
    EXPECT_FALSE(LineJson(mixed, 1)["ok"].boolean);
    // An extension no reader takes: a line all the same, with no kind.
    EXPECT_EQ(LineJson(mixed, 2).Keys(), COMMON_KEYS);
    EXPECT_TRUE(LineJson(mixed, 2)["kind"].IsNull());
    EXPECT_FALSE(LineJson(mixed, 2)["ok"].boolean);
    EXPECT_TRUE(LineJson(mixed, 3)["ok"].boolean);
}

TEST(InspectCommandLine, RefusesABadCommandLineWithStatusTwo) {
    Scratch scratch;
    const std::string a = scratch.Write("a.tga", TinyTga());
    const std::string b = scratch.Write("b.tga", TinyTga());
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{},
                                               {"--pixels-out"},
                                               {"--pixels-out", scratch.Path("p")},
                                               {"--pixels-out", scratch.Path("p"), a, b},
                                               {"--check"},
                                               {"--check", scratch.path().string(), a}}) {
        ToolRun run = RunInspect(arguments);
        EXPECT_EQ(run.exitStatus, 2) << ::testing::PrintToString(arguments);
        EXPECT_TRUE(run.lines.empty());
    }
    EXPECT_FALSE(std::filesystem::exists(scratch.Path("p")));
}

}  // namespace
