// The console on the memory display service: full-screen depth orders, every
// fall-back to a window, the wrapping error texts, pages, keys and messages.
#include "console/converter.h"
#include "console/display.h"
#include "platform/display.h"
#include "tests/support/console_output.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using display::Area;
using display::Color;
using display::Console;
using display::Error;
using display::Format;
using display::Palette;
using display::Surface;
using platform::DisplayMode;
using platform::MemoryDisplay;
using platform::PixelLayout;

namespace {

const PixelLayout rgb32{PixelLayout::Kind::Rgb, 32, 0xff0000, 0xff00, 0xff};
const PixelLayout bgr24{PixelLayout::Kind::Rgb, 24, 0xff0000, 0xff00, 0xff};
const PixelLayout rgb565{PixelLayout::Kind::Rgb, 16, 0xf800, 0x7e0, 0x1f};
const PixelLayout palettised{PixelLayout::Kind::Palettised, 8, 0, 0, 0};

// A console on a memory display; `display` stays valid while the console lives.
struct Rig {
    MemoryDisplay* display;
    Console console;

    explicit Rig(MemoryDisplay::Config config) : Rig(std::make_unique<MemoryDisplay>(std::move(config))) {}
    explicit Rig(std::unique_ptr<MemoryDisplay> d) : display(d.get()), console(std::move(d)) {}

    std::vector<std::string> log() const { return display->log(); }
};

MemoryDisplay::Config withModes(std::vector<DisplayMode> modes)
{
    MemoryDisplay::Config config;
    config.modes = std::move(modes);
    return config;
}

using testing_support::errorText;

// Runs `action` with the engine's messages kept off the test's output.
template <typename F>
void quietly(F&& action)
{
    testing::internal::CaptureStdout();
    try {
        action();
    } catch (...) {
        testing::internal::GetCapturedStdout();
        throw;
    }
    testing::internal::GetCapturedStdout();
}

std::unique_ptr<Surface> frameOf(std::uint32_t colour, int width = 320, int height = 200)
{
    auto s = std::make_unique<Surface>(width, height, display::format32());
    auto* p = static_cast<std::uint32_t*>(s->lock());
    std::fill(p, p + width * height, colour);
    s->unlock();
    return s;
}

} // namespace

TEST(ConsoleFullscreen, ExactModeAtTheRequestedDepth)
{
    Rig rig(withModes({{640, 480, rgb32}, {320, 200, rgb565}, {320, 200, rgb32}}));
    rig.console.open("Tam+ulv = skit!", 320, 200, display::format32());
    EXPECT_TRUE(rig.console.fullscreen());
    EXPECT_EQ(rig.console.fullscreenFailure(), "");
    EXPECT_EQ(rig.display->title(), "Tam+ulv = skit!");
    EXPECT_EQ(rig.console.format(), display::format32());
    EXPECT_EQ(rig.console.width(), 320);
    EXPECT_EQ(rig.console.height(), 200);
    EXPECT_EQ(rig.console.pitch(), 1280);
    EXPECT_STREQ(rig.console.name(), "Memory");
    // Three pages, each cleared and flipped once.
    EXPECT_EQ(rig.log(), (std::vector<std::string>{"fullscreen window 320x200", "mode 320x200x32", "pages 3 video"}));
    EXPECT_EQ(rig.display->pageCount(), 3);
    EXPECT_EQ(rig.display->presents(), 3);
}

TEST(ConsoleFullscreen, DepthOrdersByRequestedBits)
{
    struct Case {
        Format format;
        std::vector<DisplayMode> modes;
        std::vector<std::string> tried;
    };
    const std::vector<Case> cases = {
        {display::format32(), {{320, 200, bgr24}, {320, 200, rgb565}}, {"mode 320x200x32 refused", "mode 320x200x24"}},
        {display::format32(), {{320, 200, rgb565}}, {"mode 320x200x32 refused", "mode 320x200x24 refused", "mode 320x200x16"}},
        {Format(16, 0xf800, 0x7e0, 0x1f), {{320, 200, rgb32}, {320, 200, bgr24}}, {"mode 320x200x16 refused", "mode 320x200x24"}},
        {Format(24, 0xff0000, 0xff00, 0xff), {{320, 200, rgb565}}, {"mode 320x200x24 refused", "mode 320x200x32 refused", "mode 320x200x16"}},
        {Format(8), {{320, 200, rgb565}}, {"mode 320x200x8 refused", "mode 320x200x32 refused", "mode 320x200x24 refused", "mode 320x200x16"}},
    };
    for (const Case& c : cases) {
        Rig rig(withModes(c.modes));
        rig.console.open("t", 320, 200, c.format);
        SCOPED_TRACE(c.format.bits());
        EXPECT_TRUE(rig.console.fullscreen());
        std::vector<std::string> modeLines;
        for (const std::string& line : rig.log())
            if (line.rfind("mode ", 0) == 0)
                modeLines.push_back(line);
        EXPECT_EQ(modeLines, c.tried);
    }
}

TEST(ConsoleFullscreen, ConsoleFormatIsTheDisplaysAndPicturesAreConverted)
{
    Rig rig(withModes({{320, 200, rgb565}}));
    rig.console.open("t", 320, 200, display::format32());
    EXPECT_EQ(rig.console.format(), Format(16, 0xf800, 0x7e0, 0x1f));
    auto frame = frameOf(0x00ff8040);
    quietly([&] { frame->copy(rig.console); });
    rig.console.update();
    const auto* shown = reinterpret_cast<const std::uint16_t*>(rig.display->shownPage());
    EXPECT_EQ(shown[0], 0xfc08);
    EXPECT_EQ(shown[320 * 200 - 1], 0xfc08);
}

TEST(ConsoleFullscreen, PageChainFallsBackToTwoPagesThenToAWindow)
{
    MemoryDisplay::Config noVideo = withModes({{320, 200, rgb32}});
    noVideo.videoMemory = false;
    Rig two(noVideo);
    two.console.open("t", 320, 200, display::format32());
    EXPECT_TRUE(two.console.fullscreen());
    EXPECT_EQ(two.display->pageCount(), 2);
    EXPECT_EQ(two.log()[2], "pages 3 video refused");
    EXPECT_EQ(two.log()[3], "pages 2");

    MemoryDisplay::Config onePage = noVideo;
    onePage.maxPages = 1;
    Rig none(onePage);
    none.console.open("t", 320, 200, display::format32());
    EXPECT_FALSE(none.console.fullscreen());
    EXPECT_EQ(none.console.fullscreenFailure(), "could not create primary surface\ncannot create 2 pages");
    EXPECT_EQ(none.display->pageCount(), 1);
}

TEST(ConsoleFallback, NoModeOpensAWindowInTheDesktopFormat)
{
    MemoryDisplay::Config config = withModes({{640, 480, rgb32}, {320, 240, rgb32}});
    config.desktop = bgr24;
    Rig rig(config);
    rig.console.open("Tam+ulv = skit!", 320, 200, display::format32());
    EXPECT_FALSE(rig.console.fullscreen());
    EXPECT_EQ(rig.console.fullscreenFailure(), "could not set display mode\ncould not set virtual 32bit mode");
    EXPECT_EQ(rig.console.format(), Format(24, 0xff0000, 0xff00, 0xff));
    EXPECT_EQ(rig.console.width(), 320);
    EXPECT_EQ(rig.console.height(), 200);
    EXPECT_EQ(rig.display->pageCount(), 1);
    const std::vector<std::string> expected = {"fullscreen window 320x200", "mode 320x200x32 refused",
                                               "mode 320x200x24 refused",   "mode 320x200x16 refused",
                                               "close",                     "window 320x200",
                                               "pages 1"};
    EXPECT_EQ(rig.log(), expected);

    auto frame = frameOf(0x00112233);
    quietly([&] { frame->copy(rig.console); });
    rig.console.update();
    const std::uint8_t* shown = rig.display->shownPage();
    EXPECT_EQ(shown[0], 0x33);
    EXPECT_EQ(shown[1], 0x22);
    EXPECT_EQ(shown[2], 0x11);
}

TEST(ConsoleFallback, EveryFullscreenFailureEndsInAWindow)
{
    struct Case {
        const char* what;
        MemoryDisplay::Config config;
        Format format;
        std::string failure;
    };
    MemoryDisplay::Config noWindow = withModes({{320, 200, rgb32}});
    noWindow.failFullscreenWindow = true;
    MemoryDisplay::Config odd = withModes({{320, 200, {PixelLayout::Kind::Other, 32, 0, 0, 0}}});
    MemoryDisplay::Config badPresent = withModes({{320, 200, rgb32}});
    const std::vector<Case> cases = {
        {"no full-screen window", noWindow, display::format32(), "could not create window\nno full-screen window"},
        {"display of another kind", odd, display::format32(), "invalid pixel format"},
        {"requested format without depth order", withModes({{320, 200, rgb32}}), Format(),
         "could not set display mode\nunsupported pixel format"},
        {"no 16-bit order match", withModes({{320, 200, {PixelLayout::Kind::Rgb, 8, 0xe0, 0x1c, 0x3}}}),
         Format(16, 0xf800, 0x7e0, 0x1f), "could not set display mode\ncould not set virtual 16bit mode"},
        {"no 24-bit order match", withModes({}), Format(24, 0xff0000, 0xff00, 0xff),
         "could not set display mode\ncould not set virtual 24bit mode"},
        {"no 8-bit order match", withModes({}), Format(8), "could not set display mode\ncould not set virtual 8bit mode"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig(c.config);
        rig.console.open("t", 320, 200, c.format);
        EXPECT_FALSE(rig.console.fullscreen());
        EXPECT_TRUE(rig.display->windowOpen());
        EXPECT_EQ(rig.console.fullscreenFailure(), c.failure);
    }
}

TEST(ConsoleFallback, WindowFailureIsThrown)
{
    MemoryDisplay::Config config;
    config.failWindow = true;
    Rig rig(config);
    EXPECT_EQ(errorText([&] { rig.console.open("t", 320, 200, display::format32()); }),
              "could not create window\nno window");
    EXPECT_FALSE(rig.display->windowOpen());
    EXPECT_EQ(rig.console.width(), 0);
}

TEST(ConsoleFallback, PalettisedDesktopOpensButCannotTake32BitPictures)
{
    MemoryDisplay::Config config;
    config.desktop = palettised;
    Rig rig(config);
    rig.console.open("t", 320, 200, display::format32());
    EXPECT_EQ(rig.console.format(), Format(8));
    auto frame = frameOf(0x00ffffff);
    EXPECT_EQ(errorText([&] { frame->copy(rig.console); }),
              "failed to load pixels to console\nunsupported pixel format conversion");
    // The page was unlocked again on the way out.
    EXPECT_NO_THROW(rig.console.lock());
    rig.console.unlock();
}

TEST(ConsoleFallback, TwentyFourBitDesktopWithOtherMasksIsRefused)
{
    MemoryDisplay::Config config;
    config.desktop = {PixelLayout::Kind::Rgb, 24, 0xff00, 0xff0000, 0xff};
    Rig rig(config);
    rig.console.open("t", 320, 200, display::format32());
    auto frame = frameOf(0);
    EXPECT_EQ(errorText([&] { quietly([&] { frame->copy(rig.console); }); }),
              "failed to load pixels to console\nunsupported pixel format conversion");
}

TEST(ConsoleTransfers, WrapTheirErrors)
{
    Rig rig(withModes({{320, 240, rgb32}}));
    rig.console.open("t", 320, 240, display::format32());
    ASSERT_TRUE(rig.console.fullscreen());
    auto frame = frameOf(0x00ff0000);
    Surface small(10, 10, display::format32());
    Surface indexed(320, 240, Format(8));
    std::uint32_t pixels[4] = {};
    const Palette palette;
    quietly([&] {
        EXPECT_EQ(errorText([&] { frame->copy(rig.console); }),
                  "failed to load pixels to console\nstretching is not implemented");
        EXPECT_EQ(errorText([&] {
                      rig.console.load(pixels, 2, 2, display::format32(), palette, Area(0, 0, 2, 2), Area(0, 0, 1, 1));
                  }),
                  "failed to load pixels to console area\nstretching is not implemented");
        EXPECT_EQ(errorText([&] { rig.console.copy(small); }), "failed to copy console to surface\nstretching is not implemented");
        EXPECT_EQ(errorText([&] { rig.console.copy(indexed, Area(0, 0, 5, 5), Area(0, 0, 5, 5)); }),
                  "failed to copy console area to surface area\nunsupported pixel format conversion");
        EXPECT_EQ(errorText([&] { rig.console.save(pixels, 2, 2, display::format32(), palette); }),
                  "failed to save console pixels\nstretching is not implemented");
        EXPECT_EQ(errorText([&] {
                      rig.console.save(pixels, 2, 2, Format(8), palette, Area(0, 0, 2, 2), Area(0, 0, 2, 2));
                  }),
                  "failed to save console area pixels\nunsupported pixel format conversion");
    });
    void* page = rig.console.lock();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(errorText([&] { rig.console.clear(Color(0, 0, 0)); }), "failed to clear console\npage is already locked");
    EXPECT_EQ(errorText([&] { rig.console.clear(Color(0, 0, 0), Area(0, 0, 1, 1)); }),
              "failed to clear console area\npage is already locked");
    EXPECT_EQ(errorText([&] { rig.console.lock(); }), "page is already locked");
    rig.console.unlock();
    EXPECT_EQ(errorText([&] { rig.console.unlock(); }), "page is not locked");

    Console closed(std::make_unique<MemoryDisplay>());
    EXPECT_EQ(errorText([&] { quietly([&] { frame->copy(closed); }); }), "failed to load pixels to console\nconsole is not open");
}

TEST(ConsoleTransfers, AreasAndCopiesBackToSurfaces)
{
    Rig rig(MemoryDisplay::Config{});
    rig.console.open("t", 4, 4, display::format32());
    quietly([&] {
        rig.console.clear(Color(0.0f, 0.0f, 1.0f));
        rig.console.clear(Color(1.0f, 0.0f, 0.0f), Area(1, 1, 3, 3));
        std::uint32_t two[2] = {0x00111111, 0x00222222};
        rig.console.load(two, 2, 1, display::format32(), Palette(), Area(0, 0, 2, 1), Area(2, 3, 9, 9));
        Surface back(4, 4, display::format32());
        rig.console.copy(back);
        auto* p = static_cast<std::uint32_t*>(back.lock());
        const std::uint32_t expected[16] = {0xff, 0xff,       0xff,       0xff,       0xff, 0xff0000, 0xff0000, 0xff,
                                            0xff, 0xff0000, 0xff0000, 0xff, 0xff, 0xff,       0x111111, 0x222222};
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(p[i], expected[i]) << i;
        back.unlock();
        std::uint32_t corner = 0;
        rig.console.save(&corner, 1, 1, display::format32(), Palette(), Area(3, 3, 4, 4), Area(0, 0, 1, 1));
        EXPECT_EQ(corner, 0x222222u);
    });
}

TEST(ConsoleFrame, UpdatePresentsThePageJustDrawnAndPumps)
{
    Rig rig(withModes({{320, 200, rgb32}}));
    rig.console.open("t", 320, 200, display::format32());
    const int presents = rig.display->presents();
    const int pumps = rig.display->pumps();
    for (std::uint32_t colour : {0x00010203u, 0x00040506u, 0x00070809u, 0x000a0b0cu}) {
        auto frame = frameOf(colour);
        quietly([&] { frame->copy(rig.console); });
        rig.console.update();
        EXPECT_EQ(*reinterpret_cast<const std::uint32_t*>(rig.display->shownPage()), colour);
    }
    rig.console.flush();
    EXPECT_EQ(rig.display->presents(), presents + 5);
    EXPECT_EQ(rig.display->pumps(), pumps + 5);
}

TEST(ConsoleFrame, PresentFailureIsThrown)
{
    auto failing = std::make_unique<MemoryDisplay>(MemoryDisplay::Config{{}, rgb32, 3, true, false, false, true});
    MemoryDisplay* raw = failing.get();
    Console console(std::move(failing));
    EXPECT_EQ(errorText([&] { console.open("t", 8, 8, display::format32()); }), "present failed");
    EXPECT_FALSE(raw->windowOpen());
}

TEST(ConsoleClose, FullscreenClearsEveryPageAndRestores)
{
    Rig rig(withModes({{320, 200, rgb32}}));
    rig.console.open("t", 320, 200, display::format32());
    auto frame = frameOf(0x00ffffff);
    quietly([&] { frame->copy(rig.console); });
    rig.console.update();
    const int presents = rig.display->presents();
    rig.console.close();
    EXPECT_EQ(rig.display->presents(), presents + 3);
    EXPECT_FALSE(rig.display->windowOpen());
    EXPECT_EQ(rig.log().back(), "close");
    EXPECT_EQ(rig.console.width(), 0);
    rig.console.close(); // harmless twice
    // Reopening works.
    rig.console.open("again", 320, 200, display::format32());
    EXPECT_TRUE(rig.console.fullscreen());
}

TEST(ConsoleKeys, KeyDownsAreBufferedInOrder)
{
    Rig rig(MemoryDisplay::Config{});
    rig.console.open("t", 8, 8, display::format32());
    EXPECT_FALSE(rig.console.key());
    rig.display->pressKey('A');
    rig.display->pressKey(27);
    EXPECT_FALSE(rig.console.key()); // not before the messages are processed
    rig.console.update();
    EXPECT_TRUE(rig.console.key());
    EXPECT_EQ(rig.console.read(), 'A');
    EXPECT_EQ(rig.console.read(), 27);
    EXPECT_FALSE(rig.console.key());
    // read waits, processing messages, until a key comes.
    rig.display->pressKey('Q');
    EXPECT_EQ(rig.console.read(), 'Q');
}

TEST(ConsoleKeys, BufferKeepsTheFirst256Presses)
{
    Rig rig(MemoryDisplay::Config{});
    rig.console.open("t", 8, 8, display::format32());
    for (int i = 0; i < 300; ++i)
        rig.display->pressKey(i);
    rig.console.update();
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(rig.console.read(), i);
    EXPECT_FALSE(rig.console.key());
}

TEST(ConsoleOptions, OnlyMultithreadedWindowIsKnown)
{
    Console console(std::make_unique<MemoryDisplay>());
    EXPECT_TRUE(console.option("multithreaded window"));
    EXPECT_FALSE(console.option("Multithreaded Window"));
    EXPECT_FALSE(console.option(""));
    EXPECT_FALSE(console.option(nullptr));
}

TEST(ConsoleOpen, ShortFormsUse640x480)
{
    Rig rig(withModes({{640, 480, rgb565}}));
    rig.console.open("t");
    EXPECT_TRUE(rig.console.fullscreen());
    EXPECT_EQ(rig.console.width(), 640);
    EXPECT_EQ(rig.console.height(), 480);
    EXPECT_EQ(rig.log()[3], "mode 640x480x16");
    rig.console.open("t", Format(16, 0xf800, 0x7e0, 0x1f));
    EXPECT_EQ(rig.log()[rig.log().size() - 2], "mode 640x480x16");
}

TEST(ConsoleDeathTest, ClosingTheWindowEndsTheProcessWithZero)
{
    EXPECT_EXIT(
        {
            Rig rig(MemoryDisplay::Config{});
            rig.console.open("t", 8, 8, display::format32());
            rig.display->requestClose();
            rig.console.update();
            std::exit(3); // not reached
        },
        testing::ExitedWithCode(0), "");
}

TEST(ConsoleReferences, ConsoleHoldsTheEngine)
{
    ASSERT_EQ(display::Converter::references(), 0);
    testing::internal::CaptureStdout();
    {
        Console console(std::make_unique<MemoryDisplay>());
        EXPECT_EQ(display::Converter::references(), 1);
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Converter initialising: 1\nConverter shutting down\n");
}
