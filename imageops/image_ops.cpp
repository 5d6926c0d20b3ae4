#include "imageops/image_ops.h"

#include "imageops/scale_table.h"

#include "console/surface_lock.h"

#include <algorithm>

namespace imageops {

namespace {

bool is32Bit(const display::Surface& surface) { return surface.format().bits() == 32; }

} // namespace

ImageOps::ImageOps(bool mmx) : mmx_(mmx)
{
    if (!mmx_) {
        scaleTable_.reset(new std::uint8_t[scaleTableSize]);
        buildScaleTable(scaleTable_.get());
    }
}

ImageOps::~ImageOps() = default;

void ImageOps::saturate(display::Surface& dst, display::Surface& src, int x, int y)
{
    const display::SurfaceLock srcLock(src);
    const display::SurfaceLock dstLock(dst, srcLock);
    std::uint32_t* srcPixels = srcLock.pixels();
    std::uint32_t* dstPixels = dstLock.pixels();

    // 64-bit positions: x + src width cannot overflow for any x.
    const long long dw = dst.width(), dh = dst.height();
    const long long sw = src.width(), sh = src.height();
    if (!srcPixels || !dstPixels || !is32Bit(dst) || !is32Bit(src))
        return;
    if (x > dw || y > dh || x + sw < 0 || y + sh < 0)
        return;

    const long long left = std::max(x, 0);
    const long long top = std::max(y, 0);
    const long long width = std::min(x + sw, dw) - left;
    const long long rows = std::min(y + sh, dh) - top;
    if (width <= 0 || rows <= 0)
        return;

    std::uint32_t* d = dstPixels + top * dw + left;
    const std::uint32_t* s = srcPixels + (top - y) * sw + (left - x);
    const int w = static_cast<int>(width), n = static_cast<int>(rows);
    const int dstSkip = static_cast<int>(dw - width), srcSkip = static_cast<int>(sw - width);
    if (mmx_)
        _saturatemmx(d, s, w, n, dstSkip, srcSkip);
    else
        _saturatenommx(d, s, w, n, dstSkip, srcSkip);
}

void ImageOps::fade2col(display::Surface& dst, display::Surface& src, std::uint32_t colour, int intensity)
{
    const display::SurfaceLock dstLock(dst);
    const display::SurfaceLock srcLock(src, dstLock);
    std::uint32_t* dstPixels = dstLock.pixels();
    const std::uint32_t* srcPixels = srcLock.pixels();
    if (!srcPixels || !dstPixels || !is32Bit(dst) || !is32Bit(src))
        return;

    // The run is src's pixel count; a smaller dst limits it so that nothing
    // is written past dst's pixels.
    const long long count = std::min(static_cast<long long>(src.width()) * src.height(),
                                     static_cast<long long>(dst.width()) * dst.height());
    const auto level = static_cast<std::uint16_t>(std::clamp(intensity, 0, 0xffff));
    if (mmx_)
        _fade2colmmx(dstPixels, srcPixels, colour, level, static_cast<int>(count));
    else
        _fade2colnommx(dstPixels, srcPixels, colour, level, static_cast<int>(count), scaleTable_.get());
}

} // namespace imageops
