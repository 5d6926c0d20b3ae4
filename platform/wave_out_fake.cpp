#include "platform/wave_out_fake.h"

namespace platform {

WaveResult FakeWaveOut::note(std::string what, WaveResult result)
{
    if (result != waveOk)
        what += " -> " + std::to_string(static_cast<std::uint32_t>(result));
    log_.push_back(std::move(what));
    return result;
}

unsigned FakeWaveOut::deviceCount()
{
    std::lock_guard<std::mutex> lock(mutex_);
    log_.push_back("count");
    return config_.devices;
}

WaveResult FakeWaveOut::open(const WaveFormat& format, AutoResetEvent& event)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::string what = "open " + std::to_string(format.samplesPerSecond);
        if (open_)
            return note(what, waveAllocated);
        if (config_.openResult != waveOk)
            return note(what, config_.openResult);
        open_ = true;
        format_ = format;
        event_ = &event;
        note(what, waveOk);
    }
    event.signal(); // the device is open
    return waveOk;
}

WaveResult FakeWaveOut::prepare(WaveHeader& header)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (config_.prepareResult != waveOk)
        return note("prepare", config_.prepareResult);
    return note("prepare", markPrepared(header));
}

WaveResult FakeWaveOut::unprepare(WaveHeader& header)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (config_.unprepareResult != waveOk)
        return note("unprepare", config_.unprepareResult);
    return note("unprepare", markUnprepared(header));
}

WaveResult FakeWaveOut::write(WaveHeader& header)
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::string what = "write " + std::to_string(header.length);
    if (config_.writeResult != waveOk)
        return note(what, config_.writeResult);
    if (!open_)
        return note(what, waveInvalidHandle);
    if (WaveResult writable = checkWritable(header); writable != waveOk)
        return note(what, writable);
    markQueued(header);
    queue_.push_back(&header);
    writeOrder_.push_back(header.data);
    ++writes_;
    written_.notify_all();
    return note(what, waveOk);
}

WaveResult FakeWaveOut::reset()
{
    AutoResetEvent* event = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        WaveResult result = resets_ < config_.resetResults.size() ? config_.resetResults[resets_] : waveOk;
        ++resets_;
        if (result != waveOk)
            return note("reset", result);
        if (!open_)
            return note("reset", waveInvalidHandle);
        for (WaveHeader* header : queue_)
            markDone(*header);
        if (!queue_.empty())
            event = event_;
        queue_.clear();
        note("reset", waveOk);
    }
    if (event)
        event->signal();
    return waveOk;
}

WaveResult FakeWaveOut::close()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (config_.closeResult != waveOk)
        return note("close", config_.closeResult);
    if (!open_)
        return note("close", waveInvalidHandle);
    if (!queue_.empty())
        return note("close", waveStillPlaying);
    open_ = false;
    event_ = nullptr;
    return note("close", waveOk);
}

bool FakeWaveOut::finishWhere(const std::uint8_t* data, bool first)
{
    AutoResetEvent* event;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = queue_.begin();
        if (!first) {
            while (it != queue_.end() && (*it)->data != data)
                ++it;
        }
        if (it == queue_.end())
            return false;
        WaveHeader* header = *it;
        queue_.erase(it);
        played_.insert(played_.end(), header->data, header->data + header->length);
        markDone(*header);
        event = event_;
    }
    if (event)
        event->signal();
    return true;
}

bool FakeWaveOut::finishNext()
{
    return finishWhere(nullptr, true);
}

bool FakeWaveOut::finishBlock(const std::uint8_t* data)
{
    return finishWhere(data, false);
}

int FakeWaveOut::finishAll()
{
    int count = 0;
    while (finishNext())
        ++count;
    return count;
}

bool FakeWaveOut::waitForWrites(int count, int ms)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return written_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return writes_ >= count; });
}

std::uint32_t FakeWaveOut::queuedBytes()
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::uint32_t bytes = 0;
    for (const WaveHeader* header : queue_)
        bytes += header->length;
    return bytes;
}

int FakeWaveOut::queued() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(queue_.size());
}

int FakeWaveOut::writes() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return writes_;
}

bool FakeWaveOut::isOpen() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return open_;
}

WaveFormat FakeWaveOut::format() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return format_;
}

std::vector<std::uint8_t> FakeWaveOut::played() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return played_;
}

std::vector<std::string> FakeWaveOut::log() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return log_;
}

} // namespace platform

namespace platform {

std::vector<const std::uint8_t*> FakeWaveOut::writeOrder() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return writeOrder_;
}

} // namespace platform
