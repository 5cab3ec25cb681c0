// PNG output through libpng: 8-bit RGB, rows flipped from GL's bottom-up order.
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

#include "tools/capture/capture.h"

bool WritePng(const std::string& path, int width, int height, const uint8_t* rows) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        std::fclose(file);
        return false;
    }
    // Row pointers first: libpng reports its errors by longjmp, which must not skip a destructor.
    std::vector<png_const_bytep> top_down(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        top_down[std::size_t(y)] = rows + std::size_t(height - 1 - y) * std::size_t(width) * 3;
    bool written = false;
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        png_write_rows(png, const_cast<png_bytepp>(top_down.data()), png_uint_32(height));
        png_write_end(png, nullptr);
        written = true;
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && written;
}
