// bmp_kind.cpp - BMP files through the demo's reader, message boxes and all.
#include <cstdlib>

#include "resources/bmp.h"
#include "tools/inspect/inspect.h"

namespace {

void Release(RgbImage* image) {
    std::free(image->data);
    std::free(image);
}

}  // namespace

Inspection InspectBmp(const std::string& path, bool wantPixels) {
    RgbImage* image = LoadBmpImage(path.c_str());
    Inspection result;
    result.ok = image != nullptr;
    result.members["width"] = image ? JsonValue(image->width) : JsonValue(nullptr);
    result.members["height"] = image ? JsonValue(image->height) : JsonValue(nullptr);
    if (image) {
        if (wantPixels) {
            const size_t size = size_t(image->width) * size_t(image->height) * 3;
            result.pixels.assign(image->data, image->data + size);
        }
        Release(image);
    }
    return result;
}

std::string CheckBmp(const std::filesystem::path& path) {
    RgbImage* image = LoadBmpImage(path.string().c_str());
    if (image == nullptr) return FirstMessageText("cannot be read");
    Release(image);
    return "";
}
