// byte_writer.h - little-endian numbers and strings appended to a byte vector: how the data
// generator, the tests and the fuzz seed writers build every file format the demo reads.
//
//     Bytes header;
//     PutU16(header, width);          // append in place
//     Bytes file = Cat({U32(40), header, Str("skin.bmp")});  // or build from parts
//
// The demo itself never links this: its readers decode, they do not write.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string_view>
#include <vector>

using Bytes = std::vector<uint8_t>;

inline void PutU8(Bytes& out, uint8_t v) { out.push_back(v); }

inline void PutU16(Bytes& out, uint16_t v) {
    out.push_back(uint8_t(v & 0xFF));
    out.push_back(uint8_t(v >> 8));
}

inline void PutU32(Bytes& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t((v >> (8 * i)) & 0xFF));
}

inline void PutF32(Bytes& out, float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    PutU32(out, bits);
}

// The text and its terminating zero byte.
inline void PutString(Bytes& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

inline void PutBytes(Bytes& out, const Bytes& part) { out.insert(out.end(), part.begin(), part.end()); }

// Overwrites four bytes already written, for lengths known only at the end.
inline void PatchU32(Bytes& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = uint8_t((v >> (8 * i)) & 0xFF);
}

// ---- the same as values, for files built from readable parts ----------------------------

inline Bytes U16(uint16_t v) {
    Bytes out;
    PutU16(out, v);
    return out;
}

inline Bytes U32(uint32_t v) {
    Bytes out;
    PutU32(out, v);
    return out;
}

inline Bytes F32(float v) {
    Bytes out;
    PutF32(out, v);
    return out;
}

inline Bytes Str(std::string_view text) {
    Bytes out;
    PutString(out, text);
    return out;
}

inline Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) PutBytes(out, part);
    return out;
}

inline Bytes Cat(const std::vector<Bytes>& parts) {
    Bytes out;
    for (const Bytes& part : parts) PutBytes(out, part);
    return out;
}
