#include "music/sync_events.h"

#include <algorithm>

namespace music {

std::uint64_t SyncEventTable::pack(const SyncEvent& e)
{
    return static_cast<std::uint64_t>(static_cast<std::uint32_t>(e.time)) |
           (static_cast<std::uint64_t>(e.channel) << 32) | (static_cast<std::uint64_t>(e.value) << 48);
}

SyncEvent SyncEventTable::unpack(std::uint64_t word)
{
    SyncEvent e;
    e.time = static_cast<std::int32_t>(static_cast<std::uint32_t>(word));
    e.channel = static_cast<std::uint16_t>(word >> 32);
    e.value = static_cast<std::uint16_t>(word >> 48);
    return e;
}

void SyncEventTable::create(std::int32_t capacity)
{
    capacity_ = std::clamp(capacity, std::int32_t{1}, kMaxCapacity);
    entries_ = std::make_unique<std::atomic<std::uint64_t>[]>(static_cast<std::size_t>(capacity_));
    for (std::int32_t i = 0; i < capacity_; ++i)
        entries_[static_cast<std::size_t>(i)].store(kFree, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
}

void SyncEventTable::release()
{
    entries_.reset();
    capacity_ = 0;
}

bool SyncEventTable::add(std::uint16_t channel, std::uint16_t value, std::int32_t time)
{
    if (channel == 0xFFFF) // would read as a free slot
        channel = 0xFFFE;
    for (std::int32_t i = 0; i < capacity_; ++i) {
        std::atomic<std::uint64_t>& slot = entries_[static_cast<std::size_t>(i)];
        if (unpack(slot.load(std::memory_order_acquire)).channel != 0xFFFF)
            continue;
        slot.store(pack({time, channel, value}), std::memory_order_release);
        return true;
    }
    return false;
}

void SyncEventTable::collectDue(std::uint32_t now, std::array<std::uint8_t, 256>& counters)
{
    for (std::int32_t i = 0; i < capacity_; ++i) {
        std::atomic<std::uint64_t>& slot = entries_[static_cast<std::size_t>(i)];
        std::uint64_t word = slot.load(std::memory_order_acquire);
        const SyncEvent e = unpack(word);
        if (e.channel == 0xFFFF)
            continue;
        if (static_cast<std::int32_t>(now - static_cast<std::uint32_t>(e.time)) < 0)
            continue; // not yet due
        // Only this thread frees slots, so the word cannot change under us;
        // the exchange keeps that true even if it ever did.
        if (slot.compare_exchange_strong(word, kFree, std::memory_order_acq_rel, std::memory_order_acquire))
            counters[e.value & 0xFF] = static_cast<std::uint8_t>(counters[e.value & 0xFF] + 1);
    }
}

std::int32_t SyncEventTable::pending() const
{
    std::int32_t n = 0;
    for (std::int32_t i = 0; i < capacity_; ++i)
        if (unpack(entries_[static_cast<std::size_t>(i)].load(std::memory_order_acquire)).channel != 0xFFFF)
            ++n;
    return n;
}

} // namespace music
