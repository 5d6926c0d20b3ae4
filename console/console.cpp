#include "console/display.h"

#include "console/transfer.h"
#include "platform/display.h"

#include <deque>
#include <mutex>
#include <thread>

namespace display {

namespace {

// Depths tried for a full-screen mode, by the requested format's bits.
struct DepthOrder {
    int bits;
    int depths[4];
    int count;
    const char* failure;
};

const DepthOrder depthOrders[] = {
    {8, {8, 32, 24, 16}, 4, "could not set virtual 8bit mode"},
    {16, {16, 24, 32, 0}, 3, "could not set virtual 16bit mode"},
    {24, {24, 32, 16, 0}, 3, "could not set virtual 24bit mode"},
    {32, {32, 24, 16, 0}, 3, "could not set virtual 32bit mode"},
};

// Keys buffered beyond this many are dropped until some are read.
constexpr std::size_t keyBufferSize = 256;

} // namespace

// The console's implementation: the display service, the pages' format and
// size, the key buffer.
class ConsoleDisplay {
public:
    explicit ConsoleDisplay(std::unique_ptr<platform::DisplayService> service) : service_(std::move(service))
    {
        converter_.acquire();
    }
    ~ConsoleDisplay() { close(); }

    void open(const char* title, int width, int height, const Format& format)
    {
        close();
        fullscreenFailure_.clear();
        try {
            openFullscreen(title, width, height, format);
        } catch (const Error& error) {
            fullscreenFailure_ = error.message();
            service_->close();
            fullscreen_ = false;
            try {
                openWindowed(title, width, height);
            } catch (const Error&) {
                service_->close();
                open_ = false;
                throw;
            }
        }
        {
            std::lock_guard<std::mutex> lock(keysMutex_);
            keys_.clear();
        }
        service_->setKeyHandler([this](int key) {
            std::lock_guard<std::mutex> lock(keysMutex_);
            if (keys_.size() < keyBufferSize)
                keys_.push_back(key);
        });
        open_ = true;
    }

    void close()
    {
        if (!open_)
            return;
        if (fullscreen_) {
            // Leave no stale picture on any page.
            try {
                for (int i = 0; i < service_->pageCount(); ++i) {
                    clearPage();
                    service_->present();
                }
            } catch (const Error&) {
            }
        }
        open_ = false;
        service_->setKeyHandler(nullptr);
        service_->close();
        fullscreen_ = false;
        width_ = height_ = 0;
        format_ = Format();
    }

    void update()
    {
        if (open_ && !service_->present())
            throw Error(service_->lastError().c_str());
        std::this_thread::yield();
        service_->pumpMessages();
    }

    bool key()
    {
        std::lock_guard<std::mutex> lock(keysMutex_);
        return !keys_.empty();
    }

    int read()
    {
        for (;;) {
            {
                std::lock_guard<std::mutex> lock(keysMutex_);
                if (!keys_.empty()) {
                    int k = keys_.front();
                    keys_.pop_front();
                    return k;
                }
            }
            service_->waitMessages(10);
        }
    }

    bool option(const char* text)
    {
        if (text && std::string(text) == "multithreaded window") {
            // Recorded only: the display service keeps the window on the
            // thread that opened it, and the key buffer is locked anyway.
            multithreaded_ = true;
            return true;
        }
        return false;
    }

    // The page being drawn, locked. Throws the service's text on failure.
    PixelBlock lockPage()
    {
        int pagePitch = 0;
        void* pixels = open_ ? service_->lockPage(pagePitch) : nullptr;
        if (!pixels)
            throw Error(open_ ? service_->lastError().c_str() : "console is not open");
        return {pixels, width_, height_, pagePitch, format_, &palette_};
    }

    void unlockPage()
    {
        if (!open_ || !service_->unlockPage())
            throw Error(open_ ? service_->lastError().c_str() : "console is not open");
    }

    // Runs `work` on the locked page; any Error on the way unlocks the page
    // and comes back wrapped in `failure`.
    template <typename Work>
    void withPage(const char* failure, Work work)
    {
        bool locked = false;
        try {
            PixelBlock page = lockPage();
            locked = true;
            work(page);
            locked = false;
            unlockPage();
        } catch (const Error& inner) {
            if (locked)
                service_->unlockPage();
            throw Error(failure, inner);
        }
    }

    void setPalette(const Palette& palette)
    {
        palette_.load(palette.data());
        if (open_)
            service_->setPalette(palette_.data());
    }

    platform::DisplayService& service() { return *service_; }
    const platform::DisplayService& service() const { return *service_; }
    const Palette& palette() const { return palette_; }
    const Format& format() const { return format_; }
    int width() const { return width_; }
    int height() const { return height_; }
    int pitch() const { return width_ * format_.bytes(); } // pages have no gaps between rows
    bool fullscreen() const { return fullscreen_; }
    const std::string& fullscreenFailure() const { return fullscreenFailure_; }

private:
    void openFullscreen(const char* title, int width, int height, const Format& format)
    {
        if (!service_->openFullscreenWindow(title, width, height))
            throw Error("could not create window", Error(service_->lastError().c_str()));

        const DepthOrder* order = nullptr;
        for (const DepthOrder& o : depthOrders)
            if (o.bits == format.bits())
                order = &o;
        if (!order)
            throw Error("could not set display mode", Error("unsupported pixel format"));
        bool set = false;
        for (int i = 0; i < order->count && !set; ++i)
            set = service_->setMode(width, height, order->depths[i]);
        if (!set)
            throw Error("could not set display mode", Error(order->failure));

        // Three pages in video memory, else two of any kind.
        if (!service_->createPages(3, true) && !service_->createPages(2, false))
            throw Error("could not create primary surface", Error(service_->lastError().c_str()));

        takeFormat(width, height);
        fullscreen_ = true;
        open_ = true; // for the page operations below
        palette_ = Palette();
        service_->setPalette(palette_.data());
        try {
            for (int i = 0; i < service_->pageCount(); ++i) {
                clearPage();
                if (!service_->present())
                    throw Error(service_->lastError().c_str());
            }
        } catch (const Error&) {
            open_ = false;
            throw;
        }
        open_ = false;
    }

    void openWindowed(const char* title, int width, int height)
    {
        if (!service_->openWindow(title, width, height))
            throw Error("could not create window", Error(service_->lastError().c_str()));
        if (!service_->createPages(1, false))
            throw Error("could not create primary surface", Error(service_->lastError().c_str()));
        takeFormat(width, height);
        fullscreen_ = false;
        // Show the black page at once rather than whatever the window holds.
        if (!service_->present())
            throw Error(service_->lastError().c_str());
    }

    // The console's format is the display's.
    void takeFormat(int width, int height)
    {
        const platform::PixelLayout layout = service_->pageLayout();
        if (layout.kind == platform::PixelLayout::Kind::Palettised && layout.bits == 8)
            format_ = Format(8);
        else if (layout.kind == platform::PixelLayout::Kind::Rgb && layout.bits % 8 == 0 && layout.bits > 0 &&
                 layout.bits <= 32)
            format_ = Format(layout.bits, layout.r, layout.g, layout.b, 0);
        else
            throw Error("invalid pixel format");
        width_ = width;
        height_ = height;
    }

    void clearPage()
    {
        PixelBlock page = lockPage();
        fillPixels(page, Area(0, 0, width_, height_), Color(0.0f, 0.0f, 0.0f, 1.0f));
        unlockPage();
    }

    std::unique_ptr<platform::DisplayService> service_;
    ConverterHold converter_;
    bool open_ = false;
    bool fullscreen_ = false;
    bool multithreaded_ = false;
    int width_ = 0, height_ = 0;
    Format format_;
    Palette palette_;
    std::string fullscreenFailure_;
    std::mutex keysMutex_;
    std::deque<int> keys_;
};

Console::Console() : Console(platform::createDefaultDisplay()) {}

Console::Console(std::unique_ptr<platform::DisplayService> service)
    : impl_(std::make_unique<ConsoleDisplay>(std::move(service)))
{
}

Console::~Console() = default;

namespace {

PixelBlock given(const void* pixels, int width, int height, const Format& format, const Palette& palette)
{
    return {const_cast<void*>(pixels), width, height, width * format.bytes(), format, &palette};
}

} // namespace

void Console::copy(BaseSurface& surface, const Area& source, const Area& destination)
{
    impl_->withPage("failed to copy console area to surface area", [&](const PixelBlock& page) {
        surface.load(page.pixels, page.width, page.height, page.format, *page.palette, source, destination);
    });
}

void Console::copy(BaseSurface& surface)
{
    impl_->withPage("failed to copy console to surface", [&](const PixelBlock& page) {
        surface.load(page.pixels, page.width, page.height, page.format, *page.palette);
    });
}

void* Console::lock() { return impl_->lockPage().pixels; }

void Console::unlock() { impl_->unlockPage(); }

void Console::load(const void* pixels, int width, int height, const Format& format, const Palette& palette,
                   const Area& source, const Area& destination)
{
    impl_->withPage("failed to load pixels to console area", [&](const PixelBlock& page) {
        transferPixels(given(pixels, width, height, format, palette), source, page, destination);
    });
}

void Console::load(const void* pixels, int width, int height, const Format& format, const Palette& palette)
{
    impl_->withPage("failed to load pixels to console", [&](const PixelBlock& page) {
        transferPixels(given(pixels, width, height, format, palette), page);
    });
}

void Console::save(void* pixels, int width, int height, const Format& format, const Palette& palette,
                   const Area& source, const Area& destination)
{
    impl_->withPage("failed to save console area pixels", [&](const PixelBlock& page) {
        transferPixels(page, source, given(pixels, width, height, format, palette), destination);
    });
}

void Console::save(void* pixels, int width, int height, const Format& format, const Palette& palette)
{
    impl_->withPage("failed to save console pixels", [&](const PixelBlock& page) {
        transferPixels(page, given(pixels, width, height, format, palette));
    });
}

void Console::clear(const Color& color, const Area& area)
{
    impl_->withPage("failed to clear console area", [&](const PixelBlock& page) { fillPixels(page, area, color); });
}

void Console::clear(const Color& color)
{
    impl_->withPage("failed to clear console", [&](const PixelBlock& page) {
        fillPixels(page, Area(0, 0, page.width, page.height), color);
    });
}

const Palette& Console::palette() const { return impl_->palette(); }
void Console::palette(const Palette& palette) { impl_->setPalette(palette); }
int Console::width() const { return impl_->width(); }
int Console::height() const { return impl_->height(); }
int Console::pitch() const { return impl_->pitch(); }
const Format& Console::format() const { return impl_->format(); }

bool Console::option(const char* text) { return impl_->option(text); }

void Console::open(const char* title, int width, int height, const Format& format)
{
    impl_->open(title, width, height, format);
}

void Console::open(const char* title, const Format& format) { open(title, 640, 480, format); }

void Console::open(const char* title) { open(title, 640, 480, format32()); }

void Console::close() { impl_->close(); }
void Console::update() { impl_->update(); }
void Console::flush() { impl_->update(); }
bool Console::key() { return impl_->key(); }
int Console::read() { return impl_->read(); }
const char* Console::name() const { return impl_->service().name(); }
bool Console::fullscreen() const { return impl_->fullscreen(); }
std::string Console::fullscreenFailure() const { return impl_->fullscreenFailure(); }

} // namespace display
