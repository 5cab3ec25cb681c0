// tga_files.h - TGA files built byte by byte for the loader's tests, in a scratch directory.
#pragma once

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "resources/textures.h"

namespace tga_files {

using Bytes = std::vector<uint8_t>;

// An 18-byte header: the accepted form unless a test changes a byte.
inline Bytes Header(uint16_t width, uint16_t height, uint8_t bits, uint8_t descriptor = 0) {
    Bytes header(TGA_UNCOMPRESSED_HEADER, TGA_UNCOMPRESSED_HEADER + 12);
    for (uint8_t b : {uint8_t(width), uint8_t(width >> 8), uint8_t(height), uint8_t(height >> 8), bits, descriptor})
        header.push_back(b);
    return header;
}

inline Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline Bytes With(Bytes bytes, size_t offset, uint8_t value) {
    bytes[offset] = value;
    return bytes;
}

inline Bytes Truncated(Bytes bytes, size_t size) {
    bytes.resize(size);
    return bytes;
}

inline void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// A fresh directory under the system's temporary directory, removed with the object.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vrex_test.XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~ScratchDir() { std::filesystem::remove_all(path_); }
    const std::filesystem::path& path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

}  // namespace tga_files
