// The set-up window as a native window with standard controls at their exact
// client positions: static texts, automatic radio buttons and check boxes,
// push buttons. A control that starts a group carries WS_GROUP, so radio
// buttons exclude only the buttons of their own group, and the dialog
// manager (IsDialogMessage) gives it keyboard navigation and the Enter key.
#include "platform/setup_window.h"
#include "platform/win32/wide_text.h"

#include <windows.h>

#include <deque>
#include <set>

namespace platform {

namespace {

// Control identifiers: the index plus this.
constexpr int firstControlId = 100;

class DialogSetupWindow final : public SetupWindow {
public:
    explicit DialogSetupWindow(const SetupWindowSpec& spec);
    ~DialogSetupWindow() override
    {
        if (window_) {
            SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
            DestroyWindow(window_);
        }
        pump();
    }

    bool valid() const { return window_ != nullptr; }

    void setChecked(int control, bool checked) override
    {
        if (HWND c = button(control))
            SendMessageW(c, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    bool checked(int control) const override
    {
        HWND c = button(control);
        return c && SendMessageW(c, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    bool enabled(int control) const override
    {
        return control >= 0 && control < static_cast<int>(controls_.size()) && IsWindowEnabled(controls_[control]);
    }
    SetupWindowEnd waitForChoice() override;

    void postClick(int control) override
    {
        post([this, control] { simulateClick(control); });
    }
    void postEnter() override
    {
        post([this] {
            // Through the dialog manager, as a key typed into the focused control.
            MSG key{GetFocus() ? GetFocus() : window_, WM_KEYDOWN, VK_RETURN, 1, 0, {}};
            if (!IsDialogMessageW(window_, &key)) {
                TranslateMessage(&key);
                DispatchMessageW(&key);
            }
        });
    }
    void postCloseRequest() override
    {
        post([this] { SendMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0); });
    }
    void post(std::function<void()> action) override { actions_.push_back(std::move(action)); }

private:
    enum class State { Waiting, DefaultButton, Closed };

    HWND button(int control) const
    {
        if (control < 0 || control >= static_cast<int>(controls_.size()) || kinds_[control] == ControlKind::Label)
            return nullptr;
        return controls_[control];
    }

    // Every message waiting for this thread, handled now.
    void pump()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            dispatch(message);
    }
    void dispatch(MSG& message)
    {
        if (window_ && IsDialogMessageW(window_, &message))
            return;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }

    // A press and release of the left button at the control's centre, sent
    // to whatever window is there (a disabled control is skipped, so the
    // click lands on the window itself and changes nothing).
    void simulateClick(int control)
    {
        if (control < 0 || control >= static_cast<int>(controls_.size()))
            return;
        RECT r;
        GetWindowRect(controls_[control], &r);
        POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        POINT inWindow = centre;
        ScreenToClient(window_, &inWindow);
        HWND target = ChildWindowFromPointEx(window_, inWindow, CWP_SKIPDISABLED | CWP_SKIPINVISIBLE);
        if (!target || target == window_)
            return;
        POINT inTarget = centre;
        ScreenToClient(target, &inTarget);
        const LPARAM at = MAKELPARAM(inTarget.x, inTarget.y);
        SendMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(target, WM_LBUTTONUP, 0, at);
    }

    LRESULT handle(UINT message, WPARAM w, LPARAM l)
    {
        switch (message) {
        case WM_COMMAND:
            if (HIWORD(w) == BN_CLICKED && LOWORD(w) == defaultId_)
                state_ = State::DefaultButton;
            return 0;
        case DM_GETDEFID:
            return defaultId_ ? MAKELRESULT(defaultId_, DC_HASDEFID) : 0;
        case WM_CLOSE:
            // The window system's close request: the wait ends, the checks
            // stay readable until the window is destroyed.
            state_ = State::Closed;
            ShowWindow(window_, SW_HIDE);
            return 0;
        default:
            return DefWindowProcW(window_, message, w, l);
        }
    }

    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM w, LPARAM l)
    {
        auto* me = reinterpret_cast<DialogSetupWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (!me || !me->window_)
            return DefWindowProcW(window, message, w, l);
        return me->handle(message, w, l);
    }

    HWND window_ = nullptr;
    std::vector<HWND> controls_;
    std::vector<ControlKind> kinds_;
    int defaultId_ = 0;
    std::deque<std::function<void()>> actions_;
    State state_ = State::Waiting;
};

DialogSetupWindow::DialogSetupWindow(const SetupWindowSpec& spec)
{
    const std::wstring className = win32::widened(spec.className.empty() ? "SetupWindow" : spec.className);
    static std::set<std::wstring> registered;
    if (!registered.count(className)) {
        WNDCLASSEXW c{};
        c.cbSize = sizeof c;
        c.lpfnWndProc = &DialogSetupWindow::windowProcedure;
        c.hInstance = GetModuleHandleW(nullptr);
        c.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        c.lpszClassName = className.c_str();
        if (!RegisterClassExW(&c))
            return;
        registered.insert(className);
    }
    const DWORD style = WS_CAPTION | WS_SYSMENU | WS_POPUP;
    RECT frame{spec.x, spec.y, spec.x + spec.width, spec.y + spec.height}; // the client area
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
    window_ = CreateWindowExW(WS_EX_DLGMODALFRAME, className.c_str(), win32::widened(spec.title).c_str(), style,
                              frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window_)
        return;
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HWND firstStop = nullptr;
    for (std::size_t i = 0; i < spec.controls.size(); ++i) {
        const ControlSpec& c = spec.controls[i];
        const wchar_t* controlClass = L"BUTTON";
        DWORD controlStyle = WS_CHILD | WS_VISIBLE;
        switch (c.kind) {
        case ControlKind::Label: controlClass = L"STATIC"; controlStyle |= SS_LEFT; break;
        case ControlKind::RadioButton: controlStyle |= BS_AUTORADIOBUTTON; break;
        case ControlKind::CheckBox: controlStyle |= BS_AUTOCHECKBOX; break;
        case ControlKind::PushButton: controlStyle |= BS_PUSHBUTTON; break;
        case ControlKind::DefaultButton: controlStyle |= BS_DEFPUSHBUTTON; break;
        }
        if (c.groupStart)
            controlStyle |= WS_GROUP;
        if (c.tabStop)
            controlStyle |= WS_TABSTOP;
        if (!c.enabled)
            controlStyle |= WS_DISABLED;
        const int id = firstControlId + static_cast<int>(i);
        HWND control = CreateWindowExW(0, controlClass, win32::widened(c.text).c_str(), controlStyle, c.x, c.y, c.width,
                                       c.height, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                       GetModuleHandleW(nullptr), nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (c.kind == ControlKind::DefaultButton)
            defaultId_ = id;
        if (c.tabStop && c.enabled && !firstStop)
            firstStop = control;
        controls_.push_back(control);
        kinds_.push_back(c.kind);
    }
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    if (firstStop)
        SetFocus(firstStop);
    pump();
}

SetupWindowEnd DialogSetupWindow::waitForChoice()
{
    pump();
    while (state_ == State::Waiting) {
        if (!actions_.empty()) {
            auto action = std::move(actions_.front());
            actions_.pop_front();
            action();
            pump();
            continue;
        }
        if (!IsWindowVisible(window_)) {
            state_ = State::Closed;
            break;
        }
        MSG message;
        if (GetMessageW(&message, nullptr, 0, 0) <= 0)
            break;
        dispatch(message);
    }
    return state_ == State::DefaultButton ? SetupWindowEnd::DefaultButton : SetupWindowEnd::Closed;
}

} // namespace

std::unique_ptr<SetupWindow> openDefaultSetupWindow(const SetupWindowSpec& spec)
{
    auto window = std::make_unique<DialogSetupWindow>(spec);
    if (!window->valid())
        return nullptr;
    return window;
}

} // namespace platform
