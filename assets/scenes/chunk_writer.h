#pragma once
// Writing 3D Studio chunks: a 16-bit id and a 32-bit length that counts the
// 6-byte header, the chunk's own data and all of its sub-chunks, little-endian.
#include <cstdint>
#include <string>
#include <vector>

namespace assets::scenes {

class ChunkWriter {
public:
    // Opens a chunk; its length is filled in by the matching end().
    void begin(std::uint16_t id);
    void end();

    void u8(std::uint8_t v) { bytes_.push_back(v); }
    void u16(std::uint16_t v);
    void u32(std::uint32_t v);
    void f32(float v);
    // The text and its terminating NUL.
    void name(const std::string& s);

    // The finished file; throws std::logic_error when a chunk is still open.
    const std::vector<std::uint8_t>& bytes() const;

private:
    std::vector<std::uint8_t> bytes_;
    std::vector<std::size_t> open_;
};

} // namespace assets::scenes
