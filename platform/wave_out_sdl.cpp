// The wave-output device on SDL2 audio. SDL pulls audio through a callback on
// its own thread; the callback copies from the queued blocks in order, marks
// each finished block done and signals the caller's event.
#include "platform/wave_out.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <deque>

namespace platform {

namespace {

// SDL's callback size: about 20 ms, a power of two as some drivers want.
Uint16 callbackFrames(std::uint32_t rate)
{
    Uint16 frames = 256;
    while (frames < 4096 && frames * 50u < rate)
        frames = static_cast<Uint16>(frames * 2);
    return frames;
}

class SdlWaveOut final : public WaveOut {
public:
    SdlWaveOut() : audioReady_(SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {}

    ~SdlWaveOut() override
    {
        if (device_) {
            reset();
            close();
        }
        if (audioReady_)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    unsigned deviceCount() override
    {
        if (!audioReady_)
            return 0;
        int count = SDL_GetNumAudioDevices(0);
        // -1: the driver cannot list its devices, but has a default one.
        return count < 0 ? 1u : static_cast<unsigned>(count);
    }

    WaveResult open(const WaveFormat& format, AutoResetEvent& event) override
    {
        if (device_)
            return waveAllocated;
        if (!audioReady_)
            return waveNoDriver;
        if (format.formatTag != 1 || format.channels != 2 || format.bitsPerSample != 16 || format.blockAlign != 4 ||
            format.samplesPerSecond == 0)
            return waveBadFormat;

        SDL_AudioSpec want{};
        want.freq = static_cast<int>(format.samplesPerSecond);
        want.format = AUDIO_S16LSB;
        want.channels = 2;
        want.samples = callbackFrames(format.samplesPerSecond);
        want.callback = &SdlWaveOut::callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        // No changes allowed: SDL converts to whatever the hardware plays.
        SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (device == 0)
            return waveBadDevice;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            device_ = device;
            event_ = &event;
            offset_ = 0;
            callbackFrames_ = have.samples;
        }
        SDL_PauseAudioDevice(device_, 0);
        event.signal(); // the device is open
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
        return markUnprepared(header);
    }

    WaveResult write(WaveHeader& header) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!device_)
            return waveInvalidHandle;
        if (WaveResult writable = checkWritable(header); writable != waveOk)
            return writable;
        markQueued(header);
        queue_.push_back(&header);
        return waveOk;
    }

    WaveResult reset() override
    {
        AutoResetEvent* event = nullptr;
        {
            // The callback holds the same lock while it copies, so no block
            // is read after this returns.
            std::lock_guard<std::mutex> lock(mutex_);
            if (!device_)
                return waveInvalidHandle;
            for (WaveHeader* header : queue_)
                markDone(*header);
            if (!queue_.empty())
                event = event_;
            queue_.clear();
            offset_ = 0;
        }
        if (event)
            event->signal();
        return waveOk;
    }

    WaveResult close() override
    {
        SDL_AudioDeviceID device;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!device_)
                return waveInvalidHandle;
            if (!queue_.empty())
                return waveStillPlaying;
            device = device_;
        }
        SDL_CloseAudioDevice(device); // waits for a running callback
        std::lock_guard<std::mutex> lock(mutex_);
        device_ = 0;
        event_ = nullptr;
        return waveOk;
    }

    std::uint32_t queuedBytes() override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::uint32_t bytes = 0;
        for (const WaveHeader* header : queue_)
            bytes += header->length;
        return bytes - std::min(bytes, offset_);
    }

    std::uint32_t stepLagFrames() override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return callbackFrames_ / 2;
    }

private:
    static void callback(void* user, Uint8* stream, int length)
    {
        static_cast<SdlWaveOut*>(user)->fill(stream, static_cast<std::uint32_t>(length));
    }

    void fill(Uint8* stream, std::uint32_t length)
    {
        bool finished = false;
        AutoResetEvent* event;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            event = event_;
            while (length > 0 && !queue_.empty()) {
                WaveHeader& header = *queue_.front();
                std::uint32_t take = std::min(length, header.length - offset_);
                std::memcpy(stream, header.data + offset_, take);
                stream += take;
                length -= take;
                offset_ += take;
                if (offset_ >= header.length) {
                    markDone(header);
                    queue_.pop_front();
                    offset_ = 0;
                    finished = true;
                }
            }
        }
        if (length > 0)
            std::memset(stream, 0, length); // the queue ran dry: silence
        if (finished && event)
            event->signal();
    }

    const bool audioReady_;
    std::mutex mutex_;
    SDL_AudioDeviceID device_ = 0;
    AutoResetEvent* event_ = nullptr;
    std::deque<WaveHeader*> queue_;
    std::uint32_t offset_ = 0; // bytes of the front block already played
    std::uint32_t callbackFrames_ = 0; // frames the device takes per callback
};

} // namespace

std::unique_ptr<WaveOut> createSdlWaveOut()
{
    return std::make_unique<SdlWaveOut>();
}

std::unique_ptr<WaveOut> createDefaultWaveOut() { return createSdlWaveOut(); }

} // namespace platform
