#include "platform/clock.h"
#include "platform/cpu.h"
#include "platform/message_box.h"
#include "tests/support/message_recorder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

TEST(Clock, SystemClockAdvancesInMilliseconds)
{
    auto& clock = platform::systemClock();
    std::uint32_t before = clock.nowMs();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::uint32_t elapsed = clock.nowMs() - before;
    EXPECT_GE(elapsed, 19u);
    EXPECT_LT(elapsed, 5000u);
}

TEST(Clock, ManualClockWrapsLikeA32BitCounter)
{
    platform::ManualClock clock(0xfffffff0u);
    std::uint32_t start = clock.nowMs();
    clock.advance(0x20);
    EXPECT_EQ(clock.nowMs(), 0x10u);
    EXPECT_EQ(clock.nowMs() - start, 0x20u);
}

TEST(MessageBox, RecorderCapturesCaptionAndTextThenRestores)
{
    {
        testing_support::MessageRecorder recorder;
        platform::messageBox("Error", "line one\nline two");
        auto messages = recorder.messages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].caption, "Error");
        EXPECT_EQ(messages[0].text, "line one\nline two");
    }
    testing_support::MessageRecorder outer;
    {
        testing_support::MessageRecorder inner;
        platform::messageBox("a", "b");
        EXPECT_EQ(inner.messages().size(), 1u);
    }
    platform::messageBox("c", "d");
    ASSERT_EQ(outer.messages().size(), 1u);
    EXPECT_EQ(outer.messages()[0].caption, "c");
}

TEST(MessageBoxDeathTest, FatalExitEndsWithTheGivenStatus)
{
    EXPECT_EXIT(platform::fatalExit(1), testing::ExitedWithCode(1), "");
    EXPECT_EXIT(platform::fatalExit(0), testing::ExitedWithCode(0), "");
}

TEST(Cpu, X86_64ReportsFpuAndMmx)
{
    platform::CpuInfo info = platform::queryCpu();
    EXPECT_EQ(info.vendor.size(), 12u);
    EXPECT_TRUE(info.fpu);
    EXPECT_TRUE(info.mmx); // every x86-64 processor has MMX
}
