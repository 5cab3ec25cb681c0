#include "chunk_writer.h"

void ChunkWriter::Begin(uint16_t id)
{
    open_.push_back(bytes_.size());
    PutU16(bytes_, id);
    PutU32(bytes_, 0);
}

void ChunkWriter::End()
{
    const size_t start = open_.back();
    open_.pop_back();
    PatchU32(bytes_, start + 2, uint32_t(bytes_.size() - start));
}
