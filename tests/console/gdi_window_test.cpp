// The Windows display service in a real window (under Wine in Xvfb for the
// tests): what it presents is read back through GDI and compared with the
// page; keys reach the key handler, F11 belongs to the window.
#include "platform/display.h"
#include "platform/win32/window_probe.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

constexpr char kTitle[] = "GDI display test";

std::uint32_t pattern(int x, int y) { return static_cast<std::uint32_t>((x * 0x010203 + y * 0x030100) & 0xffffff); }

class GdiWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(display_->openWindow(kTitle, 320, 200)) << display_->lastError();
        ASSERT_TRUE(display_->createPages(2, false)) << display_->lastError();
        ASSERT_EQ(display_->pageLayout(), platform::rgb32Layout());
        int pitch = 0;
        auto* page = static_cast<std::uint8_t*>(display_->lockPage(pitch));
        ASSERT_NE(page, nullptr);
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 320; ++x)
                reinterpret_cast<std::uint32_t*>(page + y * pitch)[x] = pattern(x, y);
        ASSERT_TRUE(display_->unlockPage());
        ASSERT_TRUE(display_->present()) << display_->lastError();
        display_->pumpMessages();
    }

    std::unique_ptr<platform::DisplayService> display_ = platform::createDefaultDisplay();
};

TEST_F(GdiWindow, PresentedPixelsAreThePage)
{
    int w = 0, h = 0;
    const std::vector<std::uint32_t> shown = platform::win32::windowClientPixels(kTitle, w, h);
    ASSERT_EQ(w, 320);
    ASSERT_EQ(h, 200);
    int wrong = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x)
            wrong += shown[static_cast<std::size_t>(y) * 320 + static_cast<std::size_t>(x)] != pattern(x, y);
    EXPECT_EQ(wrong, 0);
}

TEST_F(GdiWindow, KeysReachTheHandlerButF11FillsTheScreenWithTheAspectKept)
{
    std::vector<int> keys;
    display_->setKeyHandler([&](int key) { keys.push_back(key); });
    ASSERT_TRUE(platform::win32::postKeyDown(kTitle, 'A'));
    ASSERT_TRUE(platform::win32::postKeyDown(kTitle, 0x7a)); // F11
    ASSERT_TRUE(platform::win32::postKeyDown(kTitle, 0x1b)); // Escape
    display_->waitMessages(100);
    display_->pumpMessages();
    EXPECT_EQ(keys, (std::vector<int>{'A', 0x1b}));

    ASSERT_TRUE(display_->present()); // the other page: black
    ASSERT_TRUE(display_->present()); // the pattern again, at the window's new size
    int w = 0, h = 0;
    const std::vector<std::uint32_t> shown = platform::win32::windowClientPixels(kTitle, w, h);
    ASSERT_GT(w, 320);
    auto at = [&](int x, int y) { return shown[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + x]; };
    // Black bars on the two sides that are too long for 320:200.
    if (w * 200 > h * 320)
        EXPECT_EQ(at(0, h / 2), 0u);
    else
        EXPECT_EQ(at(w / 2, 0), 0u);
    // The centre of the window shows the centre of the page.
    bool centre = false;
    for (int y = 99; y <= 101; ++y)
        for (int x = 159; x <= 161; ++x)
            centre = centre || at(w / 2, h / 2) == pattern(x, y);
    EXPECT_TRUE(centre) << std::hex << at(w / 2, h / 2);
}

TEST_F(GdiWindow, AltEnterTogglesFullScreenAndBack)
{
    int w = 0, h = 0;
    auto shownWidth = [&] {
        display_->waitMessages(100);
        display_->pumpMessages();
        EXPECT_TRUE(display_->present());
        platform::win32::windowClientPixels(kTitle, w, h);
        return w;
    };
    ASSERT_TRUE(platform::win32::postAltKeyDown(kTitle, 0x0d)); // Alt+Enter
    EXPECT_GT(shownWidth(), 320);
    ASSERT_TRUE(platform::win32::postAltKeyDown(kTitle, 0x0d));
    EXPECT_EQ(shownWidth(), 320);
    EXPECT_EQ(h, 200);
}

} // namespace
