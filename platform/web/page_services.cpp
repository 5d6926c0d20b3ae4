// The remaining services in their browser form: message boxes as text on
// the page, the fatal exit, the processor query, thread priorities, the
// page's Escape key and the set-up window that the Start button stands in for.
#include "platform/cpu.h"
#include "platform/message_box.h"
#include "platform/setup_window.h"
#include "platform/thread_priority.h"
#include "platform/web/page.h"

#include <emscripten.h>

#include <cstdio>
#include <vector>

EM_JS(void, demo_page_message, (const char* caption, const char* text),
      { Module.page.message(UTF8ToString(caption), UTF8ToString(text)); });
EM_JS(void, demo_page_exit, (int status), { Module.page.fatal(status); });
EM_JS(int, demo_page_escape, (), { return Module.page.escapePressed ? 1 : 0; });
EM_JS(void, demo_page_clear_escape, (), { Module.page.escapePressed = false; });

namespace platform {

namespace {

MessageSink& currentSink()
{
    static MessageSink sink;
    return sink;
}

class PageEscapeKey final : public EscapeKey {
public:
    bool held() override { return demo_page_escape() != 0; }
};

// The set-up window as the page's Start button answers it: the checks the
// program sets are the choice, and the wait ends at once as by "Go!".
class StartButtonChoice final : public SetupWindow {
public:
    explicit StartButtonChoice(const SetupWindowSpec& spec)
        : checked_(spec.controls.size(), false)
    {
        for (const ControlSpec& c : spec.controls)
            enabled_.push_back(c.enabled);
    }
    void setChecked(int control, bool checked) override
    {
        if (valid(control))
            checked_[static_cast<std::size_t>(control)] = checked;
    }
    bool checked(int control) const override { return valid(control) && checked_[static_cast<std::size_t>(control)]; }
    bool enabled(int control) const override { return valid(control) && enabled_[static_cast<std::size_t>(control)]; }
    SetupWindowEnd waitForChoice() override { return SetupWindowEnd::DefaultButton; }
    void postClick(int) override {}
    void postEnter() override {}
    void postCloseRequest() override {}
    void post(std::function<void()> action) override { action(); }

private:
    bool valid(int control) const { return control >= 0 && static_cast<std::size_t>(control) < checked_.size(); }
    std::vector<bool> checked_;
    std::vector<bool> enabled_;
};

} // namespace

void messageBox(const std::string& caption, const std::string& text)
{
    if (currentSink()) {
        currentSink()(caption, text);
        return;
    }
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    demo_page_message(caption.c_str(), text.c_str());
}

void fatalExit(int status)
{
    std::fflush(stdout);
    std::fflush(stderr);
    demo_page_exit(status);
    emscripten_force_exit(status);
}

MessageSink setMessageSink(MessageSink sink)
{
    MessageSink previous = std::move(currentSink());
    currentSink() = std::move(sink);
    return previous;
}

// WebAssembly has no CPUID. The vector family runs on the compiler's SSE2
// emulation, so MMX is reported where that was compiled in.
CpuInfo queryCpu()
{
    CpuInfo info;
    info.vendor = "WebAssembly";
    info.fpu = true;
#if defined(__SSE2__)
    info.mmx = true;
#endif
    return info;
}

// The page has one thread and no say over its priority.
bool raiseThreadPriorityOneStep() { return false; }
bool raiseThreadPriorityToHighest() { return false; }
int currentThreadNice() { return 0; }

EscapeKey& pageEscapeKey()
{
    static PageEscapeKey key;
    return key;
}

void clearPageEscape() { demo_page_clear_escape(); }

std::unique_ptr<SetupWindow> openDefaultSetupWindow(const SetupWindowSpec& spec)
{
    return std::make_unique<StartButtonChoice>(spec);
}

} // namespace platform
