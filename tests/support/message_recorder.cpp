#include "tests/support/message_recorder.h"

#include <cstdio>
#include <mutex>

namespace testing_support {

struct MessageRecorder::Shared {
    std::mutex mutex;
    std::vector<Message> messages;
};

MessageRecorder::MessageRecorder() : shared_(new Shared)
{
    Shared* shared = shared_;
    previous_ = platform::setMessageSink([shared](const std::string& caption, const std::string& text) {
        std::lock_guard<std::mutex> lock(shared->mutex);
        shared->messages.push_back({caption, text});
    });
}

MessageRecorder::~MessageRecorder()
{
    platform::setMessageSink(std::move(previous_));
    delete shared_;
}

std::vector<MessageRecorder::Message> MessageRecorder::messages() const
{
    std::lock_guard<std::mutex> lock(shared_->mutex);
    return shared_->messages;
}

void installStderrSink()
{
    platform::setMessageSink([](const std::string& caption, const std::string& text) {
        std::fprintf(stderr, "[message box] %s: %s\n", caption.c_str(), text.c_str());
    });
}

} // namespace testing_support
