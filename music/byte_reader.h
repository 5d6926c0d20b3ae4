#pragma once
// Bounds-checked sequential reads from a file held in memory. Reading past
// the end yields zeros and sets the truncated flag; nothing is ever read
// outside the span.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace music {

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}

    std::size_t position() const { return pos_; }
    std::size_t size() const { return data_.size(); }
    std::size_t remaining() const { return pos_ < data_.size() ? data_.size() - pos_ : 0; }
    bool truncated() const { return truncated_; }

    void seek(std::size_t pos)
    {
        pos_ = pos;
        if (pos_ > data_.size()) {
            pos_ = data_.size();
            truncated_ = true;
        }
    }
    void skip(std::size_t n) { seek(n > remaining() ? data_.size() + 1 : pos_ + n); }

    std::uint8_t u8()
    {
        if (pos_ >= data_.size()) {
            truncated_ = true;
            return 0;
        }
        return data_[pos_++];
    }
    std::uint16_t u16le()
    {
        const std::uint16_t lo = u8();
        return static_cast<std::uint16_t>(lo | (u8() << 8));
    }
    std::uint16_t u16be()
    {
        const std::uint16_t hi = u8();
        return static_cast<std::uint16_t>((hi << 8) | u8());
    }
    std::uint32_t u32le()
    {
        const std::uint32_t lo = u16le();
        return lo | (static_cast<std::uint32_t>(u16le()) << 16);
    }
    // Copies n bytes (zeros past the end) into dst.
    void bytes(void* dst, std::size_t n)
    {
        const std::size_t have = std::min(n, remaining());
        if (have)
            std::memcpy(dst, data_.data() + pos_, have);
        if (have < n) {
            std::memset(static_cast<std::uint8_t*>(dst) + have, 0, n - have);
            truncated_ = true;
        }
        pos_ += have;
    }
    const std::uint8_t* current() const { return data_.data() + pos_; }

private:
    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
    bool truncated_ = false;
};

} // namespace music
