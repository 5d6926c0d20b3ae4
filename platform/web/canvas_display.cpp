// The display service on the page's <canvas>: one window-like page whose
// presents go to the canvas through one kept ImageData. Full screen is the
// page's business (its button, F11, double-click), so the full-screen path
// is refused and the console takes the windowed one.
#include "platform/display.h"
#include "platform/rgba_pixels.h"
#include "platform/web/page.h"

#include <emscripten.h>

#include <vector>

EM_JS(void, demo_canvas_open, (int width, int height), { Module.page.openCanvas(width, height); });
EM_JS(void, demo_canvas_put, (const std::uint8_t* rgba, int width, int height),
      { Module.page.putPixels(HEAPU8.subarray(rgba, rgba + width * height * 4), width, height); });

namespace platform {

namespace {

std::vector<std::uint8_t>& rgbaBuffer()
{
    static std::vector<std::uint8_t> buffer;
    return buffer;
}

class CanvasDisplay final : public DisplayService {
public:
    const char* name() const override { return "Canvas"; }
    std::string lastError() const override { return error_; }
    std::vector<DisplayMode> modes() override { return {}; }
    PixelLayout desktopLayout() override { return rgb32Layout(); }
    bool openFullscreenWindow(const char*, int, int) override
    {
        error_ = "the page switches to full screen itself";
        return false;
    }
    bool setMode(int, int, int) override
    {
        error_ = "no display modes in a browser";
        return false;
    }
    bool openWindow(const char*, int width, int height) override
    {
        width_ = width;
        height_ = height;
        demo_canvas_open(width, height);
        return true;
    }
    bool createPages(int count, bool preferVideoMemory) override
    {
        if (preferVideoMemory || count != 1 || width_ <= 0) {
            error_ = "one page in memory is all a canvas has";
            return false;
        }
        pages_.create(1, width_, height_, 4);
        return true;
    }
    PixelLayout pageLayout() const override { return rgb32Layout(); }
    int pageCount() const override { return pages_.count(); }
    void* lockPage(int& pitch) override { return pages_.lockPage(pitch, error_); }
    bool unlockPage() override { return pages_.unlockPage(error_); }
    bool present() override
    {
        if (!pages_.drawn()) {
            error_ = "no page to show";
            return false;
        }
        pages_.flip();
        showOnCanvas(pages_.shown(), pages_.pitch(), width_, height_);
        return true;
    }
    void setPalette(const std::uint32_t*) override {}
    // The browser delivers input between frames; Escape reaches the frame
    // loop through the page's key listener.
    void pumpMessages() override {}
    void waitMessages(int) override {}
    void setKeyHandler(KeyHandler handler) override { keyHandler_ = std::move(handler); }
    void close() override
    {
        pages_.release();
        width_ = height_ = 0;
    }

private:
    std::string error_;
    int width_ = 0, height_ = 0;
    PageSet pages_;
    KeyHandler keyHandler_;
};

} // namespace

namespace {
double canvasMs = 0.0;
} // namespace

double lastCanvasMs() { return canvasMs; }

void showOnCanvas(const std::uint8_t* page, int pitch, int width, int height)
{
    const double started = emscripten_get_now();
    std::vector<std::uint8_t>& rgba = rgbaBuffer();
    rgba.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    pageToRgba(page, pitch, width, height, rgba.data());
    demo_canvas_put(rgba.data(), width, height);
    canvasMs = emscripten_get_now() - started;
}

std::unique_ptr<DisplayService> createDefaultDisplay() { return std::make_unique<CanvasDisplay>(); }

} // namespace platform
