// chunk_writer.h - the nested chunks of a 3DS file.
//
// A chunk is a 16-bit id, a 32-bit length that counts the whole chunk (its 6 header bytes,
// its data and its children), then the data and the children. Two ways to write one:
//  - ChunkWriter streams a file: Begin() writes the header with a placeholder length, End()
//    closes the innermost open chunk and fills its length in (the data generator).
//  - Chunk(id, payload) returns one finished chunk around bytes already built, and
//    ChunkWithLength() writes any length, to make files whose lengths lie (the tests).
#pragma once

#include <string_view>

#include "writers/byte_writer.h"

constexpr size_t CHUNK_HEADER_BYTES = 6;

inline void PutChunkHeader(Bytes& out, uint16_t id, uint32_t length) {
    PutU16(out, id);
    PutU32(out, length);
}

inline Bytes ChunkWithLength(uint16_t id, uint32_t length, const Bytes& payload) {
    Bytes out;
    PutChunkHeader(out, id, length);
    PutBytes(out, payload);
    return out;
}

inline Bytes Chunk(uint16_t id, const Bytes& payload) {
    return ChunkWithLength(id, uint32_t(payload.size() + CHUNK_HEADER_BYTES), payload);
}

inline Bytes Chunk(uint16_t id, const std::vector<Bytes>& parts) { return Chunk(id, Cat(parts)); }

class ChunkWriter {
public:
    void Begin(uint16_t id);
    void End();
    void U8(uint8_t v) { PutU8(bytes_, v); }
    void U16(uint16_t v) { PutU16(bytes_, v); }
    void U32(uint32_t v) { PutU32(bytes_, v); }
    void F32(float v) { PutF32(bytes_, v); }
    void String(std::string_view text) { PutString(bytes_, text); }

    // The finished file; every chunk must have been ended.
    const Bytes& Result() const { return bytes_; }
    size_t OpenChunks() const { return open_.size(); }

private:
    Bytes bytes_;
    std::vector<size_t> open_;  // offsets of the chunks begun and not yet ended
};
