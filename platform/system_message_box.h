#pragma once
// The window system's own modal message box, behind platform::messageBox
// (which first writes the text to standard error and honours the sink).
#include <string>

namespace platform {

// Shows the box and waits until it is dismissed; does nothing where no
// display can show one.
void showSystemMessageBox(const std::string& caption, const std::string& text);

} // namespace platform
