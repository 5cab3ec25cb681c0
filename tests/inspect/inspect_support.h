// inspect_support.h - running vrex-inspect from the tests, and the small files they feed it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "json_reader.h"

using Bytes = std::vector<uint8_t>;

// One run of the tool: its exit status and its standard output, split into lines.
struct ToolRun {
    int exitStatus = -1;
    std::vector<std::string> lines;
};
// Runs vrex-inspect with the arguments (each quoted for the shell).
ToolRun RunInspect(const std::vector<std::string>& arguments);
// The run's line `index` parsed; fails the calling test when it is not JSON.
Json LineJson(const ToolRun& run, size_t index);

// A fresh directory under the system's temporary directory, removed with the object.
class Scratch {
public:
    Scratch();
    ~Scratch();
    std::string Write(const std::string& name, const Bytes& bytes) const;
    std::string Path(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

Bytes ReadBytes(const std::string& path);

// A TGA file: the accepted header with these fields, then `pixels` as given (B, G, R (, A)).
Bytes TgaFile(uint16_t width, uint16_t height, uint8_t bits, const Bytes& pixels);
// A tiny valid image: 2 x 2 pixels of 24 bits.
Bytes TinyTga();
// A 24-bit BMP with file header and 40-byte info header; `rows` bottom-up, each row's
// B, G, R pixels without padding (added here).
Bytes Bmp24(int32_t width, int32_t height, const std::vector<Bytes>& rows);
// A 2 x 2 BMP.
Bytes TinyBmp();
// A 3DS model: one textured material naming `texture`, and one triangle object using it.
Bytes TinyModel(const std::string& texture);
// A height map of `size` bytes: byte k is k * 7 mod 256.
Bytes HeightMap(size_t size);
// A short tone encoded as MP3 with sox and lame; sox does not dither, so the bytes are the
// same on every run.
Bytes ToneMp3();
