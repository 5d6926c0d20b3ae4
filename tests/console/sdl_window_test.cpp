// The console on the real SDL2 display service, in an X window (the test
// command runs the suites under Xvfb). Skipped without an X display.
#include "console/display.h"
#include "platform/child_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

using display::Console;
using display::Surface;

namespace {

std::string run(const std::string& command)
{
    return platform::runCapturingOutput(command).output;
}

// The X client libraries that SDL loads and unloads again keep a few blocks
// for the life of the process; with the library gone, the leak checker cannot
// name it for a suppression. What they allocate while the window is open is
// not ours to check.
struct SystemLibraryAllocations {
#if defined(__SANITIZE_ADDRESS__)
    SystemLibraryAllocations() { __lsan_disable(); }
    ~SystemLibraryAllocations() { __lsan_enable(); }
#endif
};

bool haveDisplay()
{
    const char* display = std::getenv("DISPLAY");
    return display && *display;
}

} // namespace

TEST(SdlConsole, OpensAWindowTakesAFrameAndPresentsIt)
{
    if (!haveDisplay())
        GTEST_SKIP() << "no X display (the test command runs the suites under xvfb-run)";
    testing::internal::CaptureStdout();
    [[maybe_unused]] SystemLibraryAllocations ignored;
    Console console;
    EXPECT_STREQ(console.name(), "SDL2");
    console.open("Tam+ulv = skit!", 320, 200, display::format32());
    EXPECT_EQ(console.width(), 320);
    EXPECT_EQ(console.height(), 200);
    if (!console.fullscreen()) {
        EXPECT_NE(console.fullscreenFailure(), "");
    }

    Surface frame(320, 200, display::format32());
    auto* p = static_cast<std::uint32_t*>(frame.lock());
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x)
            p[y * 320 + x] = static_cast<std::uint32_t>(x << 16 | y << 8 | (x ^ y)) & 0xffffff;
    frame.unlock();
    for (int i = 0; i < 3; ++i) {
        frame.copy(console);
        console.update();
    }

    // What the console holds is the frame in the console's format.
    if (console.format() == display::format32()) {
        Surface back(320, 200, display::format32());
        console.copy(back);
        auto* b = static_cast<std::uint32_t*>(back.lock());
        auto* f = static_cast<std::uint32_t*>(frame.lock());
        EXPECT_EQ(std::memcmp(b, f, 320 * 200 * 4), 0);
        back.unlock();
        frame.unlock();
    }

    // The window exists under its title with a 320x200 client area.
    if (!console.fullscreen()) {
        std::string id = run("xdotool search --name '^Tam\\+ulv = skit!$' 2>/dev/null | head -1");
        ASSERT_FALSE(id.empty()) << "no window with the demo's title";
        id.erase(id.find_last_not_of("\n") + 1);
        std::string geometry = run("xdotool getwindowgeometry " + id);
        EXPECT_NE(geometry.find("Geometry: 320x200"), std::string::npos) << geometry;

        // A key pressed in the window reaches the key buffer through update().
        run("xdotool windowfocus --sync " + id + " 2>/dev/null; xdotool key --window " + id + " a");
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (!console.key() && std::chrono::steady_clock::now() < until) {
            frame.copy(console);
            console.update();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_TRUE(console.key());
        EXPECT_EQ(console.read(), 'A');

        // F11 belongs to the window (full desktop and back, which needs a
        // window manager to be seen): the program never gets the key.
        run("xdotool key --window " + id + " F11 F11 b");
        until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (!console.key() && std::chrono::steady_clock::now() < until) {
            frame.copy(console);
            console.update();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_TRUE(console.key());
        EXPECT_EQ(console.read(), 'B');
        EXPECT_FALSE(console.key());
    }
    console.close();
    testing::internal::GetCapturedStdout();
}
