#pragma once
// The song's memory for pattern and sample data: blocks handed out one by one
// and released only all together, when the pool is destroyed or reset.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace music {

class BlockPool {
public:
    static constexpr std::int32_t kDefaultCapacity = 5000;
    // Zero bytes after each block's end, so readers may run a little past it.
    static constexpr std::size_t kTailBytes = 1024;

    enum class Failure { None, Exhausted, OutOfMemory };

    explicit BlockPool(std::int32_t capacity = kDefaultCapacity);
    ~BlockPool();
    BlockPool(const BlockPool&) = delete;
    BlockPool& operator=(const BlockPool&) = delete;

    // Hands out n bytes followed by kTailBytes zero bytes (the n bytes themselves
    // are not cleared). Returns null, and records why in failure(), when the pool
    // has already handed out capacity - 1 blocks (the overflow flag is then set)
    // or when the heap refuses the block. Never ends the process: the module
    // reader turns a failure into the program's fatal message.
    std::uint8_t* allocate(std::size_t n);

    // Frees every block and starts again with the given capacity.
    void reset(std::int32_t capacity = kDefaultCapacity);

    std::int32_t count() const { return count_; }
    std::int32_t capacity() const { return capacity_; }
    bool overflow() const { return overflow_ != 0; }
    Failure failure() const { return failure_; }
    // Start and end (start + requested size) of block i, i < count().
    const std::uint8_t* blockStart(std::int32_t i) const { return starts_[static_cast<std::size_t>(i)]; }
    const std::uint8_t* blockEnd(std::int32_t i) const { return ends_[static_cast<std::size_t>(i)]; }

private:
    void releaseAll();

    std::vector<std::uint8_t*> starts_;
    std::vector<std::uint8_t*> ends_;
    std::int32_t count_ = 0;
    std::int32_t capacity_ = kDefaultCapacity;
    std::int32_t overflow_ = 0;
    Failure failure_ = Failure::None;
};

} // namespace music
