#include "engine3d/chunk_buffer.h"

namespace engine3d {

bool ChunkBuffer::header(std::size_t offset, ChunkHeader& out) const
{
    out = ChunkHeader{};
    if (!holds(offset, 6))
        return false;
    u16(offset, out.id);
    u32(offset + 2, out.length);
    out.start = offset;
    out.end = offset + out.length;
    return true;
}

std::size_t ChunkBuffer::readName(std::size_t offset, std::string& name) const
{
    name.clear();
    for (std::size_t i = 0; i < 80; ++i) {
        if (!holds(offset + i, 1))
            break;
        const char c = char(data_[offset + i]);
        if (c == '\0')
            return offset + i;
        if (i < 79)
            name.push_back(c);
    }
    return offset + 80;
}

namespace {
// A header that can be stepped over: complete, and long enough to move on.
bool walkable(const ChunkBuffer& file, std::size_t offset, ChunkHeader& h)
{
    return file.header(offset, h) && h.length >= 6;
}
} // namespace

std::size_t ChunkBuffer::findChunk(std::size_t offset, std::uint16_t id, std::size_t limit) const
{
    ChunkHeader h;
    while (offset < limit && walkable(*this, offset, h)) {
        if (h.id == id)
            return offset;
        offset = h.end;
    }
    return 0;
}

std::size_t ChunkBuffer::findSubChunk(std::size_t offset, std::uint16_t id) const
{
    ChunkHeader parent;
    if (!header(offset, parent))
        return 0;
    if (parent.id == id)
        return offset;
    return findChunk(offset + 6, id, parent.end);
}

} // namespace engine3d
