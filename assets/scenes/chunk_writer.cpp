#include "assets/scenes/chunk_writer.h"

#include <cstring>
#include <stdexcept>

namespace assets::scenes {

void ChunkWriter::begin(std::uint16_t id)
{
    open_.push_back(bytes_.size());
    u16(id);
    u32(0);
}

void ChunkWriter::end()
{
    if (open_.empty())
        throw std::logic_error("chunk end without begin");
    const std::size_t start = open_.back();
    open_.pop_back();
    const std::uint32_t length = std::uint32_t(bytes_.size() - start);
    for (int i = 0; i < 4; ++i)
        bytes_[start + 2 + std::size_t(i)] = std::uint8_t(length >> (8 * i));
}

void ChunkWriter::u16(std::uint16_t v)
{
    bytes_.push_back(std::uint8_t(v));
    bytes_.push_back(std::uint8_t(v >> 8));
}

void ChunkWriter::u32(std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        bytes_.push_back(std::uint8_t(v >> (8 * i)));
}

void ChunkWriter::f32(float v)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    u32(bits);
}

void ChunkWriter::name(const std::string& s)
{
    if (s.size() >= 80 || s.find('\0') != std::string::npos)
        throw std::invalid_argument("3D Studio names are at most 79 bytes without NUL");
    bytes_.insert(bytes_.end(), s.begin(), s.end());
    bytes_.push_back(0);
}

const std::vector<std::uint8_t>& ChunkWriter::bytes() const
{
    if (!open_.empty())
        throw std::logic_error("3D Studio chunk left open");
    return bytes_;
}

} // namespace assets::scenes
