// xmplay MODULE [--seconds N]
//
// Runs the music start-up as the demo does (sound set-up window, module,
// song, chosen output), plays until Escape in the terminal, Ctrl-C or the
// given number of seconds, and prints every synchronisation marker when it
// first falls due: its value and the milliseconds since playback started.
// Stops the music cleanly and exits with status 0.
#include "music/music_facade.h"
#include "platform/clock.h"
#include "platform/keyboard.h"
#include "tools/xmplay/options.h"

#include <chrono>
#include <cstdio>
#include <thread>

int main(int argc, char** argv)
{
    std::string error;
    auto options = xmplay::parseOptions(argc, argv, error);
    if (!options) {
        std::fprintf(stderr, "xmplay: %s\nusage: xmplay MODULE [--seconds N]\n", error.c_str());
        return 2;
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
