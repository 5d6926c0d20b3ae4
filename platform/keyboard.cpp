#include "platform/keyboard.h"

#include <SDL.h>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace platform {

namespace {

class SdlEscapeKey final : public EscapeKey {
public:
    bool held() override
    {
        int count = 0;
        const Uint8* state = SDL_GetKeyboardState(&count);
        return state && SDL_SCANCODE_ESCAPE < count && state[SDL_SCANCODE_ESCAPE] != 0;
    }
};

} // namespace

EscapeKey& sdlEscapeKey()
{
    static SdlEscapeKey key;
    return key;
}

EscapeKey& systemEscapeKey() { return sdlEscapeKey(); }

struct TerminalEscapeKey::Saved {
    termios mode;
    int flags;
};

TerminalEscapeKey::TerminalEscapeKey()
{
    if (!isatty(STDIN_FILENO))
        return;
    termios mode{};
    if (tcgetattr(STDIN_FILENO, &mode) != 0)
        return;
    saved_ = new Saved{mode, fcntl(STDIN_FILENO, F_GETFL)};
    mode.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO)); // Ctrl-C still interrupts
    mode.c_cc[VMIN] = 0;
    mode.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSANOW, &mode);
    fcntl(STDIN_FILENO, F_SETFL, saved_->flags | O_NONBLOCK);
}

TerminalEscapeKey::~TerminalEscapeKey()
{
    if (!saved_)
        return;
    tcsetattr(STDIN_FILENO, TCSANOW, &saved_->mode);
    fcntl(STDIN_FILENO, F_SETFL, saved_->flags);
    delete saved_;
}

bool TerminalEscapeKey::held()
{
    if (!saved_ || pressed_)
        return pressed_;
    unsigned char bytes[64];
    ssize_t n = read(STDIN_FILENO, bytes, sizeof bytes);
    for (ssize_t i = 0; i < n; ++i) {
        if (bytes[i] != 0x1b)
            continue;
        // ESC followed by '[' or 'O' in the same read starts a key's escape
        // sequence; alone it is the Escape key.
        if (i + 1 < n && (bytes[i + 1] == '[' || bytes[i + 1] == 'O'))
            continue;
        pressed_ = true;
    }
    return pressed_;
}

namespace {

std::atomic<bool> interrupted{false};

extern "C" void onInterrupt(int) { interrupted.store(true); }

} // namespace

void installInterruptHandlers()
{
    struct sigaction action{};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool interruptRequested()
{
    return interrupted.load();
}

} // namespace platform
