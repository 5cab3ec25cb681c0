// model_gl_test_util.h - the import and the drawing against the GL recorder, run in a scratch
// working directory where each test writes its model file and its BMP pictures, as the demo
// finds them next to it.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "model3ds/model.h"
#include "platform/fake_platform.h"
#include "tests/bmp/bmp_bytes.h"
#include "writers/model3ds_writer.h"
#include "tests/support/gl_recorder.h"

// Expected call sequences, written as pieces joined with +.
using Lines = std::vector<std::string>;

inline Lines operator+(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A 24-bit BMP of one colour with the file header, rows padded to 4 bytes.
inline Bytes SolidBmp(int32_t width, int32_t height, std::array<uint8_t, 3> rgb) {
    Bytes pixels;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) pixels.insert(pixels.end(), {rgb[2], rgb[1], rgb[0]});
        while (pixels.size() % 4) pixels.push_back(0);
    }
    return WithFileHeader(InfoHeader(width, height, 24), {}, pixels);
}

// Each test starts from an empty g_model and texture table, a fresh recorder (GL's initial
// state: unpack alignment 4) and the platform fake, inside its own scratch folder.
class ModelGlTest : public testing::Test {
protected:
    void SetUp() override {
        ForgetModel();
        glrec::Reset();
        fake::Reset();
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(folder_.Path("."));
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        ForgetModel();
    }
    static void ForgetModel() {
        ReleaseModel();
        g_model = Model{};
        std::memset(g_modelTextures, 0, sizeof g_modelTextures);
    }

    // Writes the model as "model.3ds" and loads it as the demo loads "dinos.3ds".
    void Load(const writer3ds::Bytes& file) {
        folder_.Write("model.3ds", file);
        LoadModel("model.3ds");
    }
    void WritePicture(const std::string& name, const Bytes& bytes) { folder_.Write(name, bytes); }

    static GLint UnpackAlignment() {
        GLint alignment = 0;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        return alignment;
    }

    ScratchFolder folder_;
    std::filesystem::path previous_;
};
