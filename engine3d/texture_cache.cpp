#include "engine3d/texture_cache.h"

#include "platform/profile.h"

namespace engine3d {

TextureCache::TextureCache() { entries_.push_back(Entry{}); }

display::Surface* TextureCache::lookup(const std::string& name)
{
    for (Entry& e : entries_)
        if (e.name == name)
            return e.image.get();
    const std::string path = platform::hostPath(name);
    entries_.push_back(Entry{name, std::make_unique<display::Surface>(path.c_str())});
    return entries_.back().image.get();
}

} // namespace engine3d
