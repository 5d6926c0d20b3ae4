#pragma once
// Records the message boxes shown while it is alive, for tests.
#include "platform/message_box.h"

#include <string>
#include <utility>
#include <vector>

namespace testing_support {

class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    struct Message {
        std::string caption;
        std::string text;
    };
    std::vector<Message> messages() const;

private:
    platform::MessageSink previous_;
    struct Shared;
    Shared* shared_;
};

// The sink the test main installs: writes each message box to standard error.
void installStderrSink();

} // namespace testing_support
