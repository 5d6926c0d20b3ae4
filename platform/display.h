#pragma once
// The display service under the console: exact-size display modes, a
// full-screen or ordinary window, 1 to 3 pages of pixels in the display's
// format, presenting a page, and the window's messages.
//
// Two implementations: SDL2 for real use (createSdlDisplay) and MemoryDisplay,
// a headless one whose modes, desktop format and failures a test chooses.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// How the pixels of a display, a mode or a page are laid out.
struct PixelLayout {
    enum class Kind { Rgb, Palettised, Other };
    Kind kind = Kind::Rgb;
    int bits = 0;              // bits per pixel as stored (32 for 0x00RRGGBB words)
    std::uint32_t r = 0, g = 0, b = 0; // channel masks of an Rgb layout

    bool operator==(const PixelLayout&) const = default;
};

// The program's own layout: 32-bit words 0x00RRGGBB.
inline PixelLayout rgb32Layout() { return {PixelLayout::Kind::Rgb, 32, 0xff0000, 0xff00, 0xff}; }

struct DisplayMode {
    int width = 0;
    int height = 0;
    PixelLayout layout;
};

// Called with the key code of every key-down message of the console window.
// Letters are upper-case ASCII, digits ASCII, and Escape, Return, Space, Tab
// and Backspace their ASCII control codes.
using KeyHandler = std::function<void(int key)>;

class DisplayService {
public:
    virtual ~DisplayService() = default;

    // Short name of the service ("SDL2", "Memory"), returned by the console.
    virtual const char* name() const = 0;
    // Text of the last failure (a call that returned false or nullptr).
    virtual std::string lastError() const = 0;

    // Every display mode the display offers, exact sizes and depths.
    virtual std::vector<DisplayMode> modes() = 0;
    // The desktop's own pixel layout (that of a window's single page).
    virtual PixelLayout desktopLayout() = 0;

    // Full-screen path: a frameless window without cursor covering the
    // display, then a display mode of exactly width x height at `bits` bits
    // per pixel. setMode fails when the display has no such mode.
    virtual bool openFullscreenWindow(const char* title, int width, int height) = 0;
    virtual bool setMode(int width, int height, int bits) = 0;

    // Windowed path: a captioned, resizable window whose client area is
    // width x height, with the ordinary cursor. The picture is scaled to the
    // client area if the user resizes it; the pages keep their size.
    virtual bool openWindow(const char* title, int width, int height) = 0;

    // Creates `count` pages (1 to 3) of the size given to setMode/openWindow,
    // in the mode's layout (full screen) or the desktop's (window).
    // `preferVideoMemory` asks for accelerated pages and fails when those
    // cannot be had. A palettised layout gets a 256-entry palette, all black.
    virtual bool createPages(int count, bool preferVideoMemory) = 0;
    virtual PixelLayout pageLayout() const = 0;
    virtual int pageCount() const = 0;

    // Direct access to the page being drawn; nullptr on failure (already
    // locked, no pages). `pitch` receives the row length in bytes.
    virtual void* lockPage(int& pitch) = 0;
    virtual bool unlockPage() = 0;
    // Shows the page just drawn; with more than one page the next page
    // becomes the one being drawn.
    virtual bool present() = 0;
    // Colours (0x00RRGGBB) of a palettised layout.
    virtual void setPalette(const std::uint32_t* entries) = 0;

    // Processes every pending window message without waiting. Key-downs go
    // to the key handler; a close request of the window ends the process at
    // once with status 0 (fatalExit(0)).
    virtual void pumpMessages() = 0;
    // Like pumpMessages, but first waits up to `ms` milliseconds for one.
    virtual void waitMessages(int ms) = 0;
    virtual void setKeyHandler(KeyHandler handler) = 0;

    // Releases the pages, restores the display mode, destroys the window and
    // shows the cursor again. Harmless when nothing is open.
    virtual void close() = 0;
};

// The SDL2 display service (video subsystem initialised on first use).
std::unique_ptr<DisplayService> createSdlDisplay();
// The service a console uses unless given another one: SDL2.
std::unique_ptr<DisplayService> createDefaultDisplay();

// Page memory shared by the implementations: `count` pages of width x height
// pixels without gaps between rows, one of them shown.
class PageSet {
public:
    void create(int count, int width, int height, int bytesPerPixel);
    void release();
    int count() const { return static_cast<int>(pages_.size()); }
    int width() const { return width_; }
    int height() const { return height_; }
    int pitch() const { return pitch_; }
    bool locked() const { return locked_; }

    // The page being drawn, locked; nullptr when locked already or no pages.
    std::uint8_t* lock();
    bool unlock();
    // lock() and unlock() as a display service reports them: the page and its
    // pitch, or nullptr / false with the reason in `error`.
    void* lockPage(int& pitch, std::string& error);
    bool unlockPage(std::string& error);
    // Makes the page being drawn the shown one and moves on to the next.
    void flip();
    std::uint8_t* shown() { return pages_.empty() ? nullptr : pages_[shown_].data(); }
    std::uint8_t* drawn() { return pages_.empty() ? nullptr : pages_[drawn_].data(); }

private:
    std::vector<std::vector<std::uint8_t>> pages_;
    int width_ = 0, height_ = 0, pitch_ = 0;
    int shown_ = 0, drawn_ = 0;
    bool locked_ = false;
};

// Headless display for tests: modes, desktop layout and failures come from
// the configuration; it records what it was asked to do.
class MemoryDisplay final : public DisplayService {
public:
    struct Config {
        std::vector<DisplayMode> modes;                 // none: every setMode fails
        PixelLayout desktop = rgb32Layout();
        int maxPages = 3;                               // createPages above this fails
        bool videoMemory = true;                        // false: preferVideoMemory fails
        bool failFullscreenWindow = false;
        bool failWindow = false;
        bool failPresent = false;
    };

    MemoryDisplay() = default;
    explicit MemoryDisplay(Config config) : config_(std::move(config)) {}

    const char* name() const override { return "Memory"; }
    std::string lastError() const override { return error_; }
    std::vector<DisplayMode> modes() override { return config_.modes; }
    PixelLayout desktopLayout() override { return config_.desktop; }
    bool openFullscreenWindow(const char* title, int width, int height) override;
    bool setMode(int width, int height, int bits) override;
    bool openWindow(const char* title, int width, int height) override;
    bool createPages(int count, bool preferVideoMemory) override;
    PixelLayout pageLayout() const override { return pageLayout_; }
    int pageCount() const override { return pages_.count(); }
    void* lockPage(int& pitch) override;
    bool unlockPage() override;
    bool present() override;
    void setPalette(const std::uint32_t* entries) override;
    void pumpMessages() override;
    void waitMessages(int ms) override;
    void setKeyHandler(KeyHandler handler) override { keyHandler_ = std::move(handler); }
    void close() override;

    // Test side: messages delivered at the next pump.
    void pressKey(int key) { pendingKeys_.push_back(key); }
    void requestClose() { closeRequested_ = true; }

    // What happened, one line per call that changed state, e.g.
    // "fullscreen window 320x200", "mode 320x200x24 refused",
    // "mode 320x200x16", "pages 3 video: refused", "window 320x200",
    // "present", "close".
    const std::vector<std::string>& log() const { return log_; }
    bool fullscreen() const { return fullscreen_; }
    bool windowOpen() const { return windowOpen_; }
    std::string title() const { return title_; }
    int presents() const { return presents_; }
    int pumps() const { return pumps_; }
    // The page on show (after present) and its pitch.
    const std::uint8_t* shownPage() { return pages_.shown(); }
    int pagePitch() const { return pages_.pitch(); }
    const std::vector<std::uint32_t>& palette() const { return palette_; }

private:
    Config config_;
    std::string error_;
    std::vector<std::string> log_;
    std::string title_;
    bool fullscreen_ = false;
    bool windowOpen_ = false;
    int width_ = 0, height_ = 0;
    PixelLayout pageLayout_;
    PageSet pages_;
    std::vector<std::uint32_t> palette_;
    KeyHandler keyHandler_;
    std::vector<int> pendingKeys_;
    bool closeRequested_ = false;
    int presents_ = 0;
    int pumps_ = 0;
};

} // namespace platform
