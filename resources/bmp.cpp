// LoadBmpImage: the file taken into memory whole, decoded, and every failure shown in an
// "Error" box owned by the window with the keyboard focus.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "resources/bmp.h"

namespace {

constexpr size_t FIRST_READ = 64 * 1024;  // grows by doubling; most material pictures fit

struct FileBytes {
    uint8_t* bytes = nullptr;
    size_t size = 0;
};

// Reads until the end rather than trusting a seek: a directory or a device gives no
// honest size. False for an unopenable, unreadable or empty file.
bool ReadWholeFile(const char* fileName, FileBytes* file) {
    std::FILE* stream = std::fopen(fileName, "rb");
    if (!stream) return false;
    size_t capacity = 0;
    bool readable = true;
    for (;;) {
        if (file->size == capacity) {
            size_t grown = capacity == 0 ? FIRST_READ : capacity * 2;
            void* larger = grown > capacity ? std::realloc(file->bytes, grown) : nullptr;
            if (!larger) {
                readable = false;
                break;
            }
            file->bytes = static_cast<uint8_t*>(larger);
            capacity = grown;
        }
        size_t got = std::fread(file->bytes + file->size, 1, capacity - file->size, stream);
        file->size += got;
        if (got == 0) {
            readable = !std::ferror(stream);
            break;
        }
    }
    std::fclose(stream);
    if (readable && file->size > 0) return true;
    std::free(file->bytes);
    *file = {};
    return false;
}

void ShowError(const char* text) { MessageBoxA(GetFocus(), text, "Error", MB_OK); }

void ShowOpenFailure(const char* fileName) {
    static const char FORMAT[] = "Failed to open DIB file %s.\n";
    size_t length = std::strlen(FORMAT) + std::strlen(fileName);
    char* text = static_cast<char*>(std::malloc(length));
    if (!text) {
        ShowError("Out of memory.");
        return;
    }
    std::snprintf(text, length, FORMAT, fileName);
    ShowError(text);
    std::free(text);
}

}  // namespace

RgbImage* LoadBmpImage(const char* fileName) {
    if (!fileName) fileName = "";  // nothing to open, reported like a missing file
    FileBytes file;
    if (!ReadWholeFile(fileName, &file)) {
        ShowOpenFailure(fileName);
        return nullptr;
    }
    RgbImage* image = nullptr;
    BmpStatus status = DecodeBmpImage(file.bytes, file.size, &image);
    std::free(file.bytes);
    if (status != BmpStatus::Ok) ShowError(BmpStatusMessage(status));
    return image;
}
