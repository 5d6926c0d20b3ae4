#pragma once
// The wave-output driver: eight blocks queued on the wave-out device, and a
// mixing thread of its own that wakes on the device's event and refills every
// finished block by running the player and the mixer.
#include "music/output_driver.h"
#include "platform/wave_out.h"

#include <array>
#include <atomic>
#include <memory>
#include <thread>

namespace music {

class WaveDriver final : public SoundOutput {
public:
    // `device` may be null: start then finds no output device.
    WaveDriver(Song& song, std::int32_t mixingRate, std::unique_ptr<platform::WaveOut> device);
    ~WaveDriver() override;

    // Blocks, device, sync reset with latency 600, mixing thread. Before
    // each block is filled the latency becomes the audio the device still
    // has queued ahead of it, so markers fall due 100 ms before their rows
    // reach the device, on the first pass as in the steady state. The fatal
    // device errors end the process; a thread that cannot be created is
    // reported and start goes on (the music then does not play).
    int start() override;
    // Sets the stop flag, wakes the thread and waits until it has finished
    // (its last fill included), then releases the marker table. The blocks
    // and the event go too, unless the device could not be closed: then it
    // may still read the blocks and signal the event, and both live on until
    // the driver (and with it the device) is destroyed.
    void stop() override;

    std::uint32_t bufferBytes() const { return bytes_; }
    const std::uint8_t* bufferData(int i) const { return buffers_[static_cast<std::size_t>(i)].data.get(); }
    bool threadFinished() const { return finished_.load(std::memory_order_acquire); }

private:
    struct Buffer {
        platform::WaveHeader header;
        std::unique_ptr<std::uint8_t[]> data; // bytes + 256
        bool prepared = false;
    };

    void mixingThread();
    void service(Buffer& buffer);
    void releaseBuffers();

    Song& song_;
    std::uint32_t bytes_;
    std::int32_t rate_;
    std::unique_ptr<platform::WaveOut> device_;
    std::array<Buffer, kWaveBufferCount> buffers_;
    std::unique_ptr<platform::AutoResetEvent> event_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::thread thread_;
    bool started_ = false;  // the device was opened and the table created
    bool deviceClosed_ = true; // false while a close has failed
};

} // namespace music
