// record: the whole show rendered offline, frame-exact, with its sound.
//
//   record OUT [--fps 60] [--rate 44100] [--scale N] [--from SCENE] [--seconds S]
//   record --bench [--fps 60] [--rate 44100] [--from SCENE] [--seconds S]
//   record --checksums MS,MS,...
//
// OUT ending in .mp4 or .mkv becomes one video with sound (through ffmpeg),
// scaled by N (default 3) with nearest-neighbour sampling; any other OUT is
// a folder of numbered PNG frames and one WAV. --bench writes nothing and
// prints the frame on which each scene starts and the frame times of each
// scene. --checksums prints, for each demo time (ascending), the frame shown
// then and the checksum of its pixels as a browser canvas holds them (RGBA);
// the browser build's test compares its own against these. Run from build/,
// where data/ is.
#include "platform/keyboard.h"
#include "platform/message_box.h"
#include "platform/rgba_pixels.h"
#include "tools/record/outputs.h"
#include "tools/record/recording.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Options {
    std::string out;
    bool bench = false;
    record::RecordingSettings settings;
    int scale = 3;
    double seconds = 0.0; // 0: to the end of the show
    std::vector<double> checksumTimes;
};

int usage()
{
    std::fprintf(stderr, "usage: record OUT [--fps 60] [--rate 44100] [--scale N] [--from SCENE] [--seconds S]\n"
                         "       record --bench [--fps 60] [--rate 44100] [--from SCENE] [--seconds S]\n"
                         "       record --checksums MS,MS,...\n");
    return 2;
}

// A whole number from lo to hi, or false.
bool wholeNumber(const char* text, long lo, long hi, long& value)
{
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && value >= lo && value <= hi;
}

bool parse(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        long n = 0;
        if (a == "--bench") {
            o.bench = true;
        } else if (a == "--checksums" && hasValue) {
            const char* text = argv[++i];
            for (;;) {
                char* end = nullptr;
                const double ms = std::strtod(text, &end);
                if (end == text || !(ms >= 0.0) || ms > 3600e3 || (!o.checksumTimes.empty() && ms < o.checksumTimes.back()))
                    return std::fprintf(stderr, "record: --checksums takes ascending times in ms, e.g. 1000,5000\n"), false;
                o.checksumTimes.push_back(ms);
                if (*end == '\0')
                    break;
                if (*end != ',')
                    return std::fprintf(stderr, "record: --checksums takes ascending times in ms, e.g. 1000,5000\n"), false;
                text = end + 1;
            }
        } else if (a == "--fps" && hasValue) {
            if (!wholeNumber(argv[++i], 1, 1000, n))
                return std::fprintf(stderr, "record: --fps takes a whole number from 1 to 1000\n"), false;
            o.settings.fps = static_cast<int>(n);
        } else if (a == "--rate" && hasValue) {
            if (!wholeNumber(argv[++i], 11000, 44100, n) || (n != 11000 && n != 22050 && n != 44100))
                return std::fprintf(stderr, "record: the rate is 11000, 22050 or 44100\n"), false;
            o.settings.rate = static_cast<std::int32_t>(n);
        } else if (a == "--scale" && hasValue) {
            if (!wholeNumber(argv[++i], 1, 16, n))
                return std::fprintf(stderr, "record: --scale takes a whole number from 1 to 16\n"), false;
            o.scale = static_cast<int>(n);
        } else if (a == "--from" && hasValue) {
            if (!wholeNumber(argv[++i], 0, 13, n))
                return std::fprintf(stderr, "record: --from takes a scene from 0 to 13\n"), false;
            o.settings.firstScene = static_cast<int>(n);
        } else if (a == "--seconds" && hasValue) {
            char* end = nullptr;
            o.seconds = std::strtod(argv[++i], &end);
            if (*end != '\0' || !(o.seconds > 0.0) || o.seconds > 3600.0)
                return std::fprintf(stderr, "record: --seconds takes a positive number (at most an hour)\n"), false;
        } else if (!a.empty() && a[0] != '-' && o.out.empty()) {
            o.out = a;
        } else {
            return usage(), false;
        }
    }
    if (!o.checksumTimes.empty())
        return o.out.empty() && !o.bench ? true : (usage(), false);
    if (o.bench == !o.out.empty())
        return usage(), false;
    return true;
}

std::string clockText(double ms)
{
    const long total = static_cast<long>(std::max(0.0, ms) / 10.0); // hundredths
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld.%02ld", total / 6000, total / 100 % 60, total % 100);
    return text;
}

// The bar on standard error: scene, music time, frames per second, time left.
class Progress {
public:
    // totalMs: the length to record; musicStartMs: where in the music it starts.
    Progress(double totalMs, double musicStartMs)
        : totalMs_(totalMs), musicStartMs_(musicStartMs), started_(std::chrono::steady_clock::now())
    {
    }

    void show(const record::RecordedFrame& frame, bool last = false)
    {
        ++frames_;
        const auto now = std::chrono::steady_clock::now();
        if (!last && now - shown_ < std::chrono::milliseconds(200))
            return;
        shown_ = now;
        const double wall = std::chrono::duration<double>(now - started_).count();
        const double fraction = totalMs_ > 0.0 ? std::min(1.0, frame.t / totalMs_) : 0.0;
        const double fps = wall > 0.0 ? frames_ / wall : 0.0;
        const double left = fraction > 0.0 ? wall / fraction - wall : 0.0;
        char bar[31];
        const int filled = static_cast<int>(fraction * 30.0);
        for (int i = 0; i < 30; ++i)
            bar[i] = i < filled ? '#' : '.';
        bar[30] = '\0';
        std::fprintf(stderr, "\r[%s] scene %2d  %s  %5.0f fps  %s left ", bar, frame.scene, clockText(musicStartMs_ + frame.t).c_str(),
                     fps, clockText(left * 1000.0).c_str());
        if (last)
            std::fputc('\n', stderr);
    }

private:
    double totalMs_;
    double musicStartMs_;
    std::chrono::steady_clock::time_point started_, shown_{};
    long frames_ = 0;
};

struct SceneTimes {
    std::vector<double> ms;    // wall time
    std::vector<double> cpuMs; // processor time
};

double percentile99(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(std::ceil(0.99 * static_cast<double>(values.size()))) - 1;
    return values[std::min(index, values.size() - 1)];
}

double mean(const std::vector<double>& values)
{
    double sum = 0.0;
    for (double v : values)
        sum += v;
    return values.empty() ? 0.0 : sum / static_cast<double>(values.size());
}

void printBench(const std::vector<SceneTimes>& scenes, double audioSeconds, std::uint64_t frames, int fps)
{
    // Wall time includes whatever else the machine ran meanwhile; processor
    // time counts this program's own work.
    std::printf("scene  frames   mean ms    p99 ms    max ms   cpu mean   cpu p99\n");
    SceneTimes all;
    const auto line = [](const char* label, const SceneTimes& t) {
        std::printf("%5s  %6zu  %8.3f  %8.3f  %8.3f  %9.3f  %8.3f\n", label, t.ms.size(), mean(t.ms), percentile99(t.ms),
                    *std::max_element(t.ms.begin(), t.ms.end()), mean(t.cpuMs), percentile99(t.cpuMs));
    };
    for (std::size_t s = 0; s < scenes.size(); ++s) {
        if (scenes[s].ms.empty())
            continue;
        all.ms.insert(all.ms.end(), scenes[s].ms.begin(), scenes[s].ms.end());
        all.cpuMs.insert(all.cpuMs.end(), scenes[s].cpuMs.begin(), scenes[s].cpuMs.end());
        line(std::to_string(s).c_str(), scenes[s]);
    }
    if (all.ms.empty())
        return;
    line("total", all);
    std::printf("drawing: %.2f s for %.2f s of show\n", mean(all.ms) * static_cast<double>(all.ms.size()) / 1000.0,
                static_cast<double>(frames) / fps);
    std::printf("music rendered alongside: %.3f s for %llu frames (%.3f ms a frame)\n", audioSeconds,
                static_cast<unsigned long long>(frames), frames ? audioSeconds * 1000.0 / frames : 0.0);
}

} // namespace

// The frames at the given times (the first frame at or after each), each
// with the checksum of its RGBA pixels.
int printChecksums(const Options& o)
{
    record::Recording recording(o.settings);
    if (!recording.musicLoaded()) {
        std::fprintf(stderr, "record: the music could not be loaded (run from build/, where data/ is)\n");
        return 1;
    }
    record::RecordedFrame frame;
    std::vector<std::uint8_t> rgba(320 * 200 * 4);
    for (double ms : o.checksumTimes) {
        do {
            if (!recording.next(frame)) {
                std::fprintf(stderr, "record: the show ends before %.0f ms\n", ms);
                return 1;
            }
        } while (frame.t < ms);
        platform::pageToRgba(frame.pixels, frame.pitch, 320, 200, rgba.data());
        std::printf("%g %08x frame %llu scene %d\n", ms, platform::rgbaChecksum(rgba.data(), static_cast<std::uint32_t>(rgba.size())),
                    static_cast<unsigned long long>(frame.index), frame.scene);
    }
    return 0;
}

int main(int argc, char** argv)
{
    // Loader messages and errors go to standard error: no window ever opens.
    platform::setMessageSink([](const std::string& caption, const std::string& text) {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    });
    Options o;
    if (!parse(argc, argv, o))
        return 2;
    if (!o.checksumTimes.empty())
        return printChecksums(o);

    std::string error;
    std::unique_ptr<record::Output> output;
    if (!o.bench) {
        if (record::isVideoName(o.out)) {
            if (!record::ffmpegAvailable()) {
                std::fprintf(stderr, "record: ffmpeg is missing (Debian package \"ffmpeg\"); it makes %s.\n"
                                     "        Give a folder name instead to get PNG frames and a WAV.\n",
                             o.out.c_str());
                return 1;
            }
            output = record::openVideo(o.out, o.settings.fps, o.settings.rate, o.scale, error);
        } else {
            output = record::openFolder(o.out, o.settings.rate, error);
        }
        if (!output) {
            std::fprintf(stderr, "record: %s\n", error.c_str());
            return 1;
        }
    }

    // The length of the show, for the progress bar: until the last scene's
    // marker is heard, from the first scene's.
    const double startMs = o.settings.firstScene > 0 ? record::markerHeardAt(o.settings.firstScene, o.settings.rate, 3600.0) : 0.0;
    double totalMs = record::markerHeardAt(13, o.settings.rate, 3600.0) - std::max(0.0, startMs);
    const double limitMs = o.seconds > 0.0 ? o.seconds * 1000.0 : -1.0;
    if (limitMs > 0.0 && (totalMs <= 0.0 || limitMs < totalMs))
        totalMs = limitMs;

    record::Recording recording(o.settings);
    if (!recording.musicLoaded()) {
        std::fprintf(stderr, "record: the music could not be loaded (run from build/, where data/ is)\n");
        return 1;
    }
    platform::installInterruptHandlers();
    Progress progress(totalMs, std::max(0.0, startMs));
    std::vector<SceneTimes> scenes(14);
    record::RecordedFrame frame;
    std::uint64_t frames = 0;
    double audioSeconds = 0.0;
    bool interrupted = false;
    int lastScene = -1;
    for (;;) {
        if (limitMs > 0.0 && static_cast<double>(frames) * 1000.0 / o.settings.fps >= limitMs)
            break;
        if (platform::interruptRequested()) {
            interrupted = true;
            break;
        }
        const auto before = std::chrono::steady_clock::now();
        if (!recording.next(frame))
            break;
        const double stepSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count();
        audioSeconds += stepSeconds - frame.drawSeconds;
        ++frames;
        if (o.bench) {
            if (frame.index == 0 || frame.scene != lastScene)
                std::printf("scene %d from frame %llu (t = %.3f ms)\n", frame.scene,
                            static_cast<unsigned long long>(frame.index), frame.t);
            lastScene = frame.scene;
            scenes[static_cast<std::size_t>(frame.scene)].ms.push_back(frame.drawSeconds * 1000.0);
            scenes[static_cast<std::size_t>(frame.scene)].cpuMs.push_back(frame.drawCpuSeconds * 1000.0);
        } else if (!output->write(frame)) {
            std::fprintf(stderr, "\nrecord: %s\n", output->error().c_str());
            return 1;
        }
        progress.show(frame);
    }
    progress.show(frame, true);
    if (o.bench) {
        printBench(scenes, audioSeconds, frames, o.settings.fps);
    } else if (!output->finish()) {
        std::fprintf(stderr, "record: %s\n", output->error().c_str());
        return 1;
    } else {
        std::fprintf(stderr, "record: %llu frames at %d fps written to %s\n", static_cast<unsigned long long>(frames),
                     o.settings.fps, o.out.c_str());
    }
    if (interrupted) {
        std::fprintf(stderr, "record: interrupted; what was recorded is complete\n");
        return 1;
    }
    return 0;
}
