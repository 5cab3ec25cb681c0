// Writes the seed corpus of the 3DS reader's fuzz target: small files that reach every
// chunk the reader acts on. Built in the fuzz preset; from the source folder:
//     build-fuzz/bin/model3ds_corpus fuzz/corpus/model3ds
#include <cstdio>
#include <string>

#include "writers/model3ds_writer.h"

using namespace writer3ds;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 1;
    }
    const std::string dir = argv[1];
    const std::vector<Point> quad = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 1}};
    const struct {
        const char* name;
        Bytes bytes;
    } seeds[] = {
        {"version3", Primary({Version(3)})},
        {"version4", Primary({Version(4)})},
        {"empty-primary", Primary({})},
        {"textured-object",
         Document({MaterialEntry("wood", {10, 20, 30}, "wood.bmp"), MaterialEntry("paint", {200, 0, 0}),
                   Object("box", {TriangleMesh({VertexList(quad),
                                                FaceList({{0, 1, 2, 7}, {1, 3, 2, 7}},
                                                         {FaceMaterial("wood", {0}), FaceMaterial("paint", {1}),
                                                          SmoothingList(2)}),
                                                MappingList({{0, 0}, {1, 0}, {0, 1}, {1, 1}})})}),
                   Object("lamp", {Light()})})},
        {"two-colours",
         Document({Chunk(0xAFFF, {MaterialName("m"), Diffuse({Colour24(1, 2, 3), Chunk(0x0012, Bytes{4, 5, 6})})})})},
        {"object-at-top", Primary({Object("o", {VertexList(quad), FaceList({{0, 1, 2, 0}, {0, 2, 9, 0}})})})},
        {"lying-lengths", Document({Object("o", {ChunkWithLength(0x4110, 0xFFFFFFFF, Cat({U16(9), F32(1)})),
                                                 ChunkWithLength(0x4120, 3, {})})})},
    };
    for (const auto& seed : seeds) WriteFile(dir + "/" + seed.name + ".3ds", seed.bytes);
    return 0;
}
