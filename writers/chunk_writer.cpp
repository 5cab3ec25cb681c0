#include "writers/chunk_writer.h"

void ChunkWriter::Begin(uint16_t id) {
    open_.push_back(bytes_.size());
    PutChunkHeader(bytes_, id, 0);
}

void ChunkWriter::End() {
    const size_t start = open_.back();
    open_.pop_back();
    PatchU32(bytes_, start + 2, uint32_t(bytes_.size() - start));
}
