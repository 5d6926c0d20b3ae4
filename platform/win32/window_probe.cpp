#include "platform/win32/window_probe.h"
#include "platform/win32/wide_text.h"

#include <windows.h>

#include <cstring>

namespace platform::win32 {

namespace {

HWND findWindow(const std::string& title) { return FindWindowW(nullptr, widened(title).c_str()); }

} // namespace

std::vector<std::uint32_t> windowClientPixels(const std::string& title, int& width, int& height)
{
    width = height = 0;
    HWND window = findWindow(title);
    RECT client;
    if (!window || !GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0)
        return {};
    const int w = client.right, h = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h; // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC windowDc = GetDC(window);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<std::uint32_t> pixels;
    if (memoryDc && bitmap && bits) {
        HGDIOBJ old = SelectObject(memoryDc, bitmap);
        if (BitBlt(memoryDc, 0, 0, w, h, windowDc, 0, 0, SRCCOPY)) {
            GdiFlush();
            pixels.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
            std::memcpy(pixels.data(), bits, pixels.size() * 4);
            for (std::uint32_t& p : pixels)
                p &= 0xffffff;
            width = w;
            height = h;
        }
        SelectObject(memoryDc, old);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (memoryDc)
        DeleteDC(memoryDc);
    ReleaseDC(window, windowDc);
    return pixels;
}

bool postKeyDown(const std::string& title, int virtualKey)
{
    HWND window = findWindow(title);
    return window && PostMessageW(window, WM_KEYDOWN, static_cast<WPARAM>(virtualKey), 1);
}

bool postAltKeyDown(const std::string& title, int virtualKey)
{
    HWND window = findWindow(title);
    const LPARAM altHeld = 1 | (1 << 29); // one press, with the context bit for Alt
    return window && PostMessageW(window, WM_SYSKEYDOWN, static_cast<WPARAM>(virtualKey), altHeld);
}

} // namespace platform::win32
