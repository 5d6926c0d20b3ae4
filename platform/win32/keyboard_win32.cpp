// Escape through the asynchronous key state, the console's key input for
// command-line tools, and Ctrl-C through the console's control handler.
#include "platform/keyboard.h"

#include <windows.h>

#include <conio.h>
#include <io.h>

#include <atomic>
#include <cstdio>

namespace platform {

namespace {

class AsyncEscapeKey final : public EscapeKey {
public:
    // The top bit says the key is down now, whichever window has the focus.
    bool held() override { return (GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0; }
};

} // namespace

EscapeKey& systemEscapeKey()
{
    static AsyncEscapeKey key;
    return key;
}

// The console needs no mode change: _kbhit and _getch read keys unbuffered
// and without echo.
struct TerminalEscapeKey::Saved {};

TerminalEscapeKey::TerminalEscapeKey()
{
    if (_isatty(_fileno(stdin)))
        saved_ = new Saved;
}

TerminalEscapeKey::~TerminalEscapeKey()
{
    delete saved_;
}

bool TerminalEscapeKey::held()
{
    if (!saved_ || pressed_)
        return pressed_;
    while (_kbhit()) {
        const int key = _getch();
        if (key == 0 || key == 0xe0) { // an arrow or function key: its second code follows
            _getch();
            continue;
        }
        if (key == 0x1b)
            pressed_ = true;
    }
    return pressed_;
}

namespace {

std::atomic<bool> interrupted{false};

BOOL WINAPI onControl(DWORD type)
{
    if (type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT || type == CTRL_CLOSE_EVENT) {
        interrupted.store(true);
        return TRUE;
    }
    return FALSE;
}

} // namespace

void installInterruptHandlers()
{
    SetConsoleCtrlHandler(onControl, TRUE);
}

bool interruptRequested()
{
    return interrupted.load();
}

} // namespace platform
