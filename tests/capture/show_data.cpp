// The scratch data directory the show is captured in: the generated data set, with the files
// whose colours the pixel tests predict replaced by the tests' own, built from readable bytes.
#include <filesystem>

#include "tests/bmp/bmp_bytes.h"
#include "tests/capture/captured_frames.h"
#include "writers/model3ds_writer.h"

namespace fs = std::filesystem;

namespace {

std::vector<Rgb> QuadrantFish() {
    const Rgb red{255, 0, 0}, green{0, 255, 0}, yellow{255, 255, 0}, magenta{255, 0, 255}, blue{0, 0, 255};
    std::vector<Rgb> pixels;
    for (int row = 0; row < 8; ++row)  // row 0 is the bottom
        for (int column = 0; column < 8; ++column) {
            bool centre = (row == 3 || row == 4) && (column == 3 || column == 4);
            bool top = row >= 4, right = column >= 4;
            pixels.push_back(centre ? blue : top ? (right ? magenta : yellow) : (right ? green : red));
        }
    return pixels;
}

// A cube 60 wide standing in the tube from the model's height 20 to 80 (the file's z is up),
// every face of the one textured material.
writer3ds::Bytes CubeModel() {
    using namespace writer3ds;
    std::vector<Point> corners;
    for (float z : {20.0f, 80.0f})
        for (Point p : {Point{-30, -30, z}, Point{30, -30, z}, Point{30, 30, z}, Point{-30, 30, z}})
            corners.push_back(p);
    const std::vector<FaceRecord> faces = {{0, 2, 1, 0}, {0, 3, 2, 0}, {4, 5, 6, 0}, {4, 6, 7, 0},
                                           {0, 1, 5, 0}, {0, 5, 4, 0}, {1, 2, 6, 0}, {1, 6, 5, 0},
                                           {2, 3, 7, 0}, {2, 7, 6, 0}, {3, 0, 4, 0}, {3, 4, 7, 0}};
    std::vector<uint16_t> all;
    for (uint16_t f = 0; f < faces.size(); ++f) all.push_back(f);
    return Document({MaterialEntry("skin", {255, 255, 255}, "skin.bmp"),
                     Object("cube", {TriangleMesh({VertexList(corners), FaceList(faces, {FaceMaterial("skin", all)}),
                                                   MappingList(std::vector<Uv>(8, Uv{0.5f, 0.5f}))})})});
}

// 2 x 2 red pixels, rows of 6 bytes padded to 8.
Bytes RedBmp() {
    Bytes pixels;
    for (int row = 0; row < 2; ++row) pixels.insert(pixels.end(), {0, 0, 255, 0, 0, 255, 0, 0});
    return WithFileHeader(InfoHeader(2, 2, 24), {}, pixels);
}

}  // namespace

void MakeShowData(const fs::path& directory) {
    fs::remove_all(directory);
    fs::create_directories(directory);
    for (const fs::directory_entry& entry : fs::directory_iterator(GeneratedDataDirectory()))
        fs::create_symlink(fs::absolute(entry.path()), directory / entry.path().filename());
    for (const char* replaced : {"fish.TGA", "fishmet.TGA", "metal.TGA", "dinos.3ds"}) fs::remove(directory / replaced);

    WriteTga(directory / "fish.TGA", 8, 8, QuadrantFish());
    WriteTga(directory / "fishmet.TGA", 4, 4, std::vector<Rgb>(16, Rgb{0, 255, 0}));
    WriteTga(directory / "metal.TGA", 4, 4, std::vector<Rgb>(16, Rgb{0, 0, METAL_BLUE}));
    writer3ds::WriteFile((directory / "dinos.3ds").string(), CubeModel());
    writer3ds::WriteFile((directory / "skin.bmp").string(), RedBmp());
}
