// byte_writer.h - little-endian byte appends shared by the file writers.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

using Bytes = std::vector<uint8_t>;

inline void PutU8(Bytes& out, uint8_t v) { out.push_back(v); }

inline void PutU16(Bytes& out, uint16_t v)
{
    out.push_back(uint8_t(v & 0xFF));
    out.push_back(uint8_t(v >> 8));
}

inline void PutU32(Bytes& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t((v >> (8 * i)) & 0xFF));
}

inline void PutF32(Bytes& out, float v)
{
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    PutU32(out, bits);
}

// The text and its terminating zero byte.
inline void PutString(Bytes& out, std::string_view text)
{
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

inline void PatchU32(Bytes& out, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out[at + i] = uint8_t((v >> (8 * i)) & 0xFF);
}
