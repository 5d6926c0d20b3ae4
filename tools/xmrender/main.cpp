// xmrender: renders a module offline through the player's own fillBuffer,
// in the blocks the wave output uses, into a 16-bit stereo WAV file.
//
//   xmrender MODULE OUT.wav [--rate 11000|22050|44100] [--seconds N] [--markers]
//   xmrender MODULE --info
#include "music/module_reader.h"
#include "music/output_driver.h"
#include "music/song.h"
#include "platform/message_box.h"
#include "tools/common/command_line.h"
#include "tools/common/module_problem.h"
#include "tools/xmrender/wav_file.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: xmrender MODULE OUT.wav [--rate 11000|22050|44100] [--seconds N] [--markers]\n"
    "       xmrender MODULE --info\n"
    "Renders MODULE (XM or MOD) through the demo's player into a 16-bit stereo WAV file\n"
    "(60 seconds at 44100 Hz unless told otherwise), or prints its header.\n"
    "  --markers  also print each synchronisation marker: time in ms, channel, value\n";

int usage(const std::string& problem = {}) { return tools::refuseCommandLine("xmrender", problem, kUsage); }

std::string fixedText(const char* p, std::size_t n) { return std::string(p, strnlen(p, n)); }

void printInfo(const music::Song& song)
{
    std::printf("name:            %s\n", fixedText(song.moduleName.data(), song.moduleName.size()).c_str());
    std::printf("tracker:         %s\n", fixedText(song.trackerName.data(), song.trackerName.size()).c_str());
    std::printf("channels:        %d\n", song.numChannels);
    std::printf("patterns:        %d\n", song.numPatterns);
    std::printf("instruments:     %d\n", song.numInstruments);
    std::printf("song length:     %d\n", song.songLength);
    std::printf("restart:         %d\n", song.restartPosition);
    std::printf("speed:           %d\n", song.speed);
    std::printf("BPM:             %d\n", song.bpm);
    std::printf("frequency mode:  %s\n", song.frequencyMode == music::kFrequencyLinear ? "linear" : "amiga");
}

} // namespace

int main(int argc, char** argv)
{
    // Any message box goes to standard error: this tool never opens a window.
    platform::setMessageSink([](const std::string& caption, const std::string& text) {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    });

    if (tools::helpRequested(argc, argv))
        return tools::showHelp(kUsage);
    std::string modulePath, outPath;
    std::uint32_t rate = 44100;
    double seconds = 60.0;
    bool markers = false, info = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--rate" && i + 1 < argc) {
            rate = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
            if (rate != 11000 && rate != 22050 && rate != 44100)
                return usage("the rate is 11000, 22050 or 44100");
        } else if (a == "--seconds" && i + 1 < argc) {
            seconds = std::strtod(argv[++i], nullptr);
            if (!(seconds > 0.0) || seconds > 24 * 3600.0)
                return usage("--seconds takes a positive number (at most a day)");
        } else if (a == "--markers") {
            markers = true;
        } else if (a == "--info") {
            info = true;
        } else if (!a.empty() && a[0] == '-') {
            return usage("unknown option " + a);
        } else if (modulePath.empty()) {
            modulePath = a;
        } else if (outPath.empty()) {
            outPath = a;
        } else {
            return usage("one module and one output file");
        }
    }
    if (modulePath.empty() || (outPath.empty() && !info))
        return usage();

    auto song = std::make_unique<music::Song>();
    const music::LoadResult result = music::readModuleFile(*song, modulePath);
    if (!result.loaded())
        return tools::refuseFile("xmrender", modulePath, tools::moduleProblem(result, modulePath));
    for (const music::LoadMessage& m : result.messages) // warnings of a module that loaded
        std::fprintf(stderr, "xmrender: %s: %s: %s\n", modulePath.c_str(), m.caption.c_str(), m.text.c_str());
    if (info) {
        printInfo(*song);
        return 0;
    }

    xmrender::WavFile wav;
    if (!wav.open(outPath, rate))
        return tools::refuseFile("xmrender", outPath, "cannot be written");
    song->start(static_cast<std::int32_t>(rate));
    song->syncReset(600); // as the wave output does: same amplification, same events
    if (markers) {
        std::printf("# time_ms channel value\n");
        song->setSyncListener([rate](const music::SyncNotice& n) {
            std::printf("%" PRIu64 " %u %u\n", n.frame * 1000 / rate, n.channel, n.value);
        });
    }

    const std::uint32_t block = music::waveBufferBytes(static_cast<std::int32_t>(rate)); // the wave output's block
    std::vector<std::uint8_t> buffer(block);
    const std::uint64_t totalFrames = static_cast<std::uint64_t>(seconds * rate);
    const bool progress = seconds > 5.0;
    std::uint64_t done = 0;
    std::uint64_t nextReport = static_cast<std::uint64_t>(rate) * 10;
    while (done < totalFrames) {
        const std::uint64_t left = (totalFrames - done) * 4;
        const auto bytes = static_cast<std::uint32_t>(left < block ? left : block);
        song->fillBuffer(buffer.data(), bytes);
        if (!wav.write(buffer.data(), bytes))
            return tools::refuseFile("xmrender", outPath, "writing failed");
        done += bytes / 4;
        if (progress && done >= nextReport) {
            std::fprintf(stderr, "\rxmrender: %" PRIu64 " of %" PRIu64 " s", done / rate, totalFrames / rate);
            nextReport += static_cast<std::uint64_t>(rate) * 10;
        }
    }
    if (progress)
        std::fprintf(stderr, "\rxmrender: %" PRIu64 " s rendered\n", done / rate);
    song->syncRelease();
    if (!wav.close())
        return tools::refuseFile("xmrender", outPath, "writing failed");
    return 0;
}
