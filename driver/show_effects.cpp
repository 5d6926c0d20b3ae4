#include "driver/show_effects.h"

#include "driver/compositing.h"

namespace driver {

namespace {

std::array<std::unique_ptr<display::Surface>, overlayCount> loadOverlays()
{
    std::array<std::unique_ptr<display::Surface>, overlayCount> images;
    for (int i = 0; i < overlayCount; ++i)
        images[static_cast<std::size_t>(i)] = std::make_unique<display::Surface>(overlayPaths[i]);
    return images;
}

} // namespace

ShowEffects::ShowEffects(int hasMMX)
    : imageOps_(hasMMX != 0), circle_("data/circle.tga"), overlays_(loadOverlays()), objects_(0), studio_(),
      grid_(41, 26, 8, 8), tunnel_(10, 320, 200, 10.0f)
{
}

void ShowEffects::blitKeyed(display::Surface& image, display::Surface& frame, int x, int y)
{
    driver::blitKeyed(image, frame, x, y);
}

void ShowEffects::copyPicture(display::Surface& image, display::Surface& frame)
{
    driver::copyPicture(image, frame);
}

void ShowEffects::beatZoomFiltered(display::Surface& destination, display::Surface& source, float f)
{
    driver::beatZoomFiltered(destination, source, f);
}

void ShowEffects::beatZoomNearest(display::Surface& destination, display::Surface& source, float f)
{
    driver::beatZoomNearest(destination, source, f);
}

void ShowEffects::quarterTileCopy(display::Surface& destination, display::Surface& source)
{
    driver::quarterTileCopy(destination, source);
}

} // namespace driver
