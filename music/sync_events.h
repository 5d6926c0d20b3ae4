#pragma once
// Synchronisation markers between the mixing thread and the driver's thread.
//
// The player (on the mixing thread) records an event {due time, channel,
// value} for every W effect it plays; the driver's thread collects the events
// whose time has come into 256 per-value counters and consumes one occurrence
// per successful query. The two threads share nothing else.
//
// Publication: each entry is one 64-bit atomic word holding all three fields,
// so an entry becomes visible to the driver's thread only complete. The
// writer stores with release order, the reader loads with acquire order, and
// no lock is taken. Exactly one thread adds events and exactly one thread
// collects them (and owns the counters); a slot goes free -> used only on the
// adding side and used -> free only on the collecting side.
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

namespace music {

struct SyncEvent {
    std::int32_t time = 0;      // due time, milliseconds on the 32-bit wrapping clock
    std::uint16_t channel = 0;  // 0xFFFF marks a free slot
    std::uint16_t value = 0;
};

class SyncEventTable {
public:
    static constexpr std::int32_t kRequestedCapacity = 2048;
    static constexpr std::int32_t kMaxCapacity = 4096;

    // Allocates `capacity` free entries (capped at 4096). Not concurrent with
    // add() or collectDue(): called before the output side starts.
    void create(std::int32_t capacity = kRequestedCapacity);
    // Frees the entries; afterwards add() drops events and collectDue() finds
    // none. Called after the output side has stopped.
    void release();
    bool created() const { return capacity_ > 0; }
    std::int32_t capacity() const { return capacity_; }

    // Mixing thread: the first free entry gets the event. Returns false when
    // the table is full (or not created): the event is dropped.
    bool add(std::uint16_t channel, std::uint16_t value, std::int32_t time);

    // Driver's thread: every used entry whose time is not later than `now`
    // (compared as a signed 32-bit difference, so the clock may wrap) adds 1
    // (modulo 256) to counters[value & 0xFF] and becomes free.
    void collectDue(std::uint32_t now, std::array<std::uint8_t, 256>& counters);

    // Number of used entries (for tests and diagnostics; a snapshot).
    std::int32_t pending() const;

private:
    static constexpr std::uint64_t kFree = ~std::uint64_t{0};
    static std::uint64_t pack(const SyncEvent& e);
    static SyncEvent unpack(std::uint64_t word);

    std::int32_t capacity_ = 0;
    std::unique_ptr<std::atomic<std::uint64_t>[]> entries_;
};

} // namespace music
