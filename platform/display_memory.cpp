#include "platform/display.h"

#include "platform/message_box.h"

#include <string>

namespace platform {

namespace {

std::string size(int width, int height) { return std::to_string(width) + "x" + std::to_string(height); }

} // namespace

bool MemoryDisplay::openFullscreenWindow(const char* title, int width, int height)
{
    if (config_.failFullscreenWindow) {
        error_ = "no full-screen window";
        log_.push_back("fullscreen window " + size(width, height) + " refused");
        return false;
    }
    title_ = title ? title : "";
    width_ = width;
    height_ = height;
    windowOpen_ = true;
    log_.push_back("fullscreen window " + size(width, height));
    return true;
}

bool MemoryDisplay::setMode(int width, int height, int bits)
{
    std::string line = "mode " + size(width, height) + "x" + std::to_string(bits);
    for (const DisplayMode& mode : config_.modes) {
        if (mode.width == width && mode.height == height && mode.layout.bits == bits) {
            fullscreen_ = true;
            width_ = width;
            height_ = height;
            pageLayout_ = mode.layout;
            log_.push_back(line);
            return true;
        }
    }
    error_ = "no display mode " + size(width, height) + " at " + std::to_string(bits) + " bits";
    log_.push_back(line + " refused");
    return false;
}

bool MemoryDisplay::openWindow(const char* title, int width, int height)
{
    if (config_.failWindow) {
        error_ = "no window";
        log_.push_back("window " + size(width, height) + " refused");
        return false;
    }
    title_ = title ? title : "";
    width_ = width;
    height_ = height;
    windowOpen_ = true;
    fullscreen_ = false;
    pageLayout_ = config_.desktop;
    log_.push_back("window " + size(width, height));
    return true;
}

bool MemoryDisplay::createPages(int count, bool preferVideoMemory)
{
    std::string line = "pages " + std::to_string(count) + (preferVideoMemory ? " video" : "");
    if (!windowOpen_ || count < 1 || count > 3 || count > config_.maxPages ||
        (preferVideoMemory && !config_.videoMemory) || pageLayout_.bits < 8) {
        error_ = "cannot create " + std::to_string(count) + " pages";
        log_.push_back(line + " refused");
        return false;
    }
    pages_.create(count, width_, height_, pageLayout_.bits / 8);
    if (pageLayout_.kind == PixelLayout::Kind::Palettised)
        palette_.assign(256, 0);
    else
        palette_.clear();
    log_.push_back(line);
    return true;
}

void* MemoryDisplay::lockPage(int& pitch) { return pages_.lockPage(pitch, error_); }

bool MemoryDisplay::unlockPage() { return pages_.unlockPage(error_); }

bool MemoryDisplay::present()
{
    if (config_.failPresent) {
        error_ = "present failed";
        return false;
    }
    pages_.flip();
    ++presents_;
    return true;
}

void MemoryDisplay::setPalette(const std::uint32_t* entries)
{
    if (!palette_.empty())
        palette_.assign(entries, entries + 256);
}

void MemoryDisplay::pumpMessages()
{
    ++pumps_;
    if (closeRequested_)
        fatalExit(0);
    std::vector<int> keys;
    keys.swap(pendingKeys_);
    for (int key : keys)
        if (keyHandler_)
            keyHandler_(key);
}

void MemoryDisplay::waitMessages(int) { pumpMessages(); }

void MemoryDisplay::close()
{
    if (windowOpen_ || pages_.count())
        log_.push_back("close");
    pages_.release();
    palette_.clear();
    windowOpen_ = false;
    fullscreen_ = false;
}

} // namespace platform
