// Any bytes as a TGA file through the loader's decoder. It must stay inside its buffers, free
// what it refuses, and keep the record's promises: an accepted image has both sides, a depth
// of 24 or 32 bits and every pixel (plus the zeroed slack after them) readable.
#include <cstdint>
#include <cstdlib>

#include "resources/textures.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TextureImage image = {};
    if (DecodeTgaBytes(&image, data, size) != TgaStatus::Ok) {
        if (image.pixels) __builtin_trap();
        return 0;
    }
    if (image.width == 0 || image.height == 0 || (image.bitsPerPixel != 24 && image.bitsPerPixel != 32))
        __builtin_trap();
    const uint64_t bytes = uint64_t(image.width) * image.height * (image.bitsPerPixel / 8);
    if (bytes + 18 > size) __builtin_trap();  // more pixels than the input held
    // Touch both ends so a short buffer shows up under AddressSanitizer.
    volatile uint8_t ends = image.pixels[0] ^ image.pixels[bytes + uint64_t(image.height) * 7 - 1];
    (void)ends;
    std::free(image.pixels);
    return 0;
}
