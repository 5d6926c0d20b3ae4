#include "driver/console_screen.h"

namespace driver {

ConsoleScreen::ConsoleScreen(const char* title, int width, int height, const display::Format& format,
                             std::unique_ptr<display::Console> console)
    : console_(console ? std::move(console) : std::make_unique<display::Console>())
{
    console_->open(title, width, height, format);
}

ConsoleScreen::~ConsoleScreen()
{
    console_->close();
}

void ConsoleScreen::present(display::Surface& frame)
{
    frame.copy(*console_);
    console_->update();
}

ScreenOpener consoleOpener()
{
    return [](const char* title, int width, int height, const display::Format& format) -> std::unique_ptr<Screen> {
        return std::make_unique<ConsoleScreen>(title, width, height, format);
    };
}

} // namespace driver
