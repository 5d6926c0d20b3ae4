#pragma once
// Looking at the program's own windows from outside, as a test does: the
// pixels on show in a window's client area, read back through GDI, and key
// presses posted to it.
#include <cstdint>
#include <string>
#include <vector>

namespace platform::win32 {

// The client area of the visible top-level window with this title as
// 0x00RRGGBB pixels, row after row; empty (and 0 x 0) when there is none.
std::vector<std::uint32_t> windowClientPixels(const std::string& title, int& width, int& height);

// Posts a key-down message with the virtual-key code to that window; false
// when there is no such window.
bool postKeyDown(const std::string& title, int virtualKey);

// The same with Alt held (a system key-down message, as Alt+Enter sends).
bool postAltKeyDown(const std::string& title, int virtualKey);

} // namespace platform::win32
