// raw_kind.cpp - the height map file through the demo's reader.
#include <fstream>
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

std::string Holds(uintmax_t size) {
    return "holds " + WithThousands(size) + " bytes, not " + WithThousands(ENTRY_COUNT);
}

// The inspector's own word on a length other than the demo's: the demo itself says nothing.
std::string LengthRemark(uintmax_t size) {
    if (size == uintmax_t(ENTRY_COUNT)) return "";
    const std::string holds = Holds(size);
    if (size == 0) return holds + ": every entry is 0";
    if (size < uintmax_t(ENTRY_COUNT))
        return holds + ": every entry from " + WithThousands(size) + " on repeats its last byte";
    return holds + ": the bytes past " + WithThousands(ENTRY_COUNT) + " are never read";
}

}  // namespace

Inspection InspectRaw(const std::string& path, bool wantPixels) {
    Inspection result;
    // The demo loads any file it can open, a short one too (its reader never fails); only a
    // file that is not there to open is a failure.
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(path, error);
    const bool opened = !error && std::ifstream(path, std::ios::binary).is_open();
    LoadHeightMapFile(path.c_str());
    result.ok = opened;
    result.members["entries"] = ENTRY_COUNT;
    const std::string remark = opened ? LengthRemark(size) : "cannot be opened: the demo's map would be all 0";
    if (remark.empty())
        result.members["remark"] = nullptr;
    else
        result.members["remark"] = remark;
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
    if (size != uintmax_t(ENTRY_COUNT)) return Holds(size);
    return "";
}
