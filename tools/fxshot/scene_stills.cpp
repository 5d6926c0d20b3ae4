// What the stills of scenes share: their time argument and the cleared frame.
#include "tools/fxshot/fxshot.h"

#include <stdexcept>

namespace fxshot {

double readTime(const std::vector<std::string>& arguments)
{
    const double t = fxshot::parseNumber(arguments[0], "T (milliseconds)");
    if (!(t >= 0) || t > 3600000)
        throw std::runtime_error("T must lie between 0 and 3600000 ms");
    return t;
}

void clearFrame(display::Surface& frame, std::uint32_t colour)
{
    auto* pixels = static_cast<std::uint32_t*>(frame.lock());
    for (int i = 0; i < frame.width() * frame.height(); ++i)
        pixels[i] = colour;
    frame.unlock();
}

} // namespace fxshot
