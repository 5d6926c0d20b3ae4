#include "platform/message_box.h"
#include "platform/system_message_box.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace platform {

namespace {

std::mutex sinkMutex;
MessageSink& currentSink()
{
    static MessageSink sink;
    return sink;
}

} // namespace

void messageBox(const std::string& caption, const std::string& text)
{
    MessageSink sink;
    {
        std::lock_guard<std::mutex> lock(sinkMutex);
        sink = currentSink();
    }
    if (sink) {
        sink(caption, text);
        return;
    }
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
    showSystemMessageBox(caption, text);
}

void fatalExit(int status)
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
}

MessageSink setMessageSink(MessageSink sink)
{
    std::lock_guard<std::mutex> lock(sinkMutex);
    MessageSink previous = std::move(currentSink());
    currentSink() = std::move(sink);
    return previous;
}

} // namespace platform
