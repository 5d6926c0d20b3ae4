#pragma once
// The textures of one scene, loaded once each and shared by the exact text
// of their path.
#include "console/display.h"

#include <memory>
#include <string>
#include <vector>

namespace engine3d {

class TextureCache {
public:
    // Starts with the head entry: an empty name and no image.
    TextureCache();

    // The image cached under `name` (exact, case-sensitive text). A name not
    // yet seen is loaded from that path and kept, even when the file cannot
    // be read: it then stays cached as an image without pixels (empty()),
    // whose faces the renderer skips. The empty name yields nothing.
    display::Surface* lookup(const std::string& name);

    // Entries including the head.
    int size() const { return int(entries_.size()); }

private:
    struct Entry {
        std::string name;
        std::unique_ptr<display::Surface> image;
    };
    std::vector<Entry> entries_;
};

} // namespace engine3d
