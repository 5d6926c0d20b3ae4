// Still of the fire tunnel: fire T, T in milliseconds of demo time. The
// tunnel is run as its scenes run it, from time 0 at 60 frames a second up to
// T: each frame sets the seed count to 160, draws (one update) with the angle
// offset trunc(t x 0.03) and depth offset -24, then updates twice more. The
// still is the picture of the frame at T. The random generator is seeded
// with a fixed value, so the same T always gives the same still.
#include "effects/fire_tunnel.h"
#include "platform/random_numbers.h"
#include "tools/fxshot/fxshot.h"

#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace {

constexpr unsigned fireSeed = 1;
constexpr double framesPerSecond = 60;

fxshot::Registrar fire({"fire", "T", 1,
                        [](const std::vector<std::string>& arguments, const fxshot::Options&,
                           display::Surface& frame) {
                            const double end = fxshot::parseNumber(arguments[0], "T (milliseconds)");
                            if (!(end >= 0) || end > 3600000)
                                throw std::runtime_error("T must lie between 0 and 3600000 ms");
                            platform::seedRandom(fireSeed);
                            effects::FireTunnel tunnel(10, 320, 200, 10.0f);
                            const int frames = static_cast<int>(std::floor(end * framesPerSecond / 1000));
                            for (int i = 0; i <= frames; ++i) {
                                // The last frame is drawn at T itself.
                                const double t = i == frames ? end : i * 1000 / framesPerSecond;
                                tunnel.seedCount = 160;
                                tunnel.draw(frame, 160, 100, static_cast<int>(t * 0.03), -24);
                                if (i < frames) {
                                    tunnel.update();
                                    tunnel.update();
                                }
                            }
                        }});

} // namespace
