#include "platform/crash_exit.h"
#include "tests/support/message_recorder.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Death tests fork; "threadsafe" re-executes the binary, which is safe
    // with the mixing and timer threads some suites start.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    testing_support::installStderrSink();
    // A crashing test fails, whatever the system would make of the crash.
    platform::exitOnCrash(3);
    return RUN_ALL_TESTS();
}
