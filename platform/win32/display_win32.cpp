// The display service on the window system's own calls. Pages live in memory
// in the display's layout; presenting draws the shown page into the window's
// client area with GDI's StretchDIBits (our 0x00RRGGBB pages are its 32-bit
// device-independent format as they are), scaled with the aspect kept.
// Presenting is paced by the desktop compositor where it runs, else by the
// performance counter at the display's refresh rate.
#include "platform/display.h"
#include "platform/message_box.h"
#include "platform/win32/wide_text.h"

#include <windows.h>

#include <dwmapi.h>

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

const wchar_t windowClassName[] = L"DemoConsoleWindow";

PixelLayout layoutOfBits(int bits)
{
    switch (bits) {
    case 32: return rgb32Layout();
    case 24: return {PixelLayout::Kind::Rgb, 24, 0xff0000, 0xff00, 0xff};
    case 16: return {PixelLayout::Kind::Rgb, 16, 0xf800, 0x7e0, 0x1f};
    case 15: return {PixelLayout::Kind::Rgb, 16, 0x7c00, 0x3e0, 0x1f};
    case 8: return {PixelLayout::Kind::Palettised, 8, 0, 0, 0};
    default: return {PixelLayout::Kind::Other, bits, 0, 0, 0};
    }
}

std::string systemErrorText(DWORD code)
{
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = n && text ? std::wstring(text, n) : L"error " + std::to_wstring(code);
    if (text)
        LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    return win32::narrowed(message);
}

// A BITMAPINFO with room for three channel masks or a 256-colour palette.
struct PageBitmapInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

class GdiDisplay final : public DisplayService {
public:
    ~GdiDisplay() override { close(); }

    const char* name() const override { return "GDI"; }
    std::string lastError() const override { return error_; }

    std::vector<DisplayMode> modes() override
    {
        std::vector<DisplayMode> list;
        DEVMODEW mode{};
        mode.dmSize = sizeof mode;
        for (DWORD i = 0; EnumDisplaySettingsW(nullptr, i, &mode); ++i) {
            DisplayMode m{static_cast<int>(mode.dmPelsWidth), static_cast<int>(mode.dmPelsHeight),
                          layoutOfBits(static_cast<int>(mode.dmBitsPerPel))};
            // The same size and depth is listed once per refresh rate.
            const bool known = std::any_of(list.begin(), list.end(), [&](const DisplayMode& d) {
                return d.width == m.width && d.height == m.height && d.layout == m.layout;
            });
            if (!known)
                list.push_back(m);
        }
        return list;
    }

    // A window's page is drawn through a 32-bit device-independent bitmap,
    // whatever the desktop's depth.
    PixelLayout desktopLayout() override { return rgb32Layout(); }

    bool openFullscreenWindow(const char* title, int width, int height) override
    {
        close();
        if (!createWindow(title, WS_POPUP, 0, 0, width, height))
            return false;
        width_ = width;
        height_ = height;
        hideCursor_ = true;
        return true;
    }

    bool setMode(int width, int height, int bits) override
    {
        if (!window_) {
            error_ = "no window";
            return false;
        }
        for (const DisplayMode& m : modes()) {
            if (m.width != width || m.height != height || m.layout.bits != bits || m.layout.kind == PixelLayout::Kind::Other)
                continue;
            DEVMODEW mode{};
            mode.dmSize = sizeof mode;
            mode.dmPelsWidth = static_cast<DWORD>(width);
            mode.dmPelsHeight = static_cast<DWORD>(height);
            mode.dmBitsPerPel = static_cast<DWORD>(bits);
            mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
            const LONG result = ChangeDisplaySettingsW(&mode, CDS_FULLSCREEN);
            if (result != DISP_CHANGE_SUCCESSFUL) {
                error_ = "the display refused the mode " + std::to_string(width) + "x" + std::to_string(height) + "x" +
                         std::to_string(bits) + " (" + std::to_string(result) + ")";
                return false;
            }
            modeChanged_ = true;
            fullscreen_ = true;
            width_ = width;
            height_ = height;
            pageLayout_ = m.layout;
            SetWindowPos(window_, HWND_TOPMOST, 0, 0, width, height, SWP_SHOWWINDOW);
            return true;
        }
        error_ = "the display has no " + std::to_string(width) + "x" + std::to_string(height) + " mode at " +
                 std::to_string(bits) + " bits";
        return false;
    }

    bool openWindow(const char* title, int width, int height) override
    {
        close();
        RECT frame{0, 0, width, height};
        AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
        if (!createWindow(title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                          frame.bottom - frame.top))
            return false;
        width_ = width;
        height_ = height;
        fullscreen_ = false;
        hideCursor_ = false;
        pageLayout_ = desktopLayout();
        return true;
    }

    bool createPages(int count, bool) override
    {
        if (!window_ || count < 1 || count > 3) {
            error_ = "cannot create pages";
            return false;
        }
        pages_.create(count, width_, height_, pageLayout_.bits / 8);
        setBitmapInfo();
        if (!fullscreen_)
            ShowWindow(window_, SW_SHOWNORMAL);
        UpdateWindow(window_);
        return true;
    }

    PixelLayout pageLayout() const override { return pageLayout_; }
    int pageCount() const override { return pages_.count(); }
    void* lockPage(int& pitch) override { return pages_.lockPage(pitch, error_); }
    bool unlockPage() override { return pages_.unlockPage(error_); }

    bool present() override
    {
        if (!window_ || pages_.count() == 0) {
            error_ = "no pages";
            return false;
        }
        pages_.flip();
        if (!show())
            return false;
        pace();
        return true;
    }

    void setPalette(const std::uint32_t* entries) override
    {
        if (pageLayout_.kind != PixelLayout::Kind::Palettised)
            return;
        for (int i = 0; i < 256; ++i) {
            const std::uint32_t c = entries[i];
            bitmap_.colours[i] = {static_cast<BYTE>(c), static_cast<BYTE>(c >> 8), static_cast<BYTE>(c >> 16), 0};
        }
    }

    void pumpMessages() override
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    void waitMessages(int ms) override
    {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::max(ms, 0)), QS_ALLINPUT);
        pumpMessages();
    }

    void setKeyHandler(KeyHandler handler) override { keyHandler_ = std::move(handler); }

    void close() override
    {
        pages_.release();
        if (window_) {
            SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
            DestroyWindow(window_);
            window_ = nullptr;
        }
        if (modeChanged_) {
            ChangeDisplaySettingsW(nullptr, 0);
            modeChanged_ = false;
        }
        fullscreen_ = false;
        borderless_ = false;
        hideCursor_ = false;
    }

private:
    static void registerClass()
    {
        static const bool registered = [] {
            WNDCLASSEXW c{};
            c.cbSize = sizeof c;
            c.style = CS_HREDRAW | CS_VREDRAW;
            c.lpfnWndProc = &GdiDisplay::windowProcedure;
            c.hInstance = GetModuleHandleW(nullptr);
            c.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
            c.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
            c.lpszClassName = windowClassName;
            return RegisterClassExW(&c) != 0;
        }();
        (void)registered;
    }

    bool createWindow(const char* title, DWORD style, int x, int y, int width, int height)
    {
        registerClass();
        window_ = CreateWindowExW(0, windowClassName, win32::widened(title ? title : "").c_str(), style, x, y, width,
                                  height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!window_) {
            error_ = systemErrorText(GetLastError());
            return false;
        }
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        return true;
    }

    void setBitmapInfo()
    {
        std::memset(&bitmap_, 0, sizeof bitmap_);
        bitmap_.header.biSize = sizeof(BITMAPINFOHEADER);
        bitmap_.header.biWidth = width_;
        bitmap_.header.biHeight = -height_; // rows from the top, as our pages
        bitmap_.header.biPlanes = 1;
        bitmap_.header.biBitCount = static_cast<WORD>(pageLayout_.bits);
        if (pageLayout_.kind == PixelLayout::Kind::Rgb && pageLayout_.bits != 24) {
            bitmap_.header.biCompression = BI_BITFIELDS;
            const DWORD masks[3] = {pageLayout_.r, pageLayout_.g, pageLayout_.b};
            std::memcpy(bitmap_.colours, masks, sizeof masks);
        } else {
            bitmap_.header.biCompression = BI_RGB;
        }
    }

    // Draws the shown page into the client area, scaled with the aspect kept
    // and black bars beside or above it.
    bool show()
    {
        const std::uint8_t* pixels = pages_.shown();
        if (!window_ || !pixels)
            return true;
        RECT client;
        GetClientRect(window_, &client);
        const int cw = client.right, ch = client.bottom;
        if (cw <= 0 || ch <= 0)
            return true; // minimised
        int w = cw, h = ch;
        if (static_cast<long long>(cw) * height_ > static_cast<long long>(ch) * width_)
            w = static_cast<int>(static_cast<long long>(ch) * width_ / height_);
        else
            h = static_cast<int>(static_cast<long long>(cw) * height_ / width_);
        const int x = (cw - w) / 2, y = (ch - h) / 2;
        HDC dc = GetDC(window_);
        if (!dc) {
            error_ = systemErrorText(GetLastError());
            return false;
        }
        if (x > 0) {
            PatBlt(dc, 0, 0, x, ch, BLACKNESS);
            PatBlt(dc, x + w, 0, cw - x - w, ch, BLACKNESS);
        }
        if (y > 0) {
            PatBlt(dc, 0, 0, cw, y, BLACKNESS);
            PatBlt(dc, 0, y + h, cw, ch - y - h, BLACKNESS);
        }
        SetStretchBltMode(dc, COLORONCOLOR); // nearest pixel
        const int lines = StretchDIBits(dc, x, y, w, h, 0, 0, width_, height_, pixels,
                                        reinterpret_cast<const BITMAPINFO*>(&bitmap_), DIB_RGB_COLORS, SRCCOPY);
        ReleaseDC(window_, dc);
        if (lines == 0) {
            error_ = "StretchDIBits drew nothing";
            return false;
        }
        return true;
    }

    // Waits for the compositor's next frame, or else until the next refresh
    // period of the display measured on the performance counter.
    void pace()
    {
        BOOL composed = FALSE;
        if (SUCCEEDED(DwmIsCompositionEnabled(&composed)) && composed && SUCCEEDED(DwmFlush()))
            return;
        LARGE_INTEGER frequency, now;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&now);
        DEVMODEW mode{};
        mode.dmSize = sizeof mode;
        long long hz = 60;
        if (EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode) && mode.dmDisplayFrequency > 1)
            hz = mode.dmDisplayFrequency;
        const long long period = frequency.QuadPart / hz;
        if (nextFrame_ == 0 || now.QuadPart - nextFrame_ > period)
            nextFrame_ = now.QuadPart; // first frame, or far behind: start the grid again
        nextFrame_ += period;
        for (;;) {
            QueryPerformanceCounter(&now);
            const long long left = nextFrame_ - now.QuadPart;
            if (left <= 0)
                break;
            const long long ms = left * 1000 / frequency.QuadPart;
            Sleep(ms > 1 ? static_cast<DWORD>(ms - 1) : 0);
        }
    }

    // F11 and Alt+Enter switch a window between its frame and a borderless
    // window over the whole monitor; a window at a display mode of its own
    // stays as it is.
    void toggleBorderless()
    {
        if (!window_ || fullscreen_)
            return;
        if (!borderless_) {
            placement_.length = sizeof placement_;
            GetWindowPlacement(window_, &placement_);
            MONITORINFO monitor{};
            monitor.cbSize = sizeof monitor;
            GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor);
            SetWindowLongPtrW(window_, GWL_STYLE, WS_POPUP | WS_VISIBLE);
            const RECT& r = monitor.rcMonitor;
            SetWindowPos(window_, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                         SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
            borderless_ = true;
        } else {
            SetWindowLongPtrW(window_, GWL_STYLE, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
            SetWindowPlacement(window_, &placement_);
            SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER);
            borderless_ = false;
        }
        InvalidateRect(window_, nullptr, FALSE);
    }

    LRESULT handle(HWND window, UINT message, WPARAM w, LPARAM l)
    {
        switch (message) {
        case WM_CLOSE:
            fatalExit(0);
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            EndPaint(window, &paint);
            show(); // redraw at once, not only at the next frame
            return 0;
        }
        case WM_ERASEBKGND:
            return 1; // the picture and its bars cover the client area
        case WM_SETCURSOR:
            if (LOWORD(l) == HTCLIENT && (hideCursor_ || borderless_)) {
                SetCursor(nullptr);
                return TRUE;
            }
            break;
        case WM_SYSKEYDOWN:
            if (w == VK_RETURN && (l & (1 << 29))) { // Alt+Enter
                if (!(l & (1 << 30)))
                    toggleBorderless();
                return 0;
            }
            break;
        case WM_KEYDOWN:
            if (w == VK_F11) {
                if (!(l & (1 << 30))) // not a repeat
                    toggleBorderless();
                return 0;
            }
            // Virtual-key codes are the program's key codes: upper-case
            // letters, digits and the control keys as ASCII.
            if (keyHandler_)
                keyHandler_(static_cast<int>(w));
            return 0;
        default:
            break;
        }
        return DefWindowProcW(window, message, w, l);
    }

    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM w, LPARAM l)
    {
        auto* me = reinterpret_cast<GdiDisplay*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (!me)
            return DefWindowProcW(window, message, w, l);
        return me->handle(window, message, w, l);
    }

    HWND window_ = nullptr;
    bool fullscreen_ = false;   // at a display mode of its own
    bool modeChanged_ = false;
    bool borderless_ = false;   // a window switched to the whole monitor
    bool hideCursor_ = false;
    WINDOWPLACEMENT placement_{};
    int width_ = 0, height_ = 0;
    PixelLayout pageLayout_;
    PageSet pages_;
    PageBitmapInfo bitmap_{};
    long long nextFrame_ = 0;
    KeyHandler keyHandler_;
    std::string error_;
};

} // namespace

std::unique_ptr<DisplayService> createDefaultDisplay() { return std::make_unique<GdiDisplay>(); }

} // namespace platform
