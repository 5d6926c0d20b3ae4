// The SDL2 display service. Pages live in memory in the display's layout;
// presenting uploads the shown page into a streaming texture of the same
// layout and draws it scaled to the window (nearest neighbour, aspect kept).
#include "platform/display.h"

#include "platform/message_box.h"

#include <SDL.h>

namespace platform {

namespace {

PixelLayout layoutOf(Uint32 format)
{
    PixelLayout layout;
    if (SDL_ISPIXELFORMAT_FOURCC(format) || format == SDL_PIXELFORMAT_UNKNOWN) {
        layout.kind = PixelLayout::Kind::Other;
        return layout;
    }
    if (SDL_ISPIXELFORMAT_INDEXED(format)) {
        layout.bits = SDL_BITSPERPIXEL(format);
        layout.kind = layout.bits == 8 ? PixelLayout::Kind::Palettised : PixelLayout::Kind::Other;
        return layout;
    }
    int bpp = 0;
    Uint32 r = 0, g = 0, b = 0, a = 0;
    if (!SDL_PixelFormatEnumToMasks(format, &bpp, &r, &g, &b, &a) || r == 0 || g == 0 || b == 0) {
        layout.kind = PixelLayout::Kind::Other;
        return layout;
    }
    layout.bits = SDL_BYTESPERPIXEL(format) * 8; // XRGB8888 is stored in 32 bits
    layout.r = r;
    layout.g = g;
    layout.b = b;
    return layout;
}

// Windows-style key codes for the keys that have one in ASCII terms.
int keyCode(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return static_cast<int>(key - SDLK_a) + 'A';
    switch (key) {
    case SDLK_LEFT: return 0x25;
    case SDLK_UP: return 0x26;
    case SDLK_RIGHT: return 0x27;
    case SDLK_DOWN: return 0x28;
    default: break;
    }
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return 0x70 + static_cast<int>(key - SDLK_F1);
    return static_cast<int>(key); // digits, Escape, Return, Space, Tab, Backspace: ASCII
}

class SdlDisplay final : public DisplayService {
public:
    ~SdlDisplay() override
    {
        close();
        if (videoReady_)
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    const char* name() const override { return "SDL2"; }
    std::string lastError() const override { return error_; }

    std::vector<DisplayMode> modes() override
    {
        std::vector<DisplayMode> list;
        if (!ensureVideo())
            return list;
        int count = SDL_GetNumDisplayModes(0);
        for (int i = 0; i < count; ++i) {
            SDL_DisplayMode mode;
            if (SDL_GetDisplayMode(0, i, &mode) == 0)
                list.push_back({mode.w, mode.h, layoutOf(mode.format)});
        }
        return list;
    }

    PixelLayout desktopLayout() override
    {
        SDL_DisplayMode mode;
        if (ensureVideo() && SDL_GetDesktopDisplayMode(0, &mode) == 0) {
            PixelLayout layout = layoutOf(mode.format);
            if (layout.kind != PixelLayout::Kind::Other)
                return layout;
        }
        // The window is drawn through a texture, so any layout will do.
        return rgb32Layout();
    }

    bool openFullscreenWindow(const char* title, int width, int height) override
    {
        if (!ensureVideo())
            return false;
        close();
        window_ = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                   SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS);
        if (!window_)
            return fail();
        SDL_ShowCursor(SDL_DISABLE);
        width_ = width;
        height_ = height;
        return true;
    }

    bool setMode(int width, int height, int bits) override
    {
        if (!window_) {
            error_ = "no window";
            return false;
        }
        int count = SDL_GetNumDisplayModes(0);
        for (int i = 0; i < count; ++i) {
            SDL_DisplayMode mode;
            if (SDL_GetDisplayMode(0, i, &mode) != 0 || mode.w != width || mode.h != height)
                continue;
            PixelLayout layout = layoutOf(mode.format);
            if (layout.kind == PixelLayout::Kind::Other || layout.bits != bits)
                continue;
            if (SDL_SetWindowDisplayMode(window_, &mode) != 0 ||
                SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN) != 0)
                return fail();
            SDL_ShowWindow(window_);
            fullscreen_ = true;
            width_ = width;
            height_ = height;
            pageLayout_ = layout;
            textureFormat_ =
                layout.kind == PixelLayout::Kind::Palettised ? static_cast<Uint32>(SDL_PIXELFORMAT_ARGB8888) : mode.format;
            return true;
        }
        error_ = "the display has no " + std::to_string(width) + "x" + std::to_string(height) + " mode at " +
                 std::to_string(bits) + " bits";
        return false;
    }

    bool openWindow(const char* title, int width, int height) override
    {
        if (!ensureVideo())
            return false;
        close();
        window_ = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
                                   SDL_WINDOW_RESIZABLE);
        if (!window_)
            return fail();
        SDL_ShowCursor(SDL_ENABLE);
        width_ = width;
        height_ = height;
        fullscreen_ = false;
        pageLayout_ = desktopLayout();
        if (pageLayout_.kind == PixelLayout::Kind::Palettised) {
            textureFormat_ = SDL_PIXELFORMAT_ARGB8888;
        } else {
            textureFormat_ = SDL_MasksToPixelFormatEnum(pageLayout_.bits, pageLayout_.r, pageLayout_.g, pageLayout_.b, 0);
            if (textureFormat_ == SDL_PIXELFORMAT_UNKNOWN) {
                pageLayout_ = rgb32Layout();
                textureFormat_ = SDL_PIXELFORMAT_RGB888;
            }
        }
        return true;
    }

    bool createPages(int count, bool preferVideoMemory) override
    {
        if (!window_ || count < 1 || count > 3) {
            error_ = "cannot create pages";
            return false;
        }
        releasePages();
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
        // Presenting waits for the display's vertical blank where it offers
        // one, so no frame is drawn that nobody sees; else as fast as it goes.
        const Uint32 flags = preferVideoMemory ? SDL_RENDERER_ACCELERATED : 0;
        renderer_ = SDL_CreateRenderer(window_, -1, flags | SDL_RENDERER_PRESENTVSYNC);
        if (!renderer_)
            renderer_ = SDL_CreateRenderer(window_, -1, flags);
        if (!renderer_)
            return fail();
        texture_ = SDL_CreateTexture(renderer_, textureFormat_, SDL_TEXTUREACCESS_STREAMING, width_, height_);
        if (!texture_) {
            fail();
            releasePages();
            return false;
        }
        SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
        // The picture keeps its aspect and is scaled to the window's size.
        SDL_RenderSetLogicalSize(renderer_, width_, height_);
        pages_.create(count, width_, height_, pageLayout_.bits / 8);
        if (pageLayout_.kind == PixelLayout::Kind::Palettised) {
            palette_.assign(256, 0);
            expanded_.assign(static_cast<std::size_t>(width_) * height_, 0);
        }
        if (!fullscreen_)
            SDL_ShowWindow(window_);
        return true;
    }

    PixelLayout pageLayout() const override { return pageLayout_; }
    int pageCount() const override { return pages_.count(); }

    void* lockPage(int& pitch) override { return pages_.lockPage(pitch, error_); }
    bool unlockPage() override { return pages_.unlockPage(error_); }

    bool present() override
    {
        if (!texture_) {
            error_ = "no pages";
            return false;
        }
        pages_.flip();
        return show();
    }

    void setPalette(const std::uint32_t* entries) override
    {
        if (!palette_.empty())
            palette_.assign(entries, entries + 256);
    }

    void pumpMessages() override
    {
        SDL_Event event;
        while (SDL_PollEvent(&event))
            handle(event);
    }

    void waitMessages(int ms) override
    {
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, ms))
            handle(event);
        pumpMessages();
    }

    void setKeyHandler(KeyHandler handler) override { keyHandler_ = std::move(handler); }

    void close() override
    {
        releasePages();
        if (window_) {
            SDL_DestroyWindow(window_); // also restores the desktop's display mode
            window_ = nullptr;
        }
        if (videoReady_)
            SDL_ShowCursor(SDL_ENABLE);
        fullscreen_ = false;
    }

private:
    bool ensureVideo()
    {
        if (videoReady_)
            return true;
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            return fail();
        videoReady_ = true;
        return true;
    }

    bool fail()
    {
        error_ = SDL_GetError();
        return false;
    }

    void releasePages()
    {
        if (texture_)
            SDL_DestroyTexture(texture_);
        if (renderer_)
            SDL_DestroyRenderer(renderer_);
        texture_ = nullptr;
        renderer_ = nullptr;
        pages_.release();
        palette_.clear();
        expanded_.clear();
    }

    // Uploads the shown page and draws it.
    bool show()
    {
        const std::uint8_t* pixels = pages_.shown();
        int pitch = pages_.pitch();
        if (!palette_.empty()) {
            const std::size_t n = expanded_.size();
            for (std::size_t i = 0; i < n; ++i)
                expanded_[i] = 0xff000000u | palette_[pixels[i]];
            pixels = reinterpret_cast<const std::uint8_t*>(expanded_.data());
            pitch = width_ * 4;
        }
        if (SDL_UpdateTexture(texture_, nullptr, pixels, pitch) != 0)
            return fail();
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
        SDL_RenderPresent(renderer_);
        return true;
    }

    void handle(const SDL_Event& event)
    {
        switch (event.type) {
        case SDL_QUIT:
            fatalExit(0);
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE)
                fatalExit(0);
            if ((event.window.event == SDL_WINDOWEVENT_EXPOSED || event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) &&
                texture_)
                show(); // redraw at the new size at once, not only at the next frame
            break;
        case SDL_KEYDOWN:
            // F11 belongs to the window, not to the program: it switches a
            // window between its frame and the whole desktop (the picture
            // scaled, aspect kept).
            if (event.key.keysym.sym == SDLK_F11) {
                if (event.key.repeat == 0)
                    toggleDesktopFullscreen();
                break;
            }
            if (keyHandler_)
                keyHandler_(keyCode(event.key.keysym.sym));
            break;
        default:
            break;
        }
    }

    // A window opened at a display mode of its own stays as it is.
    void toggleDesktopFullscreen()
    {
        if (!window_ || fullscreen_)
            return;
        const bool desktop = (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
        if (SDL_SetWindowFullscreen(window_, desktop ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP) == 0)
            SDL_ShowCursor(desktop ? SDL_ENABLE : SDL_DISABLE);
        if (texture_)
            show();
    }

    bool videoReady_ = false;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    Uint32 textureFormat_ = SDL_PIXELFORMAT_RGB888;
    bool fullscreen_ = false;
    int width_ = 0, height_ = 0;
    PixelLayout pageLayout_;
    PageSet pages_;
    std::vector<std::uint32_t> palette_;
    std::vector<std::uint32_t> expanded_;
    KeyHandler keyHandler_;
    std::string error_;
};

} // namespace

std::unique_ptr<DisplayService> createSdlDisplay() { return std::make_unique<SdlDisplay>(); }

std::unique_ptr<DisplayService> createDefaultDisplay() { return createSdlDisplay(); }

} // namespace platform
