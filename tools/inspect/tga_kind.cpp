// tga_kind.cpp - TGA files through the demo's decoder (no GL): the record's fields and pixels.
#include <cstdlib>

#include "resources/textures.h"
#include "tools/inspect/inspect.h"

namespace {

// Every field starts at a value the decoder never writes (sides are 16-bit, depths 24 or
// 32), so a field still holding it was left untouched.
constexpr uint32_t UNTOUCHED = 0xFFFFFFFF;

JsonValue FieldOrNull(uint32_t value) { return value == UNTOUCHED ? JsonValue(nullptr) : JsonValue(value); }

bool IsPowerOfTwo(uint32_t side) { return side != 0 && (side & (side - 1)) == 0; }

}  // namespace

Inspection InspectTga(const std::string& path, bool wantPixels) {
    TextureImage image{nullptr, UNTOUCHED, UNTOUCHED, UNTOUCHED, 0};
    Inspection result;
    result.ok = DecodeTgaFile(&image, path.c_str()) == TgaStatus::Ok;
    result.members["width"] = FieldOrNull(image.width);
    result.members["height"] = FieldOrNull(image.height);
    result.members["bitsPerPixel"] = FieldOrNull(image.bitsPerPixel);
    if (result.ok) {
        if (wantPixels) {
            const size_t size = size_t(image.width) * image.height * (image.bitsPerPixel / 8);
            result.pixels.assign(image.pixels, image.pixels + size);
        }
        std::free(image.pixels);
    }
    return result;
}

std::string CheckTga(const std::filesystem::path& path) {
    TextureImage image{};
    const TgaStatus status = DecodeTgaFile(&image, path.string().c_str());
    std::free(image.pixels);
    if (status != TgaStatus::Ok) return TgaStatusText(status);
    // OpenGL 1.1 refuses other sizes: the upload would leave the texture without an image.
    if (!IsPowerOfTwo(image.width) || !IsPowerOfTwo(image.height))
        return std::to_string(image.width) + " x " + std::to_string(image.height) + ": sides are not powers of two";
    return "";
}
