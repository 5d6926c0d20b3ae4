#pragma once
// A 3D Studio file held in memory and read at absolute offsets. Every read
// is checked against the end of the data here and nowhere else: a read that
// would pass the end yields zeros and reports false.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace engine3d {

struct ChunkHeader {
    std::uint16_t id = 0;
    std::uint32_t length = 0; // counts the 6-byte header
    std::size_t start = 0;
    std::size_t end = 0; // start + length (not capped at the data's end)
};

class ChunkBuffer {
public:
    ChunkBuffer(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t size() const { return size_; }
    // True when `count` bytes can be read at `offset`.
    bool holds(std::size_t offset, std::size_t count) const
    {
        return offset <= size_ && count <= size_ - offset;
    }

    // The `count` bytes at `offset`, or nullptr when they are not all there.
    // Arrays are checked once this way and then decoded with the get helpers
    // below.
    const std::uint8_t* span(std::size_t offset, std::size_t count) const
    {
        return holds(offset, count) ? data_ + offset : nullptr;
    }

    bool u16(std::size_t offset, std::uint16_t& out) const
    {
        out = 0;
        if (!holds(offset, 2))
            return false;
        out = std::uint16_t(data_[offset] | data_[offset + 1] << 8);
        return true;
    }
    bool u32(std::size_t offset, std::uint32_t& out) const
    {
        out = 0;
        if (!holds(offset, 4))
            return false;
        out = std::uint32_t(data_[offset]) | std::uint32_t(data_[offset + 1]) << 8 |
              std::uint32_t(data_[offset + 2]) << 16 | std::uint32_t(data_[offset + 3]) << 24;
        return true;
    }
    bool f32(std::size_t offset, float& out) const
    {
        std::uint32_t bits = 0;
        const bool ok = u32(offset, bits);
        std::memcpy(&out, &bits, sizeof out);
        return ok;
    }
    // False (header zeroed) when the six bytes are not all there.
    bool header(std::size_t offset, ChunkHeader& out) const;

    // Reads a NUL-terminated name of at most 80 bytes into `name` (at most 79
    // characters kept). Returns the offset of the NUL, or offset + 80 when
    // none was met (also when the data ends first).
    std::size_t readName(std::size_t offset, std::string& name) const;

    // The first chunk with `id` in the run of chunks starting at `offset`
    // and ending before `limit`; 0 when there is none. The walk ends at a
    // chunk shorter than its own header or one that passes the data's end.
    std::size_t findChunk(std::size_t offset, std::uint16_t id, std::size_t limit) const;
    // `offset` itself when the chunk there has `id`, else its first child
    // with `id`; 0 when there is none.
    std::size_t findSubChunk(std::size_t offset, std::uint16_t id) const;

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// Little-endian values at a pointer obtained from ChunkBuffer::span.
inline std::uint16_t getU16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }
inline float getF32(const std::uint8_t* p)
{
    const std::uint32_t bits =
        std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

} // namespace engine3d
