#pragma once
// Whether the Escape key is held down at the moment of the call.
#include <atomic>

namespace platform {

class EscapeKey {
public:
    virtual ~EscapeKey() = default;
    // Called once per frame by the frame loop, on the main thread.
    virtual bool held() = 0;
};

// SDL's keyboard state. It is only as fresh as the last event pump, which the
// console's update does once per frame.
EscapeKey& sdlEscapeKey();
// The Escape key of the build's own platform layer (SDL's keyboard state on
// Linux, the asynchronous key state on Windows).
EscapeKey& systemEscapeKey();

// A key that a test presses and releases; may be pressed from another thread.
class ManualEscapeKey final : public EscapeKey {
public:
    bool held() override { return held_.load(std::memory_order_acquire); }
    void press() { held_.store(true, std::memory_order_release); }
    void release() { held_.store(false, std::memory_order_release); }

private:
    std::atomic<bool> held_{false};
};

// Escape typed in the terminal on standard input, for command-line tools.
// While it lives, a terminal on standard input is switched to unbuffered
// input without echo (restored on destruction); when standard input is not a
// terminal the key is never held. An escape sequence (an arrow key) is not
// Escape.
class TerminalEscapeKey final : public EscapeKey {
public:
    TerminalEscapeKey();
    ~TerminalEscapeKey() override;
    TerminalEscapeKey(const TerminalEscapeKey&) = delete;
    TerminalEscapeKey& operator=(const TerminalEscapeKey&) = delete;

    // Reads what was typed since the last call; true once Escape was typed.
    bool held() override;

private:
    struct Saved;
    Saved* saved_ = nullptr;
    bool pressed_ = false;
};

// Ctrl-C and termination requests, for command-line tools that stop cleanly:
// after installInterruptHandlers, SIGINT and SIGTERM only set a flag.
void installInterruptHandlers();
bool interruptRequested();

} // namespace platform
