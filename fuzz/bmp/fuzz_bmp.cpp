// Any bytes through the BMP reader. It must never read or write outside its buffers, leak,
// or return a picture that breaks its promises: positive sizes within the cap.
#include <cstdint>
#include <cstdlib>

#include "resources/bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RgbImage* image = nullptr;
    BmpStatus status = DecodeBmpImage(data, size, &image);
    if (status != BmpStatus::Ok) {
        if (image) __builtin_trap();
        return 0;
    }
    if (!image || image->width <= 0 || image->height <= 0) __builtin_trap();
    uint64_t bytes = uint64_t(image->width) * uint64_t(image->height) * 3;
    if (bytes > BMP_MAX_DATA_BYTES) __builtin_trap();
    // Touch both ends so a short buffer shows up under AddressSanitizer.
    volatile uint8_t ends = image->data[0] ^ image->data[bytes - 1];
    (void)ends;
    std::free(image->data);
    std::free(image);
    return 0;
}
