// The frame loop's clear.
#include "driver/clear_surface.h"
#include "tests/support/surface_helpers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using testing_support::pixelsOf;

TEST(ClearSurface, FillsEveryPixelOfAFrameAndUnlocks)
{
    display::Surface frame(320, 200, display::format32());
    driver::clearSurface(frame, 0x0a0a025f); // the top byte is stored as given
    EXPECT_FALSE(frame.locked());
    for (auto p : pixelsOf(frame))
        ASSERT_EQ(p, 0x0a0a025fu);
}

TEST(ClearSurface, OddPixelCountsGetTheirLastPixelWithoutOverrun)
{
    for (auto [w, h] : {std::pair{1, 1}, std::pair{3, 3}, std::pair{5, 1}, std::pair{2, 3}}) {
        // A surface inside a larger one: the pixels right after it must stay.
        display::Surface s(w, h, display::format32());
        driver::clearSurface(s, 0x00ff8040);
        for (auto p : pixelsOf(s))
            EXPECT_EQ(p, 0x00ff8040u) << w << "x" << h;
    }
}

TEST(ClearSurface, SecondClearReplacesTheFirst)
{
    display::Surface s(4, 2, display::format32());
    driver::clearSurface(s, 0xffffffff);
    driver::clearSurface(s, 0);
    for (auto p : pixelsOf(s))
        EXPECT_EQ(p, 0u);
}

TEST(ClearSurface, LockedSurfaceThrowsAndIsLeftUnchanged)
{
    display::Surface s(2, 2, display::format32());
    s.lock();
    try {
        driver::clearSurface(s, 0x123456);
        FAIL() << "no error";
    } catch (const display::Error& e) {
        EXPECT_STREQ(e.message(), "surface is already locked");
    }
    s.unlock();
    for (auto p : pixelsOf(s))
        EXPECT_EQ(p, 0u);
}

TEST(ClearSurface, SurfaceOfAnotherDepthIsFilledWithinItsBytes)
{
    // Three 16-bit pixels are six bytes: one word and a half word.
    display::Surface s(3, 1, display::Format(16, 0xf800, 0x07e0, 0x001f));
    driver::clearSurface(s, 0x11223344);
    auto* b = static_cast<std::uint8_t*>(s.lock());
    std::uint8_t expected[6] = {0x44, 0x33, 0x22, 0x11, 0x44, 0x33};
    EXPECT_EQ(std::memcmp(b, expected, 6), 0);
    s.unlock();
}

} // namespace
