// The Web Audio stream: an AudioContext at the stream's rate and a
// ScriptProcessorNode whose callback (on the page's only thread, between
// frames) calls demo_audio_fill for every block. The block's samples are
// 16-bit here and become the node's two float channels in JavaScript.
#include "platform/wave_out.h"
#include "platform/web/page.h"

#include <emscripten.h>

#include <vector>

EM_JS(int, demo_audio_open, (int rate, int frames, std::int16_t* samples),
      { return Module.page.openAudio(rate, frames, samples) ? 1 : 0; });
EM_JS(void, demo_audio_close, (), { Module.page.closeAudio(); });
EM_JS(double, demo_audio_time, (), { return Module.page.audioTime(); });

namespace platform {

namespace {

// Frames per callback: 4096 at 44100 Hz is 93 ms, enough to ride out a slow
// frame on the shared thread without an underrun.
constexpr std::uint32_t kBlockFrames = 4096;

class WebAudioStream;
WebAudioStream* openStream = nullptr; // the stream the callback feeds

class WebAudioStream final : public AudioStream {
public:
    ~WebAudioStream() override { close(); }

    bool open(std::uint32_t rate, AudioFill fill) override
    {
        if (openStream)
            return false;
        rate_ = rate;
        fill_ = std::move(fill);
        samples_.assign(kBlockFrames * 2, 0);
        webAudioClock().reset(rate);
        openStream = this;
        if (!demo_audio_open(static_cast<int>(rate), static_cast<int>(kBlockFrames), samples_.data())) {
            openStream = nullptr;
            return false;
        }
        return true;
    }

    void close() override
    {
        if (openStream != this)
            return;
        demo_audio_close();
        openStream = nullptr;
    }

    void fill(std::uint32_t frames, double playSeconds)
    {
        if (frames > kBlockFrames)
            frames = kBlockFrames;
        AudioPositionClock& clock = webAudioClock();
        const std::uint64_t ahead = clock.aheadFrames(demo_audio_time());
        fill_(samples_.data(), frames, static_cast<std::uint32_t>(ahead * 1000 / rate_));
        clock.delivered(frames, playSeconds);
    }

private:
    std::uint32_t rate_ = 44100;
    AudioFill fill_;
    std::vector<std::int16_t> samples_;
};

} // namespace

std::unique_ptr<AudioStream> createWebAudioStream() { return std::make_unique<WebAudioStream>(); }

AudioPositionClock& webAudioClock()
{
    static AudioPositionClock clock([] { return demo_audio_time(); });
    return clock;
}

// There is no queued-block device in a browser: the stream plays instead.
std::unique_ptr<WaveOut> createDefaultWaveOut() { return nullptr; }

} // namespace platform

// Called by the node's callback: fills the block the stream handed over
// when it opened, to be played from `playSeconds` on the context's clock.
// Silence when the stream has been closed in between.
extern "C" EMSCRIPTEN_KEEPALIVE int demo_audio_fill(int frames, double playSeconds)
{
    if (!platform::openStream || frames <= 0)
        return 0;
    platform::openStream->fill(static_cast<std::uint32_t>(frames), playSeconds);
    return 1;
}
