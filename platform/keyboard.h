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

// A key that a test presses and releases; may be pressed from another thread.
class ManualEscapeKey final : public EscapeKey {
public:
    bool held() override { return held_.load(std::memory_order_acquire); }
    void press() { held_.store(true, std::memory_order_release); }
    void release() { held_.store(false, std::memory_order_release); }

private:
    std::atomic<bool> held_{false};
};

} // namespace platform
