#pragma once
// A small window of labels, radio buttons, check boxes and push buttons at
// exact client positions, shown until its default button is pressed or it is
// closed. The sound set-up window is built on it; this layer knows nothing of
// sound.
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

enum class ControlKind {
    Label,          // static text, left-aligned
    RadioButton,    // checked alone within its group when the user picks it
    CheckBox,       // toggles when the user clicks it
    PushButton,
    DefaultButton,  // a push button that Enter presses too; pressing it ends the wait
};

struct ControlSpec {
    ControlKind kind = ControlKind::Label;
    std::string text;
    int x = 0, y = 0, width = 0, height = 0; // client pixels
    bool groupStart = false; // starts a new group (radio buttons are exclusive within one)
    bool tabStop = false;    // takes the keyboard focus
    bool enabled = true;     // a disabled control ignores the user
};

struct SetupWindowSpec {
    std::string className; // the window's class as the window system sees it
    std::string title;
    int x = 0, y = 0, width = 0, height = 0;
    std::vector<ControlSpec> controls; // created in this order; indices below refer to it
};

enum class SetupWindowEnd { DefaultButton, Closed };

class SetupWindow {
public:
    // Destroys the window.
    virtual ~SetupWindow() = default;
    // Sets or clears a check as a program would: radio partners are left alone.
    virtual void setChecked(int control, bool checked) = 0;
    // Still answers after the window was closed, until it is destroyed.
    virtual bool checked(int control) const = 0;
    virtual bool enabled(int control) const = 0;
    // Processes the user's input until the default button is pressed or the
    // window is closed (by the window system's close request).
    virtual SetupWindowEnd waitForChoice() = 0;

    // Test side: simulated input, delivered through the toolkit's own event
    // dispatch, as actions run inside waitForChoice in the order posted.
    virtual void postClick(int control) = 0;   // press and release at the control's centre
    virtual void postEnter() = 0;              // the Enter key
    virtual void postCloseRequest() = 0;       // the window system's close request
    // Runs `action` inside waitForChoice after the actions posted before it.
    virtual void post(std::function<void()> action) = 0;
};

using SetupWindowOpener = std::function<std::unique_ptr<SetupWindow>(const SetupWindowSpec&)>;

// Creates and shows the window with FLTK; nullptr when no display can be
// opened at all.
std::unique_ptr<SetupWindow> openFltkSetupWindow(const SetupWindowSpec& spec);
// The platform's own set-up window: FLTK's on Linux, a native dialog on
// Windows, the page's in the browser.
std::unique_ptr<SetupWindow> openDefaultSetupWindow(const SetupWindowSpec& spec);

} // namespace platform
