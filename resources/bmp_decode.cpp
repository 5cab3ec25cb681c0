// A BMP file already in memory to an RgbImage: layout first, then one zeroed pixel buffer,
// then the decoder its compression calls for, then the record.
#include <cstdlib>

#include "resources/bmp_layout.h"

BmpStatus DecodeBmpImage(const uint8_t* bytes, size_t size, RgbImage** image) {
    *image = nullptr;
    BmpLayout layout;
    BmpStatus status = ReadBmpLayout(bytes, size, &layout);
    if (status != BmpStatus::Ok) return status;

    // Zeroed, so pixels a run-length stream skips come out black.
    auto* data = static_cast<uint8_t*>(std::calloc(size_t(layout.width) * size_t(layout.height), 3));
    if (!data) return BmpStatus::OutOfMemory;
    bool rle = layout.compression == BMP_COMPRESSION_RLE8 || layout.compression == BMP_COMPRESSION_RLE4;
    if (rle) {
        status = DecodeRleRows(layout, data);
        if (status != BmpStatus::Ok) {
            std::free(data);
            return status;
        }
    } else {
        DecodeUncompressedRows(layout, data);
    }

    auto* record = static_cast<RgbImage*>(std::malloc(sizeof(RgbImage)));
    if (!record) {
        std::free(data);
        return BmpStatus::OutOfMemory;
    }
    *record = {layout.width, layout.height, data};
    *image = record;
    return BmpStatus::Ok;
}

const char* BmpStatusMessage(BmpStatus status) {
    switch (status) {
    case BmpStatus::UnknownFormat: return "Unknown DIB file format.";
    case BmpStatus::ConversionError: return "Image file conversion error.";
    case BmpStatus::OutOfMemory: return "Out of memory.";
    case BmpStatus::Ok: break;
    }
    return nullptr;
}
