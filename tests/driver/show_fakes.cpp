#include "tests/driver/show_fakes.h"

#include <cstdio>

namespace driver_test {

namespace {

const char* const overlayNames[driver::overlayCount] = {"fjollah",  "fjollav",  "groovy1", "groovy2", "voodoo",
                                                        "skiva",    "dansare1", "dansare2", "greets", "theend"};

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

} // namespace

LoggingArtist::LoggingArtist()
{
    for (int i = 0; i < driver::overlayCount; ++i) {
        overlays_[static_cast<std::size_t>(i)] = std::make_unique<display::Surface>(1, 1, display::format32());
        name(*overlays_[static_cast<std::size_t>(i)], overlayNames[i]);
    }
}

std::string LoggingArtist::nameOf(const display::Surface& surface) const
{
    auto it = names_.find(&surface);
    return it == names_.end() ? "?" : it->second;
}

void LoggingArtist::add(const char* what, const display::Surface& a, std::initializer_list<double> numbers)
{
    std::string text = what;
    text += ' ';
    text += nameOf(a);
    for (double n : numbers) {
        text += ' ';
        text += number(n);
    }
    add(std::move(text));
}

void LoggingArtist::add(const char* what, const display::Surface& from, const display::Surface& to,
                        std::initializer_list<double> numbers)
{
    std::string text = what;
    text += ' ';
    text += nameOf(from);
    text += ' ';
    text += nameOf(to);
    for (double n : numbers) {
        text += ' ';
        text += number(n);
    }
    add(std::move(text));
}

void LoggingArtist::fadeToColour(display::Surface& frame, std::uint32_t colour, int intensity)
{
    char text[64];
    std::snprintf(text, sizeof text, " %06x %d", colour, intensity);
    std::string line = "fade ";
    line += nameOf(frame);
    line += text;
    add(std::move(line));
}

std::vector<std::string> LoggingArtist::take()
{
    std::vector<std::string> calls;
    calls.swap(log_);
    return calls;
}

int FakeMarkers::takeSync(int n)
{
    int& count = pending_[static_cast<std::size_t>(n & 0xff)];
    if (count == 0)
        return -1;
    --count;
    return n;
}

LoopSurfaces::LoopSurfaces(LoggingArtist& artist)
{
    state.frameSurface = &frame;
    state.tunnelCanvas = &tunnel;
    state.spareSurface = &spare;
    artist.name(frame, "A");
    artist.name(spare, "B");
    artist.name(tunnel, "tunnel");
}

} // namespace driver_test
