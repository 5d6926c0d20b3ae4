// The wave-output device on the multimedia wave-out service. Each of our
// block headers has a system block header of its own, prepared with the
// device when the block is first written; the device's callback marks our
// header done and signals the caller's event, block by block in order.
#include "platform/wave_out.h"

#include <windows.h>

#include <mmsystem.h>

#include <algorithm>
#include <deque>
#include <map>

namespace platform {

namespace {

class MultimediaWaveOut final : public WaveOut {
public:
    ~MultimediaWaveOut() override
    {
        if (device_) {
            reset();
            close();
        }
    }

    unsigned deviceCount() override { return waveOutGetNumDevs(); }

    WaveResult open(const WaveFormat& format, AutoResetEvent& event) override
    {
        if (device_)
            return waveAllocated;
        if (format.formatTag != 1 || format.channels != 2 || format.bitsPerSample != 16 || format.blockAlign != 4 ||
            format.samplesPerSecond == 0)
            return waveBadFormat;
        WAVEFORMATEX wanted{};
        wanted.wFormatTag = WAVE_FORMAT_PCM;
        wanted.nChannels = 2;
        wanted.nSamplesPerSec = format.samplesPerSecond;
        wanted.nAvgBytesPerSec = format.samplesPerSecond * 4;
        wanted.nBlockAlign = 4;
        wanted.wBitsPerSample = 16;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            event_ = &event;
            finishedBytes_ = 0;
        }
        HWAVEOUT device = nullptr;
        // The open message signals the event from the callback.
        const MMRESULT result = waveOutOpen(&device, WAVE_MAPPER, &wanted, reinterpret_cast<DWORD_PTR>(&callback),
                                            reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION);
        if (result != MMSYSERR_NOERROR) {
            std::lock_guard<std::mutex> lock(mutex_);
            event_ = nullptr;
            return static_cast<WaveResult>(result);
        }
        std::lock_guard<std::mutex> lock(mutex_);
        device_ = device;
        return waveOk;
    }

    WaveResult prepare(WaveHeader& header) override
    {
        if (!header.data && header.length)
            return waveInvalidParam;
        return markPrepared(header);
    }

    WaveResult unprepare(WaveHeader& header) override
    {
        if (header.flags.load(std::memory_order_acquire) & waveHeaderInQueue)
            return waveStillPlaying;
        std::lock_guard<std::mutex> lock(mutex_);
        releaseSystemHeader(&header);
        return markUnprepared(header);
    }

    WaveResult write(WaveHeader& header) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!device_)
            return waveInvalidHandle;
        if (WaveResult writable = checkWritable(header); writable != waveOk)
            return writable;
        WAVEHDR& system = systemHeaders_[&header];
        if (system.lpData != reinterpret_cast<LPSTR>(header.data) || system.dwBufferLength != header.length) {
            releaseSystemHeader(&header);
            WAVEHDR& fresh = systemHeaders_[&header];
            fresh.lpData = reinterpret_cast<LPSTR>(header.data);
            fresh.dwBufferLength = header.length;
            fresh.dwUser = reinterpret_cast<DWORD_PTR>(&header);
            const MMRESULT prepared = waveOutPrepareHeader(device_, &fresh, sizeof fresh);
            if (prepared != MMSYSERR_NOERROR) {
                systemHeaders_.erase(&header);
                return static_cast<WaveResult>(prepared);
            }
        }
        const std::uint32_t flags = header.flags.load(std::memory_order_acquire);
        markQueued(header);
        queue_.push_back(&header);
        const MMRESULT written = waveOutWrite(device_, &systemHeaders_[&header], sizeof(WAVEHDR));
        if (written != MMSYSERR_NOERROR) {
            queue_.pop_back();
            header.flags.store(flags, std::memory_order_release);
            return static_cast<WaveResult>(written);
        }
        return waveOk;
    }

    WaveResult reset() override
    {
        HWAVEOUT device;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!device_)
                return waveInvalidHandle;
            device = device_;
        }
        // The device returns every queued block through the callback, which
        // takes the lock: it must not be held here.
        const MMRESULT result = waveOutReset(device);
        AutoResetEvent* event = nullptr;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (result == MMSYSERR_NOERROR) {
                // Blocks whose done messages are still on their way are done now.
                for (WaveHeader* header : queue_)
                    markDone(*header);
                if (!queue_.empty())
                    event = event_;
                queue_.clear();
                finishedBytes_ = 0;
            }
        }
        if (event)
            event->signal();
        return static_cast<WaveResult>(result);
    }

    WaveResult close() override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!device_)
            return waveInvalidHandle;
        if (!queue_.empty())
            return waveStillPlaying;
        while (!systemHeaders_.empty())
            releaseSystemHeader(systemHeaders_.begin()->first);
        const MMRESULT result = waveOutClose(device_);
        if (result != MMSYSERR_NOERROR)
            return static_cast<WaveResult>(result);
        device_ = nullptr;
        event_ = nullptr;
        return waveOk;
    }

    std::uint32_t queuedBytes() override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!device_ || queue_.empty())
            return 0;
        std::uint32_t bytes = 0;
        for (const WaveHeader* header : queue_)
            bytes += header->length;
        // What the device has played of the front block: its position past
        // the blocks already finished.
        MMTIME position{};
        position.wType = TIME_BYTES;
        std::uint32_t played = 0;
        if (waveOutGetPosition(device_, &position, sizeof position) == MMSYSERR_NOERROR && position.wType == TIME_BYTES &&
            position.u.cb > finishedBytes_)
            played = std::min<std::uint32_t>(position.u.cb - finishedBytes_, queue_.front()->length);
        return bytes - played;
    }

private:
    // Called with the lock held and the block not queued.
    void releaseSystemHeader(WaveHeader* header)
    {
        auto it = systemHeaders_.find(header);
        if (it == systemHeaders_.end())
            return;
        if (device_ && (it->second.dwFlags & WHDR_PREPARED))
            waveOutUnprepareHeader(device_, &it->second, sizeof(WAVEHDR));
        systemHeaders_.erase(it);
    }

    static void CALLBACK callback(HWAVEOUT, UINT message, DWORD_PTR self, DWORD_PTR parameter, DWORD_PTR)
    {
        auto* me = reinterpret_cast<MultimediaWaveOut*>(self);
        if (message == WOM_OPEN) {
            std::lock_guard<std::mutex> lock(me->mutex_);
            if (me->event_)
                me->event_->signal();
        } else if (message == WOM_DONE) {
            me->done(reinterpret_cast<WAVEHDR*>(parameter));
        }
    }

    void done(WAVEHDR* system)
    {
        AutoResetEvent* event = nullptr;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            auto* header = reinterpret_cast<WaveHeader*>(system->dwUser);
            auto it = std::find(queue_.begin(), queue_.end(), header);
            if (it == queue_.end())
                return; // finished already by a reset
            // Blocks finish in the order they were written.
            for (auto k = queue_.begin(); k != it + 1; ++k) {
                finishedBytes_ += (*k)->length;
                markDone(**k);
            }
            queue_.erase(queue_.begin(), it + 1);
            event = event_;
        }
        if (event)
            event->signal();
    }

    std::mutex mutex_;
    HWAVEOUT device_ = nullptr;
    AutoResetEvent* event_ = nullptr;
    std::deque<WaveHeader*> queue_;
    std::map<WaveHeader*, WAVEHDR> systemHeaders_;
    std::uint32_t finishedBytes_ = 0; // bytes of the blocks finished since the open or the last reset
};

} // namespace

std::unique_ptr<WaveOut> createDefaultWaveOut() { return std::make_unique<MultimediaWaveOut>(); }

} // namespace platform
