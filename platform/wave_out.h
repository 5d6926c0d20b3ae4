#pragma once
// The wave-output device: queued blocks of 16-bit stereo PCM played in order,
// with an event signalled once when the device opens and again after every
// finished block. Shaped like a multimedia wave-out device: block headers with
// a done flag, prepare/unprepare/write, reset, close, and error numbers.
//
// Two implementations: SDL2 audio for real use (createSdlWaveOut) and
// FakeWaveOut (platform/wave_out_fake.h), whose blocks a test finishes.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

namespace platform {

// Result numbers of the device calls (0 is success), as the multimedia
// interface numbers them; the music shows them in its error boxes.
enum WaveResult : std::uint32_t {
    waveOk = 0,
    waveError = 1,          // unspecified failure
    waveBadDevice = 2,      // no such device
    waveAllocated = 4,      // the device is already open
    waveInvalidHandle = 5,  // the device is not open
    waveNoDriver = 6,       // no audio driver
    waveNoMemory = 7,
    waveInvalidParam = 11,
    waveBadFormat = 32,     // the device does not play this format
    waveStillPlaying = 33,  // the block (or a block) is still queued
    waveUnprepared = 34,    // the block is not prepared
};

// Flags of a block header.
constexpr std::uint32_t waveHeaderDone = 0x01;     // finished (or never queued)
constexpr std::uint32_t waveHeaderPrepared = 0x02;
constexpr std::uint32_t waveHeaderInQueue = 0x10;

// One block: the caller owns the header and the data and keeps both alive
// until the block is done or the device has been reset.
struct WaveHeader {
    std::uint8_t* data = nullptr;
    std::uint32_t length = 0;               // bytes
    std::atomic<std::uint32_t> flags{0};    // set by the device from its own thread
    std::uint32_t loops = 0;

    bool done() const { return (flags.load(std::memory_order_acquire) & waveHeaderDone) != 0; }
};

// The block state changes every wave output makes alike. The flags are
// written by one side at a time (the caller while the block is not queued,
// the device while it is), so a load and a store are enough.

// Prepares a block that is not queued.
inline WaveResult markPrepared(WaveHeader& header)
{
    const std::uint32_t flags = header.flags.load(std::memory_order_acquire);
    if (flags & waveHeaderInQueue)
        return waveStillPlaying;
    header.flags.store(flags | waveHeaderPrepared, std::memory_order_release);
    return waveOk;
}

// Unprepares a block that is not queued.
inline WaveResult markUnprepared(WaveHeader& header)
{
    const std::uint32_t flags = header.flags.load(std::memory_order_acquire);
    if (flags & waveHeaderInQueue)
        return waveStillPlaying;
    header.flags.store(flags & ~waveHeaderPrepared, std::memory_order_release);
    return waveOk;
}

// Whether a block may be queued: prepared and not queued yet.
inline WaveResult checkWritable(const WaveHeader& header)
{
    const std::uint32_t flags = header.flags.load(std::memory_order_acquire);
    if (!(flags & waveHeaderPrepared))
        return waveUnprepared;
    if (flags & waveHeaderInQueue)
        return waveStillPlaying;
    return waveOk;
}

// Queued, and not done until the device says so.
inline void markQueued(WaveHeader& header)
{
    const std::uint32_t flags = header.flags.load(std::memory_order_acquire);
    header.flags.store((flags & ~waveHeaderDone) | waveHeaderInQueue, std::memory_order_release);
}

// Played (or returned by a reset): out of the queue and done.
inline void markDone(WaveHeader& header)
{
    const std::uint32_t flags = header.flags.load(std::memory_order_relaxed);
    header.flags.store((flags & ~waveHeaderInQueue) | waveHeaderDone, std::memory_order_release);
}

// PCM format of the device: 16-bit signed stereo at the mixing rate.
struct WaveFormat {
    std::uint16_t formatTag = 1; // PCM
    std::uint16_t channels = 2;
    std::uint32_t samplesPerSecond = 44100;
    std::uint32_t averageBytesPerSecond = 44100 * 4;
    std::uint16_t blockAlign = 4;
    std::uint16_t bitsPerSample = 16;
    std::uint16_t extraSize = 0;

    static WaveFormat stereo16(std::uint32_t rate)
    {
        WaveFormat f;
        f.samplesPerSecond = rate;
        f.averageBytesPerSecond = rate * 4;
        return f;
    }
};

// An auto-reset event: wait() returns once per signal (signals that arrive
// while nobody waits are kept as one), resetting it on the way out.
class AutoResetEvent {
public:
    void signal()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            signalled_ = true;
        }
        cv_.notify_one();
    }
    void reset()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        signalled_ = false;
    }
    void wait()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        cv_.wait(lock, [this] { return signalled_; });
        signalled_ = false;
    }
    // Waits at most `ms` milliseconds; true when it was signalled.
    bool waitFor(int ms)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!cv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return signalled_; }))
            return false;
        signalled_ = false;
        return true;
    }
    bool signalled() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return signalled_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    bool signalled_ = false;
};

class WaveOut {
public:
    virtual ~WaveOut() = default;

    // Number of output devices; 0 when no audio output can be had.
    virtual unsigned deviceCount() = 0;
    // Opens the default device in `format`; `event` is signalled once when
    // the device is open and then after every finished block (and after a
    // reset that finished blocks). The event must outlive the open device.
    virtual WaveResult open(const WaveFormat& format, AutoResetEvent& event) = 0;
    // Marks a header prepared; it must not be queued.
    virtual WaveResult prepare(WaveHeader& header) = 0;
    // Clears the prepared flag; waveStillPlaying while the block is queued.
    virtual WaveResult unprepare(WaveHeader& header) = 0;
    // Queues a prepared block behind the others: clears its done flag; the
    // device sets it again once the block has been played.
    virtual WaveResult write(WaveHeader& header) = 0;
    // Stops playback and marks every queued block done.
    virtual WaveResult reset() = 0;
    // Closes the device; waveStillPlaying while blocks are queued.
    virtual WaveResult close() = 0;
    // Bytes written and not yet taken by the device: the audio that a block
    // written now waits behind before it reaches the device.
    virtual std::uint32_t queuedBytes() = 0;
    // Frames the device adds on average between the queue and the moment it
    // takes the audio: a device that takes audio in steps of n frames makes
    // a frame wait n / 2 beyond the queue. 0 for a device without steps.
    virtual std::uint32_t stepLagFrames() { return 0; }
};

// The SDL2 audio device; SDL's audio subsystem is initialised while the
// object lives. Its audio callback drains the queued blocks in order.
std::unique_ptr<WaveOut> createSdlWaveOut();
// The platform's own device: SDL2's on Linux, the multimedia wave-out device
// on Windows (the browser pulls its sound through an AudioStream instead).
std::unique_ptr<WaveOut> createDefaultWaveOut();

} // namespace platform
