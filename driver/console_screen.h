#pragma once
// The frame loop's screen on the display console.
#include "console/display.h"
#include "driver/frame_loop.h"

#include <memory>

namespace driver {

// Owns a console opened with the given title, size and format; presenting
// copies the frame to it and updates it. Destroying it closes the console.
class ConsoleScreen final : public Screen {
public:
    // Creates the console and opens it (throws display::Error). A console
    // object given by the caller (e.g. on a memory display) is used instead
    // of the default one.
    ConsoleScreen(const char* title, int width, int height, const display::Format& format,
                  std::unique_ptr<display::Console> console = nullptr);
    ~ConsoleScreen() override;

    void present(display::Surface& frame) override;
    display::Console& console() { return *console_; }

private:
    std::unique_ptr<display::Console> console_;
};

// The opener the demo uses: the default console (SDL2).
ScreenOpener consoleOpener();

} // namespace driver
