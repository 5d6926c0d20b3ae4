#include "platform/keyboard.h"

#include <SDL.h>

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

} // namespace platform
