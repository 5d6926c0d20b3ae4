#pragma once
// A scene artist that logs every drawing call by the names of its surfaces,
// and a marker source that a test fills; for the timeline's tests.
#include "driver/scene_artist.h"
#include "driver/show.h"

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace driver_test {

class LoggingArtist final : public driver::SceneArtist {
public:
    LoggingArtist();
    // Names a surface in the log ("frame", "spare", "tunnel" for the loop's).
    void name(const display::Surface& surface, std::string text) { names_[&surface] = std::move(text); }

    display::Surface& overlay(driver::Overlay image) override { return *overlays_[static_cast<std::size_t>(image)]; }
    void objectIntro(display::Surface& frame, float x) override { add("objectIntro", frame, {x}); }
    void objectMain(display::Surface& frame, double x) override { add("objectMain", frame, {x}); }
    void setTunnelSeedCount(int count) override { add("tunnelSeeds " + std::to_string(count)); }
    void drawTunnel(display::Surface& canvas, int cx, int cy, int angle, int depth) override
    {
        add("drawTunnel", canvas, {double(cx), double(cy), double(angle), double(depth)});
    }
    void updateTunnel() override { add("updateTunnel"); }
    void gridBlob(display::Surface& frame, double phase) override { add("gridBlob", frame, {phase}); }
    void gridWarp(display::Surface& frame, double phase) override { add("gridWarp", frame, {phase}); }
    void ribbons(display::Surface& frame, double t) override { add("ribbons", frame, {t}); }
    void disco(display::Surface& frame, double x) override { add("disco", frame, {x}); }
    void ball(display::Surface& frame, double x) override { add("ball", frame, {x}); }
    void saturate(display::Surface& frame, display::Surface& picture, int x, int y) override
    {
        add("saturate", picture, frame, {double(x), double(y)});
    }
    void fadeToColour(display::Surface& frame, std::uint32_t colour, int intensity) override;
    void blitKeyed(display::Surface& image, display::Surface& frame, int x, int y) override
    {
        add("blitKeyed", image, frame, {double(x), double(y)});
    }
    void copyPicture(display::Surface& image, display::Surface& frame) override { add("copyPicture", image, frame, {}); }
    void beatZoomFiltered(display::Surface& d, display::Surface& s, float f) override { add("zoomFiltered", s, d, {f}); }
    void beatZoomNearest(display::Surface& d, display::Surface& s, float f) override { add("zoomNearest", s, d, {f}); }
    void quarterTileCopy(display::Surface& d, display::Surface& s) override { add("quarterTileCopy", s, d, {}); }

    // Calls since the last take, one string each.
    std::vector<std::string> take();

private:
    std::string nameOf(const display::Surface& surface) const;
    void add(std::string text) { log_.push_back(std::move(text)); }
    void add(const char* what, const display::Surface& a, std::initializer_list<double> numbers);
    // Source first, then destination: "saturate greets frame -629 0" reads as
    // "greets onto the frame".
    void add(const char* what, const display::Surface& from, const display::Surface& to,
             std::initializer_list<double> numbers);

    std::array<std::unique_ptr<display::Surface>, driver::overlayCount> overlays_;
    std::map<const display::Surface*, std::string> names_;
    std::vector<std::string> log_;
};

// Markers a test makes due; takeSync consumes one occurrence like the
// player's counters.
class FakeMarkers final : public driver::MarkerSource {
public:
    void arrive(int n, int times = 1) { pending_[static_cast<std::size_t>(n)] += times; }
    int takeSync(int n) override;
    int pending(int n) const { return pending_[static_cast<std::size_t>(n)]; }

private:
    std::array<int, 256> pending_{};
};

// The loop's three surfaces, named in the artist's log.
struct LoopSurfaces {
    display::Surface frame{320, 200, display::format32()};
    display::Surface tunnel{320, 200, display::format32()};
    display::Surface spare{320, 200, display::format32()};
    driver::FrameLoopState state;

    explicit LoopSurfaces(LoggingArtist& artist);
};

} // namespace driver_test
