// model_test_util.h - a temporary model file per test and an import into a fresh Model.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "model3ds/model.h"
#include "platform/fake_platform.h"
#include "writers/model3ds_writer.h"

// A file name unique to the running test, so parallel test processes never share one.
inline std::string TempModelPath(const std::string& suffix = "") {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "-" + info->name() + suffix;
    for (char& c : name)
        if (c == '/') c = '_';
    auto dir = std::filesystem::temp_directory_path();
    return (dir / ("model3ds-" + std::to_string(getpid()) + "-" + name + ".3ds")).string();
}

class ModelFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        path = TempModelPath();
    }
    void TearDown() override {
        ReleaseModel(model);
        std::remove(path.c_str());
    }
    bool Import(const writer3ds::Bytes& bytes) {
        writer3ds::WriteFile(path, bytes);
        return loader.Import(model, path.c_str());
    }
    const MeshObject& OnlyObject() {
        EXPECT_EQ(model.objectCount, 1);
        return model.objects.at(0);
    }

    std::string path;
    Model model;
    ModelLoader loader;
};
