// The frame loop's screen on a console over the memory display service.
#include "driver/console_screen.h"
#include "driver/frame_loop.h"

#include "platform/display.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::unique_ptr<display::Console> memoryConsole(platform::MemoryDisplay*& display, platform::MemoryDisplay::Config config = {})
{
    auto service = std::make_unique<platform::MemoryDisplay>(std::move(config));
    display = service.get();
    return std::make_unique<display::Console>(std::move(service));
}

TEST(ConsoleScreen, OpensWithTheTitleAndPresentsTheFrame)
{
    platform::MemoryDisplay* display = nullptr;
    driver::ConsoleScreen screen(driver::windowTitle, 320, 200, display::format32(), memoryConsole(display));
    EXPECT_EQ(display->title(), "Tam+ulv = skit!");
    EXPECT_TRUE(display->windowOpen()); // no 320x200 mode: a window

    display::Surface frame(320, 200, display::format32());
    auto* p = static_cast<std::uint32_t*>(frame.lock());
    p[0] = 0x00112233;
    p[320 * 200 - 1] = 0x00abcdef;
    frame.unlock();
    int before = display->presents();
    screen.present(frame);
    EXPECT_EQ(display->presents(), before + 1);
    const std::uint8_t* page = display->shownPage();
    ASSERT_NE(page, nullptr);
    std::uint32_t first, last;
    std::memcpy(&first, page, 4);
    std::memcpy(&last, page + display->pagePitch() * 199 + 319 * 4, 4);
    EXPECT_EQ(first & 0xffffff, 0x112233u);
    EXPECT_EQ(last & 0xffffff, 0xabcdefu);
}

TEST(ConsoleScreen, FailedOpenThrowsTheConsolesError)
{
    platform::MemoryDisplay::Config config;
    config.failWindow = true; // no full-screen mode and no window either
    platform::MemoryDisplay* display = nullptr;
    try {
        driver::ConsoleScreen screen("t", 320, 200, display::format32(), memoryConsole(display, config));
        FAIL() << "opened";
    } catch (const display::Error& e) {
        EXPECT_NE(std::string(e.message()).find("could not create window"), std::string::npos) << e.message();
    }
}

} // namespace
