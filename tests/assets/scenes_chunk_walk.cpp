#include "tests/assets/scenes_chunk_walk.h"

#include <cstring>
#include <sstream>

namespace scenes_walk {
namespace {

// Bytes of a chunk's own data before its first sub-chunk, for the
// container chunks the walker descends into; -1: name, then sub-chunks;
// -2: a 16-bit count and 8 bytes per entry (faces), then sub-chunks.
int ownData(std::uint16_t id)
{
    switch (id) {
    case 0x4D4D: case 0x3D3D: case 0x4100: case 0xAFFF: case 0xA200: case 0xB000:
    case 0xB002: case 0xB003: case 0xB004: case 0xA010: case 0xA020: case 0xA030:
        return 0;
    case 0x4000:
        return -1;
    case 0x4120:
        return -2;
    default:
        return -3; // a leaf
    }
}

} // namespace

File::File(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes))
{
    if (bytes_.size() < 6) {
        problems_.push_back("file shorter than a chunk header");
        return;
    }
    root_ = walk(0, bytes_.size(), 0);
    if (root_.end != bytes_.size())
        problems_.push_back("main chunk length differs from the file size");
}

std::uint16_t File::u16(std::size_t at) const
{
    if (at + 2 > bytes_.size())
        return 0;
    return std::uint16_t(bytes_[at] | bytes_[at + 1] << 8);
}

std::uint32_t File::u32(std::size_t at) const
{
    if (at + 4 > bytes_.size())
        return 0;
    return std::uint32_t(bytes_[at]) | std::uint32_t(bytes_[at + 1]) << 8 | std::uint32_t(bytes_[at + 2]) << 16 |
           std::uint32_t(bytes_[at + 3]) << 24;
}

float File::f32(std::size_t at) const
{
    const std::uint32_t v = u32(at);
    float f = 0;
    std::memcpy(&f, &v, sizeof f);
    return f;
}

std::string File::name(std::size_t at) const
{
    std::string s;
    for (std::size_t i = at; i < bytes_.size() && i < at + 80; ++i) {
        if (bytes_[i] == 0)
            return s;
        s += char(bytes_[i]);
    }
    return s + "<no NUL>";
}

Chunk File::walk(std::size_t at, std::size_t limit, int depth)
{
    Chunk c;
    c.start = at;
    c.id = u16(at);
    const std::uint32_t length = u32(at + 2);
    c.end = at + length;
    std::ostringstream where;
    where << "chunk 0x" << std::hex << c.id << " at " << std::dec << at;
    if (length < 6 || c.end > limit) {
        problems_.push_back(where.str() + ": length outside its parent");
        c.end = limit;
        return c;
    }
    const int own = ownData(c.id);
    if (own == -3 || depth > 8) {
        c.data = c.end;
        return c;
    }
    std::size_t p = at + 6;
    if (own == -1) {
        const std::string n = name(p);
        p += n.size() + 1;
    } else if (own == -2) {
        p += 2 + std::size_t(u16(p)) * 8;
    }
    c.data = p;
    if (p > c.end) {
        problems_.push_back(where.str() + ": own data runs past its end");
        return c;
    }
    while (p < c.end) {
        Chunk k = walk(p, c.end, depth + 1);
        p = k.end;
        c.children.push_back(std::move(k));
    }
    return c;
}

std::vector<Key> File::track(const Chunk& c, int values)
{
    std::vector<Key> keys;
    const std::uint32_t count = u32(c.start + 16);
    std::size_t p = c.start + 20;
    for (std::uint32_t i = 0; i < count && p + 6 <= c.end; ++i) {
        Key k;
        k.frame = std::int32_t(u32(p));
        k.flags = u16(p + 4);
        p += 6;
        if (k.flags & 1) { k.tension = f32(p); p += 4; }
        if (k.flags & 2) { k.continuity = f32(p); p += 4; }
        if (k.flags & 4) { k.bias = f32(p); p += 4; }
        if (k.flags & 8) p += 4;
        if (k.flags & 16) p += 4;
        for (int v = 0; v < values; ++v, p += 4)
            k.value.push_back(f32(p));
        keys.push_back(k);
    }
    if (keys.size() != count || p != c.end) {
        std::ostringstream s;
        s << "track 0x" << std::hex << c.id << " at " << std::dec << c.start << ": keys do not fill the chunk";
        problems_.push_back(s.str());
    }
    return keys;
}

std::vector<const Chunk*> children(const Chunk& c, std::uint16_t id)
{
    std::vector<const Chunk*> out;
    for (const Chunk& k : c.children)
        if (k.id == id)
            out.push_back(&k);
    return out;
}

const Chunk* child(const Chunk& c, std::uint16_t id)
{
    for (const Chunk& k : c.children)
        if (k.id == id)
            return &k;
    return nullptr;
}

} // namespace scenes_walk
