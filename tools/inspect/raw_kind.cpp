// raw_kind.cpp - the height map file through the demo's reader.
#include <system_error>

#include "terrain/terrain.h"
#include "tools/inspect/inspect.h"

namespace {

constexpr int ENTRY_COUNT = MAP_SIZE * MAP_SIZE;

std::string WithThousands(uintmax_t value) {
    std::string digits = std::to_string(value);
    for (int i = int(digits.size()) - 3; i > 0; i -= 3) digits.insert(size_t(i), ",");
    return digits;
}

}  // namespace

Inspection InspectRaw(const std::string& path, bool wantPixels) {
    Inspection result;
    // The reader never fails; the file loaded when every entry came from it.
    result.ok = LoadHeightMapFile(path.c_str()) == ENTRY_COUNT;
    result.members["entries"] = ENTRY_COUNT;
    if (result.ok && wantPixels) {
        result.pixels.resize(ENTRY_COUNT);
        for (int i = 0; i < ENTRY_COUNT; ++i) result.pixels[size_t(i)] = uint8_t(g_heightMap[i]);
    }
    return result;
}

std::string CheckRaw(const std::filesystem::path& path) {
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(path, error);
    if (error) return "cannot be read";
    if (size != uintmax_t(ENTRY_COUNT))
        return "holds " + WithThousands(size) + " bytes, not " + WithThousands(ENTRY_COUNT);
    return "";
}
