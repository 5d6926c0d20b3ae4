#pragma once
// A stand-in set-up window for the music tests: checks in a map, the user's
// part played by a function.
#include "platform/setup_window.h"

#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace music_output_test {

class ScriptedWindow final : public platform::SetupWindow {
public:
    std::map<int, bool> checks;
    std::vector<std::pair<int, bool>> setCalls;
    std::function<platform::SetupWindowEnd(ScriptedWindow&)> user = [](ScriptedWindow&) {
        return platform::SetupWindowEnd::DefaultButton;
    };
    bool* destroyed = nullptr;

    ~ScriptedWindow() override
    {
        if (destroyed)
            *destroyed = true;
    }
    void setChecked(int control, bool checked) override
    {
        setCalls.emplace_back(control, checked);
        checks[control] = checked;
    }
    bool checked(int control) const override
    {
        auto it = checks.find(control);
        return it != checks.end() && it->second;
    }
    bool enabled(int) const override { return true; }
    platform::SetupWindowEnd waitForChoice() override { return user(*this); }
    void postClick(int) override {}
    void postEnter() override {}
    void postCloseRequest() override {}
    void post(std::function<void()>) override {}
};

// An opener that makes a ScriptedWindow and lets `setUp` configure it.
inline platform::SetupWindowOpener scripted(std::function<void(ScriptedWindow&)> setUp)
{
    return [setUp](const platform::SetupWindowSpec&) {
        auto w = std::make_unique<ScriptedWindow>();
        setUp(*w);
        return std::unique_ptr<platform::SetupWindow>(std::move(w));
    };
}

} // namespace music_output_test
