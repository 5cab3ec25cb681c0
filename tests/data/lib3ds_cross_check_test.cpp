// An independent reader, lib3ds, takes "dinos.3ds" as written: same materials, textures and
// meshes, every mesh with its face-material group.
#include <gtest/gtest.h>

#include <lib3ds/file.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>

#include "data_files.h"

namespace {

TEST(Lib3dsCrossCheck, ReadsTheSameMaterialsAndMeshes) {
    const Bytes bytes = MakeDataFile("dinos.3ds");
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("vrex-dinos-" + std::to_string(::getpid()) + ".3ds");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    Lib3dsFile* file = lib3ds_file_load(path.c_str());
    std::filesystem::remove(path);
    ASSERT_NE(file, nullptr);

    std::map<std::string, std::string> textures;
    for (Lib3dsMaterial* m = file->materials; m; m = m->next) textures[m->name] = m->texture1_map.name;
    const std::map<std::string, std::string> expected = {
        {"SAUROPOD_SKIN", "sauropod.bmp"}, {"THEROPOD_SKIN", "theropod.bmp"}, {"HORN", ""}, {"EYE", ""}};
    EXPECT_EQ(textures, expected);

    int meshes = 0;
    for (Lib3dsMesh* m = file->meshes; m; m = m->next) {
        ++meshes;
        SCOPED_TRACE(m->name);
        ASSERT_GT(m->faces, 0u);
        EXPECT_EQ(textures.count(m->faceL[0].material), 1u);
        EXPECT_EQ(m->texels, textures[m->faceL[0].material].empty() ? 0u : m->points);
    }
    EXPECT_EQ(meshes, 12);
    lib3ds_file_free(file);
}

}  // namespace
