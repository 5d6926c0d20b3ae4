// The message box through SDL, shown only when an X11 or Wayland display is
// there to show it.
#include "platform/system_message_box.h"

#include <SDL.h>

#include <cstdlib>

namespace platform {

namespace {

bool displayPresent()
{
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (wayland && *wayland);
}

} // namespace

void showSystemMessageBox(const std::string& caption, const std::string& text)
{
    if (displayPresent())
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), text.c_str(), nullptr);
}

} // namespace platform
