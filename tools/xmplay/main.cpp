// xmplay MODULE [--seconds N]
//
// Runs the music start-up as the demo does (sound set-up window, module,
// song, chosen output), plays until Escape in the terminal, Ctrl-C or the
// given number of seconds, and prints every synchronisation marker when it
// first falls due: its value and the milliseconds since playback started.
// Stops the music cleanly and exits with status 0.
#include "music/module_reader.h"
#include "music/music_facade.h"
#include "music/song.h"
#include "platform/clock.h"
#include "platform/keyboard.h"
#include "tools/common/command_line.h"
#include "tools/common/module_problem.h"
#include "tools/xmplay/options.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

namespace {

constexpr const char* kUsage =
    "usage: xmplay MODULE [--seconds N]\n"
    "Plays MODULE (XM or MOD) through the demo's music start-up (sound set-up window,\n"
    "chosen output) until Escape, Ctrl-C or N seconds, printing each synchronisation\n"
    "marker as it falls due.\n";

} // namespace

int main(int argc, char** argv)
{
    if (tools::helpRequested(argc, argv))
        return tools::showHelp(kUsage);
    std::string error;
    auto options = xmplay::parseOptions(argc, argv, error);
    if (!options)
        return tools::refuseCommandLine("xmplay", error, kUsage);
    {
        // A module that cannot be read is reported here in one line; the
        // music start-up would show its boxes and end the process instead.
        auto probe = std::make_unique<music::Song>();
        const music::LoadResult result = music::readModuleFile(*probe, options->module);
        if (!result.loaded())
            return tools::refuseFile("xmplay", options->module, tools::moduleProblem(result, options->module));
    }

    platform::installInterruptHandlers();
    platform::Clock& clock = platform::systemClock();
    {
        music::MusicFacade music(options->module, 1); // the flag word the demo passes
        const std::uint32_t start = clock.nowMs();
        std::printf("playing %s at %d Hz on %s\n", options->module.c_str(), music.options().mixingRate,
                    music.options().outputDriver == music::kSilentDriver ? "No sound" : "MMSound");
        std::fflush(stdout);

        platform::TerminalEscapeKey escape;
        const double limitMs = options->seconds * 1000.0;
        for (;;) {
            const std::uint32_t elapsed = clock.nowMs() - start;
            for (int n = 0; n < 256; ++n) {
                while (music.takeSync(n) == n)
                    std::printf("marker %d at %u ms\n", n, static_cast<unsigned>(clock.nowMs() - start));
            }
            std::fflush(stdout);
            if (escape.held() || platform::interruptRequested())
                break;
            if (limitMs > 0 && static_cast<double>(elapsed) >= limitMs)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    } // the music stops here, waiting for its thread
    std::printf("stopped\n");
    return 0;
}
