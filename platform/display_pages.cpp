#include "platform/display.h"

namespace platform {

void PageSet::create(int count, int width, int height, int bytesPerPixel)
{
    release();
    width_ = width;
    height_ = height;
    pitch_ = width * bytesPerPixel;
    pages_.assign(static_cast<std::size_t>(count),
                  std::vector<std::uint8_t>(static_cast<std::size_t>(pitch_) * static_cast<std::size_t>(height), 0));
    shown_ = 0;
    drawn_ = count > 1 ? 1 : 0;
}

void PageSet::release()
{
    pages_.clear();
    width_ = height_ = pitch_ = 0;
    shown_ = drawn_ = 0;
    locked_ = false;
}

std::uint8_t* PageSet::lock()
{
    if (pages_.empty() || locked_)
        return nullptr;
    locked_ = true;
    return pages_[drawn_].data();
}

bool PageSet::unlock()
{
    if (!locked_)
        return false;
    locked_ = false;
    return true;
}

void* PageSet::lockPage(int& pitch, std::string& error)
{
    std::uint8_t* page = lock();
    if (!page) {
        error = count() ? "page is already locked" : "no pages";
        return nullptr;
    }
    pitch = pitch_;
    return page;
}

bool PageSet::unlockPage(std::string& error)
{
    if (!unlock()) {
        error = "page is not locked";
        return false;
    }
    return true;
}

void PageSet::flip()
{
    if (pages_.empty())
        return;
    shown_ = drawn_;
    drawn_ = (drawn_ + 1) % count();
}

} // namespace platform
