#include "platform/system_message_box.h"
#include "platform/win32/wide_text.h"

#include <windows.h>

namespace platform {

void showSystemMessageBox(const std::string& caption, const std::string& text)
{
    MessageBoxW(nullptr, win32::widened(text).c_str(), win32::widened(caption).c_str(),
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TASKMODAL);
}

} // namespace platform
