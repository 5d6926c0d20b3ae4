#include "tools/record/recording.h"

#include "driver/console_screen.h"
#include "driver/show_music.h"
#include "imageops/routines.h"
#include "music/marker_seek.h"

#include <chrono>
#include <ctime>

namespace record {

namespace {

// A timer service that asks for nothing: the recording keeps no real time.
class NoTimerResolution final : public platform::TimerResolutionService {
public:
    bool query(std::uint32_t&, std::uint32_t&) override { return false; }
    bool begin(std::uint32_t) override { return false; }
    void end(std::uint32_t) override {}
};

NoTimerResolution noTimerResolution;

std::uint32_t wholeMs(std::uint64_t frames, std::int32_t rate)
{
    return static_cast<std::uint32_t>(frames * 1000 / static_cast<std::uint64_t>(rate));
}

} // namespace

std::uint64_t audioFramesBefore(std::uint64_t k, std::int32_t rate, int fps)
{
    return k * static_cast<std::uint64_t>(rate) / static_cast<std::uint64_t>(fps);
}

Recording::Recording(const RecordingSettings& settings) : settings_(settings)
{
    driver::DemoServices services{
        clock_,
        escape_,
        noTimerResolution,
        [] {},
        [] { return imageops::_detectmmx(); },
        [this](const driver::ShowContext& context) -> std::unique_ptr<driver::Show> {
            auto show = std::make_unique<driver::DemoShow>(
                context,
                [this]() -> std::unique_ptr<driver::MarkerSource> {
                    // The music is built where the demo builds it, last.
                    music_ = std::make_unique<music::OfflineMusic>(driver::musicPath, settings_.rate, clock_);
                    driver::seekToScene(music_->song(), settings_.firstScene);
                    return std::make_unique<driver::OfflineMarkers>(*music_);
                },
                settings_.firstScene);
            show_ = show.get();
            return show;
        },
        [this](const char* title, int width, int height, const display::Format& format) -> std::unique_ptr<driver::Screen> {
            auto service = std::make_unique<platform::MemoryDisplay>();
            display_ = service.get();
            return std::make_unique<driver::ConsoleScreen>(title, width, height, format,
                                                           std::make_unique<display::Console>(std::move(service)));
        },
    };
    loop_ = std::make_unique<driver::FrameLoop>(services);
}

// The loop goes first: the show (and with it its hold on the music) before
// the music itself.
Recording::~Recording()
{
    loop_.reset();
}

bool Recording::next(RecordedFrame& out)
{
    const std::uint64_t k = frame_;
    const std::int32_t rate = settings_.rate;
    const std::uint64_t from = audioFramesBefore(k, rate, settings_.fps);
    const std::uint64_t to = audioFramesBefore(k + 1, rate, settings_.fps);

    // The music's clock reads the audio position while it renders: a tick
    // at frame F is stamped floor(F x 1000 / rate) and, with the offline
    // latency, falls due at that moment.
    out.audio.resize(static_cast<std::size_t>((to - from) * 4));
    clock_.set(wholeMs(music_->song().renderedFrames(), rate));
    music_->render(out.audio.data(), static_cast<std::uint32_t>(to - from));

    // The picture's clock: whole ms of t, so a marker due at a whole ms
    // is taken on the first frame whose t is at or past it.
    const double t = static_cast<double>(k) * 1000.0 / settings_.fps;
    clock_.set(static_cast<std::uint32_t>(k * 1000 / static_cast<std::uint64_t>(settings_.fps)));
    out.scene = show_->timeline().sceneIndex();
    const auto started = std::chrono::steady_clock::now();
    const std::clock_t startedCpu = std::clock();
    if (!loop_->stepAt(t))
        return false;
    out.drawCpuSeconds = static_cast<double>(std::clock() - startedCpu) / CLOCKS_PER_SEC;
    out.drawSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    out.index = k;
    out.t = t;
    out.pixels = display_->shownPage();
    out.pitch = display_->pagePitch();
    ++frame_;
    return true;
}

double markerHeardAt(int scene, std::int32_t rate, double limitSeconds)
{
    platform::ManualClock clock;
    music::OfflineMusic music(driver::musicPath, rate, clock);
    if (!music.loaded())
        return -1.0;
    music.song().setOutputOptions({false, true, false}); // muted: only the player runs
    std::int64_t heardFrame = -1;
    music.song().setSyncListener([&](const music::SyncNotice& n) {
        if (n.value == scene && heardFrame < 0)
            heardFrame = static_cast<std::int64_t>(n.frame);
    });
    std::vector<std::uint8_t> block(static_cast<std::size_t>(rate) * 4 / 10);
    const auto limit = static_cast<std::uint64_t>(limitSeconds * rate);
    while (heardFrame < 0 && music.song().renderedFrames() < limit)
        music.render(block.data(), static_cast<std::uint32_t>(block.size() / 4));
    return heardFrame < 0 ? -1.0 : static_cast<double>(heardFrame) * 1000.0 / rate;
}

} // namespace record
