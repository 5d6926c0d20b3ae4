#pragma once
// A small, strict 3D Studio chunk walker for the scene tests: it checks that
// every chunk fits its parent exactly and gives the tree and the tracks.
#include <cstdint>
#include <string>
#include <vector>

namespace scenes_walk {

struct Chunk {
    std::uint16_t id = 0;
    std::size_t start = 0; // offset of the header
    std::size_t end = 0;   // start + length
    std::size_t data = 0;  // first byte after the header and any own data
    std::vector<Chunk> children;
};

struct Key {
    std::int32_t frame = 0;
    std::uint16_t flags = 0;
    float tension = 0, continuity = 0, bias = 0;
    std::vector<float> value;
};

class File {
public:
    explicit File(std::vector<std::uint8_t> bytes);

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    const Chunk& root() const { return root_; }
    // Problems found while walking (empty for a clean file).
    const std::vector<std::string>& problems() const { return problems_; }

    std::uint16_t u16(std::size_t at) const;
    std::uint32_t u32(std::size_t at) const;
    float f32(std::size_t at) const;
    std::string name(std::size_t at) const; // NUL-terminated, at most 80 bytes

    // The keys of a track chunk with `values` floats per key; a problem is
    // recorded when the keys do not fill the chunk exactly.
    std::vector<Key> track(const Chunk& c, int values);

private:
    Chunk walk(std::size_t at, std::size_t limit, int depth);

    std::vector<std::uint8_t> bytes_;
    Chunk root_;
    std::vector<std::string> problems_;
};

// Children with the id, in order.
std::vector<const Chunk*> children(const Chunk& c, std::uint16_t id);
const Chunk* child(const Chunk& c, std::uint16_t id);

} // namespace scenes_walk
