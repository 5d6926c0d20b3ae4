#pragma once

#include "console/display.h"

#include <cstdint>

namespace display {

// Locks a surface for the life of the guard and unlocks it when the guard
// goes, also when the code in between throws. A guard given the surface of an
// earlier guard shares that lock instead of taking its own, so one surface
// passed twice (as source and destination) is locked and unlocked once.
// Guards are destroyed in reverse order, so the last surface locked is the
// first unlocked.
class SurfaceLock {
public:
    explicit SurfaceLock(BaseSurface& surface)
        : surface_(&surface), pixels_(static_cast<std::uint32_t*>(surface.lock())), owner_(true)
    {
    }
    SurfaceLock(BaseSurface& surface, const SurfaceLock& earlier)
        : surface_(&surface), pixels_(&surface == earlier.surface_ ? earlier.pixels_
                                                                    : static_cast<std::uint32_t*>(surface.lock())),
          owner_(&surface != earlier.surface_)
    {
    }
    ~SurfaceLock()
    {
        if (owner_)
            surface_->unlock();
    }
    SurfaceLock(const SurfaceLock&) = delete;
    SurfaceLock& operator=(const SurfaceLock&) = delete;

    // The locked pixels as 32-bit words (what lock() returned).
    std::uint32_t* pixels() const { return pixels_; }

private:
    BaseSurface* surface_;
    std::uint32_t* pixels_;
    bool owner_; // this guard took the lock and gives it back
};

} // namespace display
