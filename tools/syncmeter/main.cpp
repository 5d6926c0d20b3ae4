// syncmeter: how far ahead of its sound each marker falls due on the live
// path. Plays the demo's music through the real start-up and wave output
// (SDL; SDL_AUDIODRIVER=dummy without a sound card) and, for every marker,
// measures the time from takeSync answering it to the moment the device takes
// the audio that holds its row. The demo wants 100 ms.
//
//   syncmeter [MODULE] [--seconds S] [--from SCENE]      (from build/)
#include "driver/show_music.h"
#include "music/music_facade.h"
#include "music/song.h"
#include "platform/clock.h"
#include "platform/message_box.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

// The SDL device, counting the bytes written so that the position the
// device has taken is written - queued.
class CountingWaveOut final : public platform::WaveOut {
public:
    explicit CountingWaveOut(std::unique_ptr<platform::WaveOut> device) : device_(std::move(device)) {}
    unsigned deviceCount() override { return device_->deviceCount(); }
    platform::WaveResult open(const platform::WaveFormat& f, platform::AutoResetEvent& e) override { return device_->open(f, e); }
    platform::WaveResult prepare(platform::WaveHeader& h) override { return device_->prepare(h); }
    platform::WaveResult unprepare(platform::WaveHeader& h) override { return device_->unprepare(h); }
    platform::WaveResult write(platform::WaveHeader& h) override
    {
        const std::uint32_t length = h.length;
        const platform::WaveResult result = device_->write(h);
        if (result == platform::waveOk)
            written_.fetch_add(length);
        return result;
    }
    platform::WaveResult reset() override { return device_->reset(); }
    platform::WaveResult close() override { return device_->close(); }
    std::uint32_t queuedBytes() override { return device_->queuedBytes(); }
    std::uint32_t stepLagFrames() override { return device_->stepLagFrames(); }

    // Audio frames the device has taken so far.
    std::uint64_t takenFrames()
    {
        const std::uint64_t written = written_.load();
        const std::uint32_t queued = device_->queuedBytes();
        return written >= queued ? (written - queued) / 4 : 0;
    }

private:
    std::unique_ptr<platform::WaveOut> device_;
    std::atomic<std::uint64_t> written_{0};
};

struct Marker {
    std::uint64_t frame = 0;
    int value = 0;
    std::int64_t answeredMs = -1;
    std::int64_t reachedMs = -1;
    std::uint64_t takenAtAnswer = 0; // audio frames the device had taken when it was answered
};

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    const auto rank = static_cast<std::size_t>(std::ceil(p * static_cast<double>(v.size())));
    return v[std::min(std::max<std::size_t>(rank, 1), v.size()) - 1];
}

} // namespace

int main(int argc, char** argv)
{
    platform::setMessageSink([](const std::string& caption, const std::string& text) {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    });
    std::string path = driver::musicPath;
    double seconds = 30.0;
    int from = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--seconds" && i + 1 < argc)
            seconds = std::strtod(argv[++i], nullptr);
        else if (a == "--from" && i + 1 < argc)
            from = std::atoi(argv[++i]);
        else if (!a.empty() && a[0] != '-')
            path = a;
        else
            return std::fprintf(stderr, "usage: syncmeter [MODULE] [--seconds S] [--from SCENE]\n"), 2;
    }
    if (!(seconds > 0.0 && seconds <= 3600.0) || from < 0 || from > 13)
        return std::fprintf(stderr, "syncmeter: --seconds 0..3600, --from 0..13\n"), 2;

    platform::Clock& clock = platform::systemClock();
    std::mutex mutex;
    std::vector<Marker> markers;
    CountingWaveOut* device = nullptr;

    music::MusicServices services;
    services.openSetupWindow = [](const platform::SetupWindowSpec&) { return nullptr; }; // the defaults: wave output, 44100
    services.makeWaveOut = [&device]() -> std::unique_ptr<platform::WaveOut> {
        auto d = std::make_unique<CountingWaveOut>(platform::createDefaultWaveOut());
        device = d.get();
        return d;
    };
    services.beforeOutput = [&](music::Song& song) {
        driver::seekToScene(song, from);
        song.setSyncListener([&](const music::SyncNotice& n) {
            std::lock_guard<std::mutex> lock(mutex);
            markers.push_back({n.frame, n.value, -1, -1, 0});
        });
    };
    music::MusicFacade music(path, driver::musicFlagWord, std::move(services));
    if (!music.moduleLoaded() || !device)
        return std::fprintf(stderr, "syncmeter: the music did not start\n"), 1;

    const std::uint32_t start = clock.nowMs();
    while (clock.nowMs() - start < seconds * 1000.0) {
        const std::int64_t now = static_cast<std::int64_t>(clock.nowMs() - start);
        const std::uint64_t taken = device->takenFrames();
        std::lock_guard<std::mutex> lock(mutex);
        for (Marker& m : markers)
            if (m.reachedMs < 0 && taken > m.frame)
                m.reachedMs = now;
        // The driver's query, once per pending occurrence; each answer goes
        // to the oldest unanswered marker of that value.
        for (Marker& m : markers)
            if (m.answeredMs < 0 && music.takeSync(m.value) == m.value)
                for (Marker& first : markers)
                    if (first.value == m.value && first.answeredMs < 0) {
                        first.answeredMs = now;
                        first.takenAtAnswer = taken;
                        break;
                    }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    // lead: wall time from the answer to the device taking the row.
    // audio lead: the audio still ahead of the row when it was answered,
    // which does not depend on how evenly the device keeps its pace.
    std::vector<double> leads, audioLeads;
    const double rate = music.options().mixingRate;
    std::printf("# value  heard_at_ms(music)  answered_ms  reached_ms  lead_ms  audio_lead_ms\n");
    for (const Marker& m : markers) {
        if (m.answeredMs < 0 || m.reachedMs < 0)
            continue;
        const double lead = static_cast<double>(m.reachedMs - m.answeredMs);
        const double audioLead = (static_cast<double>(m.frame) - static_cast<double>(m.takenAtAnswer)) * 1000.0 / rate;
        leads.push_back(lead);
        audioLeads.push_back(audioLead);
        std::printf("%5d  %10.1f  %8lld  %8lld  %6.0f  %6.1f\n", m.value, m.frame * 1000.0 / rate,
                    static_cast<long long>(m.answeredMs), static_cast<long long>(m.reachedMs), lead, audioLead);
    }
    if (leads.empty())
        return std::printf("no marker was both answered and reached\n"), 1;
    const auto summary = [](const char* name, const std::vector<double>& v) {
        double sum = 0.0;
        int within = 0;
        for (double l : v) {
            sum += l;
            within += std::abs(l - 100.0) <= 17.0;
        }
        std::printf("%-10s markers %zu: mean %.1f  min %.0f  p5 %.0f  median %.0f  p95 %.0f  max %.0f  "
                    "within 100 +- 17: %d (%.0f%%)\n",
                    name, v.size(), sum / static_cast<double>(v.size()), percentile(v, 0.0), percentile(v, 0.05),
                    percentile(v, 0.5), percentile(v, 0.95), percentile(v, 1.0), within,
                    100.0 * within / static_cast<double>(v.size()));
    };
    summary("lead", leads);
    summary("audio lead", audioLeads);
    return 0;
}
