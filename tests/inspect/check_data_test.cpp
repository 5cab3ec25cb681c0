// vrex-inspect --check DIR: the demo's whole data set, one table row per file.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "inspect_support.h"
#include "resources/demo_images.h"
#include "writers/model3ds_writer.h"

namespace {

// Every file the demo opens, each as small as it can be.
void WriteCompleteDataSet(const Scratch& dir, const Bytes& mp3) {
    for (const char* image : DEMO_IMAGE_FILES) dir.Write(image, TinyTga());
    dir.Write("dinos.3ds", TinyModel("skin.bmp"));
    dir.Write("skin.bmp", TinyBmp());
    dir.Write("vulc.raw", HeightMap(262144));
    dir.Write("musika.mp3", mp3);
}

// The table's rows: file name -> what follows it.
std::map<std::string, std::string> Rows(const ToolRun& run) {
    std::map<std::string, std::string> rows;
    for (const std::string& line : run.lines) {
        const size_t gap = line.find(' ');
        const size_t result = line.find_first_not_of(' ', gap);
        if (gap == std::string::npos || result == std::string::npos) {
            ADD_FAILURE() << "not a table row: " << line;
            continue;
        }
        rows[line.substr(0, gap)] = line.substr(result);
    }
    return rows;
}

class CheckDataSet : public ::testing::Test {
protected:
    static void SetUpTestSuite() { mp3_ = new Bytes(ToneMp3()); }
    static void TearDownTestSuite() { delete mp3_; }
    void SetUp() override { WriteCompleteDataSet(dir_, *mp3_); }

    static Bytes* mp3_;
    Scratch dir_;
};
Bytes* CheckDataSet::mp3_ = nullptr;

TEST_F(CheckDataSet, ACompleteDataSetPassesWithEveryFileOk) {
    ToolRun run = RunInspect({"--check", dir_.path().string()});
    EXPECT_EQ(run.exitStatus, 0);
    std::map<std::string, std::string> rows = Rows(run);
    EXPECT_EQ(rows.size(), 13u + 4u) << "thirteen images, the model, its texture, the height map, the music";
    for (const char* name : DEMO_IMAGE_FILES) EXPECT_EQ(rows[name], "ok") << name;
    for (const char* name : {"dinos.3ds", "skin.bmp", "vulc.raw", "musika.mp3"}) EXPECT_EQ(rows[name], "ok") << name;
}

TEST_F(CheckDataSet, OneMissingOrBrokenFileFailsTheCheckOnItsRowAlone) {
    using namespace writer3ds;
    const Scratch& d = dir_;
    auto remove = [&](const char* name) { return [&d, name] { std::filesystem::remove(d.Path(name)); }; };
    auto write = [&](const char* name, Bytes bytes) { return [&d, name, bytes] { d.Write(name, bytes); }; };
    struct Case {
        const char* what;
        std::function<void()> breakIt;
        const char* row;
        std::string problem;  // the row's text, or its start when it ends in "..."
    } cases[] = {
        {"an image missing", remove("qx.TGA"), "qx.TGA", "missing"},
        {"an image named in lower case", [&] { std::filesystem::rename(d.Path("grasmap.TGA"), d.Path("grasmap.tga")); },
         "grasmap.TGA", "missing"},
        {"sides not powers of two", write("fish.TGA", TgaFile(3, 2, 24, Bytes(18))), "fish.TGA",
         "3 x 2: sides are not powers of two"},
        {"a run-length image",
         [&] {
             Bytes b = TinyTga();
             b[2] = 10;
             d.Write("INTRO1.TGA", b);
         },
         "INTRO1.TGA", "not an uncompressed true-colour TGA..."},
        {"a short image", write("vokra.TGA", TgaFile(2, 2, 32, Bytes(15))), "vokra.TGA", "the pixel data is short"},
        {"the model missing", remove("dinos.3ds"), "dinos.3ds", "missing"},
        {"the model not a 3DS file", write("dinos.3ds", Chunk(0x1234, Bytes{})), "dinos.3ds",
         "Unable to load PRIMARY chuck from file: ..."},
        {"the model empty", write("dinos.3ds", Primary({Version(3)})), "dinos.3ds", "holds no objects..."},
        {"its texture missing", remove("skin.bmp"), "skin.bmp", "missing"},
        {"its texture not a BMP it can read",
         write("skin.bmp", Bytes{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 108, 0, 0, 0}), "skin.bmp",
         "Unknown DIB file format."},
        {"the height map short", write("vulc.raw", HeightMap(1000)), "vulc.raw", "holds 1,000 bytes, not 262,144"},
        {"the height map long", write("vulc.raw", HeightMap(262145)), "vulc.raw", "holds 262,145 bytes, not 262,144"},
        {"the height map missing", remove("vulc.raw"), "vulc.raw", "missing"},
        {"the music missing", remove("musika.mp3"), "musika.mp3", "missing"},
        {"the music not MP3", write("musika.mp3", Bytes{'n', 'o', 't', ' ', 'm', 'u', 's', 'i', 'c'}), "musika.mp3",
         "holds no MP3 audio"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteCompleteDataSet(dir_, *mp3_);
        c.breakIt();
        ToolRun run = RunInspect({"--check", dir_.path().string()});
        EXPECT_EQ(run.exitStatus, 1);
        std::map<std::string, std::string> rows = Rows(run);
        const std::string& got = rows[c.row];
        if (c.problem.ends_with("...")) {
            EXPECT_TRUE(got.starts_with(c.problem.substr(0, c.problem.size() - 3))) << got;
        } else {
            EXPECT_EQ(got, c.problem);
        }
        for (const auto& [name, result] : rows) {
            if (name == c.row) continue;
            EXPECT_EQ(result, "ok") << name;
        }
        std::filesystem::remove(d.Path("grasmap.tga"));
    }
}

TEST_F(CheckDataSet, AModelWarningIsShownButDoesNotFailTheCheck) {
    using namespace writer3ds;
    Bytes model = TinyModel("skin.bmp");
    model[6 + 6] = 4;  // the version chunk opens the primary chunk's payload: version 4
    dir_.Write("dinos.3ds", model);
    ToolRun run = RunInspect({"--check", dir_.path().string()});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(Rows(run)["dinos.3ds"], "ok (Warning: This 3DS file is over version 3 so it may load incorrectly)");
}

TEST_F(CheckDataSet, ATextureSharedByTwoMaterialsHasOneRow) {
    using namespace writer3ds;
    dir_.Write(
        "dinos.3ds",
        Document({
            MaterialEntry("a", {1, 2, 3}, "skin.bmp"),
            MaterialEntry("b", {4, 5, 6}, "skin.bmp"),
            MaterialEntry("c", {7, 8, 9}, "eyes.bmp"),
            Object("dino", {TriangleMesh({VertexList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}), FaceList({{0, 1, 2, 0}})})}),
        }));
    ToolRun run = RunInspect({"--check", dir_.path().string()});
    EXPECT_EQ(run.exitStatus, 1);
    std::map<std::string, std::string> rows = Rows(run);
    EXPECT_EQ(rows["skin.bmp"], "ok");
    EXPECT_EQ(rows["eyes.bmp"], "missing");
    EXPECT_EQ(run.lines.size(), 13u + 5u);
}

}  // namespace
