#include "data_files.h"

#include <cstring>

#include "data_set.h"

uint16_t Le16(const Bytes& b, size_t at) { return uint16_t(b.at(at) | (b.at(at + 1) << 8)); }

uint32_t Le32(const Bytes& b, size_t at) { return Le16(b, at) | (uint32_t(Le16(b, at + 2)) << 16); }

float LeF32(const Bytes& b, size_t at) {
    const uint32_t bits = Le32(b, at);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

Bytes MakeDataFile(const std::string& name) {
    const DataFileMaker* maker = FindDataFileMaker(name);
    return maker ? maker->make(VREX_DATA_FONT) : Bytes{};
}

bool DecodeRle8(const Bytes& data, size_t at, int width, int height, std::vector<uint8_t>& indices) {
    indices.assign(size_t(width) * height, 0);
    int x = 0, y = 0;
    while (at + 1 < data.size()) {
        const int count = data[at], value = data[at + 1];
        at += 2;
        if (count > 0) {
            if (y >= height || x + count > width) return false;
            for (int i = 0; i < count; ++i) indices[size_t(y) * width + x++] = uint8_t(value);
        } else if (value == 0) {
            if (x != width) return false;  // the generator always fills whole rows
            x = 0;
            ++y;
        } else if (value == 1) {
            return y == height - 1 && x == width;
        } else if (value == 2) {
            return false;  // the generator never uses deltas
        } else {
            if (value < 3 || y >= height || x + value > width || at + value > data.size()) return false;
            for (int i = 0; i < value; ++i) indices[size_t(y) * width + x++] = data[at + i];
            at += size_t(value + (value & 1));
        }
    }
    return false;
}

BmpPicture ReadBmp(const Bytes& file) {
    BmpPicture p;
    if (file.size() < 54 || file[0] != 'B' || file[1] != 'M' || Le32(file, 14) != 40) return {};
    const uint32_t offset = Le32(file, 10);
    p.width = int(Le32(file, 18));
    p.height = int(Le32(file, 22));
    p.bits = Le16(file, 28);
    p.compression = int(Le32(file, 30));
    p.rgb.resize(size_t(p.width) * p.height * 3);
    if (p.bits == 24 && p.compression == 0) {
        const size_t row = (size_t(p.width) * 3 + 3) & ~size_t(3);
        if (offset + row * p.height > file.size()) return {};
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x)
                for (int c = 0; c < 3; ++c)
                    p.rgb[(size_t(y) * p.width + x) * 3 + c] = file[offset + y * row + x * 3 + 2 - c];
        return p;
    }
    if (p.bits == 8) {
        const uint32_t colours = Le32(file, 46) ? Le32(file, 46) : 256;
        std::vector<uint8_t> indices(size_t(p.width) * p.height);
        if (p.compression == 1) {
            if (!DecodeRle8(file, offset, p.width, p.height, indices)) return {};
        } else {
            const size_t row = (size_t(p.width) + 3) & ~size_t(3);
            if (offset + row * p.height > file.size()) return {};
            for (int y = 0; y < p.height; ++y)
                for (int x = 0; x < p.width; ++x) indices[size_t(y) * p.width + x] = file[offset + y * row + x];
        }
        for (size_t i = 0; i < indices.size(); ++i) {
            if (indices[i] >= colours) return {};
            for (int c = 0; c < 3; ++c) p.rgb[i * 3 + c] = file[54 + indices[i] * 4 + 2 - c];
        }
        return p;
    }
    return {};
}
