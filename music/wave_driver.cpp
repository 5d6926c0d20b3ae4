#include "music/wave_driver.h"

#include "music/song.h"
#include "platform/message_box.h"
#include "platform/thread_priority.h"

#include <new>
#include <string>
#include <system_error>

namespace music {

namespace {

// A failed reset shows its number as both text and caption.
void numberBox(platform::WaveResult result)
{
    const std::string number = std::to_string(static_cast<std::uint32_t>(result));
    platform::messageBox(number, number);
}

} // namespace

WaveDriver::WaveDriver(Song& song, std::int32_t mixingRate, std::unique_ptr<platform::WaveOut> device)
    : song_(song), bytes_(waveBufferBytes(mixingRate)), rate_(mixingRate), device_(std::move(device))
{
}

WaveDriver::~WaveDriver()
{
    stop();
    device_.reset(); // before the blocks and the event it may still hold
}

int WaveDriver::start()
{
    if (started_)
        return 0;
    stop_.store(false);
    finished_.store(false);

    try {
        event_ = std::make_unique<platform::AutoResetEvent>();
    } catch (const std::bad_alloc&) {
        return 1;
    }
    event_->reset();

    for (Buffer& b : buffers_) {
        b.data = std::make_unique<std::uint8_t[]>(bytes_ + 256);
        b.header.data = b.data.get();
        b.header.length = bytes_;
        b.header.flags.store(platform::waveHeaderDone);
        b.header.loops = 0;
        // Counted as prepared so that the first service unprepares first,
        // which is harmless for a header the device never saw.
        b.prepared = true;
    }

    if (!device_ || device_->deviceCount() == 0)
        soundFatal("Inge output ledig!");

    platform::WaveResult result = device_->open(platform::WaveFormat::stereo16(static_cast<std::uint32_t>(rate_)), *event_);
    if (result != platform::waveOk) {
        platform::messageBox(std::to_string(static_cast<std::uint32_t>(result)), "errro");
        soundFatal("Setup handle failed / Threader");
    }
    result = device_->reset();
    if (result != platform::waveOk) {
        numberBox(result);
        soundFatal("restest");
    }
    result = device_->reset();
    if (result != platform::waveOk) {
        numberBox(result);
        soundFatal("Reset2 failed");
    }

    song_.syncReset(kWaveLatencyMs);
    started_ = true;

    try {
        thread_ = std::thread(&WaveDriver::mixingThread, this);
    } catch (const std::system_error&) {
        platform::messageBox("tråderna blev skit", "Ingen ny tråd");
    }
    return 0;
}

void WaveDriver::mixingThread()
{
    platform::raiseThreadPriorityToHighest();
    // The device signals once when it opens, so the first pass finds all
    // eight blocks done and queues them all.
    do {
        event_->wait();
        for (Buffer& b : buffers_)
            service(b);
    } while (!stop_.load(std::memory_order_acquire));

    platform::WaveResult result = device_->reset();
    if (result != platform::waveOk)
        numberBox(result);
    deviceClosed_ = device_->close() == platform::waveOk;
    finished_.store(true, std::memory_order_release);
}

void WaveDriver::service(Buffer& b)
{
    if (!b.header.done())
        return; // still queued: served on a later pass
    if (b.prepared && device_->unprepare(b.header) != platform::waveOk)
        soundFatal("waveoutUnprepare");
    b.prepared = false;
    // The block plays after the audio still queued ahead of it (and the
    // device's own step): that is the latency of its markers (each tick adds
    // its own place in the block).
    const std::uint64_t aheadFrames = device_->queuedBytes() / 4 + device_->stepLagFrames();
    if (rate_ > 0)
        song_.syncLatency = static_cast<std::int32_t>(aheadFrames * 1000 / static_cast<std::uint64_t>(rate_));
    song_.fillBuffer(b.data.get(), bytes_);
    b.header.flags.store(0, std::memory_order_release);
    b.header.data = b.data.get();
    b.header.length = bytes_;
    b.header.loops = 0;
    if (device_->prepare(b.header) != platform::waveOk)
        soundFatal("waveOutPrepareHeader");
    b.prepared = true;
    if (device_->write(b.header) != platform::waveOk)
        soundFatal("waveOutWrite");
}

void WaveDriver::stop()
{
    if (!started_)
        return;
    stop_.store(true, std::memory_order_release);
    event_->signal();
    if (thread_.joinable()) {
        thread_.join(); // its last fill finishes before the table goes
    } else {
        // No mixing thread was ever made: the device is still open.
        device_->reset();
        deviceClosed_ = device_->close() == platform::waveOk;
        finished_.store(true, std::memory_order_release);
    }
    song_.syncRelease();
    if (deviceClosed_) {
        releaseBuffers();
        event_.reset();
    }
    started_ = false;
}

void WaveDriver::releaseBuffers()
{
    // The device is closed by now: the blocks are only memory.
    for (Buffer& b : buffers_) {
        b.prepared = false;
        b.header.data = nullptr;
        b.header.length = 0;
        b.data.reset();
    }
}

} // namespace music
