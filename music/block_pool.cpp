#include "music/block_pool.h"

#include <cstring>
#include <new>

namespace music {

BlockPool::BlockPool(std::int32_t capacity) { reset(capacity); }

BlockPool::~BlockPool() { releaseAll(); }

void BlockPool::releaseAll()
{
    for (std::int32_t i = 0; i < count_; ++i)
        delete[] starts_[static_cast<std::size_t>(i)];
    starts_.clear();
    ends_.clear();
    count_ = 0;
}

void BlockPool::reset(std::int32_t capacity)
{
    releaseAll();
    capacity_ = capacity < 1 ? 1 : capacity;
    overflow_ = 0;
    failure_ = Failure::None;
    starts_.reserve(static_cast<std::size_t>(capacity_));
    ends_.reserve(static_cast<std::size_t>(capacity_));
}

std::uint8_t* BlockPool::allocate(std::size_t n)
{
    if (count_ >= capacity_ - 1) {
        overflow_ = 1;
        failure_ = Failure::Exhausted;
        return nullptr;
    }
    std::uint8_t* block = new (std::nothrow) std::uint8_t[n + kTailBytes];
    if (!block) {
        failure_ = Failure::OutOfMemory;
        return nullptr;
    }
    std::memset(block + n, 0, kTailBytes);
    starts_.push_back(block);
    ends_.push_back(block + n);
    ++count_;
    return block;
}

} // namespace music
