#pragma once
// Message boxes and the process's fatal exit.
#include <functional>
#include <string>

namespace platform {

// Shows a modal message box with the given caption and text. Without a
// display the caption and text go to standard error. The text is always also
// written to standard error, so that logs keep it.
// Called by the display console's error report and the music's fatal errors.
void messageBox(const std::string& caption, const std::string& text);

// Ends the process at once with the given status (standard streams are
// flushed, static destructors and other threads are not waited for).
[[noreturn]] void fatalExit(int status);

// Where message boxes go instead of the screen; tests install one that
// records them. An empty sink restores the real message box. Returns the
// previous sink.
using MessageSink = std::function<void(const std::string& caption, const std::string& text)>;
MessageSink setMessageSink(MessageSink sink);

} // namespace platform
