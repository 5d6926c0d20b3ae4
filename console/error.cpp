#include "console/display.h"

#include "platform/message_box.h"

namespace display {

Error::Error(const char* message) : text_(message ? message : "") {}

Error::Error(const char* message, const Error& inner)
    : text_(std::string(message ? message : "") + "\n" + inner.text_)
{
}

void Error::report() const
{
    platform::messageBox("Error", text_);
    platform::fatalExit(1);
}

} // namespace display
