// The set-up window on FLTK. Controls sit at their exact client positions;
// radio buttons are exclusive inside an FLTK group per control group.
#include "platform/setup_window.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

#include <algorithm>
#include <deque>

namespace platform {

namespace {

constexpr int labelFontSize = 13;

class FltkSetupWindow final : public SetupWindow {
public:
    explicit FltkSetupWindow(const SetupWindowSpec& spec);
    ~FltkSetupWindow() override;

    void setChecked(int control, bool checked) override;
    bool checked(int control) const override;
    bool enabled(int control) const override;
    SetupWindowEnd waitForChoice() override;

    void postClick(int control) override
    {
        post([this, control] { simulateClick(control); });
    }
    void postEnter() override
    {
        post([this] { simulateEnter(); });
    }
    void postCloseRequest() override
    {
        post([this] { Fl::handle(FL_CLOSE, window_); });
    }
    void post(std::function<void()> action) override { actions_.push_back(std::move(action)); }

private:
    enum class State { Waiting, DefaultButton, Closed };

    Fl_Widget* makeControl(const ControlSpec& c);
    void simulateClick(int control);
    void simulateEnter();
    Fl_Button* button(int control) const;

    static void onDefaultButton(Fl_Widget*, void* self) { static_cast<FltkSetupWindow*>(self)->state_ = State::DefaultButton; }
    static void onWindow(Fl_Widget* w, void* self);

    std::string className_;
    Fl_Window* window_ = nullptr;
    std::vector<Fl_Widget*> controls_;
    std::vector<ControlKind> kinds_;
    std::deque<std::function<void()>> actions_;
    State state_ = State::Waiting;
};

FltkSetupWindow::FltkSetupWindow(const SetupWindowSpec& spec) : className_(spec.className)
{
    window_ = new Fl_Window(spec.x, spec.y, spec.width, spec.height);
    window_->copy_label(spec.title.c_str());
    window_->xclass(className_.c_str());
    window_->callback(&FltkSetupWindow::onWindow, this);

    // Controls before the first group start sit in the window itself; each
    // group start opens an FLTK group spanning its members, so that radio
    // buttons exclude only the buttons of their own group.
    Fl_Group* group = nullptr;
    for (std::size_t i = 0; i < spec.controls.size(); ++i) {
        const ControlSpec& c = spec.controls[i];
        if (c.groupStart) {
            if (group)
                group->end();
            int left = c.x, top = c.y, right = c.x + c.width, bottom = c.y + c.height;
            for (std::size_t j = i + 1; j < spec.controls.size() && !spec.controls[j].groupStart; ++j) {
                const ControlSpec& m = spec.controls[j];
                left = std::min(left, m.x);
                top = std::min(top, m.y);
                right = std::max(right, m.x + m.width);
                bottom = std::max(bottom, m.y + m.height);
            }
            window_->begin();
            group = new Fl_Group(left, top, right - left, bottom - top);
            group->box(FL_NO_BOX);
        }
        controls_.push_back(makeControl(c));
        kinds_.push_back(c.kind);
    }
    if (group)
        group->end();
    window_->end();
    window_->show();
    Fl::check();
}

Fl_Widget* FltkSetupWindow::makeControl(const ControlSpec& c)
{
    Fl_Widget* w = nullptr;
    switch (c.kind) {
    case ControlKind::Label: {
        auto* box = new Fl_Box(FL_NO_BOX, c.x, c.y, c.width, c.height, nullptr);
        box->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_TOP);
        w = box;
        break;
    }
    case ControlKind::RadioButton: {
        auto* b = new Fl_Round_Button(c.x, c.y, c.width, c.height);
        b->type(FL_RADIO_BUTTON);
        w = b;
        break;
    }
    case ControlKind::CheckBox:
        w = new Fl_Check_Button(c.x, c.y, c.width, c.height);
        break;
    case ControlKind::PushButton:
        w = new Fl_Button(c.x, c.y, c.width, c.height);
        break;
    case ControlKind::DefaultButton:
        w = new Fl_Return_Button(c.x, c.y, c.width, c.height);
        w->callback(&FltkSetupWindow::onDefaultButton, this);
        break;
    }
    w->copy_label(c.text.c_str());
    w->labelsize(labelFontSize);
    if (c.kind != ControlKind::Label)
        w->visible_focus(c.tabStop ? 1 : 0);
    if (!c.enabled)
        w->deactivate();
    return w;
}

FltkSetupWindow::~FltkSetupWindow()
{
    window_->hide();
    delete window_;
    Fl::check(); // let the window system take the window away now
}

void FltkSetupWindow::onWindow(Fl_Widget*, void* self)
{
    // The window's callback also runs for Escape; only the window system's
    // close request closes this window.
    if (Fl::event() != FL_CLOSE)
        return;
    auto* me = static_cast<FltkSetupWindow*>(self);
    me->state_ = State::Closed;
    me->window_->hide();
}

Fl_Button* FltkSetupWindow::button(int control) const
{
    if (control < 0 || control >= static_cast<int>(controls_.size()) || kinds_[control] == ControlKind::Label)
        return nullptr;
    return static_cast<Fl_Button*>(controls_[control]);
}

void FltkSetupWindow::setChecked(int control, bool checked)
{
    if (Fl_Button* b = button(control))
        b->value(checked ? 1 : 0);
}

bool FltkSetupWindow::checked(int control) const
{
    Fl_Button* b = button(control);
    return b && b->value() == 1;
}

bool FltkSetupWindow::enabled(int control) const
{
    if (control < 0 || control >= static_cast<int>(controls_.size()))
        return false;
    return controls_[control]->active() != 0;
}

SetupWindowEnd FltkSetupWindow::waitForChoice()
{
    Fl::check();
    while (state_ == State::Waiting) {
        if (!actions_.empty()) {
            auto action = std::move(actions_.front());
            actions_.pop_front();
            action();
            Fl::check();
            continue;
        }
        if (!window_->shown()) {
            state_ = State::Closed;
            break;
        }
        Fl::wait();
    }
    return state_ == State::DefaultButton ? SetupWindowEnd::DefaultButton : SetupWindowEnd::Closed;
}

void FltkSetupWindow::simulateClick(int control)
{
    if (control < 0 || control >= static_cast<int>(controls_.size()))
        return;
    Fl_Widget* w = controls_[control];
    // Widget positions are relative to the window in FLTK, groups or not.
    int x = w->x() + w->w() / 2;
    int y = w->y() + w->h() / 2;
    Fl::e_x = x;
    Fl::e_y = y;
    Fl::e_x_root = window_->x() + x;
    Fl::e_y_root = window_->y() + y;
    Fl::e_clicks = 0;
    Fl::e_is_click = 1;
    Fl::e_keysym = FL_Button + FL_LEFT_MOUSE;
    Fl::e_state = FL_BUTTON1;
    Fl::handle(FL_PUSH, window_);
    Fl::e_state = 0;
    Fl::handle(FL_RELEASE, window_);
}

void FltkSetupWindow::simulateEnter()
{
    static char enterText[] = "\r";
    Fl::e_keysym = FL_Enter;
    Fl::e_text = enterText;
    Fl::e_length = 1;
    Fl::e_state = 0;
    Fl::handle(FL_KEYBOARD, window_);
    Fl::handle(FL_KEYUP, window_);
}

} // namespace

std::unique_ptr<SetupWindow> openFltkSetupWindow(const SetupWindowSpec& spec)
{
    if (!fl_display) {
        // FLTK ends the process when it cannot open a display, so try first.
        Display* display = XOpenDisplay(nullptr);
        if (!display)
            return nullptr;
        fl_open_display(display);
    }
    return std::make_unique<FltkSetupWindow>(spec);
}

std::unique_ptr<SetupWindow> openDefaultSetupWindow(const SetupWindowSpec& spec) { return openFltkSetupWindow(spec); }

} // namespace platform
