#include "png_writer.h"

#include <png.h>

#include <csetjmp>

namespace {

void AppendToBytes(png_structp png, png_bytep data, png_size_t length) {
    Bytes* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void FlushNothing(png_structp) {}

}  // namespace

Bytes EncodePng(const Image& image) {
    // Rows before setjmp: libpng reports its errors by longjmp, which must not skip a destructor.
    std::vector<uint8_t> pixels(std::size_t(image.width) * image.height * 4);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const Rgba& p = image.At(x, y);
            uint8_t* out = &pixels[(std::size_t(y) * image.width + x) * 4];
            out[0] = RoundChannel(p.r);
            out[1] = RoundChannel(p.g);
            out[2] = RoundChannel(p.b);
            out[3] = RoundChannel(p.a);
        }
    }
    std::vector<png_bytep> rows(std::size_t(image.height));
    for (int y = 0; y < image.height; ++y) rows[std::size_t(y)] = &pixels[std::size_t(y) * image.width * 4];

    Bytes file;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return {};
    }
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_set_write_fn(png, &file, AppendToBytes, FlushNothing);
        png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        png_write_image(png, rows.data());
        png_write_end(png, nullptr);
    } else {
        file.clear();
    }
    png_destroy_write_struct(&png, &info);
    return file;
}
